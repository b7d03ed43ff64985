// Snapshots: the frame buffer as the next free "Snap%04d.pcx" in the player folder, and the
// 8-bit run-length PCX writer behind it.
#pragma once
#include <cstdint>

#include "engine/display/bitmap.h"

constexpr int ZR_SNAPSHOT_LIMIT = 10000;

// F9: writes the whole frame buffer. 1 when a file was written.
int zr_snapshot();
// Writes the bitmap, or the part of it inside rect (clipped), as an 8-bit PCX with the bitmap's
// own palette, else the current display palette. 1 on success; a partial file is deleted.
int zr_bitmap_save_pcx(const ZR_BITMAP* bitmap, const char* path, const ZR_RECT* rect);
// Run-length encodes one row into out (at most 2 x length bytes); returns the bytes written.
int zr_pcx_encode_row(const uint8_t* row, int length, uint8_t* out);
