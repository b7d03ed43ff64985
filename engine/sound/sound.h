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

int zr_sound_init(ZR_SOUND_CONFIG* config);
void zr_sound_deinit();

// Effects. Every operation on a missing device (or a missing effect) does nothing and returns 0.
ZR_SOUND* zr_sound_load(const char* file);
int zr_sound_play(ZR_SOUND* sound, int loop);
int zr_sound_stop(ZR_SOUND* sound);
// 1 while the effect is playing.
int zr_sound_is_playing(ZR_SOUND* sound);
void zr_sound_free(ZR_SOUND* sound);

// The main window procedure passes every message here; returns 1.
int zr_sound_window_message(uint32_t message, uintptr_t wParam, intptr_t lParam);
