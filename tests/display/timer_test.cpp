#include "engine/display/timer.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/platform/message_box.h"
#include "engine/platform/messages.h"
#include "engine/platform/video.h"

namespace {

int ticks = 0;
void Tick() {
  ++ticks;
}

std::string shownText, shownCaption;
int RecordBox(const char* text, const char* caption, uint32_t) {
  shownText = text;
  shownCaption = caption ? caption : "(null)";
  return IDOK;
}

TEST(TimerTest, StopClearsTheIdentifierAndIsHarmlessTwiceOrWithZero) {
  zr_clock_use_virtual(true);
  ticks = 0;
  uint32_t id = zr_timer_start(Tick, 10);
  ASSERT_NE(id, 0u);
  zr_clock_advance(30);
  EXPECT_EQ(ticks, 3);
  zr_timer_stop(&id);
  EXPECT_EQ(id, 0u);
  zr_timer_stop(&id);
  EXPECT_EQ(id, 0u);
  zr_timer_stop(nullptr);
  zr_clock_advance(30);
  EXPECT_EQ(ticks, 3);
  zr_clock_use_virtual(false);
}

TEST(TimerTest, FailureShowsTheFatalMessageUnderTheWindowTitleAndPostsClose) {
  zr_clear_messages();
  zr_window_set_title("ZRSENTRY");
  zr_message_box_set_hook(RecordBox);
  EXPECT_EQ(zr_timer_start(Tick, 0), 0u);
  zr_message_box_set_hook(nullptr);
  EXPECT_EQ(shownText, "Timer Init failed. You should restart Windows and try again");
  EXPECT_EQ(shownCaption, "ZRSENTRY");
  ZR_MSG msg;
  ASSERT_EQ(zr_peek_message(&msg, PM_REMOVE), 1);
  EXPECT_EQ(msg.message, WM_CLOSE);
  zr_clear_messages();
  zr_window_set_title("");
}

}  // namespace
