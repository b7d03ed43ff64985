#include "engine/ui/font.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/core/error.h"
#include "engine/core/fileio.h"
#include "engine/core/keyfile.h"
#include "engine/core/memory.h"
#include "engine/display/flic.h"
#include "engine/display/palette.h"

namespace {

constexpr const char* kFontMessages[] = {
    "Invalid font pointer",
    "Couldn't find the font file",
    "Invalid font file format",
    "Not enough free memory to load the font",
    "Couldn't load the font palette",
    "Some characters couldn't be loaded. The text might be displayed incorrectly",
    "A character is defined more than once in the font",
    "Couldn't reallocate the memory to load an animated character",
};

constexpr const char* kProperties = "Font Properties";
constexpr int kNameSize = 256;
constexpr int kRowSize = 256;
constexpr int kSpace = ' ';
// The copy option that the menus pass for lines that are not current (the software copy
// ignores it).
constexpr int kCopyDimmed = 0x40;

int g_module = -1;
int32_t* g_report = nullptr;

bool reporting() {
  return g_report != nullptr && *g_report != 0;
}

void report(int code) {
  zr_error_report(g_module, code);
}

void report_character(int code, int character) {
  zr_error_set_detail("%c", static_cast<char>(character));
  report(code);
}

// The palette that frames cut from one source may take over. The first frame that takes it owns
// it; the frames after it share it. A block no frame took is freed with the source.
struct SourcePalette {
  uint8_t* block = nullptr;
  bool given = false;

  void give(ZR_BITMAP* frame) {
    frame->palette = block;
    frame->ownsPalette = given ? 0 : 1;
    given = true;
  }
  void release() {
    if (block != nullptr && !given) zr_mem_free(block);
    block = nullptr;
    given = false;
  }
};

// The picture the glyphs of one row are cut from: a PCX picture or the current frame of a FLIC.
struct Source {
  const uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  SourcePalette palette;
};

// What a load works with besides the font record.
struct Loader {
  ZR_FONT* font;
  int flags;
  bool partlyFailed;
};

// One glyph frame: a copy of the cell, the background colour taken out; its drawn rectangles.
ZR_BITMAP* cut_frame(const Source& source, int x, int y, int w, int h) {
  auto* frame = static_cast<ZR_BITMAP*>(zr_mem_calloc(1, sizeof(ZR_BITMAP)));
  if (frame == nullptr) return nullptr;
  const ZR_RECT cell{0, 0, static_cast<int16_t>(w), static_cast<int16_t>(h)};
  if (!zr_bitmap_create(frame, &cell)) {
    zr_mem_free(frame);
    return nullptr;
  }
  for (int row = 0; row < h; ++row) {
    const uint8_t* from = source.pixels + static_cast<size_t>(y + row) * source.width + x;
    uint8_t* to = frame->pixels + static_cast<size_t>(row) * w;
    for (int col = 0; col < w; ++col) to[col] = from[col] == ZR_FONT_BACKGROUND ? 0 : from[col];
  }
  return frame;
}

void set_full_cell(ZR_BITMAP* frame) {
  const ZR_RECT all{0, 0, frame->width, frame->height};
  frame->opaqueBox = frame->opaqueColumns = frame->opaqueRows = all;
}

// Trims to the exact box of the drawn pixels (the general bounding box of the bitmap module keeps
// its established rule, under which a lone dot or a slanted stroke gives a wrong box). The
// columns keep the full cell height, so that glyphs stay on one baseline. A blank glyph keeps
// the full cell.
void trim_frame(ZR_BITMAP* frame) {
  int left = frame->width, right = -1, top = frame->height, bottom = -1;
  for (int row = 0; row < frame->height; ++row) {
    const uint8_t* p = frame->pixels + static_cast<size_t>(row) * frame->width;
    for (int col = 0; col < frame->width; ++col) {
      if (p[col] == 0) continue;
      left = std::min(left, col);
      right = std::max(right, col);
      top = std::min(top, row);
      bottom = std::max(bottom, row);
    }
  }
  if (right < 0) {
    set_full_cell(frame);
    return;
  }
  frame->opaqueBox =
      ZR_RECT{static_cast<int16_t>(left), static_cast<int16_t>(top),
              static_cast<int16_t>(right - left + 1), static_cast<int16_t>(bottom - top + 1)};
  frame->opaqueColumns = ZR_RECT{frame->opaqueBox.x, 0, frame->opaqueBox.w, frame->height};
  frame->opaqueRows = ZR_RECT{0, frame->opaqueBox.y, frame->width, frame->opaqueBox.h};
}

void free_frame(ZR_BITMAP* frame) {
  if (frame == nullptr) return;
  zr_bitmap_free(frame);
  zr_mem_free(frame);
}

void free_character(ZR_CHAR* record) {
  for (int i = 0; i < record->count; ++i) free_frame(record->frames[i]);
  if (record->frames != nullptr) zr_mem_free(record->frames);
  zr_mem_free(record);
}

// The record of a code, created when missing. Null when memory ran out.
ZR_CHAR* character_record(Loader& load, int code) {
  ZR_FONT* font = load.font;
  if (font->characters[code] != nullptr) return font->characters[code];
  auto* record = static_cast<ZR_CHAR*>(zr_mem_calloc(1, sizeof(ZR_CHAR)));
  if (record == nullptr) {
    report_character(ZR_FONT_NO_MEMORY, code);
    return nullptr;
  }
  if (reporting()) {
    const char name[2] = {static_cast<char>(code), '\0'};
    zr_mem_name(record, name);
  }
  font->characters[code] = record;
  font->defined[code] = 1;
  return record;
}

// A record created for a glyph that then failed is taken away again, so that the code falls back
// to the mapping or the space like any code without a glyph.
void drop_if_empty(ZR_FONT* font, int code) {
  ZR_CHAR* record = font->characters[code];
  if (record == nullptr || record->count > 0 || !font->defined[code]) return;
  free_character(record);
  font->characters[code] = nullptr;
  font->defined[code] = 0;
}

int append_frame(ZR_CHAR* record, ZR_BITMAP* frame, int code) {
  const size_t bytes = sizeof(ZR_BITMAP*) * static_cast<size_t>(record->count + 1);
  void* grown =
      record->frames == nullptr ? zr_mem_malloc(bytes) : zr_mem_realloc(record->frames, bytes);
  if (grown == nullptr) {
    report_character(ZR_FONT_NO_FRAME_MEMORY, code);
    return 0;
  }
  record->frames = static_cast<ZR_BITMAP**>(grown);
  record->frames[record->count++] = frame;
  return 1;
}

// Adds one frame per character of the row text, cells of w x h from (x, y) to the right. A cell
// that does not lie wholly inside the picture fails, and so do the cells after it.
void add_row(Loader& load, Source& source, const char* text, int64_t x, int64_t y, int64_t w,
             int64_t h) {
  ZR_FONT* font = load.font;
  for (const char* p = text; *p != '\0'; ++p, x += w) {
    const int code = static_cast<uint8_t>(*p);
    if (font->characters[code] != nullptr && !(load.flags & ZR_FONT_ANIMATED)) {
      report_character(ZR_FONT_DEFINED_TWICE, code);
      load.partlyFailed = true;
      continue;
    }
    if (x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > source.width || y + h > source.height) {
      load.partlyFailed = true;
      return;
    }
    ZR_CHAR* record = character_record(load, code);
    if (record == nullptr) {
      load.partlyFailed = true;
      continue;
    }
    ZR_BITMAP* frame = cut_frame(source, static_cast<int>(x), static_cast<int>(y),
                                 static_cast<int>(w), static_cast<int>(h));
    if (frame == nullptr) report_character(ZR_FONT_NO_MEMORY, code);
    if (frame == nullptr || !append_frame(record, frame, code)) {
      free_frame(frame);
      drop_if_empty(font, code);
      load.partlyFailed = true;
      continue;
    }
    if ((load.flags & ZR_FONT_SOURCE_PALETTE) && source.palette.block != nullptr) {
      source.palette.give(frame);
    } else {
      frame->palette = font->palette;
      frame->ownsPalette = 0;
    }
    if ((load.flags & ZR_FONT_TRIM) && code != kSpace) {
      trim_frame(frame);
    } else {
      set_full_cell(frame);
    }
  }
}

int read_int(const char* section, const char* key, int32_t* value, const char* file) {
  *value = 0;
  return zr_io_get_int(section, key, value, file);
}

// Reads the rows of one file section: Line001, Line002, ... A missing row fails on its own.
// each_row(n, text) adds the glyphs of row n (from 0).
template <typename AddRow>
void read_rows(Loader& load, const char* section, int rows, const char* file, AddRow each_row) {
  for (int n = 1; n <= rows; ++n) {
    char key[16];
    std::snprintf(key, sizeof key, "Line%03d", n);
    char text[kRowSize];
    if (zr_io_get_string(section, key, text, sizeof text, file) == 0) {
      load.partlyFailed = true;
      continue;
    }
    each_row(n - 1, text);
  }
}

// Types 1 and 2: a PCX picture, rows of cells from its top left corner.
void load_picture_file(Loader& load, const char* section, const char* path, int type, int rows,
                       const char* file) {
  int32_t cellWidth = load.font->width, cellHeight = load.font->height;
  if (type == 2) {
    int32_t value = 0;
    if (read_int(section, "Width", &value, file) > 0) cellWidth = value;
    if (read_int(section, "Height", &value, file) > 0) cellHeight = value;
  }
  ZR_BITMAP picture{};
  const bool ownPalette = load.flags & ZR_FONT_SOURCE_PALETTE;
  if (!zr_bitmap_load(&picture, path, ownPalette ? ZR_BITMAP_LOAD_PALETTE : 0)) {
    load.partlyFailed = true;
    return;
  }
  Source source;
  source.pixels = picture.pixels;
  source.width = picture.width;
  source.height = picture.height;
  if (ownPalette) {
    source.palette.block = picture.palette;  // the frames take it over from the picture
    picture.palette = nullptr;
    picture.ownsPalette = 0;
  }
  read_rows(load, section, rows, file, [&](int row, const char* text) {
    add_row(load, source, text, 0, static_cast<int64_t>(row) * cellHeight, cellWidth, cellHeight);
  });
  source.palette.release();
  zr_bitmap_free(&picture);
}

// The smallest rectangle holding every drawn pixel of every frame; w 0 when none is drawn.
ZR_RECT drawn_area(ZR_ANIM* anim) {
  int left = anim->width, right = -1, top = anim->height, bottom = -1;
  zr_anim_rewind(anim);
  for (int f = 0; f < anim->frames; ++f) {
    zr_anim_next(anim, 1);
    for (int row = 0; row < anim->height; ++row) {
      const uint8_t* p = anim->pixels + static_cast<size_t>(row) * anim->width;
      for (int col = 0; col < anim->width; ++col) {
        if (p[col] == 0) continue;
        left = std::min(left, col);
        right = std::max(right, col);
        top = std::min(top, row);
        bottom = std::max(bottom, row);
      }
    }
  }
  if (right < 0) return ZR_RECT{0, 0, 0, 0};
  return ZR_RECT{static_cast<int16_t>(left), static_cast<int16_t>(top),
                 static_cast<int16_t>(right - left + 1), static_cast<int16_t>(bottom - top + 1)};
}

// A copy of the animation's palette for the frames cut after it changed.
void take_anim_palette(Loader& load, ZR_ANIM* anim, Source& source, bool first) {
  if (!(load.flags & ZR_FONT_SOURCE_PALETTE) || !(first || anim->paletteChanged)) return;
  anim->paletteChanged = 0;
  auto* copy = static_cast<uint8_t*>(zr_mem_malloc(ZR_PALETTE_SIZE));
  if (copy == nullptr) return;  // the frames fall back to the font's palette
  std::memcpy(copy, anim->palette, ZR_PALETTE_SIZE);
  source.palette.release();
  source.palette.block = copy;
}

// Types 4 to 7: a FLIC animation; every frame of it gives each character of a row one frame.
void load_animation_file(Loader& load, const char* section, const char* path, int type, int rows,
                         const char* file) {
  ZR_ANIM anim{};
  if (!zr_anim_load(&anim, path, 1)) {
    load.partlyFailed = true;
    return;
  }
  // The glyph area's corner and height; 64 bits, since the keys may hold any number.
  int64_t areaX = 0, areaY = 0;
  int64_t areaHeight = static_cast<int64_t>(load.font->height) * rows;
  if (type == 5 || type == 7) {
    int32_t x = 0, y = 0, w = 0, h = 0;
    read_int(section, "X", &x, file);
    read_int(section, "Y", &y, file);
    read_int(section, "Width", &w, file);
    read_int(section, "Height", &h, file);
    if (w == 0 && h == 0) {
      const ZR_RECT found = drawn_area(&anim);
      areaX = found.x;
      areaY = found.y;
      areaHeight = found.h;
    } else {
      areaX = x;
      areaY = y;
      areaHeight = h;
    }
  }
  const int64_t rowHeight = rows > 0 ? areaHeight / rows : 0;
  Source source;
  source.pixels = anim.pixels;
  source.width = anim.width;
  source.height = anim.height;
  read_rows(load, section, rows, file, [&](int row, const char* text) {
    zr_anim_rewind(&anim);
    for (int f = 0; f < anim.frames; ++f) {
      zr_anim_next(&anim, 1);
      take_anim_palette(load, &anim, source, f == 0);
      add_row(load, source, text, areaX, areaY + row * rowHeight, load.font->width, rowHeight);
    }
  });
  source.palette.release();
  zr_anim_free(&anim);
}

// One "File%03d" section. Any failure here only marks the load as partly failed.
void load_file(Loader& load, int number, const char* dir, const char* file) {
  char section[16];
  std::snprintf(section, sizeof section, "File%03d", number);
  char name[ZR_PATH_MAX];
  int32_t type = 0, rows = 0;
  if (zr_io_get_string(section, "Name", name, sizeof name, file) == 0 ||
      read_int(section, "Type", &type, file) == 0 ||
      read_int(section, "NbLines", &rows, file) == 0 || type < 1 || type > 7 || type == 3) {
    load.partlyFailed = true;
    return;
  }
  char path[ZR_PATH_MAX];
  if (std::snprintf(path, sizeof path, "%s%s", dir, name) >= static_cast<int>(sizeof path)) {
    load.partlyFailed = true;
    return;
  }
  if (type <= 2) {
    load_picture_file(load, section, path, type, rows, file);
  } else {
    load_animation_file(load, section, path, type, rows, file);
  }
}

// The space's default: one blank frame of the cell size.
void add_default_space(Loader& load) {
  ZR_FONT* font = load.font;
  if (font->characters[kSpace] != nullptr) return;
  auto* record = static_cast<ZR_CHAR*>(zr_mem_calloc(1, sizeof(ZR_CHAR)));
  auto* frame = static_cast<ZR_BITMAP*>(zr_mem_calloc(1, sizeof(ZR_BITMAP)));
  const ZR_RECT cell{0, 0, font->width, font->height};
  bool ok = record != nullptr && frame != nullptr && zr_bitmap_create(frame, &cell);
  if (ok) {
    std::memset(frame->pixels, 0, static_cast<size_t>(font->width) * font->height);
    frame->palette = font->palette;
    set_full_cell(frame);
    ok = append_frame(record, frame, kSpace);
  }
  if (!ok) {
    report(ZR_FONT_NO_MEMORY);
    free_frame(frame);
    if (record != nullptr) free_character(record);
    load.partlyFailed = true;
    return;
  }
  font->characters[kSpace] = record;
  font->defined[kSpace] = 1;
}

void apply_mapping(ZR_FONT* font, const char* file) {
  char from[kRowSize], to[kRowSize];
  if (zr_io_get_string("Character Properties", "MapSrc", from, sizeof from, file) == 0 ||
      zr_io_get_string("Character Properties", "MapDst", to, sizeof to, file) == 0) {
    return;
  }
  const size_t n = std::min(std::strlen(from), std::strlen(to));
  for (size_t i = 0; i < n; ++i) {
    const int code = static_cast<uint8_t>(from[i]);
    if (font->characters[code] == nullptr) {
      font->characters[code] = font->characters[static_cast<uint8_t>(to[i])];
    }
  }
}

// Reads the required keys of [Font Properties] and the palette; *files gets the number of glyph
// files. 0 (after recording the error) when the font cannot be made from them.
int read_properties(ZR_FONT* font, const char* file, const char* dir, int* files) {
  char name[kNameSize];
  char paletteName[ZR_PATH_MAX];
  int32_t width = 0, height = 0, count = 0;
  const bool complete = zr_io_get_string(kProperties, "Name", name, sizeof name, file) > 0 &&
                        read_int(kProperties, "Width", &width, file) > 0 &&
                        read_int(kProperties, "Height", &height, file) > 0 &&
                        read_int(kProperties, "NbFiles", &count, file) > 0;
  // The palette key may be empty; the reader cannot tell an empty value from a missing key, so
  // both mean no palette.
  zr_io_get_string(kProperties, "Palette", paletteName, sizeof paletteName, file);
  // Cells must have a size, and one that the records can hold.
  if (!complete || width <= 0 || height <= 0 || width > INT16_MAX || height > INT16_MAX) {
    zr_error_set_detail("%s", file);
    report(ZR_FONT_BAD_FORMAT);
    return 0;
  }
  const size_t length = std::strlen(name);
  font->name = static_cast<char*>(zr_mem_malloc(length + 1));
  if (font->name == nullptr) {
    report(ZR_FONT_NO_MEMORY);
    return 0;
  }
  std::memcpy(font->name, name, length + 1);
  if (reporting()) zr_mem_name(font->name, name);
  font->width = static_cast<int16_t>(width);
  font->height = static_cast<int16_t>(height);
  if (paletteName[0] != '\0') {
    char path[ZR_PATH_MAX];
    std::snprintf(path, sizeof path, "%s%s", dir, paletteName);
    font->palette = zr_pal_load(path);
    if (font->palette == nullptr) {
      zr_error_set_detail("%s", path);
      report(ZR_FONT_BAD_PALETTE);
      return 0;
    }
    font->hasPalette = 1;
  }
  *files = count;
  return 1;
}

}  // namespace

int zr_font_init(int32_t* report_switch) {
  g_report = report_switch;
  g_module = zr_error_add_module("Font", kFontMessages, report_switch);
  return 1;
}

int zr_font_module() {
  return g_module;
}

int zr_font_load(ZR_FONT* font, const char* file, int flags) {
  if (font == nullptr) {
    report(ZR_FONT_NO_RECORD);
    return 0;
  }
  *font = ZR_FONT{};
  if (file == nullptr || !zr_io_exists(file, ZR_IO_ARCHIVE | ZR_IO_DISK)) {
    zr_error_set_detail("%s", file != nullptr ? file : "");
    report(ZR_FONT_NOT_FOUND);
    return 0;
  }
  char dir[ZR_PATH_MAX];
  if (zr_io_fgetdir(file, dir, sizeof dir) < 0) dir[0] = '\0';
  int files = 0;
  if (!read_properties(font, file, dir, &files)) {
    zr_font_free(font);
    return 0;
  }
  Loader load{font, flags, false};
  for (int n = 1; n <= files; ++n) load_file(load, n, dir, file);
  add_default_space(load);
  apply_mapping(font, file);
  for (ZR_CHAR*& record : font->characters) {
    if (record == nullptr) record = font->characters[kSpace];
  }
  if (load.partlyFailed) {
    zr_error_set_detail("%s", file);
    report(ZR_FONT_PARTLY_LOADED);
  }
  return 1;
}

void zr_font_free(ZR_FONT* font) {
  if (font == nullptr) return;
  for (int code = 0; code < 256; ++code) {
    if (font->defined[code] && font->characters[code] != nullptr) {
      free_character(font->characters[code]);
    }
  }
  if (font->name != nullptr) zr_mem_free(font->name);
  if (font->palette != nullptr) zr_pal_free(font->palette);
  *font = ZR_FONT{};
}

ZR_BITMAP* zr_font_glyph(const ZR_FONT* font, int character, int frame) {
  if (font == nullptr) return nullptr;
  const ZR_CHAR* record = font->characters[static_cast<uint8_t>(character)];
  if (record == nullptr || record->count <= 0) return nullptr;
  if (frame < 1) frame = 1;
  if (frame > record->count) frame = (frame - 1) % record->count + 1;
  return record->frames[frame - 1];
}

int zr_font_glyph_width(const ZR_BITMAP* glyph) {
  return glyph != nullptr ? glyph->opaqueColumns.w : 0;
}

int zr_font_measure(const ZR_FONT* font, const char* text, ZR_RECT* out, int flags) {
  if (font == nullptr || text == nullptr || out == nullptr || text[0] == '\0') return 0;
  const int n = static_cast<int>(std::strlen(text));
  int width = 0, height = 0;
  if (flags & ZR_FONT_PROPORTIONAL) {
    for (const char* p = text; *p != '\0'; ++p) {
      const ZR_BITMAP* glyph = zr_font_glyph(font, static_cast<uint8_t>(*p), 1);
      width += zr_font_glyph_width(glyph) + 1;
      if (glyph != nullptr) height = std::max<int>(height, glyph->opaqueColumns.h);
    }
  } else {
    width = n * font->width;
    height = font->height;
  }
  out->w = static_cast<int16_t>(std::clamp(width, 0, static_cast<int>(INT16_MAX)));
  out->h = static_cast<int16_t>(height);
  return 1;
}

namespace {

// The fixed-spacing rule: every (n / r)-th glyph from the first is one pixel wider until the r
// extra pixels are used (r < n, since r is the remainder of a division by n).
int fixed_share(int r, int i, int n, int* used) {
  if (r <= 0 || *used >= r || i % (n / r) != 0) return 0;
  ++*used;
  return 1;
}

// The proportional leftover (negative: pixels taken away) can be as large as the text is long or
// larger; spreading it one pixel per glyph "every (n / leftover)-th" would then divide by zero or
// never use it up. Every glyph takes the whole-number part of leftover / n, and the remainder
// goes by the fixed-spacing rule.
int leftover_share(int leftover, int i, int n, int* used) {
  const int sign = leftover < 0 ? -1 : 1;
  const int magnitude = std::abs(leftover);
  return sign * (magnitude / n + fixed_share(magnitude % n, i, n, used));
}

void draw_glyph(ZR_BITMAP* target, const ZR_BITMAP* glyph, ZR_RECT source, ZR_RECT destination,
                int options) {
  if (glyph == nullptr || destination.w <= 0 || source.w <= 0) return;
  zr_bitmap_blit_masked(target, glyph, &source, &destination, options);
}

void draw_plain(const ZR_FONT* font, const char* text, ZR_BITMAP* target, const ZR_RECT& rect,
                int flags, int frame) {
  int options = 0;
  if (flags & ZR_FONT_SCANLINES) options |= ZR_BLIT_SCANLINES;
  if (flags & ZR_FONT_DIMMED) options |= kCopyDimmed;
  const int right = rect.x + rect.w;
  const int visible = std::min<int>(right, target->width);
  int x = rect.x;
  for (const char* p = text; *p != '\0' && x < visible; ++p) {
    const ZR_BITMAP* glyph = zr_font_glyph(font, static_cast<uint8_t>(*p), frame);
    const int glyphWidth = zr_font_glyph_width(glyph);
    if (glyph != nullptr) {
      const ZR_RECT destination{static_cast<int16_t>(x), rect.y,
                                static_cast<int16_t>(std::min(glyphWidth, right - x)), rect.h};
      draw_glyph(target, glyph, glyph->opaqueColumns, destination, options);
    }
    x += (flags & ZR_FONT_PROPORTIONAL) ? glyphWidth + 1 : font->width;
  }
}

void draw_stretched(const ZR_FONT* font, const char* text, ZR_BITMAP* target, const ZR_RECT& rect,
                    int flags, int frame) {
  int options = ZR_BLIT_STRETCH;
  if (flags & ZR_FONT_SCANLINES) options |= ZR_BLIT_SCANLINES;
  if (flags & ZR_FONT_KEEP_RATIO) options |= ZR_BLIT_VERTICAL_RATIO;
  if (flags & ZR_FONT_DIMMED) options |= kCopyDimmed;
  const bool proportional = flags & ZR_FONT_PROPORTIONAL;
  const bool keepRatio = flags & ZR_FONT_KEEP_RATIO;
  const int n = static_cast<int>(std::strlen(text));

  // The glyph widths before spreading.
  int fixedWidth = rect.w / n;
  const int remainder = rect.w - n * fixedWidth;
  if (!proportional && keepRatio) {
    fixedWidth = font->height > 0 ? static_cast<int>(std::lround(static_cast<double>(font->width) *
                                                                 rect.h / font->height))
                                  : 0;
  }
  double scale = 1.0;
  int leftover = 0;
  if (proportional) {
    ZR_RECT measured{};
    zr_font_measure(font, text, &measured, ZR_FONT_PROPORTIONAL);
    scale = keepRatio ? static_cast<double>(measured.h) / rect.h
                      : static_cast<double>(measured.w) / rect.w;
    if (scale <= 0) return;
    if (!keepRatio) {
      int sum = 0;
      for (const char* p = text; *p != '\0'; ++p) {
        const int w = zr_font_glyph_width(zr_font_glyph(font, static_cast<uint8_t>(*p), frame));
        sum += static_cast<int>(w / scale);
      }
      leftover = rect.w - sum - (n - 1);
    }
  }

  const int right = rect.x + rect.w;
  int x = rect.x;
  int used = 0;
  const int visible = std::min<int>(right, target->width);
  for (int i = 0; i < n && x < visible; ++i) {
    const ZR_BITMAP* glyph = zr_font_glyph(font, static_cast<uint8_t>(text[i]), frame);
    int width = 0;
    if (proportional) {
      width = static_cast<int>(zr_font_glyph_width(glyph) / scale);
      if (!keepRatio) width += leftover_share(leftover, i, n, &used);
      width = std::max(width, 0);
    } else {
      width = fixedWidth + (keepRatio ? 0 : fixed_share(remainder, i, n, &used));
    }
    if (glyph != nullptr && width > 0) {
      ZR_RECT source = glyph->opaqueColumns;
      ZR_RECT destination{static_cast<int16_t>(x), rect.y, static_cast<int16_t>(width), rect.h};
      if (x + width > right) {  // narrowed to end on the edge: the glyph is cut, not squeezed
        destination.w = static_cast<int16_t>(right - x);
        const int shown = keepRatio ? (destination.w * source.h + rect.h - 1) / rect.h
                                    : source.w * destination.w / width;
        source.w = static_cast<int16_t>(std::clamp<int>(shown, 1, source.w));
      }
      draw_glyph(target, glyph, source, destination, options);
    }
    x += proportional ? width + 1 : width;
  }
}

}  // namespace

void zr_font_draw(const ZR_FONT* font, const char* text, ZR_BITMAP* target, const ZR_RECT* rect,
                  int flags) {
  zr_font_draw_frame(font, text, target, rect, flags, 1);
}

void zr_font_draw_frame(const ZR_FONT* font, const char* text, ZR_BITMAP* target,
                        const ZR_RECT* rect, int flags, int frame) {
  if (font == nullptr || text == nullptr || target == nullptr || text[0] == '\0') return;
  const ZR_RECT area = rect != nullptr ? *rect : ZR_RECT{0, 0, target->width, font->height};
  if (area.w <= 0 || area.h <= 0) return;
  if (area.x >= target->width || area.y >= target->height || area.x + area.w <= 0 ||
      area.y + area.h <= 0) {
    return;
  }
  if (flags & ZR_FONT_STRETCHED) {
    draw_stretched(font, text, target, area, flags, frame);
  } else {
    draw_plain(font, text, target, area, flags, frame);
  }
}
