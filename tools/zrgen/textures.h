// Floor and wall bitmaps of the world (data\tex\*.PCX): floors 32 x 32, walls 32 x 256, all
// tiling seamlessly.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

constexpr int kFloorSize = 32;
constexpr int kWallWidth = 32;
constexpr int kWallHeight = 256;

struct TextureInfo {
  std::string name;  // bitmap name in the definition files
  std::string file;  // data path, e.g. "data\tex\GRASS.PCX"
  bool wall = false;
  int blend = 0;  // `%` suffix: transparency table counted from 1, 0 opaque
};

// Draws every texture as a PCX file under dataDir / "tex" and returns them in a fixed order.
std::vector<TextureInfo> generate_textures(const std::filesystem::path& dataDir);
