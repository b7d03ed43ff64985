// The program with every module: a clean start and shut-down, the [Display] keys and the
// language written at exit, and a second copy that stops at once.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "window_support.h"

namespace {

using zrwindow::read_text;
using zrwindow::write_text;

struct Outcome {
  int status = -1;
  std::string out;
};

Outcome Shell(const std::string& command) {
  Outcome run;
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[512];
  while (size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) run.out.append(buffer, got);
  const int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class WindowProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zrwinprog.XXXXXX";
    dir_ = ::mkdtemp(pattern);
    std::filesystem::create_symlink(ZR_GAME_DIR "/VELDRAN.DAT", dir_ + "/VELDRAN.DAT");
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  std::string Program(const std::string& args) const {
    return "cd " + dir_ + " && ZR_RUNTIME_DIR=" + dir_ + " " ZR_GAME_DIR "/zrsentry " + args;
  }
  std::string Ini() const { return read_text(dir_ + "/zrsentry.ini"); }
  std::string dir_;
};

TEST_F(WindowProgramTest, StartAndShutDownLeaveNothingAndWriteTheRealState) {
  // Start-up writes Fullscreen=1 until the exit writes the real state.
  Outcome run = Shell(Program("--headless --virtual-clock --frames 60"));
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find(" 0 files left open, 0 memory blocks (0 bytes) left"), std::string::npos)
      << run.out;
  EXPECT_NE(Ini().find("Fullscreen=0"), std::string::npos) << Ini();
  EXPECT_NE(Ini().find("Resolution="), std::string::npos) << Ini();
  EXPECT_NE(Ini().find("WindowPosition="), std::string::npos) << Ini();
  EXPECT_NE(Ini().find("Language=1"), std::string::npos) << Ini();

  // A full screen in 640 x 480 at 8 bits and French stay what they were.
  write_text(dir_ + "/zrsentry.ini",
             "[Display]\r\nFullscreen=1\r\nResolution=640x480x8\r\n[Application]\r\n"
             "Language=2\r\n");
  run = Shell(Program("--headless --virtual-clock --frames 60"));
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find(" 0 memory blocks (0 bytes) left"), std::string::npos) << run.out;
  EXPECT_NE(Ini().find("Fullscreen=1"), std::string::npos) << Ini();
  EXPECT_NE(Ini().find("Resolution=640x480x8"), std::string::npos) << Ini();
  EXPECT_NE(Ini().find("FullPosition=160,140,320,200"), std::string::npos) << Ini();
  EXPECT_NE(Ini().find("Language=2"), std::string::npos) << Ini();
}

TEST_F(WindowProgramTest, ASecondCopyStopsAtOnceWhileTheFirstRuns) {
  // The first copy runs until it is told to stop (SIGTERM closes it like its close button); the
  // second starts meanwhile.
  const std::string both = "(" + Program("--headless") + " > first.txt 2>&1 & first=$!;" +
                           " sleep 0.7; " + Program("--headless --frames 5") + "; echo second=$?;" +
                           " kill $first; wait $first; echo first=$?; cat first.txt)";
  Outcome run = Shell(both);
  EXPECT_NE(run.out.find("another copy is running"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("second=0"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("first=0"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(" 0 memory blocks (0 bytes) left"), std::string::npos) << run.out;
}

}  // namespace
