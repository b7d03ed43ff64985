// The renderer's rules on small worlds built in memory: row lengths, the near plane, object order
// and depth, neighbour culling, lighting with the depth fade, blending and transparency.
#include <gtest/gtest.h>

#include <cmath>

#include "render_support.h"

namespace {

constexpr uint8_t kFloor = 10, kFloor2 = 20, kWall = 30, kWall2 = 40;

// 5 columns x 40 rows of 12 units; floors 16 x 16, walls 16 x 64. Bitmaps: 0 floor kFloor,
// 1 floor kFloor2, 2 wall kWall, 3 wall kWall2 (with a transparent hole in its left half).
class RendererTest : public ::testing::Test {
 protected:
  RendererTest() : w_(5, 40, 12), frame_(320, 200) {
    floor_bitmap_size = 16;
    wall_bitmap_width = 16;
    wall_bitmap_height = 64;
    perspective_distance = 100;
    depth_rows = 15;
    w_.MakeBitmaps(2, 2, [](int i, int x, int) -> uint8_t {
      if (i == 3 && x < 8) return 0;
      return std::array<uint8_t, 4>{kFloor, kFloor2, kWall, kWall2}[i];
    });
    w_.MakeTables();
  }
  void SetUp() override {
    w_.Install();
    frame_.Attach();
    frame_.ClearView(0);
  }
  void TearDown() override {
    EXPECT_EQ(frame_.GuardsTouched(), 0);
    free_engine();
  }
  TestWorld w_;
  GuardedFrame frame_;
};

TEST_F(RendererTest, RowLengthsFollowTheViewAndCellSize) {
  // 320 x 200 view (projection 200), cells of 12: depth 0 has no column that fits (margin only),
  // depth 1 one, depth 30 twenty-four.
  EXPECT_EQ(row_length_for(0), 2);
  EXPECT_EQ(row_length_for(1), 3);
  EXPECT_EQ(row_length_for(30), 26);
  for (int i = 1; i < ROW_LENGTH_ENTRIES; ++i) EXPECT_GE(row_length_for(i), row_length_for(i - 1));
}

TEST_F(RendererTest, CameraInsideARowDrawsItOnlyWhenItsFarEdgeIsFiveAway) {
  w_.DefineTile(1, {0, 1, 2, 2, 2, 2});
  w_.SetBlock(2, 10, 1, 0, -10);
  // Inside the block: its far side fills the view once it is 5 units away.
  draw_world(30.0, -5.0, 10 * 12 + 4.9, false);
  EXPECT_EQ(frame_.Count(0), 320 * 200);
  draw_world(30.0, -5.0, 10 * 12 + 5.0, false);
  EXPECT_EQ(frame_.Count(kWall), 320 * 200);
}

TEST_F(RendererTest, ObjectAtFiveUnitsIsDrawnAndNearerIsNot) {
  const int ball = w_.AddSprite(4, 4, 77);
  w_.AddObject(ball, 30.0, 0.0, 61.0, 10, 10);
  w_.Install();
  draw_world(30.0, 5.0, 65.99, false);
  EXPECT_EQ(frame_.Count(77), 0);
  draw_world(30.0, 5.0, 66.0, false);
  EXPECT_EQ(frame_.Count(77), 320 * 200);  // 400 x 332 pixels around the view's centre
}

TEST_F(RendererTest, ObjectsInACellAreDrawnFartherFirstAndTheListStaysSorted) {
  const int near_sprite = w_.AddSprite(4, 4, 60);
  const int far_sprite = w_.AddSprite(4, 4, 50);
  const int near_id = w_.AddObject(near_sprite, 30.0, 0.0, 32.0, 10, 10);
  const int far_id = w_.AddObject(far_sprite, 30.0, 0.0, 30.0, 20, 20);
  w_.Install();
  draw_world(30.0, 5.0, 80.0, false);
  EXPECT_EQ(frame_.At(160, 100), 60);  // the nearer one on top
  EXPECT_EQ(frame_.At(190, 110), 50);  // the farther one around it
  const CellObjects& list = w_.lists[2 * 5 + 2];
  ASSERT_EQ(list.count, 2);
  EXPECT_EQ(list.ids[0], far_id);
  EXPECT_EQ(list.ids[1], near_id);
}

TEST_F(RendererTest, NeighbourWithoutUpFaceNeverHidesASide) {
  w_.DefineTile(1, {0, 1, 3, 2, 2, 2});       // left side kWall2, others kWall
  w_.DefineTile(2, {-1, 1, -1, -1, -1, -1});  // no up face
  w_.DefineTile(3, {1, 1, -1, -1, -1, -1});   // up face only
  w_.SetBlock(2, 5, 1, 20, 0);
  w_.SetBlock(1, 5, 2, 20, 0);
  draw_world(8.0, 10.0, 100.0, false);
  EXPECT_GT(frame_.Count(kWall2), 0);

  frame_.ClearView(0);
  w_.SetBlock(1, 5, 3, 20, 0);
  draw_world(8.0, 10.0, 100.0, false);
  EXPECT_EQ(frame_.Count(kWall2), 0);

  // A lower neighbour covers only part of the side: it is drawn.
  frame_.ClearView(0);
  w_.SetBlock(1, 5, 3, 10, 0);
  draw_world(8.0, 30.0, 100.0, false);
  EXPECT_GT(frame_.Count(kWall2), 0);
}

struct FadeCase {
  int depth;
  int brightness;
  int tint;
  uint8_t expected;
};

class FadeTest : public RendererTest, public ::testing::WithParamInterface<FadeCase> {};

TEST_P(FadeTest, CellColourMapFadesWithDepth) {
  const FadeCase c = GetParam();
  set_level_drawing_parameters();  // fade from row 10 by 2.0
  view_shift = 0;
  w_.DefineTile(1, {0, 1, -1, -1, -1, -1});
  const int camera_row = 20;
  const int row = camera_row - c.depth;
  w_.SetBlock(2, row, 1, 0, -10);
  w_.At(2, row).brightness = uint8_t(c.brightness);
  w_.At(2, row).tint = uint8_t(c.tint);
  draw_world(30.0, 10.0, camera_row * 12 + 6.0, false);
  EXPECT_GT(frame_.Count(c.expected), 0);
  if (c.expected != kFloor) {
    EXPECT_EQ(frame_.Count(kFloor), 0);
  }
}

// The colour map row tint * 16 + b maps everything to 100 + b, except the default row (tint 0,
// brightness 15), which leaves colours unchanged.
INSTANTIATE_TEST_SUITE_P(Depths, FadeTest,
                         ::testing::Values(FadeCase{14, 15, 0, 107}, FadeCase{10, 15, 0, kFloor},
                                           FadeCase{4, 9, 0, 109}, FadeCase{15, 3, 0, 100},
                                           FadeCase{4, 15, 1, 115}, FadeCase{4, 15, 200, 115}));

TEST_F(RendererTest, LightingOffWritesPixelsUnchanged) {
  w_.DefineTile(1, {0, 1, -1, -1, -1, -1});
  w_.SetBlock(2, 6, 1, 0, -10);
  w_.At(2, 6).brightness = 3;
  draw_world(30.0, 50.0, 20 * 12 + 6.0, false);
  EXPECT_GT(frame_.Count(kFloor), 0);
}

TEST_F(RendererTest, BlendTablesAndTransparentWallPixels) {
  w_.bitmaps[0].blend_table = 2;  // floor through table 1: destination + 2
  w_.DefineTile(1, {0, 1, -1, -1, -1, -1});
  w_.SetBlock(2, 14, 1, 0, -10);
  frame_.ClearView(3);
  draw_world(30.0, 30.0, 20 * 12 + 6.0, false);
  EXPECT_GT(frame_.Count(5), 0);
  EXPECT_EQ(frame_.Count(kFloor), 0);

  // A table the file did not hold draws opaque.
  w_.bitmaps[0].blend_table = 9;
  frame_.ClearView(3);
  draw_world(30.0, 30.0, 20 * 12 + 6.0, false);
  EXPECT_GT(frame_.Count(kFloor), 0);

  // Wall pixels of index 0 leave what is behind them.
  w_.DefineTile(2, {-1, -1, 3, 3, 3, 3});
  w_.SetBlock(2, 14, 2, 40, 0);
  frame_.ClearView(3);
  draw_world(30.0, 20.0, 20 * 12 + 6.0, false);
  EXPECT_GT(frame_.Count(kWall2), 0);
  EXPECT_GT(frame_.Count(3), 0);
  EXPECT_EQ(frame_.Count(0), 0);
}

TEST_F(RendererTest, SpritePixelsOfIndexZeroAreNeverWritten) {
  const int s = w_.AddSprite(4, 4, 0);
  w_.AddObject(s, 30.0, 0.0, 61.0, 10, 10);
  w_.Install();
  frame_.ClearView(9);
  draw_world(30.0, 5.0, 70.0, false);
  EXPECT_EQ(frame_.Count(9), 320 * 200);
}

TEST_F(RendererTest, LinesAreClippedToTheView) {
  for (int x : {-5, 0, 319, 320, 5000}) draw_vertical_line(x, 7);
  for (int y : {-1, 0, 199, 200}) draw_horizontal_line(y, -100, 1000, 8);
  draw_horizontal_line(50, 300, 10, 8);
  EXPECT_EQ(frame_.At(0, 100), 7);
  EXPECT_EQ(frame_.At(319, 100), 7);
  EXPECT_EQ(frame_.At(100, 0), 8);
  EXPECT_EQ(frame_.At(100, 199), 8);
  EXPECT_EQ(frame_.At(10, 50), 8);
  EXPECT_EQ(frame_.At(300, 50), 8);
  EXPECT_EQ(frame_.At(9, 50), 0);
}

TEST_F(RendererTest, DrawsNothingWithoutEngineOrOutsideTheWorld) {
  w_.DefineTile(1, {0, 1, 2, 2, 2, 2});
  for (int r = 0; r < 40; ++r)
    for (int c = 0; c < 5; ++c) w_.SetBlock(c, r, 1, 0, -10);
  draw_world(-1e7, 50.0, 200.0, false);
  draw_world(30.0, 50.0, -500.0, false);
  draw_world(1e300, 1e300, -1e300, false);
  draw_world(std::nan(""), 0.0, 0.0, true);
  EXPECT_EQ(frame_.Count(0), 320 * 200);
  free_engine();
  draw_world(30.0, 50.0, 200.0, false);
  EXPECT_EQ(frame_.Count(0), 320 * 200);
}

}  // namespace
