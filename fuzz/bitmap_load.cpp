// zr_bitmap_load's decoder on arbitrary bytes, with and without the palette, and the decoded
// picture pushed through a masked stretch and the bounding box.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/display/bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (int options : {0, ZR_BITMAP_LOAD_PALETTE}) {
    ZR_BITMAP b{};
    if (zr_bitmap_load_memory(&b, data, size, options)) {
      std::vector<uint8_t> frame(64 * 40, 0);
      ZR_BITMAP dst{};
      dst.width = dst.w = 64;
      dst.height = dst.h = 40;
      dst.pixels = frame.data();
      zr_bitmap_blit_masked(&dst, &b, nullptr, nullptr, ZR_BLIT_STRETCH | ZR_BLIT_VERTICAL_RATIO);
      zr_bitmap_find_opaque(&b);
    }
    zr_bitmap_free(&b);
  }
  return 0;
}
