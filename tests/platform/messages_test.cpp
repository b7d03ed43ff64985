#include "engine/platform/messages.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "engine/platform/keys.h"

namespace {

class MessagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zr_clear_messages();
    zr_keys_release_all();
  }
  void TearDown() override {
    zr_clear_messages();
    zr_keys_release_all();
  }
};

TEST_F(MessagesTest, PeekTakesMessagesInOrderAndNoRemoveLeavesThem) {
  ZR_MSG msg{};
  EXPECT_EQ(zr_peek_message(&msg, PM_REMOVE | PM_NOYIELD), 0);
  zr_post_message(WM_KEYDOWN, 'A', 7);
  zr_post_message(WM_CLOSE, 0, 0);

  ASSERT_EQ(zr_peek_message(&msg, PM_NOREMOVE), 1);
  EXPECT_EQ(msg.message, WM_KEYDOWN);
  ASSERT_EQ(zr_peek_message(&msg, PM_REMOVE), 1);
  EXPECT_EQ(msg.message, WM_KEYDOWN);
  EXPECT_EQ(msg.wParam, uintptr_t('A'));
  EXPECT_EQ(msg.lParam, 7);
  ASSERT_EQ(zr_peek_message(&msg, PM_REMOVE | PM_NOYIELD), 1);
  EXPECT_EQ(msg.message, WM_CLOSE);
  EXPECT_EQ(zr_peek_message(&msg, PM_REMOVE), 0);

  zr_post_message(WM_PAINT, 0, 0);
  zr_clear_messages();
  EXPECT_EQ(zr_peek_message(&msg, PM_REMOVE), 0);
}

TEST_F(MessagesTest, PostsFromManyThreadsAreAllDeliveredInEachThreadsOrder) {
  constexpr int kThreads = 4;
  constexpr int kEach = 2000;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < kEach; ++i) zr_post_message(WM_COMMAND, uintptr_t(t), i);
    });
  }
  for (auto& thread : threads) thread.join();
  std::vector<intptr_t> last(kThreads, -1);
  int count = 0;
  ZR_MSG msg;
  while (zr_peek_message(&msg, PM_REMOVE | PM_NOYIELD)) {
    ASSERT_LT(msg.wParam, uintptr_t(kThreads));
    EXPECT_EQ(msg.lParam, last[msg.wParam] + 1);
    last[msg.wParam] = msg.lParam;
    ++count;
  }
  EXPECT_EQ(count, kThreads * kEach);
}

struct KeyCase {
  const char* name;
  uint32_t virtualKey;
  uint32_t scanCode;
};

TEST_F(MessagesTest, KeyNamesGiveVirtualKeysAndSetOneScanCodes) {
  const KeyCase cases[] = {
      {"Escape", VK_ESCAPE, 1},
      {"Return", VK_RETURN, 28},
      {"Space", VK_SPACE, 57},
      {"Up", VK_UP, 200},
      {"Down", VK_DOWN, 208},
      {"Left", VK_LEFT, 203},
      {"Right", VK_RIGHT, 205},
      {"A", 'A', 30},
      {"Z", 'Z', 44},
      {"P", 'P', 25},
      {"I", 'I', 23},
      {"O", 'O', 24},
      {"B", 'B', 48},
      {"1", '1', 2},
      {"0", '0', 11},
      {"F1", VK_F1, 59},
      {"F10", VK_F10, 68},
      {"F11", VK_F11, 87},
      {"F12", VK_F12, 88},
      {"Left Alt", VK_LMENU, 56},
      {"Right Alt", VK_RMENU, 184},
      {"Left Ctrl", VK_LCONTROL, 29},
      {"Right Shift", VK_RSHIFT, 54},
      {"Keypad Enter", VK_RETURN, 156},
      {"Tab", VK_TAB, 15},
      {"Delete", VK_DELETE, 211},
  };
  for (const KeyCase& c : cases) {
    ZR_KEY key{};
    ASSERT_EQ(zr_key_from_name(c.name, &key), 1) << c.name;
    EXPECT_EQ(key.virtualKey, c.virtualKey) << c.name;
    EXPECT_EQ(key.scanCode, c.scanCode) << c.name;
  }
  ZR_KEY key{};
  EXPECT_EQ(zr_key_from_name("No Such Key", &key), 0);
  EXPECT_EQ(zr_key_from_name(nullptr, &key), 0);
}

TEST_F(MessagesTest, KeyLParamCarriesScanCodeExtendedAndTransitionBits) {
  auto bits = [](intptr_t lParam) { return uint32_t(lParam); };
  EXPECT_EQ(bits(zr_key_lparam(1, false, false, false)), 0x00010001u);
  EXPECT_EQ(bits(zr_key_lparam(200, false, false, false)), 0x01480001u);  // Up: 0x48, extended
  EXPECT_EQ(bits(zr_key_lparam(28, true, false, false)), 0xC01C0001u);    // released
  EXPECT_EQ(bits(zr_key_lparam(57, false, true, false)), 0x40390001u);    // repeat
  EXPECT_EQ(bits(zr_key_lparam(62, false, false, true)), 0x203E0001u);    // with Alt
}

TEST_F(MessagesTest, SimulatedKeysPostMessagesAndKeepTheKeyState) {
  ZR_MSG msg;
  ASSERT_EQ(zr_key_simulate("Up", true), 1);
  ASSERT_EQ(zr_peek_message(&msg, PM_REMOVE), 1);
  EXPECT_EQ(msg.message, WM_KEYDOWN);
  EXPECT_EQ(msg.wParam, VK_UP);
  EXPECT_EQ((uint32_t(msg.lParam) >> 16) & 0xFF, 0x48u);
  EXPECT_TRUE(zr_key_is_down(VK_UP));
  EXPECT_TRUE(zr_scan_is_down(200));

  // Held down: the next press is a repeat.
  ASSERT_EQ(zr_key_simulate("Up", true), 1);
  ASSERT_EQ(zr_peek_message(&msg, PM_REMOVE), 1);
  EXPECT_NE(uint32_t(msg.lParam) & (1u << 30), 0u);

  ASSERT_EQ(zr_key_simulate("Up", false), 1);
  ASSERT_EQ(zr_peek_message(&msg, PM_REMOVE), 1);
  EXPECT_EQ(msg.message, WM_KEYUP);
  EXPECT_FALSE(zr_key_is_down(VK_UP));
  EXPECT_FALSE(zr_scan_is_down(200));

  EXPECT_EQ(zr_key_simulate("No Such Key", true), 0);
}

TEST_F(MessagesTest, AltMakesSystemKeysAndModifiersCountOnEitherSide) {
  ZR_MSG msg;
  zr_key_simulate("Left Alt", true);
  ASSERT_EQ(zr_peek_message(&msg, PM_REMOVE), 1);
  EXPECT_EQ(msg.message, WM_SYSKEYDOWN);
  EXPECT_TRUE(zr_key_is_down(VK_MENU));
  EXPECT_TRUE(zr_scan_is_down(56));

  zr_key_simulate("Return", true);
  ASSERT_EQ(zr_peek_message(&msg, PM_REMOVE), 1);
  EXPECT_EQ(msg.message, WM_SYSKEYDOWN);
  EXPECT_EQ(msg.wParam, VK_RETURN);
  zr_key_simulate("Return", false);
  ASSERT_EQ(zr_peek_message(&msg, PM_REMOVE), 1);
  EXPECT_EQ(msg.message, WM_SYSKEYUP);
  zr_key_simulate("Left Alt", false);
  ASSERT_EQ(zr_peek_message(&msg, PM_REMOVE), 1);
  EXPECT_FALSE(zr_key_is_down(VK_MENU));

  // Ctrl stays down while either Ctrl key is.
  zr_key_simulate("Left Ctrl", true);
  zr_key_simulate("Right Ctrl", true);
  zr_key_simulate("Left Ctrl", false);
  EXPECT_TRUE(zr_key_is_down(VK_CONTROL));
  EXPECT_FALSE(zr_key_is_down(VK_LCONTROL));
  zr_key_simulate("Right Ctrl", false);
  EXPECT_FALSE(zr_key_is_down(VK_CONTROL));

  zr_key_simulate("Left Shift", true);
  zr_keys_release_all();
  EXPECT_FALSE(zr_key_is_down(VK_SHIFT));
}

}  // namespace
