// Wave files: the one accepted layout, each refusal with its code, sizes believed only as far as
// the file goes, and real files made by other software.
#include "engine/sound/wave.h"

#include <gtest/gtest.h>

#include "sound_support.h"

namespace {

class WaveTest : public SoundTest {
 protected:
  // Loads a file; the code recorded on failure, 0 on success.
  int Load(const std::string& name, ZR_WAVE* wave) {
    zr_error_set_detail("%s", "");
    const int module = zr_error_add_module("Sound", nullptr, &report_);
    const int loaded = zr_wave_load(name.c_str(), wave, module);
    if (loaded) return 0;
    EXPECT_EQ(zr_error_last_module(), module);
    EXPECT_STREQ(zr_error_detail(), name.c_str());
    return zr_error_last_code();
  }
  int LoadBytes(const std::string& bytes) {
    write_bytes("snd/test.wav", bytes);
    ZR_WAVE wave{};
    int code = Load("snd\\test.wav", &wave);
    if (wave.samples) zr_mem_free(wave.samples);
    return code;
  }
};

TEST_F(WaveTest, EightBitMonoAndSixteenBitStereoKeepTheirOwnFormat) {
  WaveSpec mono;
  mono.channels = 1, mono.bits = 8, mono.rate = 11025, mono.samples = std::string(300, '\x90');
  WaveSpec stereo;
  stereo.channels = 2, stereo.bits = 16, stereo.rate = 44100;
  stereo.samples = sine16(100, 2, 0.01, 1000);
  for (const WaveSpec& spec : {mono, stereo}) {
    write_bytes("snd/one.wav", wave_bytes(spec));
    ZR_WAVE wave{};
    ASSERT_EQ(Load("SND\\ONE.WAV", &wave), 0);
    EXPECT_EQ(wave.format.formatTag, 1);
    EXPECT_EQ(wave.format.channels, spec.channels);
    EXPECT_EQ(wave.format.bitsPerSample, spec.bits);
    EXPECT_EQ(wave.format.samplesPerSec, spec.rate);
    EXPECT_EQ(wave.format.blockAlign, spec.channels * spec.bits / 8);
    ASSERT_EQ(wave.size, spec.samples.size());
    EXPECT_EQ(std::memcmp(wave.samples, spec.samples.data(), wave.size), 0);
    zr_mem_free(wave.samples);
  }
}

TEST_F(WaveTest, EachLayoutFaultIsRefusedWithItsCode) {
  struct Case {
    const char* what;
    WaveSpec spec;
    int code;
  };
  WaveSpec plain;
  plain.samples = level16(50, 1, 100);
  auto with = [&](auto change) {
    WaveSpec spec = plain;
    change(spec);
    return spec;
  };
  const Case cases[] = {
      {"RIFX", with([](WaveSpec& s) { s.magic = "RIFX"; }), ZR_WAVE_NOT_RIFF},
      {"no WAVE", with([](WaveSpec& s) { s.wave = "AVI fmt "; }), ZR_WAVE_NOT_WAVE_FMT},
      {"chunk before fmt", with([](WaveSpec& s) { s.wave = "WAVEJUNK"; }), ZR_WAVE_NOT_WAVE_FMT},
      {"ADPCM", with([](WaveSpec& s) { s.tag = 2; }), ZR_WAVE_NOT_PCM},
      {"extensible", with([](WaveSpec& s) { s.tag = 0xFFFE; }), ZR_WAVE_NOT_PCM},
      {"LIST before data", with([](WaveSpec& s) { s.between = "LIST" + le32(4) + "INFO"; }),
       ZR_WAVE_NO_DATA},
      {"format size past the end", with([](WaveSpec& s) { s.statedFormatSize = 0xFFFFFFF0; }),
       ZR_WAVE_NO_DATA},
  };
  for (const Case& c : cases) EXPECT_EQ(LoadBytes(wave_bytes(c.spec)), c.code) << c.what;
  EXPECT_EQ(LoadBytes("RIFF"), ZR_WAVE_NOT_RIFF) << "cut short";
  EXPECT_EQ(LoadBytes(wave_bytes(plain).substr(0, 30)), ZR_WAVE_NOT_PCM) << "cut in the format";
  EXPECT_EQ(LoadBytes(wave_bytes(plain).substr(0, 40)), ZR_WAVE_NO_DATA) << "cut in the header";
  ZR_WAVE wave{};
  EXPECT_EQ(Load("snd\\missing.wav", &wave), ZR_WAVE_CANNOT_OPEN);
  // A longer format chunk is skipped by its size.
  EXPECT_EQ(LoadBytes(wave_bytes(with([](WaveSpec& s) { s.formatSize = 18; }))), 0);
}

TEST_F(WaveTest, StatedDataSizeIsClampedToTheBytesPresent) {
  WaveSpec spec;
  spec.samples = level16(100, 1, 300);
  spec.statedSize = 0xFFFFFFF0;  // a huge claim must not become a huge allocation
  write_bytes("big.wav", wave_bytes(spec));
  ZR_WAVE wave{};
  ASSERT_EQ(Load("big.wav", &wave), 0);
  EXPECT_EQ(wave.size, 200u);
  EXPECT_LT(zr_mem_used(), 1000);
  zr_mem_free(wave.samples);

  // A smaller claim reads only that much; an empty data chunk loads empty.
  spec.statedSize = 64;
  write_bytes("small.wav", wave_bytes(spec) + "trailing");
  ASSERT_EQ(Load("small.wav", &wave), 0);
  EXPECT_EQ(wave.size, 64u);
  zr_mem_free(wave.samples);
  spec.samples.clear();
  spec.statedSize = -1;
  write_bytes("empty.wav", wave_bytes(spec));
  ASSERT_EQ(Load("empty.wav", &wave), 0);
  EXPECT_EQ(wave.size, 0u);
  zr_mem_free(wave.samples);
}

// Files written by other programs: the plain PCM ones load, the others are refused by layout.
TEST_F(WaveTest, PeerFilesLoadOrAreRefusedWithTheirCode) {
  ZR_SKIP_WITHOUT_PEER_CASES();
  struct Case {
    const char* file;
    int code;
    uint32_t size;
  };
  const Case cases[] = {
      {"libxmp_blip8.wav", 0, 3800},
      {"libxmp_send.wav", 0, 57292},  // a LIST chunk after the data is no concern
      {"monogame_bark_mono_11hz_8bit.wav", 0, 17769},
      {"monogame_tone_stereo_44khz_16bit.wav", 0, 88200},
      {"monogame_rock_loop_stereo_11hz_8bit.wav", ZR_WAVE_NO_DATA, 0},
      {"monogame_tone_mono_44khz_imaadpcm.wav", ZR_WAVE_NOT_PCM, 0},
      {"monogame_tone_mono_44khz_msadpcm.wav", ZR_WAVE_NOT_PCM, 0},
      {"monogame_tone_stereo_44khz_msadpcm.wav", ZR_WAVE_NOT_PCM, 0},
      {"wavefile_8bit-mulaw-8kHz-noBext-mono-encoded.wav", ZR_WAVE_NOT_PCM, 0},
      {"wavefile_M1F1-int12WE-AFsp.wav", ZR_WAVE_NOT_PCM, 0},
      {"wavefile_RIFX-16bit-mono.wav", ZR_WAVE_NOT_RIFF, 0},
      {"wavefile_test-cue-reaper.wav", ZR_WAVE_NO_DATA, 0},
  };
  for (const Case& c : cases) {
    ZR_WAVE wave{};
    EXPECT_EQ(Load(peer_case(std::string("wav/") + c.file), &wave), c.code) << c.file;
    EXPECT_EQ(wave.size, c.size) << c.file;
    if (wave.samples) zr_mem_free(wave.samples);
  }
}

}  // namespace
