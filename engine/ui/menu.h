// In-game menus: one section of a keyed text file describes a menu (its rectangle, its lines, and
// for each line its kind, texts, alignment and the value it sends). The module lays the lines
// out, moves a current line on the player's events, paces the events, closes the menu after a
// time without input, draws it with a font and hands the values of chosen lines to the
// application's notify function.
#pragma once
#include <cstdint>

#include "engine/display/bitmap.h"
#include "engine/ui/font.h"

// Events of zr_menu_event.
constexpr int ZR_MENU_NONE = 0;  // once per frame without input: runs the time-out
constexpr int ZR_MENU_ESCAPE = 1;
constexpr int ZR_MENU_SELECT = 2;
constexpr int ZR_MENU_PREVIOUS = 4;
constexpr int ZR_MENU_NEXT = 8;
constexpr int ZR_MENU_LEFT = 16;
constexpr int ZR_MENU_RIGHT = 32;

// Line kinds (the low four bits of a line's type) and the type's option bits.
constexpr int32_t ZR_MENU_KIND_MASK = 0xF;
constexpr int32_t ZR_MENU_TEXT = 1;    // a text without value
constexpr int32_t ZR_MENU_VALUE = 2;   // a text with a value (the application may rewrite it)
constexpr int32_t ZR_MENU_OPTION = 4;  // a text with a value that the current line rests on
constexpr int32_t ZR_MENU_CHOICE = 8;  // one of several texts, with a value
constexpr int32_t ZR_MENU_FULL_SCREEN_ONLY = 0x10;
constexpr int32_t ZR_MENU_WINDOW_ONLY = 0x20;

// Values: 1 toggles the shown flag; 1000 and more go to the notify function.
constexpr int32_t ZR_MENU_TOGGLE = 1;
constexpr int32_t ZR_MENU_FIRST_NOTIFIED = 1000;

// zr_menu_draw modes.
constexpr int ZR_MENU_DRAW_FRAME = 2;           // the current line gets a frame in the given colour
constexpr int ZR_MENU_DRAW_TRANSPARENT = 0x40;  // transparency handed on; lines dimmed

// Font values of a line ("Font_%02d"): 1 the menu's font in proportional spacing, 3 the title
// font of the configuration in proportional spacing, animated (the menu's font when there is
// none), any other value the menu's font in fixed spacing.
constexpr int32_t ZR_MENU_FONT_PROPORTIONAL = 1;
constexpr int32_t ZR_MENU_FONT_TITLE = 3;
// Title lines show the next frame of their animated glyphs every this many milliseconds.
constexpr uint32_t ZR_MENU_TITLE_FRAME_MS = 80;

// Alignments.
constexpr int32_t ZR_MENU_CENTRE = 1;
constexpr int32_t ZR_MENU_LEFT_ALIGN = 2;
constexpr int32_t ZR_MENU_RIGHT_ALIGN = 3;
constexpr int32_t ZR_MENU_FULL_WIDTH = 4;

// Room of every text: the application may write a longer text into it (a formatted high-score
// line) than the file gave, always bounded by this.
constexpr int ZR_MENU_TEXT_ROOM = 128;
// Most lines and texts per line a menu file may ask for; larger counts are refused.
constexpr int32_t ZR_MENU_MAX_LINES = 64;
constexpr int32_t ZR_MENU_MAX_OPTIONS = 32;

struct ZR_MENU_STRING {
  ZR_RECT rect;                  // set by layout
  char text[ZR_MENU_TEXT_ROOM];  // ISO-8859-1, always terminated
};

struct ZR_MENU_LINE {
  int32_t type;
  int32_t value;
  int32_t fontMode;  // ZR_MENU_FONT_PROPORTIONAL, ZR_MENU_FONT_TITLE, else fixed spacing
  int32_t align;
  int32_t notifyMask;  // events (2, 4, 8, 16, 32) that send the value
  int32_t textCount;
  int32_t shown;  // index of the text drawn; the application sets it (bounded when drawn)
  ZR_MENU_STRING* texts;
};

struct ZR_MENU;

// The application's function: with a line, asked before the line is drawn (set line->shown or
// rewrite its text); without, told that an accepted event sent `value` (1000 or more).
using ZR_MENU_NOTIFY = void (*)(ZR_MENU* menu, ZR_MENU_LINE* line, int32_t value, int32_t event,
                                int32_t accepted, void* user);

struct ZR_MENU {
  char* name;
  int16_t x, y, w, h;  // as read
  ZR_RECT rect;        // in pixels, after layout
  int32_t timeout;     // ms without events before the menu acts as if escape came
  int32_t delay;       // ms after an accepted event before the next is accepted
  int32_t transparency;
  int32_t escape;       // value of escape and of the time-out
  int32_t space;        // pixels between lines
  int32_t lineCount;    // lines loaded (a refused line is left out)
  int32_t defaultLine;  // 0-based, -1 none
  int32_t currentLine;  // 0-based, -1 none
  int32_t shown;
  uint32_t lastEvent;  // tick count of the last accepted event
  ZR_MENU_NOTIFY notify;
  void* user;
  ZR_MENU_LINE* lines;
};

struct ZR_MENU_CONFIG {
  int32_t* report;      // report switch (may be null)
  int32_t screenWidth;  // percentages are taken of these (320 x 200 in the game)
  int32_t screenHeight;
  const int32_t* fullScreen;  // the display's full-screen flag (null: never full screen)
  int32_t* transparency;      // receives the drawn menu's transparency, 0-100 (may be null)
  const ZR_FONT* titleFont;   // the font of title lines (null, or not loaded: the menu's font)
};

// Error codes of the module "Menu".
enum ZrMenuError : int {
  ZR_MENU_NO_RECORD = 0,
  ZR_MENU_NOT_FOUND = 1,
  ZR_MENU_BAD_LINE = 2,
  ZR_MENU_NO_MEMORY = 3,
  ZR_MENU_NO_POSITION = 4,
  ZR_MENU_MISSING_KEY = 5,
  ZR_MENU_BAD_SIZE = 6,
};

// Registers "Menu" with the error service; keeps the configuration's values. Returns 1.
int zr_menu_init(const ZR_MENU_CONFIG* config);
int zr_menu_module();

// Loads and lays out the menu of `section`. Returns 1, or 0 (nothing left allocated).
int zr_menu_load(ZR_MENU* menu, const char* file, const char* section, const ZR_FONT* font,
                 ZR_MENU_NOTIFY notify, void* user);
void zr_menu_free(ZR_MENU* menu);
// Picks a current line if there is none, sets the shown flag, and starts the time-out.
void zr_menu_open(ZR_MENU* menu, int shown);
// Returns 1 when the event was accepted.
int zr_menu_event(ZR_MENU* menu, int event);
// Draws the shown menu into target; mode ZR_MENU_DRAW_FRAME frames the current line in colour.
void zr_menu_draw(ZR_MENU* menu, const ZR_FONT* font, ZR_BITMAP* target, int mode, uint8_t colour);

// Whether the line can be the current one (kinds 4 and 8) and is shown in this display mode.
bool zr_menu_line_selectable(const ZR_MENU_LINE* line);
bool zr_menu_line_visible(const ZR_MENU_LINE* line);
