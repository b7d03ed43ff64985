// The FLIC player on arbitrary bytes: load, decode every frame and a loop, draw.
#include "engine/display/flic.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ZR_ANIM anim{};
  if (!zr_anim_load_memory(&anim, data, size, "fuzz")) return 0;
  // Big frames cost time without reaching new code: keep each run quick.
  if (anim.size <= 256 * 256) {
    const int frames = anim.frames < 40 ? anim.frames + 2 : 42;
    for (int k = 0; k < frames; ++k) zr_anim_next(&anim, 1);
    std::vector<uint8_t> frame(32 * 20, 0);
    ZR_BITMAP dst{};
    dst.width = dst.w = 32;
    dst.height = dst.h = 20;
    dst.pixels = frame.data();
    zr_anim_draw(&anim, &dst, 2);
    zr_anim_draw(&anim, &dst, 0);
  }
  zr_anim_free(&anim);
  return 0;
}
