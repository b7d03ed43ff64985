// Shared set-up of the core fuzz harnesses: a scratch folder for the files (named by full path,
// since libFuzzer keeps relative paths to its corpus), the core modules started once, and warning
// boxes answered at once.
#pragma once
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/core/error.h"
#include "engine/core/list.h"
#include "engine/core/memory.h"
#include "engine/core/zr_string.h"
#include "engine/platform/message_box.h"

inline char* fuzz_folder() {
  static char folder[] = "/tmp/zrfuzz.XXXXXX";
  return folder;
}

// The full path of a file in the scratch folder.
inline std::string fuzz_path(const char* name) {
  return std::string(fuzz_folder()) + "/" + name;
}

inline int fuzz_quiet_box(const char*, const char*, uint32_t) {
  return IDOK;
}

inline void fuzz_start_core() {
  static bool started = false;
  if (started) return;
  started = true;
  static int32_t reportSwitch = 1;  // every message path runs, into the quiet box
  if (::mkdtemp(fuzz_folder()) == nullptr) std::abort();
  zr_message_box_set_hook(fuzz_quiet_box);
  zr_error_init(&reportSwitch);
  zr_list_init(&reportSwitch);
  zr_mem_init(&reportSwitch);
  zr_string_init(&reportSwitch);
  std::atexit([] { std::system((std::string("rm -rf ") + fuzz_folder()).c_str()); });
}

inline void fuzz_write(const std::string& path, const uint8_t* data, size_t size) {
  FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) std::abort();
  if (size > 0) std::fwrite(data, 1, size, out);
  std::fclose(out);
}
