// The sound module: settings and their mirror in the application's integers, the device's
// start-up and its failures, effects, window messages and the Sound menu.
#include "engine/sound/sound.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/core/keyfile.h"
#include "engine/platform/messages.h"
#include "sound_support.h"

namespace {

using SoundModuleTest = SoundTest;

TEST(SoundLevelTest, EffectsVolumeMapsOntoHundredthsOfADecibel) {
  const int32_t table[][2] = {{100, 0}, {80, -1000}, {70, -1500}, {1, -5000}, {0, -5000}};
  for (const auto& row : table) EXPECT_EQ(zr_sound_effect_level(row[0]), row[1]) << row[0];
}

TEST_F(SoundModuleTest, WithoutASoundSectionTheDefaultsStay) {
  write_bytes("zrsentry.ini", "[Display]\r\nMode=1\r\n");
  ASSERT_EQ(Start(), 1);
  EXPECT_EQ(musicOn, 1);
  EXPECT_EQ(effectsOn, 1);
  EXPECT_EQ(musicVolume, 70);
  EXPECT_EQ(effectsVolume, 80);
  EXPECT_EQ(quality, 4);
  ZR_SOUND_MENU menu = zr_sound_menu();
  EXPECT_TRUE(menu.enabled);
  EXPECT_TRUE(menu.musicChecked && menu.effectsChecked && menu.qualityMediumChecked);
  EXPECT_FALSE(menu.qualityLowChecked || menu.qualityHighChecked);
  EXPECT_EQ(menu.menuPosition, 2);
  EXPECT_EQ(menu.qualityPosition, 3);
}

TEST_F(SoundModuleTest, SettingsAreClampedNormalisedMirroredAndSaved) {
  write_bytes("zrsentry.ini",
              "[Sound]\r\nDigitalMusic=0\r\nSoundEffects=1\r\nMusicVolume=150\r\n"
              "SoundVolume=-5\r\nInterpolation=5\r\n");
  ASSERT_EQ(Start(), 1);
  EXPECT_EQ(zr_sound_music_volume(), 100);
  EXPECT_EQ(zr_sound_effects_volume(), 0);
  EXPECT_EQ(zr_sound_quality(), 0);
  EXPECT_TRUE(zr_sound_menu().qualityLowChecked);
  EXPECT_FALSE(zr_sound_menu().musicChecked);
  EXPECT_EQ(musicOn, 0);
  EXPECT_EQ(musicVolume, ZR_SOUND_VOLUME_OFF);  // music is off
  EXPECT_EQ(effectsVolume, 0);

  zr_sound_set_effects_volume(55);
  zr_sound_set_quality(8);
  EXPECT_EQ(effectsVolume, 55);
  EXPECT_EQ(quality, 8);
  EXPECT_TRUE(zr_sound_menu().qualityHighChecked);
  EXPECT_EQ(zr_sound_toggle_music(), 1);
  EXPECT_EQ(musicVolume, 100);
  zr_sound_deinit();
  const std::string ini = read_bytes("zrsentry.ini");
  for (const char* line : {"DigitalMusic=1", "SoundEffects=1", "MusicVolume=100", "SoundVolume=55",
                           "Interpolation=8"}) {
    EXPECT_NE(ini.find(line), std::string::npos) << line << " in " << ini;
  }
}

TEST_F(SoundModuleTest, EffectsOffMarksTheVolumeAndPlaysNothing) {
  ASSERT_EQ(Start(), 1);
  WaveSpec spec;
  spec.rate = 44100;
  spec.samples = level16(4410, 1, 8000);
  write_bytes("snd/laser.wav", wave_bytes(spec));
  ZR_SOUND* laser = zr_sound_load("snd\\laser.wav");
  ASSERT_NE(laser, nullptr);

  EXPECT_EQ(zr_sound_toggle_effects(), 0);
  EXPECT_EQ(effectsVolume, ZR_SOUND_VOLUME_OFF);
  EXPECT_FALSE(zr_sound_menu().effectsChecked);
  EXPECT_EQ(zr_sound_play(laser, 0), 0);
  EXPECT_EQ(zr_sound_is_playing(laser), 0);
  EXPECT_EQ(peak(render16(1000)), 0);

  EXPECT_EQ(zr_sound_toggle_effects(), 1);
  EXPECT_EQ(effectsVolume, 80);
  EXPECT_EQ(zr_sound_play(laser, 0), 1);
  EXPECT_EQ(zr_sound_is_playing(laser), 1);
  std::vector<int16_t> out = render16(2000);
  // Effects volume 80 plays at -10 dB.
  EXPECT_NEAR(out[2 * 1000], 8000 * 0.3162, 3);
  EXPECT_EQ(zr_sound_stop(laser), 1);
  EXPECT_EQ(zr_sound_is_playing(laser), 0);
  zr_sound_free(laser);
}

TEST_F(SoundModuleTest, EffectFailuresRecordTheirCodes) {
  ASSERT_EQ(Start(), 1);
  const int module = zr_sound_module();
  EXPECT_EQ(zr_sound_load("snd\\none.wav"), nullptr);
  EXPECT_EQ(zr_error_last_module(), module);
  EXPECT_EQ(zr_error_last_code(), 11);  // after the reader's own 19
  EXPECT_EQ(zr_sound_play(nullptr, 0), 0);
  EXPECT_EQ(zr_error_last_code(), 3);
  EXPECT_EQ(zr_sound_stop(nullptr), 0);
  EXPECT_EQ(zr_error_last_code(), 3);
  // A PCM wave in a format the mixer cannot play: no buffer.
  WaveSpec spec;
  spec.bits = 12;
  spec.samples = std::string(40, '\0');
  write_bytes("odd.wav", wave_bytes(spec));
  EXPECT_EQ(zr_sound_load("odd.wav"), nullptr);
  EXPECT_EQ(zr_error_last_code(), 14);
  spec.bits = 16;
  spec.samples.clear();
  write_bytes("empty.wav", wave_bytes(spec));
  EXPECT_EQ(zr_sound_load("empty.wav"), nullptr);
  EXPECT_EQ(zr_error_last_code(), 14);
}

TEST_F(SoundModuleTest, ADeviceThatTakesOnly22050EndsThere) {
  ASSERT_EQ(Start(ZR_AUDIO_MANUAL{16, 2, false, true, false}), 1);
  int32_t channels = 0, bits = 0, rate = 0;
  zr_sound_device_format(&channels, &bits, &rate);
  EXPECT_EQ(rate, 22050);
  zr_sound_deinit();
  ASSERT_EQ(Start(ZR_AUDIO_MANUAL{8, 1, true, true, true}), 1);
  zr_sound_device_format(&channels, &bits, &rate);
  EXPECT_EQ(rate, 44100);
  EXPECT_EQ(bits, 8);
  EXPECT_EQ(channels, 1);
  EXPECT_TRUE(sound_boxes().empty());
}

TEST_F(SoundModuleTest, ADeviceTakingNoRateFailsWithTheTerminatingBox) {
  EXPECT_EQ(Start(ZR_AUDIO_MANUAL{16, 2, false, false, false}), 0);
  ASSERT_EQ(sound_boxes().size(), 1u);
  EXPECT_EQ(sound_boxes()[0].text, "CreatePrimarySoundBuffer failed");
  EXPECT_EQ(sound_boxes()[0].caption, "Terminating");
  EXPECT_EQ(musicVolume, ZR_SOUND_VOLUME_NO_DEVICE);
  EXPECT_EQ(effectsVolume, ZR_SOUND_VOLUME_NO_DEVICE);
  EXPECT_FALSE(zr_sound_menu().enabled);
  // Without a device everything is silent and nothing needs checks.
  EXPECT_EQ(zr_sound_load("snd\\menu.wav"), nullptr);
  EXPECT_EQ(zr_error_last_code(), 16);
  EXPECT_EQ(zr_sound_toggle_music(), 0);
  EXPECT_EQ(zr_music_load("x.s3m"), nullptr);
}

// The system's audio: an unknown driver is a device that cannot be reached (the box); the dummy
// driver is no device on purpose (silent, no box).
TEST_F(SoundModuleTest, SystemDriversThatFailOrAreDummy) {
  zr_audio_set_manual(nullptr);
  struct Case {
    const char* driver;
    size_t boxes;
  };
  for (const Case& c : {Case{"no-such-driver", 1}, Case{"dummy", 0}}) {
    sound_boxes().clear();
    ::setenv("SDL_AUDIODRIVER", c.driver, 1);
    ZR_SOUND_CONFIG config = Config();
    EXPECT_EQ(zr_sound_init(&config), 0);
    ASSERT_EQ(sound_boxes().size(), c.boxes) << c.driver;
    if (c.boxes) {
      EXPECT_EQ(sound_boxes()[0].text, "DirectSoundCreate failed");
      EXPECT_EQ(sound_boxes()[0].caption, "Terminating");
    }
    EXPECT_EQ(musicVolume, ZR_SOUND_VOLUME_NO_DEVICE);
    zr_sound_deinit();
  }
  ::unsetenv("SDL_AUDIODRIVER");
}

TEST_F(SoundModuleTest, KeysCommandsAndActivation) {
  ASSERT_EQ(Start(kManual16Stereo, false), 1);
  EXPECT_EQ(zr_sound_window_message(WM_KEYDOWN, VK_F2, 0), 1);
  EXPECT_EQ(musicOn, 0);
  zr_sound_window_message(WM_KEYDOWN, VK_F3, 0);
  EXPECT_EQ(effectsOn, 0);
  zr_sound_window_message(WM_COMMAND, CMD_MUSIC_TOGGLE, 0);
  zr_sound_window_message(WM_COMMAND, CMD_EFFECTS_TOGGLE, 0);
  EXPECT_EQ(musicOn, 1);
  EXPECT_EQ(effectsOn, 1);
  const std::pair<uint32_t, int32_t> qualities[] = {
      {CMD_QUALITY_HIGH, 8}, {CMD_QUALITY_LOW, 0}, {CMD_QUALITY_MEDIUM, 4}};
  for (const auto& [id, value] : qualities) {
    zr_sound_window_message(WM_COMMAND, id, 0);
    EXPECT_EQ(quality, value);
    EXPECT_EQ(zr_sound_menu().qualityLowChecked, value == 0);
    EXPECT_EQ(zr_sound_menu().qualityMediumChecked, value == 4);
    EXPECT_EQ(zr_sound_menu().qualityHighChecked, value == 8);
  }
  EXPECT_FALSE(zr_sound_window_active());
  zr_sound_window_message(WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_TRUE(zr_sound_window_active());
  EXPECT_EQ(active, 1);
  zr_sound_window_message(WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_EQ(active, 0);
}

}  // namespace
