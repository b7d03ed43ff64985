// Shared set-up of the font tests: the core services started in a scratch folder (the warning box
// captured), the font module registered, and small writers for font files, pictures and FLICs.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core_services.h"
#include "engine/core/fileio.h"
#include "engine/platform/message_box.h"
#include "engine/ui/font.h"
#include "tools/zrgen/canvas.h"
#include "tools/zrgen/flic_writer.h"

namespace uitest {

inline std::vector<std::string>& boxes() {
  static std::vector<std::string> list;
  return list;
}
inline int capture_box(const char* text, const char* caption, uint32_t) {
  boxes().push_back(std::string(caption ? caption : "") + "|" + (text ? text : ""));
  return IDOK;
}

inline void write_text(const std::string& path, const std::string& text) {
  std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

// A palette whose entry i is (i, i, i), so that a test can tell it from the generator's.
inline pal::Palette grey_palette() {
  pal::Palette p{};
  for (int i = 0; i < 256; ++i) p[3 * i] = p[3 * i + 1] = p[3 * i + 2] = static_cast<uint8_t>(i);
  return p;
}

class FontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    report_ = 0;
    zrtest::start_core_services(&report_, &config_);
    zr_font_init(&report_);
    boxes().clear();
    zr_message_box_set_hook(capture_box);
    blocks_ = zr_mem_block_count();
  }
  void TearDown() override {
    zr_font_free(&font_);
    zr_bitmap_scratch_free();  // the masked copy's row buffer, reserved by stretched drawing
    zrtest::expect_nothing_left(blocks_);
    zr_io_deinit();
    zr_message_box_set_hook(nullptr);
  }

  // [Font Properties] with the given cell and NbFiles; `rest` follows it.
  static std::string properties(int width, int height, int files, const std::string& palette = "") {
    return "[Font Properties]\nName=Test\nWidth=" + std::to_string(width) +
           "\nHeight=" + std::to_string(height) + "\nNbFiles=" + std::to_string(files) +
           "\nPalette=" + palette + "\n";
  }
  static std::string file_section(int n, const std::string& name, int type,
                                  const std::vector<std::string>& lines,
                                  const std::string& extra = "") {
    char header[32];
    std::snprintf(header, sizeof header, "[File%03d]\n", n);
    std::string s = std::string(header) + "Name=" + name + "\nType=" + std::to_string(type) +
                    "\nNbLines=" + std::to_string(lines.size()) + "\n" + extra;
    for (size_t i = 0; i < lines.size(); ++i) {
      char key[32];
      std::snprintf(key, sizeof key, "Line%03d=", static_cast<int>(i + 1));
      s += key + lines[i] + "\n";
    }
    return s;
  }

  int last_code() const {
    return zr_error_last_module() == zr_font_module() ? zr_error_last_code() : -1;
  }

  zrtest::ScratchFolder folder_{"zrfont"};
  int32_t report_ = 0;
  ZR_IO_CONFIG config_{};
  ZR_FONT font_{};
  int blocks_ = 0;
};

// A target picture of its own pixels.
struct Target {
  std::vector<uint8_t> pixels;
  ZR_BITMAP bitmap{};
  Target(int w, int h) : pixels(static_cast<size_t>(w) * h, 0) {
    bitmap.w = bitmap.width = static_cast<int16_t>(w);
    bitmap.h = bitmap.height = static_cast<int16_t>(h);
    bitmap.bpp = 8;
    bitmap.pixels = pixels.data();
  }
  uint8_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * bitmap.width + x]; }
  // Columns holding at least one non-zero pixel, counted.
  int inked_columns() const {
    int n = 0;
    for (int x = 0; x < bitmap.width; ++x) {
      for (int y = 0; y < bitmap.height; ++y) {
        if (at(x, y) != 0) {
          ++n;
          break;
        }
      }
    }
    return n;
  }
  int rightmost_ink() const {
    int r = -1;
    for (int y = 0; y < bitmap.height; ++y)
      for (int x = 0; x < bitmap.width; ++x)
        if (at(x, y) != 0) r = std::max(r, x);
    return r;
  }
};

}  // namespace uitest
