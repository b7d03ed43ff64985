// The mode table on a desktop the test chooses, the [Display] keys written and read back, the
// special sizes and the return to the desktop at exit.
#include "engine/display/video_mode.h"

#include <gtest/gtest.h>

#include "engine/core/keyfile.h"
#include "engine/display/display.h"
#include "engine/display/language.h"
#include "engine/display/palette.h"
#include "window_support.h"

namespace {

using zrwindow::read_text;
using zrwindow::write_text;

int desktopWidth = 1920, desktopHeight = 1080;

void FakeDesktop(ZR_DESKTOP* desktop) {
  *desktop = ZR_DESKTOP{};
  desktop->count = 3;
  desktop->modes[0] = {desktopWidth, desktopHeight, 60};
  desktop->modes[1] = {1024, 768, 60};  // also a preferred size: listed once
  desktop->modes[2] = {1280, 720, 60};
  desktop->width = desktopWidth;
  desktop->height = desktopHeight;
  desktop->bpp = 32;
  desktop->refresh = 60;
}

int resizes = 0;
void CountResize() {
  ++resizes;
}

class VideoModeTest : public zrwindow::CoreTest {
 protected:
  void SetUp() override {
    CoreTest::SetUp();
    desktopWidth = 1920;
    desktopHeight = 1080;
    resizes = 0;
    zr_dsp_set_desktop_source(FakeDesktop);
    flags_ = ZR_DSP_FLAGS{&fullscreen_, &lowRes_, &highRes_, &mode_};
    zr_dsp_set_flags(&flags_);
  }
  void TearDown() override {
    if (started_) {
      zr_dsp_stop();
      zr_dsp_free();
    }
    zr_pal_reset();
    zr_dsp_set_flags(nullptr);
    zr_dsp_set_desktop_source(nullptr);
    CoreTest::TearDown();
  }
  // Settings, table and display started in the settings' mode.
  void Start() {
    zr_dsp_read_settings(-1, -1, 960, 619);
    ASSERT_EQ(zr_dsp_enum_modes(), 1);
    ASSERT_EQ(zr_dsp_init(), 1);
    ZR_DSP_START start{};
    start.frameBuffer = &frame_;
    start.resize = CountResize;
    start.displayReady = &ready_;
    start.appActive = &active_;
    ASSERT_EQ(zr_dsp_start(&start), 1);
    ASSERT_EQ(zr_dsp_set_mode(), 1);
    started_ = true;
  }
  std::string Key(const char* key) {
    char value[128] = "";
    zr_io_get_string("Display", key, value, sizeof value, "zrsentry.ini");
    return value;
  }

  int32_t fullscreen_ = 0, lowRes_ = 0, highRes_ = 0, ready_ = 0, active_ = 1;
  ZR_VIDEO_MODE mode_{};
  ZR_DSP_FLAGS flags_{};
  ZR_BITMAP frame_{};
  bool started_ = false;
};

TEST_F(VideoModeTest, TheTableHoldsThePreferredSizesThenTheDesktopsAtFourDepths) {
  Start();
  // 320x200, 640x480, 800x600, 1024x768, then 1920x1080 and 1280x720: six sizes, four depths.
  ASSERT_EQ(zr_dsp_mode_count(), 24);
  const int sizes[][2] = {{320, 200},  {640, 480},   {800, 600},
                          {1024, 768}, {1920, 1080}, {1280, 720}};
  for (int i = 0; i < 24; ++i) {
    const ZR_VIDEO_MODE* mode = zr_dsp_mode(i);
    EXPECT_EQ(mode->width, sizes[i / 4][0]) << i;
    EXPECT_EQ(mode->height, sizes[i / 4][1]) << i;
    constexpr int kDepths[] = {8, 16, 24, 32};
    EXPECT_EQ(mode->bpp, kDepths[i % 4]) << i;
  }
  EXPECT_EQ(zr_dsp_desktop_mode(), zr_dsp_find_mode(1920, 1080, 32));
  EXPECT_EQ(zr_dsp_current_mode(), zr_dsp_desktop_mode());  // no Resolution key
  EXPECT_EQ(zr_dsp_find_mode(320, 200, 8), 0);
  EXPECT_EQ(zr_dsp_find_mode(333, 200, 8), -1);
  EXPECT_EQ(zr_dsp_low_res_mode(), 0);
  EXPECT_EQ(zr_dsp_high_res_mode(), 4);
  EXPECT_EQ(mode_.width, 1920);  // the application's copy
}

TEST_F(VideoModeTest, AResolutionIsHonouredOnlyWithThreeNumbers) {
  const struct {
    const char* value;
    int width, height, bpp;
  } cases[] = {{"800x600x8", 800, 600, 8},
               {"800x600", 1920, 1080, 32},
               {"640x480x12", 1920, 1080, 32},  // no such depth in the table
               {"1280x720x16", 1280, 720, 16}};
  for (const auto& c : cases) {
    write_text("zrsentry.ini", std::string("[Display]\r\nResolution=") + c.value + "\r\n");
    zr_dsp_read_settings(-1, -1, 960, 619);
    ASSERT_EQ(zr_dsp_enum_modes(), 1);
    const ZR_VIDEO_MODE* mode = zr_dsp_mode(zr_dsp_current_mode());
    EXPECT_EQ(mode->width, c.width) << c.value;
    EXPECT_EQ(mode->height, c.height) << c.value;
    EXPECT_EQ(mode->bpp, c.bpp) << c.value;
  }
}

TEST_F(VideoModeTest, TheKeysReadBackAsWrittenAcrossModeAndLanguageChanges) {
  write_text("zrsentry.ini",
             "[Display]\r\nFullscreen=1\r\nResolution=640x480x8\r\nWindowPosition=10,20,660,"
             "519\r\nFullPosition=40,30,320,200\r\nIntegerScaling=1\r\n");
  write_text("LANGUAGE.TXT",
             "[Languages]\r\nNbLanguages=2\r\nMultiLanguages=1\r\nIncluded_01=1\r\n"
             "Language_01=English\r\nIncluded_02=1\r\nLanguage_02=French\r\n"
             "[English]\r\nAbbreviation=EN\r\nNumber=1\r\n[French]\r\nAbbreviation=FR\r\n"
             "Number=2\r\n");
  Start();
  EXPECT_EQ(fullscreen_, 1);
  EXPECT_EQ(highRes_, 1);
  EXPECT_EQ(frame_.x, 40);  // the frame where FullPosition put it
  EXPECT_EQ(frame_.y, 30);
  zr_dsp_write_settings();
  const char* keys[] = {"Fullscreen", "Resolution", "WindowPosition", "FullPosition",
                        "IntegerScaling"};
  const std::string expected[] = {"1", "640x480x8", "10,20,660,519", "40,30,320,200", "1"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Key(keys[i]), expected[i]) << keys[i];

  // A change of language and of mode: both written at the display's stop, and read back the same.
  ZR_LANGUAGES* languages = zr_lang_load("LANGUAGE.TXT");
  ASSERT_NE(languages, nullptr);
  static ZR_LANGUAGES* saved = nullptr;
  saved = languages;
  zr_dsp_set_language_writer([] { zr_lang_save(saved); });
  zr_lang_select(languages, 2);
  zr_dsp_low_res();
  EXPECT_EQ(lowRes_, 1);
  EXPECT_EQ(frame_.width, 320);
  zr_dsp_toggle_fullscreen();  // back to a window, in the last window mode (none: the current)
  EXPECT_EQ(fullscreen_, 0);
  zr_dsp_stop();
  zr_dsp_free();
  started_ = false;
  zr_dsp_set_language_writer(nullptr);
  zr_lang_free(languages);
  EXPECT_EQ(Key("Fullscreen"), "0");
  EXPECT_EQ(Key("Resolution"), "320x200x8");
  EXPECT_NE(read_text("zrsentry.ini").find("Language=2"), std::string::npos);

  const std::string before = read_text("zrsentry.ini");
  zr_dsp_read_settings(-1, -1, 960, 619);
  ASSERT_EQ(zr_dsp_enum_modes(), 1);
  EXPECT_EQ(zr_dsp_current_mode(), zr_dsp_find_mode(320, 200, 8));
  zr_dsp_write_settings();
  EXPECT_EQ(read_text("zrsentry.ini"), before);
}

TEST_F(VideoModeTest, HighResGrowsTheFrameToTheModeAndLowResBringsItBack) {
  Start();
  zr_dsp_high_res();
  EXPECT_EQ(fullscreen_, 1);
  EXPECT_EQ(highRes_, 1);
  EXPECT_EQ(frame_.width, 640);
  EXPECT_EQ(frame_.height, 480);
  EXPECT_EQ(resizes, 1);
  EXPECT_EQ(zr_dsp_back_surface()->width, 640);
  EXPECT_EQ(zr_dsp_back_surface()->bpp, 8);
  EXPECT_TRUE(zr_dsp_256_colours());
  // A smaller frame lies centred on the mode; keys 1 to 4 use this resize.
  zr_dsp_resize(zr_dsp_frame_buffer(), nullptr, -12, 0);
  EXPECT_EQ(frame_.width, 628);
  EXPECT_EQ(frame_.x, 6);
  zr_dsp_low_res();
  EXPECT_EQ(lowRes_, 1);
  EXPECT_EQ(highRes_, 0);
  EXPECT_EQ(frame_.width, 320);
  EXPECT_EQ(frame_.height, 200);
  zr_dsp_toggle_256_colours();  // 320x200 at the desktop's depth
  EXPECT_EQ(mode_.bpp, 32);
  EXPECT_FALSE(zr_dsp_256_colours());
}

// At exit a desktop wider than 639 or taller than 479 gets its mode back: 640 x 480 included
// (the rule, where an example said otherwise).
TEST_F(VideoModeTest, TheDesktopModeComesBackForDesktopsFrom640By480) {
  const struct {
    int width, height;
    bool switches;
  } cases[] = {{1920, 1080, true}, {1024, 768, true}, {640, 480, true}, {320, 200, false}};
  for (const auto& c : cases) {
    desktopWidth = c.width;
    desktopHeight = c.height;
    write_text("zrsentry.ini", "");
    zr_dsp_read_settings(-1, -1, 960, 619);
    ASSERT_EQ(zr_dsp_enum_modes(), 1);
    zr_dsp_change_mode(zr_dsp_find_mode(800, 600, 8));
    EXPECT_EQ(zr_dsp_restore_desktop(), c.switches ? 1 : 0) << c.width;
    EXPECT_EQ(zr_dsp_current_mode() == zr_dsp_desktop_mode(), c.switches) << c.width;
  }
  // Already in the desktop's mode: nothing to do.
  EXPECT_EQ(zr_dsp_restore_desktop(), 0);
}

}  // namespace
