#include "engine/platform/message_box.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/platform/video.h"
#include "platform_support.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class HeadlessBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir.path().empty());
    ASSERT_EQ(zr_platform_init(true), 1) << zr_platform_error();
  }
  void TearDown() override { zr_platform_quit(); }
  ScopedTempDir dir;
};

TEST_F(HeadlessBoxTest, LogsToWarningTxtAndAnswersTheDefaultButton) {
  EXPECT_TRUE(zr_platform_is_headless());
  testing::internal::CaptureStderr();
  EXPECT_EQ(zr_message_box("Timer failed", "ZRSENTRY", MB_OK), IDOK);
  EXPECT_EQ(zr_message_box("No caption", nullptr, MB_ICONEXCLAMATION), IDOK);
  EXPECT_EQ(zr_message_box("Really?", "Question", MB_YESNO | MB_ICONQUESTION), IDYES);
  EXPECT_EQ(zr_message_box("Second", "Default", MB_OKCANCEL | 0x100), IDCANCEL);
  std::string errors = testing::internal::GetCapturedStderr();
  const std::string expected =
      "ZRSENTRY: Timer failed\nError: No caption\nQuestion: Really?\nDefault: Second\n";
  EXPECT_EQ(ReadFile("Warning.txt"), expected);
  EXPECT_EQ(errors, expected);

  // Appended, never truncated.
  testing::internal::CaptureStderr();
  zr_message_box("More", "Later", MB_OK);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(ReadFile("Warning.txt"), expected + "Later: More\n");
}

TEST(MessageBoxTest, BeforeThePlatformStartsBoxesAreLoggedToo) {
  ScopedTempDir dir;
  ASSERT_FALSE(zr_platform_is_started());
  testing::internal::CaptureStderr();
  EXPECT_EQ(zr_message_box("Early", "Start", MB_OKCANCEL), IDOK);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Start: Early\n");
  EXPECT_EQ(ReadFile("Warning.txt"), "Start: Early\n");
}

std::vector<std::string> events;

int FakeBox(const char* text, const char* caption, uint32_t type) {
  events.push_back(std::string("box ") + (caption ? caption : "(null)") + " " + text + " " +
                   std::to_string(type));
  return IDNO;
}
void Before() {
  events.push_back("before");
}
void After() {
  events.push_back("after");
}

TEST(MessageBoxHookTest, HookAnswersEveryBoxBetweenTheStepsWithSystemModalAdded) {
  ScopedTempDir dir;
  events.clear();
  zr_message_box_set_hook(FakeBox);
  zr_message_box_set_steps(Before, After);
  EXPECT_EQ(zr_message_box("Quit?", nullptr, MB_YESNO), IDNO);
  zr_message_box_set_steps(nullptr, nullptr);
  zr_message_box_set_hook(nullptr);
  const std::vector<std::string> expected = {
      "before", "box (null) Quit? " + std::to_string(MB_YESNO | MB_SYSTEMMODAL), "after"};
  EXPECT_EQ(events, expected);
  EXPECT_FALSE(std::ifstream("Warning.txt").good());  // the hook replaced the log
}

}  // namespace
