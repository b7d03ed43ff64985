#include "engine/display/snapshot.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/core/fileio.h"
#include "engine/core/memory.h"
#include "engine/display/display.h"
#include "engine/display/palette.h"
#include "engine/platform/message_box.h"

namespace {

constexpr int kHeaderSize = 128;
constexpr int kMaxRun = 63;

void put_u16(uint8_t* p, int value) {
  p[0] = static_cast<uint8_t>(value & 0xFF);
  p[1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

// A partial file is worse than none.
int discard(ZR_FILE* file, const char* path) {
  zr_io_fclose(file);
  char disk[ZR_PATH_MAX];
  zr_io_disk_path(path, disk, sizeof disk);
  std::remove(disk);
  return 0;
}

}  // namespace

int zr_pcx_encode_row(const uint8_t* row, int length, uint8_t* out) {
  int written = 0;
  int p = 0;
  while (p < length) {
    const uint8_t value = row[p];
    int count = 0;
    while (count < kMaxRun - 1 && p + 1 + count < length && row[p + 1 + count] == value) ++count;
    if (count > 0) {
      const int run = count + 1;
      out[written++] = static_cast<uint8_t>(0xC0 + run);
      out[written++] = value;
      p += run;
    } else {
      if ((value & 0xC0) == 0xC0) out[written++] = 0xC1;
      out[written++] = value;
      ++p;
    }
  }
  return written;
}

int zr_bitmap_save_pcx(const ZR_BITMAP* bitmap, const char* path, const ZR_RECT* rect) {
  if (bitmap == nullptr || bitmap->pixels == nullptr || path == nullptr || bitmap->width <= 0 ||
      bitmap->height <= 0) {
    return 0;
  }
  int x = 0, y = 0, w = bitmap->width, h = bitmap->height;
  if (rect) {
    x = rect->x;
    y = rect->y;
    w = rect->w;
    h = rect->h;
    if (w < 1 || h < 1 || x >= bitmap->width || y >= bitmap->height || x + w < 1 || y + h < 1) {
      return 0;
    }
    if (x < 0) {
      w += x;
      x = 0;
    }
    if (y < 0) {
      h += y;
      y = 0;
    }
    w = std::min(w, bitmap->width - x);
    h = std::min(h, bitmap->height - y);
  }

  ZR_FILE* file = zr_io_fopen(path, "wb");
  if (file == nullptr) return 0;

  uint8_t header[kHeaderSize] = {};
  header[0] = 0x0A;
  header[1] = 5;
  header[2] = 1;
  header[3] = 8;
  put_u16(header + 8, w - 1);
  put_u16(header + 10, h - 1);
  put_u16(header + 12, w);
  put_u16(header + 14, h);
  header[65] = 1;
  put_u16(header + 66, w);
  put_u16(header + 68, 1);
  if (zr_io_fwrite(header, 1, kHeaderSize, file) != kHeaderSize) return discard(file, path);

  auto* encoded = static_cast<uint8_t*>(zr_mem_malloc(2 * static_cast<size_t>(w)));
  if (encoded == nullptr) return discard(file, path);
  for (int r = 0; r < h; ++r) {
    const uint8_t* row = bitmap->pixels + static_cast<size_t>(y + r) * bitmap->width + x;
    const size_t length = static_cast<size_t>(zr_pcx_encode_row(row, w, encoded));
    // A short write anywhere leaves a broken picture, not only in the header or palette.
    if (zr_io_fwrite(encoded, 1, length, file) != length) {
      zr_mem_free(encoded);
      return discard(file, path);
    }
  }
  zr_mem_free(encoded);

  const uint8_t* palette = bitmap->palette ? bitmap->palette : zr_pal_current();
  if (zr_io_fputc(0x0C, file) == EOF) return discard(file, path);
  if (zr_io_fwrite(palette, 1, ZR_PALETTE_SIZE, file) != ZR_PALETTE_SIZE) {
    return discard(file, path);
  }
  if (zr_io_fflush(file) != 0) return discard(file, path);
  zr_io_fclose(file);
  return 1;
}

int zr_snapshot() {
  // Snapshots are the player's own files: they go beside the settings.
  char name[ZR_PATH_MAX * 2 + 16];
  const char* folder = zr_io_player_dir();
  int n = 0;
  for (; n < ZR_SNAPSHOT_LIMIT; ++n) {
    std::snprintf(name, sizeof name, "%sSnap%04d.pcx", folder, n);
    ZR_FILE* existing = zr_io_fopen(name, "rb");
    if (existing == nullptr) break;
    zr_io_fclose(existing);
  }
  if (n >= ZR_SNAPSHOT_LIMIT) {
    zr_message_box(
        "Sorry, there are already 10000 snapshots in this directory. Please delete a few of them "
        "if you want to take new ones.",
        nullptr, MB_OK);
    return 0;
  }
  return zr_bitmap_save_pcx(zr_dsp_frame_buffer(), name, nullptr);
}
