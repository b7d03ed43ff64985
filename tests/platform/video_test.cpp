#include "engine/platform/video.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/platform/messages.h"

namespace {

struct FitCase {
  int clientWidth, clientHeight, pictureWidth, pictureHeight;
  ZR_PLACEMENT expected;
};

TEST(VideoTest, PictureFitsAtAnIntegerFactorCentredOrShrinksWithItsAspect) {
  const FitCase cases[] = {
      {320, 200, 320, 200, {0, 0, 320, 200}},
      {1280, 800, 320, 200, {0, 0, 1280, 800}},
      {1000, 700, 320, 200, {20, 50, 960, 600}},      // factor 3, black around
      {1920, 1080, 320, 200, {160, 40, 1600, 1000}},  // the height limits to 5x
      {639, 399, 320, 200, {159, 99, 320, 200}},      // just short of 2x
      {160, 200, 320, 200, {0, 50, 160, 100}},        // shrunk: the width limits
      {320, 100, 320, 200, {80, 0, 160, 100}},        // shrunk: the height limits
      {0, 200, 320, 200, {0, 0, 0, 0}},
      {320, 200, 0, 200, {0, 0, 0, 0}},
  };
  for (const FitCase& c : cases) {
    ZR_PLACEMENT got =
        zr_window_fit(c.clientWidth, c.clientHeight, c.pictureWidth, c.pictureHeight);
    EXPECT_EQ(got.x, c.expected.x) << c.clientWidth << "x" << c.clientHeight;
    EXPECT_EQ(got.y, c.expected.y) << c.clientWidth << "x" << c.clientHeight;
    EXPECT_EQ(got.width, c.expected.width) << c.clientWidth << "x" << c.clientHeight;
    EXPECT_EQ(got.height, c.expected.height) << c.clientWidth << "x" << c.clientHeight;
  }
}

TEST(VideoTest, WindowFactorIsTheLargestThatFitsBetweenOneAndTheMaximum) {
  EXPECT_EQ(zr_window_factor_for(1920, 1040, 320, 200, 4), 4);
  EXPECT_EQ(zr_window_factor_for(1280, 760, 320, 200, 4), 3);
  EXPECT_EQ(zr_window_factor_for(1366, 728, 320, 200, 4), 3);
  EXPECT_EQ(zr_window_factor_for(3840, 2120, 320, 200, 4), 4);
  EXPECT_EQ(zr_window_factor_for(300, 180, 320, 200, 4), 1);
}

TEST(VideoTest, SurfacesHaveAlignedRowsAndRefuseOddDepths) {
  ZR_SURFACE surface;
  ASSERT_EQ(zr_surface_create(&surface, 321, 2, 24), 1);
  EXPECT_EQ(surface.pitch, 964);
  EXPECT_EQ(surface.bpp, 24);
  EXPECT_EQ(surface.pixels[surface.pitch * 2 - 1], 0);
  zr_surface_free(&surface);
  EXPECT_EQ(surface.pixels, nullptr);
  EXPECT_EQ(zr_surface_create(&surface, 320, 200, 12), 0);
  EXPECT_EQ(zr_surface_create(&surface, 0, 200, 8), 0);
  EXPECT_EQ(surface.pixels, nullptr);
}

TEST(VideoTest, HeadlessWindowOpensActiveAndPresentsEveryDepth) {
  ASSERT_EQ(zr_platform_init(true), 1) << zr_platform_error();
  zr_clear_messages();
  ASSERT_EQ(zr_window_open("Test", 640, 400), 1) << zr_platform_error();
  EXPECT_TRUE(zr_window_is_open());
  EXPECT_STREQ(zr_window_title(), "Test");
  int width = 0, height = 0;
  zr_window_client_size(&width, &height);
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 400);
  ZR_MSG msg;
  ASSERT_EQ(zr_peek_message(&msg, PM_REMOVE), 1);
  EXPECT_EQ(msg.message, WM_ACTIVATE);
  EXPECT_EQ(msg.wParam, WA_ACTIVE);

  uint8_t palette[768] = {};
  for (int bpp : {8, 16, 24, 32}) {
    ZR_SURFACE surface;
    ASSERT_EQ(zr_surface_create(&surface, 320, 200, bpp), 1);
    zr_window_present(&surface, bpp == 8 ? palette : nullptr);
    zr_surface_free(&surface);
  }
  zr_window_present(nullptr, palette);
  zr_platform_quit();
  EXPECT_FALSE(zr_window_is_open());
  zr_clear_messages();
}

TEST(VideoTest, PresentationConvertsEveryDepth) {
  uint8_t palette[768] = {};
  palette[7 * 3 + 0] = 0xF8;  // entry 7
  palette[7 * 3 + 1] = 0x84;
  palette[7 * 3 + 2] = 0x18;
  struct Pixel {
    int bpp;
    std::vector<uint8_t> bytes;
    uint32_t expected;
  };
  // 5-6-5 channels widen by repeating their top bits, so that full white stays white.
  const Pixel pixels[] = {{8, {7}, 0xFFF88418u},
                          {16, {0x23, 0xFC}, 0xFFFF8618u},  // 11111 100001 00011
                          {24, {0x18, 0x84, 0xF8}, 0xFFF88418u},
                          {32, {0x18, 0x84, 0xF8, 0x00}, 0xFFF88418u}};
  for (const Pixel& pixel : pixels) {
    ZR_SURFACE surface;
    ASSERT_EQ(zr_surface_create(&surface, 3, 2, pixel.bpp), 1);
    std::copy(pixel.bytes.begin(), pixel.bytes.end(),
              surface.pixels + surface.pitch + pixel.bytes.size());  // row 1, column 1
    zr_window_present(&surface, palette);
    int width = 0, height = 0;
    const uint32_t* picture = zr_window_last_picture(&width, &height);
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(width, 3);
    ASSERT_EQ(height, 2);
    EXPECT_EQ(picture[4], pixel.expected) << pixel.bpp;
    EXPECT_EQ(picture[0], 0xFF000000u) << pixel.bpp;
    zr_surface_free(&surface);
  }
}

TEST(VideoTest, SigtermBecomesWmClose) {
  ASSERT_EQ(zr_platform_init(true), 1) << zr_platform_error();
  zr_clear_messages();
  std::raise(SIGTERM);
  ZR_MSG msg;
  ASSERT_EQ(zr_peek_message(&msg, PM_REMOVE), 1);
  EXPECT_EQ(msg.message, WM_CLOSE);
  zr_platform_quit();
}

TEST(VideoTest, WithoutADisplayOnlyHeadlessStarts) {
  std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
  std::string wayland = std::getenv("WAYLAND_DISPLAY") ? std::getenv("WAYLAND_DISPLAY") : "";
  ::unsetenv("DISPLAY");
  ::unsetenv("WAYLAND_DISPLAY");
  EXPECT_EQ(zr_platform_init(false), 0);
  std::string reason = zr_platform_error();
  EXPECT_NE(reason.find("--headless"), std::string::npos) << reason;
  EXPECT_EQ(reason.find('\n'), std::string::npos);
  EXPECT_EQ(zr_platform_init(true), 1);
  zr_platform_quit();
  if (!display.empty()) ::setenv("DISPLAY", display.c_str(), 1);
  if (!wayland.empty()) ::setenv("WAYLAND_DISPLAY", wayland.c_str(), 1);
}

}  // namespace
