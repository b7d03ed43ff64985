// The menus inside the program, in-process on the real data and headless on the virtual clock:
// the program starts into the main menu, a new game starts from it by keys, Escape brings the
// menu back over the game, and the leave-game confirmation ends the game and returns to the
// menu. With ZR_MENU_SHOTS=DIR the main menu, the options menu and the high-score table are
// written as PCX pictures in English and in French.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/app_state.h"
#include "app/frame_loop.h"
#include "app/high_scores.h"
#include "app/screens.h"
#include "app/startup.h"
#include "app/texts.h"
#include "engine/display/snapshot.h"
#include "engine/platform/clock.h"
#include "engine/platform/keys.h"
#include "engine/platform/messages.h"
#include "game/game_state.h"
#include "game/play_state.h"
#include "replay_support.h"

namespace {

class MenusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.path().empty());
    // The high scores are written back into the archive at shut-down: a copy of its own.
    std::filesystem::remove("VELDRAN.DAT");
    std::filesystem::copy_file(ZR_GAME_DIR "/VELDRAN.DAT", "VELDRAN.DAT");
    StartOptions options;
    options.headless = true;
    options.virtualClock = true;
    testing::internal::CaptureStderr();
    ASSERT_EQ(StartUp(options), 1) << StartUpError();
    // The main menu has just opened: its delay passes before it takes a key.
    Passes(400);
  }
  void TearDown() override {
    zr_keys_release_all();
    AppMessageHandler(WM_CLOSE, 0, 0);
    int exitCode = -1;
    while (FrameLoopPass(&exitCode)) {
    }
    testing::internal::GetCapturedStderr();
    const ShutDownReport& report = LastShutDown();
    EXPECT_TRUE(report.done);
    EXPECT_EQ(report.filesOpen, 0);
    EXPECT_EQ(report.memoryBlocks, 0);
    zr_clock_use_virtual(false);
    zr_clear_messages();
    ResetAppState();
    SetCurrentLanguageAbbreviation("EN");
  }

  void Passes(int count) {
    for (int i = 0; i < count; ++i) {
      int exitCode = -1;
      ASSERT_EQ(FrameLoopPass(&exitCode), 1);
    }
  }

  // Holds a key for a few frames, then waits out the menus' delay between events.
  void Press(const char* key) {
    ASSERT_EQ(zr_key_simulate(key, true), 1) << key;
    Passes(20);
    zr_key_simulate(key, false);
    Passes(400);
  }

  const char* CurrentText() const {
    const ZR_MENU& menu = gameMenus[currentMenu];
    const ZR_MENU_LINE& line = menu.lines[menu.currentLine];
    return line.texts[line.shown].text;
  }

  void Shot(const char* name) {
    const char* dir = std::getenv("ZR_MENU_SHOTS");
    if (dir == nullptr) return;
    Passes(2);
    std::string path = std::string(dir) + "/" + name + "_" + CurrentLanguageAbbreviation() + ".pcx";
    EXPECT_EQ(zr_bitmap_save_pcx(&frameBuffer, path.c_str(), nullptr), 1) << path;
  }

  replay::GameFolder dir_;
};

TEST_F(MenusTest, NewGameEscapeAndTheLeaveGameConfirmation) {
  EXPECT_EQ(currentMenu, MENU_MAIN);
  EXPECT_EQ(menuShown, 1);
  EXPECT_STREQ(CurrentText(), "New game");

  Press("Return");
  ASSERT_EQ(gameRunning, 1);
  EXPECT_EQ(menuShown, 0);
  const int64_t before = stepsRun;
  Passes(50);
  EXPECT_GT(stepsRun, before);

  Press("Escape");
  EXPECT_EQ(currentMenu, MENU_MAIN);
  EXPECT_EQ(menuShown, 1);
  EXPECT_EQ(gameRunning, 1);
  EXPECT_STREQ(CurrentText(), "End game");

  Press("Return");
  EXPECT_EQ(currentMenu, MENU_LEAVE_GAME);
  EXPECT_STREQ(CurrentText(), "No");
  Press("Up");
  EXPECT_STREQ(CurrentText(), "Yes, end it");
  Press("Return");
  EXPECT_EQ(currentMenu, MENU_MAIN);
  EXPECT_EQ(menuShown, 1);
  EXPECT_EQ(gameRunning, 0);
  EXPECT_STREQ(CurrentText(), "New game");
}

TEST_F(MenusTest, EscapeDuringAGameAndNoKeepsPlaying) {
  Press("Return");
  ASSERT_EQ(gameRunning, 1);
  Press("Escape");
  Press("Return");
  ASSERT_EQ(currentMenu, MENU_LEAVE_GAME);
  Press("Return");  // "No"
  EXPECT_EQ(currentMenu, MENU_MAIN);
  EXPECT_EQ(gameRunning, 1);
  Press("Escape");  // the menu closes and the game goes on
  EXPECT_EQ(menuShown, 0);
  const int64_t before = stepsRun;
  Passes(50);
  EXPECT_GT(stepsRun, before);
}

TEST_F(MenusTest, AHighScoreIsNamedAndKeptInTheArchive) {
  Press("Return");
  ASSERT_EQ(gameRunning, 1);
  Passes(50);
  // The game ends with a score for the third place.
  score = 30000;
  lives = 0;
  gameOver = 1;
  graceCounter = 0;
  for (int pass = 0; pass < 5000 && gameRunning; ++pass) Passes(1);
  EXPECT_EQ(gameRunning, 0);
  ASSERT_EQ(currentMenu, MENU_NAME_ENTRY);
  EXPECT_EQ(menuShown, 1);
  EXPECT_EQ(entryCursor, 0);
  Passes(400);  // the menu's delay after it opened
  Press("Up");  // A becomes B
  Press("Right");
  Press("Down");  // the space before it becomes Z
  Press("Down");
  EXPECT_EQ(entryCursor, 1);
  Press("Return");
  EXPECT_EQ(currentMenu, MENU_HIGH_SCORES);
  EXPECT_EQ(entryCursor, -1);
  ASSERT_NE(highScores, nullptr);
  EXPECT_STREQ(gameMenus[MENU_HIGH_SCORES].lines[3].texts[0].text, "3 BY        30000");

  ASSERT_EQ(SaveHighScores(highScores, scrFile, HIGH_SCORES_SECTION), 1);
  HighScoreTable* read = LoadHighScores(scrFile, HIGH_SCORES_SECTION);
  ASSERT_NE(read, nullptr);
  EXPECT_STREQ(read->entries[2]->name, "BY      ");
  EXPECT_EQ(read->entries[2]->score, 30000);
  EXPECT_EQ(read->entries[3]->score, 26400);
  FreeHighScores(read);
}

TEST_F(MenusTest, MenusOnScreenInTwoLanguages) {
  for (const char* language : {"EN", "FR"}) {
    SetCurrentLanguageAbbreviation(language);
    ReloadTexts();
    OpenMenu(MENU_MAIN);
    Passes(5);
    EXPECT_EQ(menuShown, 1);
    Shot("main");
    OpenMenu(MENU_OPTIONS);
    Shot("options");
    OpenMenu(MENU_SOUND);
    // Headless there is no device (-1); a bar and a silent part as a machine with sound shows.
    musicVolume = 70;
    effectsVolume = 0;
    Passes(2);
    EXPECT_STREQ(gameMenus[MENU_SOUND].lines[1].texts[0].text +
                     std::strlen(gameMenus[MENU_SOUND].lines[1].texts[0].text) - 10,
                 "------*---");
    EXPECT_EQ(gameMenus[MENU_SOUND].lines[2].shown, 1);
    Shot("sound");
    musicVolume = effectsVolume = -1;
    OpenMenu(MENU_HIGH_SCORES);
    Passes(2);
    EXPECT_STREQ(gameMenus[MENU_HIGH_SCORES].lines[1].texts[0].text, "1 KESTREL   41250");
    Shot("scores");
  }
  // Over a running game.
  Passes(400);
  Press("Escape");
  ASSERT_EQ(currentMenu, MENU_MAIN);
  ASSERT_STREQ(CurrentText(), "Nouvelle partie");
  Press("Return");
  ASSERT_EQ(gameRunning, 1);
  Passes(100);
  Press("Escape");
  Shot("game_menu");
  EXPECT_STREQ(gameMenus[MENU_LEAVE_GAME].lines[2].texts[0].text, "Non");
}

}  // namespace
