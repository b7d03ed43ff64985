#include "tools/zrgen/noise.h"

namespace noise {
namespace {

uint32_t mix(uint32_t h) {
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}

int wrap(int v, int period) {
  if (period <= 0) return v;
  v %= period;
  return v < 0 ? v + period : v;
}

int floor_int(double v) {
  const int i = static_cast<int>(v);
  return (v < i) ? i - 1 : i;
}

double smooth(double t) {
  return t * t * (3.0 - 2.0 * t);
}

}  // namespace

double lattice(int x, int y, uint32_t seed) {
  const uint32_t h = mix(static_cast<uint32_t>(x) * 0x8DA6B343u ^
                         static_cast<uint32_t>(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu);
  return (h >> 8) * (1.0 / 16777216.0);
}

double value(double x, double y, uint32_t seed, int px, int py) {
  const int x0 = floor_int(x), y0 = floor_int(y);
  const double fx = smooth(x - x0), fy = smooth(y - y0);
  const int xa = wrap(x0, px), xb = wrap(x0 + 1, px);
  const int ya = wrap(y0, py), yb = wrap(y0 + 1, py);
  const double a = lattice(xa, ya, seed), b = lattice(xb, ya, seed);
  const double c = lattice(xa, yb, seed), d = lattice(xb, yb, seed);
  const double top = a + (b - a) * fx, bottom = c + (d - c) * fx;
  return top + (bottom - top) * fy;
}

double fbm(double x, double y, uint32_t seed, int octaves, int px, int py) {
  double sum = 0.0, weight = 0.5, total = 0.0;
  for (int i = 0; i < octaves; ++i) {
    sum += value(x, y, seed + static_cast<uint32_t>(i) * 1013u, px, py) * weight;
    total += weight;
    x *= 2.0;
    y *= 2.0;
    weight *= 0.5;
    px *= 2;
    py *= 2;
  }
  return sum / total;
}

double bayer(int x, int y) {
  static constexpr int kMatrix[4][4] = {
      {0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  return (kMatrix[y & 3][x & 3] + 0.5) / 16.0;
}

double clamp01(double v) {
  return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
}

uint8_t dither_range(pal::Ramp ramp, int lo, int hi, double level, int x, int y) {
  const double scaled = lo + clamp01(level) * (hi - lo);
  int base = floor_int(scaled);
  if (scaled - base > bayer(x, y)) ++base;
  return pal::shade(ramp, base);
}

uint8_t dither(pal::Ramp ramp, double level, int x, int y) {
  return dither_range(ramp, 0, 15, level, x, y);
}

double sin_turns(double t) {
  // Reduce to [-0.5, 0.5) turns and use Bhaskara's rational form of sin(pi x) on each half.
  t -= floor_int(t + 0.5);
  const double sign = t < 0 ? -1.0 : 1.0;
  const double u = t < 0 ? -t : t;  // [0, 0.5]
  const double x = 2.0 * u;
  const double p = x * (1.0 - x);
  const double approx = 16.0 * p / (5.0 - 4.0 * p);
  return sign * approx;
}

double cos_turns(double t) {
  return sin_turns(t + 0.25);
}

}  // namespace noise
