#include "engine/platform/keys.h"

#include <array>
#include <atomic>

#include "engine/platform/messages.h"
#include "engine/platform/platform_internal.h"

namespace {

constexpr uint32_t EXTENDED = 0x80;

struct KeyEntry {
  SDL_Scancode scancode;
  uint32_t virtualKey;
  uint32_t scanCode;
};

constexpr uint32_t VK_CAPITAL = 0x14;
constexpr uint32_t VK_SNAPSHOT = 0x2C;
constexpr uint32_t VK_LWIN = 0x5B;
constexpr uint32_t VK_RWIN = 0x5C;
constexpr uint32_t VK_APPS = 0x5D;
constexpr uint32_t VK_NUMLOCK = 0x90;
constexpr uint32_t VK_SCROLL = 0x91;
constexpr uint32_t VK_OEM_1 = 0xBA;  // ;:
constexpr uint32_t VK_OEM_PLUS = 0xBB;
constexpr uint32_t VK_OEM_COMMA = 0xBC;
constexpr uint32_t VK_OEM_MINUS = 0xBD;
constexpr uint32_t VK_OEM_PERIOD = 0xBE;
constexpr uint32_t VK_OEM_2 = 0xBF;  // /?
constexpr uint32_t VK_OEM_3 = 0xC0;  // `~
constexpr uint32_t VK_OEM_4 = 0xDB;  // [{
constexpr uint32_t VK_OEM_5 = 0xDC;  // backslash
constexpr uint32_t VK_OEM_6 = 0xDD;  // ]}
constexpr uint32_t VK_OEM_7 = 0xDE;  // '"
constexpr uint32_t VK_OEM_102 = 0xE2;

// Every key outside the letters, digits and function keys, with its virtual key and its set 1
// scan code (the codes DirectInput used, which the game's control codes are made of).
constexpr KeyEntry kKeys[] = {
    {SDL_SCANCODE_ESCAPE, VK_ESCAPE, 1},
    {SDL_SCANCODE_MINUS, VK_OEM_MINUS, 12},
    {SDL_SCANCODE_EQUALS, VK_OEM_PLUS, 13},
    {SDL_SCANCODE_BACKSPACE, VK_BACK, 14},
    {SDL_SCANCODE_TAB, VK_TAB, 15},
    {SDL_SCANCODE_LEFTBRACKET, VK_OEM_4, 26},
    {SDL_SCANCODE_RIGHTBRACKET, VK_OEM_6, 27},
    {SDL_SCANCODE_RETURN, VK_RETURN, 28},
    {SDL_SCANCODE_LCTRL, VK_LCONTROL, 29},
    {SDL_SCANCODE_SEMICOLON, VK_OEM_1, 39},
    {SDL_SCANCODE_APOSTROPHE, VK_OEM_7, 40},
    {SDL_SCANCODE_GRAVE, VK_OEM_3, 41},
    {SDL_SCANCODE_LSHIFT, VK_LSHIFT, 42},
    {SDL_SCANCODE_BACKSLASH, VK_OEM_5, 43},
    {SDL_SCANCODE_COMMA, VK_OEM_COMMA, 51},
    {SDL_SCANCODE_PERIOD, VK_OEM_PERIOD, 52},
    {SDL_SCANCODE_SLASH, VK_OEM_2, 53},
    {SDL_SCANCODE_RSHIFT, VK_RSHIFT, 54},
    {SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY, 55},
    {SDL_SCANCODE_LALT, VK_LMENU, 56},
    {SDL_SCANCODE_SPACE, VK_SPACE, 57},
    {SDL_SCANCODE_CAPSLOCK, VK_CAPITAL, 58},
    {SDL_SCANCODE_NUMLOCKCLEAR, VK_NUMLOCK, 69},
    {SDL_SCANCODE_SCROLLLOCK, VK_SCROLL, 70},
    {SDL_SCANCODE_KP_7, VK_NUMPAD0 + 7, 71},
    {SDL_SCANCODE_KP_8, VK_NUMPAD0 + 8, 72},
    {SDL_SCANCODE_KP_9, VK_NUMPAD0 + 9, 73},
    {SDL_SCANCODE_KP_MINUS, VK_SUBTRACT, 74},
    {SDL_SCANCODE_KP_4, VK_NUMPAD0 + 4, 75},
    {SDL_SCANCODE_KP_5, VK_NUMPAD0 + 5, 76},
    {SDL_SCANCODE_KP_6, VK_NUMPAD0 + 6, 77},
    {SDL_SCANCODE_KP_PLUS, VK_ADD, 78},
    {SDL_SCANCODE_KP_1, VK_NUMPAD0 + 1, 79},
    {SDL_SCANCODE_KP_2, VK_NUMPAD0 + 2, 80},
    {SDL_SCANCODE_KP_3, VK_NUMPAD0 + 3, 81},
    {SDL_SCANCODE_KP_0, VK_NUMPAD0, 82},
    {SDL_SCANCODE_KP_PERIOD, VK_DECIMAL, 83},
    {SDL_SCANCODE_NONUSBACKSLASH, VK_OEM_102, 86},
    {SDL_SCANCODE_F11, VK_F11, 87},
    {SDL_SCANCODE_F12, VK_F12, 88},
    {SDL_SCANCODE_KP_ENTER, VK_RETURN, 0x1C | EXTENDED},
    {SDL_SCANCODE_RCTRL, VK_RCONTROL, 0x1D | EXTENDED},
    {SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE, 0x35 | EXTENDED},
    {SDL_SCANCODE_PRINTSCREEN, VK_SNAPSHOT, 0x37 | EXTENDED},
    {SDL_SCANCODE_RALT, VK_RMENU, 0x38 | EXTENDED},
    {SDL_SCANCODE_PAUSE, VK_PAUSE, 0x45 | EXTENDED},
    {SDL_SCANCODE_HOME, VK_HOME, 0x47 | EXTENDED},
    {SDL_SCANCODE_UP, VK_UP, 0x48 | EXTENDED},
    {SDL_SCANCODE_PAGEUP, VK_PRIOR, 0x49 | EXTENDED},
    {SDL_SCANCODE_LEFT, VK_LEFT, 0x4B | EXTENDED},
    {SDL_SCANCODE_RIGHT, VK_RIGHT, 0x4D | EXTENDED},
    {SDL_SCANCODE_END, VK_END, 0x4F | EXTENDED},
    {SDL_SCANCODE_DOWN, VK_DOWN, 0x50 | EXTENDED},
    {SDL_SCANCODE_PAGEDOWN, VK_NEXT, 0x51 | EXTENDED},
    {SDL_SCANCODE_INSERT, VK_INSERT, 0x52 | EXTENDED},
    {SDL_SCANCODE_DELETE, VK_DELETE, 0x53 | EXTENDED},
    {SDL_SCANCODE_LGUI, VK_LWIN, 0x5B | EXTENDED},
    {SDL_SCANCODE_RGUI, VK_RWIN, 0x5C | EXTENDED},
    {SDL_SCANCODE_APPLICATION, VK_APPS, 0x5D | EXTENDED},
};

// The rest of the letters by their place in the keyboard rows.
constexpr std::array<uint8_t, 26> kLetterScan = {30, 48, 46, 32, 18, 33, 34, 35, 23,
                                                 36, 37, 38, 50, 49, 24, 25, 16, 19,
                                                 31, 20, 22, 47, 17, 45, 21, 44};

std::array<std::atomic<bool>, 256> virtualDown{};
std::array<std::atomic<bool>, 256> scanDown{};

bool lookUp(SDL_Scancode scancode, ZR_KEY* key) {
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
    int letter = scancode - SDL_SCANCODE_A;
    *key = ZR_KEY{uint32_t('A' + letter), kLetterScan[letter]};
    return true;
  }
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_0) {
    int index = scancode - SDL_SCANCODE_1;  // 1..9 then 0
    uint32_t digit = index == 9 ? '0' : uint32_t('1' + index);
    *key = ZR_KEY{digit, uint32_t(2 + index)};
    return true;
  }
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F10) {
    int index = scancode - SDL_SCANCODE_F1;
    *key = ZR_KEY{VK_F1 + index, uint32_t(59 + index)};
    return true;
  }
  for (const KeyEntry& entry : kKeys) {
    if (entry.scancode == scancode) {
      *key = ZR_KEY{entry.virtualKey, entry.scanCode};
      return true;
    }
  }
  return false;
}

// The sided modifier keys also count as their generic virtual key (VK_SHIFT and so on).
uint32_t genericKey(uint32_t virtualKey) {
  switch (virtualKey) {
    case VK_LSHIFT:
    case VK_RSHIFT:
      return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL:
      return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU:
      return VK_MENU;
    default:
      return virtualKey;
  }
}

void setState(const ZR_KEY& key, bool down) {
  scanDown[key.scanCode & 0xFF] = down;
  virtualDown[key.virtualKey & 0xFF] = down;
  uint32_t generic = genericKey(key.virtualKey);
  if (generic == key.virtualKey) return;
  // A generic modifier stays down while either side is.
  bool anyDown = false;
  for (uint32_t sided : {VK_LSHIFT, VK_RSHIFT, VK_LCONTROL, VK_RCONTROL, VK_LMENU, VK_RMENU}) {
    if (genericKey(sided) == generic && virtualDown[sided]) anyDown = true;
  }
  virtualDown[generic] = anyDown;
}

}  // namespace

int zr_key_from_name(const char* keyName, ZR_KEY* key) {
  if (!keyName || !key) return 0;
  SDL_Scancode scancode = SDL_GetScancodeFromName(keyName);
  return scancode != SDL_SCANCODE_UNKNOWN && lookUp(scancode, key) ? 1 : 0;
}

intptr_t zr_key_lparam(uint32_t scanCode, bool released, bool repeat, bool altHeld) {
  uint32_t value = 1;  // repeat count
  value |= (scanCode & 0x7F) << 16;
  if (scanCode & EXTENDED) value |= 1u << 24;
  if (altHeld) value |= 1u << 29;
  if (repeat || released) value |= 1u << 30;
  if (released) value |= 1u << 31;
  return intptr_t(int32_t(value));
}

bool zr_key_is_down(uint32_t virtualKey) {
  return virtualKey < 256 && virtualDown[virtualKey];
}

bool zr_scan_is_down(uint32_t scanCode) {
  return scanCode < 256 && scanDown[scanCode];
}

void zr_keys_release_all() {
  for (auto& down : virtualDown) down = false;
  for (auto& down : scanDown) down = false;
}

void zr_events_key(SDL_Scancode scancode, bool down, bool repeat, bool altHeld) {
  ZR_KEY key;
  if (!lookUp(scancode, &key)) return;
  setState(key, down);
  // Alt itself and any key pressed with it travel as system keys.
  uint32_t message =
      down ? (altHeld ? WM_SYSKEYDOWN : WM_KEYDOWN) : (altHeld ? WM_SYSKEYUP : WM_KEYUP);
  zr_post_message(message, key.virtualKey, zr_key_lparam(key.scanCode, !down, repeat, altHeld));
}

int zr_key_simulate(const char* keyName, bool down) {
  if (!keyName) return 0;
  SDL_Scancode scancode = SDL_GetScancodeFromName(keyName);
  ZR_KEY key;
  if (scancode == SDL_SCANCODE_UNKNOWN || !lookUp(scancode, &key)) return 0;
  bool wasDown = scanDown[key.scanCode & 0xFF];
  bool altHeld = virtualDown[VK_MENU] || (down && genericKey(key.virtualKey) == VK_MENU);
  zr_events_key(scancode, down, down && wasDown, altHeld);
  return 1;
}
