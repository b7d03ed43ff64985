// The real window under Xvfb (skipped with a message where xvfb-run or xdotool is missing): it
// opens with its menu bar, the bar speaks the chosen language, Alt+Enter goes to full screen (bar
// hidden) and back, and the program closes cleanly on SIGTERM. Font rasterisation may differ
// between machines, so the pictures are checked by what they must show (the bar's colour over its
// rows, labels that differ between languages, the sizes) rather than against golden files.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "window_support.h"

namespace {

using zrwindow::read_text;
using zrwindow::write_text;

struct Shot {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // 0xRRGGBB, top row first
  uint32_t at(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

// A 32-bit BMP as SDL_SaveBMP writes it (bottom-up unless the height is negative).
Shot ReadBmp(const std::string& path) {
  Shot shot;
  const std::string data = read_text(path);
  if (data.size() < 54 || data[0] != 'B' || data[1] != 'M') return shot;
  auto u32 = [&](size_t at) {
    return uint32_t(uint8_t(data[at])) | uint32_t(uint8_t(data[at + 1])) << 8 |
           uint32_t(uint8_t(data[at + 2])) << 16 | uint32_t(uint8_t(data[at + 3])) << 24;
  };
  const uint32_t offset = u32(10);
  const int32_t width = int32_t(u32(18)), height = int32_t(u32(22));
  const int bits = uint8_t(data[28]) | uint8_t(data[29]) << 8;
  const int rows = height < 0 ? -height : height;
  if (bits != 32 || width <= 0 || offset + size_t(width) * rows * 4 > data.size()) return shot;
  shot.width = width;
  shot.height = rows;
  shot.pixels.resize(size_t(width) * rows);
  for (int y = 0; y < rows; ++y) {
    const int stored = height > 0 ? rows - 1 - y : y;
    for (int x = 0; x < width; ++x) {
      shot.pixels[size_t(y) * width + x] =
          u32(offset + (size_t(stored) * width + x) * 4) & 0xFFFFFF;
    }
  }
  return shot;
}

// Share of the pixels of rows [top, bottom) that have ImGui's dark menu-bar colour.
double BarShare(const Shot& shot, int top, int bottom) {
  int bar = 0, all = 0;
  for (int y = top; y < bottom && y < shot.height; ++y) {
    for (int x = 0; x < shot.width; ++x, ++all) bar += shot.at(x, y) == 0x242424;
  }
  return all ? double(bar) / all : 0;
}

bool Have(const char* tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

class XvfbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Have("xvfb-run") || !Have("xdotool")) {
      GTEST_SKIP() << "xvfb-run or xdotool is not installed: the window is not tried";
    }
    char pattern[] = "/tmp/zrxvfb.XXXXXX";
    dir_ = ::mkdtemp(pattern);
    std::filesystem::create_symlink(ZR_GAME_DIR "/VELDRAN.DAT", dir_ + "/VELDRAN.DAT");
  }
  void TearDown() override {
    std::error_code ignored;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
  }
  // Runs the program in a 1280x800 Xvfb screen; `steps` runs once its window shows, with the
  // latest window picture kept in shot.bmp and `keep NAME` copying it. Returns the script's log.
  std::string RunWindow(const std::string& steps) {
    const std::string script = dir_ + "/run.sh";
    write_text(
        script,
        "#!/bin/bash\ncd " + dir_ + "\nexport SDL_AUDIODRIVER=dummy ZR_RUNTIME_DIR=" + dir_ +
            " ZR_WINDOW_SHOT=" + dir_ +
            "/shot.bmp\n"
            "keep() { sleep 0.6; cp shot.bmp \"$1.bmp\"; }\n"
            // After a switch, up to five seconds for the picture of the other size.
            "switched() { b=$(stat -c %s shot.bmp); for i in $(seq 50); do sleep 0.1;"
            " [ \"$(stat -c %s shot.bmp)\" != \"$b\" ] && break; done; }\n"
            "\"" ZR_GAME_DIR
            "/zrsentry\" > game.txt 2>&1 &\npid=$!\n"
            "win=$(timeout 10 xdotool search --sync --onlyvisible --name ZRSENTRY | head -1)\n"
            "xdotool windowfocus --sync \"$win\" 2>/dev/null\nsleep 0.8\n" +
            steps + "\nkill $pid\nwait $pid\necho \"exit=$?\"\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    std::string log;
    FILE* pipe = ::popen(
        ("timeout 60 xvfb-run -a -s '-screen 0 1280x800x24' " + script + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return log;
    char buffer[256];
    while (size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) log.append(buffer, got);
    ::pclose(pipe);
    return log;
  }
  std::string dir_;
};

TEST_F(XvfbTest, TheWindowShowsItsBarInTwoLanguagesGoesFullScreenAndBackAndCloses) {
  std::string log = RunWindow(
      "keep english\nxdotool key alt+Return\nswitched\nkeep full\nxdotool key alt+Return\n"
      "switched\nkeep back");
  EXPECT_NE(log.find("exit=0"), std::string::npos) << log << read_text(dir_ + "/game.txt");
  const Shot english = ReadBmp(dir_ + "/english.bmp");
  const Shot full = ReadBmp(dir_ + "/full.bmp");
  const Shot back = ReadBmp(dir_ + "/back.bmp");
  ASSERT_GT(english.width, 0) << log;
  // The window: the bar over its top rows, the picture below it.
  EXPECT_GT(BarShare(english, 0, 16), 0.8);
  EXPECT_LT(BarShare(english, 40, english.height), 0.2);
  // Full screen: the whole screen, the bar hidden until the player reaches for it.
  EXPECT_EQ(full.width, 1280);
  EXPECT_EQ(full.height, 800);
  EXPECT_LT(BarShare(full, 0, 16), 0.2);
  // Back in the window, at its size, with its bar.
  EXPECT_EQ(back.width, english.width);
  EXPECT_EQ(back.height, english.height);
  EXPECT_GT(BarShare(back, 0, 16), 0.8);
  const std::string ini = read_text(dir_ + "/zrsentry.ini");
  EXPECT_NE(ini.find("Fullscreen=0"), std::string::npos) << ini;

  // French: the same bar with other labels.
  write_text(dir_ + "/zrsentry.ini", "[Application]\r\nLanguage=2\r\n");
  log = RunWindow("keep french");
  EXPECT_NE(log.find("exit=0"), std::string::npos) << log;
  const Shot french = ReadBmp(dir_ + "/french.bmp");
  ASSERT_EQ(french.width, english.width);
  EXPECT_GT(BarShare(french, 0, 16), 0.8);
  int differ = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < french.width; ++x) differ += french.at(x, y) != english.at(x, y);
  }
  EXPECT_GT(differ, 50) << "the labels should differ between English and French";
  EXPECT_NE(read_text(dir_ + "/zrsentry.ini").find("Language=2"), std::string::npos);
}

}  // namespace
