// Golden frames: a small hand-made level (textures, definition file, map, tables and background
// written by the test, loaded by Load_Level as a level start does) drawn from a handful of
// cameras and compared byte for byte with the frames kept in tests/render/golden/.
// ZR_REGEN_GOLDEN=1 (scripts/regen-golden) writes the frames there instead.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>

#include "app/viewer.h"
#include "engine/display/bitmap.h"
#include "engine/display/snapshot.h"
#include "engine/platform/message_box.h"
#include "engine/platform/messages.h"
#include "render_support.h"
#include "world/edit_font.h"
#include "world/objects.h"
#include "world/world_error.h"

namespace {

// Sixteen hues of sixteen brightness steps: index = hue * 16 + level.
std::array<uint8_t, 768> FixturePalette() {
  static const uint8_t hues[16][3] = {
      {0, 0, 0},       {255, 255, 255}, {60, 200, 60},  {250, 120, 200},
      {170, 170, 170}, {120, 170, 255}, {40, 90, 230},  {200, 255, 240},
      {220, 70, 50},   {90, 60, 40},    {250, 220, 60}, {60, 220, 220},
      {170, 80, 230},  {255, 255, 160}, {250, 150, 40}, {255, 60, 60}};
  std::array<uint8_t, 768> p{};
  for (int i = 0; i < 256; ++i)
    for (int c = 0; c < 3; ++c) p[i * 3 + c] = uint8_t(hues[i / 16][c] * (i % 16 + 4) / 19);
  return p;
}

void WritePcx(const std::string& path, int w, int h,
              const std::function<uint8_t(int, int)>& pixel) {
  static std::array<uint8_t, 768> palette = FixturePalette();
  std::vector<uint8_t> pixels(size_t(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) pixels[size_t(y) * w + x] = pixel(x, y);
  ZR_BITMAP b{};
  b.w = b.width = int16_t(w);
  b.h = b.height = int16_t(h);
  b.bpp = 8;
  b.pixels = pixels.data();
  b.palette = palette.data();
  if (!zr_bitmap_save_pcx(&b, path.c_str(), nullptr))
    throw std::runtime_error("cannot write " + path);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

template <class T>
void Put(std::string& out, const T& value) {
  out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// The tables: 0 and 2..3 mix the source's hue at the mean level, 1 lightens the destination,
// 4 is the colour map (tint t other than 0 turns the colour to hue t; brightness scales levels).
std::string TransparencyFile() {
  std::string t(1, char(5));
  auto hue = [](int c) { return c / 16; };
  auto level = [](int c) { return c % 16; };
  for (int k = 0; k < 4; ++k)
    for (int s = 0; s < 256; ++s)
      for (int d = 0; d < 256; ++d) {
        int v = k == 1 ? hue(d) * 16 + std::min(15, level(d) + 5)
                       : hue(s) * 16 + (level(s) + level(d)) / 2;
        t.push_back(char(v));
      }
  for (int row = 0; row < 256; ++row)
    for (int c = 0; c < 256; ++c) {
      const int tint = row / 16, b = row % 16;
      t.push_back(char((tint == 0 ? hue(c) : tint) * 16 + level(c) * b / 15));
    }
  return t;
}

std::string MapFile() {
  constexpr int kColumns = 6, kRows = 8;
  std::array<Cell, kColumns * kRows> cells{};
  auto block = [&](int c, int r, int tile, std::array<int, 4> up, std::array<int, 4> down) {
    Cell& cell = cells[r * kColumns + c];
    cell.tile = int16_t(tile);
    for (int i = 0; i < 4; ++i) {
      cell.up_face_heights[i] = int16_t(up[i]);
      cell.down_face_heights[i] = int16_t(down[i]);
    }
    cell.brightness = 15;
  };
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kColumns; ++c) block(c, r, 1, {0, 0, 0, 0}, {-10, -10, -10, -10});
  cells[0 * kColumns + 2] = Cell{};                // a hole
  block(1, 2, 2, {30, 30, 30, 30}, {0, 0, 0, 0});  // stretched panels
  block(2, 2, 2, {30, 30, 30, 30}, {0, 0, 0, 0});
  block(4, 3, 3, {50, 50, 50, 50}, {0, 0, 0, 0});        // tower, anchored gate
  block(2, 4, 1, {0, 0, 20, 20}, {-10, -10, -10, -10});  // ramp along x: polygon
  block(3, 1, 1, {0, 20, 0, 20}, {-10, -10, -10, -10});  // slope along z: spans
  block(0, 5, 4, {-2, -2, -2, -2}, {-2, -2, -2, -2});    // translucent water
  block(1, 5, 4, {-2, -2, -2, -2}, {-2, -2, -2, -2});
  block(4, 5, 5, {25, 25, 25, 25}, {0, 0, 0, 0});      // fence with holes
  block(1, 1, 2, {45, 45, 45, 45}, {30, 30, 30, 30});  // floating block
  cells[6 * kColumns + 5].brightness = 8;
  cells[6 * kColumns + 0].tint = 3;
  cells[7 * kColumns + 1].brightness = 11;

  std::array<WorldObject, 5> objects{};
  auto object = [&](int i, int sprite, double x, double y, double z, int mirror) {
    objects[i].sprite = int16_t(sprite);
    objects[i].x = x;
    objects[i].y = y;
    objects[i].z = z;
    objects[i].mirror_h = uint8_t(mirror);
    objects[i].brightness = 15;
  };
  object(1, 100, 42.0, 0.0, 90.0, 0);  // the start
  object(2, 0, 40.0, 0.0, 64.0, 0);    // three in cell (3, 5): nearer ball listed first
  object(3, 0, 44.0, 0.0, 62.0, 0);
  object(4, 1, 38.0, 4.0, 66.0, 1);  // translucent, mirrored

  std::string out;
  Put(out, MAP_MAGIC);
  Put(out, int32_t{12});
  Put(out, int16_t{4});
  for (const WorldObject& o : objects) Put(out, o);
  Put(out, int16_t{kRows});
  Put(out, int16_t{kColumns});
  for (const Cell& c : cells) Put(out, c);
  return out;
}

// Every file of the fixture level, in the current directory.
void WriteFixtureLevel() {
  for (const char* dir : {"level", "pics", "data"}) ::mkdir(dir, 0755);
  WritePcx("pics/grass.pcx", 16, 16, [](int x, int y) -> uint8_t {
    if (x == 0 || y == 0) return 2 * 16 + 5;
    return uint8_t(2 * 16 + (((x / 4 + y / 4) % 2) ? 10 : 14));
  });
  WritePcx("pics/stone.pcx", 16, 16,
           [](int x, int y) { return uint8_t(4 * 16 + 6 + (x * 7 + y * 3) % 6); });
  WritePcx("pics/water.pcx", 16, 16,
           [](int x, int y) { return uint8_t(6 * 16 + 8 + ((x + 2 * y) % 8 < 2 ? 6 : 0)); });
  WritePcx("pics/brick.pcx", 16, 64, [](int x, int y) -> uint8_t {
    const bool mortar = y % 8 == 0 || (x + (y / 8 % 2) * 8) % 16 == 0;
    return uint8_t(8 * 16 + (mortar ? 4 : 11 + (x + y) % 3));
  });
  WritePcx("pics/panel.pcx", 16, 64,
           [](int x, int y) { return uint8_t(10 * 16 + (x == 0 ? 2 : 3 + y * 12 / 63)); });
  WritePcx("pics/gate.pcx", 16, 64, [](int x, int y) -> uint8_t {
    if (y >= 56) return 15 * 16 + 14;  // the bottom band meets the ground
    if (y < 4) return 12 * 16 + 3;
    return uint8_t(12 * 16 + 8 + (x % 4 == 0 ? 5 : 0));
  });
  WritePcx("pics/fence.pcx", 16, 64, [](int x, int y) -> uint8_t {
    if (x % 4 == 0 || y % 16 == 0) return 14 * 16 + 13;
    return 0;
  });
  WritePcx("pics/ball.pcx", 8, 8, [](int x, int y) -> uint8_t {
    const int dx = 2 * x - 7, dy = 2 * y - 7;
    return dx * dx + dy * dy <= 49 ? uint8_t(3 * 16 + 15 - (dx + dy + 14) / 3) : 0;
  });
  WritePcx("pics/ghost.pcx", 12, 12, [](int x, int y) -> uint8_t {
    return (x < 3 || y > 8) ? 0 : uint8_t(7 * 16 + 10 + x % 3);
  });
  WritePcx("pics/sky.pcx", 64, 40,
           [](int x, int y) { return uint8_t(5 * 16 + 15 - y * 12 / 39 - (x % 16 == 0)); });
  WriteFile("level/test.def",
            "; the fixture level\r\n"
            "@a6\r\n@b8\r\n@c12\r\n@d16\r\n@e16\r\n@f64\r\n@i60\r\n"
            "@j pics\\sky.pcx,150,150\r\n"
            "#GRASS=pics\\grass.pcx\r\n#STONE=pics\\stone.pcx\r\n#WATER=pics\\water.pcx%1\r\n"
            "$BRICK=pics\\brick.pcx\r\n$PANEL=pics\\panel.pcx\r\n$GATE=pics\\gate.pcx#\r\n"
            "$FENCE=pics\\fence.pcx\r\n"
            "^BALL=pics\\ball.pcx\r\n^GHOST=pics\\ghost.pcx%2\r\n"
            "%1=GRASS,STONE,BRICK,BRICK,BRICK,BRICK\r\n"
            "%2=STONE,STONE,PANEL!,PANEL!,PANEL!,PANEL!\r\n"
            "%3=GRASS,STONE,GATE,GATE,GATE,GATE\r\n"
            "%4=WATER,NULL,NULL,NULL,NULL,NULL\r\n"
            "%5=STONE,STONE,FENCE,FENCE,FENCE,FENCE\r\n"
            "&0=BALL,10,10,0,0,0,0,0,0,0,0,0\r\n"
            "&1=GHOST,14,14,0,0,0,0,0,0,0,0,0\r\n"
            "&100=BALL,6,6,0,0,0,0,0,0,0,0,0\r\n");
  WriteFile("level/test.map", MapFile());
  WriteFile("level/test.txt",
            "[Level]\r\nLevel_def=level\\test.def\r\nLevel_map=level\\test.map\r\n"
            "Music=none.s3m\r\n");
  WriteFile("data/transp.tab", TransparencyFile());
  std::string font;
  for (int g = 0; g < EDIT_FONT_GLYPHS; ++g)
    for (int r = 0; r < EDIT_FONT_GLYPH_BYTES; ++r)
      font.push_back(char(((g * 37 + r * 11) & 0x1F) | 0x11));
  WriteFile("data/font.dat", font);
}

struct Camera {
  const char* name;
  double x, y, z;
  bool overlay;
};

constexpr Camera kCameras[] = {
    {"overview", 36.0, 60.0, 130.0, false}, {"low", 20.0, 12.0, 104.0, false},
    {"inside", 40.0, 20.0, 70.0, false},    {"below", 30.0, -25.0, 100.0, false},
    {"side", -30.0, 40.0, 110.0, false},    {"overlay", 36.0, 60.0, 130.0, true},
    {"far", 36.0, 80.0, 200.0, false},  // rows 9 to 15 deep: the depth fade
};

[[noreturn]] void ThrowOnExit(int status) {
  throw std::runtime_error("world engine ended the program, status " + std::to_string(status) +
                           ": " + world_last_error());
}
int AnswerBox(const char*, const char*, uint32_t) {
  return IDOK;
}

std::string GoldenPath(const std::string& name) {
  return std::string(ZR_SOURCE_DIR) + "/tests/render/golden/" + name + ".pcx";
}

bool Regenerating() {
  const char* v = std::getenv("ZR_REGEN_GOLDEN");
  return v != nullptr && v[0] == '1';
}

// Pixels of a PCX file, or empty.
std::vector<uint8_t> ReadPcx(const std::string& path, int& w, int& h) {
  ZR_BITMAP b{};
  if (!zr_bitmap_load(&b, path.c_str(), 0)) return {};
  w = b.width;
  h = b.height;
  std::vector<uint8_t> out(b.pixels, b.pixels + size_t(w) * h);
  zr_bitmap_free(&b);
  return out;
}

void CompareWithGolden(const std::string& name, const std::vector<uint8_t>& frame, int w, int h) {
  static std::array<uint8_t, 768> palette = FixturePalette();
  ZR_BITMAP b{};
  b.w = b.width = int16_t(w);
  b.h = b.height = int16_t(h);
  b.bpp = 8;
  b.pixels = const_cast<uint8_t*>(frame.data());
  b.palette = palette.data();
  if (Regenerating()) {
    ASSERT_TRUE(zr_bitmap_save_pcx(&b, GoldenPath(name).c_str(), nullptr)) << name;
    return;
  }
  int gw = 0, gh = 0;
  const std::vector<uint8_t> golden = ReadPcx(GoldenPath(name), gw, gh);
  ASSERT_FALSE(golden.empty()) << "missing golden frame " << GoldenPath(name);
  ASSERT_EQ(gw, w);
  ASSERT_EQ(gh, h);
  int differ = 0;
  for (size_t i = 0; i < frame.size(); ++i) differ += frame[i] != golden[i];
  if (differ != 0) {
    const std::string actual = std::string(::testing::TempDir()) + "actual_" + name + ".pcx";
    zr_bitmap_save_pcx(&b, actual.c_str(), nullptr);
    ADD_FAILURE() << name << ": " << differ << " pixels differ; this run's frame: " << actual;
  }
}

class GoldenFrames : public ::testing::Test {
 protected:
  void SetUp() override {
    world_set_exit_handler(ThrowOnExit);
    zr_message_box_set_hook(AnswerBox);
    world_set_pauses(false);
    WriteFixtureLevel();
  }
  void TearDown() override {
    world_set_exit_handler(nullptr);
    zr_message_box_set_hook(nullptr);
  }
  TempDir dir_;
};

TEST_F(GoldenFrames, FixtureLevelFromSeveralCameras) {
  ASSERT_EQ(Load_Level("level\\test.def", "level\\test.map", 1), 0);
  load_transparency_tables("data\\transp.tab");
  load_editing_font("data\\font.dat");
  GuardedFrame frame(320, 200);
  frame.Attach();
  set_level_drawing_parameters();
  for (const Camera& c : kCameras) {
    SCOPED_TRACE(c.name);
    frame.ClearView(0);
    draw_background(c.x, c.y);
    draw_world(c.x, c.y, c.z, c.overlay);
    EXPECT_EQ(frame.GuardsTouched(), 0);
    CompareWithGolden(c.name, frame.View(), 320, 200);
  }
  free_engine();
  free_editing_font();
  free_transparency_tables();
  free_level();
}

TEST_F(GoldenFrames, LargerViewDrawsTheSameScene) {
  ASSERT_EQ(Load_Level("level\\test.def", "level\\test.map", 1), 0);
  load_transparency_tables("data\\transp.tab");
  GuardedFrame frame(640, 400);
  frame.Attach();
  set_level_drawing_parameters();
  draw_background(36.0, 60.0);
  draw_world(36.0, 60.0, 130.0, false);
  EXPECT_EQ(frame.GuardsTouched(), 0);
  CompareWithGolden("overview_640", frame.View(), 640, 400);
  free_engine();
  free_transparency_tables();
  free_level();
}

TEST_F(GoldenFrames, ViewerShotIsTheFrameFromTheGivenCamera) {
  if (Regenerating()) GTEST_SKIP() << "compares with the frames just written";
  ViewerOptions options;
  options.levelFile = "level\\test.txt";
  options.headless = true;
  options.shotPath = "shot.pcx";
  options.hasCamera = true;
  options.cameraX = 36.0;
  options.cameraY = 60.0;
  options.cameraZ = 130.0;
  ASSERT_EQ(RunLevelViewer(options), 0);
  int w = 0, h = 0;
  const std::vector<uint8_t> shot = ReadPcx("shot.pcx", w, h);
  ASSERT_EQ(w, 320);
  ASSERT_EQ(h, 200);
  CompareWithGolden("overview", shot, w, h);
}

TEST_F(GoldenFrames, ViewerWindowStartsBehindTheStartObjectAndQuitsOnEscape) {
  if (Regenerating()) GTEST_SKIP();
  zr_clear_messages();
  zr_post_message(WM_KEYDOWN, 'O', 0);
  zr_post_message(WM_KEYDOWN, VK_ESCAPE, 0);
  ViewerOptions options;
  options.levelFile = "level\\test.txt";
  ASSERT_EQ(RunLevelViewer(options), 0);
  // The object of type 100 stands at (42, 0, 90).
  EXPECT_DOUBLE_EQ(camera_x, 42.0);
  EXPECT_DOUBLE_EQ(camera_y, 150.0);
  EXPECT_DOUBLE_EQ(camera_z, 370.0);
}

TEST_F(GoldenFrames, ViewerRefusesALevelFileWithoutKeys) {
  WriteFile("level/empty.txt", "[Level]\r\n");
  ViewerOptions options;
  options.levelFile = "level\\empty.txt";
  options.headless = true;
  options.shotPath = "shot.pcx";
  EXPECT_EQ(RunLevelViewer(options), 1);
  EXPECT_FALSE(std::ifstream("shot.pcx").good());
}

}  // namespace
