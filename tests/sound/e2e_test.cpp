// End to end through the system's audio: the platform started headless with SDL's disk driver,
// the real frame timer refilling the music, and the mixed output read back from the file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "engine/core/keyfile.h"
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

// Waits until the output file has grown by the given bytes (the driver writes at real-time pace,
// slower on a busy machine); returns its size then.
size_t waitForGrowth(const std::string& path, size_t bytes) {
  const size_t start = fileSize(path);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (fileSize(path) < start + bytes && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return fileSize(path);
}

class SoundEndToEndTest : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    zr_audio_set_manual(nullptr);
    output_ = (folder_.path / "out.raw").string();
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
  // Level 1's music and the laser from a copy of the game folder's archive, when the game's
  // sounds are in it: the music file's name, else empty.
  std::string GameMusic() {
    const std::string archive = ZR_GAME_DIR "/VELDRAN.DAT";
    if (!std::filesystem::exists(archive)) return "";
    std::filesystem::copy_file(archive, folder_.path / "VELDRAN.DAT");
    zr_io_deinit();
    std::snprintf(io_.archiveName, sizeof io_.archiveName, "VELDRAN.DAT");
    zr_io_init(&io_);
    char music[64] = "";
    zr_io_get_string("Level", "Music", music, sizeof music, "level\\level1.txt");
    const bool there = music[0] && zr_io_exists(music, ZR_IO_ARCHIVE) &&
                       zr_io_exists("snd\\laser1.wav", ZR_IO_ARCHIVE);
    return there ? music : "";
  }

  std::string output_;
};

TEST_F(SoundEndToEndTest, LaserAndLevelMusicReachTheOutputAndStopLeavesSilence) {
  // The game's own, or else a peer module and a short tone in their places.
  std::string musicFile = GameMusic();
  if (musicFile.empty()) {
    ZR_SKIP_WITHOUT_PEER_CASES();
    musicFile = "level\\music.s3m";
    write_bytes("level/music.s3m", read_bytes(peer_case("s3m/libxmp_pattern_loop_st301.s3m")));
    WaveSpec laser;
    laser.rate = 22050;
    laser.samples = sine16(3300, 1, 0.04, 20000);
    write_bytes("snd/laser1.wav", wave_bytes(laser));
  }
  SCOPED_TRACE("music " + musicFile);

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
  const size_t laserEnd = waitForGrowth(output_, bytesPerSecond / 4);

  ZR_MUSIC* music = zr_music_load(musicFile.c_str());
  ASSERT_NE(music, nullptr);
  ASSERT_EQ(zr_music_play(music), 1);
  const size_t musicEnd = waitForGrowth(output_, bytesPerSecond);
  ASSERT_EQ(zr_music_stop(music), 1);
  waitForGrowth(output_, bytesPerSecond * 3 / 10);
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
