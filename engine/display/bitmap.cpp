#include "engine/display/bitmap.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "engine/core/fileio.h"
#include "engine/core/memory.h"

namespace {

constexpr int kPcxHeaderSize = 128;
constexpr int kPcxPaletteSize = 768;
constexpr int kFixedOne = 65536;

const char* g_loadError = "";

// The masked copy's scratch row: one destination row is built here before its non-zero pixels
// are copied.
uint8_t* g_scratch = nullptr;
int32_t g_scratchSize = 0;

uint16_t read_u16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
int16_t read_i16(const uint8_t* p) {
  return static_cast<int16_t>(read_u16(p));
}

int fail_load(ZR_BITMAP* bitmap, const char* reason) {
  zr_bitmap_free(bitmap);
  *bitmap = ZR_BITMAP{};
  g_loadError = reason;
  return 0;
}

// Copies the non-zero bytes of src into dst: each byte of dst keeps its value where src is 0.
// Branch-free blends, 16 bytes at a time where SSE2 exists, else 8.
void copy_non_zero(uint8_t* dst, const uint8_t* src, int count) {
  int i = 0;
#ifdef __SSE2__
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= count; i += 16) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    const __m128i keep = _mm_cmpeq_epi8(s, zero);
    const __m128i out = _mm_or_si128(_mm_and_si128(keep, d), _mm_andnot_si128(keep, s));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), out);
  }
#endif
  for (; i + 8 <= count; i += 8) {
    uint64_t s, d;
    std::memcpy(&s, src + i, 8);
    std::memcpy(&d, dst + i, 8);
    // High bit of each byte set where the byte is non-zero, widened to a byte mask.
    const uint64_t low7 = 0x7F7F7F7F7F7F7F7Full;
    const uint64_t nonZero = (((s & low7) + low7) | s) & 0x8080808080808080ull;
    const uint64_t mask = (nonZero >> 7) * 0xFF;
    const uint64_t out = (s & mask) | (d & ~mask);
    std::memcpy(dst + i, &out, 8);
  }
  for (; i < count; ++i) {
    if (src[i]) dst[i] = src[i];
  }
}

void put_row(uint8_t* dst, const uint8_t* src, int count, bool masked) {
  if (masked) {
    copy_non_zero(dst, src, count);
  } else {
    std::memmove(dst, src, static_cast<size_t>(count));  // source and destination may be one bitmap
  }
}

bool valid(const ZR_BITMAP* b) {
  return b != nullptr && b->pixels != nullptr && b->width > 0 && b->height > 0;
}

// A rectangle in plain ints, so that intermediate sums cannot wrap.
struct Box {
  int x, y, w, h;
};

Box box_of(const ZR_RECT* rect, const ZR_BITMAP* b) {
  if (rect == nullptr) return Box{0, 0, b->width, b->height};
  return Box{rect->x, rect->y, rect->w, rect->h};
}

// Keeps a source rectangle inside its bitmap (a caller's rectangle may reach past it).
bool clamp_source(Box& s, const ZR_BITMAP* b) {
  if (s.x < 0) {
    s.w += s.x;
    s.x = 0;
  }
  if (s.y < 0) {
    s.h += s.y;
    s.y = 0;
  }
  s.w = std::min(s.w, b->width - s.x);
  s.h = std::min(s.h, b->height - s.y);
  return s.w > 0 && s.h > 0;
}

void blit_plain(ZR_BITMAP* dst, const ZR_BITMAP* src, Box s, Box d, int flags, bool masked) {
  if (flags & ZR_BLIT_CENTRE) {
    if (d.w < s.w) {
      s.x += (s.w - d.w) / 2;
    } else {
      d.x += (d.w - s.w) / 2;
    }
    if (d.h < s.h) {
      s.y += (s.h - d.h) / 2;
    } else {
      d.y += (d.h - s.h) / 2;
    }
  }
  // A source rectangle reaching out of the source moves the destination with it.
  if (s.x < 0) {
    d.x -= s.x;
    d.w += s.x;
    s.w += s.x;
    s.x = 0;
  }
  if (s.y < 0) {
    d.y -= s.y;
    d.h += s.y;
    s.h += s.y;
    s.y = 0;
  }
  s.w = std::min(s.w, src->width - s.x);
  s.h = std::min(s.h, src->height - s.y);
  // Cut at the destination's edges; a cut at the left or top moves the source with it.
  d.w = std::min(d.w, dst->width - d.x);
  d.h = std::min(d.h, dst->height - d.y);
  if (d.x < 0) {
    s.x -= d.x;
    s.w += d.x;
    d.w += d.x;
    d.x = 0;
  }
  if (d.y < 0) {
    s.y -= d.y;
    s.h += d.y;
    d.h += d.y;
    d.y = 0;
  }
  const int cw = std::min(s.w, d.w);
  const int ch = std::min(s.h, d.h);
  if (cw <= 0 || ch <= 0) return;
  // Within one bitmap, a copy downwards runs bottom-up so that no row is read after it is
  // overwritten.
  const bool upward = src->pixels == dst->pixels && d.y > s.y;
  for (int k = 0; k < ch; ++k) {
    const int r = upward ? ch - 1 - k : k;
    put_row(dst->pixels + static_cast<size_t>(d.y + r) * dst->width + d.x,
            src->pixels + static_cast<size_t>(s.y + r) * src->width + s.x, cw, masked);
  }
}

void blit_double(ZR_BITMAP* dst, const ZR_BITMAP* src, Box s, Box d, int flags, bool masked) {
  if (!clamp_source(s, src)) return;
  if (flags & ZR_BLIT_CENTRE) {
    if (d.w < 2 * s.w) {
      s.x += (s.w - d.w / 2) / 2;
    } else {
      d.x += (d.w - 2 * s.w) / 2;
    }
    if (d.h < 2 * s.h) {
      s.y += (s.h - d.h / 2) / 2;
    } else {
      d.y += (d.h - 2 * s.h) / 2;
    }
  }
  d.w = std::min(d.w, dst->width - d.x);
  d.h = std::min(d.h, dst->height - d.y);
  // A cut of n destination pixels moves the source by n / 2.
  if (d.x < 0) {
    s.x += (-d.x) / 2;
    s.w -= (-d.x) / 2;
    d.w += d.x;
    d.x = 0;
  }
  if (d.y < 0) {
    s.y += (-d.y) / 2;
    s.h -= (-d.y) / 2;
    d.h += d.y;
    d.y = 0;
  }
  s.w = std::min(s.w, src->width - s.x);
  s.h = std::min(s.h, src->height - s.y);
  const int cw = std::min(s.w, d.w / 2);
  const int ch = std::min(s.h, d.h / 2);
  if (cw <= 0 || ch <= 0) return;
  const int rowBytes = 2 * cw;
  if (masked && !zr_bitmap_scratch_reserve(rowBytes)) return;
  const bool scanlines = (flags & ZR_BLIT_SCANLINES) != 0;
  for (int r = 0; r < ch; ++r) {
    const uint8_t* from = src->pixels + static_cast<size_t>(s.y + r) * src->width + s.x;
    uint8_t* first = dst->pixels + static_cast<size_t>(d.y + 2 * r) * dst->width + d.x;
    uint8_t* row = masked ? g_scratch : first;
    for (int c = 0; c < cw; ++c) {
      const uint16_t pair = static_cast<uint16_t>(from[c] * 0x0101);
      std::memcpy(row + 2 * c, &pair, 2);
    }
    if (masked) copy_non_zero(first, row, rowBytes);
    if (!scanlines) put_row(first + dst->width, masked ? row : first, rowBytes, masked);
  }
}

// One axis of the 16.16 mapping: for each source unit in turn, subtract one, then emit it while
// the accumulator is negative and destination units remain. counts[s] receives how many
// destination units source unit s fills; the result is the destination units emitted. Emission
// stops at the source extent, so reads stay inside the source.
int map_axis(int sourceExtent, int destinationExtent, int64_t step, int32_t* counts) {
  int64_t acc = 0;
  int d = 0;
  for (int s = 0; s < sourceExtent; ++s) {
    acc -= kFixedOne;
    int n = 0;
    while (acc < 0 && d < destinationExtent) {
      ++n;
      ++d;
      acc += step;
    }
    counts[s] = n;
  }
  return d;
}

// Builds one scaled row: each source pixel is stored as eight copies and the write position moves
// on by its count, so the row needs 8 bytes of slack past its end.
void build_scaled_row(uint8_t* out, const uint8_t* from, const int32_t* counts, int sourceWidth) {
  for (int s = 0; s < sourceWidth; ++s) {
    const uint64_t eight = from[s] * 0x0101010101010101ull;
    const int n = counts[s];
    std::memcpy(out, &eight, 8);
    for (int k = 8; k < n; k += 8) std::memcpy(out + k, &eight, 8);
    out += n;
  }
}

void blit_stretch(ZR_BITMAP* dst, const ZR_BITMAP* src, Box s, Box d, int flags, bool masked) {
  if (!clamp_source(s, src)) return;
  // Cut at the right and bottom, then at the left and top, shrinking the source in proportion.
  if (d.x + d.w > dst->width) {
    const int nw = dst->width - d.x;
    s.w = static_cast<int>(static_cast<int64_t>(s.w) * nw / d.w);
    d.w = nw;
  }
  if (d.y + d.h > dst->height) {
    const int nh = dst->height - d.y;
    s.h = static_cast<int>(static_cast<int64_t>(s.h) * nh / d.h);
    d.h = nh;
  }
  if (d.x < 0) {
    const int nw = d.w + d.x;
    const int nsw = static_cast<int>(static_cast<int64_t>(s.w) * nw / d.w);
    s.x += s.w - nsw;
    s.w = nsw;
    d.w = nw;
    d.x = 0;
  }
  if (d.y < 0) {
    const int nh = d.h + d.y;
    const int nsh = static_cast<int>(static_cast<int64_t>(s.h) * nh / d.h);
    s.y += s.h - nsh;
    s.h = nsh;
    d.h = nh;
    d.y = 0;
  }
  if (s.w <= 0 || s.h <= 0 || d.w <= 0 || d.h <= 0) return;
  const int64_t stepY = (static_cast<int64_t>(s.h) << 16) / d.h;
  const int64_t stepX =
      (flags & ZR_BLIT_VERTICAL_RATIO) ? stepY : (static_cast<int64_t>(s.w) << 16) / d.w;
  // The scratch row (with slack for the eight-byte stores), then the column and row counts.
  const int32_t rowBytes = (d.w + 16 + 3) & ~3;
  const int32_t need = rowBytes + static_cast<int32_t>(sizeof(int32_t)) * (s.w + s.h);
  if (!zr_bitmap_scratch_reserve(need)) return;
  uint8_t* row = g_scratch;
  int32_t* colCounts = reinterpret_cast<int32_t*>(g_scratch + rowBytes);
  int32_t* rowCounts = colCounts + s.w;
  const int cols = map_axis(s.w, d.w, stepX, colCounts);
  map_axis(s.h, d.h, stepY, rowCounts);
  const bool scanlines = (flags & ZR_BLIT_SCANLINES) != 0;
  int r = 0;
  for (int sy = 0; sy < s.h; ++sy) {
    if (rowCounts[sy] == 0) continue;
    const uint8_t* from = src->pixels + static_cast<size_t>(s.y + sy) * src->width + s.x;
    build_scaled_row(row, from, colCounts, s.w);
    // Every destination row of this source row gets the row just built.
    for (int k = 0; k < rowCounts[sy]; ++k, ++r) {
      if (scanlines && (r & 1)) continue;
      put_row(dst->pixels + static_cast<size_t>(d.y + r) * dst->width + d.x, row, cols, masked);
    }
  }
}

void blit(ZR_BITMAP* dst, const ZR_BITMAP* src, const ZR_RECT* sourceRect,
          const ZR_RECT* destinationRect, int flags, bool masked) {
  if (!valid(dst) || !valid(src)) return;
  const Box s = box_of(sourceRect, src);
  const Box d = box_of(destinationRect, dst);
  if (d.w <= 0 || d.h <= 0) return;
  if (d.x >= dst->width || d.x + d.w <= 0 || d.y >= dst->height || d.y + d.h <= 0) return;
  if (s.w <= 0 || s.h <= 0) return;
  if (flags & ZR_BLIT_STRETCH) {
    blit_stretch(dst, src, s, d, flags, masked);
  } else if (flags & ZR_BLIT_DOUBLE) {
    blit_double(dst, src, s, d, flags, masked);
  } else {
    blit_plain(dst, src, s, d, flags, masked);
  }
}

// Decodes run-length data as one stream of scan lines of bytesPerLine bytes (the bytes past the
// width are padding). False when the data ends before the picture is complete.
bool decode_runs(uint8_t* out, int width, int height, int bytesPerLine, const uint8_t* in,
                 const uint8_t* end) {
  int row = 0, column = 0;
  while (row < height) {
    if (in >= end) return false;
    int run = 1;
    uint8_t value = *in++;
    if ((value & 0xC0) == 0xC0) {
      run = value & 0x3F;
      if (in >= end) return false;
      value = *in++;
    }
    while (run > 0 && row < height) {
      const int take = std::min(run, bytesPerLine - column);
      const int visible = std::max(0, std::min(take, width - column));
      if (visible > 0) std::memset(out + column, value, static_cast<size_t>(visible));
      column += take;
      run -= take;
      if (column == bytesPerLine) {
        column = 0;
        ++row;
        out += width;
      }
    }
  }
  return true;
}

}  // namespace

int zr_bitmap_scratch_reserve(int32_t bytes) {
  if (bytes <= g_scratchSize) return 1;
  void* grown = g_scratch ? zr_mem_realloc(g_scratch, static_cast<size_t>(bytes))
                          : zr_mem_malloc(static_cast<size_t>(bytes));
  if (grown == nullptr) return 0;
  g_scratch = static_cast<uint8_t*>(grown);
  g_scratchSize = bytes;
  zr_mem_name(g_scratch, "zr_dsp scratch row");
  return 1;
}

void zr_bitmap_scratch_free() {
  if (g_scratch) zr_mem_free(g_scratch);
  g_scratch = nullptr;
  g_scratchSize = 0;
}

int zr_bitmap_create(ZR_BITMAP* bitmap, const ZR_RECT* rect) {
  if (bitmap == nullptr || rect == nullptr) return 0;
  if (rect->w <= 0 || rect->h <= 0) return 0;
  auto* pixels = static_cast<uint8_t*>(zr_mem_malloc(static_cast<size_t>(rect->w) * rect->h));
  if (pixels == nullptr) return 0;
  bitmap->pixels = pixels;
  bitmap->x = rect->x;
  bitmap->y = rect->y;
  bitmap->w = bitmap->width = rect->w;
  bitmap->h = bitmap->height = rect->h;
  bitmap->bpp = 8;
  return 1;
}

const char* zr_bitmap_load_error() {
  return g_loadError;
}

int zr_bitmap_load_memory(ZR_BITMAP* bitmap, const uint8_t* data, size_t size, int options) {
  if (bitmap == nullptr) return 0;
  *bitmap = ZR_BITMAP{};
  g_loadError = "";
  if (data == nullptr || size < static_cast<size_t>(kPcxHeaderSize)) {
    return fail_load(bitmap, "file shorter than a PCX header");
  }
  const uint8_t* header = data;
  if (header[2] != 1) return fail_load(bitmap, "not run-length encoded (encoding 1)");
  if (header[3] != 8) return fail_load(bitmap, "not 8 bits per pixel");
  if (header[65] != 1) return fail_load(bitmap, "not a one-plane picture");
  const int xmin = read_i16(header + 4), ymin = read_i16(header + 6);
  const int xmax = read_i16(header + 8), ymax = read_i16(header + 10);
  const int bytesPerLine = read_i16(header + 66);
  if (xmax < xmin || ymax < ymin) return fail_load(bitmap, "picture size below 1");
  const int width = xmax - xmin + 1, height = ymax - ymin + 1;
  if (width > ZR_PCX_MAX_SIDE || height > ZR_PCX_MAX_SIDE) {
    return fail_load(bitmap, "picture larger than 16384 x 16384");
  }
  if (bytesPerLine < width) return fail_load(bitmap, "bytes per line smaller than the width");

  // The palette, when there is one, ends the file after its 0x0C marker.
  const bool wantPalette = (options & ZR_BITMAP_LOAD_PALETTE) != 0;
  size_t dataEnd = size;
  if (size >= static_cast<size_t>(kPcxHeaderSize + 1 + kPcxPaletteSize) &&
      data[size - kPcxPaletteSize - 1] == 0x0C) {
    dataEnd = size - kPcxPaletteSize - 1;
  } else if (wantPalette) {
    return fail_load(bitmap, "no 256-colour palette at the end of the file");
  }

  const size_t count = static_cast<size_t>(width) * height;
  bitmap->pixels = static_cast<uint8_t*>(zr_mem_malloc(count));
  if (bitmap->pixels == nullptr) return fail_load(bitmap, "not enough memory");
  if (wantPalette) {
    bitmap->palette = static_cast<uint8_t*>(zr_mem_malloc(kPcxPaletteSize));
    if (bitmap->palette == nullptr) return fail_load(bitmap, "not enough memory");
    bitmap->ownsPalette = 1;
    std::memcpy(bitmap->palette, data + size - kPcxPaletteSize, kPcxPaletteSize);
  }
  bitmap->w = bitmap->width = static_cast<int16_t>(width);
  bitmap->h = bitmap->height = static_cast<int16_t>(height);
  bitmap->bpp = 8;

  if (!decode_runs(bitmap->pixels, width, height, bytesPerLine, data + kPcxHeaderSize,
                   data + dataEnd)) {
    return fail_load(bitmap, "file ends before the picture");
  }
  return 1;
}

int zr_bitmap_load(ZR_BITMAP* bitmap, const char* path, int options) {
  if (bitmap == nullptr) return 0;
  *bitmap = ZR_BITMAP{};
  if (path == nullptr) return fail_load(bitmap, "no file name");
  ZR_FILE* file = zr_io_fopen(path, "rb");
  if (file == nullptr) return fail_load(bitmap, "cannot open the file");
  long length = -1;
  if (zr_io_fseek(file, 0, SEEK_END) == 0) length = zr_io_ftell(file);
  if (length < 0 || zr_io_fseek(file, 0, SEEK_SET) != 0) {
    zr_io_fclose(file);
    return fail_load(bitmap, "cannot read the file");
  }
  auto* bytes = static_cast<uint8_t*>(zr_mem_malloc(static_cast<size_t>(length) + 1));
  if (bytes == nullptr) {
    zr_io_fclose(file);
    return fail_load(bitmap, "not enough memory");
  }
  const size_t got = zr_io_fread(bytes, 1, static_cast<size_t>(length), file);
  zr_io_fclose(file);
  int result = 0;
  if (got != static_cast<size_t>(length)) {
    fail_load(bitmap, "cannot read the file");
  } else {
    result = zr_bitmap_load_memory(bitmap, bytes, got, options);
  }
  zr_mem_free(bytes);
  return result;
}

void zr_bitmap_free(ZR_BITMAP* bitmap) {
  if (bitmap == nullptr) return;
  if (bitmap->palette && bitmap->ownsPalette) {
    zr_mem_free(bitmap->palette);
    bitmap->palette = nullptr;
    bitmap->ownsPalette = 0;
  }
  if (bitmap->pixels) {
    zr_mem_free(bitmap->pixels);
    bitmap->pixels = nullptr;
  }
  bitmap->texture = 0;  // no hardware textures here: releasing one is a no-op
}

void zr_bitmap_clear(ZR_BITMAP* bitmap, const ZR_RECT* rect) {
  if (!valid(bitmap)) return;
  if (rect == nullptr) {
    std::memset(bitmap->pixels, 0, static_cast<size_t>(bitmap->width) * bitmap->height);
    return;
  }
  const int x0 = std::max<int>(0, rect->x), y0 = std::max<int>(0, rect->y);
  const int x1 = std::min<int>(bitmap->width, rect->x + rect->w);
  const int y1 = std::min<int>(bitmap->height, rect->y + rect->h);
  if (x1 <= x0 || y1 <= y0) return;
  for (int r = y0; r < y1; ++r) {
    std::memset(bitmap->pixels + static_cast<size_t>(r) * bitmap->width + x0, 0,
                static_cast<size_t>(x1 - x0));
  }
}

void zr_bitmap_blit(ZR_BITMAP* destination, const ZR_BITMAP* source, const ZR_RECT* sourceRect,
                    const ZR_RECT* destinationRect, int flags) {
  blit(destination, source, sourceRect, destinationRect, flags, false);
}

void zr_bitmap_blit_masked(ZR_BITMAP* destination, const ZR_BITMAP* source,
                           const ZR_RECT* sourceRect, const ZR_RECT* destinationRect, int flags) {
  blit(destination, source, sourceRect, destinationRect, flags, true);
}

int zr_bitmap_bbox(const ZR_BITMAP* bitmap, const ZR_RECT* rect, ZR_RECT* out) {
  if (out == nullptr || !valid(bitmap)) return 0;
  Box r = box_of(rect, bitmap);
  if (r.x >= bitmap->width || r.y >= bitmap->height || r.x + r.w <= 0 || r.y + r.h <= 0) {
    return 0;
  }
  const int x0 = std::max(0, r.x), y0 = std::max(0, r.y);
  const int x1 = std::min<int>(bitmap->width, r.x + r.w);
  const int y1 = std::min<int>(bitmap->height, r.y + r.h);
  int left = bitmap->width, top = bitmap->height, right = 0, bottom = 0;
  // The else-ifs are the established rule: glyph metrics depend on them (one lone pixel, or
  // pixels only in column 0, give the whole bitmap).
  for (int y = y0; y < y1; ++y) {
    const uint8_t* row = bitmap->pixels + static_cast<size_t>(y) * bitmap->width;
    for (int x = x0; x < x1; ++x) {
      if (row[x] == 0) continue;
      if (x < left) {
        left = x;
      } else if (x > right) {
        right = x;
      }
      if (y < top) {
        top = y;
      } else if (y > bottom) {
        bottom = y;
      }
    }
  }
  if (right == 0) {
    *out = ZR_RECT{0, 0, bitmap->width, bitmap->height};
  } else {
    *out = ZR_RECT{static_cast<int16_t>(left), static_cast<int16_t>(top),
                   static_cast<int16_t>(right - left + 1), static_cast<int16_t>(bottom - top + 1)};
  }
  return 1;
}

int zr_bitmap_find_opaque(ZR_BITMAP* bitmap) {
  if (bitmap == nullptr) return 0;
  if (!zr_bitmap_bbox(bitmap, nullptr, &bitmap->opaqueBox)) return 0;
  bitmap->opaqueColumns = ZR_RECT{bitmap->opaqueBox.x, 0, bitmap->opaqueBox.w, bitmap->height};
  bitmap->opaqueRows = ZR_RECT{0, bitmap->opaqueBox.y, bitmap->width, bitmap->opaqueBox.h};
  return 1;
}
