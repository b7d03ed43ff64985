// Snapshots are the player's files: beside the data in a writable start directory, else in the
// per-user folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "core_services.h"
#include "display_support.h"
#include "engine/core/fileio.h"
#include "engine/display/display.h"
#include "engine/display/snapshot.h"

namespace {

int nothing_writable(const char*) {
  return 0;
}

class SnapshotFolderTest : public zrtest::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    if (const char* value = std::getenv("XDG_DATA_HOME")) oldHome_ = value;
    ::setenv("XDG_DATA_HOME", path("xdg").c_str(), 1);
    zrtest::start_core_modules(&report_);
    ASSERT_EQ(zr_dsp_init(), 1);
  }
  void TearDown() override {
    zr_dsp_free();
    zr_io_deinit();
    zr_io_set_writable_check(nullptr);
    zr_string_deinit();
    zr_mem_deinit();
    zr_list_deinit();
    zr_error_deinit();
    if (oldHome_)
      ::setenv("XDG_DATA_HOME", oldHome_->c_str(), 1);
    else
      ::unsetenv("XDG_DATA_HOME");
    TempDirTest::TearDown();
  }
  int32_t report_ = 0;
  ZR_IO_CONFIG config_{};
  std::optional<std::string> oldHome_;
};

TEST_F(SnapshotFolderTest, GoesToTheStartDirectoryOrElseThePlayersFolder) {
  ASSERT_EQ(zr_io_init(&config_), 1);
  ASSERT_EQ(zr_snapshot(), 1);
  EXPECT_TRUE(std::filesystem::exists(path("Snap0000.pcx")));
  zr_io_deinit();

  zr_io_set_writable_check(nothing_writable);
  ASSERT_EQ(zr_io_init(&config_), 1);
  ASSERT_EQ(zr_snapshot(), 1);
  ASSERT_EQ(zr_snapshot(), 1);  // numbered by the files of the player's folder
  EXPECT_TRUE(std::filesystem::exists(path("xdg/zrsentry/Snap0000.pcx")));
  EXPECT_TRUE(std::filesystem::exists(path("xdg/zrsentry/Snap0001.pcx")));
  EXPECT_FALSE(std::filesystem::exists(path("Snap0001.pcx")));
}

}  // namespace
