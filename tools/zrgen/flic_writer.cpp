#include "tools/zrgen/flic_writer.h"

#include <fstream>
#include <stdexcept>

namespace {

constexpr uint16_t kFlcMagic = 0xAF12;
constexpr uint16_t kFrameChunk = 0xF1FA;
constexpr uint16_t kColour256 = 4;
constexpr uint16_t kByteRun = 15;

void put16(std::vector<uint8_t>& out, size_t at, int value) {
  out[at] = static_cast<uint8_t>(value & 0xFF);
  out[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}
void put32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
  for (int k = 0; k < 4; ++k) out[at + k] = static_cast<uint8_t>(value >> (8 * k));
}

// A sub-chunk: 32-bit size, 16-bit type, body; padded to an even size.
std::vector<uint8_t> sub_chunk(uint16_t type, const std::vector<uint8_t>& body) {
  std::vector<uint8_t> c(6, 0);
  c.insert(c.end(), body.begin(), body.end());
  if (c.size() % 2 != 0) c.push_back(0);
  put32(c, 0, static_cast<uint32_t>(c.size()));
  put16(c, 4, type);
  return c;
}

std::vector<uint8_t> palette_body(const pal::Palette& palette) {
  std::vector<uint8_t> b = {1, 0, 0, 0};  // one packet: skip 0, copy 256 (written as 0)
  b.insert(b.end(), palette.begin(), palette.end());
  return b;
}

// Byte run: per line an (obsolete) packet count, then packets of a signed count: positive
// repeats the next byte, negative copies that many literal bytes.
std::vector<uint8_t> byte_run_body(const Canvas& c) {
  std::vector<uint8_t> b;
  for (int y = 0; y < c.height; ++y) {
    const size_t countAt = b.size();
    b.push_back(0);
    int packets = 0;
    int x = 0;
    while (x < c.width) {
      int run = 1;
      while (x + run < c.width && run < 127 && c.get(x + run, y) == c.get(x, y)) ++run;
      if (run >= 3) {
        b.push_back(static_cast<uint8_t>(run));
        b.push_back(c.get(x, y));
        x += run;
      } else {
        int literal = 0;
        while (x + literal < c.width && literal < 127) {
          const int at = x + literal;
          if (at + 2 < c.width && c.get(at, y) == c.get(at + 1, y) &&
              c.get(at, y) == c.get(at + 2, y)) {
            break;
          }
          ++literal;
        }
        b.push_back(static_cast<uint8_t>(-literal));
        for (int k = 0; k < literal; ++k) b.push_back(c.get(x + k, y));
        x += literal;
      }
      ++packets;
    }
    b[countAt] = static_cast<uint8_t>(packets > 255 ? 255 : packets);
  }
  return b;
}

std::vector<uint8_t> frame_chunk(const std::vector<std::vector<uint8_t>>& subs) {
  std::vector<uint8_t> f(16, 0);
  for (const auto& s : subs) f.insert(f.end(), s.begin(), s.end());
  put32(f, 0, static_cast<uint32_t>(f.size()));
  put16(f, 4, kFrameChunk);
  put16(f, 6, static_cast<int>(subs.size()));
  return f;
}

}  // namespace

std::vector<uint8_t> flc_bytes(const std::vector<Canvas>& frames, const pal::Palette& palette,
                               int delayMs) {
  if (frames.empty() || frames.size() > 4000) throw std::runtime_error("bad FLC frame count");
  const int width = frames[0].width, height = frames[0].height;
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384) {
    throw std::runtime_error("bad FLC frame size");
  }
  std::vector<uint8_t> out(128, 0);
  put16(out, 4, kFlcMagic);
  put16(out, 6, static_cast<int>(frames.size()));
  put16(out, 8, width);
  put16(out, 10, height);
  put16(out, 12, 8);  // bits per pixel
  put32(out, 16, static_cast<uint32_t>(delayMs));
  put16(out, 22, 1);  // aspect 1:1
  put16(out, 24, 1);
  for (size_t i = 0; i < frames.size(); ++i) {
    const Canvas& c = frames[i];
    if (c.width != width || c.height != height) throw std::runtime_error("FLC frames differ");
    std::vector<std::vector<uint8_t>> subs;
    if (i == 0) subs.push_back(sub_chunk(kColour256, palette_body(palette)));
    subs.push_back(sub_chunk(kByteRun, byte_run_body(c)));
    const std::vector<uint8_t> frame = frame_chunk(subs);
    if (i == 0) put32(out, 80, static_cast<uint32_t>(out.size()));  // offset of frame 1
    if (i == 1) put32(out, 84, static_cast<uint32_t>(out.size()));  // offset of frame 2
    out.insert(out.end(), frame.begin(), frame.end());
  }
  put32(out, 0, static_cast<uint32_t>(out.size()));
  return out;
}

void write_flc(const std::filesystem::path& path, const std::vector<Canvas>& frames,
               const pal::Palette& palette, int delayMs) {
  const std::vector<uint8_t> bytes = flc_bytes(frames, palette, delayMs);
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path.string());
}
