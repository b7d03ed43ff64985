// 8-bit paletted PNG files through libpng.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct PalettedImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;   // width x height indices
  std::vector<uint8_t> palette;  // 768 bytes
};

// Writes indices with a 256-entry palette. Returns "" on success, else the reason.
std::string png_write_paletted(const std::string& path, const PalettedImage& image);
// Reads a paletted PNG (bit depth 1 to 8) into one index per pixel; other kinds are refused.
std::string png_read_paletted(const std::string& path, PalettedImage* image);
