// One game frame (draw_background, then draw_world) from the game's camera at a level start:
// (ship x, 150, ship z + 280). Each size reports the time per frame, nanoseconds per pixel and the
// ratio to a memset of the same frame buffer timed in the same run (x_memset), all in processor
// time of the benchmark's thread.
//
// The level: level\level1.txt of the game folder when it is there (ZR_BENCH_GAME_DIR, else the
// build's game folder), otherwise a landscape of the same shape built here.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "engine/core/fileio.h"
#include "engine/core/keyfile.h"
#include "engine/core/memory.h"
#include "world/background.h"
#include "world/frame_target.h"
#include "world/level_def.h"
#include "world/objects.h"
#include "world/renderer.h"
#include "world/transparency.h"
#include "world/world_error.h"

namespace {

struct Level {
  bool ready = false;
  std::string source;
  double cam_x = 0, cam_y = 150, cam_z = 0;
  // The synthetic level's tables.
  std::vector<Tile> tile_table;
  std::vector<Bitmap> bitmaps;
  std::vector<uint8_t> texels;
  std::vector<Cell> cells;
  std::vector<CellObjects> lists;
  std::vector<WorldObject> object_table;
  std::vector<SpriteBitmap> sprite_bitmaps;
  std::vector<uint8_t> sprite_pixels;
  std::vector<uint8_t> tables;
};

bool LoadGameLevel(Level& level) {
  const char* env = std::getenv("ZR_BENCH_GAME_DIR");
  const std::string dir = env != nullptr ? env : ZR_GAME_DIR;
  if (::chdir(dir.c_str()) != 0) return false;
  // The game folder holds the packed archive: read through the file layer as the game does.
  static ZR_IO_CONFIG config{};
  std::strcpy(config.archiveName, "VELDRAN.DAT");
  zr_io_init(&config);
  char def[256], map[256];
  if (!zr_io_get_string("Level", "Level_def", def, sizeof def, "level\\level1.txt") ||
      !zr_io_get_string("Level", "Level_map", map, sizeof map, "level\\level1.txt")) {
    return false;
  }
  world_set_pauses(false);
  if (Load_Level(def, map, 1) != 0) return false;
  load_transparency_tables("data\\transp.tab");
  for (int i = 1; i <= last_object; ++i) {
    if (objects[i].sprite == 100) {
      level.cam_x = objects[i].x;
      level.cam_z = objects[i].z + 280.0;
      break;
    }
  }
  level.source = dir + "/level/level1.txt";
  return true;
}

uint32_t Hash(uint32_t v) {
  v ^= v >> 16;
  v *= 0x7feb352d;
  v ^= v >> 15;
  v *= 0x846ca68b;
  return v ^ (v >> 16);
}

// 62 x 40 cells of 48 units, floors 32 x 32, walls 32 x 256: rolling ground with slopes, rocks
// and towers, a few dozen objects, lighting tables and a background.
void BuildSyntheticLevel(Level& l) {
  world_columns = 62;
  world_rows = 40;
  cell_size = 48;
  floor_bitmap_size = 32;
  wall_bitmap_width = 32;
  wall_bitmap_height = 256;
  perspective_distance = 100;
  const int floors = 8, walls = 4;
  l.texels.assign(size_t(32) * 256 + size_t(256) * 256, 0);
  l.bitmaps.assign(floors + walls, Bitmap{});
  for (int i = 0; i < floors + walls; ++i) {
    const bool floor = i < floors;
    Bitmap& b = l.bitmaps[i];
    b.offset = floor ? i * 32 : 32 * 256 + (i - floors) * 32;
    const int h = floor ? 32 : 256;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < 32; ++x)
        l.texels[size_t(b.offset) + y * 256 + x] = uint8_t(16 + Hash(i * 9973 + y * 32 + x) % 200);
  }
  l.bitmaps[floors + 3].has_transparent = 1;
  l.tile_table.assign(MAX_TILE_NUMBER + 1, Tile{});
  auto tile = [&](int n, std::array<int16_t, 6> f) {
    l.tile_table[n].defined = 1;
    for (int i = 0; i < 6; ++i) l.tile_table[n].faces[i] = f[i];
  };
  tile(1, {0, 1, 8, 8, 8, 8});
  tile(2, {2, 1, 9, 9, 9, 9});
  tile(3, {3, 1, 10, 10, 10, 10});
  tile(4, {4, 1, 11, 11, 11, 11});
  l.cells.assign(size_t(62) * 40, Cell{});
  for (int r = 0; r < 40; ++r)
    for (int c = 0; c < 62; ++c) {
      Cell& cell = l.cells[size_t(r) * 62 + c];
      const uint32_t h = Hash(r * 1000 + c);
      auto ground = [&](int cc, int rr) {
        return int(20 * std::sin(cc * 0.4) + 15 * std::cos(rr * 0.7));
      };
      cell.tile = int16_t(1 + h % 4);
      // Corners: 0 (x0, z1), 1 (x0, z0), 2 (x1, z1), 3 (x1, z0); sloped along x every few cells.
      const int a = ground(c, r), b = (h % 3 == 0) ? ground(c + 1, r) : a;
      cell.up_face_heights[0] = cell.up_face_heights[1] = int16_t(a);
      cell.up_face_heights[2] = cell.up_face_heights[3] = int16_t(b);
      if (h % 11 == 0) {
        for (int16_t& u : cell.up_face_heights) u = int16_t(a + 60 + h % 80);  // a tower
      }
      for (int16_t& d : cell.down_face_heights) d = -60;
      cell.tint = uint8_t(h % 7 == 0 ? 2 : 0);
      cell.brightness = uint8_t(15 - h % 5);
    }
  l.sprite_pixels.assign(size_t(40) * 40, 0);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      l.sprite_pixels[y * 40 + x] =
          ((x - 20) * (x - 20) + (y - 20) * (y - 20) < 400) ? uint8_t(100 + x) : 0;
  SpriteBitmap s{};
  s.width = s.height = 40;
  s.pixels = l.sprite_pixels.data();
  l.sprite_bitmaps.assign(1, s);
  l.object_table.assign(MAX_OBJECTS, WorldObject{});
  l.lists.assign(l.cells.size(), CellObjects{});
  int count = 0;
  auto add = [&](double x, double y, double z, int sprite) {
    WorldObject& o = l.object_table[++count];
    o.sprite = int16_t(sprite);
    o.sprite_bitmap = 0;
    o.size_h = o.size_v = 38;
    o.x = x;
    o.y = y;
    o.z = z;
    o.brightness = 15;
    const int row = int(z / 48), first = int((x - 19) / 48);
    for (int c = first; c < first + 38 / 48 + 2; ++c) {
      if (c < 0 || c >= 62 || row < 0 || row >= 40) continue;
      CellObjects& list = l.lists[size_t(row) * 62 + c];
      if (list.count < CELL_OBJECTS_MAX) list.ids[list.count++] = int16_t(count);
    }
  };
  add(1000.0, 90.0, 1600.0, 100);  // the ship's start
  for (int i = 0; i < 40; ++i)
    add(520.0 + i * 47.0, 40.0 + (i % 5) * 20, 1350.0 + (i % 3) * 120, 101);
  l.cam_x = 1000.0;
  l.cam_z = 1600.0 + 280.0;

  l.tables.assign(size_t(5) * TRANS_TABLE_SIZE, 0);
  for (size_t i = 0; i < l.tables.size(); ++i) l.tables[i] = uint8_t(Hash(uint32_t(i)) & 0xff);
  for (int k = 0; k < 5; ++k) trans_tables[k] = l.tables.data() + size_t(k) * TRANS_TABLE_SIZE;
  num_trans_tables = 5;
  default_colour_map = trans_tables[4] + 15 * 256;

  tiles = l.tile_table.data();
  bitmap_index = l.bitmaps.data();
  num_bitmaps = int32_t(l.bitmaps.size());
  tile_buffer = l.texels.data();
  tile_buffer_size = int32_t(l.texels.size());
  world = l.cells.data();
  tiles_obj = l.lists.data();
  objects = l.object_table.data();
  last_object = count;
  sprite_bitmap_index = l.sprite_bitmaps.data();
  num_sprite_bitmaps = 1;

  // The background picture, as load_background leaves it.
  background.width = 320;
  background.height = 200;
  background.pixels = static_cast<uint8_t*>(zr_mem_malloc(320 * 200));
  for (int i = 0; i < 320 * 200; ++i) background.pixels[i] = uint8_t(10 + (i / 320) % 100);
  background_loaded = true;
  l.source = "synthetic 62 x 40 landscape";
}

Level& TheLevel() {
  static Level level;
  if (!level.ready) {
    if (!LoadGameLevel(level)) BuildSyntheticLevel(level);
    level.ready = true;
  }
  return level;
}

// This thread's processor time in nanoseconds: other jobs on the machine do not count.
double CpuNanoseconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1e9 + double(t.tv_nsec);
}

// Median processor time of one memset of the buffer, in nanoseconds.
double MemsetNanoseconds(std::vector<uint8_t>& buffer) {
  std::vector<double> samples;
  const int reps = std::max<int>(20, int(2e7 / buffer.size()));
  for (int s = 0; s < 9; ++s) {
    const double t0 = CpuNanoseconds();
    for (int i = 0; i < reps; ++i) {
      std::memset(buffer.data(), i & 0xff, buffer.size());
      benchmark::ClobberMemory();
    }
    samples.push_back((CpuNanoseconds() - t0) / reps);
  }
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

void BM_GameFrame(benchmark::State& state) {
  Level& level = TheLevel();
  const int w = int(state.range(0)), h = int(state.range(1));
  std::vector<uint8_t> frame(size_t(w) * h);
  set_frame_target(frame.data(), w - 1, h - 1);
  set_view(h - 1, w - 1);
  init_engine();
  set_level_drawing_parameters();
  const double memset_ns = MemsetNanoseconds(frame);

  int64_t frames = 0;
  const double t0 = CpuNanoseconds();
  for (auto _ : state) {
    draw_background(level.cam_x, level.cam_y);
    draw_world(level.cam_x, level.cam_y, level.cam_z, false);
    benchmark::ClobberMemory();
    ++frames;
  }
  const double frame_ns = (CpuNanoseconds() - t0) / double(frames);
  state.counters["frame_us"] = frame_ns / 1000.0;
  state.counters["ns_per_pixel"] = frame_ns / (double(w) * h);
  state.counters["memset_ns"] = memset_ns;
  state.counters["x_memset"] = frame_ns / memset_ns;
  state.SetLabel(level.source);
  free_engine();
  set_frame_target(nullptr, -1, -1);
}

BENCHMARK(BM_GameFrame)
    ->Args({320, 200})
    ->Args({640, 400})
    ->Args({1280, 800})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
