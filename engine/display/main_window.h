// The main window: the single-instance check, the window with the display in it, its window
// procedure (keys and menu commands of the display), the menu bar in the current language with
// the resolution and language entries built at run time, the language switch, and the fatal
// display message.
#pragma once
#include <cstdint>

#include "engine/display/display.h"
#include "engine/display/language.h"
#include "engine/display/video_mode.h"

// Menu identifiers.
constexpr uint32_t ZR_CMD_LANGUAGE_MENU = 59999;  // the placeholders' identifier
constexpr uint32_t ZR_CMD_BACK_TO_GAME = 40004;
constexpr uint32_t ZR_CMD_EXIT = 40005;
constexpr uint32_t ZR_CMD_LOW_RES = 50001;
constexpr uint32_t ZR_CMD_HIGH_RES = 50002;
constexpr uint32_t ZR_CMD_FULLSCREEN = 50003;
constexpr uint32_t ZR_CMD_256_COLOURS = 50004;
constexpr uint32_t ZR_CMD_DEFAULT_SIZE = 50005;
constexpr uint32_t ZR_CMD_DEFAULT_RESOLUTION = 50006;
constexpr uint32_t ZR_CMD_INTEGER_SCALING = 50007;
constexpr uint32_t ZR_CMD_RESOLUTION_FIRST = 50100;
constexpr uint32_t ZR_CMD_LANGUAGE_FIRST = 50300;
constexpr uint32_t ZR_CMD_MUSIC = 51001;
constexpr uint32_t ZR_CMD_EFFECTS = 51002;
constexpr uint32_t ZR_CMD_QUALITY_LOW = 51003;
constexpr uint32_t ZR_CMD_QUALITY_MEDIUM = 51004;
constexpr uint32_t ZR_CMD_QUALITY_HIGH = 51005;
constexpr uint32_t ZR_CMD_HELP_TOPICS = 41001;
constexpr uint32_t ZR_CMD_ABOUT = 41002;

using ZR_WINDOW_CALLBACK = void (*)();

struct ZR_WINDOW_SETUP {
  const char* className;  // names the instance lock
  const char* title;
  int16_t baseWidth, baseHeight;
  int16_t clientWidth, clientHeight;   // the default client size (a multiple of the base size)
  ZR_LANGUAGES* languages;             // may be null: no Language menu
  ZR_WINDOW_CALLBACK command;          // after every menu rebuild: the application's ticks
  ZR_WINDOW_CALLBACK languageChanged;  // the current language changed: reload the texts
  ZR_DSP_FLAGS flags;
};

// 1 when start-up may go on; 0 when another copy runs (it was brought to the front:
// *otherCopy set) or the window or the modes failed (message in zr_main_window_error()).
int zr_main_window_open(ZR_WINDOW_SETUP* setup, bool* otherCopy);
const char* zr_main_window_error();
// Leaves full screen, lets the window and the instance lock go.
void zr_main_window_release();

// The window procedure of the display: 1 when the message was handled here.
int zr_main_window_proc(uint32_t message, uintptr_t wParam, intptr_t lParam);
// Shows text with the window title as caption, then closes the window (WM_CLOSE). Returns 0.
int zr_main_window_fatal(const char* text);

// Builds the menu bar for the current language (also after every mode switch and language
// change), then calls the setup's command callback.
void zr_menubar_load();
// The application's ticks and grayed items (from its command callback).
void zr_menubar_check(uint32_t id, bool checked);
void zr_menubar_enable(uint32_t id, bool enabled);

// ISO-8859-1 to UTF-8 (the boundary to the platform's texts).
void zr_latin1_to_utf8(const char* text, char* out, int size);
