#include "engine/sound/sound.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "engine/core/error.h"
#include "engine/core/fileio.h"
#include "engine/core/keyfile.h"
#include "engine/core/memory.h"
#include "engine/platform/audio.h"
#include "engine/platform/message_box.h"
#include "engine/platform/messages.h"
#include "engine/sound/music.h"
#include "engine/sound/wave.h"

// A sound effect: its wave and the device buffer it plays from.
struct ZR_SOUND {
  char name[128];
  ZR_WAVE wave;
  ZR_AUDIO_BUFFER* buffer;
};

namespace {

constexpr const char* kMessages[] = {
    "",
    "",
    "",
    "No sound effect given",
    "Could not rewind the sound buffer",
    "Could not play the sound buffer",
    "Could not stop the sound buffer",
    "The sound effect has no buffer",
    "Could not release the sound buffer",
    "Could not set the volume of the sound buffer",
    "Not enough memory",
    "Unable to load wave",
    "Could not unlock the sound buffer",
    "Could not lock the sound buffer",
    "Could not create the sound buffer",
    "",
    "No sound device",
    "",
    "",
    "Could not open wave file",
    "Not a RIFF file",
    "Not a WAVE file with its format chunk first",
    "Not an uncompressed PCM wave",
    "No data chunk right after the format chunk",
};
constexpr int kNoEffect = 3, kCannotRewind = 4, kCannotPlay = 5, kCannotStop = 6, kNoBuffer = 7;
constexpr int kCannotSetVolume = 9, kNoMemory = 10, kCannotLoadWave = 11, kCannotUnlock = 12;
constexpr int kCannotLock = 13, kCannotCreate = 14, kNoDevice = 16;

constexpr const char* kSection = "Sound";
constexpr const char* kTerminating = "Terminating";

int g_module = -1;
bool g_started = false;
ZR_SOUND_CONFIG g_config{};
ZR_SOUND_MENU g_menu{};

// Read by the timer thread (music gate and refill) as well as the main thread.
std::atomic<bool> g_device{false};
std::atomic<bool> g_musicOn{true};
std::atomic<bool> g_effectsOn{true};
std::atomic<bool> g_active{false};
std::atomic<int32_t> g_musicVolume{ZR_SOUND_DEFAULT_MUSIC_VOLUME};
std::atomic<int32_t> g_effectsVolume{ZR_SOUND_DEFAULT_EFFECTS_VOLUME};
std::atomic<int32_t> g_quality{ZR_SOUND_DEFAULT_QUALITY};
ZR_AUDIO_FORMAT g_format{};

int32_t clampVolume(int32_t volume) {
  return std::clamp<int32_t>(volume, 0, 100);
}

int32_t normalQuality(int32_t quality) {
  return quality == 4 || quality == 8 ? quality : 0;
}

void set(int32_t* target, int32_t value) {
  if (target) *target = value;
}

// Keeps the application's integers equal to the module's state.
void mirror() {
  const bool device = g_device;
  set(g_config.appActive, g_active ? 1 : 0);
  set(g_config.musicOn, g_musicOn ? 1 : 0);
  set(g_config.effectsOn, g_effectsOn ? 1 : 0);
  set(g_config.musicVolume, !device     ? ZR_SOUND_VOLUME_NO_DEVICE
                            : g_musicOn ? g_musicVolume.load()
                                        : ZR_SOUND_VOLUME_OFF);
  set(g_config.effectsVolume, !device       ? ZR_SOUND_VOLUME_NO_DEVICE
                              : g_effectsOn ? g_effectsVolume.load()
                                            : ZR_SOUND_VOLUME_OFF);
  set(g_config.quality, g_quality);
}

void report(int code, const char* detail) {
  zr_error_set_detail("%s", detail ? detail : "");
  zr_error_report(g_module, code);
}

// The application's initial values are the defaults; markers of an earlier run are not values.
int32_t initial(const int32_t* value, int32_t fallback) {
  return value && *value >= 0 ? *value : fallback;
}

// No device: silent from here on.
int noDevice() {
  g_device = false;
  g_menu.enabled = false;
  mirror();
  return 0;
}

int deviceFailed(const char* text) {
  zr_audio_close();
  zr_message_box(text, kTerminating, MB_OK | MB_ICONEXCLAMATION);
  return noDevice();
}

bool probe(const ZR_AUDIO_FORMAT& format, void*) {
  return zr_audio_accepts(format);
}

int openDevice() {
  const int created = zr_audio_create();
  if (created == ZR_AUDIO_ABSENT) return noDevice();
  if (created != ZR_AUDIO_CREATED) return deviceFailed("DirectSoundCreate failed");
  int32_t bits = 0, channels = 0;
  if (!zr_audio_capabilities(&bits, &channels)) {
    return deviceFailed("Get Sound Device description failed");
  }
  // Our output is shared with the rest of the system: there is no cooperation level to set.
  int32_t lowest = 0;
  const int32_t rate = zr_audio_negotiate_rate(channels, bits, probe, nullptr, &lowest);
  const ZR_AUDIO_FORMAT format{channels, bits, rate};
  if (rate == 0 || !zr_audio_open(format)) return deviceFailed("CreatePrimarySoundBuffer failed");
  g_format = format;
  g_device = true;
  zr_music_open(channels, bits, rate, g_config.report ? *g_config.report : 0);
  return 1;
}

bool validEffect(ZR_SOUND* sound) {
  if (!sound) {
    report(kNoEffect, "");
    return false;
  }
  if (!sound->buffer) {
    report(kNoBuffer, sound->name);
    return false;
  }
  return true;
}

void freeEffect(ZR_SOUND* sound) {
  if (sound->wave.samples) zr_mem_free(sound->wave.samples);
  zr_mem_free(sound);
}

bool fillBuffer(ZR_SOUND* sound) {
  void* part1 = nullptr;
  void* part2 = nullptr;
  uint32_t size1 = 0, size2 = 0;
  if (!zr_audio_buffer_lock(sound->buffer, 0, sound->wave.size, &part1, &size1, &part2, &size2)) {
    report(kCannotLock, sound->name);
    return false;
  }
  zr_mem_copy(part1, sound->wave.samples, size1);
  if (!zr_audio_buffer_unlock(sound->buffer)) {
    report(kCannotUnlock, sound->name);
    return false;
  }
  return true;
}

void command(uint32_t id) {
  switch (id) {
    case CMD_MUSIC_TOGGLE:
      zr_sound_toggle_music();
      break;
    case CMD_EFFECTS_TOGGLE:
      zr_sound_toggle_effects();
      break;
    case CMD_QUALITY_LOW:
      zr_sound_set_quality(0);
      break;
    case CMD_QUALITY_MEDIUM:
      zr_sound_set_quality(4);
      break;
    case CMD_QUALITY_HIGH:
      zr_sound_set_quality(8);
      break;
    default:
      break;
  }
}

}  // namespace

int zr_sound_init(ZR_SOUND_CONFIG* config) {
  if (g_started) zr_sound_deinit();
  g_config = config ? *config : ZR_SOUND_CONFIG{};
  g_module = zr_error_add_module("Sound", kMessages, g_config.report);
  g_started = true;
  g_device = false;
  g_active = initial(g_config.appActive, 0) != 0;
  g_musicOn = initial(g_config.musicOn, 1) != 0;
  g_effectsOn = initial(g_config.effectsOn, 1) != 0;
  g_musicVolume = clampVolume(initial(g_config.musicVolume, ZR_SOUND_DEFAULT_MUSIC_VOLUME));
  g_effectsVolume = clampVolume(initial(g_config.effectsVolume, ZR_SOUND_DEFAULT_EFFECTS_VOLUME));
  g_quality = normalQuality(initial(g_config.quality, ZR_SOUND_DEFAULT_QUALITY));
  zr_sound_load_settings();
  g_menu = ZR_SOUND_MENU{};
  g_menu.menuPosition = g_config.soundMenuPosition;
  g_menu.qualityPosition = g_config.qualityMenuPosition;
  zr_sound_update_menu();
  if (!openDevice()) return 0;
  g_menu.enabled = true;
  zr_sound_update_menu();
  mirror();
  return 1;
}

void zr_sound_deinit() {
  if (!g_started) return;
  g_started = false;
  if (g_device) {
    zr_music_stream_play(false);
    zr_sound_save_settings();
    zr_music_close();
    zr_audio_close();
  }
  g_device = false;
  g_menu.enabled = false;
}

void zr_sound_release() {
  if (!g_started) return;
  g_started = false;
  if (g_device) {
    zr_music_close();
    zr_audio_close();
  }
  g_device = false;
  g_menu.enabled = false;
}

void zr_sound_load_settings() {
  const char* file = zr_io_settings_path();
  if (!file) return;
  int32_t value = 0;
  if (zr_io_get_int(kSection, "DigitalMusic", &value, file)) g_musicOn = value != 0;
  if (zr_io_get_int(kSection, "SoundEffects", &value, file)) g_effectsOn = value != 0;
  if (zr_io_get_int(kSection, "MusicVolume", &value, file)) g_musicVolume = clampVolume(value);
  if (zr_io_get_int(kSection, "SoundVolume", &value, file)) g_effectsVolume = clampVolume(value);
  if (zr_io_get_int(kSection, "Interpolation", &value, file)) g_quality = normalQuality(value);
  mirror();
}

void zr_sound_save_settings() {
  const char* file = zr_io_settings_path();
  if (!file) return;
  zr_io_put_int(kSection, "DigitalMusic", g_musicOn ? 1 : 0, file);
  zr_io_put_int(kSection, "SoundEffects", g_effectsOn ? 1 : 0, file);
  zr_io_put_int(kSection, "MusicVolume", g_musicVolume, file);
  zr_io_put_int(kSection, "SoundVolume", g_effectsVolume, file);
  zr_io_put_int(kSection, "Interpolation", g_quality, file);
}

void zr_sound_set_music_volume(int32_t volume) {
  g_musicVolume = clampVolume(volume);
  mirror();
  zr_music_set_volume(zr_music_mixer_volume(g_musicVolume));
}

void zr_sound_set_effects_volume(int32_t volume) {
  g_effectsVolume = clampVolume(volume);
  mirror();
}

void zr_sound_set_quality(int32_t quality) {
  g_quality = normalQuality(quality);
  mirror();
  zr_music_set_quality(g_quality);
  zr_sound_update_menu();
}

int zr_sound_toggle_music() {
  if (!g_device) return 0;
  g_musicOn = !g_musicOn;
  if (g_musicOn) {
    zr_music_play(zr_music_current());
    zr_music_set_volume(zr_music_mixer_volume(g_musicVolume));
  } else {
    zr_music_stop(zr_music_current());
  }
  zr_sound_update_menu();
  mirror();
  return g_musicOn ? 1 : 0;
}

int zr_sound_toggle_effects() {
  if (!g_device) return 0;
  g_effectsOn = !g_effectsOn;
  zr_sound_update_menu();
  mirror();
  return g_effectsOn ? 1 : 0;
}

void zr_sound_update_menu() {
  g_menu.musicChecked = g_musicOn;
  g_menu.effectsChecked = g_effectsOn;
  g_menu.qualityLowChecked = g_quality == 0;
  g_menu.qualityMediumChecked = g_quality == 4;
  g_menu.qualityHighChecked = g_quality == 8;
}

ZR_SOUND_MENU zr_sound_menu() {
  return g_menu;
}

bool zr_sound_device_present() {
  return g_device;
}
bool zr_sound_music_on() {
  return g_musicOn;
}
bool zr_sound_effects_on() {
  return g_effectsOn;
}
bool zr_sound_window_active() {
  return g_active;
}
int32_t zr_sound_music_volume() {
  return g_musicVolume;
}
int32_t zr_sound_effects_volume() {
  return g_effectsVolume;
}
int32_t zr_sound_quality() {
  return g_quality;
}

void zr_sound_device_format(int32_t* channels, int32_t* bits, int32_t* rate) {
  const ZR_AUDIO_FORMAT format = g_device ? g_format : ZR_AUDIO_FORMAT{};
  if (channels) *channels = format.channels;
  if (bits) *bits = format.bits;
  if (rate) *rate = format.rate;
}

int zr_sound_module() {
  return g_module;
}

int zr_sound_window_message(uint32_t message, uintptr_t wParam, intptr_t) {
  if (!g_device) return 1;
  switch (message) {
    case WM_ACTIVATE:
      g_active = (wParam & 0xFFFF) != WA_INACTIVE;
      mirror();
      zr_music_stream_play(g_active);
      break;
    case WM_KEYDOWN:
      if (wParam == VK_F2) zr_sound_toggle_music();
      if (wParam == VK_F3) zr_sound_toggle_effects();
      break;
    case WM_COMMAND:
      command(uint32_t(wParam & 0xFFFF));
      break;
    default:
      break;
  }
  return 1;
}

ZR_SOUND* zr_sound_load(const char* file) {
  if (!g_device) {
    report(kNoDevice, file);
    return nullptr;
  }
  auto* sound = static_cast<ZR_SOUND*>(zr_mem_calloc(1, sizeof(ZR_SOUND)));
  if (!sound) {
    report(kNoMemory, file);
    return nullptr;
  }
  std::snprintf(sound->name, sizeof sound->name, "%s", file ? file : "");
  if (!zr_wave_load(sound->name, &sound->wave, g_module)) {
    report(kCannotLoadWave, sound->name);
    freeEffect(sound);
    return nullptr;
  }
  const ZR_WAVE_FORMAT& wave = sound->wave.format;
  const ZR_AUDIO_FORMAT format{wave.channels, wave.bitsPerSample, int32_t(wave.samplesPerSec)};
  sound->buffer = zr_audio_buffer_create(format, sound->wave.size);
  if (!sound->buffer) {
    report(kCannotCreate, sound->name);
    freeEffect(sound);
    return nullptr;
  }
  if (!fillBuffer(sound)) {
    zr_audio_buffer_release(sound->buffer);
    freeEffect(sound);
    return nullptr;
  }
  zr_audio_buffer_set_volume(sound->buffer, zr_sound_effect_level(g_effectsVolume));
  return sound;
}

int zr_sound_play(ZR_SOUND* sound, int loop) {
  if (!g_device || !validEffect(sound) || !g_effectsOn) return 0;
  if (!zr_audio_buffer_set_position(sound->buffer, 0)) {
    report(kCannotRewind, sound->name);
    return 0;
  }
  zr_sound_set_volume(sound, zr_sound_effect_level(g_effectsVolume));
  if (!zr_audio_buffer_play(sound->buffer, loop != 0)) {
    report(kCannotPlay, sound->name);
    return 0;
  }
  return 1;
}

int zr_sound_stop(ZR_SOUND* sound) {
  if (!g_device || !validEffect(sound)) return 0;
  if (!zr_audio_buffer_stop(sound->buffer)) {
    report(kCannotStop, sound->name);
    return 0;
  }
  return 1;
}

int zr_sound_is_playing(ZR_SOUND* sound) {
  if (!g_device || !sound || !sound->buffer) return 0;
  return zr_audio_buffer_is_playing(sound->buffer) ? 1 : 0;
}

int zr_sound_set_volume(ZR_SOUND* sound, int32_t hundredths) {
  if (!g_device || !validEffect(sound)) return 0;
  if (!zr_audio_buffer_set_volume(sound->buffer, hundredths)) {
    report(kCannotSetVolume, sound->name);
    return 0;
  }
  return 1;
}

void zr_sound_free(ZR_SOUND* sound) {
  if (!sound) return;
  // The buffer went with the device when that closed first.
  if (g_device && sound->buffer) zr_audio_buffer_release(sound->buffer);
  freeEffect(sound);
}
