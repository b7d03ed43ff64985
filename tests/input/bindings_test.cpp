// Player 1 in the frame loop: the bindings for menus and for play, and the poll of each frame.
#include <gtest/gtest.h>

#include <vector>

#include "app/app_state.h"
#include "app/app_support.h"
#include "app/frame_loop.h"
#include "app/startup.h"
#include "engine/platform/clock.h"
#include "engine/platform/messages.h"
#include "input_support.h"

namespace {

constexpr int32_t kDefaultKeys[8] = {200, 208, 203, 205, 23, 24, 57, 28};

// Player 1 as start-up makes it, on the fake devices, in an active window with a game running.
class PlayerOne : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAppState();
    zr_clear_messages();
    zr_play_add(playerControls);
    zr_play_setup(playerControls, 1, kDefaultKeys);
    appActive = 1;
    appReady = 1;
  }
  void TearDown() override {
    zr_clear_messages();
    ResetAppState();
  }
  InputFixture input;
};

struct Binding {
  int32_t keyboard, mouse, joystick;
};

// For each control: the keyboard, mouse and joystick code that configuration 1 holds.
constexpr Binding kMenus[8] = {{200, 400, 500}, {208, 401, 501}, {203, 402, 502}, {205, 403, 503},
                               {23, 404, 504},  {24, 405, 505},  {57, 406, 506},  {28, 407, 507}};
// The menu rows name keyboard keys for buttons 1 and 2, so the joystick keeps what play gave them.
constexpr Binding kMenusAfterPlay[8] = {{200, 400, 500}, {208, 401, 501}, {203, 402, 502},
                                        {205, 403, 503}, {23, 404, 508},  {24, 405, 506},
                                        {57, 406, 506},  {28, 407, 507}};
constexpr Binding kPlay[8] = {{200, 400, 500}, {208, 401, 501}, {203, 402, 502}, {205, 403, 503},
                              {30, 404, 508},  {44, 405, 506},  {48, 407, 506},  {57, 406, 507}};

void ExpectBindings(const Binding (&expected)[8], const char* mode) {
  SCOPED_TRACE(mode);
  for (int control = 0; control < 8; ++control) {
    EXPECT_EQ(zr_play_code(playerControls, 1, control, ZR_DEVICE_KEYBOARD),
              expected[control].keyboard)
        << control;
    EXPECT_EQ(zr_play_code(playerControls, 1, control, ZR_DEVICE_MOUSE), expected[control].mouse)
        << control;
    EXPECT_EQ(zr_play_code(playerControls, 1, control, ZR_DEVICE_JOYSTICK),
              expected[control].joystick)
        << control;
  }
}

TEST_F(PlayerOne, BindingsFollowMenusAndPlay) {
  struct {
    const char* name;
    int32_t menuShown, attractPlaying;
    const Binding (&expected)[8];
  } cases[] = {
      {"menus at start-up", 0, 1, kMenus},        {"play", 0, 0, kPlay},
      {"menu shown", 1, 0, kMenusAfterPlay},      {"back to play", 0, 0, kPlay},
      {"attract playing", 0, 1, kMenusAfterPlay}, {"both", 1, 1, kMenusAfterPlay},
  };
  for (const auto& c : cases) {
    menuShown = c.menuShown;
    attractPlaying = c.attractPlaying;
    SetControlBindings();
    ExpectBindings(c.expected, c.name);
  }
  // Only configuration 1 is in use.
  for (int configuration = 2; configuration <= 5; ++configuration) {
    EXPECT_EQ(zr_play_enabled(playerControls, configuration), 0);
  }
}

TEST_F(PlayerOne, FramePollClearsAltAndUpdatesTheControlsBeforeTheSteps) {
  gameRunning = 1;
  paused = 1;               // no level is loaded: the game's play must stay frozen
  SetControlBindings();     // play
  fake().keys[56] = 0x80;   // left Alt
  fake().keys[184] = 0x80;  // right Alt
  fake().keys[30] = 0x80;   // A: button 1 in play
  fake().padAttached = true;
  fake().pad = {7, 32767, 0, {0, 0, 0x80}};  // right, joystick button 3: button 1 too
  tickCount = 3;
  int exitCode = 0;
  ASSERT_EQ(FrameLoopPass(&exitCode), 1);
  ASSERT_EQ(framesDrawn, 1);
  EXPECT_EQ(zr_input_get_key(56), 0);
  EXPECT_EQ(zr_input_get_key(184), 0);
  EXPECT_EQ(zr_input_get_key(30), 0x80);
  EXPECT_EQ(playerControls[ZR_BUTTON1], 0x80);
  EXPECT_EQ(playerControls[ZR_RIGHT], 32);
  EXPECT_EQ(playerControls[ZR_BUTTON4], 0);

  // Alt alone is no input at all.
  fake() = FakeDevices{};
  fake().keys[56] = 0x80;
  tickCount = 1;
  FrameLoopPass(&exitCode);
  EXPECT_EQ(zr_input_any(), 0);
  for (uint8_t control : playerControls) EXPECT_EQ(control, 0);
}

TEST_F(PlayerOne, InactiveWindowLeavesEveryControlAtZero) {
  gameRunning = 1;
  paused = 1;  // no level is loaded: the game's play must stay frozen
  SetControlBindings();
  fake().keys[57] = 0x80;
  fake().mouse = {0, 0, {0x80, 0x80, 0, 0}};
  fake().padAttached = true;
  fake().pad = {7, -32768, -32768, {0x80, 0x80, 0x80}};
  // The window's deactivation passes through the application's handler to the input module.
  AppMessageHandler(WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_EQ(appActive, 0);
  zr_input_poll();
  zr_play_update();
  for (uint8_t control : playerControls) EXPECT_EQ(control, 0);
  EXPECT_EQ(zr_input_any(), 0);

  AppMessageHandler(WM_ACTIVATE, WA_ACTIVE, 0);
  tickCount = 1;
  int exitCode = 0;
  FrameLoopPass(&exitCode);
  EXPECT_EQ(playerControls[ZR_BUTTON4], 0x80);  // space
  EXPECT_EQ(playerControls[ZR_UP], 32);
}

TEST_F(PlayerOne, AnyKeyAsksTheOverlayToClose) {
  overlayState = 1;
  int exitCode = 0;
  FrameLoopPass(&exitCode);
  EXPECT_EQ(overlayState, 1);  // nothing held
  fake().keys[56] = 0x80;      // Alt alone does not close it
  FrameLoopPass(&exitCode);
  EXPECT_EQ(overlayState, 1);
  fake().keys[57] = 0x80;
  FrameLoopPass(&exitCode);
  EXPECT_EQ(overlayState, 0);  // asked to close, and closed by the overlay step
}

TEST_F(PlayerOne, MenuInputCodeOfAFrame) {
  struct {
    const char* name;
    int32_t menuShown, attractPlaying;
    std::vector<int> keys;
    int expected;
  } cases[] = {
      {"nothing", 1, 0, {}, MENU_NONE},
      {"escape", 1, 0, {1}, MENU_OPEN},
      {"escape in play", 0, 0, {1}, MENU_OPEN},
      {"any key over the attract sequence", 0, 1, {30}, MENU_OPEN},
      {"not with Alt held", 0, 1, {56, 30}, MENU_NONE},
      {"not with right Alt held", 0, 1, {184, 205}, MENU_RIGHT},
      {"not while the menu is shown", 1, 1, {30}, MENU_NONE},
      {"enter selects", 1, 0, {28}, MENU_SELECT},
      {"space selects", 1, 1, {57}, MENU_SELECT},
      {"select before directions", 1, 0, {200, 28}, MENU_SELECT},
      {"up", 1, 0, {200}, MENU_UP},
      {"down before left", 1, 0, {203, 208}, MENU_DOWN},
      {"left", 1, 0, {203}, MENU_LEFT},
      {"right", 1, 0, {205}, MENU_RIGHT},
  };
  for (const auto& c : cases) {
    menuShown = c.menuShown;
    attractPlaying = c.attractPlaying;
    SetControlBindings();
    fake().keys.fill(0);
    for (int key : c.keys) fake().keys[key] = 0x80;
    tickCount = 1;
    int exitCode = 0;
    int64_t frames = framesDrawn;
    FrameLoopPass(&exitCode);
    ASSERT_EQ(framesDrawn, frames + 1) << c.name;
    EXPECT_EQ(MenuInputCode(), c.expected) << c.name;
  }
}

// Start-up and shut-down of the program, headless.
TEST(PlayerOneLifetime, StartUpBindsForMenusAndShutDownFreesThePlayer) {
  TempGameDir dir;
  StartOptions options;
  options.headless = true;
  options.virtualClock = true;
  testing::internal::CaptureStderr();  // no data archive here, which start-up reports
  ASSERT_EQ(StartUp(options), 1) << StartUpError();
  EXPECT_EQ(zr_play_code(playerControls, 1, ZR_BUTTON4, ZR_DEVICE_KEYBOARD), 28);
  EXPECT_EQ(zr_play_code(playerControls, 1, ZR_BUTTON3, ZR_DEVICE_MOUSE), 406);
  EXPECT_EQ(zr_play_code(playerControls, 1, ZR_BUTTON4, ZR_DEVICE_JOYSTICK), 507);
  EXPECT_EQ(zr_play_enabled(playerControls, 1), 1);
  EXPECT_EQ(zr_play_enabled(playerControls, 2), 0);
  // The devices become the game's with the window's activation.
  EXPECT_EQ(zr_input_is_active(), 0);
  int exitCode = 0;
  while (appActive == 0 && FrameLoopPass(&exitCode)) {
  }
  EXPECT_EQ(zr_input_is_active(), 1);

  ShutDown();
  EXPECT_EQ(LastShutDown().memoryBlocks, 0);
  EXPECT_EQ(zr_input_is_active(), 0);
  EXPECT_EQ(zr_play_code(playerControls, 1, ZR_UP, ZR_DEVICE_KEYBOARD), -1);
  testing::internal::GetCapturedStderr();
  zr_clock_use_virtual(false);
  zr_clear_messages();
  ResetAppState();
}

}  // namespace
