// Bitmap fonts: a keyed text file names picture or FLIC files holding rows of glyphs and says
// which characters each row holds. Loading cuts every glyph into a small bitmap of its own (a
// character may have several frames: animated glyphs); text is drawn glyph by glyph in fixed or
// proportional spacing, or stretched to fill a rectangle. Character codes are ISO-8859-1 bytes.
#pragma once
#include <cstdint>

#include "engine/display/bitmap.h"

// One character: its glyph frames, numbered from 1 (frames[0] is frame 1).
struct ZR_CHAR {
  int16_t count;
  ZR_BITMAP** frames;
};

// Filled by zr_font_load; the record belongs to the caller, what it points to to the module.
struct ZR_FONT {
  char* name;
  int16_t width;  // cell size
  int16_t height;
  ZR_CHAR* characters[256];  // several codes may share one record (mapping, the space default)
  uint8_t defined[256];      // set where the record was created for that code (freed through it)
  uint8_t* palette;          // the Palette picture's palette, or null
  int32_t hasPalette;
};

// Load flags.
constexpr int ZR_FONT_SOURCE_PALETTE = 1;  // glyphs keep the palette of their picture
constexpr int ZR_FONT_TRIM = 2;            // glyphs trimmed to their drawn columns (proportional)
constexpr int ZR_FONT_ANIMATED = 4;        // a character met again adds a frame

// Drawing flags (zr_font_draw; zr_font_measure looks at ZR_FONT_PROPORTIONAL only).
constexpr int ZR_FONT_STRETCHED = 4;      // fill the rectangle, glyphs scaled to its height
constexpr int ZR_FONT_PROPORTIONAL = 8;   // advance by each glyph's width + 1
constexpr int ZR_FONT_SCANLINES = 0x20;   // stretched: every other row only
constexpr int ZR_FONT_KEEP_RATIO = 0x40;  // stretched: glyphs keep their proportions
constexpr int ZR_FONT_DIMMED = 0x100;     // passed on to the copy as its option 0x40

// The colour of a glyph picture that stays transparent in the glyphs (as 0 does).
constexpr uint8_t ZR_FONT_BACKGROUND = 128;

// Error codes of the module "Font".
enum ZrFontError : int {
  ZR_FONT_NO_RECORD = 0,
  ZR_FONT_NOT_FOUND = 1,
  ZR_FONT_BAD_FORMAT = 2,
  ZR_FONT_NO_MEMORY = 3,
  ZR_FONT_BAD_PALETTE = 4,
  ZR_FONT_PARTLY_LOADED = 5,
  ZR_FONT_DEFINED_TWICE = 6,
  ZR_FONT_NO_FRAME_MEMORY = 7,
};

// Registers the module "Font" with the error service. Returns 1.
int zr_font_init(int32_t* report_switch);
// The module's number with the error service (-1 before zr_font_init).
int zr_font_module();

// Returns 1 when the font is usable (also when some glyphs failed: code 5 is then recorded),
// 0 when it is not (nothing is then left allocated in the record).
int zr_font_load(ZR_FONT* font, const char* file, int flags);
void zr_font_free(ZR_FONT* font);
// The frame to draw, or null: frame 1 below 1, cycling past the frame count.
ZR_BITMAP* zr_font_glyph(const ZR_FONT* font, int character, int frame);
// The width of a glyph as drawn in proportional spacing (its drawn columns), 0 for none.
int zr_font_glyph_width(const ZR_BITMAP* glyph);
// Width and height of the text into out->w and out->h. 0 for a missing font, text or rectangle,
// or an empty text.
int zr_font_measure(const ZR_FONT* font, const char* text, ZR_RECT* out, int flags);
// Draws the text into the target within rect (null: x 0, y 0, the target's width, the font's
// height).
void zr_font_draw(const ZR_FONT* font, const char* text, ZR_BITMAP* target, const ZR_RECT* rect,
                  int flags);
// As zr_font_draw, with frame `frame` of every glyph (zr_font_glyph's numbering: animated glyphs
// cycle through their frames as the number grows; zr_font_draw draws frame 1).
void zr_font_draw_frame(const ZR_FONT* font, const char* text, ZR_BITMAP* target,
                        const ZR_RECT* rect, int flags, int frame);
