// The input devices as plain states: the keyboard by scan code (the codes of keys.h), the mouse's
// motion since its last read, and one gamepad or joystick. Gamepads that SDL has a mapping for
// are read through its game-controller API (left stick, direction pad, buttons A, B, X), other
// joysticks through its joystick API (axes 0 and 1, hat 0, buttons 0 to 2). A pad plugged in
// while the program runs becomes the pad in use; when that one is unplugged, the last other
// attached one takes its place.
#pragma once
#include <cstdint>

constexpr int ZR_MOUSE_BUTTONS = 4;
constexpr int ZR_PAD_BUTTONS = 3;
constexpr int32_t ZR_PAD_AXIS_MAX = 32767;

struct ZR_MOUSE_STATE {
  int32_t dx, dy;                     // motion since the last read; right and down positive
  uint8_t buttons[ZR_MOUSE_BUTTONS];  // 0x80 while held: left, right, middle, first side button
};

struct ZR_PAD_STATE {
  int32_t id;                       // the device in use; every plug-in gets a new number
  int32_t x, y;                     // -32768 to 32767, right and down positive
  uint8_t buttons[ZR_PAD_BUTTONS];  // 0x80 while held
};

// Starts the joystick and game-controller services and opens the last attached pad that opens.
// 0 when the platform is not started or the services cannot start.
int zr_devices_open();
void zr_devices_close();

// 0x80 for every scan code held, 0 for the others.
void zr_devices_keyboard(uint8_t keys[256]);
// The mouse's motion since the last read and its buttons; 0 when the platform is not started.
int zr_devices_mouse(ZR_MOUSE_STATE* mouse);
// The pad's current state, read fresh from the device; 0 when no pad is in use.
int zr_devices_pad(ZR_PAD_STATE* pad);
// 1 when the pad in use is read through the game-controller API.
int zr_devices_pad_is_gamepad();

// The game owns the mouse (relative motion, no cursor) or gives it back (cursor shown). Nothing
// happens without a window, in headless mode included.
void zr_devices_own(bool own);

// A virtual pad for tests (SDL's virtual joystick): a gamepad with a mapping, or a plain
// joystick of 2 axes, 3 buttons and 1 hat. Attaching returns 0 when the SDL build has none; the
// pad arrives as a plug-in event like a real one.
int zr_devices_attach_virtual_pad(bool gamepad);
// Axis 0 is x, 1 is y; buttons count from 0 (a gamepad's A, B, X).
void zr_devices_set_virtual_axis(int axis, int16_t value);
void zr_devices_set_virtual_button(int button, bool down);
void zr_devices_detach_virtual_pad();
