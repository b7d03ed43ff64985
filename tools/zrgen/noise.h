// Procedural noise and dithering for the generator's pictures. Everything is built from integer
// hashing and plain double arithmetic (no library transcendentals), so the same bytes come out on
// every machine.
#pragma once
#include <cstdint>

#include "tools/zrgen/palette.h"

namespace noise {

// Hash of a lattice point and a seed to [0, 1).
double lattice(int x, int y, uint32_t seed);

// Smooth value noise at (x, y), in [0, 1). With periods > 0 the lattice wraps every `px` units
// along x and every `py` units along y, so that textures tile.
double value(double x, double y, uint32_t seed, int px = 0, int py = 0);

// Fractal sum of `octaves` layers of value noise, each at twice the frequency and half the weight
// of the one before; result in [0, 1). The periods (if any) double with each octave.
double fbm(double x, double y, uint32_t seed, int octaves, int px = 0, int py = 0);

// Ordered (4x4 Bayer) threshold for pixel (x, y), in [0, 1).
double bayer(int x, int y);

// Maps a brightness level in [0, 1] to an entry of the ramp, dithering between neighbouring
// entries so that gradients stay smooth with 16 shades.
uint8_t dither(pal::Ramp ramp, double level, int x, int y);

// Dithered entry of a level spread over only part of a ramp (shades lo to hi, 0-15).
uint8_t dither_range(pal::Ramp ramp, int lo, int hi, double level, int x, int y);

// Sine and cosine of an angle in turns (1.0 = full circle), by a fixed polynomial.
double sin_turns(double t);
double cos_turns(double t);

double clamp01(double v);

}  // namespace noise
