// Measuring and drawing: fixed and proportional spacing, the rectangle's edges, and stretching
// in both spacings with and without kept proportions, scanlines, and the spreading of pixels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui_support.h"

namespace {

using uitest::Target;
using uitest::write_text;

// Glyphs A, B, C, D on 8 x 8 cells: glyph k is ink in columns 1 .. k+1, rows 1 .. 6, colour
// 20 + k, so that trimmed it is k + 1 wide.
class FontDrawTest : public uitest::FontTest {
 protected:
  void load(int flags) {
    Canvas c(32, 8);
    for (int k = 0; k < 4; ++k)
      for (int y = 1; y <= 6; ++y)
        for (int x = 1; x <= k + 1; ++x) c.set(8 * k + x, y, static_cast<uint8_t>(20 + k));
    write_pcx("g.pcx", c, pal::game_palette());
    write_text("f.fnt", properties(8, 8, 1) + file_section(1, "g.pcx", 1, {"ABCD"}));
    ASSERT_EQ(zr_font_load(&font_, "f.fnt", flags), 1);
  }
  // The first and last column of the colour in row y, or {-1, -1}.
  static std::pair<int, int> span(const Target& t, uint8_t colour, int y) {
    int first = -1, last = -1;
    for (int x = 0; x < t.bitmap.width; ++x) {
      if (t.at(x, y) != colour) continue;
      if (first < 0) first = x;
      last = x;
    }
    return {first, last};
  }
};

TEST_F(FontDrawTest, MeasureFixedAndProportional) {
  load(ZR_FONT_TRIM);
  ZR_RECT r{};
  ASSERT_EQ(zr_font_measure(&font_, "AB", &r, ZR_FONT_PROPORTIONAL), 1);
  EXPECT_EQ(r.w, 1 + 2 + 2);
  EXPECT_EQ(r.h, 8);
  ASSERT_EQ(zr_font_measure(&font_, "ABCD", &r, 0), 1);
  EXPECT_EQ(r.w, 32);
  EXPECT_EQ(r.h, 8);
  // An unknown character measures as the space (its full cell).
  ASSERT_EQ(zr_font_measure(&font_, "A?", &r, ZR_FONT_PROPORTIONAL), 1);
  EXPECT_EQ(r.w, 2 + 9);
  EXPECT_EQ(zr_font_measure(&font_, "", &r, 0), 0);
  EXPECT_EQ(zr_font_measure(&font_, nullptr, &r, 0), 0);
  EXPECT_EQ(zr_font_measure(&font_, "A", nullptr, 0), 0);
  EXPECT_EQ(zr_font_measure(nullptr, "A", &r, 0), 0);
}

TEST_F(FontDrawTest, PlainDrawingInBothSpacings) {
  load(ZR_FONT_TRIM);
  {
    Target t(40, 10);
    const ZR_RECT rect{2, 1, 36, 8};
    zr_font_draw(&font_, "AB C", &t.bitmap, &rect, 0);  // fixed: one cell each
    EXPECT_EQ(span(t, 20, 2), std::make_pair(2, 2));
    EXPECT_EQ(span(t, 21, 2), std::make_pair(10, 11));
    EXPECT_EQ(span(t, 22, 2), std::make_pair(26, 28));
    EXPECT_EQ(span(t, 20, 1 + 7), std::make_pair(-1, -1));  // the glyph's bottom row is blank
    EXPECT_EQ(span(t, 20, 0), std::make_pair(-1, -1));
  }
  {
    Target t(40, 10);
    const ZR_RECT rect{2, 1, 36, 8};
    zr_font_draw(&font_, "AB C", &t.bitmap, &rect, ZR_FONT_PROPORTIONAL);
    EXPECT_EQ(span(t, 20, 2), std::make_pair(2, 2));
    EXPECT_EQ(span(t, 21, 2), std::make_pair(4, 5));
    EXPECT_EQ(span(t, 22, 2), std::make_pair(16, 18));  // after the 8-pixel space and its gap
  }
  {
    // The rectangle's right edge cuts the text; the scanline and dimmed options change nothing.
    Target t(40, 10);
    const ZR_RECT rect{0, 0, 5, 8};
    zr_font_draw(&font_, "CD", &t.bitmap, &rect,
                 ZR_FONT_PROPORTIONAL | ZR_FONT_SCANLINES | ZR_FONT_DIMMED);
    EXPECT_EQ(span(t, 22, 1), std::make_pair(0, 2));
    EXPECT_EQ(span(t, 22, 2), std::make_pair(0, 2));
    EXPECT_EQ(span(t, 23, 1), std::make_pair(4, 4));
    EXPECT_EQ(t.rightmost_ink(), 4);
  }
  {
    // Without a rectangle: the target's width and the font's height from the top left.
    Target t(12, 10);
    zr_font_draw(&font_, "DDD", &t.bitmap, nullptr, ZR_FONT_PROPORTIONAL);
    EXPECT_EQ(span(t, 23, 6), std::make_pair(0, 11));
    EXPECT_EQ(span(t, 23, 8), std::make_pair(-1, -1));
  }
}

TEST_F(FontDrawTest, NothingIsDrawnWithoutSomethingToDraw) {
  load(ZR_FONT_TRIM);
  Target t(20, 10);
  const std::vector<ZR_RECT> empty = {{0, 0, 0, 8},  {0, 0, 8, 0},  {0, 0, -4, 8}, {20, 0, 8, 8},
                                      {0, 10, 8, 8}, {-8, 0, 8, 8}, {0, -8, 8, 8}};
  for (const ZR_RECT& r : empty) {
    zr_font_draw(&font_, "DD", &t.bitmap, &r, 0);
    zr_font_draw(&font_, "DD", &t.bitmap, &r, ZR_FONT_STRETCHED);
  }
  zr_font_draw(&font_, "", &t.bitmap, nullptr, 0);
  zr_font_draw(&font_, nullptr, &t.bitmap, nullptr, 0);
  zr_font_draw(nullptr, "D", &t.bitmap, nullptr, 0);
  zr_font_draw(&font_, "D", nullptr, nullptr, 0);
  zr_font_draw(&font_, "??", &t.bitmap, nullptr, ZR_FONT_STRETCHED);  // spaces only
  EXPECT_EQ(t.rightmost_ink(), -1);
  // A rectangle partly outside draws the part inside.
  const ZR_RECT left{-3, 0, 10, 8};
  zr_font_draw(&font_, "D", &t.bitmap, &left, 0);
  EXPECT_EQ(span(t, 23, 1), std::make_pair(0, 0));
}

TEST_F(FontDrawTest, StretchedFixedSpacingSpreadsTheRemainder) {
  load(0);  // full cells: each glyph shows where its cell went
  // 3 glyphs in 20 pixels: 6 each and 2 left over, one each to glyphs 1 and 2.
  Target t(24, 16);
  const ZR_RECT rect{1, 0, 20, 16};
  zr_font_draw(&font_, "DDD", &t.bitmap, &rect, ZR_FONT_STRETCHED);
  // Glyph D is ink in cell columns 1..4 of 8, rows 1..6 of 8; stretched x2 vertically.
  EXPECT_EQ(span(t, 23, 2).first, 1 + 1);
  int starts = 0, ends = 0;
  for (int x = 0; x < 24; ++x) {
    const bool here = t.at(x, 4) == 23, before = x > 0 && t.at(x - 1, 4) == 23;
    starts += here && !before;
    ends += !here && before;
  }
  EXPECT_EQ(starts, 3);
  EXPECT_EQ(t.at(4, 0), 0);
  EXPECT_EQ(t.at(4, 1), 0);
  EXPECT_EQ(t.at(4, 2), 23);
  EXPECT_EQ(t.at(4, 13), 23);
  EXPECT_EQ(t.at(4, 14), 0);
  // The cells were 7, 7 and 6 wide: the third D's ink starts 14 pixels after the first's.
  std::vector<int> inkStarts;
  for (int x = 0; x < 24; ++x)
    if (t.at(x, 4) == 23 && (x == 0 || t.at(x - 1, 4) != 23)) inkStarts.push_back(x);
  ASSERT_EQ(inkStarts.size(), 3u);
  EXPECT_EQ(inkStarts[1] - inkStarts[0], 7);
  EXPECT_EQ(inkStarts[2] - inkStarts[1], 7);
}

TEST_F(FontDrawTest, StretchedProportionalFillsTheRectangleWhateverTheLeftover) {
  load(ZR_FONT_TRIM);
  // "ABC" measures 1+2+3+3 = 9. Widening to 60 leaves 19 pixels over three glyphs, more than
  // there are glyphs; narrowing to 7 takes pixels away. Either way the text spans the rectangle.
  for (int width : {60, 200, 31, 9, 7, 5}) {
    SCOPED_TRACE(width);
    Target t(220, 8);
    const ZR_RECT rect{3, 0, static_cast<int16_t>(width), 8};
    zr_font_draw(&font_, "ABC", &t.bitmap, &rect, ZR_FONT_STRETCHED | ZR_FONT_PROPORTIONAL);
    const auto a = span(t, 20, 3), b = span(t, 21, 3), c = span(t, 22, 3);
    if (width >= 9) {
      EXPECT_EQ(a.first, 3);
      EXPECT_EQ(c.second, 3 + width - 1);
      EXPECT_EQ(b.first, a.second + 2);  // one pixel between glyphs
      EXPECT_EQ(c.first, b.second + 2);
      // Each glyph is its scaled width (6, 13, 20 at 60 pixels) plus its share of the
      // leftover (19 = 3 x 6 + 1, the extra pixel to the first glyph).
      const int wa = a.second - a.first + 1, wb = b.second - b.first + 1,
                wc = c.second - c.first + 1;
      if (width == 60) {
        EXPECT_EQ((std::vector<int>{wa, wb, wc}), (std::vector<int>{13, 19, 26}));
      }
      if (width == 200) {
        EXPECT_EQ((std::vector<int>{wa, wb, wc}), (std::vector<int>{44, 66, 88}));
      }
      EXPECT_EQ(wa + wb + wc + 2, width);
    }
    EXPECT_GE(t.rightmost_ink(), 3);
    EXPECT_LE(t.rightmost_ink(), 3 + width - 1);
  }
}

TEST_F(FontDrawTest, KeptProportionsScanlinesAndTheRightEdge) {
  load(ZR_FONT_TRIM);
  {
    // Fixed, kept proportions at height 16: every glyph 16 wide; the third is cut at the edge.
    Target t(48, 16);
    const ZR_RECT rect{0, 0, 40, 16};
    zr_font_draw(&font_, "CCC", &t.bitmap, &rect, ZR_FONT_STRETCHED | ZR_FONT_KEEP_RATIO);
    // C's drawn columns 1..3 (3 wide) become 6 columns at each glyph's start.
    EXPECT_EQ(span(t, 22, 4), std::make_pair(0, 37));
    EXPECT_EQ(t.at(5, 4), 22);
    EXPECT_EQ(t.at(6, 4), 0);
    EXPECT_EQ(t.at(16, 4), 22);
    EXPECT_EQ(t.at(32, 4), 22);
    EXPECT_EQ(t.at(37, 4), 22);  // cut, not squeezed: the last glyph keeps its scale
  }
  {
    // Proportional, kept proportions: scale 2, one pixel between glyphs, nothing spread.
    Target t(48, 16);
    const ZR_RECT rect{0, 0, 48, 16};
    zr_font_draw(&font_, "AB", &t.bitmap, &rect,
                 ZR_FONT_STRETCHED | ZR_FONT_KEEP_RATIO | ZR_FONT_PROPORTIONAL);
    EXPECT_EQ(span(t, 20, 4), std::make_pair(0, 1));
    EXPECT_EQ(span(t, 21, 4), std::make_pair(3, 6));
  }
  {
    // Scanlines: only every other row of the rectangle is written.
    Target t(16, 16);
    const ZR_RECT rect{0, 0, 16, 16};
    zr_font_draw(&font_, "D", &t.bitmap, &rect, ZR_FONT_STRETCHED | ZR_FONT_SCANLINES);
    EXPECT_NE(span(t, 23, 4).first, -1);
    EXPECT_EQ(span(t, 23, 5).first, -1);
    EXPECT_NE(span(t, 23, 6).first, -1);
  }
}

TEST_F(FontDrawTest, ManyGlyphsInAFewPixels) {
  load(0);
  // More glyphs than pixels: some glyphs get no column at all, and nothing is drawn outside.
  Target t(20, 8);
  const ZR_RECT rect{2, 0, 5, 8};
  const std::string text(40, 'D');
  zr_font_draw(&font_, text.c_str(), &t.bitmap, &rect, ZR_FONT_STRETCHED);
  zr_font_draw(&font_, text.c_str(), &t.bitmap, &rect, ZR_FONT_STRETCHED | ZR_FONT_PROPORTIONAL);
  EXPECT_LE(t.rightmost_ink(), 6);
  for (int y = 0; y < 8; ++y) EXPECT_EQ(t.at(0, y) | t.at(1, y), 0);
}

}  // namespace
