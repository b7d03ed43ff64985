// The world grid and placed objects of one level, and their writer in the map file's current
// format (magic -1100, the cell size, the objects, then the cells; little-endian, packed).
#pragma once
#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

struct MapCell {
  int tile = 0;
  std::array<int, 4> up{};    // corner altitudes: 0 (small x, large z), 1 (small x, small z),
  std::array<int, 4> down{};  //   2 (large x, large z), 3 (large x, small z)
  int tint = 0;
  int brightness = 15;
};

struct MapObject {
  int sprite = 0;
  double x = 0, y = 0, z = 0;
  bool mirror = false;
  int tint = 0;
  int brightness = 15;
};

struct WorldMap {
  int columns = 0, rows = 0, cellSize = 0;
  std::vector<MapCell> cells;      // row after row
  std::vector<MapObject> objects;  // objects 1, 2, ... (record 0 is written empty)

  WorldMap(int c, int r, int size) : columns(c), rows(r), cellSize(size), cells(size_t(c) * r) {}
  MapCell& at(int column, int row) { return cells[size_t(row) * columns + column]; }
  const MapCell& at(int column, int row) const { return cells[size_t(row) * columns + column]; }
  bool inside(int column, int row) const {
    return column >= 0 && row >= 0 && column < columns && row < rows;
  }
  // Up-face altitude under (x, z), worked out as the game does (0 outside or on an empty cell).
  double ground(double x, double z) const;
};

// The file's bytes.
std::vector<uint8_t> map_bytes(const WorldMap& map);
void write_map(const std::filesystem::path& path, const WorldMap& map);
