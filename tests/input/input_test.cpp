#include "engine/input/input.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core_services.h"
#include "engine/platform/messages.h"
#include "input_support.h"

namespace {

constexpr const char* kWarning =
    "Warning!  Your joystick appears to be uncalibrated!\nYou should either calibrate it or "
    "disable it.\n\nUntil your joystick is successfully calibrated, you will not be able to use "
    "the joystick with this program.";

struct MouseCase {
  const char* name;
  int32_t dx, dy;
  int up, down, left, right;
};

// Right and down are positive motion.
constexpr MouseCase kMouseCases[] = {
    {"still", 0, 0, 0, 0, 0, 0},
    {"12 left is nothing", -12, 0, 0, 0, 0, 0},
    {"12 down is nothing", 0, 12, 0, 0, 0, 0},
    {"13 left", -13, 0, 0, 0, 13, 0},
    {"13 right", 13, 0, 0, 0, 0, 13},
    {"13 up", 0, -13, 13, 0, 0, 0},
    {"13 down", 0, 13, 0, 13, 0, 0},
    {"past the clamp", 500, -900, 128, 0, 0, 128},
    {"up 20 left 30: only left", -30, -20, 0, 0, 30, 0},
    {"up 30 left 20: only up", -20, -30, 30, 0, 0, 0},
    {"up-left tie keeps up", -20, -20, 20, 0, 0, 0},
    {"down 30 right 20: only down", 20, 30, 0, 30, 0, 0},
    {"down 20 right 30: only right", 30, 20, 0, 0, 0, 30},
    {"down-right tie keeps down", 20, 20, 0, 20, 0, 0},
    {"up-right keeps both", 30, -20, 20, 0, 0, 30},
    {"down-left keeps both", -20, 30, 0, 30, 20, 0},
    {"diagonal with one axis under the threshold", -30, -12, 0, 0, 30, 0},
};

TEST(InputRules, MouseThresholdsAndDiagonals) {
  for (const MouseCase& c : kMouseCases) {
    SCOPED_TRACE(c.name);
    ZR_MOUSE_STATE mouse = {c.dx, c.dy, {}};
    uint8_t bytes[ZR_INPUT_DEVICE_BYTES];
    zr_input_mouse_bytes(&mouse, 0, bytes);
    EXPECT_EQ(bytes[ZR_INPUT_UP], c.up);
    EXPECT_EQ(bytes[ZR_INPUT_DOWN], c.down);
    EXPECT_EQ(bytes[ZR_INPUT_LEFT], c.left);
    EXPECT_EQ(bytes[ZR_INPUT_RIGHT], c.right);
  }
}

TEST(InputRules, KeptDiagonalsAndMouseButtons) {
  ZR_MOUSE_STATE mouse = {-30, -20, {0x80, 0, 0x80, 0x80}};
  uint8_t bytes[ZR_INPUT_DEVICE_BYTES];
  zr_input_mouse_bytes(&mouse, 1, bytes);
  EXPECT_EQ(bytes[ZR_INPUT_UP], 20);
  EXPECT_EQ(bytes[ZR_INPUT_LEFT], 30);
  EXPECT_EQ(bytes[6], 0x80);
  EXPECT_EQ(bytes[7], 0);
  EXPECT_EQ(bytes[8], 0x80);
  EXPECT_EQ(bytes[9], 0x80);
  for (int place : {4, 5, 10, 37}) EXPECT_EQ(bytes[place], 0) << place;
}

TEST(InputRules, JoystickAxesHaveAHalfDeadZoneAndReadOneToThirtyTwo) {
  struct {
    int32_t raw;
    int32_t expected;
  } cases[] = {{0, 0},        {16383, 0},       {-16383, 0},    {16384, 1},
               {-16384, -1},  {24575, 16},      {32767, 32},    {-32767, -32},
               {-32768, -32}, {INT32_MIN, -32}, {INT32_MAX, 32}};
  for (const auto& c : cases) EXPECT_EQ(zr_input_axis(c.raw), c.expected) << c.raw;

  ZR_PAD_STATE pad = {1, -32768, 32767, {0x80, 0, 0x80}};
  uint8_t bytes[ZR_INPUT_DEVICE_BYTES];
  zr_input_pad_bytes(&pad, bytes);
  EXPECT_EQ(bytes[ZR_INPUT_LEFT], 32);
  EXPECT_EQ(bytes[ZR_INPUT_DOWN], 32);
  EXPECT_EQ(bytes[ZR_INPUT_UP], 0);
  EXPECT_EQ(bytes[ZR_INPUT_RIGHT], 0);
  EXPECT_EQ(bytes[6], 0x80);
  EXPECT_EQ(bytes[7], 0);
  EXPECT_EQ(bytes[8], 0x80);
}

TEST(InputModule, PollFillsTheStateBytesOfEveryDevice) {
  InputFixture input;
  fake().keys[57] = 0x80;
  fake().mouse = {-40, 0, {0, 0x80, 0, 0}};
  fake().padAttached = true;
  fake().pad = {7, 0, -32767, {0, 0, 0x80}};
  EXPECT_EQ(zr_input_poll(), 1);
  EXPECT_EQ(zr_input_get_key(57), 0x80);
  EXPECT_EQ(Byte(402), 40);
  EXPECT_EQ(Byte(407), 0x80);
  EXPECT_EQ(Byte(500), 32);
  EXPECT_EQ(Byte(508), 0x80);
  EXPECT_EQ(zr_input_any(), 1);

  // The mouse's motion was taken by the read; nothing held any more reads as nothing.
  fake() = FakeDevices{};
  EXPECT_EQ(zr_input_poll(), 0);
  EXPECT_EQ(Byte(402), 0);
  EXPECT_EQ(zr_input_any(), 0);
}

TEST(InputModule, KeyCodesOutsideTheKeyboardReadZeroAndAreIgnored) {
  InputFixture input;
  fake().keys.fill(0x80);
  zr_input_poll();
  for (int code : {-1, -56, -1000000, INT32_MIN, 256, 400, 1000, INT32_MAX}) {
    EXPECT_EQ(zr_input_get_key(code), 0) << code;
    zr_input_set_key(code, 0x55);  // must write nothing, anywhere
  }
  for (int code = 0; code < ZR_INPUT_KEYS; ++code) ASSERT_EQ(zr_input_get_key(code), 0x80);
  for (int code : {400, 437, 500, 537}) EXPECT_EQ(Byte(code), 0) << code;

  zr_input_set_key(255, 0);
  zr_input_set_key(0, 0x12);
  EXPECT_EQ(zr_input_get_key(255), 0);
  EXPECT_EQ(zr_input_get_key(0), 0x12);
}

TEST(InputModule, ControlCodesNameTheirDevicesAndNothingElse) {
  struct {
    int code;
    int device;
  } cases[] = {{-1, -1},  {0, ZR_DEVICE_KEYBOARD},   {255, ZR_DEVICE_KEYBOARD}, {256, -1},
               {399, -1}, {400, ZR_DEVICE_MOUSE},    {437, ZR_DEVICE_MOUSE},    {438, -1},
               {499, -1}, {500, ZR_DEVICE_JOYSTICK}, {537, ZR_DEVICE_JOYSTICK}, {538, -1}};
  for (const auto& c : cases) {
    EXPECT_EQ(zr_input_device_of(c.code), c.device) << c.code;
    const uint8_t* stateByte = zr_input_state_byte(c.code);
    EXPECT_EQ(stateByte != nullptr, c.device >= 0) << c.code;
    if (stateByte) {
      EXPECT_EQ(zr_input_code_of(stateByte), c.code);
    }
  }
}

TEST(InputModule, InactiveWindowReadsNothingAndGivesTheMouseBack) {
  InputFixture input;
  fake().keys[30] = 0x80;
  fake().mouse = {50, 50, {0x80, 0, 0, 0}};
  fake().padAttached = true;
  fake().pad = {7, 32767, 0, {0x80, 0, 0}};
  zr_input_poll();
  ASSERT_EQ(zr_input_any(), 1);

  zr_input_window_message(WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_EQ(zr_input_is_active(), 0);
  EXPECT_EQ(zr_input_any(), 0);  // cleared at once
  fake().mouse = {50, 50, {0x80, 0, 0, 0}};
  EXPECT_EQ(zr_input_poll(), 0);
  EXPECT_EQ(zr_input_any(), 0);
  for (int code = 0; code < ZR_INPUT_KEYS; ++code) ASSERT_EQ(zr_input_get_key(code), 0);
  EXPECT_EQ(fake().owned, (std::vector<bool>{true, false}));

  // Back in front: motion made meanwhile is dropped, what is held now counts.
  zr_input_window_message(WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_EQ(fake().owned, (std::vector<bool>{true, false, true}));
  zr_input_poll();
  EXPECT_EQ(zr_input_get_key(30), 0x80);
  EXPECT_EQ(Byte(403), 0);
  EXPECT_EQ(Byte(406), 0x80);
  EXPECT_EQ(Byte(503), 32);
}

TEST(InputModule, WindowMessagesGiveAndTakeTheDevices) {
  InputFixture input;
  zr_clear_messages();
  struct {
    const char* name;
    uint32_t message;
    uintptr_t wParam;
    int activeAfter;
  } steps[] = {
      {"minimise", WM_SYSCOMMAND, SC_MINIMIZE, 0},
      {"restore", WM_SYSCOMMAND, SC_RESTORE | 2, 1},
      {"focus lost", WM_KILLFOCUS, 0, 0},
      {"take message", ZR_INPUT_TAKE_MESSAGE, 0, 1},
      {"menu loop", WM_ENTERMENULOOP, 0, 0},
      {"set cursor changes nothing", WM_SETCURSOR, 0, 0},
      {"activate", WM_ACTIVATE, WA_ACTIVE, 1},
      {"move or size loop", WM_ENTERSIZEMOVE, 0, 0},
  };
  for (const auto& step : steps) {
    EXPECT_EQ(zr_input_window_message(step.message, step.wParam, 0), 1) << step.name;
    EXPECT_EQ(zr_input_is_active(), step.activeAfter) << step.name;
  }
  // A click and the focus come back through the private message, after their own handling.
  for (uint32_t message : {WM_LBUTTONDOWN, WM_SETFOCUS}) {
    zr_input_window_message(message, 0, 0);
    EXPECT_EQ(zr_input_is_active(), 0);
    ZR_MSG posted;
    ASSERT_EQ(zr_peek_message(&posted, PM_REMOVE), 1);
    EXPECT_EQ(posted.message, ZR_INPUT_TAKE_MESSAGE);
    zr_input_window_message(posted.message, posted.wParam, posted.lParam);
    EXPECT_EQ(zr_input_is_active(), 1);
    zr_input_activate(0);
  }
  zr_clear_messages();
}

TEST(InputCalibration, HeldJoystickIsSwitchedOffWithTheWarning) {
  InputFixture input(false);
  BoxCaptureForInput boxes;
  fake().padAttached = true;
  fake().pad = {7, 0, 32767, {}};  // held down through every poll: 1000 of 1000
  EXPECT_EQ(zr_input_check_joystick(), 0);
  EXPECT_EQ(fake().padReads, ZR_INPUT_CALIBRATION_POLLS);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, kWarning);
  EXPECT_EQ(boxes.boxes[0].caption, "Warning!");
  EXPECT_EQ(boxes.boxes[0].type & 0xFF, MB_OK);

  // Never read again, even when it is let go.
  zr_input_activate(1);
  fake().pad = {7, 32767, 0, {0x80, 0x80, 0x80}};
  EXPECT_EQ(zr_input_joystick_usable(), 0);
  EXPECT_EQ(zr_input_poll(), 0);
  for (int code = 500; code < 538; ++code) ASSERT_EQ(Byte(code), 0);

  // A pad plugged in later is another device, and is read.
  fake().pad = {8, 32767, 0, {0x80, 0, 0}};
  EXPECT_EQ(zr_input_poll(), 1);
  EXPECT_EQ(Byte(503), 32);
}

TEST(InputCalibration, CountsBothAxesAgainstTheLimit) {
  struct {
    const char* name;
    int32_t x, y;
    bool attached;
    int expected;
  } cases[] = {
      {"centred", 0, 0, true, 1},
      {"inside the dead zone", 16000, -16000, true, 1},
      {"deflected sideways", -32768, 0, true, 0},
      {"no joystick", 32767, 32767, false, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    InputFixture input(false);
    BoxCaptureForInput boxes;
    fake().padAttached = c.attached;
    fake().pad = {7, c.x, c.y, {}};
    EXPECT_EQ(zr_input_check_joystick(), c.expected);
    EXPECT_EQ(boxes.boxes.size(), c.expected ? 0u : 1u);
  }
}

// A pad that shows a deflection in 351 of the 1000 polls on both axes gives 702 deflected
// readings: one more than the limit allows.
int flickerCount = 0;
int FlickeringPad(ZR_PAD_STATE* pad) {
  int poll = flickerCount++;
  bool deflected = poll < 351;
  *pad = {9, deflected ? 32767 : 0, deflected ? -32768 : 0, {}};
  return 1;
}

TEST(InputCalibration, SumOfSevenHundredPassesAndOneMoreFails) {
  for (int deflectedPolls : {350, 351}) {
    InputFixture input(false);
    BoxCaptureForInput boxes;
    flickerCount = 351 - deflectedPolls;  // start later to have one poll fewer deflected
    ZR_INPUT_SOURCE source = kFakeSource;
    source.pad = FlickeringPad;
    zr_input_set_source(&source);
    EXPECT_EQ(zr_input_check_joystick(), deflectedPolls == 350 ? 1 : 0) << deflectedPolls;
    zr_input_set_source(&kFakeSource);
  }
}

TEST(InputCalibration, HeadlessWarningGoesToTheWarningFile) {
  zrtest::ScratchFolder folder{"zr_input"};
  InputFixture input(false);
  fake().padAttached = true;
  fake().pad = {7, 32767, 32767, {}};
  EXPECT_EQ(zr_input_check_joystick(), 0);
  std::ifstream file("Warning.txt");
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_EQ(text.str(), std::string("Warning!: ") + kWarning + "\n");
}

}  // namespace
