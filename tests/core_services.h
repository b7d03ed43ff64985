// Test set-up shared by the suites: a scratch folder made the current directory, and the core
// services (error, list, memory and string services, then the file layer) started and stopped.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "engine/core/error.h"
#include "engine/core/fileio.h"
#include "engine/core/list.h"
#include "engine/core/memory.h"
#include "engine/core/zr_string.h"

namespace zrtest {

// A fresh folder /tmp/NAME.XXXXXX made the current directory for the object's lifetime; then
// the old directory is current again and the folder is removed with all it holds.
struct ScratchFolder {
  std::filesystem::path old = std::filesystem::current_path();
  std::filesystem::path path;

  explicit ScratchFolder(const std::string& name) {
    std::string pattern = "/tmp/" + name + ".XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
      ADD_FAILURE() << "no scratch folder " << pattern;
      return;
    }
    path = pattern;
    std::filesystem::current_path(path);
  }
  ~ScratchFolder() {
    std::filesystem::current_path(old);
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
};

// The order the list and memory services start in; it decides their module numbers in the
// error service. The program starts lists first; most suites start memory first.
enum class CoreOrder { MemoryFirst, ListFirst };

// The error, list, memory and string services, all reporting through `report`.
inline void start_core_modules(int32_t* report, CoreOrder order = CoreOrder::MemoryFirst) {
  zr_error_init(report);
  if (order == CoreOrder::ListFirst) {
    zr_list_init(report);
    zr_mem_init(report);
  } else {
    zr_mem_init(report);
    zr_list_init(report);
  }
  zr_string_init(report);
}

struct CoreStart {
  CoreOrder order = CoreOrder::MemoryFirst;
  const char* settingsName = "";  // the settings file, e.g. "zrsentry.ini"; empty: none
  const char* archiveName = "";   // the data archive, e.g. "VELDRAN.DAT"; empty: loose files
};

// The services above, then the file layer on a fresh `io` (it must outlive the layer) in the
// current directory. Returns what the file layer's start returns (1 when it started).
inline int start_core_services(int32_t* report, ZR_IO_CONFIG* io, const CoreStart& how = {}) {
  start_core_modules(report, how.order);
  *io = ZR_IO_CONFIG{};
  std::snprintf(io->settingsName, sizeof io->settingsName, "%s", how.settingsName);
  std::snprintf(io->archiveName, sizeof io->archiveName, "%s", how.archiveName);
  return zr_io_init(io);
}

// Stops what start_core_services started, in the reverse order. No file may be left open and,
// with `checkBlocks`, no tracked block once the string service has stopped.
inline void stop_core_services(CoreOrder order, bool checkBlocks = true) {
  EXPECT_EQ(zr_io_open_count(), 0) << "files left open";
  zr_io_deinit();
  zr_string_deinit();
  if (checkBlocks) {
    EXPECT_EQ(zr_mem_block_count(), 0) << "tracked blocks left";
  }
  if (order == CoreOrder::ListFirst) {
    zr_mem_deinit();
    zr_list_deinit();
  } else {
    zr_list_deinit();
    zr_mem_deinit();
  }
  zr_error_deinit();
}

// For suites that keep the services running: the tracked blocks are back to the count taken
// when the test began, and no file is left open.
inline void expect_nothing_left(int blocksAtStart) {
  EXPECT_EQ(zr_mem_block_count(), blocksAtStart) << "tracked blocks left";
  EXPECT_EQ(zr_io_open_count(), 0) << "files left open";
}

}  // namespace zrtest
