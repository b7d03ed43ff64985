#include "world/renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/core/memory.h"
#include "world/background.h"
#include "world/edit_font.h"
#include "world/frame_target.h"
#include "world/level_def.h"
#include "world/render_faces.h"
#include "world/transparency.h"
#include "world/world_error.h"

int32_t cell_lighting = 0;
int32_t object_lighting = 0;
int32_t fade_start = 8;
double fade_factor = 1.0;
int32_t view_shift = 0;
int32_t depth_rows = 15;
uint8_t* row_length = nullptr;
int32_t draw_floors = 1;
int32_t draw_walls = 1;

int32_t overlay_enabled = 1;
uint8_t overlay_line_colour = 255;
uint8_t overlay_text_colour = 255;

double camera_x = 10.0;
double camera_y = 10.0;
double camera_z = 10.0;

namespace {

uint8_t* work_area = nullptr;

// Projected positions are kept within this many pixels of the origin: far enough that nothing
// visible changes, near enough that 16.16 arithmetic in 64 bits cannot overflow.
constexpr double COORD_LIMIT = 4194304.0;
// Relative heights and depths handed to the perspective division, in 1/16 world unit.
constexpr double FIXED_UNIT = 16.0;
constexpr double FIXED_LIMIT = 16777216.0;
// Faces 1..6 in the tile's table.
constexpr int FACE_UP = 0, FACE_DOWN = 1, FACE_LEFT = 2, FACE_NEAR = 3, FACE_RIGHT = 4,
              FACE_FAR = 5;

int64_t clamp_trunc(double v, double limit) {
  if (!(v > -limit)) return static_cast<int64_t>(-limit);  // NaN lands here too
  if (v > limit) return static_cast<int64_t>(limit);
  return static_cast<int64_t>(v);
}

int64_t fixed(double v) {
  return clamp_trunc(v * FIXED_UNIT, FIXED_LIMIT);
}

// Everything one frame needs, worked out once in draw_world.
struct Frame {
  RenderTarget target;
  double cam_x, cam_y, cam_z;
  int64_t centre_x, centre_y;  // centre_y includes the horizon shift
  int64_t px, py;
  double wall_world_height;  // world height of one repeat of a wall bitmap
  bool overlay;
  int64_t overlay_column, overlay_row;
  bool floors_ok, walls_ok;         // the bitmap sizes allow drawing them
  int64_t floor_reach, wall_reach;  // last byte read past a floor or a wall bitmap's offset
};

int64_t screen_x(const Frame& f, double dx, double dz) {
  return f.centre_x + clamp_trunc(static_cast<double>(f.px) * dx / dz, COORD_LIMIT);
}
int64_t screen_y(const Frame& f, double dy, double dz) {
  return f.centre_y - clamp_trunc(static_cast<double>(f.py) * dy / dz, COORD_LIMIT);
}

// A cell of the world, or nullptr outside it.
Cell* cell_at(int64_t column, int64_t row) {
  if (world == nullptr || column < 0 || row < 0 || column >= world_columns || row >= world_rows) {
    return nullptr;
  }
  return &world[row * world_columns + column];
}

const Tile* tile_of(const Cell* cell) {
  if (cell == nullptr || tiles == nullptr || cell->tile < 1 || cell->tile > MAX_TILE_NUMBER) {
    return nullptr;
  }
  const Tile* tile = &tiles[cell->tile];
  return tile->defined ? tile : nullptr;
}

// The face's bitmap, or nullptr for NULL, an unknown index or a slot that would reach past the
// end of tile_buffer.
// reach: how far past its offset a bitmap of the kind is read (floor_reach or wall_reach).
const Bitmap* face_bitmap(const Tile& tile, int face, int64_t reach) {
  const int index = tile.faces[face];
  if (index < 0 || index >= num_bitmaps || bitmap_index == nullptr || tile_buffer == nullptr) {
    return nullptr;
  }
  const Bitmap* bitmap = &bitmap_index[index];
  if (bitmap->offset < 0 || bitmap->offset + reach >= tile_buffer_size) return nullptr;
  return bitmap;
}

const uint8_t* blend_table_for(int n) {
  if (n < 1 || n > num_trans_tables || n > MAX_TRANS_TABLES) return nullptr;
  return trans_tables[n - 1];
}

// The colour map of a tint and brightness seen depth rows away; nullptr where pixels are written
// unchanged (the default map).
const uint8_t* lit_colour_map(int tint, int brightness, int depth) {
  double b = brightness;
  if (depth > fade_start) b = std::trunc(b - (depth - fade_start) * fade_factor);
  if (!(b >= 0.0)) b = 0.0;
  if (b > 15.0) b = 15.0;
  const uint8_t* map = colour_map_row(std::min(tint, 15), static_cast<int>(b));
  return map == default_colour_map ? nullptr : map;
}

PixelRule face_rule(const Bitmap& bitmap, const uint8_t* colour_map, bool skip_zero) {
  PixelRule rule{blend_table_for(bitmap.blend_table), nullptr, skip_zero};
  if (rule.blend == nullptr) rule.colour_map = colour_map;
  return rule;
}

// The cell's outline relative to the camera, its near edge cut at the near plane.
struct CellShape {
  double x0, x1;  // relative x of the smaller-x and larger-x sides
  double z_far;   // depth of the far edge
  double z_near;  // depth of the near edge, at least NEAR_PLANE
  double kept;    // fraction of the depth kept (1 when not cut)
  bool cut;
  double up[4], down[4];  // relative heights of the corners (near ones at the cut)
};

CellShape cell_shape(const Frame& f, const Cell& cell, int64_t column, int64_t row) {
  CellShape s{};
  s.x0 = static_cast<double>(column) * cell_size - f.cam_x;
  s.x1 = s.x0 + cell_size;
  s.z_far = f.cam_z - static_cast<double>(row) * cell_size;
  const double z_near = s.z_far - cell_size;
  s.cut = z_near < NEAR_PLANE;
  s.kept = s.cut ? (s.z_far - NEAR_PLANE) / cell_size : 1.0;
  s.z_near = s.cut ? NEAR_PLANE : z_near;
  for (int i = 0; i < 4; ++i) {
    s.up[i] = cell.up_face_heights[i] - f.cam_y;
    s.down[i] = cell.down_face_heights[i] - f.cam_y;
  }
  // Corners 0 and 2 are near, 1 and 3 far: pull each near corner towards its far one.
  for (double* h : {s.up, s.down}) {
    h[0] = h[1] + (h[0] - h[1]) * s.kept;
    h[2] = h[3] + (h[2] - h[3]) * s.kept;
  }
  return s;
}

// Up face (heights = up) or down face: spans when level along x, else the polygon filler.
void draw_floor_face(const Frame& f, const Cell& cell, const CellShape& s, const Bitmap& bitmap,
                     bool up, bool near, const uint8_t* colour_map) {
  const double* h = up ? s.up : s.down;
  const int16_t* stored = up ? cell.up_face_heights : cell.down_face_heights;
  const uint8_t* texels = tile_buffer + bitmap.offset;
  const PixelRule rule = face_rule(bitmap, colour_map, false);

  if (stored[0] == stored[2]) {
    FlatFace face{};
    face.far_row = screen_y(f, h[1], s.z_far);
    face.near_row = screen_y(f, h[0], s.z_near);
    if (up ? face.far_row >= face.near_row : face.far_row <= face.near_row) return;
    face.far_left = screen_x(f, s.x0, s.z_far);
    face.far_right = screen_x(f, s.x1, s.z_far);
    face.near_left = screen_x(f, s.x0, s.z_near);
    face.near_right = screen_x(f, s.x1, s.z_near);
    face.texture_far = 0;
    face.texture_near =
        static_cast<int64_t>(std::max<double>(floor_bitmap_size * 65536.0 - 75000.0, 0.0) * s.kept);
    face.perspective = near;
    face.dy_far = fixed(h[1]);
    face.dz_far = fixed(s.z_far);
    face.dy_near = fixed(h[0]);
    face.dz_near = fixed(s.z_near);
    face.centre_y = f.centre_y;
    face.projection_y = f.py;
    draw_flat_face(f.target, face, texels, floor_bitmap_size, rule);
    return;
  }

  const int32_t u_low = 64;
  const int32_t u_high = floor_bitmap_size * 256 - 64;
  const int32_t v_far = 64;
  const int32_t v_near = static_cast<int32_t>(256.0 * (floor_bitmap_size - 1.15) * s.kept - 64.0);
  const SlopedCorner corners[4] = {
      {screen_x(f, s.x0, s.z_far), screen_y(f, h[1], s.z_far), u_low, v_far},
      {screen_x(f, s.x1, s.z_far), screen_y(f, h[3], s.z_far), u_high, v_far},
      {screen_x(f, s.x1, s.z_near), screen_y(f, h[2], s.z_near), u_high, v_near},
      {screen_x(f, s.x0, s.z_near), screen_y(f, h[0], s.z_near), u_low, v_near},
  };
  const int64_t far_rows = corners[0].y + corners[1].y;
  const int64_t near_rows = corners[2].y + corners[3].y;
  if (up ? far_rows >= near_rows : far_rows <= near_rows) return;
  draw_sloped_face(f.target, corners, texels, floor_bitmap_size, rule);
}

// One end of a side face: its relative x and depth, the corner heights and the texture column.
struct SideEnd {
  double dx, dz;
  double top, bottom;  // relative heights of the up and down faces there
  double texture;      // texture column, in texels
};

void draw_wall_face(const Frame& f, const Bitmap& bitmap, bool stretch, const SideEnd& l,
                    const SideEnd& r, bool near, const uint8_t* colour_map) {
  SideFace face{};
  face.left_x = screen_x(f, l.dx, l.dz);
  face.right_x = screen_x(f, r.dx, r.dz);
  if (face.right_x <= face.left_x) return;
  face.left_top = screen_y(f, l.top, l.dz);
  face.left_bottom = screen_y(f, l.bottom, l.dz);
  face.right_top = screen_y(f, r.top, r.dz);
  face.right_bottom = screen_y(f, r.bottom, r.dz);
  face.left_height = clamp_trunc(f.py * f.wall_world_height / l.dz, COORD_LIMIT);
  face.right_height = clamp_trunc(f.py * f.wall_world_height / r.dz, COORD_LIMIT);
  face.texture_left = static_cast<int64_t>(l.texture * 65536.0);
  face.texture_right = static_cast<int64_t>(r.texture * 65536.0);
  face.perspective = near;
  face.dx_left = fixed(l.dx);
  face.dz_left = fixed(l.dz);
  face.dx_right = fixed(r.dx);
  face.dz_right = fixed(r.dz);
  face.centre_x = f.centre_x;
  face.projection_x = f.px;
  face.stretch = stretch;
  face.anchor_bottom = bitmap.hash_flag != 0;
  draw_side_face(f.target, face, tile_buffer + bitmap.offset, wall_bitmap_width, wall_bitmap_height,
                 face_rule(bitmap, colour_map, bitmap.has_transparent != 0));
}

// Does the neighbour's block cover this cell's side completely? Corner pairs (mine, theirs) of
// the shared edge.
bool neighbour_covers(int64_t column, int64_t row, const Cell& cell, int mine_a, int theirs_a,
                      int mine_b, int theirs_b) {
  const Cell* n = cell_at(column, row);
  const Tile* tile = tile_of(n);
  if (tile == nullptr || tile->faces[FACE_UP] < 0) return false;
  return n->up_face_heights[theirs_a] >= cell.up_face_heights[mine_a] &&
         n->down_face_heights[theirs_a] <= cell.down_face_heights[mine_a] &&
         n->up_face_heights[theirs_b] >= cell.up_face_heights[mine_b] &&
         n->down_face_heights[theirs_b] <= cell.down_face_heights[mine_b];
}

// Height of a face of the cell at a world position inside it (the rule of up_face_height).
double face_height_at(const int16_t* h, double x, double z, int64_t column, int64_t row) {
  if (h[0] == h[1] && h[1] == h[2]) return h[0];
  const double fx = std::clamp(x - static_cast<double>(column) * cell_size, 0.0, double(cell_size));
  const double fz = std::clamp(z - static_cast<double>(row) * cell_size, 0.0, double(cell_size));
  if (h[0] == h[1]) return h[0] + (h[2] - h[0]) * fx / cell_size;
  return h[1] + (h[0] - h[1]) * fz / cell_size;
}

// Objects with smaller z first; a plain exchange of neighbours, so the list keeps the order.
void sort_cell_objects(CellObjects& list) {
  const int count = std::min<int>(list.count, CELL_OBJECTS_MAX);
  auto z_of = [](int16_t id) { return id >= 0 && id < MAX_OBJECTS ? objects[id].z : 0.0; };
  bool exchanged = true;
  while (exchanged) {
    exchanged = false;
    for (int i = 0; i + 1 < count; ++i) {
      if (z_of(list.ids[i]) > z_of(list.ids[i + 1])) {
        std::swap(list.ids[i], list.ids[i + 1]);
        exchanged = true;
      }
    }
  }
}

void draw_object(const Frame& f, const WorldObject& o, const Cell& cell, const Tile* tile,
                 int64_t column, int64_t row, int depth) {
  const double dz = f.cam_z - o.z;
  if (!(dz >= NEAR_PLANE)) return;
  if (o.sprite_bitmap < 0 || o.sprite_bitmap >= num_sprite_bitmaps ||
      sprite_bitmap_index == nullptr) {
    return;
  }
  const SpriteBitmap& bitmap = sprite_bitmap_index[o.sprite_bitmap];

  SpriteFace s{};
  s.width = clamp_trunc(o.size_h * static_cast<double>(f.px) / dz, COORD_LIMIT);
  s.height = clamp_trunc(o.size_v * static_cast<double>(f.py) / dz, COORD_LIMIT);
  const int64_t foot_x = screen_x(f, o.x - f.cam_x, dz);
  const int64_t foot_y = screen_y(f, o.y - f.cam_y, dz);
  s.left = foot_x - s.width / 2;
  s.top = foot_y - s.height;
  s.pixels = bitmap.pixels;
  s.bitmap_width = bitmap.width;
  s.bitmap_height = bitmap.height;
  s.mirror_h = o.mirror_h != 0;
  s.mirror_v = o.mirror_v != 0;

  // The cell's slice of the object: an object wider than a cell is listed in each cell it
  // covers and each draws its own part, so painter's order holds across columns.
  const double x0 = static_cast<double>(column) * cell_size - f.cam_x;
  s.clip_left = screen_x(f, x0, dz);
  s.clip_right = screen_x(f, x0 + cell_size, dz);
  s.clip_top = INT64_MIN / 4;
  s.clip_bottom = INT64_MAX / 4;
  if (tile != nullptr) {
    // Keep it out of the block: standing on it, nothing below its top; under it, nothing above
    // its bottom.
    const double up = face_height_at(cell.up_face_heights, o.x, o.z, column, row);
    const double down = face_height_at(cell.down_face_heights, o.x, o.z, column, row);
    if (o.y >= (up + down) / 2) {
      s.clip_bottom = screen_y(f, up - f.cam_y, dz);
    } else {
      s.clip_top = screen_y(f, down - f.cam_y, dz);
    }
  }

  const int blend = o.blend_table != 0 ? o.blend_table : bitmap.blend_table;
  PixelRule rule{blend_table_for(blend), nullptr, true};
  if (rule.blend == nullptr && object_lighting) {
    rule.colour_map = lit_colour_map(o.tint, o.brightness, depth);
  }
  draw_sprite(f.target, s, rule);
}

void draw_overlay(const Frame& f, const Cell* cell, int64_t column, int64_t row) {
  const double x0 = static_cast<double>(column) * cell_size - f.cam_x;
  const double z_far = f.cam_z - static_cast<double>(row) * cell_size;
  const double z_near = std::max(z_far - cell_size, NEAR_PLANE);
  const double h_far = (cell != nullptr ? cell->up_face_heights[1] : 0) - f.cam_y;
  const double h_near = (cell != nullptr ? cell->up_face_heights[0] : 0) - f.cam_y;
  const int64_t left = screen_x(f, x0, z_near);
  const int64_t right = screen_x(f, x0 + cell_size, z_near);
  const int64_t far_left = screen_x(f, x0, z_far);
  const int64_t far_right = screen_x(f, x0 + cell_size, z_far);
  auto clamp_int = [](int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, -1, 1 << 20)); };
  draw_vertical_line(clamp_int(left), overlay_line_colour);
  draw_vertical_line(clamp_int(right), overlay_line_colour);
  draw_horizontal_line(clamp_int(screen_y(f, h_far, z_far)), clamp_int(far_left),
                       clamp_int(far_right), overlay_line_colour);
  draw_horizontal_line(clamp_int(screen_y(f, h_near, z_near)), clamp_int(left), clamp_int(right),
                       overlay_line_colour);
  if (edit_font == nullptr) return;

  char text[4][64];
  if (cell != nullptr) {
    const int objects_here =
        tiles_obj != nullptr ? tiles_obj[row * world_columns + column].count : 0;
    std::snprintf(text[0], sizeof text[0], "X %d Z %d T %d", static_cast<int>(column),
                  static_cast<int>(row), cell->tile);
    std::snprintf(text[1], sizeof text[1], "U %d %d %d %d", cell->up_face_heights[0],
                  cell->up_face_heights[1], cell->up_face_heights[2], cell->up_face_heights[3]);
    std::snprintf(text[2], sizeof text[2], "D %d %d %d %d", cell->down_face_heights[0],
                  cell->down_face_heights[1], cell->down_face_heights[2],
                  cell->down_face_heights[3]);
    std::snprintf(text[3], sizeof text[3], "L %d %d O %d", cell->tint, cell->brightness,
                  objects_here);
  } else {
    std::snprintf(text[0], sizeof text[0], "X %lld Z %lld", static_cast<long long>(column),
                  static_cast<long long>(row));
    std::snprintf(text[1], sizeof text[1], "OUTSIDE");
    text[2][0] = text[3][0] = '\0';
  }
  for (int i = 0; i < 4; ++i) {
    draw_text(text[i], 2, 2 + 9 * i, overlay_text_colour, EDIT_TARGET_FRAME);
  }
}

void draw_cell(const Frame& f, int64_t column, int64_t row, int depth) {
  Cell* cell = cell_at(column, row);
  const Tile* tile = tile_of(cell);
  CellObjects* list = nullptr;
  if (cell != nullptr && tiles_obj != nullptr && objects != nullptr) {
    list = &tiles_obj[row * world_columns + column];
    if (list->count == 0) list = nullptr;
  }
  const bool overlay_here = f.overlay && column == f.overlay_column && row == f.overlay_row;
  if (tile == nullptr && list == nullptr && !overlay_here) return;

  const uint8_t* colour_map = nullptr;
  if (cell != nullptr && cell_lighting) {
    colour_map = lit_colour_map(cell->tint, cell->brightness, depth);
  }

  CellShape s{};
  bool near = false;
  if (tile != nullptr) {
    s = cell_shape(f, *cell, column, row);
    near = s.z_near < perspective_distance;
    const double wall_right = wall_bitmap_width - 1.05;
    if (draw_walls && f.walls_ok) {
      if (const Bitmap* b = face_bitmap(*tile, FACE_FAR, f.wall_reach)) {
        draw_wall_face(f, *b, tile->stretch[3] != 0, {s.x0, s.z_far, s.up[1], s.down[1], 0.0},
                       {s.x1, s.z_far, s.up[3], s.down[3], wall_right}, near, colour_map);
      }
    }
    if (draw_floors && f.floors_ok) {
      if (const Bitmap* b = face_bitmap(*tile, FACE_UP, f.floor_reach)) {
        draw_floor_face(f, *cell, s, *b, true, near, colour_map);
      }
      if (const Bitmap* b = face_bitmap(*tile, FACE_DOWN, f.floor_reach)) {
        draw_floor_face(f, *cell, s, *b, false, near, colour_map);
      }
    }
  }

  if (list != nullptr) {
    sort_cell_objects(*list);
    const int count = std::min<int>(list->count, CELL_OBJECTS_MAX);
    for (int i = 0; i < count; ++i) {
      const int id = list->ids[i];
      if (id < 1 || id >= MAX_OBJECTS) continue;
      draw_object(f, objects[id], *cell, tile, column, row, depth);
    }
  }

  if (tile != nullptr && draw_walls && f.walls_ok) {
    const double wall_right = wall_bitmap_width - 1.05;
    // Left side: seen from the smaller-x side, far end on the left.
    if (const Bitmap* b = face_bitmap(*tile, FACE_LEFT, f.wall_reach)) {
      if (!neighbour_covers(column - 1, row, *cell, 0, 2, 1, 3)) {
        draw_wall_face(f, *b, tile->stretch[0] != 0, {s.x0, s.z_far, s.up[1], s.down[1], 0.0},
                       {s.x0, s.z_near, s.up[0], s.down[0], wall_right * s.kept}, near, colour_map);
      }
    }
    // Right side: seen from the larger-x side, near end on the left.
    if (const Bitmap* b = face_bitmap(*tile, FACE_RIGHT, f.wall_reach)) {
      if (!neighbour_covers(column + 1, row, *cell, 2, 0, 3, 1)) {
        draw_wall_face(f, *b, tile->stretch[2] != 0,
                       {s.x1, s.z_near, s.up[2], s.down[2], wall_right * (1.0 - s.kept)},
                       {s.x1, s.z_far, s.up[3], s.down[3], wall_right}, near, colour_map);
      }
    }
    // Near side: wholly behind the near plane when the cell was cut.
    if (const Bitmap* b = face_bitmap(*tile, FACE_NEAR, f.wall_reach); b != nullptr && !s.cut) {
      if (!neighbour_covers(column, row + 1, *cell, 0, 1, 2, 3)) {
        draw_wall_face(f, *b, tile->stretch[1] != 0, {s.x0, s.z_near, s.up[0], s.down[0], 0.0},
                       {s.x1, s.z_near, s.up[2], s.down[2], wall_right}, near, colour_map);
      }
    }
  }

  if (overlay_here) draw_overlay(f, cell, column, row);
}

}  // namespace

int row_length_for(int depth) {
  if (row_length == nullptr) return 0;
  return row_length[std::clamp(depth, 0, ROW_LENGTH_ENTRIES - 1)];
}

void init_engine() {
  cell_lighting = 0;
  object_lighting = 0;
  fade_start = 8;
  fade_factor = 1.0;
  view_shift = 0;
  free_engine();  // a new level start replaces the previous blocks
  work_area = static_cast<uint8_t*>(zr_mem_malloc(ENGINE_WORK_AREA));
  if (work_area == nullptr) world_fatal(0, "Not enough memory!");
  zr_mem_name(work_area, "cua in init 3d engine");
  row_length = static_cast<uint8_t*>(zr_mem_malloc(ROW_LENGTH_ENTRIES));
  if (row_length == nullptr) world_fatal(0, "Not enough memory!");
  zr_mem_name(row_length, "row lenght table in init 3d engine");

  const int64_t half = view_max_x / 2;
  for (int i = 0; i < ROW_LENGTH_ENTRIES; ++i) {
    const int64_t d = int64_t{i} * cell_size + 10;
    int entry = 2;
    for (int k = 100; k >= 1 && d > 0; --k) {
      if (int64_t{k} * cell_size * projection_x / d + half < view_max_x) {
        entry = k + 2;
        break;
      }
    }
    row_length[i] = static_cast<uint8_t>(entry);
  }
}

void free_engine() {
  if (work_area != nullptr) zr_mem_free(work_area);
  if (row_length != nullptr) zr_mem_free(row_length);
  work_area = nullptr;
  row_length = nullptr;
}

void set_level_drawing_parameters() {
  cell_lighting = 1;
  object_lighting = 1;
  fade_start = 10;
  fade_factor = 2.0;
  view_shift = -20;
  depth_rows = 15;
}

namespace {

RenderTarget view_target() {
  RenderTarget t{frame_pixels, frame_max_x + 1, std::min(view_max_x, frame_max_x),
                 std::min(view_max_y, frame_max_y)};
  return t;
}

}  // namespace

void draw_world(double x, double y, double z, bool overlay) {
  if (row_length == nullptr || frame_pixels == nullptr || cell_size <= 0) return;
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) return;
  Frame f{};
  f.target = view_target();
  if (f.target.max_x < 0 || f.target.max_y < 0) return;
  f.cam_x = x;
  f.cam_y = y;
  f.cam_z = z;
  f.centre_x = view_centre_x;
  f.centre_y =
      view_centre_y + static_cast<int64_t>(std::floor(double(view_shift) * view_max_y / 100.0));
  f.px = projection_x;
  f.py = projection_y;
  f.floors_ok = floor_bitmap_size >= 1 && floor_bitmap_size <= 256;
  f.walls_ok = wall_bitmap_width >= 1 && wall_bitmap_width <= 256 && wall_bitmap_height >= 1;
  f.wall_world_height =
      f.walls_ok ? double(cell_size) * wall_bitmap_height / wall_bitmap_width : 1.0;
  if (f.floors_ok) f.floor_reach = int64_t{floor_bitmap_size - 1} * 256 + floor_bitmap_size - 1;
  if (f.walls_ok) {
    f.wall_reach = int64_t{std::min(wall_bitmap_height, 256) - 1} * 256 + wall_bitmap_width - 1;
  }

  // Far outside the world every cell counts as empty; keep the indices within 64-bit reach.
  const double limit = 1e15;
  const int64_t cx = static_cast<int64_t>(std::clamp(x / cell_size, -limit, limit));
  const int64_t cz = static_cast<int64_t>(std::clamp(z / cell_size, -limit, limit));
  f.overlay = overlay && overlay_enabled;
  f.overlay_column = cx;
  f.overlay_row = cz - OVERLAY_ROWS_AHEAD;

  const int rows = std::clamp(depth_rows, 0, ROW_LENGTH_ENTRIES - 1);
  for (int64_t r = cz - rows; r <= cz; ++r) {
    const int depth = static_cast<int>(cz - r);
    if (z - static_cast<double>(r) * cell_size < NEAR_PLANE) continue;
    const int64_t l = row_length_for(depth);
    for (int64_t c = cx - l; c < cx; ++c) draw_cell(f, c, r, depth);
    for (int64_t c = cx + l; c >= cx; --c) draw_cell(f, c, r, depth);
  }
}

void draw_vertical_line(int x, uint8_t colour) {
  const RenderTarget t = view_target();
  if (t.pixels == nullptr || x < 0 || x > t.max_x) return;
  for (int y = 0; y <= t.max_y; ++y) t.pixels[int64_t{y} * t.pitch + x] = colour;
}

void draw_horizontal_line(int y, int x0, int x1, uint8_t colour) {
  const RenderTarget t = view_target();
  if (t.pixels == nullptr || y < 0 || y > t.max_y) return;
  if (x0 > x1) std::swap(x0, x1);
  x0 = std::max(x0, 0);
  x1 = std::min(x1, t.max_x);
  for (int x = x0; x <= x1; ++x) t.pixels[int64_t{y} * t.pitch + x] = colour;
}
