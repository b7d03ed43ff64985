#include "engine/display/flic.h"

#include <algorithm>
#include <cstring>

#include "engine/core/fileio.h"
#include "engine/core/memory.h"
#include "engine/platform/clock.h"

namespace {

constexpr int kHeaderSize = 128;
constexpr int kFrameHeaderSize = 16;
constexpr int kChunkHeaderSize = 6;
constexpr uint16_t kPrefixChunk = 0xF100;
constexpr uint16_t kFrameChunk = 0xF1FA;
constexpr int kMaxSide = 16384;

enum SubChunk : uint16_t {
  kWordDelta = 7,
  kColour256 = 4,
  kColour64 = 11,
  kLineDelta = 12,
  kBlack = 13,
  kByteRun = 15,
  kCopy = 16,
};

uint16_t u16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t u32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Reads inside one chunk; any read past its end sets failed and yields 0, so that a decoder
// stops at the first lie about sizes or counts.
struct Reader {
  const uint8_t* p;
  const uint8_t* end;
  bool failed;

  bool has(size_t n) const { return !failed && static_cast<size_t>(end - p) >= n; }
  uint8_t byte() {
    if (!has(1)) return failed = true, 0;
    return *p++;
  }
  uint16_t word() {
    if (!has(2)) return failed = true, 0;
    const uint16_t v = u16(p);
    p += 2;
    return v;
  }
  const uint8_t* take(size_t n) {
    if (!has(n)) return failed = true, nullptr;
    const uint8_t* at = p;
    p += n;
    return at;
  }
};

// Writes into one line of the picture; columns outside it are dropped.
void put_bytes(ZR_ANIM* a, int line, int column, const uint8_t* src, int count) {
  if (line < 0 || line >= a->height) return;
  const int from = std::max(column, 0);
  const int to = std::min(column + count, static_cast<int>(a->width));
  if (to <= from) return;
  std::memcpy(a->pixels + static_cast<size_t>(line) * a->width + from, src + (from - column),
              static_cast<size_t>(to - from));
}

void fill_bytes(ZR_ANIM* a, int line, int column, uint8_t value, int count) {
  if (line < 0 || line >= a->height) return;
  const int from = std::max(column, 0);
  const int to = std::min(column + count, static_cast<int>(a->width));
  if (to > from) {
    std::memset(a->pixels + static_cast<size_t>(line) * a->width + from, value,
                static_cast<size_t>(to - from));
  }
}

void decode_colours(ZR_ANIM* a, Reader& in, int shift) {
  const int packets = in.word();
  int index = 0;
  for (int k = 0; k < packets && !in.failed; ++k) {
    index += in.byte();
    int count = in.byte();
    if (count == 0) count = 256;
    const uint8_t* rgb = in.take(static_cast<size_t>(count) * 3);
    if (rgb == nullptr) break;
    for (int i = 0; i < count && index < 256; ++i, ++index) {
      for (int c = 0; c < 3; ++c) {
        a->palette[3 * index + c] = static_cast<uint8_t>(rgb[3 * i + c] << shift);
      }
    }
  }
  a->paletteChanged = 1;
}

// Byte run: each line is filled to the width by packets; the line's leading packet count is
// obsolete (it cannot count past 255) and only skipped.
void decode_byte_run(ZR_ANIM* a, Reader& in) {
  for (int line = 0; line < a->height && !in.failed; ++line) {
    in.byte();
    int x = 0;
    while (x < a->width && !in.failed) {
      const int8_t count = static_cast<int8_t>(in.byte());
      if (count < 0) {
        const uint8_t* src = in.take(static_cast<size_t>(-count));
        if (src == nullptr) break;
        put_bytes(a, line, x, src, -count);
        x += -count;
      } else {
        const uint8_t value = in.byte();
        fill_bytes(a, line, x, value, count);
        x += count;
        if (count == 0 && in.failed) break;
      }
    }
  }
}

void decode_line_delta(ZR_ANIM* a, Reader& in) {
  int line = in.word();
  const int lines = in.word();
  for (int k = 0; k < lines && !in.failed && line < a->height; ++k, ++line) {
    const int packets = in.byte();
    int x = 0;
    for (int n = 0; n < packets && !in.failed; ++n) {
      x += in.byte();
      const int8_t count = static_cast<int8_t>(in.byte());
      if (count > 0) {
        const uint8_t* src = in.take(static_cast<size_t>(count));
        if (src == nullptr) break;
        put_bytes(a, line, x, src, count);
        x += count;
      } else if (count < 0) {
        fill_bytes(a, line, x, in.byte(), -count);
        x += -count;
      }
    }
  }
}

// Word delta (FLC): before each coded line's packets come option words. Top bits 11: skip
// -word lines; 10: the low byte is the line's last pixel (odd widths); 00: the packet count
// (possibly 0, a line with no packets). Packets copy or repeat pixel pairs.
void decode_word_delta(ZR_ANIM* a, Reader& in) {
  const int lines = in.word();
  int line = 0;
  for (int k = 0; k < lines && !in.failed; ++k) {
    int packets = -1;
    int lastPixel = -1;
    while (packets < 0 && !in.failed) {
      const uint16_t word = in.word();
      switch (word & 0xC000) {
        case 0xC000:
          line += 0x10000 - word;
          break;
        case 0x8000:
          lastPixel = word & 0xFF;
          break;
        case 0x0000:
          packets = word;
          break;
        default:  // 01 is undefined: the chunk cannot be trusted further
          in.failed = true;
          break;
      }
    }
    if (in.failed || line >= a->height) break;
    int x = 0;
    for (int n = 0; n < packets && !in.failed; ++n) {
      x += in.byte();
      const int8_t count = static_cast<int8_t>(in.byte());
      if (count > 0) {
        const uint8_t* src = in.take(2 * static_cast<size_t>(count));
        if (src == nullptr) break;
        put_bytes(a, line, x, src, 2 * count);
        x += 2 * count;
      } else if (count < 0) {
        const uint8_t* pair = in.take(2);
        if (pair == nullptr) break;
        for (int i = 0; i < -count; ++i, x += 2) put_bytes(a, line, x, pair, 2);
      }
    }
    if (lastPixel >= 0 && a->width > 0) {
      const uint8_t value = static_cast<uint8_t>(lastPixel);
      put_bytes(a, line, a->width - 1, &value, 1);
    }
    ++line;
  }
}

void decode_sub_chunk(ZR_ANIM* a, uint16_t type, Reader in) {
  switch (type) {
    case kColour256:
      decode_colours(a, in, 0);
      break;
    case kColour64:
      decode_colours(a, in, 2);
      break;
    case kBlack:
      std::memset(a->pixels, 0, a->size);
      break;
    case kByteRun:
      decode_byte_run(a, in);
      break;
    case kCopy: {
      const size_t n = std::min<size_t>(a->size, static_cast<size_t>(in.end - in.p));
      std::memcpy(a->pixels, in.p, n);
      break;
    }
    case kLineDelta:
      decode_line_delta(a, in);
      break;
    case kWordDelta:
      decode_word_delta(a, in);
      break;
    default:
      break;  // stamps and other kinds are not shown
  }
}

// Decodes the frame chunk at offset; returns its size (0 when no chunk header fits).
uint32_t decode_frame(ZR_ANIM* a, uint32_t offset, bool* decoded) {
  *decoded = false;
  const uint32_t left = a->dataSize - offset;
  if (left < kChunkHeaderSize) return 0;
  const uint8_t* chunk = a->data + offset;
  const uint32_t size = u32(chunk);
  const uint16_t type = u16(chunk + 4);
  const uint32_t span = std::min(size, left);
  if (type != kFrameChunk || span < kFrameHeaderSize) return size;
  const int count = u16(chunk + 6);
  uint32_t at = kFrameHeaderSize;
  for (int k = 0; k < count && at + kChunkHeaderSize <= span; ++k) {
    const uint32_t subSize = u32(chunk + at);
    const uint16_t subType = u16(chunk + at + 4);
    if (subSize < kChunkHeaderSize) break;  // a zero size would never move on
    const uint32_t subSpan = std::min(subSize, span - at);
    decode_sub_chunk(a, subType,
                     Reader{chunk + at + kChunkHeaderSize, chunk + at + subSpan, false});
    if (subSize > span - at) break;
    at += subSize;
  }
  *decoded = true;
  return size;
}

}  // namespace

int zr_anim_load_memory(ZR_ANIM* anim, const uint8_t* bytes, size_t length, const char* name) {
  if (anim == nullptr) return 0;
  *anim = ZR_ANIM{};
  if (bytes == nullptr || length < kHeaderSize || length > 0x7FFFFFFF) return 0;
  const uint16_t magic = u16(bytes + 4);
  if (magic != ZR_FLI_MAGIC && magic != ZR_FLC_MAGIC) return 0;
  anim->type = magic == ZR_FLI_MAGIC ? 1 : 2;
  anim->frames = u16(bytes + 6);
  anim->width = u16(bytes + 8);
  anim->height = u16(bytes + 10);
  if (anim->width == 0 || anim->height == 0 || anim->width > kMaxSide || anim->height > kMaxSide) {
    *anim = ZR_ANIM{};
    return 0;
  }
  anim->size = static_cast<uint32_t>(anim->width) * anim->height;
  uint32_t speed = u16(bytes + 16);
  if (speed == 0) speed = 1;
  anim->delay = anim->type == 1 ? speed * 1000 / 70 : speed;

  const size_t body = length - kHeaderSize;
  const char* label = name ? name : "";
  anim->pixels = static_cast<uint8_t*>(zr_mem_calloc(anim->size, 1));
  anim->palette = static_cast<uint8_t*>(zr_mem_calloc(768, 1));
  anim->data = static_cast<uint8_t*>(zr_mem_malloc(body + 1));
  anim->name = static_cast<char*>(zr_mem_malloc(std::strlen(label) + 1));
  if (!anim->pixels || !anim->palette || !anim->data || !anim->name) {
    zr_anim_free(anim);
    *anim = ZR_ANIM{};
    return 0;
  }
  std::memcpy(anim->name, label, std::strlen(label) + 1);
  std::memcpy(anim->data, bytes + kHeaderSize, body);
  anim->dataSize = static_cast<uint32_t>(body);
  anim->firstFrame = anim->nextFrame = anim->loopFrame = anim->data;
  return 1;
}

int zr_anim_load(ZR_ANIM* anim, const char* path, int source) {
  if (anim == nullptr) return 0;
  *anim = ZR_ANIM{};
  if ((source != 1 && source != 2) || path == nullptr) return 0;
  // 2 reads the disk only; 1 reads the data archive first and then the disk, as every data file
  // is read (the game falls back to loose files when the archive is missing).
  ZR_FILE* file = zr_io_fopen_in(path, "rb", source == 2 ? ZR_IO_DISK : ZR_IO_ARCHIVE | ZR_IO_DISK);
  if (file == nullptr) return 0;
  long length = -1;
  if (zr_io_fseek(file, 0, SEEK_END) == 0) length = zr_io_ftell(file);
  if (length < kHeaderSize || zr_io_fseek(file, 0, SEEK_SET) != 0) {
    zr_io_fclose(file);
    return 0;
  }
  auto* bytes = static_cast<uint8_t*>(zr_mem_malloc(static_cast<size_t>(length)));
  if (bytes == nullptr) {
    zr_io_fclose(file);
    return 0;
  }
  const size_t got = zr_io_fread(bytes, 1, static_cast<size_t>(length), file);
  zr_io_fclose(file);
  int result = 0;
  if (got == static_cast<size_t>(length)) result = zr_anim_load_memory(anim, bytes, got, path);
  zr_mem_free(bytes);
  return result;
}

int zr_anim_next(ZR_ANIM* anim, int force) {
  if (anim == nullptr || anim->data == nullptr) return 0;
  const uint32_t now = zr_get_tick_count();
  if (force != 1 && anim->frame != 0 && now - anim->lastTick < anim->delay) return 0;
  if (anim->frame < anim->frames) {
    ++anim->frame;
  } else {
    anim->frame = 1;
    anim->nextFrame = anim->loopFrame;
  }
  uint32_t offset = static_cast<uint32_t>(anim->nextFrame - anim->data);
  if (offset + kChunkHeaderSize <= anim->dataSize && u16(anim->data + offset + 4) == kPrefixChunk) {
    offset += std::min(u32(anim->data + offset), anim->dataSize - offset);
  }
  bool decoded = false;
  const uint32_t size = decode_frame(anim, offset, &decoded);
  offset += std::min(size, anim->dataSize - offset);
  anim->nextFrame = anim->data + offset;
  anim->lastTick = now;
  return decoded ? 1 : 0;
}

void zr_anim_draw(ZR_ANIM* anim, ZR_BITMAP* destination, int mode) {
  if (anim == nullptr || anim->pixels == nullptr || destination == nullptr) return;
  ZR_BITMAP picture{};
  picture.x = static_cast<int16_t>(destination->x + anim->x);
  picture.y = static_cast<int16_t>(destination->y + anim->y);
  picture.w = picture.width = static_cast<int16_t>(anim->width);
  picture.h = picture.height = static_cast<int16_t>(anim->height);
  picture.bpp = 8;
  picture.palette = anim->palette;
  picture.pixels = anim->pixels;
  const bool otherSize = destination->width != anim->width || destination->height != anim->height;
  if (mode == 2 && otherSize) {
    zr_bitmap_blit(destination, &picture, nullptr, nullptr, ZR_BLIT_STRETCH | ZR_BLIT_SOFTWARE);
  } else {
    zr_bitmap_blit(destination, &picture, nullptr, nullptr, ZR_BLIT_CENTRE);
  }
}

void zr_anim_clear(ZR_ANIM* anim) {
  if (anim && anim->pixels) std::memset(anim->pixels, 0, anim->size);
}

void zr_anim_rewind(ZR_ANIM* anim) {
  if (anim == nullptr) return;
  anim->frame = 0;
  anim->nextFrame = anim->firstFrame;
}

void zr_anim_free(ZR_ANIM* anim) {
  if (anim == nullptr) return;
  if (anim->name) zr_mem_free(anim->name);
  if (anim->pixels) zr_mem_free(anim->pixels);
  if (anim->palette) zr_mem_free(anim->palette);
  if (anim->data) zr_mem_free(anim->data);
  anim->name = nullptr;
  anim->pixels = nullptr;
  anim->palette = nullptr;
  anim->data = nullptr;
  anim->firstFrame = anim->nextFrame = anim->loopFrame = nullptr;
  anim->dataSize = 0;
}
