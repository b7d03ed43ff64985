// zr_bitmap_load, the PCX writer and their agreement with other software.
#include "world/pcx.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "display_support.h"
#include "engine/core/memory.h"
#include "engine/display/bitmap.h"
#include "engine/display/snapshot.h"

namespace {

using zrtest::pcx_file;
using zrtest::pcx_header;

class PcxTest : public zrtest::TempDirTest {};

std::vector<uint8_t> pixels_of(const ZR_BITMAP& b) {
  return std::vector<uint8_t>(b.pixels, b.pixels + static_cast<size_t>(b.width) * b.height);
}

std::vector<uint8_t> test_palette() {
  std::vector<uint8_t> p(768);
  for (int i = 0; i < 768; ++i) p[i] = static_cast<uint8_t>((i * 37 + 11) & 0xFF);
  return p;
}

// A picture that exercises runs, literals of 192 and above, and run lengths past 63.
std::vector<uint8_t> busy_pixels(int w, int h) {
  std::vector<uint8_t> px(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t v = static_cast<uint8_t>((x * 13 + y * 7) & 0xFF);
      if (y % 3 == 0) v = static_cast<uint8_t>(200 + (x / 70));  // long runs of high values
      px[static_cast<size_t>(y) * w + x] = v;
    }
  return px;
}

TEST(PcxEncode, RowCases) {
  uint8_t out[256];
  std::vector<uint8_t> hundred(100, 7);
  ASSERT_EQ(zr_pcx_encode_row(hundred.data(), 100, out), 4);
  EXPECT_EQ(out[0], 0xFF);
  EXPECT_EQ(out[1], 7);
  EXPECT_EQ(out[2], 0xE5);
  EXPECT_EQ(out[3], 7);
  const uint8_t high = 200;
  ASSERT_EQ(zr_pcx_encode_row(&high, 1, out), 2);
  EXPECT_EQ(out[0], 0xC1);
  EXPECT_EQ(out[1], 200);
  const uint8_t low = 191;
  ASSERT_EQ(zr_pcx_encode_row(&low, 1, out), 1);
  EXPECT_EQ(out[0], 191);
}

TEST_F(PcxTest, SaveAndLoadRoundTripOddWidthWithPalette) {
  const int w = 321, h = 7;
  std::vector<uint8_t> px = busy_pixels(w, h);
  std::vector<uint8_t> pal = test_palette();
  ZR_BITMAP b{};
  b.width = b.w = w;
  b.height = b.h = h;
  b.bpp = 8;
  b.pixels = px.data();
  b.palette = pal.data();
  ASSERT_EQ(zr_bitmap_save_pcx(&b, "round.pcx", nullptr), 1);
  const std::vector<uint8_t> file = zrtest::read_file("round.pcx");
  ASSERT_GT(file.size(), 128u + 769u);
  EXPECT_EQ(file[66] | (file[67] << 8), 321);  // no padding for odd widths
  EXPECT_EQ(file[file.size() - 769], 0x0C);

  ZR_BITMAP loaded{};
  ASSERT_EQ(zr_bitmap_load(&loaded, "round.pcx", ZR_BITMAP_LOAD_PALETTE), 1)
      << zr_bitmap_load_error();
  EXPECT_EQ(loaded.width, w);
  EXPECT_EQ(loaded.height, h);
  EXPECT_EQ(loaded.bpp, 8);
  EXPECT_EQ(pixels_of(loaded), px);
  ASSERT_NE(loaded.palette, nullptr);
  EXPECT_EQ(loaded.ownsPalette, 1);
  EXPECT_EQ(std::vector<uint8_t>(loaded.palette, loaded.palette + 768), pal);
  zr_bitmap_free(&loaded);
  EXPECT_EQ(loaded.palette, nullptr);

  // The world's reader agrees.
  Picture picture{};
  load_pcx_file("round.pcx", 236, 10, 10, &picture);
  ASSERT_EQ(picture.width, w);
  ASSERT_EQ(picture.height, h);
  EXPECT_EQ(std::vector<uint8_t>(picture.pixels, picture.pixels + w * h), px);
  zr_mem_free(picture.pixels);
}

TEST_F(PcxTest, SaveRegionIsClippedAndEmptyRegionsWriteNothing) {
  std::vector<uint8_t> px = busy_pixels(10, 6);
  ZR_BITMAP b{};
  b.width = b.w = 10;
  b.height = b.h = 6;
  b.pixels = px.data();
  ZR_RECT part{-2, 3, 5, 10};
  ASSERT_EQ(zr_bitmap_save_pcx(&b, "part.pcx", &part), 1);
  ZR_BITMAP loaded{};
  ASSERT_EQ(zr_bitmap_load(&loaded, "part.pcx", 0), 1);
  ASSERT_EQ(loaded.width, 3);
  ASSERT_EQ(loaded.height, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(loaded.pixels[y * 3 + x], px[(y + 3) * 10 + x]);
  zr_bitmap_free(&loaded);

  const ZR_RECT refused[] = {{0, 0, 0, 3}, {0, 0, 3, 0},  {10, 0, 2, 2},
                             {0, 6, 2, 2}, {-3, 0, 3, 2}, {0, -2, 2, 2}};
  for (const ZR_RECT& r : refused) {
    EXPECT_EQ(zr_bitmap_save_pcx(&b, "none.pcx", &r), 0);
    EXPECT_FALSE(std::filesystem::exists("none.pcx"));
  }
  EXPECT_EQ(zr_bitmap_save_pcx(&b, "no_such_dir/x.pcx", nullptr), 0);
}

TEST_F(PcxTest, LoadHonoursBytesPerLineOffsetsAndStopsAtThePictureEnd) {
  // 3 x 2 picture with Xmin 2 (width 3), lines padded to 4 bytes with 0x55.
  std::vector<uint8_t> data = {1, 2, 3, 0x55, 4, 5, 6, 0x55};
  zrtest::write_file("pad.pcx", pcx_file(pcx_header(2, 5, 4, 6, 4), data));
  ZR_BITMAP b{};
  ASSERT_EQ(zr_bitmap_load(&b, "pad.pcx", 0), 1) << zr_bitmap_load_error();
  EXPECT_EQ(b.width, 3);
  EXPECT_EQ(b.height, 2);
  EXPECT_EQ(pixels_of(b), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(b.palette, nullptr);
  zr_bitmap_free(&b);

  // A run that overshoots the last pixel stops at the end of the pixel block.
  std::vector<uint8_t> over = {0xFF, 9};
  zrtest::write_file("over.pcx", pcx_file(pcx_header(0, 0, 3, 1, 4), over));
  ASSERT_EQ(zr_bitmap_load(&b, "over.pcx", 0), 1);
  EXPECT_EQ(pixels_of(b), std::vector<uint8_t>(8, 9));
  zr_bitmap_free(&b);
}

TEST_F(PcxTest, BadFilesAreRefusedWithTheRecordZeroed) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    int options;
  };
  auto with = [](std::vector<uint8_t> header, size_t at, uint8_t value) {
    header[at] = value;
    return header;
  };
  const std::vector<uint8_t> good = pcx_header(0, 0, 3, 1, 4);
  const std::vector<uint8_t> data = {0xC8, 1};
  std::vector<uint8_t> noPalette = good;
  noPalette.insert(noPalette.end(), data.begin(), data.end());
  const std::vector<Case> cases = {
      {"empty file", {}, 0},
      {"short header", std::vector<uint8_t>(good.begin(), good.begin() + 100), 0},
      {"encoding 0", pcx_file(with(good, 2, 0), data), 0},
      {"4 bits per pixel", pcx_file(with(good, 3, 4), data), 0},
      {"3 planes", pcx_file(with(good, 65, 3), data), 0},
      {"Xmax below Xmin", pcx_file(pcx_header(5, 0, 3, 1, 4), data), 0},
      {"Ymax below Ymin", pcx_file(pcx_header(0, 5, 3, 1, 4), data), 0},
      {"bytes per line below width", pcx_file(pcx_header(0, 0, 3, 1, 2), data), 0},
      {"bytes per line 0", pcx_file(pcx_header(0, 0, 3, 1, 0), data), 0},
      {"negative bytes per line", pcx_file(pcx_header(0, 0, 3, 1, -4), data), 0},
      {"wider than 16384", pcx_file(pcx_header(0, 0, 16384, 1, 16386), data), 0},
      {"taller than 16384", pcx_file(pcx_header(0, 0, 3, 16384, 4), data), 0},
      {"widest span", pcx_file(pcx_header(-32768, 0, 32767, 1, 32767), data), 0},
      {"data ends early", pcx_file(good, {0xC3, 1}), 0},
      {"run code is the last byte",
       [&] {
         auto f = good;
         f.push_back(0xC2);
         return f;
       }(),
       0},
      {"palette asked for, none there", noPalette, ZR_BITMAP_LOAD_PALETTE},
  };
  for (const Case& c : cases) {
    zrtest::write_file("bad.pcx", c.bytes);
    ZR_BITMAP b{};
    b.width = 77;  // must come back zeroed
    EXPECT_EQ(zr_bitmap_load(&b, "bad.pcx", c.options), 0) << c.what;
    EXPECT_EQ(b.pixels, nullptr) << c.what;
    EXPECT_EQ(b.palette, nullptr) << c.what;
    EXPECT_EQ(b.width, 0) << c.what;
    EXPECT_STRNE(zr_bitmap_load_error(), "") << c.what;
  }
  ZR_BITMAP b{};
  EXPECT_EQ(zr_bitmap_load(&b, "missing.pcx", 0), 0);
}

// Files made by other software: the 8-bit one-plane run-length ones decode as PIL decodes
// them; every other kind is refused.
TEST_F(PcxTest, PeerFilesDecodeLikePilOrAreRefused) {
  const std::filesystem::path dir = ZR_PEER_CASES "/pcx";
  if (!std::filesystem::exists(dir)) GTEST_SKIP() << "no peer files at " << dir;
  int compared = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string file = entry.path().string();
    const std::vector<uint8_t> bytes = zrtest::read_file(file);
    const bool ours = bytes.size() >= 128 && bytes[2] == 1 && bytes[3] == 8 && bytes[65] == 1;
    ZR_BITMAP b{};
    const int ok = zr_bitmap_load(&b, file.c_str(), ZR_BITMAP_LOAD_PALETTE);
    if (!ours) {
      EXPECT_EQ(ok, 0) << file;
      continue;
    }
    std::string mode;
    if (!zrtest::have_pil() || !zrtest::pil_decode(file, "peer.raw", "peer.pal", &mode)) {
      // PIL refuses it too (or is absent): ours must not claim a picture it cannot vouch for
      // unless the header is sound.
      zr_bitmap_free(&b);
      continue;
    }
    ASSERT_EQ(ok, 1) << file << ": " << zr_bitmap_load_error();
    EXPECT_EQ(mode, "P " + std::to_string(b.width) + " " + std::to_string(b.height)) << file;
    EXPECT_EQ(pixels_of(b), zrtest::read_file("peer.raw")) << file;
    EXPECT_EQ(std::vector<uint8_t>(b.palette, b.palette + 768), zrtest::read_file("peer.pal"))
        << file;
    ++compared;
    zr_bitmap_free(&b);
  }
  if (zrtest::have_pil()) {
    EXPECT_GE(compared, 3);
  }
}

TEST_F(PcxTest, OurFilesOpenInPilWithTheSamePixelsAndPalette) {
  if (!zrtest::have_pil()) GTEST_SKIP() << "python3 with PIL (python3-pil) not found";
  for (int w : {1, 7, 320, 321}) {
    const int h = 5;
    std::vector<uint8_t> px = busy_pixels(w, h);
    std::vector<uint8_t> pal = test_palette();
    ZR_BITMAP b{};
    b.width = b.w = static_cast<int16_t>(w);
    b.height = b.h = h;
    b.pixels = px.data();
    b.palette = pal.data();
    ASSERT_EQ(zr_bitmap_save_pcx(&b, "ours.pcx", nullptr), 1);
    std::string mode;
    ASSERT_TRUE(zrtest::pil_decode("ours.pcx", "ours.raw", "ours.pal", &mode)) << w;
    EXPECT_EQ(mode, "P " + std::to_string(w) + " 5");
    EXPECT_EQ(zrtest::read_file("ours.raw"), px) << w;
    EXPECT_EQ(zrtest::read_file("ours.pal"), pal) << w;
  }
}

TEST_F(PcxTest, PilFilesDecodeToTheSamePixelsWithBothReaders) {
  if (!zrtest::have_pil()) GTEST_SKIP() << "python3 with PIL (python3-pil) not found";
  for (int w : {7, 64, 321}) {  // PIL pads odd widths to an even line
    const int h = 9;
    std::vector<uint8_t> px = busy_pixels(w, h);
    ASSERT_TRUE(zrtest::pil_encode(w, h, px, test_palette(), "pil.pcx")) << w;
    ZR_BITMAP b{};
    ASSERT_EQ(zr_bitmap_load(&b, "pil.pcx", ZR_BITMAP_LOAD_PALETTE), 1) << zr_bitmap_load_error();
    EXPECT_EQ(pixels_of(b), px) << w;
    EXPECT_EQ(std::vector<uint8_t>(b.palette, b.palette + 768), test_palette());
    zr_bitmap_free(&b);
    Picture picture{};
    load_pcx_file("pil.pcx", 236, 10, 10, &picture);
    ASSERT_EQ(picture.width, w);
    EXPECT_EQ(std::vector<uint8_t>(picture.pixels, picture.pixels + w * h), px) << w;
    zr_mem_free(picture.pixels);
  }
}

}  // namespace
