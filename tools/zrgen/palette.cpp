// The game palette: every ramp runs from a near-black through its pure colour to a pale tint, so
// that the colour map can darken and brighten any picture by moving along a ramp.
#include "tools/zrgen/palette.h"

#include <climits>

namespace pal {
namespace {

struct Rgb {
  int r, g, b;
};

// Dark end, middle and light end of each ramp, in the order of the Ramp enum.
struct RampColours {
  Rgb dark, mid, light;
};

constexpr std::array<RampColours, RAMP_COUNT> kRampColours = {{
    {{12, 12, 14}, {120, 120, 124}, {236, 236, 240}},   // GREY
    {{6, 22, 6}, {56, 136, 40}, {196, 240, 150}},       // GREEN
    {{22, 12, 6}, {122, 78, 40}, {226, 190, 140}},      // BROWN
    {{4, 8, 32}, {40, 84, 196}, {176, 206, 255}},       // BLUE
    {{32, 4, 4}, {188, 30, 24}, {255, 176, 160}},       // RED
    {{36, 14, 2}, {222, 108, 20}, {255, 214, 150}},     // ORANGE
    {{36, 30, 2}, {214, 186, 24}, {255, 250, 170}},     // YELLOW
    {{20, 6, 32}, {122, 52, 176}, {226, 186, 255}},     // PURPLE
    {{4, 30, 36}, {30, 170, 200}, {190, 250, 255}},     // CYAN
    {{210, 120, 24}, {255, 200, 60}, {255, 255, 230}},  // HIGHLIGHT (all bright)
    {{40, 30, 14}, {188, 156, 96}, {250, 236, 196}},    // SAND
    {{4, 26, 22}, {28, 128, 110}, {170, 236, 216}},     // TEAL
    {{36, 8, 20}, {200, 80, 140}, {255, 204, 230}},     // PINK
    {{12, 16, 24}, {92, 108, 132}, {212, 224, 240}},    // STEEL
    {{20, 22, 6}, {112, 120, 44}, {220, 226, 160}},     // OLIVE
    {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}},                  // SPECIAL (set one by one below)
}};

// Laser and glare colours: white, red laser, green laser, cyan glow, hot yellow, magenta.
constexpr std::array<Rgb, 6> kSpecial = {{
    {255, 255, 255},
    {255, 60, 40},
    {80, 255, 80},
    {120, 255, 255},
    {255, 255, 96},
    {255, 80, 255},
}};

// The reserved entries outside 10-245 keep the usual system colours, so that a desktop palette
// shows sensibly around the game's own colours.
constexpr std::array<Rgb, 10> kLow = {{
    {0, 0, 0},
    {128, 0, 0},
    {0, 128, 0},
    {128, 128, 0},
    {0, 0, 128},
    {128, 0, 128},
    {0, 128, 128},
    {192, 192, 192},
    {192, 220, 192},
    {166, 202, 240},
}};
constexpr std::array<Rgb, 10> kHigh = {{
    {255, 251, 240},
    {160, 160, 164},
    {128, 128, 128},
    {255, 0, 0},
    {0, 255, 0},
    {255, 255, 0},
    {0, 0, 255},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
}};

int lerp(int a, int b, int num, int den) {
  return a + ((b - a) * num + den / 2) / den;
}

Rgb ramp_colour(const RampColours& c, int i, int count) {
  // Integer interpolation keeps the table identical on every machine.
  const int half = (count - 1) / 2;
  if (i <= half) {
    return {lerp(c.dark.r, c.mid.r, i, half), lerp(c.dark.g, c.mid.g, i, half),
            lerp(c.dark.b, c.mid.b, i, half)};
  }
  const int n = i - half, d = count - 1 - half;
  return {lerp(c.mid.r, c.light.r, n, d), lerp(c.mid.g, c.light.g, n, d),
          lerp(c.mid.b, c.light.b, n, d)};
}

Palette build_palette() {
  Palette p{};
  auto put = [&p](int index, Rgb c) {
    p[index * 3 + 0] = static_cast<uint8_t>(c.r);
    p[index * 3 + 1] = static_cast<uint8_t>(c.g);
    p[index * 3 + 2] = static_cast<uint8_t>(c.b);
  };
  for (int i = 0; i < 10; ++i) put(i, kLow[i]);
  for (int i = 0; i < 10; ++i) put(246 + i, kHigh[i]);
  for (int r = 0; r < RAMP_COUNT; ++r) {
    const RampRange range = kRamps[r];
    for (int i = 0; i < range.count; ++i) {
      put(range.first + i,
          r == SPECIAL ? kSpecial[i] : ramp_colour(kRampColours[r], i, range.count));
    }
  }
  return p;
}

}  // namespace

const Palette& game_palette() {
  static const Palette palette = build_palette();
  return palette;
}

uint8_t nearest(const Palette& palette, int r, int g, int b, int first, int last) {
  int best = first;
  long best_d = LONG_MAX;
  for (int i = first; i <= last; ++i) {
    const long dr = palette[i * 3] - r, dg = palette[i * 3 + 1] - g, db = palette[i * 3 + 2] - b;
    const long d = dr * dr + dg * dg + db * db;
    if (d < best_d) {
      best_d = d;
      best = i;
    }
  }
  return static_cast<uint8_t>(best);
}

}  // namespace pal
