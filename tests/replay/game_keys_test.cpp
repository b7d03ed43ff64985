// The game inside the program, in-process on the real data: a game started as --play starts it,
// the keys Ctrl+Shift+I and Ctrl+Shift+L pressed on the keyboard, and the end of a game, after
// which the program goes back to its start screen and goes on drawing.
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/frame_loop.h"
#include "app/game_shell.h"
#include "app/startup.h"
#include "engine/platform/clock.h"
#include "engine/platform/keys.h"
#include "engine/platform/messages.h"
#include "game/game_state.h"
#include "game/play_state.h"
#include "replay_support.h"

namespace {

class GameKeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.path().empty());
    StartOptions options;
    options.headless = true;
    options.virtualClock = true;
    testing::internal::CaptureStderr();
    ASSERT_EQ(StartUp(options), 1) << StartUpError();
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
    EXPECT_EQ(replay::ReadFile("Warning.txt"), "");
    zr_clock_use_virtual(false);
    zr_clear_messages();
    ResetAppState();
  }

  // Runs passes of the loop until `steps` more game steps have run (or no game runs any more).
  void RunSteps(int64_t steps) {
    const int64_t until = stepsRun + steps;
    for (int pass = 0; pass < 100 * steps && stepsRun < until && gameRunning; ++pass) {
      int exitCode = -1;
      ASSERT_EQ(FrameLoopPass(&exitCode), 1);
    }
  }

  // Takes every queued message, as the loop does while the keys are still held.
  void TakeMessages() {
    ZR_MSG msg;
    for (int pass = 0; pass < 100 && zr_peek_message(&msg, PM_NOREMOVE); ++pass) {
      int exitCode = -1;
      ASSERT_EQ(FrameLoopPass(&exitCode), 1);
    }
  }

  // Presses and releases a key with Ctrl and Shift held, or alone.
  void Press(const char* key, bool withCtrlShift) {
    if (withCtrlShift) {
      zr_key_simulate("Left Ctrl", true);
      zr_key_simulate("Left Shift", true);
    }
    zr_key_simulate(key, true);
    TakeMessages();
    zr_key_simulate(key, false);
    if (withCtrlShift) {
      zr_key_simulate("Left Shift", false);
      zr_key_simulate("Left Ctrl", false);
    }
    TakeMessages();
  }

  replay::GameFolder dir_;
};

TEST_F(GameKeysTest, CtrlShiftIToggleInvulnerabilityAndCtrlShiftLEndsTheLevel) {
  StartGameAtLevel(1);
  ASSERT_EQ(gameRunning, 1);
  EXPECT_EQ(level, 1);
  RunSteps(10);
  Press("I", false);
  EXPECT_EQ(invulnerable, 0);
  Press("I", true);
  EXPECT_EQ(invulnerable, 1);
  Press("I", true);
  EXPECT_EQ(invulnerable, 0);

  Press("L", false);
  EXPECT_EQ(levelEnding, 0);
  Press("L", true);
  RunSteps(1);
  EXPECT_EQ(levelEnding, 1);
  RunSteps(210);  // the level end's 200 steps
  EXPECT_EQ(level, 2);
  EXPECT_EQ(levelEnding, 0);
  EXPECT_EQ(gameRunning, 1);
}

TEST_F(GameKeysTest, TheLastLevelsBonusGivesExtraLivesAndTheEndOfTheGameGoesBackToTheStart) {
  StartGameAtLevel(20);
  ASSERT_EQ(gameRunning, 1);
  EXPECT_EQ(level, 20);
  RunSteps(10);
  Press("L", true);
  RunSteps(2);
  EXPECT_EQ(finalBonusGiven, 1);
  EXPECT_EQ(gameOver, 1);
  // 10 000 points pass the thresholds 3 000 and 7 000 at once; the game stays over.
  EXPECT_EQ(score, 10000);
  EXPECT_EQ(extraLivesAwarded, 2);

  RunSteps(1000);  // the game-over messages run out
  EXPECT_EQ(gameRunning, 0);
  const int64_t frames = framesDrawn;
  for (int pass = 0; pass < 20; ++pass) {
    int exitCode = -1;
    ASSERT_EQ(FrameLoopPass(&exitCode), 1);
  }
  EXPECT_GT(framesDrawn, frames);  // the start screen goes on being drawn
}

}  // namespace
