// Frame buffer, presentation flags, resizing, registered rectangles and snapshots.
#include "engine/display/display.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "display_support.h"
#include "engine/display/palette.h"
#include "engine/display/snapshot.h"
#include "engine/platform/message_box.h"

namespace {

int g_resizeCalls = 0;
void on_resize() {
  ++g_resizeCalls;
}

std::string g_lastBox;
int capture_box(const char* text, const char*, uint32_t) {
  g_lastBox = text ? text : "";
  return IDOK;
}

class DisplayTest : public zrtest::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    g_resizeCalls = 0;
    ASSERT_EQ(zr_dsp_init(), 1);
    zr_dsp_set_screen_size(640, 480);
  }
  void TearDown() override {
    zr_dsp_stop();
    zr_dsp_free();
    zr_dsp_set_screen_size(0, 0);
    TempDirTest::TearDown();
  }
  void start() {
    ZR_DSP_START s{};
    s.frameBuffer = &appFrame;
    s.resize = on_resize;
    s.displayReady = &displayReady;
    s.appActive = &appActive;
    ASSERT_EQ(zr_dsp_start(&s), 1);
  }
  ZR_BITMAP appFrame{};
  int32_t displayReady = 0;
  int32_t appActive = 0;
};

TEST_F(DisplayTest, InitGivesAZeroedBaseFrameAndStartMakesTheDisplayReady) {
  ZR_BITMAP* f = zr_dsp_frame_buffer();
  ASSERT_NE(f->pixels, nullptr);
  EXPECT_EQ(f->width, 320);
  EXPECT_EQ(f->height, 200);
  EXPECT_EQ(f->bpp, 8);
  for (int i = 0; i < 320 * 200; ++i) ASSERT_EQ(f->pixels[i], 0);
  EXPECT_FALSE(zr_dsp_is_ready());
  EXPECT_EQ(zr_dsp_back_surface(), nullptr);

  start();
  EXPECT_TRUE(zr_dsp_is_started());
  EXPECT_TRUE(zr_dsp_is_ready());
  EXPECT_TRUE(zr_dsp_surfaces_exist());
  EXPECT_EQ(displayReady, 1);
  EXPECT_EQ(appFrame.pixels, f->pixels);
  EXPECT_EQ(appFrame.width, 320);
  const ZR_SURFACE* back = zr_dsp_back_surface();
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->width, 320);
  EXPECT_EQ(back->height, 200);
  EXPECT_EQ(back->bpp, 32);

  zr_dsp_release();
  EXPECT_FALSE(zr_dsp_is_ready());
  EXPECT_FALSE(zr_dsp_surfaces_exist());
  EXPECT_EQ(displayReady, 0);
  EXPECT_EQ(zr_dsp_flip(), 0);
  zr_dsp_copy(&appFrame, 0);  // nothing to copy into: harmless
}

TEST_F(DisplayTest, PresentFrameConvertsTheFrameIntoTheBackSurface) {
  start();
  std::vector<uint8_t> pal(768);
  for (int i = 0; i < 768; ++i) pal[i] = static_cast<uint8_t>(i / 3);
  zr_pal_set(pal.data());
  appFrame.pixels[0] = 7;
  appFrame.pixels[320 * 199 + 319] = 200;
  zr_dsp_copy(&appFrame, 0);
  EXPECT_EQ(zr_dsp_flip(), 1);
  const ZR_SURFACE* back = zr_dsp_back_surface();
  auto pixel = [&](int x, int y) {
    const uint8_t* p = back->pixels + y * back->pitch + 4 * x;
    return static_cast<uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16));
  };
  EXPECT_EQ(pixel(0, 0), 0x070707u);
  EXPECT_EQ(pixel(319, 199), 0xC8C8C8u);
  EXPECT_EQ(pixel(1, 0), 0u);

  ASSERT_EQ(zr_dsp_set_depth(8), 1);
  zr_dsp_copy(&appFrame, ZR_DSP_COPY_CENTRE);
  EXPECT_EQ(appFrame.x, 0);
  EXPECT_EQ(zr_dsp_back_surface()->pixels[0], 7);
  EXPECT_EQ(zr_dsp_set_depth(12), 0);
}

TEST_F(DisplayTest, ResizeIsRefusedPerAxisAndRewritesTheApplicationsCopy) {
  start();
  int32_t rect[4] = {};
  zr_dsp_resize(&appFrame, rect, 0, 0);
  EXPECT_EQ(rect[2], 320);
  EXPECT_EQ(rect[3], 200);
  EXPECT_EQ(g_resizeCalls, 0);

  zr_dsp_resize(&appFrame, rect, -10, 0);  // below the minimum width: nothing changes
  EXPECT_EQ(zr_dsp_frame_buffer()->width, 320);
  EXPECT_EQ(g_resizeCalls, 0);

  zr_dsp_resize(&appFrame, rect, 100, -10);  // width grows, height is refused
  EXPECT_EQ(zr_dsp_frame_buffer()->width, 420);
  EXPECT_EQ(zr_dsp_frame_buffer()->height, 200);
  EXPECT_EQ(rect[2], 420);
  EXPECT_EQ(g_resizeCalls, 1);
  EXPECT_EQ(appFrame.width, 420);
  EXPECT_EQ(appFrame.w, 420);
  EXPECT_EQ(appFrame.pixels, zr_dsp_frame_buffer()->pixels);
  EXPECT_EQ(zr_dsp_back_surface()->width, 420);
  EXPECT_TRUE(zr_dsp_is_ready());

  zr_dsp_resize(&appFrame, rect, 400, 281);  // beyond the screen on both axes
  EXPECT_EQ(zr_dsp_frame_buffer()->width, 420);
  EXPECT_EQ(zr_dsp_frame_buffer()->height, 200);
  zr_dsp_resize(&appFrame, rect, 220, 280);  // exactly the screen
  EXPECT_EQ(zr_dsp_frame_buffer()->width, 640);
  EXPECT_EQ(zr_dsp_frame_buffer()->height, 480);
  for (int i = 0; i < 640 * 480; ++i) ASSERT_EQ(appFrame.pixels[i], 0);
}

TEST_F(DisplayTest, RegisteredRectanglesFollowTheFrameSize) {
  ZR_RECT a{1, 3, 3, 5};
  ZR_RECT b{32, 20, 160, 100};
  ASSERT_EQ(zr_rect_register(&a), 1);
  ASSERT_EQ(zr_rect_register(&b), 1);
  EXPECT_EQ(b.x, 32);  // at the base size they keep their values
  start();
  zr_dsp_resize(&appFrame, nullptr, 160, 100);  // 480 x 300: factor 1.5, ties to even
  EXPECT_EQ(a.x, 2);
  EXPECT_EQ(a.y, 4);
  EXPECT_EQ(a.w, 4);
  EXPECT_EQ(a.h, 8);
  EXPECT_EQ(b.x, 48);
  EXPECT_EQ(b.w, 240);
  EXPECT_EQ(b.h, 150);
  EXPECT_EQ(zr_rect_unregister(&a), 1);
  EXPECT_EQ(zr_rect_unregister(&a), 0);
  zr_dsp_resize(&appFrame, nullptr, -160, -100);
  EXPECT_EQ(a.x, 2);   // no longer follows
  EXPECT_EQ(b.x, 32);  // back to its base values
  EXPECT_EQ(b.w, 160);
}

TEST_F(DisplayTest, SetActiveWritesBothFlags) {
  start();
  zr_dsp_set_active(1);
  EXPECT_TRUE(zr_dsp_is_active());
  EXPECT_EQ(appActive, 1);
  zr_dsp_set_active(5);
  EXPECT_FALSE(zr_dsp_is_active());
  EXPECT_EQ(appActive, 0);
}

TEST_F(DisplayTest, TestCardShowsEveryColour) {
  start();
  std::vector<uint8_t> pal(768);
  for (int i = 0; i < 768; ++i) pal[i] = static_cast<uint8_t>(i / 3);
  zr_dsp_draw_test_card(&appFrame, pal.data());
  std::vector<bool> seen(256, false);
  for (int i = 0; i < 320 * 200; ++i) seen[appFrame.pixels[i]] = true;
  for (int i = 0; i < 256; ++i) EXPECT_TRUE(seen[i]) << i;
}

TEST_F(DisplayTest, SnapshotTakesTheFirstFreeNumberAndReadsBack) {
  start();
  std::vector<uint8_t> pal(768);
  for (int i = 0; i < 768; ++i) pal[i] = static_cast<uint8_t>(255 - i / 3);
  zr_pal_set(pal.data());
  zr_dsp_draw_test_card(&appFrame, pal.data());
  zrtest::write_file("Snap0000.pcx", {1});
  zrtest::write_file("Snap0002.pcx", {1});
  ASSERT_EQ(zr_snapshot(), 1);
  ASSERT_TRUE(std::filesystem::exists("Snap0001.pcx"));
  ZR_BITMAP shot{};
  ASSERT_EQ(zr_bitmap_load(&shot, "Snap0001.pcx", ZR_BITMAP_LOAD_PALETTE), 1);
  EXPECT_EQ(std::vector<uint8_t>(shot.pixels, shot.pixels + 320 * 200),
            std::vector<uint8_t>(appFrame.pixels, appFrame.pixels + 320 * 200));
  EXPECT_EQ(std::vector<uint8_t>(shot.palette, shot.palette + 768), pal);
  zr_bitmap_free(&shot);
  ASSERT_EQ(zr_snapshot(), 1);
  EXPECT_TRUE(std::filesystem::exists("Snap0003.pcx"));

  if (zrtest::have_pil()) {
    std::string mode;
    ASSERT_TRUE(zrtest::pil_decode("Snap0001.pcx", "snap.raw", "snap.pal", &mode));
    EXPECT_EQ(mode, "P 320 200");
    EXPECT_EQ(zrtest::read_file("snap.raw"),
              std::vector<uint8_t>(appFrame.pixels, appFrame.pixels + 320 * 200));
    EXPECT_EQ(zrtest::read_file("snap.pal"), pal);
  }
}

TEST_F(DisplayTest, TenThousandSnapshotsGiveTheMessageAndNoFile) {
  for (int n = 0; n < ZR_SNAPSHOT_LIMIT; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "Snap%04d.pcx", n);
    std::FILE* f = std::fopen(name, "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
  }
  zr_message_box_set_hook(capture_box);
  g_lastBox.clear();
  EXPECT_EQ(zr_snapshot(), 0);
  zr_message_box_set_hook(nullptr);
  EXPECT_EQ(g_lastBox,
            "Sorry, there are already 10000 snapshots in this directory. Please delete a few of "
            "them if you want to take new ones.");
  EXPECT_FALSE(std::filesystem::exists("Snap10000.pcx"));
}

}  // namespace
