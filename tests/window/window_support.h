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

#include "core_services.h"
#include "engine/core/fileio.h"
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
    boxes().clear();
    zr_message_box_set_hook(capture_box);
    zrtest::start_core_services(
        &report_, &io_, {.order = zrtest::CoreOrder::ListFirst, .settingsName = "zrsentry.ini"});
  }
  void TearDown() override {
    zrtest::stop_core_services(zrtest::CoreOrder::ListFirst);
    zr_message_box_set_hook(nullptr);
  }
  std::string dir() const { return folder_.path.string(); }

  zrtest::ScratchFolder folder_{"zrwindow"};
  int32_t report_ = 0;
  ZR_IO_CONFIG io_{};
};

}  // namespace zrwindow
