// Font files: the input is the font description file. Beside it lie a small PCX picture (g.pcx,
// also a palette) and a two-frame FLC animation (a.flc) for its files to name. The font is loaded
// with the flags of the input's length, measured and drawn in every mode, and freed; every file
// must be closed and every tracked byte given back.
#include "engine/ui/font.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/core/fileio.h"
#include "engine/core/keyfile.h"
#include "engine/display/bitmap.h"
#include "fuzz/fuzz_support.h"

namespace {

constexpr int kSide = 24;

void put16(std::vector<uint8_t>& v, size_t at, int value) {
  v[at] = static_cast<uint8_t>(value & 0xFF);
  v[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}
void put32(std::vector<uint8_t>& v, size_t at, uint32_t value) {
  for (int k = 0; k < 4; ++k) v[at + k] = static_cast<uint8_t>(value >> (8 * k));
}

// Pixel (x, y) of frame f: stripes of glyph colours on the font background 128, some blank cells.
uint8_t pixel(int x, int y, int f) {
  if ((x / 8 + y / 8) % 3 == 2) return 0;
  return (x + y + f) % 4 == 0 ? 128 : static_cast<uint8_t>(20 + (x ^ y) % 50);
}

std::vector<uint8_t> pcx() {
  std::vector<uint8_t> v(128, 0);
  v[0] = 10;
  v[1] = 5;
  v[2] = 1;
  v[3] = 8;
  put16(v, 8, kSide - 1);
  put16(v, 10, kSide - 1);
  v[65] = 1;
  put16(v, 66, kSide);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) {
      const uint8_t p = pixel(x, y, 0);
      if (p >= 0xC0) v.push_back(0xC1);
      v.push_back(p);
    }
  v.push_back(0x0C);
  for (int i = 0; i < 768; ++i) v.push_back(static_cast<uint8_t>(i / 3));
  return v;
}

std::vector<uint8_t> flc() {
  std::vector<uint8_t> v(128, 0);
  put16(v, 4, 0xAF12);
  put16(v, 6, 2);
  put16(v, 8, kSide);
  put16(v, 10, kSide);
  put16(v, 12, 8);
  put16(v, 16, 10);
  for (int f = 0; f < 2; ++f) {
    const size_t frame = v.size();
    v.resize(frame + 16 + 6, 0);
    put32(v, frame, 16 + 6 + kSide * kSide);
    put16(v, frame + 4, 0xF1FA);
    put16(v, frame + 6, 1);
    put32(v, frame + 16, 6 + kSide * kSide);
    put16(v, frame + 20, 16);  // a whole picture, copied
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x) v.push_back(pixel(x, y, f));
  }
  put32(v, 0, static_cast<uint32_t>(v.size()));
  return v;
}

// The loader's work grows with the cell size and the counts of files and rows; keep one input
// quick (every key read scans the file again).
bool small_enough(const char* file) {
  int32_t width = 0, height = 0, files = 0;
  zr_io_get_int("Font Properties", "Width", &width, file);
  zr_io_get_int("Font Properties", "Height", &height, file);
  zr_io_get_int("Font Properties", "NbFiles", &files, file);
  if (width > 256 || height > 256 || files > 8) return false;
  for (int n = 1; n <= files; ++n) {
    char section[16];
    std::snprintf(section, sizeof section, "File%03d", n);
    int32_t rows = 0;
    zr_io_get_int(section, "NbLines", &rows, file);
    if (rows > 16) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_start_core();
  static ZR_IO_CONFIG config{};
  static bool started = false;
  static int32_t reportSwitch = 1;
  if (!started) {
    started = true;
    zr_io_init(&config);
    zr_font_init(&reportSwitch);
    zr_bitmap_scratch_reserve(4096);  // the masked copy's row buffer, grown once and kept
    const std::vector<uint8_t> picture = pcx(), animation = flc();
    fuzz_write(fuzz_path("g.pcx"), picture.data(), picture.size());
    fuzz_write(fuzz_path("a.flc"), animation.data(), animation.size());
  }
  static const std::string path = fuzz_path("f.fnt");
  fuzz_write(path, data, size);
  if (!small_enough(path.c_str())) return 0;

  const int32_t before = zr_mem_used();
  ZR_FONT font{};
  if (zr_font_load(&font, path.c_str(), static_cast<int>(size % 8))) {
    std::vector<uint8_t> pixels(48 * 20, 0);
    ZR_BITMAP target{};
    target.width = target.w = 48;
    target.height = target.h = 20;
    target.bpp = 8;
    target.pixels = pixels.data();
    const char* texts[] = {"Ab", "\xE9t\xE9 ?", " ", "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"};
    const ZR_RECT rects[] = {{0, 0, 48, 20}, {-5, 3, 20, 9}, {40, 15, 30, 30}, {2, 2, 3, 1}};
    const int modes[] = {0, 8, 4, 12, 4 | 0x40, 12 | 0x40, 4 | 0x20, 12 | 0x100};
    for (const char* text : texts) {
      ZR_RECT measured{};
      zr_font_measure(&font, text, &measured, 8);
      zr_font_measure(&font, text, &measured, 0);
      for (const ZR_RECT& rect : rects)
        for (int mode : modes) zr_font_draw(&font, text, &target, &rect, mode);
      zr_font_draw(&font, text, &target, nullptr, 0);
    }
    for (int frame = -1; frame < 4; ++frame) zr_font_glyph(&font, 'A', frame);
  }
  zr_font_free(&font);
  if (zr_mem_used() != before || zr_io_open_count() != 0) std::abort();
  return 0;
}
