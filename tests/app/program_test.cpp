// The program itself, run as a separate process the way CI and players run it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app_support.h"

namespace {

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs zrsentry with the arguments in the current directory; env is put before the command.
Result RunProgram(const std::string& args, const std::string& env = "",
                  const std::string& program = ZR_GAME_DIR "/zrsentry") {
  Result result;
  const std::string errFile = "zr_stderr.txt";
  std::string command = env + " " + program + " " + args + " 2>" + errFile;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[512];
  while (size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) result.out.append(buffer, got);
  int status = ::pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  FILE* err = std::fopen(errFile.c_str(), "r");
  if (err) {
    while (size_t got = std::fread(buffer, 1, sizeof buffer, err)) result.err.append(buffer, got);
    std::fclose(err);
  }
  std::remove(errFile.c_str());
  return result;
}

int Lines(const std::string& text) {
  int lines = 0;
  for (char c : text) lines += c == '\n';
  return lines;
}

TEST(ProgramRunTest, HeadlessVirtualClockRunEndsCleanAndRepeats) {
  TempGameDir dir;
  ASSERT_FALSE(dir.path().empty());
  Result first = RunProgram("--headless --virtual-clock --frames 200");
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_NE(first.out.find("after 200 frames"), std::string::npos) << first.out;
  EXPECT_NE(first.out.find(" 0 files left open, 0 memory blocks (0 bytes) left"), std::string::npos)
      << first.out;
  // The report switches are off; nothing about leaks may reach the warning log either.
  std::string warnings = dir.Read("Warning.txt");
  EXPECT_EQ(warnings.find("not freed"), std::string::npos) << warnings;
  EXPECT_EQ(warnings.find("not closed"), std::string::npos) << warnings;

  Result second = RunProgram("--headless --virtual-clock --frames 200");
  EXPECT_EQ(second.status, 0);
  EXPECT_EQ(second.out, first.out);
}

TEST(ProgramRunTest, DataFolderOptionAndMissingDataFolder) {
  TempGameDir game;
  ASSERT_FALSE(game.path().empty());
  TempGameDir elsewhere(false);
  Result run = RunProgram("--headless --virtual-clock --frames 5 --data " + game.path());
  EXPECT_EQ(run.status, 0) << run.err;

  Result missing = RunProgram("--headless --data " + game.path() + "/nowhere");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(Lines(missing.err), 1) << missing.err;
  EXPECT_NE(missing.err.find("nowhere"), std::string::npos);

  // Neither the current folder nor the program's own folder holds data: a copy of the program
  // in an empty folder (the built game folder holds the archive, where it would start).
  const std::string lonely = elsewhere.path() + "/zrsentry";
  ASSERT_EQ(std::system(("cp " ZR_GAME_DIR "/zrsentry " + lonely).c_str()), 0);
  Result empty = RunProgram("--headless --virtual-clock --frames 5", "", lonely);
  EXPECT_EQ(empty.status, 1);
  EXPECT_EQ(Lines(empty.err), 1) << empty.err;
}

TEST(ProgramRunTest, HelpVersionAndBadOptions) {
  TempGameDir dir(false);
  Result help = RunProgram("--help");
  EXPECT_EQ(help.status, 0);
  for (const char* option : {"--virtual-clock", "--play", "--input", "--trace", "--shot"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
  Result version = RunProgram("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("zrsentry ", 0), 0u) << version.out;
  Result bad = RunProgram("--frames");
  EXPECT_NE(bad.status, 0);
  EXPECT_EQ(Lines(bad.err), 1) << bad.err;
}

TEST(ProgramRunTest, PlayRefusesBadLevelsAndUnusableFilesWithOneLine) {
  TempGameDir dir;
  ASSERT_FALSE(dir.path().empty());
  for (const char* level : {"0", "21", "x"}) {
    Result run = RunProgram(std::string("--headless --virtual-clock --frames 5 --play ") + level);
    EXPECT_EQ(run.status, 2) << level;
    EXPECT_EQ(Lines(run.err), 1) << run.err;
  }
  std::ofstream("short.txt") << "0 0 0 0 0 0 0\n1 0 0\n";
  struct Case {
    std::string args;
    std::string named;  // the reason names this
  };
  const std::vector<Case> cases = {
      {"--input missing.txt", "missing.txt"},
      {"--input short.txt", "line 2"},
      {"--input .", "'.'"},
      {"--trace nowhere/t.txt", "nowhere/t.txt"},
  };
  for (const Case& c : cases) {
    Result run = RunProgram("--headless --virtual-clock --frames 5 --play 1 " + c.args);
    EXPECT_EQ(run.status, 1) << c.args;
    EXPECT_EQ(Lines(run.err), 1) << run.err;
    EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;  // stopped before start-up
  }
}

TEST(ProgramRunTest, AFailureOfTheWorldEngineEndsWithStatusOneAndOneLine) {
  TempGameDir dir;
  ASSERT_FALSE(dir.path().empty());
  std::remove("data/font.dat");  // the game's set-up cannot load the editing font
  Result run = RunProgram("--headless --virtual-clock --frames 5");
  EXPECT_EQ(run.status, 1);
  // Headless, the warning box goes to standard error too; the program's own line ends it.
  size_t last = run.err.rfind('\n', run.err.size() - 2);
  std::string lastLine = run.err.substr(last == std::string::npos ? 0 : last + 1);
  EXPECT_EQ(lastLine, "zrsentry: Error: Cant open the file : data\\font.dat\n") << run.err;
  EXPECT_NE(dir.Read("Warning.txt").find("font.dat"), std::string::npos);
}

TEST(ProgramRunTest, WithoutADisplayAWindowedRunStopsWithOneLine) {
  TempGameDir dir;
  Result run = RunProgram("--frames 5", "env -u DISPLAY -u WAYLAND_DISPLAY");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Lines(run.err), 1) << run.err;
  EXPECT_NE(run.err.find("--headless"), std::string::npos) << run.err;
}

// A data archive whose INIFile and SCRFile lead outside the game's folder: the game starts, says
// so once, and writes nothing beside its folder.
TEST(ProgramRunTest, NamesFromTheDataStayInsideTheGamesFolder) {
  const std::string archive = ZR_GAME_DIR "/VELDRAN.DAT";
  if (!std::filesystem::exists(archive)) GTEST_SKIP() << "no game archive at " << archive;
  TempGameDir root(false);
  ASSERT_FALSE(root.path().empty());
  const std::string zrpack = ZR_BIN_DIR "/zrpack";
  ASSERT_EQ(std::system((zrpack + " extract " + archive + " src >/dev/null").c_str()), 0);
  std::string texts = root.Read("src/DATA/TEXTS.TXT");
  const std::string outside = root.path() + "/outside.ini";
  for (auto [key, value] :
       {std::pair<std::string, std::string>{"INIFile=", outside}, {"SCRFile=", "..\\scores.txt"}}) {
    size_t at = texts.find("\n" + key);
    ASSERT_NE(at, std::string::npos) << key;
    at += 1 + key.size();
    texts.replace(at, texts.find_first_of("\r\n", at) - at, value);
  }
  { std::ofstream("src/DATA/TEXTS.TXT", std::ios::binary) << texts; }
  std::filesystem::create_directory("game");
  ASSERT_EQ(std::system((zrpack + " create game/VELDRAN.DAT src >/dev/null").c_str()), 0);
  std::filesystem::remove_all("src");

  ASSERT_EQ(::chdir("game"), 0);
  Result run = RunProgram("--headless --virtual-clock --frames 100");
  ASSERT_EQ(::chdir(".."), 0);
  EXPECT_EQ(run.status, 0) << run.err;
  std::string warnings = root.Read("game/Warning.txt");
  int told = 0;
  for (size_t at = 0; (at = warnings.find("outside the game's folder", at)) != std::string::npos;
       ++at)
    ++told;
  EXPECT_EQ(told, 1) << warnings;
  EXPECT_NE(warnings.find("INIFile=" + outside), std::string::npos) << warnings;
  EXPECT_NE(warnings.find("SCRFile=..\\scores.txt"), std::string::npos) << warnings;
  std::vector<std::string> beside;
  for (const auto& entry : std::filesystem::directory_iterator(root.path()))
    beside.push_back(entry.path().filename().string());
  EXPECT_EQ(beside, std::vector<std::string>{"game"});
}

}  // namespace
