// Random small worlds seen from random cameras: nothing may be written outside the view (the
// guard bands stay intact). Reads outside tile_buffer and sprite pixels are caught when the test
// runs under AddressSanitizer (the asan preset): every block here is allocated to its exact size.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "render_support.h"

namespace {

int Pick(std::mt19937& rng, std::initializer_list<int> values) {
  std::uniform_int_distribution<size_t> d(0, values.size() - 1);
  return *(values.begin() + d(rng));
}
int Uniform(std::mt19937& rng, int lo, int hi) {
  return std::uniform_int_distribution<int>(lo, hi)(rng);
}
double Real(std::mt19937& rng, double lo, double hi) {
  return std::uniform_real_distribution<double>(lo, hi)(rng);
}

// A world of a few columns and rows with random tiles, heights (sloped, inverted, extreme),
// bitmaps (transparent, blended through tables that may not exist, anchored), objects of any
// size and position, and random lighting settings.
std::unique_ptr<TestWorld> RandomWorld(std::mt19937& rng) {
  const int columns = Uniform(rng, 1, 12);
  const int rows = Uniform(rng, 1, 12);
  auto w = std::make_unique<TestWorld>(columns, rows, Pick(rng, {1, 4, 12, 12, 40, 300}));
  floor_bitmap_size = Pick(rng, {1, 8, 16, 32, 64, 256});
  wall_bitmap_width = Pick(rng, {1, 8, 32, 256});
  wall_bitmap_height = Pick(rng, {1, 16, 48, 64, 256, 300});
  perspective_distance = Pick(rng, {0, 100, 100000});
  const int floors = std::min(Uniform(rng, 1, 4), 256 / floor_bitmap_size);
  const int walls = std::min(Uniform(rng, 1, 4), 256 / wall_bitmap_width);
  w->MakeBitmaps(floors, walls, [&](int, int, int) { return uint8_t(Uniform(rng, 0, 255)); });
  for (Bitmap& b : w->bitmaps) {
    b.blend_table = uint8_t(Pick(rng, {0, 0, 0, 1, 2, 5, 9}));
    b.hash_flag = uint8_t(Uniform(rng, 0, 1));
  }
  if (Uniform(rng, 0, 3) != 0) w->MakeTables();
  const int bitmap_count = floors + walls;
  for (int t = 1; t <= 6; ++t) {
    std::array<int16_t, 6> faces{};
    for (int16_t& f : faces) {
      f = int16_t(Pick(rng, {-1, 0, 1, 2, 3, 4, 7}) % (bitmap_count + 1));
      if (Uniform(rng, 0, 40) == 0) f = int16_t(Pick(rng, {-5, 600, 32000}));
      if (f == bitmap_count) f = -1;
    }
    Tile& tile = w->DefineTile(t, faces);
    for (int16_t& s : tile.stretch) s = int16_t(Uniform(rng, 0, 1));
  }
  for (Cell& c : w->cells) {
    c.tile = int16_t(Pick(rng, {0, 0, 1, 2, 3, 4, 5, 6, 7, 250}));
    const int base = Uniform(rng, -100, 100);
    for (int i = 0; i < 4; ++i) {
      c.up_face_heights[i] = int16_t(base + Pick(rng, {0, 0, 0, 12, 40, -30}));
      c.down_face_heights[i] = int16_t(base - Pick(rng, {0, 10, 50, -20}));
    }
    if (Uniform(rng, 0, 30) == 0) c.up_face_heights[Uniform(rng, 0, 3)] = 32767;
    if (Uniform(rng, 0, 30) == 0) c.down_face_heights[Uniform(rng, 0, 3)] = -32768;
    c.tint = uint8_t(Uniform(rng, 0, 20));
    c.brightness = uint8_t(Uniform(rng, 0, 255));
  }
  const int sprites = Uniform(rng, 1, 4);
  for (int i = 0; i < sprites; ++i) {
    w->AddSprite(Uniform(rng, 1, 40), Uniform(rng, 1, 40), uint8_t(Uniform(rng, 0, 255)));
    w->sprite_pixels.back()[0] = 0;
    w->sprite_bitmaps.back().blend_table = uint8_t(Pick(rng, {0, 0, 1, 3, 8}));
  }
  const int count = Uniform(rng, 0, 20);
  const double wx = columns * cell_size, wz = rows * cell_size;
  for (int i = 0; i < count; ++i) {
    const int sprite = Uniform(rng, -1, sprites);  // -1 and sprites are not valid bitmaps
    const int id =
        w->AddObject(sprite, Real(rng, -wx * 0.2, wx * 1.2), Real(rng, -200, 300),
                     Real(rng, -wz * 0.2, wz * 1.2), Pick(rng, {-20, 0, 1, 5, 12, 40, 5000}),
                     Pick(rng, {-20, 0, 1, 8, 30, 30000}));
    WorldObject& o = w->object_table[id];
    o.mirror_h = uint8_t(Uniform(rng, 0, 1));
    o.mirror_v = uint8_t(Uniform(rng, 0, 1));
    o.blend_table = uint8_t(Pick(rng, {0, 0, 0, 2, 7}));
    o.tint = uint8_t(Uniform(rng, 0, 30));
    o.brightness = uint8_t(Uniform(rng, 0, 30));
  }
  // A stray id in a list is skipped.
  if (!w->lists.empty() && Uniform(rng, 0, 4) == 0) {
    CellObjects& l = w->lists[Uniform(rng, 0, int(w->lists.size()) - 1)];
    if (l.count < CELL_OBJECTS_MAX) l.ids[l.count++] = int16_t(Pick(rng, {0, -3, 999, 1500}));
  }
  cell_lighting = Uniform(rng, 0, 1);
  object_lighting = Uniform(rng, 0, 1);
  fade_start = Uniform(rng, -5, 20);
  fade_factor = Real(rng, -3.0, 5.0);
  view_shift = Uniform(rng, -100, 100);
  depth_rows = Pick(rng, {0, 5, 15, 30, 45});
  return w;
}

void RandomCamera(std::mt19937& rng, double& x, double& y, double& z) {
  const double wx = world_columns * cell_size, wz = world_rows * cell_size;
  switch (Uniform(rng, 0, 9)) {
    case 0:  // far outside
      x = Pick(rng, {-1, 1}) * Real(rng, 1e3, 1e12);
      y = Real(rng, -1e9, 1e9);
      z = Pick(rng, {-1, 1}) * Real(rng, 1e3, 1e12);
      break;
    case 1:  // on a cell boundary or exactly at the near plane of a row
      x = Uniform(rng, 0, world_columns) * double(cell_size);
      y = Real(rng, -50, 150);
      z = Uniform(rng, 0, world_rows) * double(cell_size) + Pick(rng, {0, 5, 4}) +
          Pick(rng, {0, 1}) * 0.999;
      break;
    case 2:  // below everything
      x = Real(rng, 0, wx);
      y = Real(rng, -40000, -100);
      z = Real(rng, 0, wz * 1.5);
      break;
    default:  // around and inside the world
      x = Real(rng, -wx * 0.5, wx * 1.5);
      y = Real(rng, -150, 400);
      z = Real(rng, -wz * 0.2, wz * 2.0);
      break;
  }
}

struct RandomRun {
  int touched = 0;  // guard bytes written
  int drawn = 0;    // frames in which something was drawn
};

RandomRun DrawRandomFrames(uint32_t seed, int worlds, int cameras, int width, int height) {
  std::mt19937 rng(seed);
  GuardedFrame frame(width, height);
  RandomRun run;
  for (int n = 0; n < worlds; ++n) {
    std::unique_ptr<TestWorld> w = RandomWorld(rng);
    w->Install();
    frame.Attach();
    const int saved_lighting = cell_lighting;
    for (int c = 0; c < cameras; ++c) {
      double x, y, z;
      RandomCamera(rng, x, y, z);
      frame.ClearView(0);
      draw_world(x, y, z, Uniform(rng, 0, 5) == 0);
      if (c % 4 == 0) run.drawn += frame.Count(0) != width * height;
    }
    cell_lighting = saved_lighting;
    run.touched += frame.GuardsTouched();
    free_engine();
  }
  return run;
}

// ZR_RENDER_STRESS=N draws N times as many worlds (for long runs under the sanitizers).
int Worlds(int n) {
  const char* v = std::getenv("ZR_RENDER_STRESS");
  return v != nullptr && std::atoi(v) > 1 ? n * std::atoi(v) : n;
}

TEST(RendererRobustness, RandomWorldsAndCamerasStayInsideTheView) {
  const RandomRun run = DrawRandomFrames(1, Worlds(100), 20, 320, 200);
  EXPECT_EQ(run.touched, 0);
  EXPECT_GT(run.drawn, 100);  // of the 500 frames looked at: the worlds are seen, not missed
}

TEST(RendererRobustness, LargerViews) {
  EXPECT_EQ(DrawRandomFrames(2, Worlds(10), 4, 640, 400).touched, 0);
  EXPECT_EQ(DrawRandomFrames(3, Worlds(4), 3, 1280, 800).touched, 0);
  EXPECT_EQ(DrawRandomFrames(4, Worlds(2), 2, 2560, 1600).touched, 0);
  EXPECT_EQ(DrawRandomFrames(5, Worlds(10), 5, 321, 201).touched, 0);
}

}  // namespace
