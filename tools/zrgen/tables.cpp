#include "tools/zrgen/tables.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <map>
#include <stdexcept>

namespace {

struct Rgb {
  int r, g, b;
};

Rgb colour(const pal::Palette& p, int i) {
  return {p[i * 3], p[i * 3 + 1], p[i * 3 + 2]};
}

int clamp255(int v) {
  return v < 0 ? 0 : (v > 255 ? 255 : v);
}

// Nearest-colour searches repeat a lot (many pairs blend to the same colour), so they are
// remembered; std::map keeps the result independent of hashing.
struct NearestCache {
  const pal::Palette& palette;
  std::map<uint32_t, uint8_t> memo;

  uint8_t operator()(Rgb c) {
    c = {clamp255(c.r), clamp255(c.g), clamp255(c.b)};
    const uint32_t key = uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | uint32_t(c.b);
    auto it = memo.find(key);
    if (it != memo.end()) return it->second;
    const uint8_t found = pal::nearest(palette, c.r, c.g, c.b);
    memo.emplace(key, found);
    return found;
  }
};

// A blend of source s over destination d; the rules work on whole numbers only.
Rgb blend(int table, Rgb s, Rgb d) {
  switch (table) {
    case BLEND_HALF:
      return {(s.r + d.r + 1) / 2, (s.g + d.g + 1) / 2, (s.b + d.b + 1) / 2};
    case BLEND_GLOW:
      return {d.r + s.r * 3 / 4, d.g + s.g * 3 / 4, d.b + s.b * 3 / 4};
    case BLEND_SHADOW:
      // The source only says where the shadow falls; the ground under it darkens.
      return {d.r * 9 / 20, d.g * 9 / 20, d.b * 10 / 20};
    default:  // BLEND_GLASS: a bluish pane that lets 60 % of the background through
      return {(s.r * 30 + d.r * 60 + 20 * 255 / 4) / 100,
              (s.g * 30 + d.g * 60 + 30 * 255 / 4) / 100,
              (s.b * 30 + d.b * 60 + 40 * 255 / 4) / 100};
  }
}

// Per tint: multipliers for red, green and blue (in 1/256) and how much of the grey level is kept
// in place of the colour (in 1/256; 0 keeps the colour as it is).
struct TintRule {
  int r, g, b, grey;
};
constexpr std::array<TintRule, TINT_COUNT> kTints = {{
    {256, 256, 256, 0},    // neutral
    {280, 236, 210, 20},   // sunset
    {200, 215, 270, 60},   // night
    {290, 225, 200, 20},   // ember
    {225, 280, 215, 30},   // toxic
    {255, 220, 265, 30},   // dusk
    {275, 250, 205, 70},   // sepia
    {230, 250, 285, 40},   // frost
    {285, 265, 210, 20},   // gold
    {190, 220, 280, 50},   // deep
    {270, 220, 285, 20},   // neon
    {240, 240, 245, 140},  // fog
    {215, 265, 260, 30},   // teal
    {295, 215, 220, 30},   // crimson
    {270, 270, 270, 80},   // haze
    {215, 225, 265, 110},  // moon
}};

Rgb tinted(Rgb c, int tint, int brightness) {
  const TintRule& t = kTints[tint];
  const int grey = (c.r * 30 + c.g * 59 + c.b * 11) / 100;
  Rgb m = {(c.r * (256 - t.grey) + grey * t.grey) / 256,
           (c.g * (256 - t.grey) + grey * t.grey) / 256,
           (c.b * (256 - t.grey) + grey * t.grey) / 256};
  m = {m.r * t.r / 256, m.g * t.g / 256, m.b * t.b / 256};
  // Brightness 15 is full light; 0 still leaves a trace so that dark cells keep their shapes.
  const int light = 20 + brightness * 236 / 15;
  return {m.r * light / 256, m.g * light / 256, m.b * light / 256};
}

}  // namespace

std::array<uint8_t, 256> colour_map_row(const pal::Palette& palette, int tint, int brightness) {
  std::array<uint8_t, 256> row{};
  NearestCache nearest{palette, {}};
  for (int c = 0; c < 256; ++c) {
    if (c == 0 || (tint == TINT_NEUTRAL && brightness == 15)) {
      row[c] = uint8_t(c);  // exact identity, even for colours that appear twice
    } else {
      row[c] = nearest(tinted(colour(palette, c), tint, brightness));
    }
  }
  return row;
}

std::vector<uint8_t> transparency_tables(const pal::Palette& palette) {
  std::vector<uint8_t> file(1 + size_t(kTableCount) * 65536);
  file[0] = kTableCount;
  NearestCache nearest{palette, {}};
  for (int table = 0; table < kBlendTables; ++table) {
    uint8_t* t = file.data() + 1 + size_t(table) * 65536;
    for (int s = 0; s < 256; ++s) {
      for (int d = 0; d < 256; ++d) {
        // Index 0 stays see-through: where the source is 0 the background shows unchanged.
        t[s * 256 + d] =
            s == 0 ? uint8_t(d) : nearest(blend(table, colour(palette, s), colour(palette, d)));
      }
    }
  }
  uint8_t* map = file.data() + 1 + size_t(kColourMapTable) * 65536;
  for (int tint = 0; tint < TINT_COUNT; ++tint) {
    for (int brightness = 0; brightness < 16; ++brightness) {
      const auto row = colour_map_row(palette, tint, brightness);
      std::copy(row.begin(), row.end(), map + (tint * 16 + brightness) * 256);
    }
  }
  return file;
}

void write_transparency_tables(const std::filesystem::path& dataDir, const pal::Palette& palette) {
  const auto file = transparency_tables(palette);
  std::filesystem::create_directories(dataDir);
  std::ofstream out(dataDir / "transp.tab", std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  if (!out) throw std::runtime_error("cannot write transp.tab");
}
