// The music stream: the chunk arithmetic, the mixer's parameters, loading (and replacing) modules,
// refills as the play cursor moves, stopping into silence, and the refill racing the main thread.
#include "engine/sound/music.h"

#include <gtest/gtest.h>
#include <xmp.h>

#include <atomic>
#include <thread>

#include "app/frame_loop.h"
#include "engine/platform/messages.h"
#include "sound_support.h"

namespace {

TEST(MusicChunkTest, CursorInChunkThreeWithNextChunkEight) {
  // The cursor has wrapped: chunks 8 and 9 now, 0 to 2 on the following call.
  EXPECT_EQ(zr_music_chunks_due(3, 8), 2);
  EXPECT_EQ(zr_music_chunks_due(3, 0), 3);
  EXPECT_EQ(zr_music_chunks_due(3, 3), 0);
  EXPECT_EQ(zr_music_chunks_due(9, 0), 9);
  EXPECT_EQ(zr_music_chunks_due(0, 9), 1);
  const uint32_t buffer = 176400, chunk = zr_music_chunk_size(buffer, 4);
  EXPECT_EQ(chunk, 17640u);
  ZR_MUSIC_SPAN span = zr_music_chunk_span(8, 2, chunk, buffer);
  EXPECT_EQ(span.offset, 8 * 17640u);
  EXPECT_EQ(span.bytes, 2 * 17640u);
  EXPECT_EQ(zr_music_chunk_of(3 * 17640 + 5, chunk), 3);
}

TEST(MusicChunkTest, ChunksKeepWholeFramesAndTheLastTakesTheTail) {
  struct Case {
    uint32_t rate, block, chunk, tail;
  };
  const Case cases[] = {
      {11025, 4, 4408, 4428},  // a tenth would be 1102.5 frames
      {11025, 2, 2204, 2214}, {11025, 1, 1102, 1107},
      {22050, 4, 8820, 8820}, {44100, 2, 8820, 8820},
  };
  for (const Case& c : cases) {
    const uint32_t buffer = c.rate * c.block;
    const uint32_t chunk = zr_music_chunk_size(buffer, c.block);
    EXPECT_EQ(chunk, c.chunk);
    EXPECT_EQ(chunk % c.block, 0u);
    ZR_MUSIC_SPAN last = zr_music_chunk_span(9, 1, chunk, buffer);
    EXPECT_EQ(last.bytes, c.tail);
    EXPECT_EQ(last.offset + last.bytes, buffer);
    // The cursor in the tail belongs to the last chunk.
    EXPECT_EQ(zr_music_chunk_of(buffer - c.block, chunk), 9);
    ZR_MUSIC_SPAN all = zr_music_chunk_span(0, 10, chunk, buffer);
    EXPECT_EQ(all.bytes, buffer);
  }
}

TEST(MusicMixerTest, VolumeModeAndQualityMapOntoTheMixer) {
  EXPECT_EQ(zr_music_mixer_volume(70), 91750);
  EXPECT_EQ(zr_music_mixer_volume(100), 131072);
  EXPECT_EQ(zr_music_mixer_volume(0), 0);
  EXPECT_EQ(zr_music_xmp_volume(131072), 100);
  EXPECT_EQ(zr_music_xmp_volume(91750), 70);
  EXPECT_EQ(zr_music_xmp_volume(0), 0);
  EXPECT_EQ(zr_music_mode(16, 2, 4), 0x17);
  EXPECT_EQ(zr_music_mode(8, 1, 8), 0x08);
  EXPECT_EQ(zr_music_mode(8, 2, 0), 0x02);
  EXPECT_EQ(zr_music_xmp_interpolation(0), XMP_INTERP_NEAREST);
  EXPECT_EQ(zr_music_xmp_interpolation(4), XMP_INTERP_LINEAR);
  EXPECT_EQ(zr_music_xmp_interpolation(8), XMP_INTERP_SPLINE);
}

class MusicTest : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    ZR_SKIP_WITHOUT_PEER_CASES();
  }
  // Copies a peer module into the scratch folder under the given name.
  void Copy(const char* peer, const std::string& name) {
    write_bytes(name, read_bytes(peer_case(std::string("s3m/") + peer)));
  }
};

constexpr const char* kSong = "libxmp_pattern_loop_st301.s3m";  // 16 channels, sound all along

TEST_F(MusicTest, PlayRefillStopAndSilence) {
  ASSERT_EQ(Start(), 1);
  Copy(kSong, "music/song.s3m");
  ZR_MUSIC* music = zr_music_load("MUSIC\\SONG.S3M");
  ASSERT_NE(music, nullptr);
  ASSERT_TRUE(zr_music_is_loaded());
  ASSERT_EQ(zr_music_play(music), 1);
  EXPECT_EQ(zr_music_play(music), 0);  // already playing
  EXPECT_EQ(zr_music_next_chunk(), 0);

  // 0.35 s consumed: the cursor is in chunk 3, so chunks 0 to 2 are refilled.
  std::vector<int16_t> heard = render16(15435);
  EXPECT_GT(rms(heard), 100);
  zr_music_update();
  EXPECT_EQ(zr_music_next_chunk(), 3);
  zr_music_update();
  EXPECT_EQ(zr_music_next_chunk(), 3);
  // To 0.95 s, then past the end: chunks 3 to 8, then 9 alone, then 0.
  render16(26460);
  zr_music_update();
  EXPECT_EQ(zr_music_next_chunk(), 9);
  render16(4410 + 2205);
  zr_music_update();
  EXPECT_EQ(zr_music_next_chunk(), 0);
  zr_music_update();
  EXPECT_EQ(zr_music_next_chunk(), 1);
  EXPECT_GT(rms(render16(4410)), 100);

  ASSERT_EQ(zr_music_stop(music), 1);
  EXPECT_FALSE(zr_music_is_playing());
  EXPECT_EQ(zr_music_stop(music), 0);
  std::vector<int16_t> after = render16(44100);
  EXPECT_EQ(peak(after, 2 * 400), 0);  // silence flows after the fade
  zr_music_update();
  EXPECT_EQ(peak(render16(4410)), 0);
  zr_music_free(music);
  EXPECT_FALSE(zr_music_is_loaded());
}

TEST_F(MusicTest, MissingFileKeepsThePreviousMusicAndLoadsReplaceWithoutLeaks) {
  ASSERT_EQ(Start(), 1);
  Copy(kSong, "a.s3m");
  Copy("libxmp_stereo.s3m", "b.s3m");
  ZR_MUSIC* first = zr_music_load("a.s3m");
  ASSERT_NE(first, nullptr);
  ASSERT_EQ(zr_music_play(first), 1);
  EXPECT_EQ(zr_music_load("level\\none.s3m"), nullptr);
  ASSERT_EQ(sound_boxes().size(), 1u);
  EXPECT_EQ(sound_boxes()[0].text, "Could not open file level\\none.s3m");
  EXPECT_EQ(sound_boxes()[0].caption, "(none)");
  EXPECT_EQ(zr_music_current(), first);
  EXPECT_TRUE(zr_music_is_playing());

  write_bytes("junk.s3m", "not a module at all");
  EXPECT_EQ(zr_music_load("junk.s3m"), nullptr);
  EXPECT_EQ(sound_boxes().back().text, "Could not load junk.s3m");
  EXPECT_EQ(zr_music_current(), first);

  // Level after level: each load replaces the music, and the tracked memory stays flat.
  const int32_t used = zr_mem_used();
  ZR_MUSIC* music = nullptr;
  for (int level = 0; level < 6; ++level) {
    music = zr_music_load(level % 2 ? "a.s3m" : "b.s3m");
    ASSERT_NE(music, nullptr);
    EXPECT_FALSE(zr_music_is_playing());
    ASSERT_EQ(zr_music_play(music), 1);
  }
  EXPECT_EQ(zr_mem_used(), used);
  zr_music_free(first);  // already replaced: nothing happens
  EXPECT_EQ(zr_music_current(), music);
  zr_music_free(music);
  EXPECT_LT(zr_mem_used(), used);
}

TEST_F(MusicTest, MusicToggleVolumeQualityAndInactiveWindow) {
  ASSERT_EQ(Start(), 1);
  Copy(kSong, "song.s3m");
  ZR_MUSIC* music = zr_music_load("song.s3m");
  ASSERT_EQ(zr_music_play(music), 1);
  render16(4410);
  EXPECT_EQ(zr_sound_toggle_music(), 0);
  EXPECT_FALSE(zr_music_is_playing());
  EXPECT_EQ(zr_music_play(music), 0);  // music is off
  render16(4410);
  EXPECT_EQ(peak(render16(4410)), 0);
  EXPECT_EQ(zr_sound_toggle_music(), 1);
  EXPECT_TRUE(zr_music_is_playing());
  const double loud = rms(render16(22050));

  zr_sound_set_music_volume(20);
  zr_sound_set_quality(8);
  for (int i = 0; i < 3; ++i) {
    render16(4410);
    zr_music_update();
  }
  render16(44100);  // the second mixed before the change has gone by
  zr_music_update();
  render16(22050);
  zr_music_update();
  const double quiet = rms(render16(22050));
  EXPECT_LT(quiet, loud * 0.5);
  EXPECT_GT(quiet, 0);

  // The window goes inactive: the stream stops; back active, it plays on.
  zr_sound_window_message(WM_ACTIVATE, WA_INACTIVE, 0);
  render16(1000);
  EXPECT_EQ(peak(render16(4410)), 0);
  zr_sound_window_message(WM_ACTIVATE, WA_ACTIVE, 0);
  render16(1000);
  EXPECT_GT(peak(render16(4410)), 0);
  zr_music_free(music);
}

// The application's timer tick refills only while music is on, the window active and a music
// loaded: an inactive window gets no music work at all.
TEST_F(MusicTest, TimerTickRefillsOnlyForAnActiveWindow) {
  ASSERT_EQ(Start(), 1);
  Copy(kSong, "song.s3m");
  ZR_MUSIC* music = zr_music_load("song.s3m");
  ASSERT_EQ(zr_music_play(music), 1);
  render16(15435);
  zr_sound_window_message(WM_ACTIVATE, WA_INACTIVE, 0);
  TimerTick();
  EXPECT_EQ(zr_music_next_chunk(), 0);
  zr_sound_window_message(WM_ACTIVATE, WA_ACTIVE, 0);
  TimerTick();
  EXPECT_EQ(zr_music_next_chunk(), 3);
  zr_sound_toggle_music();
  zr_sound_toggle_music();  // played again from its start
  render16(15435);
  zr_sound_toggle_music();
  TimerTick();
  EXPECT_EQ(zr_music_next_chunk(), 0);
  zr_music_free(music);
}

// An 8-bit mono device at 11025: the stream is unsigned bytes around 128 in chunks of whole
// frames, and stopping leaves the unsigned silence.
TEST_F(MusicTest, EightBitMonoDeviceStreamsUnsignedMusic) {
  ASSERT_EQ(Start(ZR_AUDIO_MANUAL{8, 1, false, false, true}), 1);
  Copy(kSong, "song.s3m");
  ZR_MUSIC* music = zr_music_load("song.s3m");
  ASSERT_EQ(zr_music_play(music), 1);
  std::vector<uint8_t> out(11025);
  zr_audio_render(out.data(), 5000);
  zr_music_update();
  EXPECT_EQ(zr_music_next_chunk(), 4);  // chunks of 1102 bytes
  zr_audio_render(out.data(), uint32_t(out.size()));
  int low = 255, high = 0;
  for (uint8_t value : out) low = std::min<int>(low, value), high = std::max<int>(high, value);
  EXPECT_LT(low, 120);
  EXPECT_GT(high, 136);
  zr_music_stop(music);
  zr_audio_render(out.data(), uint32_t(out.size()));
  EXPECT_EQ(out[5000], 128);
  EXPECT_EQ(out.back(), 128);
  zr_music_free(music);
}

// Every S3M of other trackers loads and mixes; the ones with sampled instruments are heard.
TEST_F(MusicTest, PeerModulesLoadAndPlay) {
  ASSERT_EQ(Start(), 1);
  const std::pair<const char*, bool> modules[] = {
      {"libxmp_format_s3m_schism.s3m", true},  {"libxmp_pattern_loop_imf.s3m", true},
      {"libxmp_pattern_loop_st301.s3m", true}, {"libxmp_stereo.s3m", true},
      {"openmpt_OxxMemory.s3m", true},         {"openmpt_PortaSmpChange.s3m", true},
      {"openmpt_RetrigSlide.s3m", true},       {"openmpt_TonePortamentoWithAdlibNote.s3m", false},
      {"openmpt_VibratoTypeChange.s3m", true},
  };
  for (const auto& [file, audible] : modules) {
    ZR_MUSIC* music = zr_music_load(peer_case(std::string("s3m/") + file).c_str());
    ASSERT_NE(music, nullptr) << file;
    ASSERT_EQ(zr_music_play(music), 1) << file;
    std::vector<int16_t> out = render16(22050);
    if (audible) {
      EXPECT_GT(peak(out), 0) << file;
    }
    zr_music_free(music);
  }
  EXPECT_TRUE(sound_boxes().empty());
}

// The timer thread refills while the main thread loads, plays, stops and frees.
TEST_F(MusicTest, RefillRacesNothing) {
  ASSERT_EQ(Start(), 1);
  Copy(kSong, "a.s3m");
  Copy("openmpt_VibratoTypeChange.s3m", "b.s3m");
  std::atomic<bool> done{false};
  std::thread timer([&] {
    while (!done) {
      if (zr_music_is_loaded()) zr_music_update();
      render16(441);
    }
  });
  for (int round = 0; round < 40; ++round) {
    ZR_MUSIC* music = zr_music_load(round % 2 ? "a.s3m" : "b.s3m");
    ASSERT_NE(music, nullptr);
    zr_music_play(music);
    zr_sound_set_music_volume(round % 100);
    zr_sound_set_quality(round % 3 * 4);
    std::this_thread::sleep_for(std::chrono::microseconds(500));
    if (round % 3 == 0) zr_music_stop(music);
    if (round % 5 == 0) zr_music_free(music);
  }
  done = true;
  timer.join();
  zr_music_free(zr_music_current());
}

}  // namespace
