// The sound module: the sound device, the [Sound] settings with their keys and menu commands,
// and sound effects (whole wave files played once or looping).
#pragma once
#include <cstdint>

// Passed by the application at start-up. The module keeps the six integers equal to its own
// state (music volume -2 while music is off, effects volume -2 while effects are off, both -1
// without a device).
struct ZR_SOUND_CONFIG {
  int32_t* report;
  int32_t* appActive;
  int32_t* musicOn;
  int32_t* effectsOn;
  int32_t* musicVolume;
  int32_t* effectsVolume;
  int32_t* quality;
  int32_t soundMenuPosition;    // 2 in the game
  int32_t qualityMenuPosition;  // 3 in the game
};

// A loaded sound effect (tracked memory).
struct ZR_SOUND;

// Window-menu commands of the Sound menu.
constexpr uint32_t CMD_MUSIC_TOGGLE = 51001;
constexpr uint32_t CMD_EFFECTS_TOGGLE = 51002;
constexpr uint32_t CMD_QUALITY_LOW = 51003;
constexpr uint32_t CMD_QUALITY_MEDIUM = 51004;
constexpr uint32_t CMD_QUALITY_HIGH = 51005;

// Defaults of the settings (the application's initial values).
constexpr int32_t ZR_SOUND_DEFAULT_MUSIC_VOLUME = 70;
constexpr int32_t ZR_SOUND_DEFAULT_EFFECTS_VOLUME = 80;
constexpr int32_t ZR_SOUND_DEFAULT_QUALITY = 4;
// The application's volume integers while a part is off, or without a device.
constexpr int32_t ZR_SOUND_VOLUME_OFF = -2;
constexpr int32_t ZR_SOUND_VOLUME_NO_DEVICE = -1;

// Registers "Sound", reads the [Sound] settings and opens the device. 0 when there is no device
// (after the "Terminating" box when a device failed); the game then runs silent.
int zr_sound_init(ZR_SOUND_CONFIG* config);
// Stops the music stream, saves the settings, frees the music and closes the device.
void zr_sound_deinit();
// Closes the device without saving anything (after a failed start-up).
void zr_sound_release();

// The five keys of the settings file's [Sound] section.
void zr_sound_load_settings();
void zr_sound_save_settings();
// 0 to 100, clamped.
void zr_sound_set_music_volume(int32_t volume);
void zr_sound_set_effects_volume(int32_t volume);
// 0, 4 or 8 (low, medium, high); anything else is 0.
void zr_sound_set_quality(int32_t quality);
// Flip the setting and return the new state (no device: nothing, 0).
int zr_sound_toggle_music();
int zr_sound_toggle_effects();
void zr_sound_update_menu();

// The state as the sound and music modules keep it (any thread may read).
bool zr_sound_device_present();
bool zr_sound_music_on();
bool zr_sound_effects_on();
bool zr_sound_window_active();
int32_t zr_sound_music_volume();
int32_t zr_sound_effects_volume();
int32_t zr_sound_quality();
// The device's output format (bits 0 without a device).
void zr_sound_device_format(int32_t* channels, int32_t* bits, int32_t* rate);
// The module number of "Sound" with the error service.
int zr_sound_module();

// An effect's volume in hundredths of a decibel for an effects volume of 0 to 100.
constexpr int32_t zr_sound_effect_level(int32_t effectsVolume) {
  return -100 * (50 - effectsVolume / 2);
}

// The window menu's Sound menu as the menu bar draws it: grayed until a device is open; the
// on/off items and the current quality ticked.
struct ZR_SOUND_MENU {
  int32_t menuPosition;     // of the Sound menu in the menu bar
  int32_t qualityPosition;  // of the quality submenu in the Sound menu
  bool enabled;
  bool musicChecked;
  bool effectsChecked;
  bool qualityLowChecked;
  bool qualityMediumChecked;
  bool qualityHighChecked;
};
ZR_SOUND_MENU zr_sound_menu();

// Effects. Every operation on a missing device (or a missing effect) does nothing and returns 0.
ZR_SOUND* zr_sound_load(const char* file);
// Plays from the start, once or looping; 1 when playing (effects on).
int zr_sound_play(ZR_SOUND* sound, int loop);
int zr_sound_stop(ZR_SOUND* sound);
// Volume in hundredths of a decibel (0 full, -10000 silent).
int zr_sound_set_volume(ZR_SOUND* sound, int32_t hundredths);
// 1 while the effect is playing.
int zr_sound_is_playing(ZR_SOUND* sound);
void zr_sound_free(ZR_SOUND* sound);

// The main window procedure passes every message here; returns 1.
int zr_sound_window_message(uint32_t message, uintptr_t wParam, intptr_t lParam);
