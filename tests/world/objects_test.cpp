// World objects: cell lists, private animations, the three ticks and the face heights.
#include "world/objects.h"

#include <cmath>

#include "world_support.h"

namespace {

using namespace wtest;

class ObjectsTest : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    for (int i = 0; i < 3; ++i) write_pcx("f" + std::to_string(i) + ".pcx", 2, 2 + i, 20 + i);
  }

  // A 10 x 10 world with sprites 0 (40 wide), 1 (10 wide) and the given extra lines.
  void load_world(const std::string& extra = "") {
    std::string def =
        kSizes +
        crlf({"@a 10", "@b 10", "^F0 = f0.pcx", "^F1 = f1.pcx", "^F2 = f2.pcx", "#T0 = f0.pcx",
              "#T1 = f1.pcx", "&0 = F0, 10, 40, 0, 0, 0, 0, 0, 0, 0, 0, 0",
              "&1 = F0, 10, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0"}) +
        extra;
    ASSERT_EQ(load(def), -1) << last_error();
  }

  const CellObjects& list(int column, int row) {
    return tiles_obj[static_cast<size_t>(row) * world_columns + column];
  }
  int count(int column, int row) { return list(column, row).count; }
  Cell& cell(int column, int row) {
    return world[static_cast<size_t>(row) * world_columns + column];
  }
};

TEST_F(ObjectsTest, CreateCompletesAndListsTheObject) {
  load_world();
  int o = create_object(0, 60, 3, 30);
  EXPECT_EQ(o, 1);
  EXPECT_EQ(+objects[o].size_h, 40);
  EXPECT_EQ(+objects[o].brightness, 15);
  EXPECT_EQ(+objects[o].placed_width, 40);
  // 40 wide with cell size 12: 40 / 12 + 2 = 5 cells from column (60 - 20) / 12 = 3, in row 2.
  EXPECT_EQ(+objects[o].row, 2);
  EXPECT_EQ(+objects[o].first_column, 3);
  for (int c = 0; c < 10; ++c) EXPECT_EQ(count(c, 2), c >= 3 && c <= 7 ? 1 : 0) << c;
  move_object(o, 60, 3, 50);
  for (int c = 0; c < 10; ++c) EXPECT_EQ(count(c, 2), 0);
  EXPECT_EQ(count(3, 4), 1);
}

TEST_F(ObjectsTest, ListsSkipFullCellsAndTheWorldsEdges) {
  load_world();
  for (int i = 0; i < 16; ++i) create_object(1, 18, 0, 18);
  EXPECT_EQ(count(1, 1), 15);
  EXPECT_EQ(last_object, 16);  // the 16th exists without being listed
  for (int k = 0; k < 15; ++k) EXPECT_EQ(list(1, 1).ids[k], k + 1);
  // Across the left edge: listed only in the columns inside the world.
  int o = create_object(0, 2, 0, 100);
  EXPECT_EQ(+objects[o].first_column, -1);  // (2 - 20) / 12 truncated towards zero
  move_object(o, -30, 0, 100);
  EXPECT_EQ(+objects[o].first_column, -4);
  for (int c = 0; c < 10; ++c) EXPECT_EQ(count(c, 8), c == 0 ? 1 : 0) << c;
  // Removal from the middle keeps the order of the others.
  move_object(3, 500, 0, 500);
  EXPECT_EQ(count(1, 1), 14);
  EXPECT_EQ(list(1, 1).ids[2], 4);
}

TEST_F(ObjectsTest, RemovalUsesTheWidthItWasPlacedWith) {
  load_world();
  int o = create_object(1, 60, 0, 30);  // 10 wide: 2 cells from column 4
  objects[o].size_h = 40;               // grows after placing
  move_object(o, 60, 0, 66);
  for (int c = 0; c < 10; ++c) EXPECT_EQ(count(c, 2), 0) << c;
  EXPECT_EQ(count(3, 5), 1);
  EXPECT_EQ(count(7, 5), 1);
}

TEST_F(ObjectsTest, CreateRefusesPastTheLimit) {
  load_world();
  last_object = 996;
  EXPECT_EQ(create_object(1, 1, 1, 1), 997);
  EXPECT_EQ(exit_status([] { create_object(1, 1, 1, 1); }), 0);
  EXPECT_EQ(last_error(), "Error: I cant create more objects\n\n");
  objects[5].sprite = 9;
  EXPECT_EQ(exit_status([] { complete_object(5); }), 0);
  EXPECT_EQ(last_error(), "Error: Sprite is NOT defined!!! -> 9");
}

TEST_F(ObjectsTest, MapObjectWithUndefinedSpriteStopsTheLoad) {
  std::vector<Cell> cells(100);
  std::vector<WorldObject> objs(2);
  objs[1].sprite = 7;
  save_map("level.map", cells.data(), 10, 10, objs.data(), 1);
  EXPECT_EQ(load(crlf({"@a 10", "@b 10"})), 0);
  EXPECT_EQ(last_error(), "Error: Sprite is NOT defined!!! -> 7");
}

TEST_F(ObjectsTest, PlainAnimationRepeatsThenStopsOnItsLastFrame) {
  load_world("<A = F0, 2, F1, 2, F2, 2\r\n");
  int o = create_object(0, 30, 0, 30);
  int a = sprite_bitmap_animation("A");
  ASSERT_EQ(a, 0);
  asign_animation_to_object(o, a, 2, 0);
  const ObjectEStuff& e = Object_EStuff[o];
  ASSERT_EQ(e.private_animation, 1);
  ASSERT_EQ(e.private_sprite_bitmap, 4);
  EXPECT_EQ(+objects[o].sprite_bitmap, 4);
  EXPECT_EQ(sprite_bitmap_index[4].height, 2);
  // A frame's countdown restarts at its delay plus the overshoot, so at this step the frame
  // changes on every other tick.
  std::vector<int> frames, repeats;
  for (int i = 0; i < 12; ++i) {
    tick_animated_bitmaps(2.5);
    frames.push_back(animated_bitmap_index[1].current_frame);
    repeats.push_back(e.repeats_left);
  }
  EXPECT_EQ(frames, (std::vector<int>{1, 1, 2, 2, 0, 0, 1, 1, 2, 2, 2, 2}));
  EXPECT_EQ(repeats, (std::vector<int>{2, 2, 2, 2, 1, 1, 1, 1, 1, 1, 0, 0}));
  EXPECT_EQ(sprite_bitmap_index[4].height, 4);  // the last frame's picture
  // The shared animation runs on forever.
  EXPECT_EQ(animated_bitmap_index[0].repeats, -1);
  // Asking again reuses the object's slots and restarts its copy.
  asign_animation_to_object(o, a, -1, 1);
  EXPECT_EQ(Object_EStuff[o].private_animation, 1);
  EXPECT_EQ(num_animated_bitmaps, 2);
  EXPECT_EQ(num_sprite_bitmaps, 5);
  EXPECT_EQ(animated_bitmap_index[1].current_frame, 1);
  EXPECT_EQ(sprite_bitmap_index[4].height, 3);
}

TEST_F(ObjectsTest, PingPongAnimations) {
  load_world("<*P = F0, 1, F1, 1, F2, 1\r\n<*ONE = F1, 1\r\n>*T = T0, 1, T1, 1\r\n");
  std::vector<int> three, one;
  for (int i = 0; i < 12; ++i) {
    tick_animated_bitmaps(1.5);
    three.push_back(animated_bitmap_index[0].current_frame);
    one.push_back(animated_bitmap_index[1].current_frame);
  }
  EXPECT_EQ(three, (std::vector<int>{1, 1, 2, 2, 1, 1, 0, 0, 1, 1, 2, 2}));
  EXPECT_EQ(one, (std::vector<int>(12, 0)));
  // The tile animation's name shows the current frame's picture.
  char t[] = "T";
  EXPECT_EQ(bitmap_index[find_bitmap(t)].offset, animated_bitmap_index[2].current_frame * 32);
}

TEST_F(ObjectsTest, CountdownCarriesTheOvershoot) {
  load_world("<A = F0, 10, F1, 4\r\n");
  tick_animated_bitmaps(10.5);
  EXPECT_EQ(animated_bitmap_index[0].current_frame, 1);
  EXPECT_DOUBLE_EQ(animated_bitmap_index[0].countdown, 4.5);
}

TEST_F(ObjectsTest, AssignRefusesWhatIsNotASpriteAnimation) {
  load_world(">T = T0, 1\r\n");
  int o = create_object(0, 30, 0, 30);
  EXPECT_EQ(exit_status([&] { asign_animation_to_object(o, 0, 1, 0); }), 0);
  EXPECT_EQ(last_error(),
            "Error: Wrong sprite animation number ( asign_animation_to_object ) -> 0");
  EXPECT_EQ(exit_status([&] { asign_animation_to_object(o, -1, 1, 0); }), 0);
}

TEST_F(ObjectsTest, AssignRefusesWhenTheTablesAreFull) {
  load_world("<A = F0, 2, F1, 2\r\n");
  int o = create_object(0, 30, 0, 30);
  int used = num_sprite_bitmaps;
  num_sprite_bitmaps = MAX_SPRITE_BITMAPS - 1;
  EXPECT_EQ(exit_status([&] { asign_animation_to_object(o, 0, 1, 0); }), 0);
  EXPECT_EQ(last_error(), "Error: Too many Sprite Bitmaps! ( asign_animation_to_object )");
  num_sprite_bitmaps = used;
  num_animated_bitmaps = MAX_ANIMATED_BITMAPS - 1;
  EXPECT_EQ(exit_status([&] { asign_animation_to_object(o, 0, 1, 0); }), 0);
  EXPECT_EQ(last_error(), "Error: Too many animated Bitmaps! ( asign_animation_to_object )");
  num_animated_bitmaps = 1;
  // The first that fits is taken.
  num_sprite_bitmaps = MAX_SPRITE_BITMAPS - 2;
  asign_animation_to_object(o, 0, 1, 0);
  EXPECT_EQ(Object_EStuff[o].private_sprite_bitmap, MAX_SPRITE_BITMAPS - 2);
  num_sprite_bitmaps = used;
}

TEST_F(ObjectsTest, MovingCellRisesPausesAndFalls) {
  // Frames: up to 30 at speed 50, pause 1; down to 10 at speed 50, pause 1.
  load_world(
      "%1 = T0, NULL, NULL, NULL, NULL, NULL\r\n*2, 3 = 1, 20, 10, 0, 30, 50, 1, 10, 50, 1\r\n");
  Cell& c = cell(3, 2);
  tick_moving_cells(1.0);  // starts
  EXPECT_EQ(c.up_face_heights[3], 20);
  EXPECT_EQ(c.down_face_heights[0], 10);
  EXPECT_EQ(c.tile, 0);
  tick_moving_cells(1.0);  // 20 + 5
  EXPECT_EQ(c.tile, 1);
  EXPECT_EQ(c.up_face_heights[0], 25);
  EXPECT_EQ(c.down_face_heights[0], 15);
  tick_moving_cells(1.5);  // passes 30: lands on it and pauses
  EXPECT_DOUBLE_EQ(mov_cell_index[0].timer_a, 30.0);
  EXPECT_DOUBLE_EQ(mov_cell_index[0].timer_b, 1.0);
  EXPECT_EQ(c.up_face_heights[0], 30);
  tick_moving_cells(0.5);
  EXPECT_EQ(mov_cell_index[0].current_frame, 0);
  tick_moving_cells(0.6);  // pause over
  EXPECT_EQ(mov_cell_index[0].current_frame, 1);
  tick_moving_cells(1.0);
  EXPECT_EQ(c.up_face_heights[0], 25);
  EXPECT_EQ(boxes().size(), 0u);
}

TEST_F(ObjectsTest, MovingCellWithInvertedFacesReportsOncePerLevel) {
  const std::string inverted =
      "%1 = T0, NULL, NULL, NULL, NULL, NULL\r\n*2, 3 = 1, 10, 20, 0, 30, 50, 1, 10, 50, 1\r\n";
  for (int level = 1; level <= 2; ++level) {
    load_world(inverted);
    boxes().clear();
    for (int i = 0; i < 5; ++i) tick_moving_cells(1.0);
    ASSERT_EQ(boxes().size(), 1u) << "level " << level;
    EXPECT_EQ(boxes()[0], "Error|Error: The height of a moving cell is wrong!");
    free_level();
  }
}

TEST_F(ObjectsTest, AnimatedObjectTravelsItsClosedPath) {
  // Sprite 1 from (12, 0, 30) to (36, 0, 30) at speed 2 with a pause of 3 there, and back.
  load_world("+1 = 12, 0, 30, 2, 0, 36, 0, 30, 4, 3\r\n");
  int o = Ani_Objects_Index[0].object;
  ASSERT_EQ(o, 1);
  tick_animated_objects(3.0);  // leg of 12 time units: 3 of them
  EXPECT_DOUBLE_EQ(objects[o].x, 18.0);
  for (int i = 0; i < 3; ++i) tick_animated_objects(3.0);
  EXPECT_DOUBLE_EQ(objects[o].x, 36.0);  // arrived exactly; waits the start point's delay (0)
  EXPECT_EQ(Ani_Objects_Index[0].current_frame, 1);
  tick_animated_objects(3.0);  // back at speed 4: leg of 6
  EXPECT_DOUBLE_EQ(objects[o].x, 24.0);
  tick_animated_objects(3.0);
  EXPECT_DOUBLE_EQ(objects[o].x, 12.0);
  EXPECT_DOUBLE_EQ(Ani_Objects_Index[0].wait, 3.0);
  tick_animated_objects(2.0);
  EXPECT_DOUBLE_EQ(Ani_Objects_Index[0].wait, 1.0);
  tick_animated_objects(2.0);
  EXPECT_DOUBLE_EQ(Ani_Objects_Index[0].wait, 0.0);
  EXPECT_DOUBLE_EQ(objects[o].x, 12.0);
  tick_animated_objects(3.0);
  EXPECT_DOUBLE_EQ(objects[o].x, 18.0);
  // The object's cell lists follow it.
  EXPECT_EQ(count((18 - 5) / 12, 2), 1);
}

TEST_F(ObjectsTest, FaceHeights) {
  load_world("%1 = T0, NULL, NULL, NULL, NULL, NULL\r\n");
  auto set = [&](int column, int row, std::array<int16_t, 4> up, int16_t down) {
    Cell& c = cell(column, row);
    c.tile = 1;
    for (int i = 0; i < 4; ++i) {
      c.up_face_heights[i] = up[i];
      c.down_face_heights[i] = down;
    }
  };
  set(1, 1, {30, 30, 30, 30}, 5);
  set(2, 1, {0, 0, 24, 24}, -6);  // rises along x
  set(3, 1, {24, 0, 24, 0}, 0);   // rises along z
  EXPECT_EQ(up_face_height(13, 13), 30.0);
  EXPECT_EQ(down_face_height(13, 13), 5.0);
  EXPECT_EQ(up_face_height(24 + 6, 13), 12.0);
  EXPECT_EQ(up_face_height(24 + 9.9, 13), 18.0);  // x is taken whole
  EXPECT_EQ(down_face_height(24 + 9, 13), -6.0);
  EXPECT_EQ(up_face_height(36 + 5, 12 + 3), 6.0);
  EXPECT_EQ(up_face_height(5 * 12, 13), 0.0);  // empty cell
  EXPECT_EQ(up_face_height(-500, 13), 0.0);    // outside
  EXPECT_EQ(up_face_height(13, 1e300), 0.0);
  EXPECT_EQ(up_face_height(std::nan(""), 13), 0.0);
}

}  // namespace
