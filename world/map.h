// The map file: the level's objects and its grid of cells, in their stored (packed) form, which
// is also their form in memory.
#pragma once
#include <cstdint>

#pragma pack(push, 1)
struct WorldObject {
  int16_t sprite;
  int16_t sprite_bitmap;
  int16_t size_v;
  int16_t size_h;
  int16_t placed_width;
  uint8_t blend_table;
  uint8_t mirror_h;
  uint8_t mirror_v;
  int16_t values[8];
  double x;
  double y;
  double z;
  int16_t first_column;  // OBJECT_NOT_LISTED when in no cell list
  int16_t row;
  uint8_t tint;
  uint8_t brightness;
};

struct Cell {
  int16_t tile;  // 1..200, 0 for an empty cell
  uint8_t cell_byte_a;
  uint8_t cell_byte_b;
  int16_t up_face_heights[4];
  int16_t down_face_heights[4];
  uint8_t tint;
  uint8_t brightness;
};
#pragma pack(pop)

static_assert(sizeof(WorldObject) == 59);
static_assert(sizeof(Cell) == 22);

constexpr int16_t MAP_MAGIC = -1100;
constexpr int16_t OBJECT_NOT_LISTED = -9999;

// Reads the map into objects and world (a step of Load_Level, after the world has been cleared).
void read_map(const char* name);

// Writes the current format; rows and columns must equal world_rows and world_columns.
void save_map(const char* name, const Cell* cells, int rows, int columns,
              const WorldObject* objects_to_save, int last);

// The map reader pauses 3 seconds after its warnings; headless and test runs turn that off.
void world_set_pauses(bool on);
bool world_pauses();
