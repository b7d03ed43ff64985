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

int zr_play_init(int32_t* report);
int zr_play_add(uint8_t* owner);
// Enables a configuration (1-5) and assigns each code that is not -1 to its control.
int zr_play_setup(uint8_t* owner, int configuration, const int32_t codes[ZR_PLAY_CONTROLS]);
void zr_play_update();
int zr_play_remove(uint8_t* owner);
void zr_play_deinit();
