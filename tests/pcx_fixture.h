// PCX headers for test fixtures: the 128-byte header of an 8-bit, one-plane, run-length picture.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zrtest {

inline void put16(std::vector<uint8_t>& v, size_t at, int value) {
  v[at] = static_cast<uint8_t>(value & 0xFF);
  v[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

inline std::vector<uint8_t> pcx_header(int xmin, int ymin, int xmax, int ymax, int bytesPerLine) {
  std::vector<uint8_t> h(128, 0);
  h[0] = 0x0A;
  h[1] = 5;
  h[2] = 1;
  h[3] = 8;
  put16(h, 4, xmin);
  put16(h, 6, ymin);
  put16(h, 8, xmax);
  put16(h, 10, ymax);
  h[65] = 1;
  put16(h, 66, bytesPerLine);
  put16(h, 68, 1);
  return h;
}

}  // namespace zrtest
