#include "app/frame_loop.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/app_state.h"
#include "app/startup.h"
#include "app_support.h"
#include "engine/platform/clock.h"
#include "engine/platform/keys.h"
#include "engine/platform/messages.h"

namespace {

// The loop's pieces run in-process with no window: the application is active and ready, and a
// game is running unless a test says otherwise. No level is loaded, so the game stays paused: its
// steps then run only the parts that need no level.
class FrameLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAppState();
    zr_clear_messages();
    SetFrameLimit(0);
    appActive = 1;
    appReady = 1;
    gameRunning = 1;
    paused = 1;
  }
  void TearDown() override {
    zr_clear_messages();
    ResetAppState();
  }
  int Pass() {
    int exitCode = -1;
    return FrameLoopPass(&exitCode);
  }
};

TEST_F(FrameLoopTest, TwentyFivePendingTicksGiveOneFrameThenTwentyStepsAndNone) {
  tickCount = 25;
  EXPECT_EQ(Pass(), 1);
  EXPECT_EQ(framesDrawn, 1);
  EXPECT_EQ(stepsRun, 20);
  EXPECT_EQ(tickCount, 0);
  EXPECT_DOUBLE_EQ(stepTime, 0.3);
  Pass();  // nothing pending: no frame
  EXPECT_EQ(framesDrawn, 1);
}

TEST_F(FrameLoopTest, NegativeTickCountIsRaisedToZeroBeforeStepping) {
  tickCount = -4;
  RunGameSteps();
  EXPECT_EQ(tickCount, 0);
  EXPECT_EQ(stepsRun, 0);
}

TEST_F(FrameLoopTest, InactiveWindowCountsNoTicksAndDrawsNoFrame) {
  appActive = 0;
  tickCount = 5;
  TimerTick();
  Pass();
  EXPECT_EQ(tickCount, 5);
  EXPECT_EQ(framesDrawn, 0);
  appActive = 1;
  appReady = 0;  // still starting
  TimerTick();
  EXPECT_EQ(tickCount, 5);
  appReady = 1;
  TimerTick();
  EXPECT_EQ(tickCount, 6);
}

TEST_F(FrameLoopTest, WithoutAGameTicksAreKeptAndEveryPassDrawsAFrame) {
  gameRunning = 0;
  tickCount = 3;
  for (int i = 0; i < 4; ++i) Pass();
  EXPECT_EQ(framesDrawn, 4);
  EXPECT_EQ(tickCount, 3);
  tickCount = 30;
  Pass();
  EXPECT_EQ(tickCount, 20);  // clamped, not consumed
  EXPECT_EQ(stepsRun, 0);
}

TEST_F(FrameLoopTest, NoFrameWhileTheDisplayIsNotReadyOrAnOverlayIsShown) {
  tickCount = 2;
  displayReady = 0;
  Pass();
  EXPECT_EQ(framesDrawn, 0);
  displayReady = 1;
  overlayState = 1;
  Pass();
  EXPECT_EQ(framesDrawn, 0);
  EXPECT_EQ(tickCount, 2);
}

TEST_F(FrameLoopTest, AttractSequenceStepsOnlyInItsGameplayDemos) {
  attractPlaying = 1;
  attractEntryType = 1;  // a picture
  tickCount = 5;
  Pass();
  EXPECT_EQ(framesDrawn, 1);
  EXPECT_EQ(stepsRun, 0);
  EXPECT_EQ(tickCount, 5);
  attractEntryType = 4;  // a gameplay demo
  Pass();
  EXPECT_EQ(stepsRun, 5);
}

TEST_F(FrameLoopTest, HighlightRunsUpAndDownBetween149And159) {
  std::vector<int> seen;
  for (int i = 0; i < 24; ++i) {
    StepHighlight();
    seen.push_back(highlightColour);
  }
  const std::vector<int> expected = {150, 151, 152, 153, 154, 155, 156, 157, 158, 159, 159, 158,
                                     157, 156, 155, 154, 153, 152, 151, 150, 149, 149, 150, 151};
  EXPECT_EQ(seen, expected);
}

TEST_F(FrameLoopTest, HighlightStepsOncePerDrawnFrame) {
  tickCount = 1;
  Pass();
  EXPECT_EQ(highlightColour, 150);
  Pass();  // no tick left: no frame
  EXPECT_EQ(highlightColour, 150);
}

TEST_F(FrameLoopTest, PTogglesThePauseOnlyOutsideTheAttractSequence) {
  // The paused game still draws frames.
  tickCount = 1;
  Pass();
  EXPECT_EQ(framesDrawn, 1);
  AppMessageHandler(WM_KEYDOWN, 'P', 0);
  EXPECT_EQ(paused, 0);
  AppMessageHandler(WM_KEYDOWN, 'P', 0);
  EXPECT_EQ(paused, 1);
  attractPlaying = 1;
  AppMessageHandler(WM_KEYDOWN, 'P', 0);
  EXPECT_EQ(paused, 1);
}

TEST_F(FrameLoopTest, KeysFromTheKeyboardReachTheHandlerThroughTheQueue) {
  ASSERT_EQ(zr_key_simulate("P", true), 1);
  Pass();
  EXPECT_EQ(paused, 0);
  zr_key_simulate("P", false);
  Pass();
  EXPECT_EQ(paused, 0);
}

TEST_F(FrameLoopTest, MenuCommandsPostTheirMessages) {
  ZR_MSG msg;
  AppMessageHandler(WM_COMMAND, CMD_EXIT, 0);
  ASSERT_EQ(zr_peek_message(&msg, PM_REMOVE), 1);
  EXPECT_EQ(msg.message, WM_CLOSE);
  AppMessageHandler(WM_COMMAND, CMD_BACK_TO_GAME, 0);
  ASSERT_EQ(zr_peek_message(&msg, PM_REMOVE), 1);
  EXPECT_EQ(msg.message, WM_LBUTTONDOWN);
  EXPECT_EQ(msg.wParam, 0u);
  EXPECT_EQ(msg.lParam, 0);
}

TEST_F(FrameLoopTest, ActivationMessagesSetAppActive) {
  AppMessageHandler(WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_EQ(appActive, 0);
  AppMessageHandler(WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_EQ(appActive, 1);
}

TEST_F(FrameLoopTest, FrameLimitPostsCloseAfterThatManyFrames) {
  gameRunning = 0;
  tickCount = 1;
  SetFrameLimit(3);
  ZR_MSG msg;
  Pass();
  Pass();
  EXPECT_EQ(zr_peek_message(&msg, PM_NOREMOVE), 0);
  Pass();
  ASSERT_EQ(zr_peek_message(&msg, PM_NOREMOVE), 1);
  EXPECT_EQ(msg.message, WM_CLOSE);
}

TEST_F(FrameLoopTest, QuitEndsTheLoopWithItsWParam) {
  zr_post_message(WM_QUIT, 3, 0);
  int exitCode = -1;
  EXPECT_EQ(FrameLoopPass(&exitCode), 0);
  EXPECT_EQ(exitCode, 3);
}

// The whole program in-process: start-up, frames on the virtual clock, WM_CLOSE, shut-down,
// WM_QUIT, with every block freed and every file closed.
TEST(ProgramTest, RunsFramesOnTheVirtualClockAndShutsDownCleanly) {
  TempGameDir dir;
  ASSERT_FALSE(dir.path().empty());
  StartOptions options;
  options.headless = true;
  options.virtualClock = true;
  testing::internal::CaptureStderr();
  ASSERT_EQ(StartUp(options), 1) << StartUpError();
  EXPECT_EQ(appReady, 1);
  EXPECT_NE(timerId, 0u);
  uint32_t started = zr_get_tick_count();
  // F9 in the window saves the frame as the first free snapshot in the start directory.
  ASSERT_EQ(zr_key_simulate("F9", true), 1);
  zr_key_simulate("F9", false);
  SetFrameLimit(50);
  EXPECT_EQ(RunFrameLoop(), 0);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(framesDrawn, 50);
  EXPECT_TRUE(std::filesystem::exists(dir.path() + "/Snap0000.pcx"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/Snap0001.pcx"));
  EXPECT_GT(zr_get_tick_count(), started);
  const ShutDownReport& report = LastShutDown();
  EXPECT_TRUE(report.done);
  EXPECT_EQ(report.filesOpen, 0);
  EXPECT_EQ(report.memoryBlocks, 0);
  EXPECT_EQ(report.memoryBytes, 0);
  EXPECT_EQ(timerId, 0u);
  EXPECT_EQ(tickCount, 0);
  ShutDown();  // a second shut-down does nothing
  SetFrameLimit(0);
  zr_clock_use_virtual(false);
  ResetAppState();
}

TEST(ProgramTest, MissingPaletteStopsStartUpWithAReason) {
  TempGameDir dir(false);
  ASSERT_FALSE(dir.path().empty());
  std::filesystem::create_directories("DATA");
  std::ofstream("DATA/TEXTS.TXT") << "[Application]\nTitle=T\n";
  StartOptions options;
  options.headless = true;
  options.virtualClock = true;
  testing::internal::CaptureStderr();
  EXPECT_EQ(StartUp(options), 0);
  std::string reason = StartUpError();
  EXPECT_NE(reason.find("palette"), std::string::npos) << reason;
  EXPECT_EQ(reason.find('\n'), std::string::npos);
  AbandonStartUp();
  ShutDown();  // nothing left to shut down
  testing::internal::GetCapturedStderr();
  zr_clock_use_virtual(false);
  zr_clear_messages();
  ResetAppState();
}

}  // namespace
