// The whole start-up and shut-down in-process: every module up, WM_CLOSE twice, and the messages
// that still come after it reach no module that has shut down.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/app_state.h"
#include "app/frame_loop.h"
#include "app/startup.h"
#include "engine/platform/messages.h"
#include "window_support.h"

namespace {

using zrwindow::read_text;

TEST(ShutDownTest, RunsOnceAndLeavesTheModulesAloneAfterwards) {
  char pattern[] = "/tmp/zrshutdown.XXXXXX";
  const std::string dir = ::mkdtemp(pattern);
  std::filesystem::create_symlink(ZR_GAME_DIR "/VELDRAN.DAT", dir + "/VELDRAN.DAT");
  const std::filesystem::path old = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  ::setenv("ZR_RUNTIME_DIR", dir.c_str(), 1);

  StartOptions options;
  options.headless = true;
  options.virtualClock = true;
  ASSERT_EQ(StartUp(options), 1) << StartUpError();
  EXPECT_TRUE(ServicesRunning());
  EXPECT_NE(languages, nullptr);
  int exitCode = -1;
  for (int i = 0; i < 20; ++i) FrameLoopPass(&exitCode);

  AppMessageHandler(WM_CLOSE, 0, 0);
  EXPECT_FALSE(ServicesRunning());
  const ShutDownReport first = LastShutDown();
  EXPECT_TRUE(first.done);
  EXPECT_EQ(first.filesOpen, 0);
  EXPECT_EQ(first.memoryBlocks, 0);
  // A second close, and keys and commands for the sound and input modules that are gone.
  AppMessageHandler(WM_CLOSE, 0, 0);
  AppMessageHandler(WM_KEYDOWN, VK_F2, 0);
  AppMessageHandler(WM_COMMAND, 51002, 0);
  AppMessageHandler(WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_EQ(LastShutDown().memoryBlocks, 0);
  // The settings were written with the real state before the display let go.
  const std::string ini = read_text("zrsentry.ini");
  EXPECT_NE(ini.find("Fullscreen=0"), std::string::npos) << ini;
  EXPECT_NE(ini.find("Language=1"), std::string::npos) << ini;
  zr_clear_messages();

  ::unsetenv("ZR_RUNTIME_DIR");
  std::filesystem::current_path(old);
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
}

}  // namespace
