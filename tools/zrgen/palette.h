// The game palette's layout. Entry 0 is black (transparent in sprites); entries 10-245 are the
// colours every picture uses, laid out as ramps from dark to light so that shading and the colour
// map can move along them; 149-159 is the bright ramp the menu highlight cycles through.
#pragma once
#include <array>
#include <cstdint>

namespace pal {

using Palette = std::array<uint8_t, 768>;

enum Ramp : int {
  GREY, GREEN, BROWN, BLUE, RED, ORANGE, YELLOW, PURPLE, CYAN, HIGHLIGHT,
  SAND, TEAL, PINK, STEEL, OLIVE, SPECIAL, RAMP_COUNT
};

struct RampRange {
  int first;
  int count;
};

// Indices, inclusive: 10-25 grey, 26-41 green, 42-57 brown, 58-73 blue, 74-89 red, 90-105 orange,
// 106-121 yellow, 122-137 purple, 138-148 cyan, 149-159 highlight, 160-175 sand, 176-191 teal,
// 192-207 pink, 208-223 steel (blue-grey), 224-239 olive, 240-245 special (white, laser colours).
constexpr std::array<RampRange, RAMP_COUNT> kRamps = {{
    {10, 16}, {26, 16}, {42, 16}, {58, 16}, {74, 16}, {90, 16}, {106, 16}, {122, 16},
    {138, 11}, {149, 11}, {160, 16}, {176, 16}, {192, 16}, {208, 16}, {224, 16}, {240, 6},
}};

// Entry of a ramp at a brightness level 0 (darkest) to 15 (lightest), spread over the ramp's length.
constexpr uint8_t shade(Ramp ramp, int level) {
  const RampRange r = kRamps[ramp];
  if (level < 0) level = 0;
  if (level > 15) level = 15;
  return static_cast<uint8_t>(r.first + (level * (r.count - 1) + 7) / 15);
}

// The colours of every entry (built once; the same on every machine).
const Palette& game_palette();

// The entry within [first, last] nearest to (r, g, b), by squared distance.
uint8_t nearest(const Palette& palette, int r, int g, int b, int first = 10, int last = 245);

}  // namespace pal
