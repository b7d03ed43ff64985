// The main window's menu bar and procedure, headless: the menus and identifiers, the language
// switch, the full-screen keys and the resize keys.
#include "engine/display/main_window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/display/palette.h"
#include "engine/platform/menu_bar.h"
#include "engine/platform/messages.h"
#include "engine/platform/video.h"
#include "window_support.h"

namespace {

using zrwindow::write_text;

int languageChanges = 0;
int commandCalls = 0;

void LanguageChanged() {
  ++languageChanges;
}

// The application's ticks: music on.
void Command() {
  ++commandCalls;
  zr_menubar_check(ZR_CMD_MUSIC, true);
  zr_menubar_enable(ZR_CMD_EFFECTS, false);
}

std::vector<ZR_MENU_ITEM> Items() {
  const ZR_MENU_ITEM* items = nullptr;
  const int count = zr_menu_bar_items(&items);
  return std::vector<ZR_MENU_ITEM>(items, items + count);
}

const ZR_MENU_ITEM* Find(const std::vector<ZR_MENU_ITEM>& items, uint32_t id) {
  for (const ZR_MENU_ITEM& item : items) {
    if (item.id == id && item.kind == ZR_MENU_ITEM_COMMAND) return &item;
  }
  return nullptr;
}

// The top-level menus' texts, in order.
std::vector<std::string> TopLevel(const std::vector<ZR_MENU_ITEM>& items) {
  std::vector<std::string> names;
  int depth = 0;
  for (const ZR_MENU_ITEM& item : items) {
    if (item.kind == ZR_MENU_ITEM_SUBMENU && depth++ == 0) names.push_back(item.text);
    if (item.kind == ZR_MENU_ITEM_END) --depth;
  }
  return names;
}

std::vector<ZR_MSG> Drain() {
  std::vector<ZR_MSG> messages;
  ZR_MSG msg;
  while (zr_peek_message(&msg, PM_REMOVE)) messages.push_back(msg);
  return messages;
}

class MainWindowTest : public zrwindow::CoreTest {
 protected:
  void SetUp() override {
    CoreTest::SetUp();
    ::setenv("ZR_RUNTIME_DIR", dir().c_str(), 1);
    languageChanges = commandCalls = 0;
    ASSERT_EQ(zr_platform_init(true), 1);
    write_text("LANGUAGE.TXT",
               "[Languages]\r\nNbLanguages=2\r\nMultiLanguages=1\r\nDefault=1\r\nIncluded_01=1\r\n"
               "Language_01=English\r\nIncluded_02=1\r\nLanguage_02=French\r\n"
               "[English]\r\nName=English\r\nAbbreviation=EN\r\nFullscreen=&Fullscreen\r\n"
               "Window=&Window\r\nNumber=1\r\n"
               "[French]\r\nName=Fran\xE7"
               "ais\r\nAbbreviation=FR\r\nFullscreen=&Plein \xE9"
               "cran\r\n"
               "Window=&Fen\xEAtre\r\nNumber=2\r\n");
    languages_ = zr_lang_load("LANGUAGE.TXT");
    ASSERT_NE(languages_, nullptr);
    setup_ = ZR_WINDOW_SETUP{};
    setup_.className = "ZRWindowTest";
    setup_.title = "ZRSENTRY Test";
    setup_.baseWidth = 320;
    setup_.baseHeight = 200;
    setup_.clientWidth = 640;
    setup_.clientHeight = 400;
    setup_.languages = languages_;
    setup_.command = Command;
    setup_.languageChanged = LanguageChanged;
    setup_.flags = ZR_DSP_FLAGS{&fullscreen_, nullptr, nullptr, nullptr};
    bool other = false;
    ASSERT_EQ(zr_main_window_open(&setup_, &other), 1) << zr_main_window_error();
    ASSERT_EQ(zr_dsp_init(), 1);
    ZR_DSP_START start{};
    start.frameBuffer = &frame_;
    ASSERT_EQ(zr_dsp_start(&start), 1);
    ASSERT_EQ(zr_dsp_set_mode(), 1);
    Drain();
  }
  void TearDown() override {
    zr_dsp_stop();
    zr_dsp_free();
    zr_pal_reset();
    zr_main_window_release();
    zr_lang_free(languages_);
    zr_platform_quit();
    zr_clear_messages();
    ::unsetenv("ZR_RUNTIME_DIR");
    CoreTest::TearDown();
  }

  ZR_LANGUAGES* languages_ = nullptr;
  ZR_WINDOW_SETUP setup_{};
  ZR_BITMAP frame_{};
  int32_t fullscreen_ = 0;
};

TEST_F(MainWindowTest, TheMenuBarHasTheFourMenusWithTheirIdentifiersAndTicks) {
  const std::vector<ZR_MENU_ITEM> items = Items();
  EXPECT_EQ(TopLevel(items), (std::vector<std::string>{"&Game", "&Display", "&Sound", "&Help"}));
  for (uint32_t id :
       {ZR_CMD_BACK_TO_GAME, ZR_CMD_EXIT, ZR_CMD_LOW_RES, ZR_CMD_HIGH_RES, ZR_CMD_FULLSCREEN,
        ZR_CMD_256_COLOURS, ZR_CMD_DEFAULT_SIZE, ZR_CMD_INTEGER_SCALING, ZR_CMD_MUSIC,
        ZR_CMD_EFFECTS, ZR_CMD_QUALITY_LOW, ZR_CMD_QUALITY_MEDIUM, ZR_CMD_QUALITY_HIGH,
        ZR_CMD_HELP_TOPICS, ZR_CMD_ABOUT, ZR_CMD_LANGUAGE_FIRST, ZR_CMD_LANGUAGE_FIRST + 1}) {
    EXPECT_NE(Find(items, id), nullptr) << id;
  }
  EXPECT_STREQ(Find(items, ZR_CMD_EXIT)->text, "E&xit\tAlt+F4");
  EXPECT_STREQ(Find(items, ZR_CMD_FULLSCREEN)->text, "&Fullscreen\tF4");
  EXPECT_TRUE(Find(items, ZR_CMD_LANGUAGE_FIRST)->checked);
  EXPECT_FALSE(Find(items, ZR_CMD_LANGUAGE_FIRST + 1)->checked);
  // The application's ticks after each rebuild.
  EXPECT_GE(commandCalls, 1);
  EXPECT_TRUE(Find(items, ZR_CMD_MUSIC)->checked);
  EXPECT_FALSE(Find(items, ZR_CMD_EFFECTS)->enabled);
  // The resolution list: 320x200 is for full screen only; the rest exist at 8 bits.
  ASSERT_NE(Find(items, ZR_CMD_RESOLUTION_FIRST), nullptr);
  EXPECT_STREQ(Find(items, ZR_CMD_RESOLUTION_FIRST)->text, "320x200");
  EXPECT_FALSE(Find(items, ZR_CMD_RESOLUTION_FIRST)->enabled);
  EXPECT_TRUE(Find(items, ZR_CMD_RESOLUTION_FIRST + 1)->enabled);
  EXPECT_NE(Find(items, ZR_CMD_RESOLUTION_FIRST + 3), nullptr);
}

TEST_F(MainWindowTest, ChoosingALanguageRelabelsTheBarInUtf8AndReloadsTheTexts) {
  zr_main_window_proc(WM_COMMAND, ZR_CMD_LANGUAGE_FIRST + 1, 0);
  EXPECT_EQ(languageChanges, 1);
  EXPECT_STREQ(zr_lang_current(languages_)->abbreviation, "FR");
  std::vector<ZR_MENU_ITEM> items = Items();
  EXPECT_EQ(TopLevel(items), (std::vector<std::string>{"&Jeu", "&Affichage", "&Son", "&Aide"}));
  EXPECT_STREQ(Find(items, ZR_CMD_FULLSCREEN)->text,
               "&Plein \xC3\xA9"
               "cran\tF4");
  EXPECT_STREQ(Find(items, ZR_CMD_LANGUAGE_FIRST + 1)->text,
               "Fran\xC3\xA7"
               "ais");
  EXPECT_TRUE(Find(items, ZR_CMD_LANGUAGE_FIRST + 1)->checked);
  // The same language again changes nothing.
  zr_main_window_proc(WM_COMMAND, ZR_CMD_LANGUAGE_FIRST + 1, 0);
  EXPECT_EQ(languageChanges, 1);
}

TEST_F(MainWindowTest, F4GoesTheWayOfAltEnterAndTheResizeKeysWorkOnlyOnAFullScreen) {
  zr_main_window_proc(WM_KEYDOWN, '2', 0);  // a window: nothing
  EXPECT_EQ(zr_dsp_frame_buffer()->width, 320);
  zr_main_window_proc(WM_KEYDOWN, VK_F4, 0);
  std::vector<ZR_MSG> posted = Drain();
  ASSERT_GE(posted.size(), 2u);
  EXPECT_EQ(posted[0].message, WM_SYSKEYDOWN);
  EXPECT_EQ(posted[0].wParam, VK_RETURN);
  EXPECT_EQ(posted[1].message, WM_LBUTTONDOWN);

  zr_main_window_proc(WM_SYSKEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(zr_dsp_is_fullscreen());
  EXPECT_EQ(fullscreen_, 1);
  EXPECT_EQ(zr_menu_bar_show(), ZR_MENU_ON_DEMAND);
  EXPECT_STREQ(Find(Items(), ZR_CMD_FULLSCREEN)->text, "&Window\tF4");
  // The first full screen is the frame's own size: the picture fills the screen.
  EXPECT_EQ(zr_dsp_back_surface()->width, 320);
  zr_main_window_proc(WM_KEYDOWN, '2', 0);  // wider by 12: refused beyond the 320 mode
  EXPECT_EQ(zr_dsp_frame_buffer()->width, 320);
  zr_dsp_high_res();
  zr_main_window_proc(WM_KEYDOWN, '1', 0);
  EXPECT_EQ(zr_dsp_frame_buffer()->width, 628);
  zr_main_window_proc(WM_KEYDOWN, '3', 0);
  EXPECT_EQ(zr_dsp_frame_buffer()->height, 468);
  zr_main_window_proc(WM_KEYDOWN, '4', 0);
  EXPECT_EQ(zr_dsp_frame_buffer()->height, 480);

  zr_main_window_proc(WM_SYSKEYDOWN, VK_RETURN, 0);
  EXPECT_FALSE(zr_dsp_is_fullscreen());
  EXPECT_EQ(fullscreen_, 0);
  EXPECT_EQ(zr_menu_bar_show(), ZR_MENU_ALWAYS);
}

TEST_F(MainWindowTest, IntegerScalingIsAMenuToggle) {
  EXPECT_FALSE(zr_window_integer_scaling());
  zr_main_window_proc(WM_COMMAND, ZR_CMD_INTEGER_SCALING, 0);
  EXPECT_TRUE(zr_window_integer_scaling());
  EXPECT_TRUE(Find(Items(), ZR_CMD_INTEGER_SCALING)->checked);
  zr_main_window_proc(WM_COMMAND, ZR_CMD_INTEGER_SCALING, 0);
  EXPECT_FALSE(zr_window_integer_scaling());
}

// The picture's place in the window: a whole factor while it fills nine tenths, else the fill.
TEST(WindowFitTest, WholeFactorsWhenTheyFillElseStretched) {
  const struct {
    int cw, ch;
    bool integerOnly;
    ZR_PLACEMENT expected;
  } cases[] = {
      {960, 600, false, {0, 0, 960, 600}},         // exactly 3x
      {960, 581, false, {15, 0, 929, 581}},        // 2x would leave a third: stretched
      {1920, 1080, false, {160, 40, 1600, 1000}},  // 5x fills 1000 of 1080
      {960, 581, true, {160, 90, 640, 400}},       // integer only: 2x
      {200, 100, false, {20, 0, 160, 100}},        // smaller than the picture: shrunk
  };
  for (const auto& c : cases) {
    const ZR_PLACEMENT got = zr_window_fit_scaled(c.cw, c.ch, 320, 200, c.integerOnly);
    EXPECT_EQ(got.x, c.expected.x) << c.cw << "x" << c.ch;
    EXPECT_EQ(got.y, c.expected.y) << c.cw << "x" << c.ch;
    EXPECT_EQ(got.width, c.expected.width) << c.cw << "x" << c.ch;
    EXPECT_EQ(got.height, c.expected.height) << c.cw << "x" << c.ch;
  }
}

}  // namespace
