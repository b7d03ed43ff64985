// An 8-bit indexed picture the generator draws into, and its PCX writer (version 5, run-length,
// one plane, bytes per line = width, the palette appended after the 0x0C marker).
#pragma once
#include <cstdint>
#include <filesystem>
#include <vector>

#include "tools/zrgen/palette.h"

struct Canvas {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // width * height, rows from the top; 0 is transparent in sprites

  Canvas() = default;
  Canvas(int w, int h, uint8_t fill = 0) : width(w), height(h), pixels(size_t(w) * h, fill) {}
  uint8_t get(int x, int y) const { return pixels[size_t(y) * width + x]; }
  void set(int x, int y, uint8_t c) {
    if (x >= 0 && y >= 0 && x < width && y < height) pixels[size_t(y) * width + x] = c;
  }
};

// Writes the canvas as a PCX file with the given palette; creates parent folders. Throws
// std::runtime_error when the file cannot be written.
void write_pcx(const std::filesystem::path& path, const Canvas& canvas, const pal::Palette& palette);
