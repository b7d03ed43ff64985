// PCX writer for the generator's pictures.
#include "tools/zrgen/canvas.h"

#include <fstream>
#include <stdexcept>

namespace {

void put16(std::vector<uint8_t>& out, size_t at, int value) {
  out[at] = static_cast<uint8_t>(value & 0xFF);
  out[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

// One scan line in PCX run-length form; runs never cross the end of the line.
void encode_line(std::vector<uint8_t>& out, const uint8_t* line, int length) {
  int x = 0;
  while (x < length) {
    const uint8_t value = line[x];
    int run = 1;
    while (x + run < length && run < 63 && line[x + run] == value) ++run;
    if (run > 1 || (value & 0xC0) == 0xC0) out.push_back(static_cast<uint8_t>(0xC0 | run));
    out.push_back(value);
    x += run;
  }
}

}  // namespace

void write_pcx(const std::filesystem::path& path, const Canvas& canvas,
               const pal::Palette& palette) {
  if (canvas.width <= 0 || canvas.height <= 0 || canvas.width > 65535 || canvas.height > 65535) {
    throw std::runtime_error("bad picture size for " + path.string());
  }
  std::vector<uint8_t> out(128, 0);
  out[0] = 10;  // ZSoft
  out[1] = 5;   // version with a 256-colour palette
  out[2] = 1;   // run-length
  out[3] = 8;   // bits per pixel
  put16(out, 8, canvas.width - 1);
  put16(out, 10, canvas.height - 1);
  put16(out, 12, 72);
  put16(out, 14, 72);
  out[65] = 1;  // planes
  put16(out, 66, canvas.width);
  put16(out, 68, 1);  // colour palette
  for (int y = 0; y < canvas.height; ++y) {
    encode_line(out, canvas.pixels.data() + size_t(y) * canvas.width, canvas.width);
  }
  out.push_back(0x0C);
  out.insert(out.end(), palette.begin(), palette.end());

  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  if (!file) throw std::runtime_error("cannot write " + path.string());
}
