// Pixel-format conversion of the 8-bit frame into a surface of 8, 16, 24 or 32 bits, the current
// palette with its colour tables, palette files and the fade step.
#pragma once
#include <cstdint>

#include "engine/display/bitmap.h"
#include "engine/platform/video.h"

constexpr int ZR_PALETTE_SIZE = 768;

// One channel of a 16-bit layout, derived from its colour mask.
struct ZR_CHANNEL {
  int32_t bits;   // 1 bits in the mask
  int32_t zeros;  // 0 bits below the highest 1 bit
  int32_t shift;  // zeros - (8 - bits); negative shifts right
};
ZR_CHANNEL zr_pal_channel(uint32_t mask);
// Contribution of channel value c (0-255) to a 16-bit pixel.
uint16_t zr_pal_channel_value(const ZR_CHANNEL& channel, uint8_t c);

// Chooses the converter set for a depth (8, 16, 24, 32; the masks matter for 16 only) and
// rebuilds its table from the current palette. Returns 0 for any other depth.
int zr_pal_select(int bpp, uint32_t redMask, uint32_t greenMask, uint32_t blueMask);
int zr_pal_depth();  // depth of the converter in force, 0 before any
// Converts the bitmap into the surface at the bitmap's (x, y). Rows and columns that would fall
// outside the surface are left out.
void zr_pal_copy(const ZR_SURFACE* surface, const ZR_BITMAP* bitmap);
// Rebuilds the colour table of the depth in force from the palette (8 bits: nothing to build,
// the platform colours the indices with the current palette).
void zr_pal_apply(const uint8_t* palette);

// Reads the last 768 bytes of a file (a PCX file serves) into a new tracked block, or null.
uint8_t* zr_pal_load(const char* path);
void zr_pal_free(uint8_t* palette);
// Copies into the current palette, applies it, sets the palette-set flag.
void zr_pal_set(const uint8_t* palette);
// Moves entries first..first+count-1 toward target (3 bytes) by step; returns how many changed.
int zr_pal_fade_step(uint8_t* palette, uint8_t first, uint8_t count, const uint8_t* target,
                     uint8_t step);

const uint8_t* zr_pal_current();  // 768 bytes
bool zr_pal_is_set();
// Zeroes the current palette and the tables, clears the palette-set flag (display start-up).
void zr_pal_reset();
const uint32_t* zr_pal_table32();  // also the 24-bit table
const uint16_t* zr_pal_table16();
