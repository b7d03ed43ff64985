// The platform's devices under the dummy video driver: keys by their scan codes, and a pad
// plugged in while the game runs (SDL's virtual joystick), seen as it arrives, read through the
// game-controller or the joystick API, and gone when it is pulled out.
#include <gtest/gtest.h>

#include "engine/platform/input_devices.h"
#include "engine/platform/keys.h"
#include "engine/platform/messages.h"
#include "engine/platform/video.h"
#include "input_support.h"

namespace {

class PlatformDevices : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(zr_platform_init(true), 1) << zr_platform_error();
    zr_error_init(&report_);
    ZR_INPUT_CONFIG config = {&report_, 0};
    zr_input_set_source(nullptr);  // the platform's devices
    ASSERT_EQ(zr_input_init(&config), 1);
    zr_input_activate(1);
    TakeEvents();
  }
  void TearDown() override {
    zr_devices_detach_virtual_pad();
    TakeEvents();
    zr_input_deinit();
    zr_error_deinit();
    zr_platform_quit();
    zr_clear_messages();
  }
  // Lets the platform turn its events (plug-ins among them) into messages, and drops those.
  static void TakeEvents() {
    ZR_MSG msg;
    while (zr_peek_message(&msg, PM_REMOVE | PM_NOYIELD)) {
    }
  }
  static bool Attach(bool gamepad) {
    if (!zr_devices_attach_virtual_pad(gamepad)) return false;
    TakeEvents();
    return true;
  }
  int32_t report_ = 0;
};

TEST_F(PlatformDevices, KeysArriveByTheScanCodesTheBindingsUse) {
  struct {
    const char* name;
    int code;
  } keys[] = {{"Up", 200},   {"Down", 208},  {"Left", 203},    {"Right", 205},
              {"Space", 57}, {"Return", 28}, {"Escape", 1},    {"A", 30},
              {"Z", 44},     {"I", 23},      {"Left Alt", 56}, {"Right Alt", 184}};
  for (const auto& key : keys) {
    ASSERT_EQ(zr_key_simulate(key.name, true), 1) << key.name;
    TakeEvents();
    zr_input_poll();
    EXPECT_EQ(zr_input_get_key(key.code), 0x80) << key.name;
    zr_key_simulate(key.name, false);
    TakeEvents();
    zr_input_poll();
    EXPECT_EQ(zr_input_any(), 0) << key.name;
  }
}

TEST_F(PlatformDevices, PluggedInGamepadIsReadThroughItsMapping) {
  ZR_PAD_STATE pad;
  EXPECT_EQ(zr_devices_pad(&pad), 0);
  if (!Attach(true)) GTEST_SKIP() << "this SDL has no virtual joysticks";
  ASSERT_EQ(zr_devices_pad(&pad), 1);
  EXPECT_EQ(zr_devices_pad_is_gamepad(), 1);
  EXPECT_EQ(zr_input_poll(), 1);
  EXPECT_EQ(zr_input_any(), 0);  // a centred, idle pad

  zr_devices_set_virtual_axis(0, -32768);  // left stick fully left
  zr_devices_set_virtual_axis(1, 20000);   // and somewhat down
  zr_devices_set_virtual_button(0, true);  // A
  zr_devices_set_virtual_button(2, true);  // X
  EXPECT_EQ(zr_input_poll(), 1);
  EXPECT_EQ(Byte(502), 32);
  EXPECT_EQ(Byte(501), zr_input_axis(20000));
  EXPECT_GT(Byte(501), 0);
  EXPECT_EQ(Byte(503), 0);
  EXPECT_EQ(Byte(500), 0);
  EXPECT_EQ(Byte(506), 0x80);
  EXPECT_EQ(Byte(507), 0);
  EXPECT_EQ(Byte(508), 0x80);

  // Let go: inside the dead zone reads nothing.
  zr_devices_set_virtual_axis(0, -10000);
  zr_devices_set_virtual_axis(1, 0);
  zr_devices_set_virtual_button(0, false);
  zr_devices_set_virtual_button(2, false);
  zr_input_poll();
  EXPECT_EQ(zr_input_any(), 0);

  // Pulled out: no pad any more.
  zr_devices_detach_virtual_pad();
  TakeEvents();
  EXPECT_EQ(zr_devices_pad(&pad), 0);
  EXPECT_EQ(zr_input_poll(), 0);
}

TEST_F(PlatformDevices, PlainJoystickIsReadThroughTheJoystickApi) {
  if (!Attach(false)) GTEST_SKIP() << "this SDL has no virtual joysticks";
  EXPECT_EQ(zr_devices_pad_is_gamepad(), 0);
  zr_devices_set_virtual_axis(0, 32767);
  zr_devices_set_virtual_axis(1, -32768);
  zr_devices_set_virtual_button(1, true);
  EXPECT_EQ(zr_input_poll(), 1);
  EXPECT_EQ(Byte(503), 32);
  EXPECT_EQ(Byte(500), 32);
  EXPECT_EQ(Byte(507), 0x80);
  EXPECT_EQ(Byte(506), 0);
}

TEST_F(PlatformDevices, DeflectedPadFailsTheCalibrationAndIsNeverReadAgain) {
  if (!Attach(true)) GTEST_SKIP() << "this SDL has no virtual joysticks";
  BoxCaptureForInput boxes;
  zr_devices_set_virtual_axis(1, 32767);
  EXPECT_EQ(zr_input_check_joystick(), 0);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].caption, "Warning!");
  zr_devices_set_virtual_axis(1, 0);
  zr_devices_set_virtual_button(0, true);
  EXPECT_EQ(zr_input_poll(), 0);
  EXPECT_EQ(Byte(506), 0);
  EXPECT_EQ(zr_input_joystick_usable(), 0);
}

}  // namespace
