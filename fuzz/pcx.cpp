// load_pcx_file on arbitrary bytes: it either reads a picture of the size its header gives or
// stops through the world engine's error report; it never touches memory outside its buffers.
#include "world/pcx.h"

#include <cstdint>
#include <cstdlib>

#include "fuzz/world_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  world_fuzz_start();
  int blocks = zr_mem_block_count();
  fuzz_write(fuzz_path("in.pcx"), data, size);
  WorldFuzzDir in_folder;
  Picture picture{};
  try {
    load_pcx_file("in.pcx", 236, 10, 30, &picture);
    size_t count = static_cast<size_t>(picture.width) * picture.height;
    unsigned sum = 0;
    for (size_t i = 0; i < count; i += 97) sum += picture.pixels[i];
    if (picture.width < 1 || picture.height < 1 || sum == 0xFFFFFFFFu) std::abort();
  } catch (const WorldFuzzStop&) {
    if (picture.pixels) std::abort();  // a stopped read hands out nothing
  }
  if (picture.pixels) zr_mem_free(picture.pixels);
  world_fuzz_finish();
  if (zr_mem_block_count() != blocks) std::abort();
  return 0;
}
