// Opening a page in the browser: the launcher's exit status is the answer (a stand-in xdg-open on
// the PATH exits with the status the test asks for), nothing is started when headless, and the
// about box is answered at once when headless.
#include "engine/platform/dialog.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "engine/platform/message_box.h"
#include "engine/platform/video.h"
#include "platform_support.h"

namespace {

class OpenUrlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir.path().empty());
    const char* path = std::getenv("PATH");
    oldPath = path ? path : "";
    setenv("PATH", (dir.path() + ":" + oldPath).c_str(), 1);
  }
  void TearDown() override { setenv("PATH", oldPath.c_str(), 1); }

  // An xdg-open that notes its argument and exits with status.
  void Launcher(int status) {
    const std::string file = dir.path() + "/xdg-open";
    std::ofstream(file) << "#!/bin/sh\necho \"$1\" > " << dir.path() << "/asked\nexit " << status
                        << "\n";
    ::chmod(file.c_str(), 0755);
  }
  std::string Asked() {
    std::ifstream in(dir.path() + "/asked");
    std::string line;
    std::getline(in, line);
    return line;
  }

  ScopedTempDir dir;
  std::string oldPath;
};

TEST_F(OpenUrlTest, TheLaunchersStatusIsTheAnswer) {
  Launcher(0);
  EXPECT_EQ(zr_open_url("file:///tmp/help_EN.htm"), 1);
  EXPECT_EQ(Asked(), "file:///tmp/help_EN.htm");
  Launcher(3);  // xdg-open found no browser
  EXPECT_EQ(zr_open_url("file:///tmp/help_FR.htm"), 0);
  EXPECT_EQ(Asked(), "file:///tmp/help_FR.htm");
  EXPECT_EQ(zr_open_url(""), 0);
}

TEST_F(OpenUrlTest, HeadlessStartsNothingAndAnswersTheAboutBox) {
  Launcher(0);
  ASSERT_EQ(zr_platform_init(true), 1) << zr_platform_error();
  EXPECT_EQ(zr_open_url("file:///tmp/help_EN.htm"), 0);
  EXPECT_EQ(Asked(), "");
  ZR_ABOUT_BOX box = {"About", {"ZRSENTRY", "1.0", "", "", "", "", ""}};
  EXPECT_EQ(zr_about_box(&box), IDOK);
  zr_platform_quit();
}

}  // namespace
