// Decoding one 640 x 480 8-bit PCX from disk: zr_bitmap_load beside SDL2_image's PCX loader on
// the same file (goal: ratio <= 1.0).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/display/bitmap.h"
#include "engine/display/snapshot.h"

#ifdef ZR_HAVE_SDL2_IMAGE
#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#endif

namespace {

const std::string& picture_file() {
  static const std::string path = [] {
    const std::string p = "/tmp/zr_bench_640x480_" + std::to_string(getpid()) + ".pcx";
    std::vector<uint8_t> px(640 * 480);
    std::vector<uint8_t> palette(768);
    for (int i = 0; i < 768; ++i) palette[i] = static_cast<uint8_t>(i / 3);
    uint32_t seed = 777;
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x) {
        seed = seed * 1664525u + 1013904223u;
        // Flat areas with shading steps and some noise, like the game's backdrops.
        uint8_t v = static_cast<uint8_t>(10 + ((x / 24) * 5 + (y / 10) * 3) % 236);
        if ((seed >> 28) < 3) v = static_cast<uint8_t>(10 + (seed >> 24) % 236);
        px[static_cast<size_t>(y) * 640 + x] = v;
      }
    ZR_BITMAP b{};
    b.width = b.w = 640;
    b.height = b.h = 480;
    b.pixels = px.data();
    b.palette = palette.data();
    zr_bitmap_save_pcx(&b, p.c_str(), nullptr);
    std::atexit([] { std::remove(picture_file().c_str()); });
    return p;
  }();
  return path;
}

void BM_ZrBitmapLoad(benchmark::State& state) {
  const std::string& path = picture_file();
  for (auto _ : state) {
    ZR_BITMAP b{};
    if (!zr_bitmap_load(&b, path.c_str(), ZR_BITMAP_LOAD_PALETTE)) state.SkipWithError("load");
    benchmark::DoNotOptimize(b.pixels);
    zr_bitmap_free(&b);
  }
}
BENCHMARK(BM_ZrBitmapLoad);

#ifdef ZR_HAVE_SDL2_IMAGE
void BM_SdlImageLoad(benchmark::State& state) {
  const std::string& path = picture_file();
  for (auto _ : state) {
    SDL_Surface* s = IMG_Load(path.c_str());
    if (s == nullptr) state.SkipWithError("IMG_Load");
    benchmark::DoNotOptimize(s);
    SDL_FreeSurface(s);
  }
}
BENCHMARK(BM_SdlImageLoad);
#endif

}  // namespace
