#include "app/play_session.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/input/player.h"

namespace {

TEST(ControlsFileTest, ReadsTheDemoRecordingFormatAndItsVariants) {
  std::vector<ControlsStep> steps;
  std::string error;
  // The recordings' own form (a blank after every flag), CR LF ends, tabs and no last end.
  ASSERT_EQ(ParseControlsText("1 0 0 0 0 0 0 \n0 1 0 0 0 0 1\r\n0\t0 1 1 0 1 0\n0 0 0 0 1 0 0",
                              &steps, &error),
            1)
      << error;
  const std::vector<ControlsStep> expected = {1u << CF_FIRE, (1u << CF_RIGHT) | (1u << CF_BUTTON2),
                                              (1u << CF_LEFT) | (1u << CF_UP) | (1u << CF_BUTTON1),
                                              1u << CF_DOWN};
  EXPECT_EQ(steps, expected);

  ASSERT_EQ(ParseControlsText("", &steps, &error), 1);
  EXPECT_TRUE(steps.empty());
}

TEST(ControlsFileTest, RefusesAnythingElseNamingTheLine) {
  const std::vector<std::pair<std::string, int>> bad = {
      {"0 0 0 0 0 0\n", 1},                     // six flags
      {"0 0 0 0 0 0 0 0\n", 1},                 // eight
      {"0 0 0 0 0 0 0\n0 0 0 2 0 0 0\n", 2},    // not a flag
      {"0 0 0 0 0 0 0\n\n0 0 0 0 0 0 0\n", 2},  // an empty line
      {"00 0 0 0 0 0 0\n", 1},                  // flags run together
      {"0000000\n", 1},
      {"0 0 0 0 0 0 -1\n", 1},
      {"0 0 0 0 0 0 0 # fire\n", 1},
      {std::string("0 0 0 0 0 0 0\n0 0 0\0 0 0 0 0\n", 24), 2},
      {"0 0 0 0 0 0 0" + std::string(300, ' ') + "\n", 1},  // longer than a recording's line
      {"\xff\xfe", 1},
  };
  for (const auto& [text, line] : bad) {
    std::vector<ControlsStep> steps;
    std::string error;
    EXPECT_EQ(ParseControlsText(text, &steps, &error), 0) << text;
    EXPECT_NE(error.find("line " + std::to_string(line) + ":"), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
  }
}

TEST(ControlsFileTest, FlagsGoToTheirControlsAndButtonThreeStaysReleased) {
  uint8_t controls[8];
  std::fill(std::begin(controls), std::end(controls), 0x80);
  ApplyControlsStep((1u << CF_FIRE) | (1u << CF_LEFT) | (1u << CF_BUTTON2), controls);
  EXPECT_EQ(controls[ZR_BUTTON4], 1);
  EXPECT_EQ(controls[ZR_LEFT], 1);
  EXPECT_EQ(controls[ZR_BUTTON2], 1);
  for (int released : {ZR_UP, ZR_DOWN, ZR_RIGHT, ZR_BUTTON1, ZR_BUTTON3}) {
    EXPECT_EQ(controls[released], 0) << released;
  }
  ApplyControlsStep((1u << CF_RIGHT) | (1u << CF_UP) | (1u << CF_DOWN) | (1u << CF_BUTTON1),
                    controls);
  const uint8_t expected[8] = {1, 1, 0, 1, 1, 0, 0, 0};
  EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), controls));
}

}  // namespace
