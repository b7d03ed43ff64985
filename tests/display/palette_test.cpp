// Channel layouts, colour tables, converters of every depth, palette files and the fade step.
#include "engine/display/palette.h"

#include <gtest/gtest.h>

#include <vector>

#include "display_support.h"

namespace {

TEST(PaletteChannel, MasksGiveBitsAndShifts) {
  struct Case {
    uint32_t mask;
    int bits, shift;
  };
  const Case cases[] = {{0xF800, 5, 8}, {0x07E0, 6, 3}, {0x001F, 5, -3},
                        {0x7C00, 5, 7}, {0x03E0, 5, 2}, {0xFFFF0000, 0, 0}};
  for (const Case& c : cases) {
    const ZR_CHANNEL ch = zr_pal_channel(c.mask);
    EXPECT_EQ(ch.bits, c.bits) << std::hex << c.mask;
    EXPECT_EQ(ch.shift, c.shift) << std::hex << c.mask;
  }
}

std::vector<uint8_t> ramp_palette() {
  std::vector<uint8_t> p(768);
  for (int i = 0; i < 256; ++i) {
    p[3 * i] = static_cast<uint8_t>(i);
    p[3 * i + 1] = static_cast<uint8_t>(255 - i);
    p[3 * i + 2] = static_cast<uint8_t>(i * 3);
  }
  p[3 * 255] = p[3 * 255 + 1] = p[3 * 255 + 2] = 255;  // white
  return p;
}

TEST(PaletteTables, SixteenBitLayoutsMapWhiteToAllBits) {
  zr_pal_reset();
  zr_pal_set(ramp_palette().data());
  ASSERT_EQ(zr_pal_select(16, 0x7C00, 0x03E0, 0x001F), 1);
  EXPECT_EQ(zr_pal_table16()[255], 0x7FFF);
  ASSERT_EQ(zr_pal_select(16, 0xF800, 0x07E0, 0x001F), 1);
  EXPECT_EQ(zr_pal_table16()[255], 0xFFFF);
  // Entry 1 = (1, 254, 3): red and blue drop below 5 bits, green keeps 252.
  EXPECT_EQ(zr_pal_table16()[1], (252 << 3));
  ASSERT_EQ(zr_pal_select(32, 0, 0, 0), 1);
  EXPECT_EQ(zr_pal_table32()[1], (1u << 16) + (254u << 8) + 3u);
  EXPECT_EQ(zr_pal_select(15, 0, 0, 0), 0);
}

TEST(PaletteCopy, EveryDepthWritesTheTableAtThePlacementAndClips) {
  zr_pal_reset();
  const std::vector<uint8_t> pal = ramp_palette();
  uint8_t px[6] = {1, 2, 3, 4, 5, 255};
  ZR_BITMAP b{};
  b.width = b.w = 3;
  b.height = b.h = 2;
  b.pixels = px;
  for (int bpp : {8, 16, 24, 32}) {
    ASSERT_EQ(zr_pal_select(bpp, 0xF800, 0x07E0, 0x001F), 1);
    zr_pal_set(pal.data());
    const int bytes = bpp / 8;
    const int pitch = 5 * bytes + 3;  // rows with slack at the end
    std::vector<uint8_t> mem(static_cast<size_t>(pitch) * 4, 0xEE);
    ZR_SURFACE s{mem.data(), 5, 4, pitch, bpp};
    b.x = 1;
    b.y = 1;
    zr_pal_copy(&s, &b);
    for (int r = 0; r < 2; ++r)
      for (int c = 0; c < 3; ++c) {
        const uint8_t* at = mem.data() + (1 + r) * pitch + (1 + c) * bytes;
        const uint8_t i = px[r * 3 + c];
        uint32_t want = 0, got = 0;
        if (bpp == 8) want = i;
        if (bpp == 16) want = zr_pal_table16()[i];
        if (bpp >= 24) want = zr_pal_table32()[i];
        for (int k = 0; k < bytes; ++k) got |= static_cast<uint32_t>(at[k]) << (8 * k);
        EXPECT_EQ(got, want) << bpp << " bpp at " << c << "," << r;
      }
    EXPECT_EQ(mem[0], 0xEE);                      // outside the placement: untouched
    EXPECT_EQ(mem[1 * pitch + 4 * bytes], 0xEE);  // right of the bitmap
    // Hanging over the right and bottom edges: only the part on the surface is written.
    std::vector<uint8_t> edge = mem;
    b.x = 3;
    b.y = 3;
    zr_pal_copy(&s, &b);
    b.x = -2;
    b.y = -1;
    zr_pal_copy(&s, &b);
    EXPECT_EQ(mem.size(), edge.size());
  }
}

// Wide rows go through the converter's 64-pixel path where the processor has it: every width
// around its block size, every index, and the row's tail must match the table exactly.
TEST(PaletteCopy, WideRowsAtThirtyTwoBitsMatchTheTable) {
  zr_pal_reset();
  std::vector<uint8_t> pal(768);
  for (int i = 0; i < 768; ++i) pal[i] = static_cast<uint8_t>(i * 7 + i / 3);
  ASSERT_EQ(zr_pal_select(32, 0, 0, 0), 1);
  zr_pal_set(pal.data());
  for (int width : {63, 64, 65, 127, 128, 200, 320, 333}) {
    std::vector<uint8_t> px(static_cast<size_t>(width) * 2);
    for (size_t i = 0; i < px.size(); ++i) px[i] = static_cast<uint8_t>(i * 37 + i / 256);
    ZR_BITMAP b{};
    b.width = b.w = static_cast<int16_t>(width);
    b.height = b.h = 2;
    b.pixels = px.data();
    const int pitch = width * 4 + 12;
    std::vector<uint8_t> mem(static_cast<size_t>(pitch) * 2, 0xEE);
    ZR_SURFACE s{mem.data(), width + 3, 2, pitch, 32};
    zr_pal_copy(&s, &b);
    for (int r = 0; r < 2; ++r)
      for (int c = 0; c < width; ++c) {
        uint32_t got = 0;
        for (int k = 0; k < 4; ++k)
          got |= static_cast<uint32_t>(mem[r * pitch + c * 4 + k]) << (8 * k);
        ASSERT_EQ(got, zr_pal_table32()[px[r * width + c]]) << "width " << width << " at " << c;
      }
    EXPECT_EQ(mem[width * 4], 0xEE) << "past the row, width " << width;
  }
}

TEST(PaletteFade, StepsSnapToTheTargetAndCountChangedEntries) {
  std::vector<uint8_t> p(768, 0);
  p[0] = 250;
  p[1] = 10;
  p[2] = 0;
  const uint8_t black[3] = {0, 0, 0};
  int steps = 0;
  while (p[0] != 2 && steps < 100) {
    EXPECT_EQ(zr_pal_fade_step(p.data(), 0, 1, black, 4), 1);
    ++steps;
  }
  EXPECT_EQ(steps, 62);
  EXPECT_EQ(zr_pal_fade_step(p.data(), 0, 1, black, 4), 1);
  EXPECT_EQ(p[0], 0);
  EXPECT_EQ(zr_pal_fade_step(p.data(), 0, 1, black, 4), 0);
  EXPECT_EQ(zr_pal_fade_step(p.data(), 0, 0, black, 4), 0);

  std::vector<uint8_t> q(768, 100);
  const uint8_t grey[3] = {100, 110, 90};
  EXPECT_EQ(zr_pal_fade_step(q.data(), 10, 3, grey, 20), 3);
  EXPECT_EQ(q[30], 100);
  EXPECT_EQ(q[31], 110);  // upward, snapped
  EXPECT_EQ(q[32], 90);   // downward, snapped
  EXPECT_EQ(q[27], 100);  // entry 9 untouched
  EXPECT_EQ(q[39], 100);  // entry 13 untouched
}

class PaletteFile : public zrtest::TempDirTest {};

TEST_F(PaletteFile, LoadsTheLast768BytesAndRefusesShortFiles) {
  std::vector<uint8_t> file(1000);
  for (size_t i = 0; i < file.size(); ++i) file[i] = static_cast<uint8_t>(i * 7);
  zrtest::write_file("pal.pcx", file);
  uint8_t* p = zr_pal_load("pal.pcx");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(std::vector<uint8_t>(p, p + 768), std::vector<uint8_t>(file.end() - 768, file.end()));
  zr_pal_set(p);
  EXPECT_TRUE(zr_pal_is_set());
  EXPECT_EQ(std::vector<uint8_t>(zr_pal_current(), zr_pal_current() + 768),
            std::vector<uint8_t>(p, p + 768));
  zr_pal_free(p);
  zr_pal_free(nullptr);

  zrtest::write_file("short.pal", std::vector<uint8_t>(700, 1));
  EXPECT_EQ(zr_pal_load("short.pal"), nullptr);
  EXPECT_EQ(zr_pal_load("missing.pal"), nullptr);
}

}  // namespace
