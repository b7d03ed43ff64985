// Shared set-up of the world engine's fuzz harnesses: the core started once, the world engine's
// fatal exit turned into an exception, the map reader's pauses and standard output off, and the
// scratch folder made the current directory while an input runs (definition files name their
// pictures relative to it; libFuzzer's own paths are relative to the start directory).
#pragma once
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/core/fileio.h"
#include "engine/core/memory.h"
#include "engine/platform/messages.h"
#include "fuzz/fuzz_support.h"
#include "world/background.h"
#include "world/level_def.h"
#include "world/map.h"
#include "world/world_error.h"

struct WorldFuzzStop {};

[[noreturn]] inline void world_fuzz_stop(int) {
  throw WorldFuzzStop{};
}

inline void world_fuzz_start() {
  static bool started = false;
  if (started) return;
  started = true;
  fuzz_start_core();
  static ZR_IO_CONFIG config{};
  zr_io_init(&config);
  world_set_exit_handler(world_fuzz_stop);
  world_set_pauses(false);
  if (!std::freopen("/dev/null", "w", stdout)) std::abort();
}

using WorldFuzzDir = FuzzInFolder;

// A small 8-bit run-length PCX with a gradient.
inline void world_fuzz_write_pcx(const char* name, int w, int h) {
  std::vector<uint8_t> b(128, 0);
  b[0] = 10;
  b[1] = 5;
  b[2] = 1;
  b[3] = 8;
  b[8] = static_cast<uint8_t>(w - 1);
  b[10] = static_cast<uint8_t>(h - 1);
  b[65] = 1;
  b[66] = static_cast<uint8_t>(w);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      b.push_back(0xC1);
      b.push_back(static_cast<uint8_t>(x * 16 + y));
    }
  fuzz_write(fuzz_path(name), b.data(), b.size());
}

// Engine parameters as at program start, so that one input cannot change the next.
inline void world_fuzz_reset_parameters() {
  reset_engine_parameters();
}

// Releases everything a load (finished or stopped) left behind and checks that nothing leaked.
inline void world_fuzz_finish() {
  free_level();
  zr_clear_messages();
  if (zr_io_open_count() != 0) std::abort();
}
