// zrtool run as a program: its PNG and PCX output against PIL, and its one-line failures.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "display_support.h"
#include "engine/display/bitmap.h"
#include "engine/display/snapshot.h"

namespace {

const std::string kTool = std::string(ZR_BIN_DIR) + "/zrtool";

class ZrtoolTest : public zrtest::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    if (!std::filesystem::exists(kTool)) GTEST_SKIP() << "zrtool not built at " << kTool;
  }
  // Runs the tool; returns its exit status and keeps its standard error.
  int tool(const std::string& args) {
    const int status = zrtest::run(kTool + " " + args + " >out.txt 2>err.txt");
    std::ifstream in("err.txt");
    err.assign(std::istreambuf_iterator<char>(in), {});
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string err;
};

std::vector<uint8_t> picture(int w, int h) {
  std::vector<uint8_t> px(static_cast<size_t>(w) * h);
  for (size_t i = 0; i < px.size(); ++i) px[i] = static_cast<uint8_t>((i * 31 / 7) & 0xFF);
  return px;
}

std::vector<uint8_t> palette() {
  std::vector<uint8_t> p(768);
  for (int i = 0; i < 768; ++i) p[i] = static_cast<uint8_t>(i * 5 + 1);
  return p;
}

TEST_F(ZrtoolTest, PcxToPngKeepsIndicesAndTheFilesPalette) {
  if (!zrtest::have_pil()) GTEST_SKIP() << "python3 with PIL (python3-pil) not found";
  // Odd width, so the file's lines are padded; written by PIL to be someone else's file.
  const int w = 13, h = 6;
  ASSERT_TRUE(zrtest::pil_encode(w, h, picture(w, h), palette(), "in.pcx"));
  ASSERT_EQ(tool("pcx-to-png in.pcx out.png"), 0) << err;
  std::string mode;
  ASSERT_TRUE(zrtest::pil_decode("out.png", "png.raw", "png.pal", &mode));
  EXPECT_EQ(mode, "P 13 6");
  EXPECT_EQ(zrtest::read_file("png.raw"), picture(w, h));
  EXPECT_EQ(zrtest::read_file("png.pal"), palette());
}

TEST_F(ZrtoolTest, PngToPcxOpensInPilAndInOurReader) {
  if (!zrtest::have_pil()) GTEST_SKIP() << "python3 with PIL (python3-pil) not found";
  const int w = 321, h = 4;
  ASSERT_TRUE(zrtest::pil_encode(w, h, picture(w, h), palette(), "in.png"));
  ASSERT_EQ(tool("png-to-pcx in.png out.pcx"), 0) << err;
  std::string mode;
  ASSERT_TRUE(zrtest::pil_decode("out.pcx", "pcx.raw", "pcx.pal", &mode));
  EXPECT_EQ(mode, "P 321 4");
  EXPECT_EQ(zrtest::read_file("pcx.raw"), picture(w, h));
  EXPECT_EQ(zrtest::read_file("pcx.pal"), palette());
  ZR_BITMAP b{};
  ASSERT_EQ(zr_bitmap_load(&b, "out.pcx", ZR_BITMAP_LOAD_PALETTE), 1);
  EXPECT_EQ(std::vector<uint8_t>(b.pixels, b.pixels + w * h), picture(w, h));
  zr_bitmap_free(&b);
}

TEST_F(ZrtoolTest, FilesItCannotReadGiveOneLineAndStatusOne) {
  zrtest::write_file("rgb.pcx", [] {
    std::vector<uint8_t> f = zrtest::pcx_header(0, 0, 3, 3, 4);
    f[65] = 3;
    f.resize(300, 0);
    return f;
  }());
  zrtest::write_file("junk.png", std::vector<uint8_t>(50, 7));
  const char* commands[] = {"pcx-to-png missing.pcx o.png", "pcx-to-png rgb.pcx o.png",
                            "png-to-pcx junk.png o.pcx",    "png-to-pcx missing.png o.pcx",
                            "flic-frames rgb.pcx frames",   "pcx-info missing.pcx"};
  for (const char* c : commands) {
    EXPECT_EQ(tool(c), 1) << c;
    ASSERT_FALSE(err.empty()) << c;
    EXPECT_EQ(err.find('\n'), err.size() - 1) << c << ": " << err;
  }
  EXPECT_FALSE(std::filesystem::exists("o.png"));
  EXPECT_FALSE(std::filesystem::exists("Warning.txt"));
  EXPECT_EQ(tool("unknown-command"), 2);
}

TEST_F(ZrtoolTest, PcxInfoAndFlicFrames) {
  std::vector<uint8_t> px = picture(5, 3);
  ZR_BITMAP b{};
  b.width = b.w = 5;
  b.height = b.h = 3;
  b.pixels = px.data();
  std::vector<uint8_t> pal = palette();
  b.palette = pal.data();
  ASSERT_EQ(zr_bitmap_save_pcx(&b, "p.pcx", nullptr), 1);
  ASSERT_EQ(tool("pcx-info p.pcx"), 0);
  std::ifstream in("out.txt");
  const std::string out(std::istreambuf_iterator<char>(in), {});
  EXPECT_NE(out.find("size: 5 x 3"), std::string::npos) << out;
  EXPECT_NE(out.find("bytes per line: 5"), std::string::npos) << out;
  EXPECT_NE(out.find("readable by the game: yes"), std::string::npos) << out;

  const std::string flc = ZR_PEER_CASES "/flic/pillow_2422.flc";
  if (!std::filesystem::exists(flc)) GTEST_SKIP() << "no peer FLIC at " << flc;
  ASSERT_EQ(tool("flic-frames " + flc + " frames"), 0) << err;
  EXPECT_TRUE(std::filesystem::exists("frames/frame0001.png"));
  EXPECT_TRUE(std::filesystem::exists("frames/frame0027.png"));
  EXPECT_FALSE(std::filesystem::exists("frames/frame0028.png"));
}

}  // namespace
