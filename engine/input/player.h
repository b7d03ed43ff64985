// The player module: each player's eight controls (up, down, left, right, buttons 1-4) mapped to
// control codes of the three devices in up to five configurations, written once per step into
// the eight output bytes of the player's owner.
#pragma once
#include <cstdint>

constexpr int ZR_PLAY_CONTROLS = 8;
constexpr int ZR_PLAY_CONFIGURATIONS = 5;

// The owner's eight output bytes, in control order.
enum ZR_PLAY_CONTROL {
  ZR_UP,
  ZR_DOWN,
  ZR_LEFT,
  ZR_RIGHT,
  ZR_BUTTON1,
  ZR_BUTTON2,
  ZR_BUTTON3,
  ZR_BUTTON4
};

// A code left out of zr_play_setup.
constexpr int32_t ZR_PLAY_KEEP = -1;

int zr_play_init(int32_t* report);
int zr_play_add(uint8_t* owner);
// Enables a configuration (1-5) and assigns each code that is not -1 to its control.
int zr_play_setup(uint8_t* owner, int configuration, const int32_t codes[ZR_PLAY_CONTROLS]);
void zr_play_update();
int zr_play_remove(uint8_t* owner);
void zr_play_deinit();

// The code bound to a control (ZR_UP...) of a device (ZR_DEVICE_KEYBOARD...) in a configuration
// (1-5) for the owner's first player, or -1 when none is.
int32_t zr_play_code(const uint8_t* owner, int configuration, int control, int device);
// 1 when the owner's first player has that configuration enabled.
int zr_play_enabled(const uint8_t* owner, int configuration);
