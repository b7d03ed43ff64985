// Shared set-up of the core fuzz harnesses: a scratch folder as the current directory, the core
// modules started once, and warning boxes answered at once.
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

inline int fuzz_quiet_box(const char*, const char*, uint32_t) {
  return IDOK;
}

inline void fuzz_start_core() {
  static bool started = false;
  if (started) return;
  started = true;
  static int32_t reportSwitch = 1;  // every message path runs, into the quiet box
  static char folder[] = "/tmp/zrfuzz.XXXXXX";
  if (::mkdtemp(folder) == nullptr || ::chdir(folder) != 0) std::abort();
  zr_message_box_set_hook(fuzz_quiet_box);
  zr_error_init(&reportSwitch);
  zr_list_init(&reportSwitch);
  zr_mem_init(&reportSwitch);
  zr_string_init(&reportSwitch);
  std::atexit([] { std::system((std::string("rm -rf ") + folder).c_str()); });
}

inline void fuzz_write(const char* name, const uint8_t* data, size_t size) {
  FILE* out = std::fopen(name, "wb");
  if (out == nullptr) std::abort();
  if (size > 0) std::fwrite(data, 1, size, out);
  std::fclose(out);
}
