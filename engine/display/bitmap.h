// The engine's 8-bit picture record and its operations: create, load from PCX, free, clear,
// copies (plain, masked, centred, stretched, doubled, scanlines) and the bounding box of the
// non-zero pixels. Pixel value 0 is the transparent colour and the empty value.
#pragma once
#include <cstddef>
#include <cstdint>

struct ZR_RECT {
  int16_t x;
  int16_t y;
  int16_t w;
  int16_t h;
};

struct ZR_BITMAP {
  int16_t x;  // placement: for the frame buffer, the surface column of its left edge
  int16_t y;
  int16_t w;      // kept equal to width
  int16_t h;      // kept equal to height
  int16_t width;  // also the row stride in bytes
  int16_t height;
  int16_t bpp;            // 8 for every bitmap the program makes
  uint8_t keyColour;      // unused here (0)
  uint8_t hasKey;         // unused here (0)
  uint32_t texture;       // hardware texture handle; always 0 here
  ZR_RECT opaqueBox;      // filled by zr_bitmap_find_opaque
  ZR_RECT opaqueColumns;  // opaqueBox widened to all rows
  ZR_RECT opaqueRows;     // opaqueBox widened to all columns
  uint8_t* palette;       // 768 bytes (256 RGB triples, 0-255) or null
  int32_t ownsPalette;    // 1 when palette is freed with the bitmap
  uint8_t* pixels;        // width x height indices, rows from the top, no padding
};

// Copy flags (zr_bitmap_blit, zr_bitmap_blit_masked).
constexpr int ZR_BLIT_CENTRE = 1;
constexpr int ZR_BLIT_STRETCH = 2;
constexpr int ZR_BLIT_SCANLINES = 4;        // with stretch or double size: every other row only
constexpr int ZR_BLIT_DOUBLE = 8;           // each source pixel becomes 2 x 2
constexpr int ZR_BLIT_VERTICAL_RATIO = 16;  // with stretch: both axes scaled by the vertical ratio
constexpr int ZR_BLIT_SOFTWARE = 128;  // accepted and ignored (the only copy is the software one)

// zr_bitmap_load options.
constexpr int ZR_BITMAP_LOAD_PALETTE = 1;

// Largest PCX picture accepted, per axis.
constexpr int ZR_PCX_MAX_SIDE = 16384;

// Fails when either pointer is null or rect w x h <= 0. Pixels are not cleared.
int zr_bitmap_create(ZR_BITMAP* bitmap, const ZR_RECT* rect);
// Loads an 8-bit, one-plane, run-length PCX through the file layer. Bytes per line are honoured
// (padding dropped). Returns 0, with the record zeroed, for any file it cannot read in full
// safety: not 8-bit/1-plane/encoding 1, Xmax < Xmin, bytes per line below the width, larger than
// 16384 x 16384, shorter than its header (+ palette when asked for), or whose run-length data
// ends before the picture is complete.
int zr_bitmap_load(ZR_BITMAP* bitmap, const char* path, int options);
// The same decoder over bytes in memory (the whole file).
int zr_bitmap_load_memory(ZR_BITMAP* bitmap, const uint8_t* data, size_t size, int options);
// A one-line reason for the last zr_bitmap_load failure ("" after a success).
const char* zr_bitmap_load_error();
void zr_bitmap_free(ZR_BITMAP* bitmap);
void zr_bitmap_clear(ZR_BITMAP* bitmap, const ZR_RECT* rect);
void zr_bitmap_blit(ZR_BITMAP* destination, const ZR_BITMAP* source, const ZR_RECT* sourceRect,
                    const ZR_RECT* destinationRect, int flags);
void zr_bitmap_blit_masked(ZR_BITMAP* destination, const ZR_BITMAP* source,
                           const ZR_RECT* sourceRect, const ZR_RECT* destinationRect, int flags);
int zr_bitmap_bbox(const ZR_BITMAP* bitmap, const ZR_RECT* rect, ZR_RECT* out);
int zr_bitmap_find_opaque(ZR_BITMAP* bitmap);

// The masked copy's scratch row buffer (owned by the display module: reserved at zr_dsp_init,
// freed at zr_dsp_free; grown on demand, never shrunk during play).
int zr_bitmap_scratch_reserve(int32_t bytes);
void zr_bitmap_scratch_free();
