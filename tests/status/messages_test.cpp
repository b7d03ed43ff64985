// The message table: loading a messages file (rectangles in percentages or pixels, the default
// rectangle, formats, fonts, missing keys and sections), drawing a message with the level or the
// lives, the rectangles following the frame, and the game's own messages files.
#include "app/messages.h"

#include <cstring>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "engine/display/display.h"
#include "engine/ui/font.h"
#include "game/game_support.h"

namespace {

using namespace gtest_game;

constexpr uint8_t INK = 23;

struct Section {
  std::string name, text, format, rect, font;  // "-" leaves the key out
};

std::string messagesFile(const std::vector<std::string>& names,
                         const std::vector<Section>& sections, const std::string& count = "") {
  std::string s =
      "[Messages]\r\nNbMessages=" + (count.empty() ? std::to_string(names.size()) : count) + "\r\n";
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i] == "-") continue;
    char key[16];
    std::snprintf(key, sizeof key, "Message_%02d", int(i + 1));
    s += std::string(key) + "=" + names[i] + "\r\n";
  }
  for (const Section& m : sections) {
    s += "\r\n[" + m.name + "]\r\n";
    if (m.text != "-") s += "Text=" + m.text + "\r\n";
    if (m.format != "-") s += "Format=" + m.format + "\r\n";
    if (m.rect != "-") s += "Rect=" + m.rect + "\r\n";
    if (m.font != "-") s += "Font=" + m.font + "\r\n";
  }
  return s;
}

class Messages : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_EQ(zr_dsp_init(), 1);
    frameBuffer = *zr_dsp_frame_buffer();
    // The main font: solid squares for the capitals, digits and a few signs.
    const std::string characters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const int w = 6 * int(characters.size());
    std::vector<uint8_t> pcx = zrtest::pcx_header(0, 0, w - 1, 7, w);
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < w; ++x) {
        pcx.push_back(0xC1);
        pcx.push_back(INK);
      }
    }
    pcx.push_back(12);
    for (int i = 0; i < 768; ++i) pcx.push_back(uint8_t(i));
    write_bytes("main.pcx", pcx);
    write_text("main.fnt",
               "[Font Properties]\r\nName=main\r\nWidth=6\r\nHeight=8\r\nNbFiles=1\r\nPalette=\r\n"
               "[File001]\r\nName=main.pcx\r\nType=1\r\nNbLines=1\r\nLine001=" +
                   characters + "\r\n");
    ASSERT_EQ(zr_font_load(&mainFont, "main.fnt", ZR_FONT_TRIM), 1);
  }
  void TearDown() override {
    FreeMessages(table_);
    FreeLanguageMessages();
    zr_font_free(&mainFont);
    mainFont = ZR_FONT{};
    frameBuffer = ZR_BITMAP{};
    zr_dsp_free();
    zr_bitmap_scratch_free();
    GameTest::TearDown();
  }

  MessageTable* load(const std::string& text) {
    FreeMessages(table_);
    write_text("m.txt", text);
    table_ = LoadMessages("m.txt");
    return table_;
  }
  Message* message(int n) const { return table_->messages[n - 1]; }

  int inkCount(const ZR_RECT* inside = nullptr) const {
    int n = 0;
    for (int y = 0; y < frameBuffer.height; ++y) {
      for (int x = 0; x < frameBuffer.width; ++x) {
        if (frameBuffer.pixels[size_t(y) * frameBuffer.width + x] != INK) continue;
        if (inside && (x < inside->x || x >= inside->x + inside->w || y < inside->y ||
                       y >= inside->y + inside->h))
          continue;
        ++n;
      }
    }
    return n;
  }
  void clearFrame() {
    std::memset(frameBuffer.pixels, 0, size_t(frameBuffer.width) * frameBuffer.height);
  }

  MessageTable* table_ = nullptr;
};

TEST_F(Messages, RectanglesInPercentagesOrPixelsAndTheDefault) {
  struct Case {
    const char* rect;
    ZR_RECT expected;
  } const cases[] = {
      {"50,50,25,10", {160, 100, 80, 20}},  // percentages of 320 x 200
      {"-8,-20,100,25", {8, 20, 320, 50}},  // pixels, and percentages mixed
      {"0,0,-320,-200", {0, 0, 320, 200}},
      {"1,1,99,99", {3, 2, 316, 198}},      // integer division
      {" -5, -6,-7,-8", {5, 6, 7, 8}},      // blanks before a number are allowed
      {"-5,-6 ,-7,-8", {10, 50, 300, 40}},  // but not before a comma
      {"-", {10, 50, 300, 40}},             // missing
      {"10,20,30", {10, 50, 300, 40}},      // three numbers
      {"ten,20,30,40", {10, 50, 300, 40}},  // not a number
      {"", {10, 50, 300, 40}},
      {"-99999999,99999999,-40000,1", {32767, 32767, 32767, 2}},  // kept within 16 bits
  };
  std::vector<std::string> names;
  std::vector<Section> sections;
  for (size_t i = 0; i < std::size(cases); ++i) {
    names.push_back("M" + std::to_string(i));
    sections.push_back({names.back(), "A", " ", cases[i].rect, "1"});
  }
  ASSERT_NE(load(messagesFile(names, sections)), nullptr);
  ASSERT_EQ(table_->count, int(std::size(cases)));
  for (size_t i = 0; i < std::size(cases); ++i) {
    const ZR_RECT& r = message(int(i + 1))->rect;
    const ZR_RECT& e = cases[i].expected;
    EXPECT_EQ(std::vector<int>({r.x, r.y, r.w, r.h}), std::vector<int>({e.x, e.y, e.w, e.h}))
        << cases[i].rect;
  }
  EXPECT_TRUE(boxes().empty());
}

TEST_F(Messages, FontOneIsTheProportionalStyleAnyOtherTheFixedOne) {
  ASSERT_NE(load(messagesFile({"A", "B", "C", "D"}, {{"A", "X", " ", "-", "-"},
                                                     {"B", "X", " ", "-", "1"},
                                                     {"C", "X", " ", "-", "2"},
                                                     {"D", "X", " ", "-", "0"}})),
            nullptr);
  EXPECT_EQ(message(1)->style, 12) << "missing counts as 1";
  EXPECT_EQ(message(2)->style, 12);
  EXPECT_EQ(message(3)->style, 4);
  EXPECT_EQ(message(4)->style, 4);
}

TEST_F(Messages, LevelAndLivesFillTheirFormats) {
  std::vector<std::string> names(18, "Plain");
  names[16] = "Level";
  names[17] = "Lives";
  ASSERT_NE(load(messagesFile(names, {{"Plain", "PLAIN", "LEVEL %d", "-", "1"},
                                      {"Level", "LEVEL CLEARED", "LEVEL %d CLEARED", "-", "1"},
                                      {"Lives", "LIVES", "LIVES %02d", "-", "1"}})),
            nullptr);
  level = 7;
  lives = 3;
  DrawMessage(table_, 17);
  DrawMessage(table_, 18);
  DrawMessage(table_, 5);
  EXPECT_STREQ(message(17)->text, "LEVEL 7 CLEARED");
  EXPECT_STREQ(message(18)->text, "LIVES 03");
  EXPECT_STREQ(message(5)->text, "PLAIN") << "only 17 and 18 are formatted";
  lives = 2;
  DrawMessage(table_, 18);
  EXPECT_STREQ(message(18)->text, "LIVES 02");
}

TEST_F(Messages, AFormatOfOneSpaceOrOneThatIsNotForANumberLeavesTheText) {
  std::vector<std::string> names(18, "-");
  names[16] = "Level";
  names[17] = "Lives";
  ASSERT_NE(load(messagesFile(names, {{"Level", "LEVEL CLEARED", " ", "-", "1"},
                                      {"Lives", "LIVES", "LIVES %s %n", "-", "1"}})),
            nullptr);
  EXPECT_EQ(message(17)->format, nullptr);
  level = 7;
  lives = 3;
  DrawMessage(table_, 17);
  DrawMessage(table_, 18);
  EXPECT_STREQ(message(17)->text, "LEVEL CLEARED");
  EXPECT_STREQ(message(18)->text, "LIVES");
  EXPECT_GT(inkCount(), 0);
  boxes().clear();  // the sixteen missing keys
}

TEST_F(Messages, MissingKeysAreReportedAndMissingSectionsLeaveGaps) {
  ASSERT_NE(load(messagesFile({"A", "-", "Nowhere"}, {{"A", "ABC", " ", "-5,-6,-60,-10", "1"}})),
            nullptr);
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_NE(boxes()[0].find("Sorry, I can't find Message Message_02 in m.txt"), std::string::npos)
      << boxes()[0];
  EXPECT_EQ(message(2), nullptr);
  ASSERT_NE(message(3), nullptr);
  EXPECT_STREQ(message(3)->text, "");

  clearFrame();
  for (int n : {-1, 0, 2, 3, 4, 99}) DrawMessage(table_, n);
  DrawMessage(nullptr, 1);
  EXPECT_EQ(inkCount(), 0) << "gaps and numbers outside the table draw nothing";
  DrawMessage(table_, 1);
  const ZR_RECT rect{5, 6, 60, 10};
  EXPECT_GT(inkCount(&rect), 0);
  EXPECT_EQ(inkCount(), inkCount(&rect)) << "only inside its rectangle";
}

TEST_F(Messages, NoTableWithoutTheFileOrItsCount) {
  EXPECT_EQ(LoadMessages("none.txt"), nullptr);
  EXPECT_EQ(LoadMessages(nullptr), nullptr);
  EXPECT_EQ(load("[Messages]\r\nMessage_01=A\r\n[A]\r\nText=A\r\n"), nullptr);
  EXPECT_EQ(load(messagesFile({}, {}, "0")), nullptr);
  EXPECT_EQ(load(messagesFile({}, {}, "-4")), nullptr);
  FreeMessages(nullptr);
}

TEST_F(Messages, RectanglesFollowTheFrameUntilTheTableIsFreed) {
  ASSERT_NE(load(messagesFile({"A"}, {{"A", "A", " ", "50,50,25,10", "1"}})), nullptr);
  zr_dsp_set_screen_size(1280, 1024);
  zr_dsp_resize(zr_dsp_frame_buffer(), nullptr, 320, 200);
  const ZR_RECT& r = message(1)->rect;
  EXPECT_EQ(std::vector<int>({r.x, r.y, r.w, r.h}), std::vector<int>({320, 200, 160, 40}));
  FreeMessages(table_);
  table_ = nullptr;
  // Freed: the display no longer writes into the table's rectangles.
  zr_dsp_resize(zr_dsp_frame_buffer(), nullptr, -320, -200);
  frameBuffer = *zr_dsp_frame_buffer();
}

TEST_F(Messages, TheGamesMessagesFilesInEveryLanguage) {
  for (const char* language : {"EN", "FR", "ES", "DE", "IT", "PT"}) {
    const std::string file = std::string(ZR_SOURCE_DIR) + "/content/DATA/MSG_" + language + ".TXT";
    FreeMessages(table_);
    table_ = LoadMessages(file.c_str());
    ASSERT_NE(table_, nullptr) << language;
    ASSERT_GE(table_->count, 18) << language;
    for (int n = 1; n <= 18; ++n) {
      ASSERT_NE(message(n), nullptr) << language << " " << n;
      EXPECT_NE(message(n)->text[0], '\0') << language << " " << n;
      const ZR_RECT& r = message(n)->rect;
      EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.w > 0 && r.h > 0 && r.x + r.w <= 320 &&
                  r.y + r.h <= 200)
          << language << " " << n;
    }
    level = 12;
    lives = 4;
    DrawMessage(table_, 17);
    DrawMessage(table_, 18);
    EXPECT_NE(std::string(message(18)->text).find('4'), std::string::npos) << language;
    EXPECT_TRUE(boxes().empty()) << language;
  }
}

TEST_F(Messages, TheShellLoadsTheCurrentLanguagesMessages) {
  write_text("m_en.txt", messagesFile({"A"}, {{"A", "ENGLISH", " ", "-", "1"}}));
  write_text("DATA/TEXTS.TXT", "[Messages]\r\nMessages_FR=none.txt\r\nMessages_EN=m_en.txt\r\n");
  EXPECT_STREQ(CurrentLanguageAbbreviation(), "EN");
  LoadLanguageMessages();
  ASSERT_NE(messageTable, nullptr);
  EXPECT_STREQ(messageTable->messages[0]->text, "ENGLISH");
  LoadLanguageMessages();  // loading again replaces the table
  ASSERT_NE(messageTable, nullptr);
  FreeLanguageMessages();
  EXPECT_EQ(messageTable, nullptr);
}

}  // namespace
