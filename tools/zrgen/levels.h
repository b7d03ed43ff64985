// The twenty levels: level\levelN.txt, one definition file and one map file each.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "tools/zrgen/mapfile.h"
#include "tools/zrgen/textures.h"
#include "tools/zrgen/theme.h"

constexpr int kLevelCount = 20;
constexpr int kCellSize = 48;      // 15 rows ahead of the camera reach past the next lane
constexpr int kWorldColumns = 62;  // 2976 units: the ship loops over x 500-2410
constexpr int kWorldRows = 40;
constexpr double kStartX = 1450.0, kStartY = 40.0, kStartZ = 1400.0;
constexpr double kLaneSpacing = 375.0;

// Tiles every theme defines; 42 and 43 are the two the ship may fly through.
enum TileRole : int {
  T_GROUND = 1,
  T_GROUND2 = 2,
  T_LANE = 3,
  T_HILL = 4,
  T_CLIFF = 5,
  T_LIQUID = 6,
  T_BUILDING = 7,
  T_BUILDING2 = 8,
  T_LOWWALL = 9,
  T_FEATURE = 10,
  T_PLATFORM = 11,
  T_GLASS = 12,
  T_PYLON = 13,
  T_GATEFRAME = 42,  // glass gate frame in each lane at both ends of the loop
  T_FIELD = 43,      // translucent warp curtain in each lane at both ends of the loop
};

Theme level_theme(int level);  // 1..20

// The map of one level (deterministic for the level number).
WorldMap build_level_map(int level);

// The definition file's text for one level: parameters, background, bitmaps, the game's sprites
// (`spriteLines`), scenery, tiles, moving cells and animated objects.
std::string level_definition(int level, const std::vector<TextureInfo>& textures,
                             const std::string& spriteLines, const std::string& sceneryLines);

// Writes level\levelN.txt, level\levelN.def and level\levelN.map for every level under outDir.
void generate_levels(const std::filesystem::path& outDir, const std::vector<TextureInfo>& textures,
                     const std::string& spriteLines, const std::string& sceneryLines);
