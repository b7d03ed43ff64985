#include "engine/input/player.h"

#include <gtest/gtest.h>

#include "input_support.h"

namespace {

constexpr int32_t kKeep = ZR_PLAY_KEEP;

// Two owners of eight output bytes each.
struct Owners {
  uint8_t ship[8] = {};
  uint8_t other[8] = {};
};

TEST(Player, FirstPlayerGetsTheDefaultsInEveryConfigurationLaterOnesNone) {
  InputFixture input;
  Owners owners;
  ASSERT_EQ(zr_play_add(owners.ship), 1);
  ASSERT_EQ(zr_play_add(owners.other), 1);
  constexpr int32_t kExpected[8][3] = {{200, 400, 500}, {208, 401, 501}, {203, 402, 502},
                                       {205, 403, 503}, {23, 404, 504},  {24, 405, 505},
                                       {57, 406, 506},  {28, 407, 507}};
  for (int configuration = 1; configuration <= 5; ++configuration) {
    EXPECT_EQ(zr_play_enabled(owners.ship, configuration), configuration == 1 ? 1 : 0);
    EXPECT_EQ(zr_play_enabled(owners.other, configuration), 0);
    for (int control = 0; control < 8; ++control) {
      for (int device = 0; device < 3; ++device) {
        EXPECT_EQ(zr_play_code(owners.ship, configuration, control, device),
                  kExpected[control][device]);
        EXPECT_EQ(zr_play_code(owners.other, configuration, control, device), -1);
      }
    }
  }
}

TEST(Player, UpdateWritesEachControlFromItsThreeDevices) {
  InputFixture input;
  Owners owners;
  zr_play_add(owners.ship);
  fake().keys[200] = 0x80;                  // up arrow
  fake().mouse = {20, 0, {0, 0x80, 0, 0}};  // right by 20, button 2
  fake().padAttached = true;
  fake().pad = {7, -32767, 0, {0x80, 0, 0}};  // left, button 1
  zr_input_poll();
  zr_play_update();
  const uint8_t expected[8] = {0x80, 0, 32, 20, 0, 0, 0x80, 0x80};
  for (int control = 0; control < 8; ++control) {
    EXPECT_EQ(owners.ship[control], expected[control]) << control;
  }
  // Keyboard and joystick on one control are OR-ed.
  fake().keys[57] = 0x80;
  fake().pad = {7, 0, 0, {0x80, 0, 0}};
  zr_input_poll();
  zr_play_update();
  EXPECT_EQ(owners.ship[ZR_BUTTON3], 0x80);
  EXPECT_EQ(owners.ship[ZR_UP], 0x80);
  EXPECT_EQ(owners.ship[ZR_RIGHT], 0);
}

TEST(Player, SecondConfigurationMakesItsKeyActiveBesideTheFirst) {
  InputFixture input;
  Owners owners;
  zr_play_add(owners.ship);
  const int32_t codes[8] = {kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, 30, kKeep};
  ASSERT_EQ(zr_play_setup(owners.ship, 2, codes), 1);
  EXPECT_EQ(zr_play_enabled(owners.ship, 2), 1);
  EXPECT_EQ(zr_play_code(owners.ship, 2, ZR_BUTTON3, ZR_DEVICE_KEYBOARD), 30);

  struct {
    int key;
    uint8_t expected;
  } cases[] = {{57, 0x80}, {30, 0x80}, {44, 0}};  // configuration 1, configuration 2, neither
  for (const auto& c : cases) {
    fake().keys.fill(0);
    fake().keys[c.key] = 0x80;
    zr_input_poll();
    zr_play_update();
    EXPECT_EQ(owners.ship[ZR_BUTTON3], c.expected) << c.key;
  }
}

TEST(Player, LaterConfigurationsCountOnlyWhileTheEarlierOnesReadZero) {
  InputFixture input;
  Owners owners;
  zr_play_add(owners.other);  // takes the defaults
  zr_play_add(owners.ship);
  const int32_t first[8] = {500, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep};
  const int32_t second[8] = {400, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep};
  zr_play_setup(owners.ship, 1, first);
  zr_play_setup(owners.ship, 3, second);
  fake().padAttached = true;
  fake().pad = {7, 0, -32767, {}};  // up by 32
  fake().mouse = {0, -20, {}};      // up by 20
  zr_input_poll();
  zr_play_update();
  EXPECT_EQ(owners.ship[ZR_UP], 32);        // the first configuration's value alone
  EXPECT_EQ(owners.other[ZR_UP], 32 | 20);  // one configuration: its devices OR-ed
  fake().pad = {7, 0, 0, {}};
  fake().mouse = {0, -20, {}};
  zr_input_poll();
  zr_play_update();
  EXPECT_EQ(owners.ship[ZR_UP], 20);
}

TEST(Player, SetupLeavesSlotsOfMinusOneAndOfOtherDevicesAlone) {
  InputFixture input;
  Owners owners;
  zr_play_add(owners.ship);
  const int32_t mouseRow[8] = {kKeep, kKeep, kKeep, kKeep, 30, 44, 407, 406};
  ASSERT_EQ(zr_play_setup(owners.ship, 1, mouseRow), 1);
  // -1: every device's slot as it was.
  constexpr int32_t kArrows[4] = {200, 208, 203, 205};
  for (int control = 0; control < 4; ++control) {
    EXPECT_EQ(zr_play_code(owners.ship, 1, control, ZR_DEVICE_KEYBOARD), kArrows[control]);
    EXPECT_EQ(zr_play_code(owners.ship, 1, control, ZR_DEVICE_MOUSE), 400 + control);
    EXPECT_EQ(zr_play_code(owners.ship, 1, control, ZR_DEVICE_JOYSTICK), 500 + control);
  }
  // A keyboard code replaces only the keyboard slot; a mouse code only the mouse slot.
  EXPECT_EQ(zr_play_code(owners.ship, 1, ZR_BUTTON1, ZR_DEVICE_KEYBOARD), 30);
  EXPECT_EQ(zr_play_code(owners.ship, 1, ZR_BUTTON1, ZR_DEVICE_MOUSE), 404);
  EXPECT_EQ(zr_play_code(owners.ship, 1, ZR_BUTTON3, ZR_DEVICE_KEYBOARD), 57);
  EXPECT_EQ(zr_play_code(owners.ship, 1, ZR_BUTTON3, ZR_DEVICE_MOUSE), 407);
  EXPECT_EQ(zr_play_code(owners.ship, 1, ZR_BUTTON4, ZR_DEVICE_MOUSE), 406);
  EXPECT_EQ(zr_play_code(owners.ship, 1, ZR_BUTTON4, ZR_DEVICE_JOYSTICK), 507);
  // Other configurations are untouched.
  EXPECT_EQ(zr_play_code(owners.ship, 2, ZR_BUTTON1, ZR_DEVICE_KEYBOARD), 23);
}

TEST(Player, RefusedCallsRecordTheirCodes) {
  InputFixture input;
  Owners owners;
  const int32_t codes[8] = {200, 208, 203, 205, 23, 24, 57, 28};
  auto lastPlayerError = [] {
    return std::string(zr_error_module_name(zr_error_last_module())) + " " +
           std::to_string(zr_error_last_code());
  };
  EXPECT_EQ(zr_play_add(nullptr), 0);
  EXPECT_EQ(lastPlayerError(), "Player 0");
  zr_play_add(owners.ship);
  for (int configuration : {0, 6, -1}) {
    EXPECT_EQ(zr_play_setup(owners.ship, configuration, codes), 0);
    EXPECT_EQ(lastPlayerError(), "Player 4");
  }
  EXPECT_EQ(zr_play_setup(nullptr, 1, codes), 0);
  EXPECT_EQ(lastPlayerError(), "Player 0");
  EXPECT_EQ(zr_play_setup(owners.other, 1, codes), 0);  // nobody drives it

  // A code of no device is refused; the other codes of the call are still assigned.
  const int32_t mixed[8] = {256, 399, 438, -2, 538, 1000, 506, kKeep};
  EXPECT_EQ(zr_play_setup(owners.ship, 2, mixed), 1);
  EXPECT_EQ(lastPlayerError(), "Player 2");
  EXPECT_EQ(zr_play_code(owners.ship, 2, ZR_BUTTON3, ZR_DEVICE_JOYSTICK), 506);
  EXPECT_EQ(zr_play_code(owners.ship, 2, ZR_UP, ZR_DEVICE_KEYBOARD), 200);

  EXPECT_EQ(zr_play_remove(owners.other), 0);
  EXPECT_EQ(lastPlayerError(), "Player 1");
  EXPECT_EQ(zr_play_remove(nullptr), 0);
  EXPECT_EQ(lastPlayerError(), "Player 0");
}

TEST(Player, RemoveAndDeinitFreeEveryRecord) {
  InputFixture input;
  Owners owners;
  int before = zr_mem_block_count();
  zr_play_add(owners.ship);
  zr_play_add(owners.ship);
  zr_play_add(owners.other);
  EXPECT_EQ(zr_mem_block_count(), before + 3);
  EXPECT_EQ(zr_play_remove(owners.ship), 1);  // both of its players
  EXPECT_EQ(zr_mem_block_count(), before + 1);
  EXPECT_EQ(zr_play_code(owners.ship, 1, ZR_UP, ZR_DEVICE_KEYBOARD), -1);
  // The removed owner is not written any more.
  owners.ship[0] = 0x33;
  zr_play_update();
  EXPECT_EQ(owners.ship[0], 0x33);
  int lists = zr_list_live_count();
  zr_play_deinit();
  EXPECT_EQ(zr_mem_block_count(), before);
  EXPECT_EQ(zr_list_live_count(), lists - 1);
}

TEST(Player, InitWithoutASwitchDoesNotStart) {
  InputFixture input(true, false);
  uint8_t owner[8] = {};
  EXPECT_EQ(zr_play_init(nullptr), 0);
  EXPECT_EQ(zr_play_add(owner), 0);
}

}  // namespace
