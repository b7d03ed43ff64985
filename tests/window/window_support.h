// Shared by the window tests: a scratch start directory with the core modules running (memory
// tracked, warning boxes captured), and file helpers.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/core/error.h"
#include "engine/core/fileio.h"
#include "engine/core/list.h"
#include "engine/core/memory.h"
#include "engine/core/zr_string.h"
#include "engine/platform/message_box.h"

namespace zrwindow {

inline std::vector<std::string>& boxes() {
  static std::vector<std::string> seen;
  return seen;
}

inline int capture_box(const char* text, const char*, uint32_t) {
  boxes().push_back(text ? text : "");
  return IDOK;
}

inline void write_text(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path().empty()
                                          ? "."
                                          : std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary);
  out << text;
}

inline std::string read_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class CoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = std::filesystem::current_path();
    char pattern[] = "/tmp/zrwindow.XXXXXX";
    dir_ = ::mkdtemp(pattern);
    std::filesystem::current_path(dir_);
    boxes().clear();
    zr_message_box_set_hook(capture_box);
    zr_error_init(&report_);
    zr_list_init(&report_);
    zr_mem_init(&report_);
    zr_string_init(&report_);
    io_ = ZR_IO_CONFIG{};
    std::snprintf(io_.settingsName, sizeof io_.settingsName, "zrsentry.ini");
    zr_io_init(&io_);
  }
  void TearDown() override {
    EXPECT_EQ(zr_io_open_count(), 0);
    zr_io_deinit();
    zr_string_deinit();
    EXPECT_EQ(zr_mem_block_count(), 0) << "tracked blocks left";
    zr_mem_deinit();
    zr_list_deinit();
    zr_error_deinit();
    zr_message_box_set_hook(nullptr);
    std::filesystem::current_path(old_);
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  std::string dir() const { return dir_.string(); }

  int32_t report_ = 0;
  ZR_IO_CONFIG io_{};
  std::filesystem::path old_;
  std::filesystem::path dir_;
};

}  // namespace zrwindow
