// The level definition file: engine parameters, the tables of bitmaps, tiles, sprites,
// animations, moving cells and animated objects, and Load_Level, which builds them and then reads
// the map file into the world grid.
#pragma once
#include <cstdint>

#include "engine/core/fileio.h"
#include "world/map.h"

// Engine parameters (kept from one level to the next unless a definition file sets them again).
extern int32_t world_columns;         // @a, 100
extern int32_t world_rows;            // @b, 100
extern int32_t cell_size;             // @c, 12
extern int32_t floor_bitmap_size;     // @d, 32
extern int32_t wall_bitmap_width;     // @e, 32
extern int32_t wall_bitmap_height;    // @f, 256
extern int32_t param_g;               // @g, 10
extern int32_t param_h;               // @h, 10
extern int32_t perspective_distance;  // @i, 100

// Puts the engine parameters and the background scales back to their values at program start
// (tests and fuzzing, so that one level file cannot change how the next is read).
void reset_engine_parameters();

// Capacities.
constexpr int MAX_TILE_NUMBER = 200;  // tiles 1..200; the table has 201 entries
constexpr int MAX_SPRITES = 300;      // sprite numbers 0..298
constexpr int MAX_SPRITE_NUMBER = 298;
constexpr int MAX_OBJECTS = 1000;
constexpr int MAX_BITMAPS = 1000;  // at most 999 used
constexpr int MAX_SPRITE_BITMAPS = 1000;
constexpr int MAX_ANIMATED_BITMAPS = 300;  // at most 299 used
constexpr int MAX_MOV_CELLS = 200;
constexpr int MAX_ANI_OBJECTS = 200;
constexpr int ANIMATION_MAX_FRAMES = 40;
constexpr int PATH_MAX_FRAMES = 30;   // moving cells and animated objects use at most 29
constexpr int BITMAP_NAME_SIZE = 40;  // at most 39 characters
constexpr int LEVEL_LINE_MAX = 9999;
constexpr int LINE_BUFFER_SIZE = 11000;
constexpr int TILE_BUFFER_STRIDE = 256;
constexpr int CELL_OBJECTS_MAX = 15;
constexpr double TIMER_NOT_STARTED = -9999.0;

struct Bitmap {
  char name[BITMAP_NAME_SIZE];
  int32_t offset;  // first pixel in tile_buffer; rows 256 bytes apart
  uint8_t has_transparent;
  uint8_t blend_table;
  uint8_t hash_flag;
};

struct SpriteBitmap {
  char name[BITMAP_NAME_SIZE];
  uint8_t blend_table;
  int16_t height;
  int16_t width;
  uint8_t* pixels;  // height x width bytes
  int16_t animation;
  uint8_t owns_pixels;
};

struct AnimatedBitmap {
  uint8_t active;
  int16_t repeats;  // -1 forever
  uint8_t kind;     // 0 tile animation (Bitmap), 1 sprite animation (SpriteBitmap)
  int16_t target;
  uint8_t frame_count;
  uint8_t current_frame;
  int16_t frames[ANIMATION_MAX_FRAMES];
  int16_t delays[ANIMATION_MAX_FRAMES];
  double countdown;
  int16_t owner_object;  // -1 none
  uint8_t ping_pong;
  uint8_t backwards;
};

struct Tile {
  uint8_t defined;
  int16_t faces[6];    // bitmap index, -1 for NULL: up, down, -x, +z, +x, -z
  int16_t stretch[4];  // faces 3..6
};

struct Sprite {
  uint8_t defined;
  int16_t sprite_bitmap;  // -1 for NULL
  int16_t size_v;
  int16_t size_h;
  uint8_t blend_table;
  int16_t values[8];
};

struct MovingCell {
  int16_t x;
  int16_t z;
  int16_t tile;
  int16_t up_face;
  int16_t down_face;
  uint8_t mode;
  uint8_t frame_count;
  uint8_t current_frame;
  int16_t heights[PATH_MAX_FRAMES];
  int16_t speeds[PATH_MAX_FRAMES];
  int16_t delays[PATH_MAX_FRAMES];
  double timer_a;  // current height; TIMER_NOT_STARTED before the first moving tick
  double timer_b;  // pause left; TIMER_NOT_STARTED while moving
};

struct AnimatedObject {
  int16_t object;  // sprite number while loading, then the object made for it
  uint8_t frame_count;
  uint8_t current_frame;
  int16_t xs[PATH_MAX_FRAMES];
  int16_t ys[PATH_MAX_FRAMES];
  int16_t zs[PATH_MAX_FRAMES];
  int16_t speeds[PATH_MAX_FRAMES];
  int16_t delays[PATH_MAX_FRAMES];
  double step_x[PATH_MAX_FRAMES];
  double step_y[PATH_MAX_FRAMES];
  double step_z[PATH_MAX_FRAMES];
  double leg_time[PATH_MAX_FRAMES];
  double wait;  // TIMER_NOT_STARTED: start at once
  double leg_left;
};

// One extra record per object.
struct ObjectEStuff {
  int16_t private_sprite_bitmap;  // -1 when the object has no private animation
  int16_t private_animation;
  int16_t repeats_left;
};

// One entry per cell (same index as world): the objects listed in the cell, in the order added.
struct CellObjects {
  uint8_t count;
  uint8_t unused;
  int16_t ids[CELL_OBJECTS_MAX];
};
static_assert(sizeof(CellObjects) == 32);

// Tables of the current level (allocated by Load_Level, freed by free_level).
extern Tile* tiles;  // indexed by tile number 0..200
extern Sprite* sprites;
extern WorldObject* objects;
extern ObjectEStuff* Object_EStuff;
extern Bitmap* bitmap_index;
extern SpriteBitmap* sprite_bitmap_index;
extern AnimatedBitmap* animated_bitmap_index;
extern MovingCell* mov_cell_index;
extern AnimatedObject* Ani_Objects_Index;
extern uint8_t* tile_buffer;
extern int32_t tile_buffer_size;
extern Cell* world;  // entry row * world_columns + column
extern CellObjects* tiles_obj;

// Counters.
extern int32_t num_bitmaps;
extern int32_t num_sprite_bitmaps;
extern int32_t num_animated_bitmaps;
extern int32_t num_mov_cells;
extern int32_t num_ani_objects;
extern int32_t last_object;  // highest object in use; objects count from 1

// Builds every table of a level. Returns 0 on success, 1 when the definition file cannot be
// opened; every other failure is fatal.
int Load_Level(const char* definition_file, const char* map_file, int add_animated_objects);
// Frees the level's tables (and anything a stopped load left open).
void free_level();

// Look-ups: upper-case name in place; -1 for NULL, the first equal entry, else -10.
int find_bitmap(char* name);
int find_sprite_bitmap(char* name);
// The animation of a named sprite bitmap, or -1 when unknown or NULL.
int sprite_bitmap_animation(const char* name);

// The line reader: returns 1 with a line in buffer (LINE_BUFFER_SIZE bytes), 0 at end of file.
// A line longer than LEVEL_LINE_MAX characters is fatal.
int read_level_line(ZR_FILE* file, char* buffer);
// Interprets one line of the second pass (also used for the lines a "]" line stands for).
void handle_level_line(const char* line);
