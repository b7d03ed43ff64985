// The command line of the recorder, the autopilot and the demo.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"

namespace {

bool Parse(std::vector<const char*> args, CommandLine* out, std::string* error) {
  args.insert(args.begin(), "zrsentry");
  return ParseCommandLine(int(args.size()), args.data(), out, error) == 1;
}

TEST(AttractOptionsTest, RecorderAutopilotAndDemoOptions) {
  CommandLine line;
  std::string error;
  ASSERT_TRUE(
      Parse({"--record", "r.txt", "--play", "3", "--autopilot", "--invulnerable", "--one-level"},
            &line, &error))
      << error;
  EXPECT_EQ(line.recordFile, "r.txt");
  EXPECT_TRUE(line.autopilot);
  EXPECT_TRUE(line.autopilotOptions.invulnerable);
  EXPECT_TRUE(line.autopilotOptions.oneLevel);
  EXPECT_EQ(line.game.level, 3);

  ASSERT_TRUE(Parse({"--demo", "8", "--input", "i.txt", "--trace", "t.txt"}, &line, &error));
  EXPECT_EQ(line.demoLevel, 8);
  EXPECT_FALSE(line.play);
  EXPECT_EQ(line.game.inputFile, "i.txt");

  ASSERT_TRUE(Parse({"--record", "r.txt"}, &line, &error)) << "games started from the menu";

  struct Bad {
    std::vector<const char*> args;
    const char* reason;
  } bad[] = {
      {{"--record"}, "--record needs an output file"},
      {{"--invulnerable"}, "--invulnerable and --one-level go with --autopilot"},
      {{"--one-level", "--play"}, "--invulnerable and --one-level go with --autopilot"},
      {{"--demo"}, "--demo needs a level from 1 to 20"},
      {{"--demo", "21"}, "--demo needs a level from 1 to 20, not '21'"},
      {{"--demo", "9", "--play"}, "--demo goes with neither --play nor --view"},
      {{"--view", "level\\level1.txt", "--autopilot"},
       "--autopilot and --record do not go with --view"},
  };
  for (const Bad& b : bad) {
    error.clear();
    EXPECT_FALSE(Parse(b.args, &line, &error)) << b.reason;
    EXPECT_EQ(error, b.reason);
  }
}

}  // namespace
