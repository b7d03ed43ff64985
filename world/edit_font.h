// The editing font: 5 x 7 glyphs for the renderer's editing overlay, from data\font.dat.
#pragma once
#include <cstdint>

constexpr int EDIT_FONT_GLYPHS = 224;
constexpr int EDIT_FONT_GLYPH_BYTES = 7;
constexpr int EDIT_FONT_BLOCK = 1792;
constexpr int EDIT_FONT_ADVANCE = 6;
constexpr int EDIT_TARGET_FRAME = 0;  // the only target: the frame buffer

extern uint8_t* edit_font;  // EDIT_FONT_BLOCK bytes, glyphs in file order

void load_editing_font(const char* name);
void free_editing_font();
// Glyph number of a character code (0, the shape of 'a', for codes without a glyph).
int editing_font_glyph(uint8_t code);
void draw_glyph(uint8_t character, int x, int y, uint8_t colour, int target);
void draw_text(const char* text, int x, int y, uint8_t colour, int target);
