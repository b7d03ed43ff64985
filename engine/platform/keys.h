// The keyboard as the program sees it: each key has a Win32 virtual-key code and a PC scan code
// (set 1; extended keys carry 0x80, so the arrows are 200, 208, 203, 205). Key messages carry the
// scan code in lParam bits 16-23 with bit 24 set for extended keys.
#pragma once
#include <cstdint>

struct ZR_KEY {
  uint32_t virtualKey;
  uint32_t scanCode;  // 1..255, extended keys | 0x80
};

// Looks a key up by its platform name ("Escape", "Return", "Up", "A", "Left Alt"); 1 when known.
int zr_key_from_name(const char* keyName, ZR_KEY* key);

// The lParam of a key message: repeat count 1, scan code, extended, context (Alt), previous
// state (repeat) and transition (release) bits.
intptr_t zr_key_lparam(uint32_t scanCode, bool released, bool repeat, bool altHeld);

// Key state by scan code (the codes above), as the platform last saw it.
bool zr_scan_is_down(uint32_t scanCode);

// Feeds a key press or release through the same path as the keyboard: state tables and the
// message (WM_KEYDOWN, WM_KEYUP, or WM_SYSKEYDOWN / WM_SYSKEYUP while Alt is held). Used for
// scripted input. Returns 0 for an unknown key name.
int zr_key_simulate(const char* keyName, bool down);

// Forgets every held key (the window lost the focus).
void zr_keys_release_all();
