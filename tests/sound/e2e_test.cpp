// End to end through the system's audio: the platform started headless with SDL's disk driver,
// the real frame timer refilling the music, and the mixed output read back from the file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "engine/platform/clock.h"
#include "engine/platform/video.h"
#include "sound_support.h"

namespace {

// The timer callback's music pass, gated as the application's tick gates it.
void tick() {
  if (zr_sound_music_on() && zr_sound_window_active() && zr_music_is_loaded()) zr_music_update();
}

size_t fileSize(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? size_t(info.st_size) : 0;
}

void sleepMs(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

class SoundEndToEndTest : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    zr_audio_set_manual(nullptr);
    output_ = (dir_ / "out.raw").string();
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", output_.c_str(), 1);
    ASSERT_TRUE(zr_platform_init(true)) << zr_platform_error();
  }
  void TearDown() override {
    zr_sound_deinit();
    zr_platform_quit();
    ::unsetenv("SDL_AUDIODRIVER");
    ::unsetenv("SDL_DISKAUDIOFILE");
    SoundTest::TearDown();
  }
  std::string output_;
};

TEST_F(SoundEndToEndTest, LaserAndLevelMusicReachTheOutputAndStopLeavesSilence) {
  // A level's music and a laser shot: a peer module and a short falling tone.
  write_bytes("level/music.s3m", read_bytes(peer_case("s3m/libxmp_pattern_loop_st301.s3m")));
  WaveSpec laser;
  laser.rate = 22050;
  laser.samples = sine16(3300, 1, 0.04, 20000);
  write_bytes("snd/laser1.wav", wave_bytes(laser));

  active = 1;
  ZR_SOUND_CONFIG config = Config();
  ASSERT_EQ(zr_sound_init(&config), 1);
  int32_t channels = 0, bits = 0, rate = 0;
  zr_sound_device_format(&channels, &bits, &rate);
  ASSERT_EQ(bits, 16);
  const size_t bytesPerSecond = size_t(channels) * 2 * size_t(rate);
  uint32_t timer = zr_platform_timer_start(tick, 10);
  ASSERT_NE(timer, 0u);

  ZR_SOUND* shot = zr_sound_load("snd\\laser1.wav");
  ASSERT_NE(shot, nullptr);
  ASSERT_EQ(zr_sound_play(shot, 0), 1);
  sleepMs(250);
  const size_t laserEnd = fileSize(output_);

  ZR_MUSIC* music = zr_music_load("level\\music.s3m");
  ASSERT_NE(music, nullptr);
  ASSERT_EQ(zr_music_play(music), 1);
  sleepMs(1000);
  const size_t musicEnd = fileSize(output_);
  ASSERT_EQ(zr_music_stop(music), 1);
  sleepMs(300);
  zr_platform_timer_stop(timer);
  zr_sound_free(shot);
  zr_music_free(music);
  zr_sound_deinit();

  const std::string raw = read_bytes(output_);
  ASSERT_GT(raw.size(), musicEnd);
  std::vector<int16_t> samples(raw.size() / 2);
  std::memcpy(samples.data(), raw.data(), samples.size() * 2);
  const size_t margin = bytesPerSecond / 10 / 2;  // 100 ms, in samples
  EXPECT_GT(rms(samples, 0, laserEnd / 2), 1000) << "the laser";
  EXPECT_GT(rms(samples, laserEnd / 2 + margin, musicEnd / 2), 1000) << "the music";
  EXPECT_EQ(peak(samples, musicEnd / 2 + margin), 0) << "silence after the stop";
  EXPECT_GT(samples.size() - musicEnd / 2, 2 * margin);
}

}  // namespace
