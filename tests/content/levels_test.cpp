// The generated content as the game sees it: zrgen is run twice into scratch folders (the two runs
// must agree byte for byte, and so must the packed archives), then every level is loaded from the
// archive alone with the world engine's Load_Level, which must not report a single message, and
// checked against the game's geometry: the animations it looks up, the start object, lanes that are
// level and clear, a world as wide as the loop needs. The palette, tables and editing font are
// checked for the properties the renderer relies on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "core_services.h"
#include "engine/core/fileio.h"
#include "engine/core/keyfile.h"
#include "engine/platform/message_box.h"
#include "engine/platform/messages.h"
#include "game_names.h"
#include "world/level_def.h"
#include "world/map.h"
#include "world/objects.h"
#include "world/transparency.h"
#include "world/world_error.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every regular file under root, by relative path.
std::map<std::string, std::vector<uint8_t>> tree(const fs::path& root) {
  std::map<std::string, std::vector<uint8_t>> files;
  for (const auto& e : fs::recursive_directory_iterator(root))
    if (e.is_regular_file()) files[fs::relative(e.path(), root).string()] = read_file(e.path());
  return files;
}

int run(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str());
}

struct WorldExit {
  int status;
};
[[noreturn]] void throw_exit(int status) {
  throw WorldExit{status};
}

std::vector<std::string>& boxes() {
  static std::vector<std::string> list;
  return list;
}
int capture_box(const char* text, const char* caption, uint32_t) {
  boxes().push_back(std::string(caption ? caption : "") + "|" + (text ? text : ""));
  return IDOK;
}

class GeneratedContent : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    char pattern[] = "/tmp/zrcontent.XXXXXX";
    root_ = ::mkdtemp(pattern);
    const std::string zrgen = std::string(ZR_BIN_DIR) + "/zrgen";
    const std::string zrpack = std::string(ZR_BIN_DIR) + "/zrpack";
    generated_ = run(zrgen + " " + (root_ / "a").string()) == 0 &&
                 run(zrgen + " " + (root_ / "b").string()) == 0;
    packed_ = generated_ && fs::exists(zrpack);
    if (packed_) {
      fs::create_directories(root_ / "game");
      packed_ =
          run(zrpack + " create " + (root_ / "game" / "VELDRAN.DAT").string() + " " +
              (root_ / "a").string()) == 0 &&
          run(zrpack + " create " + (root_ / "b.DAT").string() + " " + (root_ / "b").string()) == 0;
    }
  }
  static void TearDownTestSuite() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }

  void SetUp() override {
    ASSERT_TRUE(generated_) << "zrgen failed; it is built with the tools into " << ZR_BIN_DIR;
  }

  // Starts the core services in `dir` the way the program does, the warning box captured and the
  // world engine's exit turned into an exception.
  void start_services(const fs::path& dir, bool archive) {
    old_ = fs::current_path();
    fs::current_path(dir);
    zrtest::start_core_services(&switch_, &config_, {.archiveName = archive ? "VELDRAN.DAT" : ""});
    boxes().clear();
    zr_message_box_set_hook(capture_box);
    zr_clear_messages();
    world_set_exit_handler(throw_exit);
    world_set_pauses(false);
  }

  void stop_services() {
    free_transparency_tables();
    free_level();
    zr_io_deinit();
    world_set_exit_handler(nullptr);
    zr_message_box_set_hook(nullptr);
    zr_clear_messages();
    fs::current_path(old_);
  }

  static fs::path root_;
  static bool generated_, packed_;
  int32_t switch_ = 0;
  ZR_IO_CONFIG config_{};
  fs::path old_;
};

fs::path GeneratedContent::root_;
bool GeneratedContent::generated_ = false;
bool GeneratedContent::packed_ = false;

TEST_F(GeneratedContent, TwoRunsWriteTheSameBytes) {
  const auto a = tree(root_ / "a"), b = tree(root_ / "b");
  ASSERT_GT(a.size(), 100u);
  ASSERT_EQ(a.size(), b.size());
  for (const auto& [name, bytes] : a) {
    ASSERT_TRUE(b.count(name)) << name;
    EXPECT_TRUE(bytes == b.at(name)) << name << " differs between two runs";
  }
  if (!packed_) GTEST_SKIP() << "zrpack not built";
  EXPECT_TRUE(read_file(root_ / "game" / "VELDRAN.DAT") == read_file(root_ / "b.DAT"));
}

TEST_F(GeneratedContent, TextsNameTheApplicationFiles) {
  start_services(root_ / "a", false);
  char value[64];
  EXPECT_GT(zr_io_get_string("Application", "PALFile", value, sizeof value, "DATA\\TEXTS.TXT"), 0);
  EXPECT_TRUE(fs::exists(root_ / "a" / "data" / "pal.pcx")) << value;
  EXPECT_GT(zr_io_get_string("Application", "INIFile", value, sizeof value, "DATA\\TEXTS.TXT"), 0);
  EXPECT_GT(zr_io_get_string("Application", "Title", value, sizeof value, "DATA\\TEXTS.TXT"), 0);
  EXPECT_STREQ(value, "ZRSENTRY");
  EXPECT_GT(zr_io_get_string("Application", "Class", value, sizeof value, "DATA\\TEXTS.TXT"), 0);
  stop_services();
}

// Every level, loaded as a level start does, from the archive alone when zrpack is there.
TEST_F(GeneratedContent, EveryLevelLoadsWithoutAMessageAndFitsTheGame) {
  const fs::path dir = packed_ ? root_ / "game" : root_ / "a";
  std::map<std::string, int> definitions;
  for (int n = 1; n <= 20; ++n) {
    SCOPED_TRACE("level " + std::to_string(n));
    start_services(dir, packed_);
    const std::string file = "level\\level" + std::to_string(n) + ".txt";
    char def[256], map[256], music[256];
    ASSERT_GT(zr_io_get_string("Level", "Level_def", def, sizeof def, file.c_str()), 0);
    ASSERT_GT(zr_io_get_string("Level", "Level_map", map, sizeof map, file.c_str()), 0);
    ASSERT_GT(zr_io_get_string("Level", "Music", music, sizeof music, file.c_str()), 0);
    int status = -1;
    try {
      EXPECT_EQ(Load_Level(def, map, 1), 0);
      load_transparency_tables("data\\transp.tab");
    } catch (const WorldExit& e) {
      status = e.status;
    }
    ASSERT_EQ(status, -1) << world_last_error();
    EXPECT_TRUE(boxes().empty()) << boxes().front();

    for (const char* name : kAnimations) EXPECT_GE(sprite_bitmap_animation(name), 0) << name;
    for (int code : kTypeCodes) EXPECT_TRUE(sprites[code].defined) << "sprite " << code;

    // The loop x 500-2410 and the UFO's turn at width - 500 need a world about 2900-3000 wide;
    // 15 rows ahead of the camera must reach past the next lane (280 + 375 units).
    const int width = world_columns * cell_size;
    EXPECT_GE(width, 2900);
    EXPECT_LE(width, 3000);
    EXPECT_GE(15 * cell_size, 655);

    int start = 0;
    for (int i = 1; i <= last_object; ++i)
      if (objects[i].sprite == 100) start = start ? start : i;
    ASSERT_NE(start, 0) << "no start object";
    const double sx = objects[start].x, sy = objects[start].y, sz = objects[start].z;
    // Enemies are laid out from start x - 700 to + 750 and must stay inside 601-2309.
    EXPECT_GE(sx - 700, 601);
    EXPECT_LE(sx + 750, 2309);
    // The camera over the first lane and the farthest row seen over the third stay in the world.
    EXPECT_LT(sz + 280, world_rows * cell_size);
    EXPECT_GE(sz - 750 + 280 - 15 * cell_size, 0);

    for (int lane = 0; lane < 3; ++lane) {
      const double z = sz - lane * 375.0;
      double highest = -1e9;
      for (double x = 500; x <= 2410; x += 4) {
        const int tile = world[int(z) / cell_size * world_columns + int(x) / cell_size].tile;
        if (tile == 42 || tile == 43) {
          // Only the gates at the ends of the loop, where no enemy goes.
          EXPECT_TRUE(x < 601 || x > 2309) << "pass-through tile at x " << x;
          continue;
        }
        highest = std::max(highest, up_face_height(x, z));
      }
      // Ground low enough for the ship to fly at its start height, crawlers to crawl.
      EXPECT_LE(highest + 10.0, sy) << "lane " << lane + 1;
    }
    definitions[def] += 1;
    stop_services();
  }
  EXPECT_EQ(definitions.size(), 20u) << "every level has its own definition";
}

TEST_F(GeneratedContent, PaletteRampsRunFromDarkToLight) {
  const auto file = read_file(root_ / "a" / "data" / "pal.pcx");
  ASSERT_GT(file.size(), 769u);
  ASSERT_EQ(file[file.size() - 769], 0x0C);
  const uint8_t* p = file.data() + file.size() - 768;
  auto luma = [p](int i) { return p[i * 3] * 30 + p[i * 3 + 1] * 59 + p[i * 3 + 2] * 11; };
  EXPECT_EQ(p[0] + p[1] + p[2], 0) << "entry 0 is black";
  const int ramps[][2] = {{10, 25},   {26, 41},   {42, 57},   {58, 73},   {74, 89},
                          {90, 105},  {106, 121}, {122, 137}, {138, 148}, {149, 159},
                          {160, 175}, {176, 191}, {192, 207}, {208, 223}, {224, 239}};
  for (const auto& r : ramps)
    for (int i = r[0]; i < r[1]; ++i) EXPECT_LT(luma(i), luma(i + 1)) << "entry " << i;
  for (int i = 149; i <= 159; ++i) EXPECT_GT(luma(i), 100 * 120) << "highlight entry " << i;
}

TEST_F(GeneratedContent, TransparencyTables) {
  const auto file = read_file(root_ / "a" / "data" / "transp.tab");
  ASSERT_GE(file.size(), 1u);
  const int count = file[0];
  ASSERT_GE(count, 5);
  ASSERT_EQ(file.size(), 1 + size_t(count) * 65536);
  const auto pal = read_file(root_ / "a" / "data" / "pal.pcx");
  const uint8_t* p = pal.data() + pal.size() - 768;
  auto luma = [p](int i) { return p[i * 3] * 30 + p[i * 3 + 1] * 59 + p[i * 3 + 2] * 11; };
  const uint8_t* map = file.data() + 1 + 4 * 65536;
  for (int c = 0; c < 256; ++c) {
    EXPECT_EQ(map[15 * 256 + c], c) << "tint 0 brightness 15 is the identity";
    for (int tint = 0; tint < 16; ++tint) {
      const uint8_t* row = map + tint * 16 * 256;
      EXPECT_LE(luma(row[c]), luma(row[15 * 256 + c]) + 1500) << "tint " << tint << " colour " << c;
      // Darker rows give darker colours (near black the nearest entry may change hue a little).
      EXPECT_LE(luma(row[0 * 256 + c]), luma(row[8 * 256 + c]) + 1000)
          << "tint " << tint << " colour " << c;
    }
  }
  // Blends give picture colours only, never the reserved entries.
  for (int t = 0; t < 4; ++t) {
    const uint8_t* table = file.data() + 1 + size_t(t) * 65536;
    for (int s = 10; s <= 245; s += 7)
      for (int d = 10; d <= 245; d += 5) {
        const uint8_t v = table[s * 256 + d];
        EXPECT_TRUE(v >= 10 && v <= 245) << "table " << t << " gives a reserved entry";
      }
  }
  // The 50 % mix of a colour with itself is that colour (the nearest entry to it).
  for (int c = 10; c <= 245; ++c) EXPECT_EQ(luma(file[1 + c * 256 + c]), luma(c)) << c;
}

TEST_F(GeneratedContent, EditingFontHasEveryMappedGlyph) {
  const auto font = read_file(root_ / "a" / "data" / "font.dat");
  ASSERT_EQ(font.size(), 224u * 7);
  auto ink = [&](int glyph) {
    int bits = 0;
    for (int r = 0; r < 7; ++r) bits += __builtin_popcount(font[glyph * 7 + r] & 0x1F);
    return bits;
  };
  for (int g = 0; g <= 82; ++g) EXPECT_GT(ink(g), 2) << "glyph " << g;
  for (int g = 83; g < 224; ++g) EXPECT_EQ(ink(g), 0) << "glyph " << g;
  // Distinct shapes for the letters and digits.
  std::map<std::vector<uint8_t>, int> seen;
  for (int g = 0; g < 62; ++g) {
    std::vector<uint8_t> shape(font.begin() + g * 7, font.begin() + g * 7 + 7);
    EXPECT_EQ(seen.count(shape), 0u) << "glyph " << g << " repeats glyph " << seen[shape];
    seen[shape] = g;
  }
}

}  // namespace
