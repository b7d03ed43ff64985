// The map reader: the input is the map file, read into a fixed small level (8 x 6 cells, tiles 1
// and 2, sprites 0 and 1). The load either finishes or stops through the world engine's error
// report; nothing is read past a table.
#include "world/map.h"

#include <cstdint>
#include <cstdlib>

#include "fuzz/world_fuzz.h"
#include "world/objects.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  world_fuzz_start();
  static bool definition = [] {
    const char text[] =
        "@a 8\r\n@b 6\r\n@c 12\r\n"
        "%1 = NULL, NULL, NULL, NULL, NULL, NULL\r\n"
        "%2 = NULL, NULL, NULL, NULL, NULL, NULL\r\n"
        "&0 = NULL, 10, 20, 0, 1, 2, 3, 4, 5, 6, 7, 8\r\n"
        "&1 = NULL, 30, 50, 2, 0, 0, 0, 0, 0, 0, 0, 0\r\n"
        "*1, 1 = 1, 20, 10, 0, 30, 5, 2, 10, 5, 2\r\n";
    fuzz_write(fuzz_path("map.def"), reinterpret_cast<const uint8_t*>(text), sizeof text - 1);
    return true;
  }();
  (void)definition;
  int blocks = zr_mem_block_count();
  world_fuzz_reset_parameters();
  fuzz_write(fuzz_path("in.map"), data, size);
  WorldFuzzDir in_folder;
  try {
    if (Load_Level("map.def", "in.map", 1) == 0) {
      for (int i = 0; i < 3; ++i) tick_moving_cells(0.9);
      for (int i = 1; i <= last_object; ++i)
        move_object(i, objects[i].x + 13, objects[i].y, objects[i].z);
      up_face_height(20.0, 20.0);
      down_face_height(50.0, 10.0);
    }
  } catch (const WorldFuzzStop&) {
  }
  world_fuzz_finish();
  if (zr_mem_block_count() != blocks) std::abort();
  return 0;
}
