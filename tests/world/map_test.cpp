// The map file: both formats, rescaling, size changes, lighting clamps, refusals, save_map.
#include <cstring>

#include "world/objects.h"
#include "world_support.h"

namespace {

using namespace wtest;

class MapTest : public WorldTest {
 protected:
  // A definition with tile 1 and sprite 0 in a world of the given size.
  std::string definition(int columns, int rows, int cell = 12) {
    return crlf({"@a " + std::to_string(columns), "@b " + std::to_string(rows),
                 "@c " + std::to_string(cell), "%1 = NULL, NULL, NULL, NULL, NULL, NULL",
                 "&0 = NULL, 10, 40, 0, 0, 0, 0, 0, 0, 0, 0, 0"});
  }

  // A map of the given size with cell (c, r) = tile 1 at brightness c and tint r, and two objects.
  void write_map(int columns, int rows, int scale = 12) {
    int saved = cell_size;
    cell_size = scale;
    std::vector<Cell> cells(static_cast<size_t>(columns) * rows);
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < columns; ++c) {
        Cell& cell = cells[static_cast<size_t>(r) * columns + c];
        cell.tile = 1;
        cell.brightness = static_cast<uint8_t>(c);
        cell.tint = static_cast<uint8_t>(r);
        cell.cell_byte_a = 7;
        cell.up_face_heights[0] = static_cast<int16_t>(r * 1000 + c);
      }
    std::vector<WorldObject> objs(3);
    objs[1].sprite = 0;
    objs[1].x = 30;
    objs[1].y = 5;
    objs[1].z = 50;
    objs[1].mirror_h = 1;
    objs[2].sprite = 0;
    objs[2].x = 60;
    objs[2].z = 20;
    save_map("level.map", cells.data(), rows, columns, objs.data(), 2);
    cell_size = saved;
  }

  const Cell& cell(int c, int r) { return world[static_cast<size_t>(r) * world_columns + c]; }
};

TEST_F(MapTest, SavedMapLoadsBack) {
  write_map(20, 10);
  testing::internal::CaptureStdout();
  ASSERT_EQ(load(definition(20, 10)), -1) << last_error();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  ASSERT_EQ(last_object, 2);
  EXPECT_DOUBLE_EQ(objects[1].x, 30);
  EXPECT_DOUBLE_EQ(objects[1].y, 5);
  EXPECT_EQ(+objects[1].mirror_h, 1);
  EXPECT_EQ(+objects[1].size_h, 40);  // completed from the sprite
  EXPECT_EQ(cell(3, 4).tile, 1);
  EXPECT_EQ(cell(3, 4).cell_byte_a, 7);
  EXPECT_EQ(cell(3, 4).up_face_heights[0], 4003);
  // Lighting above 15 is clamped: brightness to 15, tint to 0.
  EXPECT_EQ(cell(12, 0).brightness, 12);
  EXPECT_EQ(cell(19, 0).brightness, 15);
  EXPECT_EQ(cell(0, 9).tint, 9);
  ASSERT_EQ(boxes().size(), 0u);
  free_level();

  write_map(20, 20);
  ASSERT_EQ(load(definition(20, 20)), -1) << last_error();
  EXPECT_EQ(cell(0, 15).tint, 15);
  EXPECT_EQ(cell(0, 16).tint, 0);
}

TEST_F(MapTest, ObjectsAreRescaledToTheCellSize) {
  write_map(20, 10, 12);
  ASSERT_EQ(load(definition(20, 10, 24)), -1) << last_error();
  EXPECT_DOUBLE_EQ(objects[1].x, 60);
  EXPECT_DOUBLE_EQ(objects[1].y, 5);
  EXPECT_DOUBLE_EQ(objects[1].z, 100);
}

TEST_F(MapTest, SizeChangesWarnAndKeepWhatFits) {
  write_map(20, 12);
  testing::internal::CaptureStdout();
  ASSERT_EQ(load(definition(20, 10)), -1) << last_error();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "WARNING!. Height or Size of the world\nhas changed.\n");
  EXPECT_EQ(cell(5, 9).up_face_heights[0], 9005);
  free_level();

  write_map(8, 10);
  testing::internal::CaptureStdout();
  ASSERT_EQ(load(definition(10, 10)), -1) << last_error();
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(cell(7, 2).tile, 1);
  EXPECT_EQ(cell(7, 2).up_face_heights[0], 2007);
  EXPECT_EQ(cell(8, 2).tile, 0);  // not covered: stays cleared
  EXPECT_EQ(cell(9, 9).brightness, 15);
  free_level();

  write_map(12, 10);
  testing::internal::CaptureStdout();
  ASSERT_EQ(load(definition(10, 10)), -1) << last_error();
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(cell(9, 3).up_face_heights[0], 3009);  // columns 10 and 11 dropped
  EXPECT_EQ(cell(0, 4).up_face_heights[0], 4000);
}

TEST_F(MapTest, OldFormatIsReadWithoutRescaling) {
  // last_object 1, object 1, then a 2 x 2 world.
  std::vector<uint8_t> bytes;
  auto add = [&](const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    bytes.insert(bytes.end(), b, b + n);
  };
  int16_t last = 1, rows = 2, columns = 2;
  WorldObject objs[2] = {};
  objs[1].sprite = 0;
  objs[1].x = 13;
  objs[1].z = 14;
  Cell cells[4] = {};
  cells[3].tile = 1;
  cells[3].brightness = 200;
  cells[3].tint = 200;
  add(&last, 2);
  add(objs, sizeof objs);
  add(&rows, 2);
  add(&columns, 2);
  add(cells, sizeof cells);
  write_bytes("level.map", bytes);
  testing::internal::CaptureStdout();
  ASSERT_EQ(load(definition(2, 2, 24)), -1) << last_error();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Reading a map saved in the OLD format...\n");
  EXPECT_EQ(last_object, 1);
  EXPECT_DOUBLE_EQ(objects[1].x, 13);
  EXPECT_EQ(cell(1, 1).tile, 1);
  EXPECT_EQ(cell(1, 1).brightness, 15);
  EXPECT_EQ(cell(1, 1).tint, 0);
}

TEST_F(MapTest, EmptyCellsNeedNoTile) {
  std::vector<Cell> cells(4);
  WorldObject none{};
  save_map("level.map", cells.data(), 2, 2, &none, 0);
  ASSERT_EQ(load(crlf({"@a 2", "@b 2"})), -1) << last_error();
  EXPECT_EQ(cell(1, 1).tile, 0);
}

TEST_F(MapTest, Refusals) {
  auto header = [](int16_t magic_or_last, int32_t scale, int16_t last) {
    std::vector<uint8_t> b;
    auto add = [&](const void* p, size_t n) {
      const auto* c = static_cast<const uint8_t*>(p);
      b.insert(b.end(), c, c + n);
    };
    add(&magic_or_last, 2);
    if (magic_or_last == MAP_MAGIC) {
      add(&scale, 4);
      add(&last, 2);
    }
    return b;
  };
  auto with_cells = [](std::vector<uint8_t> b, int last, int16_t rows, int16_t columns,
                       int16_t tile) {
    b.resize(b.size() + sizeof(WorldObject) * (last + 1));
    b.insert(b.end(), reinterpret_cast<uint8_t*>(&rows), reinterpret_cast<uint8_t*>(&rows) + 2);
    b.insert(b.end(), reinterpret_cast<uint8_t*>(&columns),
             reinterpret_cast<uint8_t*>(&columns) + 2);
    Cell c{};
    c.tile = tile;
    for (int i = 0; i < rows * columns; ++i)
      b.insert(b.end(), reinterpret_cast<uint8_t*>(&c), reinterpret_cast<uint8_t*>(&c) + 22);
    return b;
  };
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"too many objects", header(MAP_MAGIC, 12, 1000),
       "The map file level.map holds a wrong number of objects : 1000"},
      {"negative objects", header(-5, 0, 0),
       "The map file level.map holds a wrong number of objects : -5"},
      {"scale 0", header(MAP_MAGIC, 0, 0), "The map file level.map has a wrong scale : 0"},
      {"negative rows", with_cells(header(MAP_MAGIC, 12, 0), 0, -1, 2, 0),
       "The map file level.map has a wrong size : -1 rows, 2 columns"},
      {"tile 201", with_cells(header(MAP_MAGIC, 12, 0), 0, 2, 2, 201),
       "The map file level.map uses a wrong tile number : 201"},
      {"tile undefined", with_cells(header(MAP_MAGIC, 12, 0), 0, 2, 2, 3),
       "A tile number used in the map is not defined in the def file! -> 3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    write_bytes("level.map", c.bytes);
    testing::internal::CaptureStdout();
    EXPECT_EQ(load(definition(2, 2)), 0);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(last_error(), "Error: " + c.message);
    free_level();
  }
}

// A map of 0 x 0 cells only warns that the size changed, and a negative scale rescales the
// objects as the formula says (mirrored); only what cannot be read or divided is refused.
TEST_F(MapTest, EmptyMapWarnsAndNegativeScaleComputes) {
  write_map(0, 0, -12);
  testing::internal::CaptureStdout();
  ASSERT_EQ(load(definition(2, 2)), -1) << last_error();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "WARNING!. Height or Size of the world\nhas changed.\n");
  EXPECT_EQ(cell(1, 1).tile, 0);
  EXPECT_EQ(last_object, 2);
  EXPECT_DOUBLE_EQ(objects[1].x, -30);
  EXPECT_DOUBLE_EQ(objects[1].z, -50);
}

TEST_F(MapTest, ShortFileReadsZeros) {
  write_map(4, 4);
  std::string bytes = [] {
    std::ifstream in("level.map", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }();
  write_text("level.map", bytes.substr(0, bytes.size() - 22 * 5));
  ASSERT_EQ(load(definition(4, 4)), -1) << last_error();
  EXPECT_EQ(cell(2, 2).tile, 1);
  EXPECT_EQ(cell(3, 3).tile, 0);
}

TEST_F(MapTest, SaveMapCannotCreate) {
  Cell c{};
  EXPECT_EQ(exit_status([&] { save_map("no/such/dir/x.map", &c, 1, 1, nullptr, -1); }), 0);
  EXPECT_EQ(last_error(), "Error: Cant create map file!");
}

}  // namespace
