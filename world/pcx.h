// PCX pictures of the world: 8-bit, one plane, run-length encoded. Every failure is fatal through
// the world engine's error report.
#pragma once
#include <cstdint>

// An 8-bit picture as read; pixels are height x width bytes in tracked memory, owned by the caller.
struct Picture {
  int32_t height;
  int32_t width;
  uint8_t* pixels;
};

constexpr int32_t PCX_HEADER_SIZE = 128;
constexpr int32_t PCX_MAX_SIDE = 16384;  // larger pictures are refused

// Reads the named file into picture. Each pixel value is shifted by (destination - first) modulo
// 256; the game passes 236, 10, 10 so values stay as they are in the file.
void load_pcx_file(const char* name, int colour_count, int first_colour, int destination_colour,
                   Picture* picture);
