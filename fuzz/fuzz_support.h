// Shared set-up of the core fuzz harnesses: a scratch folder for the files (named by full path,
// since libFuzzer keeps relative paths to its corpus; made in TMPDIR, else /tmp), the core modules
// started once, and warning boxes answered at once. The file layer confines names as in the game
// and is allowed the scratch folder besides its start directory; a harness whose input names files
// runs inside the folder (FuzzInFolder), so that nothing is ever written elsewhere.
#pragma once
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/core/error.h"
#include "engine/core/fileio.h"
#include "engine/core/list.h"
#include "engine/core/memory.h"
#include "engine/core/zr_string.h"
#include "engine/platform/message_box.h"

inline char* fuzz_folder() {
  static char folder[4096] = "";
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
  const char* temp = std::getenv("TMPDIR");
  std::snprintf(fuzz_folder(), 4096, "%s/zrfuzz.XXXXXX",
                temp != nullptr && temp[0] ? temp : "/tmp");
  if (::mkdtemp(fuzz_folder()) == nullptr) std::abort();
  zr_io_confine_names(1);  // as in the game
  if (!zr_io_allow_folder(fuzz_folder())) std::abort();
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

// Makes the scratch folder the current directory while it lives (libFuzzer's own paths are
// relative to the directory it started in).
struct FuzzInFolder {
  char old[4096];
  FuzzInFolder() {
    if (!::getcwd(old, sizeof old) || ::chdir(fuzz_folder()) != 0) std::abort();
  }
  ~FuzzInFolder() {
    if (::chdir(old) != 0) std::abort();
  }
};
