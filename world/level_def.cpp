#include "world/level_def.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/core/memory.h"
#include "world/background.h"
#include "world/objects.h"
#include "world/pcx.h"
#include "world/world_error.h"

int32_t world_columns = 100;
int32_t world_rows = 100;
int32_t cell_size = 12;
int32_t floor_bitmap_size = 32;
int32_t wall_bitmap_width = 32;
int32_t wall_bitmap_height = 256;
int32_t param_g = 10;
int32_t param_h = 10;
int32_t perspective_distance = 100;

void reset_engine_parameters() {
  world_columns = 100;
  world_rows = 100;
  cell_size = 12;
  floor_bitmap_size = 32;
  wall_bitmap_width = 32;
  wall_bitmap_height = 256;
  param_g = 10;
  param_h = 10;
  perspective_distance = 100;
  background_scale_h = 150;
  background_scale_v = 150;
}

Tile* tiles = nullptr;
Sprite* sprites = nullptr;
WorldObject* objects = nullptr;
ObjectEStuff* Object_EStuff = nullptr;
Bitmap* bitmap_index = nullptr;
SpriteBitmap* sprite_bitmap_index = nullptr;
AnimatedBitmap* animated_bitmap_index = nullptr;
MovingCell* mov_cell_index = nullptr;
AnimatedObject* Ani_Objects_Index = nullptr;
uint8_t* tile_buffer = nullptr;
int32_t tile_buffer_size = 0;
Cell* world = nullptr;
CellObjects* tiles_obj = nullptr;

int32_t num_bitmaps = 0;
int32_t num_sprite_bitmaps = 0;
int32_t num_animated_bitmaps = 0;
int32_t num_mov_cells = 0;
int32_t num_ani_objects = 0;
int32_t last_object = 0;

namespace {

// Largest world side: the map file stores row and column counts in 16 bits.
constexpr int32_t WORLD_MAX_SIDE = 32767;
constexpr int SUPER_NAME_MAX = 41;  // the name buffers of a "]" line hold 42 and 44 bytes
constexpr int SUPER_BASE_MAX = 43;
constexpr int SUPER_MAX_FRAMES = 99;  // frame numbers are two digits

// State of the load in progress (kept here so that free_level can tidy up a stopped load).
ZR_FILE* definition = nullptr;
char* line_buffer = nullptr;
int32_t floor_count = 0;  // "#" and "$" lines counted by the first pass
int32_t wall_count = 0;
int32_t floor_slots = 0;  // slots handed out so far in the second pass
int32_t wall_slots = 0;
bool seen_d = false, seen_e = false, seen_f = false;
// Tile sizes in force when the tile buffer was laid out.
int32_t laid_floor_size = 0, laid_wall_width = 0, laid_wall_height = 0;

bool is_blank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

void upper_case(char* s) {
  for (; *s; ++s)
    if (*s >= 'a' && *s <= 'z') *s = static_cast<char>(*s - 'a' + 'A');
}

void copy_name(char* out, size_t size, const char* name) {
  size_t n = strnlen(name, size - 1);
  std::memcpy(out, name, n);
  out[n] = '\0';
}

// Reads tokens from a line: separators between tokens are skipped along with blanks; a token runs
// up to a blank or to one of the stop characters given for it.
struct Tokens {
  const char* p;

  void skip(const char* separators) {
    while (*p && (is_blank(*p) || std::strchr(separators, *p))) ++p;
  }
  bool more(const char* separators = "=,") {
    skip(separators);
    return *p != '\0';
  }
  // False when the line has ended.
  bool text(const char* stops, char* out, size_t size, const char* separators = "=,") {
    skip(separators);
    if (!*p) return false;
    size_t n = 0;
    while (*p && !is_blank(*p) && !std::strchr(stops, *p)) {
      if (n + 1 < size) out[n++] = *p;
      ++p;
    }
    out[n] = '\0';
    return true;
  }
  bool number(const char* stops, int32_t* value, const char* separators = "=,");
};

// Decimal whole number with an optional sign; text after the digits is ignored, no digits is 0.
int32_t parse_number(const char* s) {
  while (*s && is_blank(*s)) ++s;
  bool negative = false;
  if (*s == '-' || *s == '+') negative = *s++ == '-';
  int64_t v = 0;
  while (*s >= '0' && *s <= '9') {
    v = v * 10 + (*s++ - '0');
    if (v > 2147483647LL) v = 2147483647LL;
  }
  return static_cast<int32_t>(negative ? -v : v);
}

// The number is parsed in place, whole however long the token: its digits end before the blank
// or stop character that ends the token.
bool Tokens::number(const char* stops, int32_t* value, const char* separators) {
  skip(separators);
  if (!*p) return false;
  *value = parse_number(p);
  while (*p && !is_blank(*p) && !std::strchr(stops, *p)) ++p;
  return true;
}

template <typename T>
T* allocate_table(size_t count, const char* label, const char* failure) {
  auto* table = static_cast<T*>(world_calloc(count, sizeof(T)));
  if (!table) world_fatal(0, "%s", failure);
  zr_mem_name(table, label);
  return table;
}

template <typename T>
void free_block(T*& block) {
  if (block) zr_mem_free(block);
  block = nullptr;
}

void free_tables(bool with_background) {
  free_block(tiles_obj);
  free_block(world);
  if (sprite_bitmap_index) {
    for (int i = 0; i < MAX_SPRITE_BITMAPS; ++i)
      if (sprite_bitmap_index[i].owns_pixels && sprite_bitmap_index[i].pixels)
        free_block(sprite_bitmap_index[i].pixels);
  }
  if (with_background) free_background();
  free_block(tile_buffer);
  tile_buffer_size = 0;
  free_block(Ani_Objects_Index);
  free_block(mov_cell_index);
  free_block(animated_bitmap_index);
  free_block(sprite_bitmap_index);
  free_block(bitmap_index);
  free_block(Object_EStuff);
  free_block(objects);
  free_block(sprites);
  free_block(tiles);
  num_bitmaps = num_sprite_bitmaps = num_animated_bitmaps = 0;
  num_mov_cells = num_ani_objects = 0;
  last_object = 0;
}

void close_load() {
  if (definition) zr_io_fclose(definition);
  definition = nullptr;
  free_block(line_buffer);
}

void allocate_tables() {
  tiles = allocate_table<Tile>(MAX_TILE_NUMBER + 1, "tiles in load level",
                               "Not enough memory for 'tiles'");
  sprites = allocate_table<Sprite>(MAX_SPRITES, "sprites in load level",
                                   "Not enoght memory for 'sprites'");
  objects = allocate_table<WorldObject>(MAX_OBJECTS, "objects in load level",
                                        "Not enoght memory for 'objects'");
  Object_EStuff = allocate_table<ObjectEStuff>(MAX_OBJECTS, "objects e_stuff in load level",
                                               "Not enoght memory for 'Object_EStuff'");
  bitmap_index = allocate_table<Bitmap>(MAX_BITMAPS, "bitmap index in load level",
                                        "Not enoght memory for 'bitmap index'");
  sprite_bitmap_index =
      allocate_table<SpriteBitmap>(MAX_SPRITE_BITMAPS, "sprite bitmap index in load level",
                                   "Not enoght memory for 'sprite bitmap index'");
  animated_bitmap_index = allocate_table<AnimatedBitmap>(
      MAX_ANIMATED_BITMAPS, "animated sprite bitmap index in load level",
      "Not enoght memory for 'animated bitmap index'");
  mov_cell_index = allocate_table<MovingCell>(MAX_MOV_CELLS, "mov cell index in load level",
                                              "Not enoght memory for 'mov_cell_index'");
  Ani_Objects_Index =
      allocate_table<AnimatedObject>(MAX_ANI_OBJECTS, "ani objects index in load level",
                                     "Not enoght memory for 'Ani_Objects_Index'\n");
}

int find_in(char* name, const char* (*name_of)(int), int count) {
  upper_case(name);
  if (std::strcmp(name, "NULL") == 0) return -1;
  char key[BITMAP_NAME_SIZE];
  copy_name(key, sizeof key, name);  // stored names keep at most 39 characters
  for (int i = 0; i < count; ++i)
    if (std::strcmp(name_of(i), key) == 0) return i;
  return -10;
}

const char* bitmap_name(int i) {
  return bitmap_index[i].name;
}
const char* sprite_bitmap_name(int i) {
  return sprite_bitmap_index[i].name;
}

// ---- tile buffer ----

int32_t floor_area_size() {
  return ((floor_count - 1) / (256 / laid_floor_size) + 1) * laid_floor_size * 256;
}

void allocate_tile_buffer() {
  // Bitmaps lie in strips 256 pixels wide; a bitmap wider than a strip cannot be placed.
  if (floor_bitmap_size < 1 || floor_bitmap_size > 256 || wall_bitmap_width < 1 ||
      wall_bitmap_width > 256 || wall_bitmap_height < 1 || wall_bitmap_height > 256)
    world_fatal(0, "Wrong size of the tile bitmaps (@d %i, @e %i, @f %i)", floor_bitmap_size,
                wall_bitmap_width, wall_bitmap_height);
  laid_floor_size = floor_bitmap_size;
  laid_wall_width = wall_bitmap_width;
  laid_wall_height = wall_bitmap_height;
  int64_t floors = static_cast<int64_t>(floor_area_size());
  int64_t walls =
      static_cast<int64_t>((wall_count - 1) / (256 / laid_wall_width) + 1) * laid_wall_height * 256;
  int64_t size = floors + walls;
  // The tracker refuses what its 32-bit count cannot hold (and a negative size, made huge here).
  tile_buffer = static_cast<uint8_t*>(world_calloc(static_cast<size_t>(size), 1));
  if (!tile_buffer) world_fatal(0, "Sorry, Not enough memory for tiles");
  zr_mem_name(tile_buffer, "tile buffer in load level");
  tile_buffer_size = static_cast<int32_t>(size);
}

// ---- bitmap lines ----

struct BitmapFile {
  char name[LINE_BUFFER_SIZE];
  uint8_t blend_table = 0;
  uint8_t hash_flag = 0;
};

// FILE may end in "%n" (blend table) and "#" (anchored to the bottom), read left to right.
void split_file_token(const char* token, BitmapFile* file) {
  copy_name(file->name, sizeof file->name, token);
  for (char* p = file->name; *p; ++p) {
    if (*p == '%') {
      file->blend_table = static_cast<uint8_t>(parse_number(p + 1) & 0xFF);
      *p = '\0';
      for (const char* q = token + (p - file->name) + 1; *q; ++q)
        if (*q == '#') file->hash_flag = 1;
      break;
    }
    if (*p == '#') {
      file->hash_flag = 1;
      *p = '\0';
      const char* percent = std::strchr(token + (p - file->name) + 1, '%');
      if (percent) file->blend_table = static_cast<uint8_t>(parse_number(percent + 1) & 0xFF);
      break;
    }
  }
}

void read_name_and_file(Tokens& t, char* name, BitmapFile* file) {
  char raw[LINE_BUFFER_SIZE];
  if (!t.text("=", raw, sizeof raw, "")) raw[0] = '\0';
  upper_case(raw);
  copy_name(name, BITMAP_NAME_SIZE, raw);
  char token[LINE_BUFFER_SIZE];
  if (!t.text("", token, sizeof token)) token[0] = '\0';
  split_file_token(token, file);
}

void tile_bitmap_line(const char* line, bool floor) {
  Tokens t{line + 1};
  char name[BITMAP_NAME_SIZE];
  static BitmapFile file;
  file = BitmapFile{};
  read_name_and_file(t, name, &file);
  if (find_in(name, bitmap_name, num_bitmaps) >= 0)
    world_fatal(0, "Bitmap name already exist : %s", name);
  if (num_bitmaps >= MAX_BITMAPS - 1) world_fatal(0, "Too many bitmaps");

  // Floor and wall bitmaps are numbered by their own slots so that they never overlap.
  int32_t slot = floor ? floor_slots : wall_slots;
  int32_t slot_width = floor ? laid_floor_size : laid_wall_width;
  int32_t slot_height = floor ? laid_floor_size : laid_wall_height;
  int32_t p = slot * slot_width;
  int64_t offset = floor ? int64_t(p / 256) * laid_floor_size * 256 + p % 256
                         : floor_area_size() + int64_t(p / 256) * laid_wall_height * 256 + p % 256;
  if (slot >= (floor ? floor_count : wall_count) ||
      offset + int64_t(slot_height - 1) * 256 + slot_width > tile_buffer_size)
    world_fatal(0, "Too many bitmaps");

  Picture picture{};
  load_pcx_file(file.name, 236, 10, 10, &picture);
  Bitmap& b = bitmap_index[num_bitmaps];
  copy_name(b.name, sizeof b.name, name);
  b.offset = static_cast<int32_t>(offset);
  b.blend_table = file.blend_table;
  b.hash_flag = file.hash_flag;
  b.has_transparent = 0;
  int rows = std::min(picture.height, slot_height);
  int columns = std::min(picture.width, slot_width);
  for (int y = 0; y < rows; ++y) {
    const uint8_t* src = picture.pixels + static_cast<size_t>(y) * picture.width;
    uint8_t* dst = tile_buffer + b.offset + y * 256;
    std::memcpy(dst, src, columns);
    if (!b.has_transparent && std::memchr(src, 0, columns)) b.has_transparent = 1;
  }
  zr_mem_free(picture.pixels);
  ++num_bitmaps;
  if (floor)
    ++floor_slots;
  else
    ++wall_slots;
}

void sprite_bitmap_line(const char* line) {
  Tokens t{line + 1};
  char name[BITMAP_NAME_SIZE];
  static BitmapFile file;
  file = BitmapFile{};
  read_name_and_file(t, name, &file);
  if (find_in(name, sprite_bitmap_name, num_sprite_bitmaps) >= 0)
    world_fatal(0, "Sprite Bitmap name already exist : %s", name);
  if (num_sprite_bitmaps >= MAX_SPRITE_BITMAPS - 1) world_fatal(0, "Too many Sprite Bitmaps!");
  Picture picture{};
  load_pcx_file(file.name, 236, 10, 10, &picture);
  // The picture's block becomes the entry's own.
  zr_mem_name(picture.pixels, "1 sprite bitmap index DATA in load level");
  SpriteBitmap& s = sprite_bitmap_index[num_sprite_bitmaps++];
  copy_name(s.name, sizeof s.name, name);
  s.blend_table = file.blend_table;
  s.height = static_cast<int16_t>(picture.height);
  s.width = static_cast<int16_t>(picture.width);
  s.pixels = picture.pixels;
  s.animation = -1;
  s.owns_pixels = 1;
}

// ---- animations ----

void animation_line(const char* line) {
  bool tile_animation = line[0] == '>';
  Tokens t{line + 1};
  t.skip("");
  bool ping_pong = *t.p == '*';
  if (ping_pong) ++t.p;
  char name[LINE_BUFFER_SIZE];
  if (!t.text("=", name, sizeof name, "")) name[0] = '\0';
  upper_case(name);
  name[BITMAP_NAME_SIZE - 1] = '\0';
  if (tile_animation) {
    if (find_in(name, bitmap_name, num_bitmaps) >= 0)
      world_fatal(0, "Bitmap name already exist : %s", name);
  } else if (find_in(name, sprite_bitmap_name, num_sprite_bitmaps) >= 0) {
    world_error("Sprite Bitmap name already exist : %s", name);
  }

  AnimatedBitmap a{};
  int count = 0;
  char frame[LINE_BUFFER_SIZE];
  while (t.text(",", frame, sizeof frame)) {
    if (count >= ANIMATION_MAX_FRAMES)
      world_error("You cant have more than %i frames in animated bitmap : %s", ANIMATION_MAX_FRAMES,
                  name);
    // A frame must name a picture: NULL has none to show.
    int index = tile_animation ? find_in(frame, bitmap_name, num_bitmaps)
                               : find_in(frame, sprite_bitmap_name, num_sprite_bitmaps);
    if (index < 0)
      world_fatal(0, tile_animation ? "Bitmap doesn't exist %s" : "Sprite Bitmap doesn't exist %s",
                  frame);
    int32_t delay = 0;
    if (!t.number(",", &delay))
      world_fatal(0, "Delay Parameter missing in animated bitmap %s", name);
    if (count < ANIMATION_MAX_FRAMES) {
      a.frames[count] = static_cast<int16_t>(index);
      a.delays[count] = static_cast<int16_t>(delay);
    }
    ++count;
  }
  if (count == 0) world_fatal(0, "An animated bitmap should have at least 1 frame! -> %s", name);
  if (num_animated_bitmaps >= MAX_ANIMATED_BITMAPS - 1)
    world_fatal(0, "Too many animated Bitmaps!");

  int animation = num_animated_bitmaps;
  if (tile_animation) {
    if (num_bitmaps >= MAX_BITMAPS - 1) world_fatal(0, "Too many bitmaps");
    const Bitmap& first = bitmap_index[a.frames[0]];
    Bitmap& b = bitmap_index[num_bitmaps];
    b = first;
    copy_name(b.name, sizeof b.name, name);
    a.target = static_cast<int16_t>(num_bitmaps++);
  } else {
    if (num_sprite_bitmaps >= MAX_SPRITE_BITMAPS - 1) world_fatal(0, "Too many Sprite Bitmaps!");
    const SpriteBitmap& first = sprite_bitmap_index[a.frames[0]];
    SpriteBitmap& s = sprite_bitmap_index[num_sprite_bitmaps];
    s = SpriteBitmap{};
    copy_name(s.name, sizeof s.name, name);
    s.height = first.height;
    s.width = first.width;
    s.pixels = first.pixels;
    s.blend_table = first.blend_table;
    s.owns_pixels = 0;
    s.animation = static_cast<int16_t>(animation);
    a.target = static_cast<int16_t>(num_sprite_bitmaps++);
  }
  a.kind = tile_animation ? 0 : 1;
  a.frame_count = static_cast<uint8_t>(std::min(count, ANIMATION_MAX_FRAMES));
  a.current_frame = 0;
  a.backwards = 0;
  a.ping_pong = ping_pong ? 1 : 0;
  a.countdown = a.delays[0];
  a.active = 1;
  a.repeats = -1;
  a.owner_object = -1;
  animated_bitmap_index[num_animated_bitmaps++] = a;
}

// "] [*]NAME = BASE, COUNT, DELAY" stands for COUNT "^" lines and one "<" line.
void super_animation_line(const char* line) {
  Tokens t{line + 1};
  t.skip("");
  bool ping_pong = *t.p == '*';
  if (ping_pong) ++t.p;
  char name[LINE_BUFFER_SIZE], base[LINE_BUFFER_SIZE];
  int32_t count = 0, delay = 0;
  bool has_name = t.text("=", name, sizeof name, "");
  if (!has_name) name[0] = '\0';
  name[SUPER_NAME_MAX] = '\0';
  if (!has_name || !t.text(",", base, sizeof base) || !t.number(",", &count) ||
      !t.number(",", &delay))
    world_fatal(0, "Parameters missing in super animated bitmap %s", name);
  base[SUPER_BASE_MAX] = '\0';
  if (count > SUPER_MAX_FRAMES)
    world_fatal(0, "Too many frames in super animated bitmap %s (at most %i)", name,
                SUPER_MAX_FRAMES);

  auto two_digits = [](std::string& text, int k) {
    text += static_cast<char>('0' + k / 10);
    text += static_cast<char>('0' + k % 10);
  };
  for (int k = 0; k < count; ++k) {
    std::string frame_line = "^";
    frame_line.append(name);
    two_digits(frame_line, k);
    frame_line += '=';
    frame_line.append(base);
    two_digits(frame_line, k);
    frame_line.append(".PCX");
    handle_level_line(frame_line.c_str());
  }
  std::string animation = ping_pong ? "<*" : "<";
  animation.append(name);
  animation += '=';
  for (int k = 0; k < count; ++k) {
    if (k) animation += ',';
    animation.append(name);
    two_digits(animation, k);
    animation += ',';
    animation.append(std::to_string(delay));
  }
  handle_level_line(animation.c_str());
}

// ---- tiles and sprites ----

void tile_line(const char* line) {
  Tokens t{line + 1};
  int32_t n = 0;
  t.number("=", &n, "");
  if (n < 1 || n > MAX_TILE_NUMBER) world_fatal(0, "Wrong tile number : %i", n);
  if (tiles[n].defined) world_fatal(0, "Tile number already defined : %i", n);
  char faces[6][LINE_BUFFER_SIZE];
  for (auto& face : faces)
    if (!t.text(",", face, sizeof face)) world_fatal(0, "Very Few parameters in tile number %i", n);
  Tile& tile = tiles[n];
  for (int f = 0; f < 6; ++f) {
    char* face = faces[f];
    upper_case(face);
    size_t length = std::strlen(face);
    bool stretch = length > 0 && face[length - 1] == '!';
    if (stretch) {
      if (f < 2) world_fatal(0, "ERROR: You couldn't use the property '!' for floors - Tile %i", n);
      face[length - 1] = '\0';
      tile.stretch[f - 2] = 1;
    }
    int index = find_in(face, bitmap_name, num_bitmaps);
    if (index == -10) world_fatal(0, "Bitmap name don't exist : %s", face);
    tile.faces[f] = static_cast<int16_t>(index);
  }
  tile.defined = 1;
}

int16_t sprite_size(int32_t value, int picture_size) {
  if (value >= 0) return static_cast<int16_t>(value);
  return static_cast<int16_t>(
      static_cast<int64_t>(picture_size * -static_cast<double>(value) * 0.01));
}

void sprite_line(const char* line) {
  Tokens t{line + 1};
  int32_t n = 0;
  t.number("=", &n, "");
  if (n < 0 || n > MAX_SPRITE_NUMBER) world_fatal(0, "Wrong sprite number : %i", n);
  if (sprites[n].defined) world_fatal(0, "Sprite number already defined : %i", n);
  // The bitmap's name (value 1), then values 2 to 12.
  char bitmap[LINE_BUFFER_SIZE];
  int32_t values[13] = {};
  if (!t.text(",", bitmap, sizeof bitmap))
    world_fatal(0, "Very Few parameters in sprite number %i", n);
  for (int i = 2; i <= 12; ++i)
    if (!t.number(",", &values[i])) world_fatal(0, "Very Few parameters in sprite number %i", n);
  int index = find_in(bitmap, sprite_bitmap_name, num_sprite_bitmaps);
  if (index == -10) world_fatal(0, "Sprite Bitmap name don't exist : %s", bitmap);
  Sprite& s = sprites[n];
  // A NULL bitmap has no size to take a percentage of.
  int height = index >= 0 ? sprite_bitmap_index[index].height : 0;
  int width = index >= 0 ? sprite_bitmap_index[index].width : 0;
  s.sprite_bitmap = static_cast<int16_t>(index);
  s.size_v = sprite_size(values[2], height);
  s.size_h = sprite_size(values[3], width);
  s.blend_table = static_cast<uint8_t>(values[4] & 0xFF);
  for (int i = 0; i < 8; ++i) s.values[i] = static_cast<int16_t>(values[5 + i]);
  s.defined = 1;
}

// ---- moving cells and animated objects ----

void moving_cell_line(const char* line) {
  Tokens t{line + 1};
  int32_t z = 0, x = 0, tile = 0, up = 0, down = 0, mode = 0;
  bool complete = t.number(",", &z, "") && t.number("=", &x, ",") && t.number(",", &tile) &&
                  t.number(",", &up) && t.number(",", &down) && t.number(",", &mode);
  if (!complete) world_fatal(0, "Parameters missing in moving cell -> z:%i x:%i", z, x);
  if (tile < 1 || tile > MAX_TILE_NUMBER || !tiles[tile].defined)
    world_fatal(0, "A tile number used by an animated cell, is NOT defined! ->%i", tile);
  if (up < down)
    world_error("The down face altitude cant be higher than the up face in moving cell: %i %i", z,
                x);
  if (num_mov_cells >= MAX_MOV_CELLS)
    world_fatal(0, "Too many moving cells! ( at most %i )", MAX_MOV_CELLS);
  MovingCell m{};
  int count = 0;
  bool reported = false;
  int32_t height = 0, speed = 0, delay = 0;
  while (t.number(",", &height)) {
    if (!t.number(",", &speed))
      world_fatal(0, "Speed parameter missing in moving cell -> %i x:%i", z, x);
    if (!t.number(",", &delay))
      world_fatal(0, "Delay parameter missing in moving cell -> %i x:%i", z, x);
    if (count >= PATH_MAX_FRAMES - 1) {
      if (!reported)
        world_error("You cant have more than %i frames per moving cell", PATH_MAX_FRAMES);
      reported = true;
      continue;
    }
    m.heights[count] = static_cast<int16_t>(height);
    m.speeds[count] = static_cast<int16_t>(speed);
    m.delays[count] = static_cast<int16_t>(delay);
    ++count;
  }
  if (count < 2) world_fatal(0, "A moving cell should have at least 2 frames! -> %i x:%i", z, x);
  m.x = static_cast<int16_t>(x);
  m.z = static_cast<int16_t>(z);
  m.tile = static_cast<int16_t>(tile);
  m.up_face = static_cast<int16_t>(up);
  m.down_face = static_cast<int16_t>(down);
  m.mode = static_cast<uint8_t>(mode);
  m.frame_count = static_cast<uint8_t>(count);
  m.current_frame = 0;
  m.timer_a = TIMER_NOT_STARTED;
  m.timer_b = TIMER_NOT_STARTED;
  mov_cell_index[num_mov_cells++] = m;
}

void animated_object_line(const char* line) {
  Tokens t{line + 1};
  int32_t n = 0;
  t.number("=", &n, "");
  if (n < 0 || n > MAX_SPRITE_NUMBER || !sprites[n].defined)
    world_fatal(0, "An Sprite number used by an animated objetc, is NOT defined! -> %i", n);
  if (num_ani_objects >= MAX_ANI_OBJECTS)
    world_fatal(0, "Too many animated objects! ( at most %i )", MAX_ANI_OBJECTS);
  static AnimatedObject a;
  a = AnimatedObject{};
  int count = 0;
  bool reported = false;
  int32_t px = 0, py = 0, pz = 0, speed = 0, delay = 0;
  while (t.number(",", &px)) {
    if (!t.number(",", &py)) world_fatal(0, "'Y' parameter missing in animated object -> %i", n);
    if (!t.number(",", &pz)) world_fatal(0, "'Z' parameter missing in animated object -> %i", n);
    if (!t.number(",", &speed))
      world_fatal(0, "Speed parameter missing in animated object -> %i", n);
    if (!t.number(",", &delay))
      world_fatal(0, "Delay parameter missing in animated object -> %i", n);
    if (count >= PATH_MAX_FRAMES - 1) {
      if (!reported)
        world_error("You cant have more than %i frames per animated object", PATH_MAX_FRAMES);
      reported = true;
      continue;
    }
    a.xs[count] = static_cast<int16_t>(px);
    a.ys[count] = static_cast<int16_t>(py);
    a.zs[count] = static_cast<int16_t>(pz);
    a.speeds[count] = static_cast<int16_t>(speed);
    a.delays[count] = static_cast<int16_t>(delay);
    ++count;
  }
  if (count == 0) world_fatal(0, "An animated objectl should have at least 1 frame! -> %i", n);
  // The path is closed: the last leg returns to point 0.
  for (int k = 0; k < count; ++k) {
    int e = (k + 1) % count;
    double dx = a.xs[e] - a.xs[k], dy = a.ys[e] - a.ys[k], dz = a.zs[e] - a.zs[k];
    double length = std::sqrt(dx * dx + dy * dy + dz * dz);
    // A leg of no length or no speed takes no time and moves nothing.
    if (length == 0.0 || a.speeds[k] == 0) continue;
    a.leg_time[k] = length / a.speeds[k];
    a.step_x[k] = dx / a.leg_time[k];
    a.step_y[k] = dy / a.leg_time[k];
    a.step_z[k] = dz / a.leg_time[k];
  }
  a.object = static_cast<int16_t>(n);
  a.frame_count = static_cast<uint8_t>(count);
  a.current_frame = 0;
  a.wait = TIMER_NOT_STARTED;
  a.leg_left = a.leg_time[0];
  Ani_Objects_Index[num_ani_objects++] = a;
}

// ---- engine parameters ----

void parameter_line(const char* line) {
  char letter = line[1];
  if (letter == 'j') {
    Tokens t{line + 2};
    char file[LINE_BUFFER_SIZE];
    if (!t.text(",", file, sizeof file, "")) file[0] = '\0';
    load_background(file);
    int32_t scale = 0;
    if (!t.number(",", &scale)) world_fatal(0, "Parameter missing in Background (hor)");
    background_scale_h = scale;
    if (scale < 100) world_error("*Scale for background should be at least 100 -> %i", scale);
    if (!t.number(",", &scale)) world_fatal(0, "Parameter missing in Background (ver)\n");
    background_scale_v = scale;
    if (scale < 100) world_error("Scale for background should be at least 100 -> %i", scale);
    return;
  }
  if (letter < 'a' || letter > 'i') return;
  int32_t value = parse_number(line + 2);
  int32_t* parameters[] = {&world_columns,     &world_rows,        &cell_size,
                           &floor_bitmap_size, &wall_bitmap_width, &wall_bitmap_height,
                           &param_g,           &param_h,           &perspective_distance};
  // The tile buffer is laid out with the sizes in force when it was made.
  if (tile_buffer &&
      ((letter == 'd' && value != laid_floor_size) || (letter == 'e' && value != laid_wall_width) ||
       (letter == 'f' && value != laid_wall_height)))
    world_fatal(0, "The size of the tile bitmaps cant change after the tile buffer is made (@%c)",
                letter);
  *parameters[letter - 'a'] = value;
  if (letter == 'd') seen_d = true;
  if (letter == 'e') seen_e = true;
  if (letter == 'f') seen_f = true;
}

// ---- after the last line ----

void check_world_parameters() {
  if (world_columns < 1 || world_columns > WORLD_MAX_SIDE || world_rows < 1 ||
      world_rows > WORLD_MAX_SIDE)
    world_fatal(0, "Wrong size of the world : %i x %i", world_columns, world_rows);
  if (cell_size < 1) world_fatal(0, "Wrong cell size : %i", cell_size);
  for (int i = 0; i < num_mov_cells; ++i) {
    const MovingCell& m = mov_cell_index[i];
    if (m.x < 0 || m.x >= world_columns || m.z < 0 || m.z >= world_rows)
      world_fatal(0, "A moving cell lies outside the world -> z:%i x:%i", m.z, m.x);
  }
}

void allocate_world() {
  size_t cells = static_cast<size_t>(world_columns) * world_rows;
  world = static_cast<Cell*>(world_malloc(cells * sizeof(Cell)));
  if (!world) world_fatal(0, "Not enough memory for 'world'");
  zr_mem_name(world, "world in load level");
  tiles_obj = static_cast<CellObjects*>(world_malloc(cells * sizeof(CellObjects)));
  if (!tiles_obj) world_fatal(0, "Not enough memory for 'tiles_obj'");
  zr_mem_name(tiles_obj, "tiles obj in load level");
}

void reset_level() {
  for (int i = 0; i < num_animated_bitmaps; ++i) {
    animated_bitmap_index[i].active = 1;
    animated_bitmap_index[i].repeats = -1;
    animated_bitmap_index[i].owner_object = -1;
  }
  size_t cells = static_cast<size_t>(world_columns) * world_rows;
  Cell cleared{};
  cleared.brightness = 15;
  std::fill(world, world + cells, cleared);
  std::memset(tiles_obj, 0, cells * sizeof(CellObjects));
  for (int i = 0; i < MAX_OBJECTS; ++i) Object_EStuff[i].private_sprite_bitmap = -1;
}

void add_animated_objects() {
  for (int i = 0; i < num_ani_objects; ++i) {
    AnimatedObject& a = Ani_Objects_Index[i];
    if (last_object + 1 >= MAX_OBJECTS) world_fatal(0, "I cant create more objects\n\n");
    WorldObject& o = objects[++last_object];
    o = WorldObject{};
    o.sprite = a.object;
    o.x = a.xs[0];
    o.y = a.ys[0];
    o.z = a.zs[0];
    o.mirror_h = 0;
    o.mirror_v = 0;
    o.tint = 0;
    o.brightness = 15;
    a.object = static_cast<int16_t>(last_object);
  }
}

void count_bitmap_lines() {
  floor_count = wall_count = 0;
  while (read_level_line(definition, line_buffer)) {
    if (line_buffer[0] == '#') ++floor_count;
    if (line_buffer[0] == '$') ++wall_count;
  }
}

}  // namespace

int read_level_line(ZR_FILE* file, char* buffer) {
  int length = 0;
  int counted = 0;
  bool any = false;
  for (;;) {
    int c = zr_io_fgetc(file);
    if (c == EOF) {
      if (!any) return 0;
      break;
    }
    any = true;
    if (c == 13) {
      zr_io_fgetc(file);  // the line feed
      break;
    }
    if (++counted > LEVEL_LINE_MAX) world_fatal(0, "ERROR : Line is too long! ( maximun 9999 )");
    if (c >= 32) buffer[length++] = static_cast<char>(c);
  }
  buffer[length] = '\0';
  return 1;
}

void handle_level_line(const char* line) {
  if (seen_d && seen_e && seen_f && !tile_buffer) allocate_tile_buffer();
  switch (line[0]) {
    case ']':
      super_animation_line(line);
      break;
    case '@':
      parameter_line(line);
      break;
    case '#':
    case '$':
    case '^':
      if (!tile_buffer) world_fatal(0, "ERROR FATAL!!!");
      if (line[0] == '^')
        sprite_bitmap_line(line);
      else
        tile_bitmap_line(line, line[0] == '#');
      break;
    case '>':
    case '<':
      animation_line(line);
      break;
    case '%':
      tile_line(line);
      break;
    case '&':
      sprite_line(line);
      break;
    case '*':
      moving_cell_line(line);
      break;
    case '+':
      animated_object_line(line);
      break;
    default:
      break;  // comments and blank lines
  }
}

int Load_Level(const char* definition_file, const char* map_file, int add_animated) {
  // A previous level that was not freed is released first.
  close_load();
  free_tables(false);

  line_buffer = static_cast<char*>(world_malloc(LINE_BUFFER_SIZE));
  if (!line_buffer) world_fatal(0, "Not enough memory for 'buffer' in Load_Level()");
  zr_mem_name(line_buffer, "buffer in load level");
  definition = zr_io_fopen(definition_file, "rb");
  if (!definition) {
    free_block(line_buffer);
    return 1;
  }
  allocate_tables();
  seen_d = seen_e = seen_f = false;
  floor_slots = wall_slots = 0;

  count_bitmap_lines();
  zr_io_fclose(definition);
  definition = zr_io_fopen(definition_file, "rb");
  if (!definition) world_fatal(0, "Cant open the file : %s", definition_file);
  while (read_level_line(definition, line_buffer)) handle_level_line(line_buffer);
  zr_io_fclose(definition);
  definition = nullptr;

  check_world_parameters();
  allocate_world();
  reset_level();
  reset_object_reports();
  read_map(map_file);
  size_t cells = static_cast<size_t>(world_columns) * world_rows;
  for (size_t i = 0; i < cells; ++i) {
    if (world[i].tint > 15) world[i].tint = 0;
    if (world[i].brightness > 15) world[i].brightness = 15;
  }
  if (add_animated) add_animated_objects();
  for (int i = 1; i <= last_object; ++i) complete_object(i);
  relink_objects(1);
  free_block(line_buffer);
  return 0;
}

void free_level() {
  close_load();
  free_tables(true);
}

int find_bitmap(char* name) {
  return find_in(name, bitmap_name, bitmap_index ? num_bitmaps : 0);
}

int find_sprite_bitmap(char* name) {
  return find_in(name, sprite_bitmap_name, sprite_bitmap_index ? num_sprite_bitmaps : 0);
}

int sprite_bitmap_animation(const char* name) {
  char key[LINE_BUFFER_SIZE];
  copy_name(key, sizeof key, name);
  int index = find_sprite_bitmap(key);
  return index < 0 ? -1 : sprite_bitmap_index[index].animation;
}
