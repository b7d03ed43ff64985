// The window messages the program speaks in (Win32's numbers and virtual-key codes), one queue of
// them fed by the platform's events, and the post and peek operations.
#pragma once
#include <cstdint>

constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_MOVE = 0x0003;
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_SETFOCUS = 0x0007;
constexpr uint32_t WM_KILLFOCUS = 0x0008;
constexpr uint32_t WM_PAINT = 0x000F;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_SETCURSOR = 0x0020;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr uint32_t WM_SYSKEYUP = 0x0105;
constexpr uint32_t WM_COMMAND = 0x0111;
constexpr uint32_t WM_SYSCOMMAND = 0x0112;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_ENTERMENULOOP = 0x0211;
constexpr uint32_t WM_ENTERSIZEMOVE = 0x0231;
constexpr uint32_t WM_USER = 0x0400;

// WM_SYSCOMMAND wParam (the low four bits are the system's own)
constexpr uint32_t SC_MINIMIZE = 0xF020;
constexpr uint32_t SC_RESTORE = 0xF120;

// WM_ACTIVATE wParam
constexpr uint32_t WA_INACTIVE = 0;
constexpr uint32_t WA_ACTIVE = 1;

// PeekMessage flags
constexpr uint32_t PM_NOREMOVE = 0x0000;
constexpr uint32_t PM_REMOVE = 0x0001;
constexpr uint32_t PM_NOYIELD = 0x0002;

// Virtual-key codes (letters and digits are their ASCII upper-case codes).
constexpr uint32_t VK_BACK = 0x08;
constexpr uint32_t VK_TAB = 0x09;
constexpr uint32_t VK_RETURN = 0x0D;
constexpr uint32_t VK_SHIFT = 0x10;
constexpr uint32_t VK_CONTROL = 0x11;
constexpr uint32_t VK_MENU = 0x12;
constexpr uint32_t VK_PAUSE = 0x13;
constexpr uint32_t VK_ESCAPE = 0x1B;
constexpr uint32_t VK_SPACE = 0x20;
constexpr uint32_t VK_PRIOR = 0x21;
constexpr uint32_t VK_NEXT = 0x22;
constexpr uint32_t VK_END = 0x23;
constexpr uint32_t VK_HOME = 0x24;
constexpr uint32_t VK_LEFT = 0x25;
constexpr uint32_t VK_UP = 0x26;
constexpr uint32_t VK_RIGHT = 0x27;
constexpr uint32_t VK_DOWN = 0x28;
constexpr uint32_t VK_INSERT = 0x2D;
constexpr uint32_t VK_DELETE = 0x2E;
constexpr uint32_t VK_NUMPAD0 = 0x60;
constexpr uint32_t VK_MULTIPLY = 0x6A;
constexpr uint32_t VK_ADD = 0x6B;
constexpr uint32_t VK_SUBTRACT = 0x6D;
constexpr uint32_t VK_DECIMAL = 0x6E;
constexpr uint32_t VK_DIVIDE = 0x6F;
constexpr uint32_t VK_F1 = 0x70;
constexpr uint32_t VK_F2 = 0x71;
constexpr uint32_t VK_F3 = 0x72;
constexpr uint32_t VK_F4 = 0x73;
constexpr uint32_t VK_F5 = 0x74;
constexpr uint32_t VK_F6 = 0x75;
constexpr uint32_t VK_F7 = 0x76;
constexpr uint32_t VK_F8 = 0x77;
constexpr uint32_t VK_F9 = 0x78;
constexpr uint32_t VK_F10 = 0x79;
constexpr uint32_t VK_F11 = 0x7A;
constexpr uint32_t VK_F12 = 0x7B;
constexpr uint32_t VK_LSHIFT = 0xA0;
constexpr uint32_t VK_RSHIFT = 0xA1;
constexpr uint32_t VK_LCONTROL = 0xA2;
constexpr uint32_t VK_RCONTROL = 0xA3;
constexpr uint32_t VK_LMENU = 0xA4;
constexpr uint32_t VK_RMENU = 0xA5;

struct ZR_MSG {
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
};

// Appends a message to the queue (any thread may post).
void zr_post_message(uint32_t message, uintptr_t wParam, intptr_t lParam);
// Takes the platform's pending events into the queue, then looks at the first message: returns 1
// and fills msg when there is one (taking it off with PM_REMOVE), 0 when the queue is empty.
// Main thread only (the platform's events are read there).
int zr_peek_message(ZR_MSG* msg, uint32_t flags);
// Drops every queued message.
void zr_clear_messages();

// Keyboard state as the platform last saw it (virtual-key codes), for Ctrl/Shift tests.
bool zr_key_is_down(uint32_t virtualKey);
