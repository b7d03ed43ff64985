// The twenty levels. Every level has the same skeleton, worked out from the game's geometry:
//
//   rows 0-11   the far band: mountains, mesas, cliffs or towers, seen over the third lane
//   rows 12-14  the third lane's corridor (lane in row 13, z 650)
//   rows 15-19  low ground between the lanes
//   rows 20-22  the second lane's corridor (row 21, z 1025)
//   rows 23-27  low ground between the lanes
//   rows 28-30  the first lane's corridor (row 29, z 1400, where the ship starts)
//   rows 31-39  low ground in front of the first lane, under the camera
//
// The camera stands 280 units (about 6 rows) behind the ship, 150 high, and sees 15 rows ahead, so
// anything tall in front of a lane would hide the ship. Tall things therefore stand only in the
// row right behind each lane (28, 20, 12: behind the ship for that lane's camera, behind the
// camera for the next one) and in the far band; elsewhere the ground stays low.
//
// At both ends of the loop (x 480-576 and 2352-2448, outside the enemies' range) every lane runs
// through a gate: a glass frame (tile 42) and a glowing warp curtain (tile 43) that the ship flies
// through just before it warps to the other end.
#include "tools/zrgen/levels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <stdexcept>

#include "tools/zrgen/backgrounds.h"
#include "tools/zrgen/noise.h"
#include "tools/zrgen/rng.h"
#include "tools/zrgen/scenery.h"
#include "tools/zrgen/tables.h"

namespace {

constexpr int kLaneRows[3] = {29, 21, 13};
constexpr int kGateColumns[2] = {10, 50};   // warp curtains (tile 43)
constexpr int kFrameColumns[2] = {11, 49};  // glass frames (tile 42)
constexpr int kBase = -40;                  // altitude of every block's down face

// ---------------------------------------------------------------------------------------------
// Looks: which bitmaps each theme's tiles wear.

struct Look {
  const char* ground;
  const char* ground2;
  const char* lane;
  const char* hillTop;
  const char* cliffTop;
  const char* liquid;
  const char* groundSide;
  const char* hillSide;
  const char* cliffSide;
  const char* roofA;
  const char* wallA;
  const char* roofB;
  const char* wallB;
  const char* lowTop;
  const char* lowSide;
  const char* featureTop;
  const char* featureSide;
  const char* platformTop;
  const char* platformSide;
  const char* pylonTop;
  const char* pylonSide;
};

constexpr std::array<Look, THEME_COUNT> kLooks = {{
    // ground   ground2   lane      hillTop  cliffTop  liquid   groundSide hillSide  cliffSide
    {"GRASS", "MEADOW", "DIRT", "GRASS", "ROCK", "WATER", "EARTH", "EARTH", "CLIFF",
     // roofA  wallA    roofB    wallB     lowTop  lowSide  featureTop featureSide
     "ROOF", "HOUSE", "ROOF", "PLANKS", "DIRT", "PLANKS", "ROCK", "CLIFF",
     // platformTop platformSide pylonTop pylonSide
     "ROCK", "CLIFF", "ROCK", "BRICK"},
    {"SAND",    "DUNE",    "SSTONE",  "DUNE",   "SSTONE",  "WATER",   "DUNEW",
     "DUNEW",   "SSTONEW", "SSTONE",  "ADOBE",  "SAND",    "SSTONEW", "SSTONE",
     "SSTONEW", "SSTONE",  "SSTONEW", "SSTONE", "SSTONEW", "SSTONE",  "ADOBE"},
    {"SNOW", "FIRN",     "ICE",  "SNOW", "SNOW", "WATER",    "ICEW",
     "ICEW", "SNOWROCK", "SNOW", "ICEW", "SNOW", "SNOWROCK", "SNOW",
     "ICEW", "ICE",      "ICEW", "ICE",  "ICEW", "SNOW",     "SNOWROCK"},
    {"ASH",     "BASALT",  "CRUST",    "ASH",     "ASH",     "LAVA",    "BASALTW",
     "BASALTW", "BASALTW", "BASALT",   "BASALTW", "ASH",     "BASALTW", "BASALT",
     "BASALTW", "BASALT",  "LAVAFALL", "LAVA",    "BASALTW", "BASALT",  "BASALTW"},
    {"METAL", "GRATE", "ROAD",  "CIRCUIT", "METAL", "PADS",  "PANEL",
     "PANEL", "PANEL", "METAL", "WINDOWS", "GRATE", "PANEL", "METAL",
     "PANEL", "PADS",  "PANEL", "PADS",    "PANEL", "METAL", "PANEL"},
}};

// Tile animations ('>' lines): name, frames, delay per frame.
struct TileAnimation {
  const char* name;
  std::array<const char*, 4> frames;
  int count;
  int delay;
};
constexpr std::array<TileAnimation, 6> kTileAnimations = {{
    {"WATER", {"WATER0", "WATER1", "WATER2", "WATER3"}, 4, 12},
    {"LAVA", {"LAVA0", "LAVA1", "LAVA2", "LAVA3"}, 4, 16},
    {"LAVAFALL", {"LAVAFALL0", "LAVAFALL1", "LAVAFALL2", "LAVAFALL3"}, 4, 8},
    {"PADS", {"PADON", "PADOFF", "", ""}, 2, 45},
    {"WINDOWS", {"WINDOW0", "WINDOW1", "", ""}, 2, 240},
    {"FIELD", {"FIELD0", "FIELD1", "", ""}, 2, 6},
}};

// ---------------------------------------------------------------------------------------------
// Per-level settings

struct Mood {
  int tint;
  int brightness;  // of the lanes; the rest is a little darker
};

// Four moods per theme, one per level of the theme.
constexpr std::array<std::array<Mood, 4>, THEME_COUNT> kMoods = {{
    {{{TINT_NEUTRAL, 15}, {TINT_GOLD, 15}, {TINT_SUNSET, 14}, {TINT_NIGHT, 12}}},
    {{{TINT_NEUTRAL, 15}, {TINT_SEPIA, 15}, {TINT_SUNSET, 14}, {TINT_DUSK, 13}}},
    {{{TINT_NEUTRAL, 15}, {TINT_FROST, 15}, {TINT_MOON, 14}, {TINT_TEAL, 13}}},
    {{{TINT_NEUTRAL, 14}, {TINT_EMBER, 15}, {TINT_CRIMSON, 14}, {TINT_DUSK, 13}}},
    {{{TINT_NEUTRAL, 15}, {TINT_NEON, 15}, {TINT_NIGHT, 14}, {TINT_TEAL, 14}}},
}};

constexpr std::array<const char*, THEME_COUNT> kMusic = {
    "snd\\grass.s3m", "snd\\desert.s3m", "snd\\ice.s3m", "snd\\volcano.s3m", "snd\\city.s3m"};

bool lane_row(int row) {
  return row == 29 || row == 21 || row == 13;
}
bool corridor_row(int row) {
  return (row >= 28 && row <= 30) || (row >= 20 && row <= 22) || (row >= 12 && row <= 14);
}
bool far_row(int row) {
  return row <= 11;
}

struct Level {
  int number;
  Theme theme;
  int variant;  // 0-3 within the theme
  Mood mood;
  Rng rng;
  WorldMap map{kWorldColumns, kWorldRows, kCellSize};
  std::string movingCells;      // '*' lines
  std::string animatedObjects;  // '+' lines
  // Cells that features have claimed, so later features leave them alone.
  std::vector<uint8_t> claimed = std::vector<uint8_t>(size_t(kWorldColumns) * kWorldRows, 0);

  Level(int n)
      : number(n),
        theme(level_theme(n)),
        variant((n - 1) % 4),
        mood(kMoods[theme][(n - 1) % 4]),
        rng(0x5EED0000ull + uint64_t(n) * 7919ull) {}

  uint32_t seed(uint32_t k) const { return uint32_t(number) * 1000u + k; }
  bool free(int c, int r) const {
    return map.inside(c, r) && !claimed[size_t(r) * kWorldColumns + c];
  }
  void claim(int c, int r) { claimed[size_t(r) * kWorldColumns + c] = 1; }
};

void set_flat(MapCell& cell, int tile, int up, int down = kBase) {
  cell.tile = tile;
  cell.up = {up, up, up, up};
  cell.down = {down, down, down, down};
}

// ---------------------------------------------------------------------------------------------
// Terrain

// Corner altitude of the low ground at corner line `line` (z = line * cell size) and column `c`.
double low_corner(const Level& lv, int line, int c) {
  // A corner touching a corridor row stays flat at 0 so that the lanes are level.
  const bool touchesCorridor = corridor_row(line) || corridor_row(line - 1);
  if (touchesCorridor || line >= 36 || line <= 12) return 0.0;
  const bool nearBand = line >= 31;
  const double amp = nearBand ? 6.0 : (lv.theme == CITY ? 10.0 : 24.0);
  double edge = 1.0;
  if (corridor_row(line - 2) || corridor_row(line + 1)) edge = 0.55;  // ease up from the corridor
  const double n = noise::fbm(c / 5.0, line / 3.0, lv.seed(1), 3);
  const double h = (n - 0.42) * 2.2;
  return h <= 0 ? 0.0 : h * amp * edge;
}

// Altitude of the far band at a corner line, smooth themes (grassland, ice).
double far_corner(const Level& lv, int line, int c) {
  if (line >= 12) return 0.0;
  const double depth = (12 - line) / 12.0;  // 0 at the third lane, 1 at the back
  const double n = noise::fbm(c / 7.0, line / 4.0, lv.seed(2), 4);
  const double peak = lv.theme == ICEFIELD ? 340.0 : 230.0;
  const double rise = lv.theme == ICEFIELD ? depth : depth * depth;
  double h = peak * rise * (0.35 + n * 1.1);
  if (line == 11) h *= 0.35;
  return std::floor(h);
}

void lay_ground(Level& lv) {
  const bool smoothFar = lv.theme == GRASSLAND || lv.theme == ICEFIELD;
  std::vector<double> corner(size_t(kWorldRows + 1) * (kWorldColumns + 1));
  auto H = [&](int line, int c) -> double& {
    return corner[size_t(line) * (kWorldColumns + 1) + c];
  };
  for (int line = 0; line <= kWorldRows; ++line)
    for (int c = 0; c <= kWorldColumns; ++c)
      H(line, c) = (line <= 11 && smoothFar) ? far_corner(lv, line, c) : low_corner(lv, line, c);

  for (int r = 0; r < kWorldRows; ++r)
    for (int c = 0; c < kWorldColumns; ++c) {
      MapCell& cell = lv.map.at(c, r);
      // Corners: 0 (small x, large z), 1 (small x, small z), 2 (large x, large z), 3 (large x,
      // small z).
      const int h0 = int(H(r + 1, c)), h1 = int(H(r, c)), h2 = int(H(r + 1, c + 1)),
                h3 = int(H(r, c + 1));
      cell.up = {h0, h1, h2, h3};
      cell.down = {kBase, kBase, kBase, kBase};
      const int top = std::max({h0, h1, h2, h3});
      if (lane_row(r)) {
        cell.tile = T_LANE;
      } else if (far_row(r) && smoothFar) {
        cell.tile = top > 150 ? T_CLIFF : T_HILL;
      } else if (top >= 10) {
        cell.tile = T_HILL;
      } else {
        const double n = noise::fbm(c / 4.0, r / 4.0, lv.seed(3), 2);
        cell.tile = n > 0.55 ? T_GROUND2 : T_GROUND;
      }
    }
}

// Terraced far band: flat-topped blocks whose heights step up towards the back.
void lay_terraces(Level& lv, int tile, int step, double peak, uint32_t k) {
  for (int r = 0; r <= 11; ++r)
    for (int c = 0; c < kWorldColumns; ++c) {
      const double depth = (12 - r) / 12.0;
      const double n = noise::fbm(c / 6.0, r / 3.0, lv.seed(k), 3);
      int h = int(peak * depth * (0.2 + n * 1.2));
      h = (h / step) * step;
      if (r == 11) h = std::min(h, 24);
      MapCell& cell = lv.map.at(c, r);
      if (h <= 0) continue;  // keep the low ground there
      set_flat(cell, tile, h);
    }
}

void lay_city_blocks(Level& lv) {
  // Towers on a grid of 3 x 3 cells with a street between blocks.
  for (int r = 0; r <= 11; ++r)
    for (int c = 0; c < kWorldColumns; ++c) {
      MapCell& cell = lv.map.at(c, r);
      const int bc = c / 3, br = r / 3;
      if (c % 3 == 2 || r % 3 == 2) continue;  // streets
      const double n = noise::lattice(bc, br, lv.seed(4));
      const double depth = (12 - r) / 12.0;
      int h = int(60 + depth * 260 * n + 30 * noise::lattice(c, r, lv.seed(5)));
      h -= h % 16;
      const int kind = noise::lattice(bc, br, lv.seed(6)) < 0.55 ? T_BUILDING : T_BUILDING2;
      set_flat(cell, (n > 0.9 && r < 9) ? T_GLASS : kind, h);
    }
}

void lay_far_band(Level& lv) {
  switch (lv.theme) {
    case DESERT:
      lay_terraces(lv, T_CLIFF, 20, 240, 7);
      break;
    case VOLCANIC: {
      lay_terraces(lv, T_CLIFF, 24, 220, 8);
      // Lava falls down the faces of the higher cliffs, lava lakes in the hollows between them.
      for (int r = 1; r <= 10; ++r)
        for (int c = 0; c < kWorldColumns; ++c) {
          MapCell& cell = lv.map.at(c, r);
          const double pick = noise::lattice(c, r, lv.seed(9));
          if (cell.tile == T_CLIFF && cell.up[0] >= 72 && pick > 0.55) cell.tile = T_FEATURE;
          if (cell.tile != T_CLIFF && cell.tile != T_FEATURE && pick > 0.6)
            set_flat(cell, T_LIQUID, -6);
        }
      break;
    }
    case CITY:
      lay_city_blocks(lv);
      break;
    default:
      break;  // smooth hills were laid with the ground
  }
  for (int r = 0; r <= 11; ++r)
    for (int c = 0; c < kWorldColumns; ++c) lv.claim(c, r);
}

// A pool of the theme's liquid, sunk a little below its banks.
void add_pool(Level& lv, int c0, int r0, int w, int h) {
  for (int r = r0; r < r0 + h; ++r)
    for (int c = c0; c < c0 + w; ++c) {
      if (!lv.free(c, r) || corridor_row(r)) continue;
      set_flat(lv.map.at(c, r), T_LIQUID, -6);
      lv.claim(c, r);
    }
}

void add_liquids(Level& lv) {
  if (lv.theme == VOLCANIC) {
    // A lava river between the first two lanes, and one between the second and third.
    const int rowA = 25 + (lv.variant & 1), rowB = 17;
    for (int c = 0; c < kWorldColumns; ++c) {
      add_pool(lv, c, rowA, 1, 1);
      if (lv.variant >= 2) add_pool(lv, c, rowB, 1, 1);
    }
    return;
  }
  const int pools = lv.theme == DESERT ? 2 : 3 + lv.variant % 2;
  for (int i = 0; i < pools; ++i) {
    const bool first = lv.rng.range(0, 1) == 0;
    const int r0 = first ? lv.rng.range(23, 25) : lv.rng.range(15, 17);
    const int c0 = lv.rng.range(4, kWorldColumns - 12);
    add_pool(lv, c0, r0, lv.rng.range(3, 8), lv.rng.range(2, 3));
  }
  if (lv.theme == ICEFIELD || lv.theme == GRASSLAND)
    add_pool(lv, lv.rng.range(8, 40), 32, lv.rng.range(4, 9), 2);
}

// Lighting: the lanes at the mood's brightness, the rest one step darker, lit pools brighter.
void light_cells(Level& lv) {
  for (int r = 0; r < kWorldRows; ++r)
    for (int c = 0; c < kWorldColumns; ++c) {
      MapCell& cell = lv.map.at(c, r);
      int b = lv.mood.brightness - (corridor_row(r) ? 0 : 1);
      int tint = lv.mood.tint;
      if (cell.tile == T_LIQUID && (lv.theme == VOLCANIC || lv.theme == CITY)) b = 15;
      if (lv.theme == VOLCANIC && cell.tile != T_LIQUID) {
        // Ground next to lava glows warm.
        for (int dr = -1; dr <= 1; ++dr)
          if (lv.map.inside(c, r + dr) && lv.map.at(c, r + dr).tile == T_LIQUID) {
            tint = TINT_EMBER;
            b = 15;
          }
      }
      if (cell.tile == T_FIELD || cell.tile == T_GATEFRAME) b = 15;
      cell.brightness = std::clamp(b, 0, 15);
      cell.tint = tint;
    }
}

// ---------------------------------------------------------------------------------------------
// Structures

void add_gates(Level& lv) {
  for (int g = 0; g < 2; ++g) {
    for (int lane = 0; lane < 3; ++lane) {
      const int row = kLaneRows[lane];
      set_flat(lv.map.at(kGateColumns[g], row), T_FIELD, 150, 0);
      set_flat(lv.map.at(kFrameColumns[g], row), T_GATEFRAME, 150, 0);
      // A pylon right behind the lane holds the gate; nothing stands in front of it.
      set_flat(lv.map.at(kGateColumns[g], row - 1), T_PYLON, 190);
      set_flat(lv.map.at(kFrameColumns[g], row - 1), T_PYLON, 170);
      for (int c : {kGateColumns[g], kFrameColumns[g]}) {
        lv.claim(c, row);
        lv.claim(c, row - 1);
      }
    }
  }
}

// Houses, huts and blocks standing right behind the lanes.
void add_buildings(Level& lv) {
  const int count = 5 + lv.variant * 2;
  for (int i = 0; i < count; ++i) {
    const int row = std::array<int, 3>{28, 20, 12}[i % 3];
    const int c0 = lv.rng.range(13, kWorldColumns - 16);
    const int w = lv.rng.range(1, 3);
    bool ok = true;
    for (int c = c0; c < c0 + w; ++c) ok = ok && lv.free(c, row);
    if (!ok) continue;
    // Right behind the first lane they are seen closest: keep them low there.
    const int h = row == 28 ? lv.rng.range(2, 4) * 12 : lv.rng.range(3, 7) * 12;
    const int tile = lv.rng.range(0, 2) == 0 ? T_BUILDING2 : T_BUILDING;
    for (int c = c0; c < c0 + w; ++c) {
      set_flat(lv.map.at(c, row), tile, h);
      lv.claim(c, row);
    }
  }
  // Low walls between fields (not in the city, whose ground is already busy).
  if (lv.theme != VOLCANIC) {
    for (int i = 0; i < 3 + lv.variant; ++i) {
      const int row = lv.rng.range(0, 1) ? lv.rng.range(24, 26) : lv.rng.range(16, 18);
      const int c0 = lv.rng.range(2, kWorldColumns - 10);
      const int len = lv.rng.range(3, 7);
      for (int c = c0; c < c0 + len; ++c) {
        if (!lv.free(c, row)) continue;
        set_flat(lv.map.at(c, row), T_LOWWALL, 14);
        lv.claim(c, row);
      }
    }
  }
}

// Moving cells: platforms that rise and sink in the rows behind the lanes and in the far band.
void add_moving_cells(Level& lv) {
  const int count = 2 + (lv.number % 4);
  int made = 0;
  for (int attempt = 0; attempt < 40 && made < count; ++attempt) {
    const bool far = lv.rng.range(0, 2) == 0;
    const int row = far ? lv.rng.range(6, 11) : std::array<int, 3>{28, 20, 12}[lv.rng.range(0, 2)];
    const int col = lv.rng.range(14, kWorldColumns - 15);
    if (!far && !lv.free(col, row)) continue;
    const int low = far ? std::max(0, lv.map.at(col, row).up[1]) : 0;
    const int high = low + lv.rng.range(4, 9) * 10;
    // The cell starts at its low height: the platform rises, waits, sinks, waits.
    set_flat(lv.map.at(col, row), T_PLATFORM, low);
    lv.claim(col, row);
    const int speed = lv.rng.range(3, 7), pause = lv.rng.range(60, 200);
    lv.movingCells += "*" + std::to_string(row) + ", " + std::to_string(col) + " = " +
                      std::to_string(T_PLATFORM) + ", " + std::to_string(low) + ", " +
                      std::to_string(kBase) + ", 0, " + std::to_string(high) + ", " +
                      std::to_string(speed) + ", " + std::to_string(pause) + ", " +
                      std::to_string(low) + ", " + std::to_string(speed) + ", " +
                      std::to_string(pause) + "\r\n";
    ++made;
  }
}

// ---------------------------------------------------------------------------------------------
// Objects

struct Palette3 {
  std::array<Scenery, 3> tall;
  std::array<Scenery, 2> low;
};

constexpr std::array<Palette3, THEME_COUNT> kScenery = {{
    {{SC_TREE, SC_PINE, SC_TREE}, {SC_BUSH, SC_BOULDER}},
    {{SC_PALM, SC_CACTUS, SC_COLUMN}, {SC_BOULDER, SC_BUSH}},
    {{SC_SNOWPINE, SC_CRYSTAL, SC_SNOWPINE}, {SC_ICEBLOCK, SC_BOULDER}},
    {{SC_DEADTREE, SC_STEAM, SC_DEADTREE}, {SC_EMBER, SC_BOULDER}},
    {{SC_LAMP, SC_MAST, SC_DISH}, {SC_CRATE, SC_BEACON}},
}};

void place(Level& lv, Scenery s, double x, double z) {
  const int c = int(x) / kCellSize, r = int(z) / kCellSize;
  if (!lv.map.inside(c, r)) return;
  const MapCell& cell = lv.map.at(c, r);
  if (cell.tile == T_LIQUID || cell.tile == T_FIELD || cell.tile == T_GATEFRAME) return;
  MapObject o;
  o.sprite = s;
  o.x = x;
  o.z = z;
  o.y = lv.map.ground(x, z);
  o.mirror = lv.rng.range(0, 1) == 1;
  o.tint = cell.tint;
  o.brightness = cell.brightness;
  lv.map.objects.push_back(o);
}

void add_scenery(Level& lv) {
  const Palette3& set = kScenery[lv.theme];
  // Tall scenery: the far band and the rows right behind the lanes.
  const int tall = 70 + lv.variant * 10;
  for (int i = 0; i < tall; ++i) {
    const int row =
        (i % 3 == 0) ? std::array<int, 3>{28, 20, 12}[lv.rng.range(0, 2)] : lv.rng.range(3, 11);
    const double x = lv.rng.range(2 * kCellSize, (kWorldColumns - 2) * kCellSize);
    const double z = row * kCellSize + lv.rng.range(4, kCellSize - 4);
    const int c = int(x) / kCellSize;
    if (row >= 12 && !lv.free(c, row)) continue;
    if (lv.theme == CITY && row <= 11 && lv.map.at(c, row).up[0] > 0) continue;  // streets only
    place(lv, set.tall[lv.rng.range(0, 2)], x, z);
  }
  // Low scenery between the lanes and in front of the first one, but not in the two rows just
  // ahead of a camera, where it would fill the bottom of the view.
  constexpr int kLowRows[] = {15, 16, 17, 23, 24, 25, 31, 32};
  const int low = 50 + lv.variant * 6;
  for (int i = 0; i < low; ++i) {
    const int row = kLowRows[lv.rng.range(0, 7)];
    const double x = lv.rng.range(kCellSize, (kWorldColumns - 1) * kCellSize);
    const double z = row * kCellSize + lv.rng.range(4, kCellSize - 4);
    if (!lv.free(int(x) / kCellSize, row)) continue;
    place(lv, set.low[lv.rng.range(0, 1)], x, z);
  }
  // Gate markers on the pylons.
  const Scenery marker = (lv.theme == CITY || lv.theme == VOLCANIC) ? SC_BEACON : SC_FLAG;
  for (int g = 0; g < 2; ++g)
    for (int lane = 0; lane < 3; ++lane)
      place(lv, marker, kGateColumns[g] * kCellSize + 24, (kLaneRows[lane] - 1) * kCellSize + 24);
}

// Flyers on closed paths high over the far band and between the lanes.
void add_flyers(Level& lv) {
  Scenery flyer = SC_BIRD;
  if (lv.theme == CITY) flyer = SC_DRONE;
  if (lv.theme == VOLCANIC) flyer = (lv.variant & 1) ? SC_DRONE : SC_BIRD;
  const int count = 2 + lv.variant % 3;
  for (int i = 0; i < count; ++i) {
    const int cx = lv.rng.range(600, 2400), cz = lv.rng.range(150, 500);
    const int y = lv.rng.range(200, 300), rx = lv.rng.range(150, 400), rz = lv.rng.range(60, 150);
    std::string line = "+" + std::to_string(flyer) + " =";
    for (int p = 0; p < 6; ++p) {  // a loop of six points
      const double t = p / 6.0;
      const int x = cx + int(noise::cos_turns(t) * rx), z = cz + int(noise::sin_turns(t) * rz);
      line += std::string(p ? "," : "") + " " + std::to_string(x) + ", " +
              std::to_string(y + (p % 2) * 20) + ", " + std::to_string(z) + ", " +
              std::to_string(flyer == SC_BIRD ? 2 : 3) + ", 0";
    }
    lv.animatedObjects += line + "\r\n";
  }
  if (lv.theme == CITY || (lv.theme == GRASSLAND && lv.variant == 1)) {
    // A slow airship crossing the whole width high over the far band.
    lv.animatedObjects +=
        "+" + std::to_string(SC_BLIMP) + " = 300, 320, 300, 1, 100, 2700, 340, 300, 1, 100\r\n";
  }
}

}  // namespace

Theme level_theme(int level) {
  return static_cast<Theme>(((level - 1) / 4) % THEME_COUNT);
}

namespace {

Level build_level(int number) {
  Level lv(number);
  lay_ground(lv);
  lay_far_band(lv);
  add_gates(lv);
  add_liquids(lv);
  add_buildings(lv);
  add_moving_cells(lv);
  light_cells(lv);
  // The start object: where the ship starts and the lanes are counted from.
  MapObject start;
  start.sprite = 100;
  start.x = kStartX;
  start.y = kStartY;
  start.z = kStartZ;
  lv.map.objects.push_back(start);
  add_scenery(lv);
  add_flyers(lv);
  return lv;
}

std::string tile_line(int n, const char* top, const char* bottom, const char* side3,
                      const char* side4, const char* side5, const char* side6) {
  return "%" + std::to_string(n) + " = " + top + ", " + bottom + ", " + side3 + ", " + side4 +
         ", " + side5 + ", " + side6 + "\r\n";
}

std::string tiles(Theme theme) {
  const Look& k = kLooks[theme];
  std::string s = "; Tiles: faces top, bottom, -x side, +z side, +x side, -z side\r\n";
  auto all4 = [&](int n, const char* top, const char* side) {
    s += tile_line(n, top, top, side, side, side, side);
  };
  all4(T_GROUND, k.ground, k.groundSide);
  all4(T_GROUND2, k.ground2, k.groundSide);
  all4(T_LANE, k.lane, k.groundSide);
  all4(T_HILL, k.hillTop, k.hillSide);
  all4(T_CLIFF, k.cliffTop, k.cliffSide);
  all4(T_LIQUID, k.liquid, k.groundSide);
  all4(T_BUILDING, k.roofA, k.wallA);
  all4(T_BUILDING2, k.roofB, k.wallB);
  all4(T_LOWWALL, k.lowTop, k.lowSide);
  all4(T_FEATURE, k.featureTop, k.featureSide);
  all4(T_PLATFORM, k.platformTop, k.platformSide);
  s += tile_line(T_GLASS, k.roofA, k.roofA, "GLASS", "GLASS", "GLASS", "GLASS");
  all4(T_PYLON, k.pylonTop, k.pylonSide);
  // The two tiles the ship flies through: open at top and bottom, translucent sides.
  s += tile_line(T_GATEFRAME, "NULL", "NULL", "GLASS!", "GLASS!", "GLASS!", "GLASS!");
  s += tile_line(T_FIELD, "NULL", "NULL", "FIELD!", "FIELD!", "FIELD!", "FIELD!");
  return s;
}

std::string definition_text(const Level& lv, const std::vector<TextureInfo>& textures,
                            const std::string& spriteLines, const std::string& sceneryLines) {
  const int level = lv.number;
  std::string s;
  s += "; Level " + std::to_string(level) + " (" + std::string(kThemeNames[lv.theme]) + ")\r\n";
  s += "@a" + std::to_string(kWorldColumns) + "\r\n@b" + std::to_string(kWorldRows) + "\r\n@c" +
       std::to_string(kCellSize) + "\r\n";
  s += "@d" + std::to_string(kFloorSize) + "\r\n@e" + std::to_string(kWallWidth) + "\r\n@f" +
       std::to_string(kWallHeight) + "\r\n@g10\r\n@h10\r\n@i100\r\n";
  s += "@j " + background_file(lv.theme, lv.variant) + ", 150, 150\r\n";
  s += "; Floor bitmaps\r\n";
  for (const TextureInfo& t : textures)
    if (!t.wall)
      s += "#" + t.name + " = " + t.file + (t.blend ? "%" + std::to_string(t.blend) : "") + "\r\n";
  s += "; Wall bitmaps\r\n";
  for (const TextureInfo& t : textures)
    if (t.wall)
      s += "$" + t.name + " = " + t.file + (t.blend ? "%" + std::to_string(t.blend) : "") + "\r\n";
  s += "; Animated tiles\r\n";
  for (const TileAnimation& a : kTileAnimations) {
    s += std::string(">") + a.name + " =";
    for (int f = 0; f < a.count; ++f)
      s += std::string(f ? "," : "") + " " + a.frames[f] + ", " + std::to_string(a.delay);
    s += "\r\n";
  }
  s += spriteLines;
  if (!s.empty() && s.back() != '\n') s += "\r\n";
  s += sceneryLines;
  s += tiles(lv.theme);
  s += "; Moving cells\r\n" + lv.movingCells;
  s += "; Animated objects\r\n" + lv.animatedObjects;
  return s;
}

}  // namespace

WorldMap build_level_map(int level) {
  return build_level(level).map;
}

std::string level_definition(int level, const std::vector<TextureInfo>& textures,
                             const std::string& spriteLines, const std::string& sceneryLines) {
  return definition_text(build_level(level), textures, spriteLines, sceneryLines);
}

void generate_levels(const std::filesystem::path& outDir, const std::vector<TextureInfo>& textures,
                     const std::string& spriteLines, const std::string& sceneryLines) {
  const std::filesystem::path dir = outDir / "level";
  std::filesystem::create_directories(dir);
  for (int n = 1; n <= kLevelCount; ++n) {
    const std::string stem = "level" + std::to_string(n);
    {
      std::ofstream f(dir / (stem + ".txt"), std::ios::binary | std::ios::trunc);
      f << "[Level]\r\nLevel_def=level\\" << stem << ".def\r\nLevel_map=level\\" << stem
        << ".map\r\nMusic=" << kMusic[level_theme(n)] << "\r\n";
      if (!f) throw std::runtime_error("cannot write " + stem + ".txt");
    }
    const Level lv = build_level(n);
    write_background(outDir / "data", lv.theme, lv.variant, lv.mood.tint, lv.mood.brightness);
    {
      std::ofstream f(dir / (stem + ".def"), std::ios::binary | std::ios::trunc);
      f << definition_text(lv, textures, spriteLines, sceneryLines);
      if (!f) throw std::runtime_error("cannot write " + stem + ".def");
    }
    write_map(dir / (stem + ".map"), lv.map);
  }
}
