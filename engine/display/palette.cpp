#include "engine/display/palette.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "engine/core/fileio.h"
#include "engine/core/memory.h"

namespace {

uint8_t g_current[ZR_PALETTE_SIZE];
bool g_paletteSet = false;
int g_depth = 0;
ZR_CHANNEL g_red{}, g_green{}, g_blue{};
uint32_t g_table32[256];  // 32 and 24 bits: (red << 16) + (green << 8) + blue
uint16_t g_table16[256];
// The 32-bit table split into its four bytes, lowest first, for the byte-permute converter.
alignas(64) uint8_t g_planes32[4][256];

void build_table32(const uint8_t* palette) {
  for (int i = 0; i < 256; ++i) {
    const uint8_t* c = palette + 3 * i;
    g_table32[i] = (static_cast<uint32_t>(c[0]) << 16) + (static_cast<uint32_t>(c[1]) << 8) + c[2];
    for (int k = 0; k < 4; ++k) g_planes32[k][i] = static_cast<uint8_t>(g_table32[i] >> (8 * k));
  }
}

void build_table16(const uint8_t* palette) {
  for (int i = 0; i < 256; ++i) {
    const uint8_t* c = palette + 3 * i;
    g_table16[i] = static_cast<uint16_t>(zr_pal_channel_value(g_red, c[0]) +
                                         zr_pal_channel_value(g_green, c[1]) +
                                         zr_pal_channel_value(g_blue, c[2]));
  }
}

void convert_row8(uint8_t* out, const uint8_t* in, int count) {
  std::memcpy(out, in, static_cast<size_t>(count));
}

void convert_row16(uint8_t* out, const uint8_t* in, int count) {
  for (int i = 0; i < count; ++i) {
    const uint16_t v = g_table16[in[i]];
    out[2 * i] = static_cast<uint8_t>(v);
    out[2 * i + 1] = static_cast<uint8_t>(v >> 8);
  }
}

void convert_row24(uint8_t* out, const uint8_t* in, int count) {
  for (int i = 0; i < count; ++i) {
    const uint32_t v = g_table32[in[i]];
    out[3 * i] = static_cast<uint8_t>(v);
    out[3 * i + 1] = static_cast<uint8_t>(v >> 8);
    out[3 * i + 2] = static_cast<uint8_t>(v >> 16);
  }
}

#if defined(__x86_64__)
// 64 pixels per turn: each byte of the 32-bit colours is looked up for 64 indices at once with
// byte permutes over its 256-byte plane, and the four planes are interleaved into pixels. A table
// load per pixel cannot keep up with the copy the frame is compared against; this can.
// Returns how many pixels it converted (a multiple of 64).
// The lane shuffle through its zero-masked form: GCC 12 warns about the plain form's undefined
// merge operand.
#define lanes(a, b, imm) _mm512_maskz_shuffle_i64x2(__mmask8(0xFF), a, b, imm)

__attribute__((target("avx512f,avx512bw,avx512vbmi"))) int convert_row32_vbmi(uint8_t* out,
                                                                              const uint8_t* in,
                                                                              int count) {
  __m512i plane[4][4];
  for (int k = 0; k < 4; ++k)
    for (int q = 0; q < 4; ++q) plane[k][q] = _mm512_load_si512(g_planes32[k] + 64 * q);
  int i = 0;
  for (; i + 64 <= count; i += 64) {
    const __m512i index = _mm512_loadu_si512(in + i);
    const __mmask64 upper = _mm512_movepi8_mask(index);  // indices 128-255
    __m512i bytes[4];
    for (int k = 0; k < 4; ++k) {
      const __m512i low = _mm512_permutex2var_epi8(plane[k][0], index, plane[k][1]);
      const __m512i high = _mm512_permutex2var_epi8(plane[k][2], index, plane[k][3]);
      bytes[k] = _mm512_mask_blend_epi8(upper, low, high);
    }
    // Within each 128-bit lane: bytes 0,1 then 2,3 paired, then the pairs joined into pixels.
    const __m512i lo01 = _mm512_unpacklo_epi8(bytes[0], bytes[1]);
    const __m512i hi01 = _mm512_unpackhi_epi8(bytes[0], bytes[1]);
    const __m512i lo23 = _mm512_unpacklo_epi8(bytes[2], bytes[3]);
    const __m512i hi23 = _mm512_unpackhi_epi8(bytes[2], bytes[3]);
    const __m512i p0 = _mm512_unpacklo_epi16(lo01, lo23);  // pixels 16n + 0..3 of lane n
    const __m512i p1 = _mm512_unpackhi_epi16(lo01, lo23);  // 16n + 4..7
    const __m512i p2 = _mm512_unpacklo_epi16(hi01, hi23);  // 16n + 8..11
    const __m512i p3 = _mm512_unpackhi_epi16(hi01, hi23);  // 16n + 12..15
    // Transpose the 4 x 4 lanes so that each register holds 16 consecutive pixels.
    const __m512i t0 = lanes(p0, p1, 0x44);
    const __m512i t1 = lanes(p2, p3, 0x44);
    const __m512i t2 = lanes(p0, p1, 0xEE);
    const __m512i t3 = lanes(p2, p3, 0xEE);
    _mm512_storeu_si512(out + 4 * i, lanes(t0, t1, 0x88));
    _mm512_storeu_si512(out + 4 * i + 64, lanes(t0, t1, 0xDD));
    _mm512_storeu_si512(out + 4 * i + 128, lanes(t2, t3, 0x88));
    _mm512_storeu_si512(out + 4 * i + 192, lanes(t2, t3, 0xDD));
  }
  return i;
}
#undef lanes

bool have_vbmi() {
  static const bool have = __builtin_cpu_supports("avx512vbmi") &&
                           __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512f");
  return have;
}
#endif

void convert_row32(uint8_t* out, const uint8_t* in, int count) {
  if constexpr (std::endian::native == std::endian::little) {
    int i = 0;
#if defined(__x86_64__)
    if (count >= 64 && have_vbmi()) i = convert_row32_vbmi(out, in, count);
#endif
    for (; i + 4 <= count; i += 4) {
      const uint32_t quad[4] = {g_table32[in[i]], g_table32[in[i + 1]], g_table32[in[i + 2]],
                                g_table32[in[i + 3]]};
      std::memcpy(out + 4 * i, quad, sizeof quad);
    }
    for (; i < count; ++i) std::memcpy(out + 4 * i, &g_table32[in[i]], 4);
  } else {
    for (int i = 0; i < count; ++i) {
      const uint32_t v = g_table32[in[i]];
      for (int k = 0; k < 4; ++k) out[4 * i + k] = static_cast<uint8_t>(v >> (8 * k));
    }
  }
}

}  // namespace

ZR_CHANNEL zr_pal_channel(uint32_t mask) {
  mask &= 0xFFFF;
  ZR_CHANNEL channel{};
  if (mask == 0) return channel;
  channel.bits = std::popcount(mask);
  const int highest = 31 - std::countl_zero(mask);
  channel.zeros = highest - (channel.bits - 1);
  channel.shift = channel.zeros - (8 - channel.bits);
  return channel;
}

uint16_t zr_pal_channel_value(const ZR_CHANNEL& channel, uint8_t c) {
  if (channel.bits <= 0) return 0;
  const int bits = std::min(channel.bits, 8);
  const uint32_t kept = c & ((255u << (8 - bits)) & 0xFFu);
  const uint32_t value = channel.shift >= 0 ? kept << channel.shift : kept >> -channel.shift;
  return static_cast<uint16_t>(value);
}

int zr_pal_select(int bpp, uint32_t redMask, uint32_t greenMask, uint32_t blueMask) {
  if (bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return 0;
  g_depth = bpp;
  if (bpp == 16) {
    g_red = zr_pal_channel(redMask);
    g_green = zr_pal_channel(greenMask);
    g_blue = zr_pal_channel(blueMask);
  }
  zr_pal_apply(g_current);
  return 1;
}

int zr_pal_depth() {
  return g_depth;
}

void zr_pal_apply(const uint8_t* palette) {
  if (palette == nullptr) return;
  switch (g_depth) {
    case 16:
      build_table16(palette);
      break;
    case 8:
      break;  // the platform colours the indices with the current palette
    default:
      build_table32(palette);
      break;
  }
}

void zr_pal_copy(const ZR_SURFACE* surface, const ZR_BITMAP* bitmap) {
  if (surface == nullptr || surface->pixels == nullptr || bitmap == nullptr ||
      bitmap->pixels == nullptr || bitmap->width <= 0 || bitmap->height <= 0) {
    return;
  }
  const int bytes = surface->bpp / 8;
  void (*convert)(uint8_t*, const uint8_t*, int) = nullptr;
  switch (surface->bpp) {
    case 8:
      convert = convert_row8;
      break;
    case 16:
      convert = convert_row16;
      break;
    case 24:
      convert = convert_row24;
      break;
    case 32:
      convert = convert_row32;
      break;
    default:
      return;
  }
  // Only the part of the bitmap that lies on the surface is converted.
  const int firstColumn = std::max(0, -bitmap->x);
  const int lastColumn = std::min<int>(bitmap->width, surface->width - bitmap->x);
  const int firstRow = std::max(0, -bitmap->y);
  const int lastRow = std::min<int>(bitmap->height, surface->height - bitmap->y);
  if (lastColumn <= firstColumn || lastRow <= firstRow) return;
  const int count = lastColumn - firstColumn;
  for (int r = firstRow; r < lastRow; ++r) {
    uint8_t* out = surface->pixels + static_cast<ptrdiff_t>(bitmap->y + r) * surface->pitch +
                   static_cast<ptrdiff_t>(bitmap->x + firstColumn) * bytes;
    const uint8_t* in = bitmap->pixels + static_cast<size_t>(r) * bitmap->width + firstColumn;
    convert(out, in, count);
  }
}

uint8_t* zr_pal_load(const char* path) {
  if (path == nullptr) return nullptr;
  ZR_FILE* file = zr_io_fopen(path, "rb");
  if (file == nullptr) return nullptr;
  uint8_t* palette = nullptr;
  if (zr_io_fseek(file, -ZR_PALETTE_SIZE, SEEK_END) == 0) {
    palette = static_cast<uint8_t*>(zr_mem_malloc(ZR_PALETTE_SIZE));
    // A file shorter than a palette gives no palette rather than a partly filled one.
    if (palette && zr_io_fread(palette, 1, ZR_PALETTE_SIZE, file) != ZR_PALETTE_SIZE) {
      zr_mem_free(palette);
      palette = nullptr;
    }
  }
  zr_io_fclose(file);
  return palette;
}

void zr_pal_free(uint8_t* palette) {
  if (palette) zr_mem_free(palette);
}

void zr_pal_set(const uint8_t* palette) {
  if (palette == nullptr) return;
  if (palette != g_current) std::memcpy(g_current, palette, ZR_PALETTE_SIZE);
  zr_pal_apply(g_current);
  g_paletteSet = true;
}

int zr_pal_fade_step(uint8_t* palette, uint8_t first, uint8_t count, const uint8_t* target,
                     uint8_t step) {
  if (palette == nullptr || target == nullptr) return 0;
  int changed = 0;
  for (int i = first; i < first + count && i < 256; ++i) {
    bool moved = false;
    for (int k = 0; k < 3; ++k) {
      uint8_t& c = palette[3 * i + k];
      const int t = target[k];
      int next = c;
      if (c > t) {
        next = c - step < t ? t : c - step;
      } else if (c < t) {
        next = c + step > t ? t : c + step;
      }
      if (next != c) {
        c = static_cast<uint8_t>(next);
        moved = true;
      }
    }
    if (moved) ++changed;
  }
  return changed;
}

const uint8_t* zr_pal_current() {
  return g_current;
}
bool zr_pal_is_set() {
  return g_paletteSet;
}

void zr_pal_reset() {
  std::memset(g_current, 0, sizeof g_current);
  std::memset(g_table32, 0, sizeof g_table32);
  std::memset(g_planes32, 0, sizeof g_planes32);
  std::memset(g_table16, 0, sizeof g_table16);
  g_paletteSet = false;
}

const uint32_t* zr_pal_table32() {
  return g_table32;
}
const uint16_t* zr_pal_table16() {
  return g_table16;
}
