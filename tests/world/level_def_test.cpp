// Load_Level: the line reader, every line kind, the tables it builds and every fatal message.
#include <cmath>
#include <cstring>

#include "world/objects.h"
#include "world_support.h"

namespace {

using namespace wtest;

class LevelDefTest : public WorldTest {};

TEST_F(LevelDefTest, MissingDefinitionFileReturnsOneWithoutReport) {
  EXPECT_EQ(Load_Level("nothing.def", "nothing.map", 1), 1);
  EXPECT_EQ(boxes().size(), 0u);
}

TEST_F(LevelDefTest, BuildsTablesOfASmallLevel) {
  std::vector<uint8_t> grass(32 * 32, 20);
  grass[5] = 0;  // one transparent pixel
  write_pcx("grass.pcx", 32, 32, grass);
  write_pcx("wall.pcx", 32, 64, 30);
  write_pcx("ship.pcx", 20, 37, 40);
  write_pcx("fir00.pcx", 4, 4, 50);
  write_pcx("fir01.pcx", 4, 5, 51);
  std::string def = crlf({"; a comment line",
                          "@a 20",
                          "@b 10",
                          "@c 12",
                          "@d 32",
                          "@e 32",
                          "@f 256",
                          "@g 7",
                          "@i 150",
                          "#Grass = grass.pcx",
                          "$Wall = wall.pcx%3#",
                          "^ship = ship.pcx",
                          ">*Flow = GRASS, 4, wall, 6",
                          "<Fly = SHIP, 9",
                          "] *FIRE = FIR, 2, 5",
                          "%1 = grass, NULL, wall, wall!, NULL!, flow",
                          "&0 = ship, -50, -100, 2, 1, 2, 3, 4, 5, 6, 7, 8",
                          "&1 = NULL, 10, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0",
                          "*3, 4 = 1, 20, 10, 0, 30, 5, 2, 10, 5, 2",
                          "+0 = 10, 0, 10, 1, 0, 34, 0, 10, 2, 0"});
  ASSERT_EQ(load(def), -1) << last_error();
  EXPECT_EQ(boxes().size(), 0u);

  EXPECT_EQ(world_columns, 20);
  EXPECT_EQ(world_rows, 10);
  EXPECT_EQ(param_g, 7);
  EXPECT_EQ(perspective_distance, 150);
  // One floor strip of 32 rows, one wall strip of 256 rows.
  EXPECT_EQ(tile_buffer_size, 32 * 256 + 256 * 256);

  ASSERT_EQ(num_bitmaps, 3);  // GRASS, WALL, FLOW
  EXPECT_STREQ(bitmap_index[0].name, "GRASS");
  EXPECT_EQ(bitmap_index[0].offset, 0);
  EXPECT_EQ(bitmap_index[0].has_transparent, 1);
  EXPECT_EQ(bitmap_index[1].offset, 32 * 256);
  EXPECT_EQ(bitmap_index[1].blend_table, 3);
  EXPECT_EQ(bitmap_index[1].hash_flag, 1);
  EXPECT_EQ(bitmap_index[1].has_transparent, 0);
  EXPECT_EQ(tile_buffer[32 * 256 + 63 * 256 + 31], 30);
  EXPECT_EQ(tile_buffer[32 * 256 + 64 * 256], 0);  // below the 64-row picture: untouched
  EXPECT_STREQ(bitmap_index[2].name, "FLOW");
  EXPECT_EQ(bitmap_index[2].offset, bitmap_index[0].offset);

  // SHIP, FLY, FIRE00, FIRE01, FIRE.
  ASSERT_EQ(num_sprite_bitmaps, 5);
  EXPECT_EQ(sprite_bitmap_index[0].height, 37);
  EXPECT_EQ(sprite_bitmap_index[0].owns_pixels, 1);
  EXPECT_EQ(sprite_bitmap_index[0].animation, -1);
  EXPECT_STREQ(sprite_bitmap_index[2].name, "FIRE00");
  EXPECT_STREQ(sprite_bitmap_index[3].name, "FIRE01");
  EXPECT_EQ(sprite_bitmap_index[3].height, 5);

  ASSERT_EQ(num_animated_bitmaps, 3);
  const AnimatedBitmap& flow = animated_bitmap_index[0];
  EXPECT_EQ(flow.kind, 0);
  EXPECT_EQ(flow.ping_pong, 1);
  EXPECT_EQ(flow.frame_count, 2);
  EXPECT_EQ(flow.frames[1], 1);
  EXPECT_EQ(flow.delays[1], 6);
  EXPECT_EQ(flow.countdown, 4.0);
  EXPECT_EQ(flow.target, 2);
  EXPECT_EQ(flow.active, 1);
  EXPECT_EQ(flow.repeats, -1);
  EXPECT_EQ(flow.owner_object, -1);
  const AnimatedBitmap& fire = animated_bitmap_index[2];
  EXPECT_EQ(fire.kind, 1);
  EXPECT_EQ(fire.ping_pong, 1);
  EXPECT_EQ(fire.frame_count, 2);
  EXPECT_EQ(fire.frames[0], 2);
  EXPECT_EQ(fire.delays[1], 5);
  EXPECT_EQ(sprite_bitmap_animation("fire"), 2);
  EXPECT_EQ(sprite_bitmap_animation("fly"), 1);
  EXPECT_EQ(sprite_bitmap_animation("ship"), -1);
  EXPECT_EQ(sprite_bitmap_animation("nope"), -1);
  EXPECT_EQ(sprite_bitmap_animation("NULL"), -1);
  const SpriteBitmap& fire_entry = sprite_bitmap_index[4];
  EXPECT_EQ(fire_entry.owns_pixels, 0);
  EXPECT_EQ(fire_entry.pixels, sprite_bitmap_index[2].pixels);

  const Tile& t = tiles[1];
  EXPECT_EQ(t.defined, 1);
  EXPECT_EQ(t.faces[0], 0);
  EXPECT_EQ(t.faces[1], -1);
  EXPECT_EQ(t.faces[3], 1);
  EXPECT_EQ(t.faces[4], -1);
  EXPECT_EQ(t.faces[5], 2);
  EXPECT_EQ(t.stretch[0], 0);
  EXPECT_EQ(t.stretch[1], 1);
  EXPECT_EQ(t.stretch[2], 1);

  const Sprite& s = sprites[0];
  EXPECT_EQ(s.size_v, 18);  // 50 % of 37 rows
  EXPECT_EQ(s.size_h, 20);
  EXPECT_EQ(s.blend_table, 2);
  EXPECT_EQ(s.values[0], 1);
  EXPECT_EQ(s.values[7], 8);
  EXPECT_EQ(sprites[1].sprite_bitmap, -1);

  ASSERT_EQ(num_mov_cells, 1);
  const MovingCell& m = mov_cell_index[0];
  EXPECT_EQ(m.z, 3);
  EXPECT_EQ(m.x, 4);
  EXPECT_EQ(m.up_face, 20);
  EXPECT_EQ(m.down_face, 10);
  EXPECT_EQ(m.frame_count, 2);
  EXPECT_EQ(m.heights[1], 10);
  EXPECT_EQ(m.timer_a, TIMER_NOT_STARTED);

  // The map is missing: no objects but the animated one, placed after the last.
  ASSERT_EQ(num_ani_objects, 1);
  ASSERT_EQ(last_object, 1);
  const AnimatedObject& a = Ani_Objects_Index[0];
  EXPECT_EQ(a.object, 1);
  EXPECT_DOUBLE_EQ(a.leg_time[0], 24.0);
  EXPECT_DOUBLE_EQ(a.step_x[0], 1.0);
  EXPECT_DOUBLE_EQ(a.leg_time[1], 12.0);
  EXPECT_DOUBLE_EQ(a.step_x[1], -2.0);
  EXPECT_DOUBLE_EQ(a.leg_left, 24.0);
  EXPECT_EQ(a.wait, TIMER_NOT_STARTED);
  const WorldObject& o = objects[1];
  EXPECT_EQ(+o.sprite, 0);
  EXPECT_EQ(+o.size_v, 18);
  EXPECT_EQ(+o.values[2], 3);
  EXPECT_EQ(+o.brightness, 15);
  EXPECT_DOUBLE_EQ(o.x, 10.0);
  EXPECT_EQ(+o.row, 0);
  EXPECT_NE(+o.first_column, OBJECT_NOT_LISTED);

  // The world is cleared.
  EXPECT_EQ(world[5].tile, 0);
  EXPECT_EQ(world[5].brightness, 15);
  for (int i = 0; i < MAX_OBJECTS; ++i) ASSERT_EQ(Object_EStuff[i].private_sprite_bitmap, -1);
}

TEST_F(LevelDefTest, LookupsUpperCaseInPlace) {
  write_pcx("a.pcx", 2, 2, 12);
  ASSERT_EQ(load(kSizes + crlf({"#Grass = a.pcx", "^Rock = a.pcx"})), -1) << last_error();
  char name[] = "grass";
  EXPECT_EQ(find_bitmap(name), 0);
  EXPECT_STREQ(name, "GRASS");
  char null_name[] = "null";
  EXPECT_EQ(find_bitmap(null_name), -1);
  char other[] = "nope";
  EXPECT_EQ(find_bitmap(other), -10);
  char rock[] = "rOcK";
  EXPECT_EQ(find_sprite_bitmap(rock), 0);
  char grass[] = "grass";
  EXPECT_EQ(find_sprite_bitmap(grass), -10);
}

TEST_F(LevelDefTest, FloorAndWallSlotsNeverOverlap) {
  write_pcx("f.pcx", 16, 16, 1);
  write_pcx("w.pcx", 32, 8, 2);
  // Walls before floors, and a tile animation between them.
  std::string def = crlf({"@d 16", "@e 32", "@f 8", "$W1 = w.pcx", "#F1 = f.pcx", ">A = F1, 1"});
  for (int i = 2; i <= 40; ++i) def += "#F" + std::to_string(i) + " = f.pcx\r\n";
  def += crlf({"$W2 = w.pcx"});
  ASSERT_EQ(load(def), -1) << last_error();
  // 40 floor bitmaps of 16: 3 strips of 16 rows; 2 walls of 32: one strip of 8 rows.
  const int floor_area = 3 * 16 * 256;
  EXPECT_EQ(tile_buffer_size, floor_area + 8 * 256);
  char w1[] = "W1", w2[] = "W2", f17[] = "F17", f40[] = "F40";
  EXPECT_EQ(bitmap_index[find_bitmap(w1)].offset, floor_area);
  EXPECT_EQ(bitmap_index[find_bitmap(w2)].offset, floor_area + 32);
  EXPECT_EQ(bitmap_index[find_bitmap(f17)].offset, 16 * 256);
  EXPECT_EQ(bitmap_index[find_bitmap(f40)].offset, 2 * 16 * 256 + 7 * 16);
}

TEST_F(LevelDefTest, PicturesAreCutToTheirSlot) {
  std::vector<uint8_t> big(40 * 40);
  for (int i = 0; i < 40 * 40; ++i) big[i] = static_cast<uint8_t>(1 + (i % 40));
  write_pcx("big.pcx", 40, 40, big);
  write_pcx("small.pcx", 8, 8, 9);
  ASSERT_EQ(load(crlf({"@d 32", "@e 32", "@f 16", "#BIG = big.pcx", "#SMALL = small.pcx"})), -1)
      << last_error();
  // The big one keeps its top-left 32 x 32; its neighbour slot starts at column 32.
  EXPECT_EQ(tile_buffer[31], 32);
  EXPECT_EQ(tile_buffer[31 * 256 + 31], 32);
  EXPECT_EQ(tile_buffer[32], 9);
  EXPECT_EQ(tile_buffer[32 + 7 * 256 + 7], 9);
  EXPECT_EQ(tile_buffer[32 + 8], 0);  // rest of the small slot untouched
  EXPECT_EQ(tile_buffer[32 + 8 * 256], 0);
}

TEST_F(LevelDefTest, LineReaderRules) {
  // Control bytes vanish, bytes from 128 stay, the last line needs no carriage return.
  write_text("lines.txt", std::string("ab\tc\xe9\r\n\r\nlast"));
  ZR_FILE* f = zr_io_fopen("lines.txt", "rb");
  ASSERT_NE(f, nullptr);
  char buffer[LINE_BUFFER_SIZE];
  ASSERT_EQ(read_level_line(f, buffer), 1);
  EXPECT_STREQ(buffer, "abc\xe9");
  ASSERT_EQ(read_level_line(f, buffer), 1);
  EXPECT_STREQ(buffer, "");
  ASSERT_EQ(read_level_line(f, buffer), 1);
  EXPECT_STREQ(buffer, "last");
  EXPECT_EQ(read_level_line(f, buffer), 0);
  zr_io_fclose(f);

  EXPECT_EQ(load(kSizes + ";" + std::string(9998, 'x') + "\r\n@a 30"), -1) << last_error();
  EXPECT_EQ(world_columns, 30);
  free_level();
  EXPECT_EQ(load(kSizes + ";" + std::string(9999, 'x') + "\r\n@a 40"), 0);
  EXPECT_EQ(last_error(), "Error: ERROR : Line is too long! ( maximun 9999 )");
  EXPECT_EQ(world_columns, 30);  // stopped there
}

TEST_F(LevelDefTest, LongNumberTokensAreReadWhole) {
  const std::string zeros(70, '0');
  ASSERT_EQ(
      load(kSizes + "&0 = NULL, 10, 12, 0, " + zeros + "7, -" + zeros + "5, 0, 0, 0, 0, 0, 0\r\n"),
      -1)
      << last_error();
  EXPECT_EQ(sprites[0].values[0], 7);
  EXPECT_EQ(sprites[0].values[1], -5);
}

// A block too large for the tracker's count fails like any allocation: the engine says first
// that memory ran out, then what the block was for.
TEST_F(LevelDefTest, FailedAllocationsSayFirstThatMemoryRanOut) {
  EXPECT_EQ(load(kSizes + "@a 32767\r\n@b 32767\r\n"), 0);
  ASSERT_GE(boxes().size(), 2u);
  EXPECT_EQ(boxes()[boxes().size() - 2], "Error|Error: Can't allocate more memory");
  EXPECT_EQ(boxes().back(), "Error|Error: Not enough memory for 'world'");
}

TEST_F(LevelDefTest, ErrorReportShowsBoxAndAsksToClose) {
  EXPECT_EQ(load("#A = a.pcx\r\n"), 0);
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0], "Error|Error: ERROR FATAL!!!");
  ZR_MSG msg{};
  bool close = false;
  while (zr_peek_message(&msg, PM_REMOVE))
    if (msg.message == WM_CLOSE) close = true;
  EXPECT_TRUE(close);
}

struct FatalCase {
  const char* name;
  std::string definition;
  std::string message;
  int status;
  bool at_end = false;  // found after the last line
};

// Every fatal message of the loader: the exact text, and nothing after it was handled (the
// line after each case would report an error of its own).
TEST_F(LevelDefTest, FatalMessages) {
  write_pcx("a.pcx", 4, 4, 11);
  write_pcx("bg.pcx", 8, 8, 11);
  const std::string after = "^LATER = missing.pcx\r\n";
  const std::vector<FatalCase> cases = {
      {"bitmap before sizes", "#A = a.pcx\r\n", "ERROR FATAL!!!", 0},
      {"sprite before sizes", "^A = a.pcx\r\n", "ERROR FATAL!!!", 0},
      {"missing picture", kSizes + "#A = nope.pcx\r\n", "Cant open the file : nope.pcx", 1},
      {"background hor", "@j bg.pcx\r\n", "Parameter missing in Background (hor)", 0},
      {"background ver", "@j bg.pcx, 150\r\n", "Parameter missing in Background (ver)\n", 0},
      {"bitmap twice", kSizes + "#Grass = a.pcx\r\n#GRASS = a.pcx\r\n",
       "Bitmap name already exist : GRASS", 0},
      {"tile animation name taken", kSizes + "#A = a.pcx\r\n>a = A, 1\r\n",
       "Bitmap name already exist : A", 0},
      {"sprite bitmap twice", kSizes + "^S = a.pcx\r\n^s = a.pcx\r\n",
       "Sprite Bitmap name already exist : S", 0},
      {"unknown tile frame", kSizes + ">ANIM = NOPE, 5\r\n", "Bitmap doesn't exist NOPE", 0},
      {"NULL frame", kSizes + ">ANIM = NULL, 5\r\n", "Bitmap doesn't exist NULL", 0},
      {"unknown sprite frame", kSizes + "<ANIM = nope, 5\r\n", "Sprite Bitmap doesn't exist NOPE",
       0},
      {"frame without delay", kSizes + "^S = a.pcx\r\n<ANIM = S, 5, S\r\n",
       "Delay Parameter missing in animated bitmap ANIM", 0},
      {"animation without frames", kSizes + "<ANIM =\r\n",
       "An animated bitmap should have at least 1 frame! -> ANIM", 0},
      {"super without delay", kSizes + "] FIRE = FIR, 1\r\n",
       "Parameters missing in super animated bitmap FIRE", 0},
      {"super without base", kSizes + "] FIRE\r\n",
       "Parameters missing in super animated bitmap FIRE", 0},
      {"super frame missing", kSizes + "] FIRE = FIR, 1, 7\r\n", "Cant open the file : FIR00.PCX",
       1},
      {"tile 0", "%0 = NULL, NULL, NULL, NULL, NULL, NULL\r\n", "Wrong tile number : 0", 0},
      {"tile 201", "%201 = NULL, NULL, NULL, NULL, NULL, NULL\r\n", "Wrong tile number : 201", 0},
      {"tile twice",
       "%1 = NULL, NULL, NULL, NULL, NULL, NULL\r\n%1 = NULL, NULL, NULL, NULL, NULL, NULL\r\n",
       "Tile number already defined : 1", 0},
      {"tile few faces", "%1 = NULL, NULL, NULL, NULL, NULL\r\n",
       "Very Few parameters in tile number 1", 0},
      {"stretched floor", "%1 = NULL, NULL!, NULL, NULL, NULL, NULL\r\n",
       "ERROR: You couldn't use the property '!' for floors - Tile 1", 0},
      {"unknown face", "%2 = NULL, NULL, NULL, nope, NULL, NULL\r\n",
       "Bitmap name don't exist : NOPE", 0},
      {"sprite 299", "&299 = NULL, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0\r\n",
       "Wrong sprite number : 299", 0},
      {"sprite -1", "&-1 = NULL, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0\r\n", "Wrong sprite number : -1",
       0},
      {"sprite twice",
       "&0 = NULL, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0\r\n&0 = NULL, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, "
       "0\r\n",
       "Sprite number already defined : 0", 0},
      {"sprite few values", "&4 = NULL, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0\r\n",
       "Very Few parameters in sprite number 4", 0},
      {"sprite unknown bitmap", "&4 = nope, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0\r\n",
       "Sprite Bitmap name don't exist : NOPE", 0},
      {"moving cell short", "*3, 4 = 1, 20, 10\r\n", "Parameters missing in moving cell -> z:3 x:4",
       0},
      {"moving cell tile", "*3, 4 = 7, 20, 10, 0, 1, 1, 1, 2, 1, 1\r\n",
       "A tile number used by an animated cell, is NOT defined! ->7", 0},
      {"moving cell speed",
       "%1 = NULL, NULL, NULL, NULL, NULL, NULL\r\n*3, 4 = 1, 20, 10, 0, 30, 5, 2, 10\r\n",
       "Speed parameter missing in moving cell -> 3 x:4", 0},
      {"moving cell delay",
       "%1 = NULL, NULL, NULL, NULL, NULL, NULL\r\n*3, 4 = 1, 20, 10, 0, 30, 5, 2, 10, 5\r\n",
       "Delay parameter missing in moving cell -> 3 x:4", 0},
      {"moving cell one frame",
       "%1 = NULL, NULL, NULL, NULL, NULL, NULL\r\n*3, 4 = 1, 20, 10, 0, 30, 5, 2\r\n",
       "A moving cell should have at least 2 frames! -> 3 x:4", 0},
      {"moving cell outside",
       "@a 10\r\n%1 = NULL, NULL, NULL, NULL, NULL, NULL\r\n*3, 10 = 1, 20, 10, 0, 30, 5, 2, 10, "
       "5, 2\r\n",
       "A moving cell lies outside the world -> z:3 x:10", 0, true},
      {"animated object sprite", "+5 = 1, 2, 3, 4, 5\r\n",
       "An Sprite number used by an animated objetc, is NOT defined! -> 5", 0},
      {"animated object y", "&0 = NULL, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0\r\n+0 = 1\r\n",
       "'Y' parameter missing in animated object -> 0", 0},
      {"animated object z", "&0 = NULL, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0\r\n+0 = 1, 2\r\n",
       "'Z' parameter missing in animated object -> 0", 0},
      {"animated object speed", "&0 = NULL, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0\r\n+0 = 1, 2, 3\r\n",
       "Speed parameter missing in animated object -> 0", 0},
      {"animated object delay", "&0 = NULL, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0\r\n+0 = 1, 2, 3, 4\r\n",
       "Delay parameter missing in animated object -> 0", 0},
      {"animated object no point", "&0 = NULL, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0\r\n+0 =\r\n",
       "An animated objectl should have at least 1 frame! -> 0", 0},
      {"world size", "@a 0\r\n", "Wrong size of the world : 0 x 100", 0, true},
      {"cell size", "@c 0\r\n", "Wrong cell size : 0", 0, true},
      {"tile sizes", "@d 300\r\n@e 32\r\n@f 256\r\n; next line makes the buffer\r\n",
       "Wrong size of the tile bitmaps (@d 300, @e 32, @f 256)", 0},
      {"tile size change", kSizes + "; buffer made here\r\n@d 16\r\n",
       "The size of the tile bitmaps cant change after the tile buffer is made (@d)", 0},
      {"super too long", kSizes + "] FIRE = FIR, 100, 1\r\n",
       "Too many frames in super animated bitmap FIRE (at most 99)", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    reset_parameters();
    int before = world_error_count();
    EXPECT_EQ(load(c.definition + (c.at_end ? "" : after)), c.status);
    EXPECT_EQ(last_error(), "Error: " + c.message);
    EXPECT_EQ(world_error_count(), before + 1);
    free_level();
  }
}

TEST_F(LevelDefTest, CapacitiesAreChecked) {
  write_pcx("a.pcx", 1, 1, 11);
  struct Case {
    const char* name;
    const char* line;  // numbered from `from` to `to`; only the last line is refused
    int from, to;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"bitmaps", "#B%d = a.pcx", 0, 999, "Too many bitmaps"},
      {"sprite bitmaps", "^S%d = a.pcx", 1, 999, "Too many Sprite Bitmaps!"},
      {"animations", "<A%d = S0, 1", 0, 299, "Too many animated Bitmaps!"},
      {"moving cells", "*%d, 0 = 1, 2, 1, 0, 1, 1, 1, 2, 1, 1", 0, 200,
       "Too many moving cells! ( at most 200 )"},
      {"animated objects", "+0 = %d, 0, 0, 1, 0", 0, 200,
       "Too many animated objects! ( at most 200 )"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string def = crlf({"@a 250", "@b 250", "@d 1", "@e 1", "@f 1", "^S0 = a.pcx",
                            "%1 = NULL, NULL, NULL, NULL, NULL, NULL",
                            "&0 = NULL, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0"});
    for (int i = c.from; i <= c.to; ++i) {
      char line[128];
      std::snprintf(line, sizeof line, c.line, i);
      def += std::string(line) + "\r\n";
    }
    int before = world_error_count();
    EXPECT_EQ(load(def), 0);
    EXPECT_EQ(last_error(), "Error: " + c.message);
    EXPECT_EQ(world_error_count(), before + 1);
    free_level();
  }
}

TEST_F(LevelDefTest, ReportsThatLetLoadingGoOn) {
  write_pcx("a.pcx", 2, 2, 11);
  write_pcx("bg.pcx", 8, 8, 11);
  std::string frames41;
  for (int i = 0; i < 41; ++i) frames41 += (i ? ", S, " : "S, ") + std::to_string(i + 1);
  std::string heights30, points30;
  for (int i = 0; i < 30; ++i) {
    heights30 += ", " + std::to_string(10 + i) + ", 1, 1";
    points30 += std::string(i ? ", " : "") + std::to_string(i) + ", 0, 0, 1, 0";
  }
  std::string def =
      kSizes + crlf({"@j bg.pcx, 50, 60", "^S = a.pcx", "<S = S, 1", "<A = " + frames41,
                     "%1 = NULL, NULL, NULL, NULL, NULL, NULL",
                     "*3, 4 = 1, 10, 20, 0, 30, 5, 2, 10, 5, 2", "*5, 6 = 1, 20, 10, 0" + heights30,
                     "&0 = NULL, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0", "+0 = " + points30});
  ASSERT_EQ(load(def), -1) << last_error();
  std::vector<std::string> expected = {
      "Error|Error: *Scale for background should be at least 100 -> 50",
      "Error|Error: Scale for background should be at least 100 -> 60",
      "Error|Error: Sprite Bitmap name already exist : S",
      "Error|Error: You cant have more than 40 frames in animated bitmap : A",
      "Error|Error: The down face altitude cant be higher than the up face in moving cell: 3 4",
      "Error|Error: You cant have more than 30 frames per moving cell",
      "Error|Error: You cant have more than 30 frames per animated object",
  };
  EXPECT_EQ(boxes(), expected);
  EXPECT_EQ(background_scale_h, 50);
  EXPECT_EQ(background_scale_v, 60);
  EXPECT_EQ(animated_bitmap_index[1].frame_count, 40);
  EXPECT_EQ(mov_cell_index[1].frame_count, 29);
  EXPECT_EQ(Ani_Objects_Index[0].frame_count, 29);
  // The path closes from point 28 back to point 0.
  EXPECT_DOUBLE_EQ(Ani_Objects_Index[0].step_x[28], -1.0);
}

TEST_F(LevelDefTest, DegenerateLegsStayFinite) {
  std::string def = crlf({"&0 = NULL, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0", "+0 = 5, 6, 7, 3, 0",
                          "+0 = 0, 0, 0, 0, 0, 24, 0, 0, 2, 0"});
  ASSERT_EQ(load(def), -1) << last_error();
  const AnimatedObject& one = Ani_Objects_Index[0];
  EXPECT_EQ(one.leg_time[0], 0.0);
  EXPECT_EQ(one.step_x[0], 0.0);
  const AnimatedObject& still = Ani_Objects_Index[1];
  EXPECT_EQ(still.leg_time[0], 0.0);  // speed 0
  EXPECT_DOUBLE_EQ(still.leg_time[1], 12.0);
  for (int i = 0; i < 20; ++i) tick_animated_objects(0.9);
  for (int k : {1, 2}) {
    const WorldObject& o = objects[k];
    EXPECT_TRUE(std::isfinite(o.x) && std::isfinite(o.y) && std::isfinite(o.z));
  }
  EXPECT_DOUBLE_EQ(objects[1].x, 5.0);
}

TEST_F(LevelDefTest, ParametersKeepTheirValuesBetweenLevels) {
  ASSERT_EQ(load(crlf({"@a 30", "@c 24", "@x 5", "@"})), -1);
  free_level();
  ASSERT_EQ(load(crlf({"@b 40"})), -1);
  EXPECT_EQ(world_columns, 30);
  EXPECT_EQ(world_rows, 40);
  EXPECT_EQ(cell_size, 24);
}

TEST_F(LevelDefTest, LoadingAgainWithoutFreeingReleasesTheOldLevel) {
  write_pcx("a.pcx", 2, 2, 11);
  std::string def = kSizes + crlf({"^S = a.pcx", "#F = a.pcx"});
  ASSERT_EQ(load(def), -1);
  ASSERT_EQ(load(def), -1);
  EXPECT_EQ(num_sprite_bitmaps, 1);
}

}  // namespace
