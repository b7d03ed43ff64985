// The device layer in manual mode: format negotiation, the mixer's sums, rates, volumes,
// saturation, fades and the buffers' play state.
#include "engine/platform/audio.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "sound_support.h"

namespace {

struct ProbeLog {
  bool accept44100, accept22050, accept11025;
  std::vector<int32_t> tried;
};

bool logProbe(const ZR_AUDIO_FORMAT& format, void* context) {
  auto* log = static_cast<ProbeLog*>(context);
  log->tried.push_back(format.rate);
  return (format.rate == 44100 && log->accept44100) || (format.rate == 22050 && log->accept22050) ||
         (format.rate == 11025 && log->accept11025);
}

TEST(AudioNegotiationTest, HighestAcceptedRateWinsAndEveryRateIsTried) {
  struct Case {
    bool a44, a22, a11;
    int32_t highest, lowest;
  };
  const Case cases[] = {
      {true, true, true, 44100, 11025},   {false, true, false, 22050, 22050},
      {false, false, true, 11025, 11025}, {true, false, true, 44100, 11025},
      {false, false, false, 0, 0},
  };
  for (const Case& c : cases) {
    ProbeLog log{c.a44, c.a22, c.a11, {}};
    int32_t lowest = -1;
    EXPECT_EQ(zr_audio_negotiate_rate(2, 16, logProbe, &log, &lowest), c.highest);
    EXPECT_EQ(lowest, c.lowest);
    EXPECT_EQ(log.tried, (std::vector<int32_t>{44100, 22050, 11025}));
  }
}

// A manual output of the given format, closed at the end.
class AudioMixTest : public ::testing::Test {
 protected:
  void Open(int32_t channels = 2, int32_t bits = 16, int32_t rate = 44100) {
    ZR_AUDIO_MANUAL device{bits, channels, true, true, true};
    zr_audio_set_manual(&device);
    ASSERT_EQ(zr_audio_create(), ZR_AUDIO_CREATED);
    ASSERT_TRUE(zr_audio_open(ZR_AUDIO_FORMAT{channels, bits, rate}));
  }
  void TearDown() override {
    zr_audio_close();
    zr_audio_set_manual(nullptr);
  }
  ZR_AUDIO_BUFFER* Buffer(const ZR_AUDIO_FORMAT& format, const std::string& bytes) {
    ZR_AUDIO_BUFFER* buffer = zr_audio_buffer_create(format, uint32_t(bytes.size()));
    EXPECT_NE(buffer, nullptr);
    void *p1 = nullptr, *p2 = nullptr;
    uint32_t s1 = 0, s2 = 0;
    EXPECT_TRUE(zr_audio_buffer_lock(buffer, 0, uint32_t(bytes.size()), &p1, &s1, &p2, &s2));
    std::memcpy(p1, bytes.data(), s1);
    EXPECT_TRUE(zr_audio_buffer_unlock(buffer));
    return buffer;
  }
};

TEST_F(AudioMixTest, ConstantLevelPlaysAtItsVolumeAfterTheFadeIn) {
  Open();
  ZR_AUDIO_BUFFER* buffer = Buffer({2, 16, 44100}, level16(4410, 2, 10000));
  ASSERT_TRUE(zr_audio_buffer_play(buffer, false));
  std::vector<int16_t> out = render16(2000);
  EXPECT_LT(std::abs(out[0]), 100);      // starts from silence
  EXPECT_NEAR(out[2 * 1000], 10000, 1);  // full level once faded in
  EXPECT_NEAR(out[2 * 1000 + 1], 10000, 1);
  EXPECT_LT(largest_step(out, 2), 100);  // no click at the start

  // -600 hundredths of a decibel: half the amplitude.
  ASSERT_TRUE(zr_audio_buffer_set_volume(buffer, -602));
  out = render16(100);
  EXPECT_NEAR(out[0], 5000, 10);
  ASSERT_TRUE(zr_audio_buffer_set_volume(buffer, ZR_AUDIO_VOLUME_MIN));
  EXPECT_EQ(peak(render16(100)), 0);
  EXPECT_FALSE(zr_audio_buffer_set_volume(buffer, 1));
  EXPECT_FALSE(zr_audio_buffer_set_volume(buffer, -10001));
}

TEST_F(AudioMixTest, StopFadesOutWithoutAClickAndKeepsThePosition) {
  Open();
  ZR_AUDIO_BUFFER* buffer = Buffer({2, 16, 44100}, level16(44100, 2, 30000));
  zr_audio_buffer_play(buffer, true);
  render16(1000);
  ASSERT_TRUE(zr_audio_buffer_stop(buffer));
  EXPECT_FALSE(zr_audio_buffer_is_playing(buffer));
  EXPECT_EQ(zr_audio_buffer_position(buffer), 1000u * 4);
  std::vector<int16_t> out = render16(1000);
  EXPECT_GT(out[0], 29000);          // fading from where it was
  EXPECT_EQ(peak(out, 2 * 300), 0);  // silent within a few milliseconds
  EXPECT_LT(largest_step(out, 2), 200);
  EXPECT_EQ(zr_audio_buffer_position(buffer), 1000u * 4);
}

TEST_F(AudioMixTest, SinglePlayEndsWithAFadeAndLoopingGoesOn) {
  Open();
  ZR_AUDIO_BUFFER* once = Buffer({1, 16, 44100}, level16(2000, 1, 20000));
  zr_audio_buffer_play(once, false);
  std::vector<int16_t> out = render16(3000);
  EXPECT_FALSE(zr_audio_buffer_is_playing(once));
  EXPECT_EQ(peak(out, 2 * 2000), 0);
  EXPECT_LT(largest_step(out, 2), 200);  // neither the start nor the end clicks
  EXPECT_GT(out[2 * 1000], 19900);       // mono goes to both channels
  EXPECT_EQ(out[2 * 1000], out[2 * 1000 + 1]);

  ZR_AUDIO_BUFFER* loop = Buffer({1, 16, 44100}, level16(100, 1, 20000));
  zr_audio_buffer_play(loop, true);
  render16(5000);
  EXPECT_TRUE(zr_audio_buffer_is_playing(loop));
  // Playing an already playing buffer only changes the loop choice.
  zr_audio_buffer_play(loop, false);
  render16(200);
  EXPECT_FALSE(zr_audio_buffer_is_playing(loop));
}

TEST_F(AudioMixTest, RatesAreResampledAndFormatsConverted) {
  Open(2, 16, 44100);
  // 8-bit unsigned mono at 11025: 1000 source frames last 4000 output frames.
  std::string bytes(1000, char(0x80 + 64));
  ZR_AUDIO_BUFFER* buffer = Buffer({1, 8, 11025}, bytes);
  zr_audio_buffer_play(buffer, false);
  std::vector<int16_t> out = render16(4400);
  EXPECT_NEAR(out[2 * 2000], 64 * 256, 2);
  EXPECT_NE(out[2 * 3900], 0);
  EXPECT_EQ(peak(out, 2 * 4001), 0);

  // A 22050 sine of 1 kHz keeps its pitch at 44100: one period every 44.1 output frames.
  ZR_AUDIO_BUFFER* sine = Buffer({2, 16, 22050}, sine16(22050, 2, 1000.0 / 22050, 16000));
  zr_audio_buffer_play(sine, false);
  out = render16(44100);
  int crossings = 0;
  for (size_t i = 2 * 4410; i < 2 * 44100 - 2 * 4410; i += 2) {
    crossings += (out[i - 2] < 0) != (out[i] < 0);
  }
  EXPECT_NEAR(crossings, 2 * 800, 4);  // 0.8 seconds of 1 kHz
}

TEST_F(AudioMixTest, SumsSaturateInsteadOfWrapping) {
  for (int32_t bits : {16, 8}) {
    Open(2, bits, 22050);
    ZR_AUDIO_BUFFER* a = Buffer({2, 16, 22050}, level16(22050, 2, 30000));
    ZR_AUDIO_BUFFER* b = Buffer({2, 16, 22050}, level16(22050, 2, 30000));
    zr_audio_buffer_play(a, false);
    zr_audio_buffer_play(b, false);
    std::vector<uint8_t> out(4000 * 2 * bits / 8);
    zr_audio_render(out.data(), uint32_t(out.size()));
    if (bits == 16) {
      int16_t value;
      std::memcpy(&value, out.data() + 2 * 2 * 2000, 2);
      EXPECT_EQ(value, 32767);
    } else {
      EXPECT_EQ(out[2 * 2000], 255);
    }
    zr_audio_close();
  }
}

TEST_F(AudioMixTest, LocksWrapAroundTheEndAndRefuseBadRegions) {
  Open();
  ZR_AUDIO_BUFFER* buffer = zr_audio_buffer_create({2, 16, 44100}, 4000);
  ASSERT_NE(buffer, nullptr);
  void *p1 = nullptr, *p2 = nullptr;
  uint32_t s1 = 0, s2 = 0;
  ASSERT_TRUE(zr_audio_buffer_lock(buffer, 3000, 2000, &p1, &s1, &p2, &s2));
  EXPECT_EQ(s1, 1000u);
  EXPECT_EQ(s2, 1000u);
  EXPECT_NE(p2, nullptr);
  EXPECT_TRUE(zr_audio_buffer_unlock(buffer));
  EXPECT_FALSE(zr_audio_buffer_unlock(buffer));
  EXPECT_FALSE(zr_audio_buffer_lock(buffer, 4000, 4, &p1, &s1, &p2, &s2));
  EXPECT_FALSE(zr_audio_buffer_lock(buffer, 0, 4001, &p1, &s1, &p2, &s2));
  // Formats the mixer does not play, and empty buffers, are refused.
  EXPECT_EQ(zr_audio_buffer_create({3, 16, 44100}, 600), nullptr);
  EXPECT_EQ(zr_audio_buffer_create({2, 12, 44100}, 600), nullptr);
  EXPECT_EQ(zr_audio_buffer_create({2, 16, 0}, 600), nullptr);
  EXPECT_EQ(zr_audio_buffer_create({2, 16, 44100}, 3), nullptr);
}

}  // namespace
