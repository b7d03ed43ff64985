// The input module: keyboard, mouse and one joystick, polled into one state byte per control
// code (0-255 keyboard scan codes, 400-437 mouse, 500-537 joystick).
#pragma once
#include <cstdint>

#include "engine/platform/input_devices.h"

struct ZR_INPUT_CONFIG {
  int32_t* report;
  int32_t keepMouseDiagonals;  // 0 in the game: a diagonal keeps only its stronger axis
};

constexpr int ZR_INPUT_KEYS = 256;
constexpr int ZR_INPUT_DEVICE_BYTES = 38;

// Control codes: the first of each device's range.
constexpr int ZR_INPUT_MOUSE_FIRST = 400;
constexpr int ZR_INPUT_JOYSTICK_FIRST = 500;
// Byte places within the mouse and joystick state (code = first of the range + place).
constexpr int ZR_INPUT_UP = 0;
constexpr int ZR_INPUT_DOWN = 1;
constexpr int ZR_INPUT_LEFT = 2;
constexpr int ZR_INPUT_RIGHT = 3;
constexpr int ZR_INPUT_BUTTON1 = 6;

// Mouse motion of this much or less in one read is no direction; motion is clamped to +-128.
constexpr int32_t ZR_INPUT_MOUSE_THRESHOLD = 12;
constexpr int32_t ZR_INPUT_MOUSE_CLAMP = 128;
// Joystick axes read -32 to 32; the inner half of each axis's travel reads 0.
constexpr int32_t ZR_INPUT_AXIS_RANGE = 32;
constexpr int32_t ZR_INPUT_DEAD_ZONE = 5000;  // in 1/10000 of the travel
// The calibration test: polls, and the deflected polls (both axes counted) that switch it off.
constexpr int ZR_INPUT_CALIBRATION_POLLS = 1000;
constexpr int ZR_INPUT_CALIBRATION_LIMIT = 700;

enum ZR_INPUT_DEVICE { ZR_DEVICE_KEYBOARD, ZR_DEVICE_MOUSE, ZR_DEVICE_JOYSTICK };
constexpr int ZR_INPUT_DEVICES = 3;

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

// 1 while the game window owns the devices.
int zr_input_is_active();
// 1 while a joystick is attached and not switched off by the calibration test.
int zr_input_joystick_usable();

// The device of a control code, or -1 for a code of no device.
int zr_input_device_of(int code);
// The state byte of a control code, or nullptr for a code of no device; and back.
const uint8_t* zr_input_state_byte(int code);
int zr_input_code_of(const uint8_t* stateByte);

// The private message that a click or the focus posts to take the devices back.
constexpr uint32_t ZR_INPUT_TAKE_MESSAGE = 0x445;

// The rules that turn device states into state bytes, apart from the devices.
// One axis (-32768 to 32767) in -32 to 32, the dead zone taken out.
int32_t zr_input_axis(int32_t raw);
void zr_input_mouse_bytes(const ZR_MOUSE_STATE* mouse, int keepDiagonals,
                          uint8_t bytes[ZR_INPUT_DEVICE_BYTES]);
void zr_input_pad_bytes(const ZR_PAD_STATE* pad, uint8_t bytes[ZR_INPUT_DEVICE_BYTES]);

// Where the devices are read: the platform's by default. Tests put their own states in its place
// (nullptr brings the platform's back). A missing function reads as an absent device.
struct ZR_INPUT_SOURCE {
  int (*open)();
  void (*close)();
  void (*keyboard)(uint8_t keys[ZR_INPUT_KEYS]);
  int (*mouse)(ZR_MOUSE_STATE* mouse);
  int (*pad)(ZR_PAD_STATE* pad);
  void (*own)(bool own);
};
void zr_input_set_source(const ZR_INPUT_SOURCE* source);
