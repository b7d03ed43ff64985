#include "engine/platform/clock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

std::vector<std::pair<char, uint32_t>> calls;  // which timer, at what time
uint32_t selfStopping = 0;

void timerA() {
  calls.push_back({'A', zr_get_tick_count()});
}
void timerB() {
  calls.push_back({'B', zr_get_tick_count()});
}
void stopsItself() {
  calls.push_back({'S', zr_get_tick_count()});
  zr_platform_timer_stop(selfStopping);
}

class VirtualClockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zr_clock_use_virtual(true);
    calls.clear();
  }
  void TearDown() override { zr_clock_use_virtual(false); }
};

TEST_F(VirtualClockTest, TimeMovesOnlyWhenAdvancedAndTimersFireOnSchedule) {
  uint32_t start = zr_get_tick_count();
  uint32_t a = zr_platform_timer_start(timerA, 10);
  ASSERT_NE(a, 0u);
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(zr_get_tick_count(), start);
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(zr_clock_next_due(), 10u);

  zr_clock_advance(35);
  EXPECT_EQ(zr_get_tick_count(), start + 35);
  ASSERT_EQ(calls.size(), 3u);
  for (size_t i = 0; i < calls.size(); ++i) EXPECT_EQ(calls[i].second, start + 10 * (i + 1));
  EXPECT_EQ(zr_clock_next_due(), 5u);

  zr_platform_timer_stop(a);
  zr_clock_advance(100);
  EXPECT_EQ(calls.size(), 3u);
  EXPECT_EQ(zr_clock_next_due(), 0u);
}

TEST_F(VirtualClockTest, TwoTimersInterleaveByTheirDeadlines) {
  uint32_t start = zr_get_tick_count();
  uint32_t a = zr_platform_timer_start(timerA, 10);
  uint32_t b = zr_platform_timer_start(timerB, 15);
  zr_clock_advance(30);
  zr_platform_timer_stop(a);
  zr_platform_timer_stop(b);
  const std::vector<std::pair<char, uint32_t>> expected = {{'A', start + 10},
                                                           {'B', start + 15},
                                                           {'A', start + 20},
                                                           {'A', start + 30},
                                                           {'B', start + 30}};
  ASSERT_EQ(calls.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(calls[i].second, expected[i].second) << i;
  }
  // Equal deadlines: both fire, in either order.
  EXPECT_EQ(calls[0].first, 'A');
  EXPECT_EQ(calls[1].first, 'B');
  EXPECT_EQ(calls[2].first, 'A');
}

TEST_F(VirtualClockTest, SleepMovesTheClockAndATimerMayStopItself) {
  selfStopping = zr_platform_timer_start(stopsItself, 5);
  ASSERT_NE(selfStopping, 0u);
  uint32_t before = zr_get_tick_count();
  zr_sleep_ms(50);
  EXPECT_EQ(zr_get_tick_count(), before + 50);
  EXPECT_EQ(calls.size(), 1u);
  zr_platform_timer_stop(selfStopping);  // already stopped: harmless
}

TEST(ClockTest, StartRefusesNoCallbackOrZeroPeriodAndStopIgnoresUnknownIds) {
  EXPECT_EQ(zr_platform_timer_start(nullptr, 10), 0u);
  EXPECT_EQ(zr_platform_timer_start(timerA, 0), 0u);
  zr_platform_timer_stop(0);
  zr_platform_timer_stop(123456);
}

std::atomic<int> realCalls{0};
std::atomic<bool> blockOnce{false};

void realTick() {
  if (blockOnce.exchange(false)) std::this_thread::sleep_for(std::chrono::milliseconds(200));
  ++realCalls;
}

// The real timer keeps to absolute deadlines: it never runs ahead of them, and after a callback
// that overran by 20 periods it catches up instead of shifting every later call. The bounds are
// loose so that a busy machine does not fail the test.
TEST(ClockTest, RealTimerIsPacedByAbsoluteDeadlines) {
  ASSERT_FALSE(zr_clock_is_virtual());
  realCalls = 0;
  blockOnce = true;
  auto start = std::chrono::steady_clock::now();
  uint32_t id = zr_platform_timer_start(realTick, 10);
  ASSERT_NE(id, 0u);
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  int calls = realCalls;
  auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::steady_clock::now() - start)
                     .count();
  zr_platform_timer_stop(id);
  int afterStop = realCalls;
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(realCalls, afterStop);  // nothing runs once stop has returned
  EXPECT_LE(calls, elapsed / 10 + 1);
  // A timer that counted from each call's end would be 20 periods behind here.
  EXPECT_GE(calls, elapsed / 10 - 12);
}

TEST(ClockTest, RealTickCountFollowsTheSteadyClock) {
  ASSERT_FALSE(zr_clock_is_virtual());
  uint32_t before = zr_get_tick_count();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  uint32_t after = zr_get_tick_count();
  EXPECT_GE(after - before, 20u);
  EXPECT_LT(after - before, 5000u);
}

}  // namespace
