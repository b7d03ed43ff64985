#include "app/command_line.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "app_support.h"

namespace {

int Parse(std::vector<const char*> args, CommandLine* line, std::string* error) {
  args.insert(args.begin(), "zrsentry");
  return ParseCommandLine(int(args.size()), args.data(), line, error);
}

TEST(CommandLineTest, ReadsEveryOption) {
  CommandLine line;
  std::string error;
  ASSERT_EQ(Parse({"--headless", "--virtual-clock", "--frames", "200", "--data", "/tmp/x", "--view",
                   "level\\level1.txt", "--shot", "out.pcx", "--at", "600,40.5,-3"},
                  &line, &error),
            1)
      << error;
  EXPECT_TRUE(line.headless);
  EXPECT_TRUE(line.virtualClock);
  EXPECT_EQ(line.frames, 200);
  EXPECT_EQ(line.dataDir, "/tmp/x");
  EXPECT_TRUE(line.view);
  EXPECT_EQ(line.viewer.levelFile, "level\\level1.txt");
  EXPECT_EQ(line.viewer.shotPath, "out.pcx");
  EXPECT_TRUE(line.viewer.headless);
  EXPECT_TRUE(line.viewer.hasCamera);
  EXPECT_DOUBLE_EQ(line.viewer.cameraX, 600);
  EXPECT_DOUBLE_EQ(line.viewer.cameraY, 40.5);
  EXPECT_DOUBLE_EQ(line.viewer.cameraZ, -3);

  ASSERT_EQ(Parse({"--help"}, &line, &error), 1);
  EXPECT_TRUE(line.help);
  EXPECT_FALSE(line.headless);  // nothing left over from the last line
}

TEST(CommandLineTest, PlayTakesAnOptionalLevelAndItsFiles) {
  CommandLine line;
  std::string error;
  ASSERT_EQ(Parse({"--play", "--headless"}, &line, &error), 1) << error;
  EXPECT_TRUE(line.play);
  EXPECT_EQ(line.game.level, 1);
  EXPECT_TRUE(line.headless);

  ASSERT_EQ(Parse({"--shot", "end.pcx", "--play", "20", "--input", "in.txt", "--trace", "t.txt"},
                  &line, &error),
            1)
      << error;
  EXPECT_EQ(line.game.level, 20);
  EXPECT_EQ(line.game.inputFile, "in.txt");
  EXPECT_EQ(line.game.traceFile, "t.txt");
  EXPECT_EQ(line.game.shotFile, "end.pcx");
  EXPECT_TRUE(line.viewer.shotPath.empty());  // the shot belongs to the game here
  EXPECT_FALSE(line.view);
}

TEST(CommandLineTest, RefusesBadLinesWithOneLineReasons) {
  const std::vector<std::vector<const char*>> bad = {
      {"--frames"},         {"--frames", "ten"},
      {"--frames", "-1"},   {"--frames", "5x"},
      {"--data"},           {"--view"},
      {"--at", "1,2"},      {"--shot", "a.pcx"},
      {"--bogus"},          {"--view", "l.txt", "--at", "1,2,3,4"},
      {"--play", "0"},      {"--play", "21"},
      {"--play", "-3"},     {"--play", "1x"},
      {"--play", "two"},    {"--input", "in.txt"},
      {"--trace", "t"},     {"--play", "--input"},
      {"--play", "--shot"}, {"--view", "l.txt", "--play"},
  };
  for (const auto& args : bad) {
    CommandLine line;
    std::string error;
    EXPECT_EQ(Parse(args, &line, &error), 0) << args[0];
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(error.find('\n'), std::string::npos);
  }
}

std::string Cwd() {
  char buffer[PATH_MAX];
  return ::getcwd(buffer, sizeof buffer) ? buffer : "";
}

TEST(StartDirectoryTest, DataFolderBecomesCurrentAndNamesMatchInAnyCase) {
  TempGameDir game;  // data/texts.txt in lower case
  ASSERT_FALSE(game.path().empty());
  EXPECT_TRUE(HoldsGameData(game.path()));
  TempGameDir empty(false);  // now current, and empty
  std::string error;
  EXPECT_FALSE(HoldsGameData("."));
  ASSERT_EQ(ChooseStartDirectory(game.path(), &error), 1) << error;
  EXPECT_EQ(std::filesystem::canonical(Cwd()), std::filesystem::canonical(game.path()));
}

TEST(StartDirectoryTest, ArchiveAloneIsGameData) {
  TempGameDir dir(false);
  std::ofstream("veldran.dat") << "x";
  std::string error;
  EXPECT_EQ(ChooseStartDirectory("", &error), 1) << error;
}

TEST(StartDirectoryTest, MissingOrEmptyFoldersAreRefused) {
  TempGameDir dir(false);
  std::string error;
  EXPECT_EQ(ChooseStartDirectory(dir.path() + "/missing", &error), 0);
  EXPECT_NE(error.find("missing"), std::string::npos) << error;
  // An empty current directory, and no game data beside the test program either.
  EXPECT_EQ(ChooseStartDirectory("", &error), 0);
  EXPECT_NE(error.find("no game data"), std::string::npos) << error;
}

}  // namespace
