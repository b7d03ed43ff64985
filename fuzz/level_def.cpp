// The level definition parser: the input is the definition file. Two small pictures (A.PCX and
// B00.PCX) are there for bitmap lines to read; there is no map file. A load either finishes or
// stops through the world engine's error report; either way free_level gives everything back.
#include "world/level_def.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz/world_fuzz.h"
#include "world/objects.h"

namespace {

// Worlds of more than a few million cells only measure the machine's memory; such inputs are
// skipped. A parameter line may hide control bytes, which the line reader drops.
bool world_too_large(const uint8_t* data, size_t size) {
  for (size_t i = 0; i + 1 < size; ++i) {
    if (data[i] != '@' || (data[i + 1] != 'a' && data[i + 1] != 'b')) continue;
    long long v = 0;
    for (size_t k = i + 2; k < size && data[k] != 13; ++k) {
      if (data[k] >= '0' && data[k] <= '9') {
        v = v * 10 + (data[k] - '0');
        if (v > 3000) return true;
      } else if (data[k] > ' ' && data[k] != '-' && data[k] != '+') {
        break;
      }
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  world_fuzz_start();
  static bool pictures = [] {
    world_fuzz_write_pcx("A.PCX", 4, 3);
    world_fuzz_write_pcx("B00.PCX", 2, 5);
    world_fuzz_write_pcx("B01.PCX", 3, 2);
    return true;
  }();
  (void)pictures;
  if (world_too_large(data, size)) return 0;
  int blocks = zr_mem_block_count();
  world_fuzz_reset_parameters();
  fuzz_write(fuzz_path("in.def"), data, size);
  WorldFuzzDir in_folder;
  try {
    if (Load_Level("in.def", "none.map", 1) == 0) {
      // Run the level a little: the ticks and the queries walk every table that was built.
      for (int i = 0; i < 5; ++i) {
        tick_animated_bitmaps(0.9);
        tick_moving_cells(0.9);
        tick_animated_objects(0.9);
      }
      up_face_height(30.0, 30.0);
      char name[] = "a";
      find_bitmap(name);
      sprite_bitmap_animation("B");
    }
  } catch (const WorldFuzzStop&) {
  }
  world_fuzz_finish();
  if (zr_mem_block_count() != blocks) std::abort();
  return 0;
}
