#include "world/pcx.h"

#include <algorithm>
#include <cstring>

#include "engine/core/fileio.h"
#include "engine/core/memory.h"
#include "world/world_error.h"

namespace {

// Buffered byte reader over the file layer. Past the end of the file it delivers 0xFF, the byte
// the layer's single-byte read gives at end of file, so a short file decodes as a run of 255s.
struct ByteReader {
  ZR_FILE* file;
  size_t pos;
  size_t len;
  bool ended;
  uint8_t data[16384];
};

void refill(ByteReader& r) {
  r.pos = 0;
  r.len = r.ended ? 0 : zr_io_fread(r.data, 1, sizeof r.data, r.file);
  if (r.len == 0) r.ended = true;
}

inline int next_byte(ByteReader& r) {
  if (r.pos == r.len) {
    refill(r);
    if (r.len == 0) return 0xFF;
  }
  return r.data[r.pos++];
}

int16_t le16(const uint8_t* p) {
  return static_cast<int16_t>(p[0] | (p[1] << 8));
}

[[noreturn]] void refuse(ZR_FILE* file, const char* format, const char* name) {
  zr_io_fclose(file);
  world_fatal(1, format, name);
}

// Decodes one scan line of bytes_per_line bytes; the part of a run past the line's end is lost.
void decode_line(ByteReader& r, uint8_t* line, int bytes_per_line, int shift) {
  int produced = 0;
  while (produced < bytes_per_line) {
    int b = next_byte(r);
    if ((b & 0xC0) != 0xC0) {
      line[produced++] = static_cast<uint8_t>(b + shift);
      continue;
    }
    int run = std::min(b & 0x3F, bytes_per_line - produced);
    b = next_byte(r);
    std::memset(line + produced, (b + shift) & 0xFF, run);
    produced += run;
  }
}

}  // namespace

void load_pcx_file(const char* name, int /*colour_count*/, int first_colour, int destination_colour,
                   Picture* picture) {
  ZR_FILE* file = zr_io_fopen(name, "rb");
  if (!file) world_fatal(1, "Cant open the file : %s", name);

  static ByteReader reader;
  reader.file = file;
  reader.pos = reader.len = 0;
  reader.ended = false;
  zr_io_fseek(file, 0, SEEK_SET);

  uint8_t header[PCX_HEADER_SIZE];
  size_t got = 0;
  while (got < sizeof header && !reader.ended) {
    int b = next_byte(reader);
    if (reader.ended) break;
    header[got++] = static_cast<uint8_t>(b);
  }
  if (got < sizeof header) refuse(file, "The file is too short for a PCX picture : %s", name);
  // Only 8-bit, one-plane, run-length pictures are read.
  if (header[0] != 10 || header[2] != 1 || header[3] != 8 || header[65] != 1)
    refuse(file, "The file is not an 8-bit run-length PCX picture : %s", name);

  int xmin = le16(header + 4), ymin = le16(header + 6);
  int xmax = le16(header + 8), ymax = le16(header + 10);
  int bytes_per_line = le16(header + 66);
  if (xmax < xmin || ymax < ymin) refuse(file, "Wrong picture size in the file : %s", name);
  int width = xmax - xmin + 1;
  int height = ymax - ymin + 1;
  if (width > PCX_MAX_SIDE || height > PCX_MAX_SIDE)
    refuse(file, "The picture is too large in the file : %s", name);
  if (bytes_per_line < width) refuse(file, "Wrong bytes per line in the file : %s", name);

  auto* pixels = static_cast<uint8_t*>(world_malloc(static_cast<size_t>(height) * width));
  if (!pixels) refuse(file, "Not enough memory for loading the file : %s", name);
  zr_mem_name(pixels, "pcx data in load pcx file");

  auto* line = static_cast<uint8_t*>(world_malloc(bytes_per_line));
  if (!line) {
    zr_mem_free(pixels);
    zr_io_fclose(file);
    world_fatal(0, "Not enough memory for buffer_aux");
  }
  zr_mem_name(line, "buffer in cargar pcx");

  int shift = (destination_colour - first_colour) & 0xFF;
  uint8_t* row = pixels;
  for (int y = 0; y < height; ++y, row += width) {
    if (reader.ended) {
      // Nothing left to read: every remaining code is a run of 0xFF.
      std::memset(row, (0xFF + shift) & 0xFF, static_cast<size_t>(height - y) * width);
      break;
    }
    decode_line(reader, line, bytes_per_line, shift);
    std::memcpy(row, line, width);
  }

  zr_mem_free(line);
  zr_io_fclose(file);
  picture->height = height;
  picture->width = width;
  picture->pixels = pixels;
}
