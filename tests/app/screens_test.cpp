// The screens' rules apart from the running program: the high-score table (insert positions,
// ties, a short or malformed file, over-long names, the save and load round trip), the name
// entry's characters and cursor, the volume options, the credits, the help page's name, URL and
// failure message, the about box's texts, and the options' values through the menus' callback.
#include "app/screens.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/credits.h"
#include "app/help.h"
#include "app/high_scores.h"
#include "app_support.h"
#include "core_services.h"
#include "engine/core/fileio.h"
#include "engine/platform/dialog.h"
#include "engine/platform/message_box.h"
#include "engine/platform/messages.h"
#include "game/game_state.h"

namespace {

std::vector<std::string>& boxes() {
  static std::vector<std::string> list;
  return list;
}
int CaptureBox(const char* text, const char*, uint32_t) {
  boxes().push_back(text);
  return IDOK;
}

void Write(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

class ScreensTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.path().empty());
    zrtest::start_core_services(&report_, &config_);
    boxes().clear();
    zr_message_box_set_hook(CaptureBox);
    blocks_ = zr_mem_block_count();
  }
  void TearDown() override {
    FreeHighScores(table_);
    FreeCredits();
    zrtest::expect_nothing_left(blocks_);
    zr_io_deinit();
    zr_message_box_set_hook(nullptr);
  }

  HighScoreTable* LoadScores(const std::string& text) {
    Write("scores.txt", "[High-Scores]\n" + text);
    FreeHighScores(table_);
    table_ = LoadHighScores("scores.txt", HIGH_SCORES_SECTION);
    return table_;
  }
  static std::string Five() {
    return "NbScores=5\nMaxSizeName=8\nMaxSizeScore=6\nDefaultName=A\n"
           "Name_01=ONE\nScore_01=500\nName_02=TWO\nScore_02=400\nName_03=THREE\n"
           "Score_03=300\nName_04=FOUR\nScore_04=200\nName_05=FIVE\nScore_05=100\n";
  }
  std::vector<int32_t> Scores() const {
    std::vector<int32_t> out;
    for (int32_t i = 0; i < table_->count; ++i)
      out.push_back(table_->entries[i] ? table_->entries[i]->score : -1);
    return out;
  }

  TempGameDir dir_;
  int32_t report_ = 0;
  ZR_IO_CONFIG config_{};
  HighScoreTable* table_ = nullptr;
  int blocks_ = 0;
};

TEST_F(ScreensTest, ScoresEnterAtTheirPlaceTiesAboveAndLowScoresNot) {
  struct Case {
    int32_t offered, at;
    std::vector<int32_t> after;
  } cases[] = {
      {350, 2, {500, 400, 350, 300, 200}},
      {400, 1, {500, 400, 400, 300, 200}},  // a tie enters above the old entry
      {9999, 0, {9999, 500, 400, 300, 200}},
      {100, 4, {500, 400, 300, 200, 100}},
      {99, -1, {500, 400, 300, 200, 100}},
  };
  for (const Case& c : cases) {
    ASSERT_NE(LoadScores(Five()), nullptr);
    EXPECT_EQ(InsertHighScore(table_, c.offered), c.at) << c.offered;
    EXPECT_EQ(Scores(), c.after) << c.offered;
    if (c.at >= 0) {
      EXPECT_STREQ(table_->entries[c.at]->name, "A       ");
    }
  }
}

TEST_F(ScreensTest, SaveAndLoadRoundTripInTheirWidths) {
  ASSERT_NE(LoadScores(Five()), nullptr);
  InsertHighScore(table_, 1234);
  std::memcpy(table_->entries[0]->name, "NEW", 3);
  ASSERT_EQ(SaveHighScores(table_, "scores.txt", HIGH_SCORES_SECTION), 1);
  const std::string saved = dir_.Read("scores.txt");
  EXPECT_NE(saved.find("Name_01=NEW     \n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Score_01=  1234\n"), std::string::npos) << saved;
  FreeHighScores(table_);
  table_ = LoadHighScores("scores.txt", HIGH_SCORES_SECTION);
  ASSERT_NE(table_, nullptr);
  EXPECT_EQ(Scores(), (std::vector<int32_t>{1234, 500, 400, 300, 200}));
  char line[64];
  EXPECT_STREQ(FormatHighScoreLine(table_, 0, line, sizeof line), "1 NEW        1234");
}

TEST_F(ScreensTest, ShortMalformedAndOverlongTables) {
  EXPECT_EQ(LoadScores("MaxSizeName=8\nMaxSizeScore=6\n"), nullptr);  // no NbScores
  EXPECT_EQ(LoadScores("NbScores=3\nMaxSizeScore=6\n"), nullptr);     // no name width
  EXPECT_EQ(LoadScores("NbScores=-4\nMaxSizeName=8\nMaxSizeScore=6\n"), nullptr);
  // Three places and one name: the missing keys are reported, their places stay free and
  // the next scores fill them.
  ASSERT_NE(LoadScores("NbScores=3\nMaxSizeName=4\nMaxSizeScore=3\nName_01=AB\nScore_01=50\n"),
            nullptr);
  EXPECT_EQ(boxes().size(), 2u);
  EXPECT_EQ(boxes()[0], "Sorry, I can't find key Name_02 in scores.txt");
  EXPECT_STREQ(table_->entries[0]->name, "AB  ");
  EXPECT_EQ(InsertHighScore(table_, 10), 1);
  EXPECT_EQ(InsertHighScore(table_, 5), 2);
  EXPECT_EQ(InsertHighScore(table_, 1), -1);
  // Over-long names and widths are cut to what a menu line holds.
  ASSERT_NE(LoadScores("NbScores=1\nMaxSizeName=500\nMaxSizeScore=6\nName_01=" +
                       std::string(300, 'X') + "\n"),
            nullptr);
  EXPECT_EQ(table_->maxSizeName, MAX_HIGH_SCORE_NAME);
  EXPECT_EQ(std::strlen(table_->entries[0]->name), size_t(MAX_HIGH_SCORE_NAME));
  char line[16];
  FormatHighScoreLine(table_, 0, line, sizeof line);
  EXPECT_EQ(std::strlen(line), sizeof line - 1);
}

TEST_F(ScreensTest, NameEntryCharactersAndCursor) {
  EXPECT_EQ(NextNameCharacter('Z'), ' ');
  EXPECT_EQ(NextNameCharacter('A'), 'B');
  EXPECT_EQ(PreviousNameCharacter(' '), 'Z');
  EXPECT_EQ(PreviousNameCharacter('B'), 'A');
  EXPECT_EQ(NextNameCharacter('a'), ' ');  // outside the set: back into it
  EXPECT_EQ(PreviousNameCharacter('\xE9'), 'Z');

  ASSERT_NE(LoadScores(Five()), nullptr);
  highScores = table_;
  entryRecord = table_->entries[InsertHighScore(table_, 450)];
  entryCursor = 0;
  MenuNotify(8001, ZR_MENU_PREVIOUS);  // up: the next character
  EXPECT_EQ(entryRecord->name[0], 'B');
  for (int i = 0; i < 20; ++i) MenuNotify(8001, ZR_MENU_RIGHT);
  EXPECT_EQ(entryCursor, 7);  // the last of eight places, never past it
  MenuNotify(8001, ZR_MENU_NEXT);
  EXPECT_EQ(entryRecord->name[7], 'Z');
  for (int i = 0; i < 20; ++i) MenuNotify(8001, ZR_MENU_LEFT);
  EXPECT_EQ(entryCursor, 0);
  EXPECT_STREQ(table_->entries[1]->name, "B      Z");
  MenuNotify(8001, ZR_MENU_SELECT);  // done
  EXPECT_EQ(entryCursor, -1);
  EXPECT_EQ(entryRecord, nullptr);
  EXPECT_EQ(currentMenu, MENU_HIGH_SCORES);
  highScores = nullptr;
}

TEST_F(ScreensTest, VolumeStepsBarsAndTheStatesWithoutSound) {
  bool toggle = false;
  EXPECT_EQ(SteppedVolume(100, ZR_MENU_RIGHT, &toggle), 100);
  EXPECT_EQ(SteppedVolume(90, ZR_MENU_SELECT, &toggle), 100);
  EXPECT_EQ(SteppedVolume(0, ZR_MENU_LEFT, &toggle), 0);
  EXPECT_EQ(SteppedVolume(70, ZR_MENU_LEFT, &toggle), 60);
  EXPECT_FALSE(toggle);
  // Off and without a device the bar does not move; the sound part's switch is asked instead.
  EXPECT_EQ(SteppedVolume(-2, ZR_MENU_RIGHT, &toggle), -2);
  EXPECT_TRUE(toggle);
  EXPECT_EQ(SteppedVolume(-1, ZR_MENU_RIGHT, &toggle), -1);
  EXPECT_TRUE(toggle);

  struct Bar {
    const char* before;
    int32_t volume;
    const char* after;
  } bars[] = {
      {"Music ----------", 100, "Music ---------*"},
      {"Music ---------*", 10, "Music *---------"},
      {"Music ---------*", 50, "Music ----*-----"},
      {"Music ---", 100, "Music --*"},  // a short bar: never past its end
      {"Music", 100, "Music"},
      {"Vol.--*--", 10, "Vol.*----"},
  };
  for (const Bar& b : bars) {
    char text[32];
    std::strcpy(text, b.before);
    WriteVolumeBar(text, b.volume);
    EXPECT_STREQ(text, b.after) << b.before << " at " << b.volume;
  }
}

TEST_F(ScreensTest, OptionValuesThroughTheMenusCallback) {
  ZR_MENU_STRING texts[4] = {};
  std::strcpy(texts[0].text, "Music ----------");
  ZR_MENU_LINE line = {};
  line.texts = texts;
  line.textCount = 4;
  struct Case {
    int32_t value;
    int32_t* flag;
    int32_t setting, shown;
  } cases[] = {
      {2001, &backgroundOn, 1, 0}, {2001, &backgroundOn, 0, 1},   {2002, &hideMaps, 1, 1},
      {2002, &hideMaps, 0, 0},     {2003, &sevenLives, 1, 1},     {2003, &sevenLives, 0, 0},
      {3001, &musicVolume, 40, 0}, {3001, &musicVolume, 0, 1},    {3001, &musicVolume, -2, 2},
      {3001, &musicVolume, -1, 3}, {3002, &effectsVolume, -1, 3},
  };
  for (const Case& c : cases) {
    *c.flag = c.setting;
    line.value = c.value;
    line.shown = -1;
    GameMenuCallback(nullptr, &line, c.value, 0, 0, nullptr);
    EXPECT_EQ(line.shown, c.shown) << c.value << " with " << c.setting;
  }
  EXPECT_STREQ(texts[0].text, "Music ---*------");
  // Chosen, the options switch their setting.
  backgroundOn = 1;
  GameMenuCallback(nullptr, nullptr, 2001, ZR_MENU_SELECT, 1, nullptr);
  EXPECT_EQ(backgroundOn, 0);
}

// The Display menu: its mode line follows the display's own flag, and its three commands reach the
// display (the toggle as Alt+Enter, the full-screen sizes re-activating the window).
TEST_F(ScreensTest, DisplayMenuCommandsReachTheDisplay) {
  ZR_MENU_STRING texts[2] = {};
  ZR_MENU_LINE line = {};
  line.texts = texts;
  line.textCount = 2;
  line.value = 3003;
  for (int32_t full : {1, 0}) {
    fullscreenFlag = full;
    line.shown = -1;
    GameMenuCallback(nullptr, &line, 3003, 0, 0, nullptr);
    EXPECT_EQ(line.shown, full ? 0 : 1) << "full screen " << full;
  }
  struct Case {
    int32_t id;
    std::vector<uint32_t> posted;
  } cases[] = {
      {3003, {WM_SYSKEYDOWN, WM_LBUTTONDOWN}},
      {3004, {WM_LBUTTONDOWN}},  // no mode table here: nothing to switch to
      {3005, {WM_LBUTTONDOWN}},
  };
  for (const Case& c : cases) {
    zr_clear_messages();
    GameMenuCallback(nullptr, nullptr, c.id, ZR_MENU_SELECT, 1, nullptr);
    std::vector<uint32_t> posted;
    ZR_MSG msg = {};
    while (zr_peek_message(&msg, PM_REMOVE)) {
      posted.push_back(msg.message);
      if (msg.message == WM_SYSKEYDOWN) {
        EXPECT_EQ(msg.wParam, VK_RETURN);
      }
    }
    EXPECT_EQ(posted, c.posted) << c.id;
  }
  zr_clear_messages();
}

TEST_F(ScreensTest, CreditsLinesCycleAndAreBounded) {
  Write("cred.txt", "[Credits]\nNoLines=3\nLine_00=A\nLine_01=B\nLine_02=C\n");
  EXPECT_EQ(LoadCredits("cred.txt"), 3);
  std::string shown;
  for (int n = 0; n < 4; ++n) shown += CreditLine(n);
  EXPECT_EQ(shown, "ABCA");
  Write("cred.txt", "[Credits]\nNoLines=5000\nLine_00=" + std::string(200, 'x') + "\n");
  EXPECT_EQ(LoadCredits("cred.txt"), MAX_CREDIT_LINES);
  EXPECT_EQ(std::strlen(CreditLine(0)), size_t(CREDIT_LINE_MAX));
  ShowCreditLine(CreditLine(0), CREDIT_LINE_TIME);
  EXPECT_EQ(std::strlen(creditShown), size_t(CREDIT_LINE_MAX));
  EXPECT_EQ(CreditLineOnShow(), creditShown);
  ShowCreditLine("gone", 0);
  EXPECT_EQ(CreditLineOnShow(), nullptr);
}

int openedCount = 0;
std::string openedUrl;
int RefuseUrl(const char* url) {
  ++openedCount;
  openedUrl = url;
  return 0;
}

TEST_F(ScreensTest, HelpPagePerLanguageAndTheFailureMessage) {
  EXPECT_EQ(HelpPageName("help\\help_%s.htm", "FR"), "help\\help_FR.htm");
  EXPECT_EQ(FileUrl("/tmp/a b/help_EN.htm"), "file:///tmp/a%20b/help_EN.htm");
  std::filesystem::create_directories("help");
  Write("help/help_EN.htm", "<p>en</p>");
  Write("help/help_DE.htm", "<p>de</p>");
  Write("lang.txt",
        "[Languages]\nNbLanguages=2\nLanguage_01=E\nLanguage_02=D\n[E]\nAbbreviation=EN\n"
        "[D]\nAbbreviation=DE\n");
  const std::string page = CopyHelpPages("help\\help_%s.htm", "EN", "lang.txt", "cache");
  EXPECT_EQ(page, "cache/help_EN.htm");
  EXPECT_EQ(dir_.Read("cache/help_EN.htm"), "<p>en</p>");
  EXPECT_EQ(dir_.Read("cache/help_DE.htm"), "<p>de</p>");  // the page's sister, beside it
  EXPECT_EQ(CopyHelpPages("help\\help_%s.htm", "IT", "lang.txt", "cache"), "");

  // The browser does not start: the message names the page.
  setenv("XDG_CACHE_HOME", (dir_.path() + "/xdg").c_str(), 1);
  std::snprintf(hlpFile, sizeof hlpFile, "help\\help_%%s.htm");
  zr_open_url_set_hook(RefuseUrl);
  EXPECT_EQ(OpenHelp(HELP_CONTEXT_TOPICS), 0);
  zr_open_url_set_hook(nullptr);
  unsetenv("XDG_CACHE_HOME");
  EXPECT_EQ(openedCount, 1);
  EXPECT_EQ(openedUrl, "file://" + dir_.path() + "/xdg/zrsentry/help/help_EN.htm");
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0],
            "Sorry, an error occured while trying to launch your web browser to display the help "
            "file: help\\help_EN.htm");
  hlpFile[0] = '\0';
}

TEST_F(ScreensTest, AboutBoxTextsInUtf8WithTheirFormatsFilled) {
  EXPECT_EQ(Latin1ToUtf8("\xC0 propos \xA9"), "\xC3\x80 propos \xC2\xA9");
  EXPECT_EQ(FillFormat("About %s (%d%%)", 's', "X"), "About X (%d%)");
  EXPECT_EQ(FillFormat("%s %s %n", 's', "A"), "A %s %n");
  Write("texts.txt",
        "[Application]\nTitle=ZRSENTRY\nVersion=1.0\n[AboutBox_FR]\nTitle=\xC0 propos de %s\n"
        "Memory=M\xE9moire : %d octets\nCopyright1=C1 \xA9\nCopyright2=C2\nReserved=R\n"
        "License=L\n");
  AboutTexts texts = ReadAboutTexts("texts.txt", "FR", 1234);
  EXPECT_EQ(texts.caption, "\xC3\x80 propos de ZRSENTRY");
  const char* expected[] = {
      "ZRSENTRY", "1.0", "L", "C1 \xC2\xA9", "C2", "R", "M\xC3\xA9moire : 1234 octets"};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(texts.items[i], expected[i]) << "item " << 101 + i;
}

}  // namespace
