// Menus: loading and layout from a menu file, navigation with its wrapping and the lines it
// passes over, the delay between events, the time-out, the escape toggle, what each line kind
// sends and the notify function's two calls (values of chosen lines, and the value asked for
// before a line is drawn). Time is the platform's virtual clock.
#include "engine/ui/menu.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "engine/platform/clock.h"
#include "ui_support.h"

namespace {

struct Call {
  int32_t value, event;
  bool line;
};

std::vector<Call>& calls() {
  static std::vector<Call> list;
  return list;
}

void Record(ZR_MENU*, ZR_MENU_LINE* line, int32_t value, int32_t event, int32_t, void*) {
  calls().push_back({value, event, line != nullptr});
  if (line != nullptr && line->value == 9000) line->shown = 1;
}

class MenuTest : public uitest::FontTest {
 protected:
  void SetUp() override {
    FontTest::SetUp();
    zr_clock_use_virtual(true);
    zr_clock_advance(100000);
    ZR_MENU_CONFIG config = {&report_, 320, 200, &fullScreen_, &transparency_, nullptr};
    zr_menu_init(&config);
    calls().clear();
  }
  void TearDown() override {
    zr_menu_free(&menu_);
    zr_clock_use_virtual(false);
    FontTest::TearDown();
  }
  // A menu section with the given keys after NbLines.
  bool Load(const std::string& body, const std::string& section = "M") {
    uitest::write_text("menu.txt", "[" + section + "]\n" + body);
    return zr_menu_load(&menu_, "menu.txt", section.c_str(), nullptr, Record, nullptr) == 1;
  }
  int Event(int event, uint32_t after = 1000) {
    zr_clock_advance(after);
    return zr_menu_event(&menu_, event);
  }

  // Five lines: a title, two options, a choice shown only in full screen, a choice.
  static std::string FiveLines() {
    return "NbLines=5\nPosition=-10,-20,-100,-90\nSpace=5\nDelay=300\nTimeout=10000\n"
           "Default=2\nEscape=1\n"
           "Type_01=1\nLine_01=Title\n"
           "Type_02=4\nValue_02=1002\nNotif_02=2\nLine_02=First\n"
           "Type_03=4\nValue_03=1003\nNotif_03=14\nLine_03=Second\n"
           "Type_04=24\nNbOptions_04=2\nValue_04=1004\nNotif_04=2\nLine_04_01=A\nLine_04_02=B\n"
           "Type_05=8\nNbOptions_05=2\nValue_05=9000\nNotif_05=50\nLine_05_01=On\nLine_05_02="
           "Off\n";
  }

  ZR_MENU menu_{};
  int32_t fullScreen_ = 0;
  int32_t transparency_ = -1;
};

TEST_F(MenuTest, PositionDefaultsAndPixelValues) {
  ASSERT_TRUE(Load("NbLines=1\nType_01=1\nLine_01=X\n"));
  EXPECT_EQ(menu_.rect.x, 80);
  EXPECT_EQ(menu_.rect.y, 50);
  EXPECT_EQ(menu_.rect.w, 160);
  EXPECT_EQ(menu_.rect.h, 100);
  EXPECT_EQ(menu_.timeout, 10000);
  EXPECT_EQ(menu_.delay, 500);
  EXPECT_EQ(menu_.escape, 1);
  zr_menu_free(&menu_);

  ASSERT_TRUE(Load(FiveLines()));
  EXPECT_EQ(menu_.rect.x, 10);  // -10: ten pixels from the left edge
  EXPECT_EQ(menu_.rect.y, 20);
  // (90 - 4 x 5) / 5 = 14 pixels a line, 19 from one line to the next.
  EXPECT_EQ(menu_.lines[0].texts[0].rect.h, 14);
  EXPECT_EQ(menu_.lines[2].texts[0].rect.y, 20 + 2 * 19);
  EXPECT_EQ(menu_.lines[4].textCount, 2);
  EXPECT_STREQ(menu_.lines[4].texts[1].text, "Off");
}

TEST_F(MenuTest, RefusedFilesAndCounts) {
  EXPECT_EQ(zr_menu_load(&menu_, "none.txt", "M", nullptr, Record, nullptr), 0);
  EXPECT_EQ(zr_error_last_code(), ZR_MENU_NOT_FOUND);
  // No lines, negative or huge counts: not a menu, and nothing left allocated.
  for (const char* count : {"NbLines=0\n", "NbLines=-3\n", "NbLines=100000\n", ""})
    EXPECT_FALSE(Load(count)) << count;
  // A choice asking for no texts or for more than a line can hold gets a bounded count.
  ASSERT_TRUE(
      Load("NbLines=2\nType_01=8\nNbOptions_01=0\nLine_01_01=A\n"
           "Type_02=8\nNbOptions_02=99999\nLine_02_01=B\n"));
  EXPECT_EQ(menu_.lines[0].textCount, 1);
  EXPECT_EQ(menu_.lines[1].textCount, ZR_MENU_MAX_OPTIONS);
  zr_menu_free(&menu_);
  // A line of a refused kind is left out; the others keep their places.
  ASSERT_TRUE(
      Load("NbLines=3\nType_01=4\nLine_01=A\nType_02=3\nLine_02=B\nType_03=4\nLine_03=C\n"));
  EXPECT_EQ(menu_.lines[1].textCount, 0);
  EXPECT_STREQ(menu_.lines[2].texts[0].text, "C");
}

TEST_F(MenuTest, NavigationWrapsAndPassesOverHiddenLines) {
  ASSERT_TRUE(Load(FiveLines()));
  zr_menu_open(&menu_, 1);
  EXPECT_EQ(menu_.currentLine, 1);  // Default=2
  EXPECT_EQ(Event(ZR_MENU_NEXT), 1);
  EXPECT_EQ(menu_.currentLine, 2);
  Event(ZR_MENU_NEXT);  // line 4 shows only in full screen: passed over
  EXPECT_EQ(menu_.currentLine, 4);
  Event(ZR_MENU_NEXT);  // past the last: the first line it can rest on
  EXPECT_EQ(menu_.currentLine, 1);
  Event(ZR_MENU_PREVIOUS);
  EXPECT_EQ(menu_.currentLine, 4);
  fullScreen_ = 1;
  Event(ZR_MENU_PREVIOUS);
  EXPECT_EQ(menu_.currentLine, 3);
}

TEST_F(MenuTest, DefaultOutOfRangeOpensOnTheLastLine) {
  ASSERT_TRUE(
      Load("NbLines=3\nDefault=7\nType_01=4\nLine_01=A\nType_02=4\nLine_02=B\n"
           "Type_03=1\nLine_03=C\n"));
  zr_menu_open(&menu_, 1);
  EXPECT_EQ(menu_.currentLine, 1);
}

TEST_F(MenuTest, DelayBetweenEvents) {
  ASSERT_TRUE(Load(FiveLines()));
  zr_menu_open(&menu_, 1);
  EXPECT_EQ(Event(ZR_MENU_NEXT, 0), 0);  // right after opening
  EXPECT_EQ(Event(ZR_MENU_NEXT, 300), 1);
  EXPECT_EQ(Event(ZR_MENU_NEXT, 299), 0);  // 299 ms later: ignored
  EXPECT_EQ(menu_.currentLine, 2);
  EXPECT_EQ(Event(ZR_MENU_NEXT, 1), 1);
}

TEST_F(MenuTest, TimeOutActsAsEscapeAndEscapeToggles) {
  ASSERT_TRUE(Load(FiveLines()));
  zr_menu_open(&menu_, 1);
  EXPECT_EQ(Event(ZR_MENU_NONE, 9999), 0);
  EXPECT_EQ(menu_.shown, 1);
  EXPECT_EQ(Event(ZR_MENU_NONE, 1), 1);
  EXPECT_EQ(menu_.shown, 0);
  // Hidden, only escape is taken, and it shows the menu again.
  EXPECT_EQ(Event(ZR_MENU_NEXT), 0);
  EXPECT_EQ(Event(ZR_MENU_NONE, 20000), 0);
  EXPECT_EQ(Event(ZR_MENU_ESCAPE), 1);
  EXPECT_EQ(menu_.shown, 1);
  EXPECT_TRUE(calls().empty());  // value 1 is the module's own
}

TEST_F(MenuTest, ValuesSentByEachEventAndLineKind) {
  ASSERT_TRUE(Load(FiveLines()));
  zr_menu_open(&menu_, 1);
  Event(ZR_MENU_SELECT);    // line 2 sends on select
  Event(ZR_MENU_RIGHT);     // but not on the side events
  Event(ZR_MENU_NEXT);      // nor on next: the value of the line left is 0
  Event(ZR_MENU_PREVIOUS);  // line 3 sends on previous (mask 14), then moves to line 2
  Event(ZR_MENU_NEXT);
  Event(ZR_MENU_NEXT);  // line 3 sends on next too
  Event(ZR_MENU_LEFT);  // line 5 (mask 50) on left and right
  Event(ZR_MENU_RIGHT);
  const std::vector<std::pair<int32_t, int32_t>> expected = {
      {1002, 2}, {1003, 4}, {1003, 8}, {9000, 16}, {9000, 32}};
  std::vector<std::pair<int32_t, int32_t>> sent;
  for (const Call& call : calls())
    if (!call.line) sent.push_back({call.value, call.event});
  EXPECT_EQ(sent, expected);
}

TEST_F(MenuTest, DrawingAsksTheValueLinesAndFramesTheCurrentLine) {
  ASSERT_TRUE(Load(FiveLines()));
  ZR_BITMAP target{};
  ZR_RECT size = {0, 0, 320, 200};
  ASSERT_EQ(zr_bitmap_create(&target, &size), 1);
  std::fill(target.pixels, target.pixels + 320 * 200, 0);
  zr_menu_draw(&menu_, nullptr, &target, ZR_MENU_DRAW_FRAME, 150);
  EXPECT_TRUE(calls().empty());  // hidden: nothing
  zr_menu_open(&menu_, 1);
  zr_menu_draw(&menu_, nullptr, &target, ZR_MENU_DRAW_FRAME, 150);
  ASSERT_EQ(calls().size(), 1u);  // only the visible choice; the full-screen one is hidden
  EXPECT_TRUE(calls()[0].line);
  EXPECT_EQ(menu_.lines[4].shown, 1);
  const ZR_RECT& r = menu_.lines[1].texts[0].rect;
  EXPECT_EQ(target.pixels[(r.y - 1) * 320 + r.x - 1], 150);
  EXPECT_EQ(target.pixels[(r.y + r.h) * 320 + r.x + r.w], 150);
  EXPECT_EQ(transparency_, -1);
  zr_menu_draw(&menu_, nullptr, &target, ZR_MENU_DRAW_TRANSPARENT, 150);
  EXPECT_EQ(transparency_, 50);
  // A shown index the line does not have draws its first text.
  menu_.lines[4].shown = 7;
  menu_.notify = nullptr;
  zr_menu_draw(&menu_, nullptr, &target, ZR_MENU_DRAW_FRAME, 150);
  EXPECT_EQ(menu_.lines[4].shown, 0);
  zr_bitmap_free(&target);
}

// Lines of font 3 take the configured title font: measured as if at the menu font's height (so
// that the other lines keep their widths), drawn in proportional spacing, one glyph frame after
// the other with the time. Without a title font they take the menu's font.
TEST_F(MenuTest, TitleLinesAreDrawnWithTheAnimatedTitleFont) {
  // The menu font: "AB" in solid 4 x 4 cells of colour 30. The title font: "AB" in 8 x 8 cells,
  // three FLIC frames of colours 40, 41, 42.
  Canvas cells(8, 4, 30);
  write_pcx("text.pcx", cells, pal::game_palette());
  uitest::write_text("text.fnt", properties(4, 4, 1) + file_section(1, "text.pcx", 1, {"AB"}));
  ZR_FONT text{};
  ASSERT_EQ(zr_font_load(&text, "text.fnt", ZR_FONT_TRIM), 1);
  std::vector<Canvas> frames;
  for (int f = 0; f < 3; ++f) frames.emplace_back(16, 8, static_cast<uint8_t>(40 + f));
  write_flc("title.flc", frames, pal::game_palette(), 10);
  uitest::write_text("title.fnt", properties(8, 8, 1) + file_section(1, "title.flc", 4, {"AB"}));
  ASSERT_EQ(zr_font_load(&font_, "title.fnt", ZR_FONT_TRIM | ZR_FONT_ANIMATED), 1);
  ASSERT_EQ(font_.characters['A']->count, 3);

  const std::string lines =
      "NbLines=2\nPosition=-10,-10,-100,-50\nSpace=0\n"
      "Type_01=1\nFont_01=3\nLine_01=AB\nType_02=4\nValue_02=1002\nNotif_02=2\nLine_02=AB\n";
  ZR_BITMAP target{};
  ZR_RECT size = {0, 0, 320, 200};
  ASSERT_EQ(zr_bitmap_create(&target, &size), 1);
  auto colour_at = [&](const ZR_RECT& r) { return target.pixels[(r.y + 2) * 320 + r.x + 2]; };

  ZR_MENU_CONFIG config = {&report_, 320, 200, &fullScreen_, &transparency_, &font_};
  zr_menu_init(&config);
  uitest::write_text("menu.txt", "[M]\n" + lines);
  ASSERT_EQ(zr_menu_load(&menu_, "menu.txt", "M", &text, Record, nullptr), 1);
  // "AB" measures 2 x (4 + 1) in the menu font and 2 x (8 + 1) in the title font, 9 at height 4.
  const ZR_RECT& title = menu_.lines[0].texts[0].rect;
  EXPECT_EQ(menu_.lines[1].texts[0].rect.w, 100);
  EXPECT_EQ(title.w, 90);
  zr_menu_open(&menu_, 1);
  zr_clock_advance(ZR_MENU_TITLE_FRAME_MS - zr_get_tick_count() % ZR_MENU_TITLE_FRAME_MS);
  std::vector<int> seen;
  for (int i = 0; i < 4; ++i) {
    std::fill(target.pixels, target.pixels + 320 * 200, 0);
    zr_menu_draw(&menu_, &text, &target, 0, 150);
    seen.push_back(colour_at(title));
    EXPECT_EQ(colour_at(menu_.lines[1].texts[0].rect), 30);
    zr_clock_advance(ZR_MENU_TITLE_FRAME_MS);
  }
  // Three frames in turn, then the first again.
  EXPECT_EQ(seen[3], seen[0]);
  EXPECT_EQ(std::set<int>(seen.begin(), seen.end()), (std::set<int>{40, 41, 42}));
  EXPECT_EQ((seen[1] - 40 + 3 - (seen[0] - 40)) % 3, 1);
  zr_menu_free(&menu_);

  // No title font: the menu's font, as wide as the other line.
  config.titleFont = nullptr;
  zr_menu_init(&config);
  ASSERT_EQ(zr_menu_load(&menu_, "menu.txt", "M", &text, Record, nullptr), 1);
  EXPECT_EQ(menu_.lines[0].texts[0].rect.w, 100);
  zr_menu_open(&menu_, 1);
  zr_menu_draw(&menu_, &text, &target, 0, 150);
  EXPECT_EQ(colour_at(menu_.lines[0].texts[0].rect), 30);
  zr_bitmap_free(&target);
  zr_font_free(&text);
}

}  // namespace
