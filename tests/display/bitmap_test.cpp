#include "engine/display/bitmap.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A bitmap over a vector the test owns.
struct Pic {
  std::vector<uint8_t> px;
  ZR_BITMAP bm{};
  Pic(int w, int h, uint8_t fill = 0) : px(static_cast<size_t>(w) * h, fill) {
    bm.w = bm.width = static_cast<int16_t>(w);
    bm.h = bm.height = static_cast<int16_t>(h);
    bm.bpp = 8;
    bm.pixels = px.data();
  }
  uint8_t& at(int x, int y) { return px[static_cast<size_t>(y) * bm.width + x]; }
};

// Source whose pixel (x, y) is 1 + x + 10 y: every pixel tells where it came from.
Pic numbered(int w, int h) {
  Pic p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.at(x, y) = static_cast<uint8_t>(1 + x + 10 * y);
  return p;
}

uint8_t src_value(int x, int y) {
  return static_cast<uint8_t>(1 + x + 10 * y);
}

TEST(BitmapCreate, RefusesNullAndEmptyAndSetsFields) {
  ZR_BITMAP b{};
  ZR_RECT r{3, 4, 5, 6};
  EXPECT_EQ(zr_bitmap_create(nullptr, &r), 0);
  EXPECT_EQ(zr_bitmap_create(&b, nullptr), 0);
  ZR_RECT empty{0, 0, 5, 0};
  EXPECT_EQ(zr_bitmap_create(&b, &empty), 0);
  ZR_RECT negative{0, 0, -5, -5};
  EXPECT_EQ(zr_bitmap_create(&b, &negative), 0);
  ASSERT_EQ(zr_bitmap_create(&b, &r), 1);
  EXPECT_EQ(b.x, 3);
  EXPECT_EQ(b.y, 4);
  EXPECT_EQ(b.w, 5);
  EXPECT_EQ(b.width, 5);
  EXPECT_EQ(b.h, 6);
  EXPECT_EQ(b.height, 6);
  EXPECT_EQ(b.bpp, 8);
  ASSERT_NE(b.pixels, nullptr);
  zr_bitmap_free(&b);
  EXPECT_EQ(b.pixels, nullptr);
  zr_bitmap_free(&b);  // safe twice
}

TEST(BitmapClear, ClipsTheRectangleAndIgnoresOneOutside) {
  Pic p(6, 4, 7);
  ZR_RECT r{-2, 2, 4, 10};
  zr_bitmap_clear(&p.bm, &r);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(p.at(x, y), (y >= 2 && x < 2) ? 0 : 7) << x << "," << y;
  ZR_RECT outside{6, 0, 3, 3};
  zr_bitmap_clear(&p.bm, &outside);
  EXPECT_EQ(p.at(5, 0), 7);
  zr_bitmap_clear(&p.bm, nullptr);
  for (uint8_t v : p.px) EXPECT_EQ(v, 0);
}

TEST(BitmapBlit, CutAtLeftAndTopMovesTheSource) {
  Pic src = numbered(4, 4);
  Pic dst(8, 8, 99);
  ZR_RECT to{-1, -2, 4, 4};
  zr_bitmap_blit(&dst.bm, &src.bm, nullptr, &to, 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const uint8_t want = (x < 3 && y < 2) ? src_value(x + 1, y + 2) : 99;
      EXPECT_EQ(dst.at(x, y), want) << x << "," << y;
    }
}

TEST(BitmapBlit, RectangleWhollyOutsideOrEmptyDrawsNothing) {
  Pic src = numbered(4, 4);
  Pic dst(8, 8, 99);
  const ZR_RECT cases[] = {{8, 0, 4, 4},  {-4, 0, 4, 4}, {0, 8, 4, 4},
                           {0, -4, 4, 4}, {0, 0, 0, 4},  {0, 0, 4, -1}};
  for (const ZR_RECT& r : cases) {
    for (int flags : {0, ZR_BLIT_DOUBLE, ZR_BLIT_STRETCH}) {
      zr_bitmap_blit(&dst.bm, &src.bm, nullptr, &r, flags);
      zr_bitmap_blit_masked(&dst.bm, &src.bm, nullptr, &r, flags);
    }
  }
  for (uint8_t v : dst.px) EXPECT_EQ(v, 99);
}

TEST(BitmapBlit, CopyWithinOneBitmapMovesItsPixelsIntact) {
  Pic p = numbered(6, 6);
  const Pic before = p;
  ZR_RECT from{0, 0, 4, 4};
  ZR_RECT to{2, 2, 4, 4};
  zr_bitmap_blit(&p.bm, &p.bm, &from, &to, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(p.at(x + 2, y + 2), before.px[y * 6 + x]) << x << "," << y;
}

TEST(BitmapBlit, CentreShowsTheMiddleOfALargerSourceAndCentresASmallerOne) {
  Pic big = numbered(6, 6);
  Pic small(2, 2, 0);
  zr_bitmap_blit(&small.bm, &big.bm, nullptr, nullptr, ZR_BLIT_CENTRE);
  EXPECT_EQ(small.at(0, 0), src_value(2, 2));
  EXPECT_EQ(small.at(1, 1), src_value(3, 3));

  Pic tiny = numbered(2, 2);
  Pic room(6, 6, 0);
  zr_bitmap_blit(&room.bm, &tiny.bm, nullptr, nullptr, ZR_BLIT_CENTRE);
  EXPECT_EQ(room.at(2, 2), src_value(0, 0));
  EXPECT_EQ(room.at(3, 3), src_value(1, 1));
  EXPECT_EQ(room.at(1, 1), 0);
  EXPECT_EQ(room.at(4, 4), 0);
}

TEST(BitmapBlit, SourceRectanglePastItsBitmapReadsOnlyInside) {
  Pic src = numbered(4, 4);
  Pic dst(8, 8, 99);
  ZR_RECT from{2, 2, 10, 10};
  for (int flags : {0, ZR_BLIT_DOUBLE, ZR_BLIT_STRETCH}) {
    zr_bitmap_blit(&dst.bm, &src.bm, &from, nullptr, flags);
  }
  zr_bitmap_blit(&dst.bm, &src.bm, &from, nullptr, 0);
  EXPECT_EQ(dst.at(0, 0), src_value(2, 2));
  EXPECT_EQ(dst.at(1, 1), src_value(3, 3));
}

TEST(BitmapBlit, DoubleSizeWithScanlinesLeavesEveryOtherRow) {
  Pic src = numbered(2, 2);
  Pic dst(4, 4, 9);
  zr_bitmap_blit(&dst.bm, &src.bm, nullptr, nullptr, ZR_BLIT_DOUBLE | ZR_BLIT_SCANLINES);
  const uint8_t a = src_value(0, 0), b = src_value(1, 0), c = src_value(0, 1), d = src_value(1, 1);
  const std::vector<uint8_t> want = {a, a, b, b, 9, 9, 9, 9, c, c, d, d, 9, 9, 9, 9};
  EXPECT_EQ(dst.px, want);
  zr_bitmap_blit(&dst.bm, &src.bm, nullptr, nullptr, ZR_BLIT_DOUBLE);
  const std::vector<uint8_t> full = {a, a, b, b, a, a, b, b, c, c, d, d, c, c, d, d};
  EXPECT_EQ(dst.px, full);
}

TEST(BitmapBlit, DoubleSizeCutAtLeftMovesSourceByHalf) {
  Pic src = numbered(4, 1);
  Pic dst(8, 2, 0);
  ZR_RECT to{-2, 0, 8, 2};
  zr_bitmap_blit(&dst.bm, &src.bm, nullptr, &to, ZR_BLIT_DOUBLE);
  // Two destination columns cut: the source starts one pixel in.
  EXPECT_EQ(dst.at(0, 0), src_value(1, 0));
  EXPECT_EQ(dst.at(1, 0), src_value(1, 0));
  EXPECT_EQ(dst.at(4, 1), src_value(3, 0));
  EXPECT_EQ(dst.at(6, 0), 0);
}

TEST(BitmapBlit, StretchWithVerticalRatioMakesEverySourcePixelTwoByTwo) {
  Pic src(100, 50);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 100; ++x) src.at(x, y) = static_cast<uint8_t>(1 + (x * 7 + y * 13) % 250);
  Pic dst(200, 100, 0);
  zr_bitmap_blit(&dst.bm, &src.bm, nullptr, nullptr, ZR_BLIT_STRETCH | ZR_BLIT_VERTICAL_RATIO);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 200; ++x) ASSERT_EQ(dst.at(x, y), src.at(x / 2, y / 2)) << x << "," << y;
}

TEST(BitmapBlit, StretchDownSkipsSourceUnitsAndScanlinesSkipRows) {
  Pic src = numbered(4, 4);
  Pic dst(2, 2, 0);
  zr_bitmap_blit(&dst.bm, &src.bm, nullptr, nullptr, ZR_BLIT_STRETCH);
  EXPECT_EQ(dst.at(0, 0), src_value(0, 0));
  EXPECT_EQ(dst.at(1, 0), src_value(2, 0));
  EXPECT_EQ(dst.at(1, 1), src_value(2, 2));

  Pic up(4, 4, 9);
  Pic two = numbered(2, 2);
  zr_bitmap_blit(&up.bm, &two.bm, nullptr, nullptr, ZR_BLIT_STRETCH | ZR_BLIT_SCANLINES);
  EXPECT_EQ(up.at(0, 0), src_value(0, 0));
  EXPECT_EQ(up.at(3, 2), src_value(1, 1));
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(up.at(x, 1), 9);
    EXPECT_EQ(up.at(x, 3), 9);
  }
}

TEST(BitmapBlit, StretchWithVerticalRatioIntoWiderAreaStaysInsideTheSource) {
  Pic src = numbered(10, 10);
  Pic dst(40, 10, 99);
  zr_bitmap_blit(&dst.bm, &src.bm, nullptr, nullptr, ZR_BLIT_STRETCH | ZR_BLIT_VERTICAL_RATIO);
  EXPECT_EQ(dst.at(9, 9), src_value(9, 9));
  EXPECT_EQ(dst.at(10, 0), 99);  // columns past the source rectangle are left alone
}

TEST(BitmapBlit, StretchCutAtRightShrinksTheSourceInProportion) {
  Pic src = numbered(4, 2);
  Pic dst(6, 2, 0);
  ZR_RECT to{2, 0, 8, 2};  // 2x wide, cut to 4 columns: 2 source columns remain
  zr_bitmap_blit(&dst.bm, &src.bm, nullptr, &to, ZR_BLIT_STRETCH);
  EXPECT_EQ(dst.at(2, 0), src_value(0, 0));
  EXPECT_EQ(dst.at(3, 0), src_value(0, 0));
  EXPECT_EQ(dst.at(5, 1), src_value(1, 1));
}

TEST(BitmapBlitMasked, ZeroPixelsAreLeftUnwrittenOnEveryPath) {
  Pic src(20, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 20; ++x) src.at(x, y) = static_cast<uint8_t>((x + y) % 3 == 0 ? 0 : 5 + x);
  for (int flags : {0, ZR_BLIT_DOUBLE, ZR_BLIT_STRETCH, ZR_BLIT_STRETCH | ZR_BLIT_SCANLINES}) {
    Pic dst(40, 8, 77);
    ZR_RECT to{0, 0, 40, 8};
    zr_bitmap_blit_masked(&dst.bm, &src.bm, nullptr, flags == 0 ? nullptr : &to, flags);
    Pic plain(40, 8, 77);
    zr_bitmap_blit(&plain.bm, &src.bm, nullptr, flags == 0 ? nullptr : &to, flags);
    for (size_t i = 0; i < dst.px.size(); ++i) {
      const uint8_t want = plain.px[i] == 0 ? 77 : plain.px[i];
      ASSERT_EQ(dst.px[i], want) << "flags " << flags << " at " << i;
    }
  }
}

TEST(BitmapBbox, CasesAndTheEstablishedQuirks) {
  struct Case {
    std::vector<std::pair<int, int>> set;
    ZR_RECT want;
  };
  const Case cases[] = {
      {{}, {0, 0, 8, 6}},                // nothing: the whole bitmap
      {{{3, 2}}, {0, 0, 8, 6}},          // one pixel: the whole bitmap
      {{{0, 1}, {0, 4}}, {0, 0, 8, 6}},  // only column 0: the whole bitmap
      {{{2, 1}, {5, 3}}, {2, 1, 4, 3}},
      {{{6, 0}, {3, 2}, {1, 5}}, {0, 0, 8, 6}},  // each new pixel a new left: right stays 0
      {{{1, 0}, {6, 2}, {3, 5}}, {1, 0, 6, 6}},
  };
  for (const Case& c : cases) {
    Pic p(8, 6);
    for (auto [x, y] : c.set) p.at(x, y) = 4;
    ZR_RECT out{};
    ASSERT_EQ(zr_bitmap_bbox(&p.bm, nullptr, &out), 1);
    EXPECT_EQ(out.x, c.want.x);
    EXPECT_EQ(out.y, c.want.y);
    EXPECT_EQ(out.w, c.want.w);
    EXPECT_EQ(out.h, c.want.h);
  }
  Pic p(8, 6);
  ZR_RECT out{};
  ZR_RECT outside{8, 0, 2, 2};
  EXPECT_EQ(zr_bitmap_bbox(&p.bm, &outside, &out), 0);
  EXPECT_EQ(zr_bitmap_bbox(&p.bm, nullptr, nullptr), 0);
}

TEST(BitmapBbox, FindOpaqueFillsColumnsAndRows) {
  Pic p(8, 6);
  p.at(2, 1) = 1;
  p.at(5, 3) = 1;
  ASSERT_EQ(zr_bitmap_find_opaque(&p.bm), 1);
  EXPECT_EQ(p.bm.opaqueColumns.x, 2);
  EXPECT_EQ(p.bm.opaqueColumns.y, 0);
  EXPECT_EQ(p.bm.opaqueColumns.w, 4);
  EXPECT_EQ(p.bm.opaqueColumns.h, 6);
  EXPECT_EQ(p.bm.opaqueRows.x, 0);
  EXPECT_EQ(p.bm.opaqueRows.y, 1);
  EXPECT_EQ(p.bm.opaqueRows.w, 8);
  EXPECT_EQ(p.bm.opaqueRows.h, 3);
}

}  // namespace
