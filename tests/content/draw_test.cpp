// The generator's drawing helpers: pixel-centre scan conversion without gaps or overlaps, ordered
// dithering along a ramp, outlines, and the flat-shaded mesh drawer.
#include "tools/zrgen/draw.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

using draw::Vec2;

int count(const Canvas& c, uint8_t colour) {
  int n = 0;
  for (uint8_t p : c.pixels) n += p == colour;
  return n;
}

TEST(DrawTest, PolygonCoversThePixelsWhoseCentresItHolds) {
  Canvas c(8, 8);
  const std::array<Vec2, 4> square = {{{1, 1}, {4, 1}, {4, 4}, {1, 4}}};
  draw::fill_polygon(c, square, 7);
  EXPECT_EQ(count(c, 7), 9);
  EXPECT_EQ(c.get(1, 1), 7);
  EXPECT_EQ(c.get(3, 3), 7);
  EXPECT_EQ(c.get(4, 4), 0);
  // Edges moved by less than half a pixel reach no new centre; past it they take a new row.
  Canvas d(8, 8);
  const std::array<Vec2, 4> nudged = {{{0.6, 0.6}, {4.4, 0.6}, {4.4, 4.4}, {0.6, 4.4}}};
  draw::fill_polygon(d, nudged, 7);
  EXPECT_EQ(count(d, 7), 9);
  Canvas g(8, 8);
  const std::array<Vec2, 4> grown = {{{0.49, 0.49}, {4.51, 0.49}, {4.51, 4.51}, {0.49, 4.51}}};
  draw::fill_polygon(g, grown, 7);
  EXPECT_EQ(count(g, 7), 25);
  // Shapes partly outside the canvas are clipped, not wrapped.
  Canvas e(4, 4);
  const std::array<Vec2, 3> big = {{{-10, -10}, {20, -10}, {-10, 20}}};
  draw::fill_polygon(e, big, 3);
  EXPECT_EQ(count(e, 3), 16);
}

TEST(DrawTest, PolygonsSharingEdgesNeitherOverlapNorLeaveGaps) {
  // A fan of triangles around an off-grid centre covers its disc-like polygon exactly once.
  constexpr int kN = 13;
  const Vec2 centre{10.3, 9.7};
  std::vector<Vec2> rim;
  for (int i = 0; i < kN; ++i) {
    const double a = 2 * 3.14159265358979 * i / kN + 0.1;
    rim.push_back({centre.x + 8.6 * std::cos(a), centre.y + 7.9 * std::sin(a)});
  }
  std::vector<int> hits(21 * 21, 0);
  for (int i = 0; i < kN; ++i) {
    Canvas one(21, 21);
    const std::array<Vec2, 3> tri = {{centre, rim[i], rim[(i + 1) % kN]}};
    draw::fill_polygon(one, tri, 1);
    for (size_t p = 0; p < hits.size(); ++p) hits[p] += one.pixels[p];
  }
  Canvas whole(21, 21);
  draw::fill_polygon(whole, rim, 1);
  for (size_t p = 0; p < hits.size(); ++p) {
    ASSERT_EQ(hits[p], whole.pixels[p]) << "pixel " << p % 21 << "," << p / 21;
  }
  EXPECT_GT(count(whole, 1), 150);
}

TEST(DrawTest, DitherMixesTheTwoNearestLevels) {
  EXPECT_EQ(draw::dither(pal::GREEN, 7.0, 0, 0), pal::shade(pal::GREEN, 7));
  EXPECT_EQ(draw::dither(pal::GREEN, 99.0, 3, 1), pal::shade(pal::GREEN, 15));
  EXPECT_EQ(draw::dither(pal::GREEN, -4.0, 3, 1), pal::shade(pal::GREEN, 0));
  int upper = 0;
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      const uint8_t c = draw::dither(pal::RED, 4.5, x, y);
      ASSERT_TRUE(c == pal::shade(pal::RED, 4) || c == pal::shade(pal::RED, 5));
      upper += c == pal::shade(pal::RED, 5);
    }
  }
  EXPECT_EQ(upper, 8);
  // Ramps are recognised back from their entries.
  EXPECT_EQ(draw::ramp_of(pal::shade(pal::TEAL, 9)), pal::TEAL);
  EXPECT_EQ(draw::level_of(pal::shade(pal::TEAL, 9)), 9);
}

TEST(DrawTest, OutlinesSurroundOpaquePixelsOnly) {
  Canvas c(5, 5);
  c.set(2, 2, pal::shade(pal::BLUE, 12));
  draw::outline_tinted(c, 1);
  EXPECT_EQ(count(c, pal::shade(pal::BLUE, 1)), 4);
  EXPECT_EQ(c.get(2, 2), pal::shade(pal::BLUE, 12));
  EXPECT_EQ(c.get(1, 1), 0);
  // Glare colours get a grey edge rather than a glare one.
  Canvas w(3, 3);
  w.set(1, 1, 240);
  draw::outline_tinted(w, 1);
  EXPECT_EQ(w.get(0, 1), pal::shade(pal::GREY, 1));
}

TEST(DrawTest, MeshShowsOnlyFacesTurnedToTheViewer) {
  // A cube seen straight on shows its front face only, lit by its base level.
  const draw::Mesh cube = draw::box({-1, -1, -1}, {1, 1, 1}, pal::BROWN, 8);
  ASSERT_EQ(cube.size(), 6u);
  draw::View view;
  view.scale = 4;
  view.cx = 8;
  view.cy = 8;
  Canvas c(16, 16);
  draw::draw_mesh(c, cube, view, {0, 0, 1}, 4.0);
  EXPECT_EQ(count(c, pal::shade(pal::BROWN, 12)), 64);  // the 8 × 8 front face, fully lit
  // Turned a little, a side shows too; the picture is the same on every run.
  view.yaw = 0.5;
  Canvas a(16, 16), b(16, 16);
  draw::draw_mesh(a, cube, view);
  draw::draw_mesh(b, cube, view);
  EXPECT_EQ(a.pixels, b.pixels);
  EXPECT_GT(count(a, 0), 0);
  EXPECT_LT(count(a, 0), 16 * 16 - 64);
}

}  // namespace
