// The input module: keyboard, mouse and one joystick, polled into one state byte per control
// code (0-255 keyboard scan codes, 400-437 mouse, 500-537 joystick).
#pragma once
#include <cstdint>

struct ZR_INPUT_CONFIG {
  int32_t* report;
  int32_t keepMouseDiagonals;  // 0 in the game: a diagonal keeps only its stronger axis
};

constexpr int ZR_INPUT_KEYS = 256;
constexpr int ZR_INPUT_DEVICE_BYTES = 38;

int zr_input_init(ZR_INPUT_CONFIG* config);
// The calibration test at start-up; 0 when the joystick was switched off.
int zr_input_check_joystick();
// Reads every device; returns 1 when the joystick was read.
int zr_input_poll();
void zr_input_activate(int flag);
// The main window procedure passes every message here first; returns 1.
int zr_input_window_message(uint32_t message, uintptr_t wParam, intptr_t lParam);
// 1 when any key, button or direction is active.
int zr_input_any();
// One keyboard byte; codes outside 0-255 read 0 and are ignored.
uint8_t zr_input_get_key(int code);
void zr_input_set_key(int code, uint8_t value);
void zr_input_deinit();
