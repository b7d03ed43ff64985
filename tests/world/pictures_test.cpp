// load_pcx_file, the transparency tables, the background and view, and the editing font.
#include <cmath>
#include <cstring>
#include <filesystem>

#include "world/frame_target.h"
#include "world/pcx.h"
#include "world_support.h"

namespace {

using namespace wtest;

class PicturesTest : public WorldTest {
 protected:
  // Loads a picture, returning the exit status (-1 when it loaded) and keeping the result.
  int read(const std::string& name, int first = 10, int destination = 10) {
    return exit_status([&] { load_pcx_file(name.c_str(), 236, first, destination, &picture_); });
  }
  void TearDown() override {
    if (picture_.pixels) zr_mem_free(picture_.pixels);
    WorldTest::TearDown();
  }
  std::vector<uint8_t> pixels() const {
    return std::vector<uint8_t>(picture_.pixels,
                                picture_.pixels + size_t(picture_.width) * picture_.height);
  }
  Picture picture_{};
};

TEST_F(PicturesTest, PcxOffsetsPaddingAndPalette) {
  std::vector<uint8_t> px = {1, 2, 3, 200, 201, 202};
  auto bytes = pcx_bytes(3, 2, px, 4, 99);
  put16(bytes, 4, 5);  // Xmin 5, Xmax 7
  put16(bytes, 8, 7);
  put16(bytes, 6, -2);  // Ymin -2, Ymax -1
  put16(bytes, 10, -1);
  write_bytes("p.pcx", bytes);
  ASSERT_EQ(read("p.pcx"), -1) << last_error();
  EXPECT_EQ(picture_.width, 3);
  EXPECT_EQ(picture_.height, 2);
  EXPECT_EQ(pixels(), px);  // the padding byte of each line is dropped
  zr_mem_free(picture_.pixels);
  picture_ = {};

  // Another palette gives the same picture; a shift moves every value modulo 256.
  write_bytes("q.pcx", pcx_bytes(3, 2, px, 4, 99, 77));
  ASSERT_EQ(read("q.pcx"), -1);
  EXPECT_EQ(pixels(), px);
  zr_mem_free(picture_.pixels);
  picture_ = {};
  ASSERT_EQ(read("q.pcx", 10, 70), -1);
  EXPECT_EQ(pixels(), (std::vector<uint8_t>{61, 62, 63, 4, 5, 6}));
}

TEST_F(PicturesTest, RunPastTheLineEndIsDropped) {
  auto bytes = pcx_header(0, 0, 3, 1, 4);
  // Row 0: a run of 6 fours (2 too many); row 1: literals 1, 2, 3, 4.
  for (uint8_t b : {0xC6, 4, 1, 2, 3, 4}) bytes.push_back(b);
  write_bytes("r.pcx", bytes);
  ASSERT_EQ(read("r.pcx"), -1);
  EXPECT_EQ(pixels(), (std::vector<uint8_t>{4, 4, 4, 4, 1, 2, 3, 4}));
}

TEST_F(PicturesTest, ShortFileReadsAsEndOfFileBytes) {
  auto bytes = pcx_header(0, 0, 3, 2, 4);
  for (uint8_t b : {1, 2, 3, 4, 0xC0, 5, 6})
    bytes.push_back(b);  // a run of length 0 writes nothing
  write_bytes("s.pcx", bytes);
  ASSERT_EQ(read("s.pcx"), -1);
  EXPECT_EQ(pixels(), (std::vector<uint8_t>{1, 2, 3, 4, 6, 255, 255, 255, 255, 255, 255, 255}));
}

TEST_F(PicturesTest, PcxRefusals) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    std::string message;
  };
  auto with = [](std::vector<uint8_t> h, size_t at, uint8_t value) {
    h[at] = value;
    return h;
  };
  auto ok = pcx_header(0, 0, 3, 3, 4);
  const std::vector<Case> cases = {
      {"short", std::vector<uint8_t>(100, 10), "The file is too short for a PCX picture : x.pcx"},
      {"manufacturer", with(ok, 0, 11), "The file is not an 8-bit run-length PCX picture : x.pcx"},
      {"encoding", with(ok, 2, 0), "The file is not an 8-bit run-length PCX picture : x.pcx"},
      {"bits", with(ok, 3, 4), "The file is not an 8-bit run-length PCX picture : x.pcx"},
      {"planes", with(ok, 65, 3), "The file is not an 8-bit run-length PCX picture : x.pcx"},
      {"xmax below xmin", pcx_header(5, 0, 4, 3, 4), "Wrong picture size in the file : x.pcx"},
      {"ymax below ymin", pcx_header(0, 5, 3, 3, 4), "Wrong picture size in the file : x.pcx"},
      {"too wide", pcx_header(0, 0, 16384, 0, 16386),
       "The picture is too large in the file : x.pcx"},
      {"too high", pcx_header(-10000, -10000, 0, 10000, 10002),
       "The picture is too large in the file : x.pcx"},
      {"bytes per line 0", pcx_header(0, 0, 3, 3, 0), "Wrong bytes per line in the file : x.pcx"},
      {"bytes per line short", pcx_header(0, 0, 3, 3, 3),
       "Wrong bytes per line in the file : x.pcx"},
      {"bytes per line negative", pcx_header(0, 0, 3, 3, -4),
       "Wrong bytes per line in the file : x.pcx"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    write_bytes("x.pcx", c.bytes);
    EXPECT_EQ(read("x.pcx"), 1);
    EXPECT_EQ(last_error(), "Error: " + c.message);
  }
  EXPECT_EQ(read("missing.pcx"), 1);
  EXPECT_EQ(last_error(), "Error: Cant open the file : missing.pcx");
  // The largest accepted side.
  write_bytes("big.pcx", pcx_header(0, 0, 16383, 0, 16384));
  ASSERT_EQ(read("big.pcx"), -1);
  EXPECT_EQ(picture_.width, 16384);
}

// Real files made by other software: 8-bit one-plane run-length files load with the size their
// header gives; every other kind is refused.
TEST_F(PicturesTest, PeerFiles) {
  const std::filesystem::path dir = std::filesystem::path(ZR_PEER_CASES) / "pcx";
  if (!std::filesystem::exists(dir)) GTEST_SKIP() << "no peer files at " << dir;
  int loaded = 0, refused = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    SCOPED_TRACE(entry.path().filename().string());
    std::string name = entry.path().string();
    std::ifstream in(name, std::ios::binary);
    std::vector<uint8_t> h(128);
    in.read(reinterpret_cast<char*>(h.data()), 128);
    int w = int16_t(h[8] | h[9] << 8) - int16_t(h[4] | h[5] << 8) + 1;
    int bytes_per_line = int16_t(h[66] | h[67] << 8);
    bool readable = in.gcount() == 128 && h[0] == 10 && h[2] == 1 && h[3] == 8 && h[65] == 1 &&
                    w > 0 && bytes_per_line >= w;
    int status = read(name);
    if (readable) {
      EXPECT_EQ(status, -1) << last_error();
      EXPECT_EQ(picture_.width, w);
      ++loaded;
    } else {
      EXPECT_EQ(status, 1);
      ++refused;
    }
    if (picture_.pixels) zr_mem_free(picture_.pixels);
    picture_ = {};
  }
  EXPECT_GT(loaded, 0);
  EXPECT_GT(refused, 0);
}

TEST_F(PicturesTest, TransparencyTables) {
  auto tables = [](int n, int present) {
    std::vector<uint8_t> b = {static_cast<uint8_t>(n)};
    for (int t = 0; t < present; ++t)
      for (int i = 0; i < TRANS_TABLE_SIZE; ++i)
        b.push_back(static_cast<uint8_t>(t * 31 + i / 256));
    return b;
  };
  const uint8_t* start = default_colour_map;
  write_bytes("none.tab", tables(0, 0));
  load_transparency_tables("none.tab");
  EXPECT_EQ(num_trans_tables, 0);
  EXPECT_EQ(default_colour_map, start);
  EXPECT_EQ(default_colour_map[77], 77);  // identity until a colour map exists
  EXPECT_EQ(colour_map_row(3, 3), start);

  write_bytes("five.tab", tables(5, 5));
  load_transparency_tables("five.tab");
  ASSERT_EQ(num_trans_tables, 5);
  EXPECT_EQ(default_colour_map, trans_tables[4] + 15 * 256);
  EXPECT_EQ(default_colour_map[0], static_cast<uint8_t>(4 * 31 + 15));
  EXPECT_EQ(colour_map_row(2, 9), trans_tables[4] + (2 * 16 + 9) * 256);
  EXPECT_EQ(trans_tables[1][3 * 256 + 200], 31 + 3);
  free_transparency_tables();
  // The default colour map outlives its table.
  EXPECT_EQ(default_colour_map[0], static_cast<uint8_t>(4 * 31 + 15));

  write_bytes("short.tab", tables(2, 1));
  load_transparency_tables("short.tab");
  ASSERT_EQ(num_trans_tables, 2);
  EXPECT_EQ(trans_tables[1][0], 0xFF);
  free_transparency_tables();

  write_bytes("many.tab", tables(21, 0));
  EXPECT_EQ(exit_status([] { load_transparency_tables("many.tab"); }), 0);
  EXPECT_EQ(last_error(), "Error: Too many transparency tables in many.tab : 21 ( at most 20 )");
  EXPECT_EQ(exit_status([] { load_transparency_tables("nope.tab"); }), 0);
  EXPECT_EQ(last_error(), "Error: Cant open transparency table : nope.tab");
}

TEST_F(PicturesTest, ViewAndBackground) {
  set_view(199, 319);
  EXPECT_EQ(view_centre_x, 160);
  EXPECT_EQ(view_centre_y, 100);
  EXPECT_EQ(projection_x, 198);  // (319 / 2) * 200 / 160
  EXPECT_EQ(projection_y, 164);  // (199 / 2) * 166 / 100
  set_view(479, 639);
  EXPECT_EQ(projection_x, 398);
  EXPECT_EQ(projection_y, 396);

  // A 64 x 40 picture whose pixel is its column.
  std::vector<uint8_t> px(64 * 40);
  for (int i = 0; i < 64 * 40; ++i) px[i] = static_cast<uint8_t>(i % 64);
  write_pcx("bg.pcx", 64, 40, px);
  load_background("bg.pcx");
  write_pcx("other.pcx", 8, 8, 1);
  load_background("other.pcx");  // one is loaded already: kept
  EXPECT_EQ(background.width, 64);
  set_view(199, 319);
  EXPECT_EQ(scaled_columns, 480);
  EXPECT_EQ(scaled_rows, 300);
  EXPECT_EQ(background_scaled[479], 63);
  EXPECT_EQ(background_scaled[7], 0);
  EXPECT_EQ(background_scaled[8], 1);

  std::vector<uint8_t> frame(320 * 200, 0);
  set_frame_target(frame.data(), 319, 199);
  world_columns = 100;
  cell_size = 12;
  // free_x = 480 - 1 - 320 = 159; at h = W / 2 the window starts at column 79.
  draw_background(600.0, 0.0);
  EXPECT_EQ(frame[0], background_scaled[79]);
  EXPECT_EQ(frame[319], background_scaled[79 + 319]);
  // Positions outside the world keep the window inside the picture.
  draw_background(-5000.0, -1e9);
  EXPECT_EQ(frame[0], 0);
  draw_background(1e9, 1e9);
  EXPECT_EQ(frame[319], 63);
  draw_background(std::nan(""), 0.0);
  EXPECT_EQ(frame[0], 0);

  // At scale 100 the window cannot move.
  background_scale_h = background_scale_v = 100;
  set_view(199, 319);
  draw_background(1000.0, 500.0);
  EXPECT_EQ(frame[0], 0);
  EXPECT_EQ(frame[199 * 320 + 319], background_scaled[199 * 320 + 319]);
  set_frame_target(nullptr, 319, 199);
  free_background();
  EXPECT_FALSE(background_loaded);
  EXPECT_FALSE(background_scaled_exists);
}

TEST_F(PicturesTest, EditingFont) {
  // Glyph g is 7 rows of the value g & 31, so each glyph's pattern tells which one was drawn.
  std::vector<uint8_t> file;
  for (int g = 0; g < EDIT_FONT_GLYPHS; ++g)
    for (int r = 0; r < 7; ++r) file.push_back(static_cast<uint8_t>((g & 31) | 0xE0));
  write_bytes("font.dat", file);
  load_editing_font("font.dat");
  EXPECT_EQ(editing_font_glyph('a'), 0);
  EXPECT_EQ(editing_font_glyph('Z'), 51);
  EXPECT_EQ(editing_font_glyph('9'), 61);
  EXPECT_EQ(editing_font_glyph('#'), 0);
  EXPECT_EQ(editing_font_glyph(168), 66);
  EXPECT_EQ(editing_font_glyph(130), 75);
  EXPECT_EQ(editing_font_glyph('/'), 82);

  set_view(199, 319);
  std::vector<uint8_t> frame(320 * 200, 0);
  set_frame_target(frame.data(), 319, 199);
  auto ink = [&](int x, int y) { return frame[y * 320 + x]; };
  draw_glyph('b', 10, 10, 9, EDIT_TARGET_FRAME);  // glyph 1: only the rightmost pixel
  EXPECT_EQ(ink(14, 10), 9);
  EXPECT_EQ(ink(14, 16), 9);
  EXPECT_EQ(ink(13, 10), 0);
  EXPECT_EQ(ink(14, 17), 0);
  draw_glyph(' ', 30, 10, 9, EDIT_TARGET_FRAME);
  draw_glyph('#', 30, 10, 9, EDIT_TARGET_FRAME);  // glyph 0: no ink at all
  for (int x = 30; x < 35; ++x) EXPECT_EQ(ink(x, 10), 0);
  // Text runs 6 pixels apart and loses whole characters at the edge.
  // The last whole glyph starts at view_max_x - 5 = 314.
  draw_text("bbbb", 302, 50, 4, EDIT_TARGET_FRAME);
  EXPECT_EQ(ink(302 + 4, 50), 4);
  EXPECT_EQ(ink(308 + 4, 50), 4);
  EXPECT_EQ(ink(314 + 4, 50), 4);
  int drawn = 0;
  for (int x = 0; x < 320; ++x) drawn += ink(x, 50) == 4;
  EXPECT_EQ(drawn, 3);
  draw_glyph('b', 0, 199 - 7, 5, EDIT_TARGET_FRAME);
  draw_glyph('b', 0, 199 - 6, 6, EDIT_TARGET_FRAME);  // too low: not drawn
  EXPECT_EQ(ink(4, 199 - 7), 5);
  EXPECT_EQ(ink(4, 199 - 1), 5);
  set_frame_target(nullptr, 319, 199);

  EXPECT_EQ(exit_status([] { load_editing_font("nope.dat"); }), 0);
  EXPECT_EQ(last_error(), "Error: Cant open the file : nope.dat");
}

}  // namespace
