// Test support for the renderer: a guard-banded frame, an in-memory world whose tables the test
// owns, and a temporary start directory.
#pragma once
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "world/background.h"
#include "world/frame_target.h"
#include "world/level_def.h"
#include "world/map.h"
#include "world/renderer.h"
#include "world/transparency.h"

// A frame whose view is w x h, with guard bytes before it and guard columns and rows after it in
// every direction: the renderer clips to the view, so any write outside shows in the guards.
class GuardedFrame {
 public:
  static constexpr uint8_t kGuard = 0xA5;
  static constexpr int kBand = 24;

  GuardedFrame(int w, int h) : w_(w), h_(h), pitch_(w + kBand) {
    bytes_.assign(size_t(pitch_) * (h + 3 * kBand), kGuard);
    pixels_ = bytes_.data() + size_t(pitch_) * kBand;
  }
  // Points the engine at this frame and sets the view and the renderer up for it.
  void Attach() {
    set_frame_target(pixels_, pitch_ - 1, h_ + kBand - 1);
    set_view(h_ - 1, w_ - 1);
    init_engine();
  }
  void ClearView(uint8_t value) {
    for (int y = 0; y < h_; ++y) std::memset(pixels_ + size_t(y) * pitch_, value, w_);
  }
  // Number of guard bytes that changed.
  int GuardsTouched() const {
    int touched = 0;
    const uint8_t* view_begin = pixels_;
    for (size_t i = 0; i < bytes_.size(); ++i) {
      const uint8_t* p = bytes_.data() + i;
      const std::ptrdiff_t off = p - view_begin;
      const bool inside = off >= 0 && off / pitch_ < h_ && off % pitch_ < w_;
      if (!inside && *p != kGuard) ++touched;
    }
    return touched;
  }
  uint8_t At(int x, int y) const { return pixels_[size_t(y) * pitch_ + x]; }
  std::vector<uint8_t> View() const {
    std::vector<uint8_t> out(size_t(w_) * h_);
    for (int y = 0; y < h_; ++y)
      std::memcpy(&out[size_t(y) * w_], pixels_ + size_t(y) * pitch_, w_);
    return out;
  }
  int Count(uint8_t value) const {
    int n = 0;
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) n += At(x, y) == value;
    return n;
  }
  int width() const { return w_; }
  int height() const { return h_; }

 private:
  int w_, h_, pitch_;
  std::vector<uint8_t> bytes_;
  uint8_t* pixels_;
};

// A world held by the test. Install() points the engine's tables at it; the destructor detaches.
struct TestWorld {
  std::vector<Tile> tile_table = std::vector<Tile>(MAX_TILE_NUMBER + 1);
  std::vector<Bitmap> bitmaps;
  std::vector<uint8_t> texels;
  std::vector<Cell> cells;
  std::vector<CellObjects> lists;
  std::vector<WorldObject> object_table = std::vector<WorldObject>(MAX_OBJECTS);
  std::vector<SpriteBitmap> sprite_bitmaps;
  std::vector<std::vector<uint8_t>> sprite_pixels;
  std::array<std::vector<uint8_t>, 5> tables;
  int objects_used = 0;

  TestWorld(int columns, int rows, int size) {
    world_columns = columns;
    world_rows = rows;
    cell_size = size;
    cells.assign(size_t(columns) * rows, Cell{});
    for (Cell& c : cells) c.brightness = 15;
    lists.assign(cells.size(), CellObjects{});
  }
  ~TestWorld() {
    tiles = nullptr;
    bitmap_index = nullptr;
    tile_buffer = nullptr;
    tile_buffer_size = 0;
    world = nullptr;
    tiles_obj = nullptr;
    objects = nullptr;
    sprite_bitmap_index = nullptr;
    num_bitmaps = num_sprite_bitmaps = 0;
    last_object = 0;
    for (auto& t : trans_tables) t = nullptr;
    num_trans_tables = 0;
    default_colour_map = identity_map();
  }

  // Floor and wall bitmaps side by side in one strip each (the sizes must allow it); each
  // filled by fill(bitmap, column, row).
  template <class Fill>
  void MakeBitmaps(int floors, int walls, Fill fill) {
    const int floor_strip = floor_bitmap_size * 256;
    const int wall_rows = wall_bitmap_height;
    texels.assign(size_t(floor_strip) + size_t(wall_rows) * 256, 0);
    bitmaps.assign(floors + walls, Bitmap{});
    for (int i = 0; i < floors + walls; ++i) {
      const bool floor = i < floors;
      Bitmap& b = bitmaps[i];
      b.offset = floor ? i * floor_bitmap_size : floor_strip + (i - floors) * wall_bitmap_width;
      const int w = floor ? floor_bitmap_size : wall_bitmap_width;
      const int h = floor ? floor_bitmap_size : wall_bitmap_height;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          uint8_t v = fill(i, x, y);
          texels[size_t(b.offset) + size_t(y) * 256 + x] = v;
          if (v == 0) b.has_transparent = 1;
        }
    }
  }
  int AddSprite(int w, int h, uint8_t colour) {
    sprite_pixels.emplace_back(size_t(w) * h, colour);
    SpriteBitmap s{};
    s.width = int16_t(w);
    s.height = int16_t(h);
    sprite_bitmaps.push_back(s);
    return int(sprite_bitmaps.size()) - 1;
  }
  Tile& DefineTile(int n, std::array<int16_t, 6> faces) {
    Tile& t = tile_table[n];
    t.defined = 1;
    for (int i = 0; i < 6; ++i) t.faces[i] = faces[i];
    return t;
  }
  Cell& At(int column, int row) { return cells[size_t(row) * world_columns + column]; }
  void SetBlock(int column, int row, int tile, int up, int down) {
    Cell& c = At(column, row);
    c.tile = int16_t(tile);
    for (int i = 0; i < 4; ++i) {
      c.up_face_heights[i] = int16_t(up);
      c.down_face_heights[i] = int16_t(down);
    }
  }
  // An object listed the way the world engine lists it: in size_h / cell_size + 2 cells of its row.
  int AddObject(int sprite_bitmap, double x, double y, double z, int size_h, int size_v) {
    const int id = ++objects_used;
    WorldObject& o = object_table[id];
    o.sprite_bitmap = int16_t(sprite_bitmap);
    o.size_h = int16_t(size_h);
    o.size_v = int16_t(size_v);
    o.x = x;
    o.y = y;
    o.z = z;
    o.brightness = 15;
    // Positions far outside (or not numbers) list nowhere, as the world engine's own checks do.
    auto to_int = [](double v) {
      return std::isfinite(v) ? int(std::clamp(v, -30000.0, 30000.0)) : -30000;
    };
    const int n = std::max(size_h, 0) / cell_size + 2;
    o.row = int16_t(to_int(z / cell_size));
    o.first_column = int16_t(to_int((x - (size_h + 1) / 2) / cell_size));
    for (int c = o.first_column; c < o.first_column + n; ++c) {
      if (c < 0 || c >= world_columns || o.row < 0 || o.row >= world_rows) continue;
      CellObjects& l = lists[size_t(o.row) * world_columns + c];
      if (l.count < CELL_OBJECTS_MAX) l.ids[l.count++] = int16_t(id);
    }
    return id;
  }
  // Five tables: 0..3 blend (table k: destination + k + 1 when source is not 0), 4 the colour map
  // (row tint * 16 + b maps every index to 100 + b).
  void MakeTables() {
    for (int k = 0; k < 4; ++k) {
      tables[k].assign(TRANS_TABLE_SIZE, 0);
      for (int s = 0; s < 256; ++s)
        for (int d = 0; d < 256; ++d) tables[k][s * 256 + d] = uint8_t(d + k + 1);
    }
    tables[4].assign(TRANS_TABLE_SIZE, 0);
    for (int row = 0; row < 256; ++row)
      for (int c = 0; c < 256; ++c) tables[4][row * 256 + c] = uint8_t(100 + row % 16);
    // The default row (tint 0, brightness 15) leaves colours alone.
    for (int c = 0; c < 256; ++c) tables[4][15 * 256 + c] = uint8_t(c);
  }
  void Install() {
    tiles = tile_table.data();
    bitmap_index = bitmaps.data();
    num_bitmaps = int32_t(bitmaps.size());
    tile_buffer = texels.data();
    tile_buffer_size = int32_t(texels.size());
    world = cells.data();
    tiles_obj = lists.data();
    objects = object_table.data();
    last_object = objects_used;
    for (size_t i = 0; i < sprite_bitmaps.size(); ++i)
      sprite_bitmaps[i].pixels = sprite_pixels[i].data();
    sprite_bitmap_index = sprite_bitmaps.data();
    num_sprite_bitmaps = int32_t(sprite_bitmaps.size());
    num_trans_tables = 0;
    for (int k = 0; k < 5; ++k) {
      trans_tables[k] = tables[k].empty() ? nullptr : tables[k].data();
      if (!tables[k].empty()) num_trans_tables = k + 1;
    }
    default_colour_map = num_trans_tables > 4 ? trans_tables[4] + 15 * 256 : identity_map();
  }
  static const uint8_t* identity_map() {
    static const std::array<uint8_t, 256> map = [] {
      std::array<uint8_t, 256> m{};
      for (int i = 0; i < 256; ++i) m[i] = uint8_t(i);
      return m;
    }();
    return map.data();
  }
};

// A fresh temporary directory as the current directory for the test's lifetime.
class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/zr_render_XXXXXX";
    path_ = ::mkdtemp(pattern);
    char cwd[4096];
    previous_ = ::getcwd(cwd, sizeof cwd) ? cwd : "/";
    if (::chdir(path_.c_str()) != 0) path_.clear();
  }
  ~TempDir() {
    if (::chdir(previous_.c_str()) != 0) return;
    if (!path_.empty()) std::system(("rm -rf '" + path_ + "'").c_str());
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::string previous_;
};
