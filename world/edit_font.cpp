#include "world/edit_font.h"

#include <cstring>

#include "engine/core/fileio.h"
#include "engine/core/memory.h"
#include "world/background.h"
#include "world/frame_target.h"
#include "world/world_error.h"

uint8_t* edit_font = nullptr;

namespace {

struct GlyphMap {
  uint8_t glyph[256];
  constexpr GlyphMap() : glyph() {
    for (int c = 'a'; c <= 'z'; ++c) glyph[c] = static_cast<uint8_t>(c - 'a');
    for (int c = 'A'; c <= 'Z'; ++c) glyph[c] = static_cast<uint8_t>(26 + c - 'A');
    for (int c = '0'; c <= '9'; ++c) glyph[c] = static_cast<uint8_t>(52 + c - '0');
    // Code page 437 for the accented letters and inverted marks.
    constexpr int rest[][2] = {{'.', 62}, {',', 63}, {';', 64}, {':', 65}, {168, 66}, {'?', 67},
                               {173, 68}, {'!', 69}, {'(', 70}, {')', 71}, {164, 72}, {165, 73},
                               {160, 74}, {130, 75}, {161, 76}, {162, 77}, {163, 78}, {'-', 79},
                               {'$', 80}, {'%', 81}, {'/', 82}};
    for (const auto& r : rest) glyph[r[0]] = static_cast<uint8_t>(r[1]);
  }
};
constexpr GlyphMap glyph_map;

}  // namespace

void load_editing_font(const char* name) {
  ZR_FILE* file = zr_io_fopen(name, "rb");
  if (!file) world_fatal(0, "Cant open the file : %s", name);
  if (edit_font) free_editing_font();
  edit_font = static_cast<uint8_t*>(world_malloc(EDIT_FONT_BLOCK));
  if (!edit_font) {
    zr_io_fclose(file);
    world_fatal(0, "Memoria insuficiente para alocar fonts ...");
  }
  zr_mem_name(edit_font, "mem font 2 in load editor font");
  std::memset(edit_font, 0, EDIT_FONT_BLOCK);
  // One glyph for each character code from 32 to 255, in file order.
  zr_io_fread(edit_font, 1, EDIT_FONT_GLYPHS * EDIT_FONT_GLYPH_BYTES, file);
  zr_io_fclose(file);
}

void free_editing_font() {
  if (edit_font) zr_mem_free(edit_font);
  edit_font = nullptr;
}

int editing_font_glyph(uint8_t code) {
  return glyph_map.glyph[code];
}

void draw_glyph(uint8_t character, int x, int y, uint8_t colour, int /*target*/) {
  if (character == ' ' || !edit_font || !frame_pixels) return;
  // Whole glyphs only: one that does not fit in the view is not drawn.
  if (x < 0 || x > view_max_x - 5 || y < 0 || y > view_max_y - 7) return;
  if (x + 5 > frame_max_x + 1 || y + 7 > frame_max_y + 1) return;
  const uint8_t* rows = edit_font + editing_font_glyph(character) * EDIT_FONT_GLYPH_BYTES;
  int32_t pitch = frame_max_x + 1;
  for (int r = 0; r < EDIT_FONT_GLYPH_BYTES; ++r) {
    uint8_t* dst = frame_pixels + static_cast<size_t>(y + r) * pitch + x;
    for (int c = 0; c < 5; ++c)
      if (rows[r] & (0x10 >> c)) dst[c] = colour;
  }
}

void draw_text(const char* text, int x, int y, uint8_t colour, int target) {
  for (; *text; ++text, x += EDIT_FONT_ADVANCE)
    draw_glyph(static_cast<uint8_t>(*text), x, y, colour, target);
}
