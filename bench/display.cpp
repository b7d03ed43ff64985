// Frame conversion and scaling costs, each beside the memory copy it is measured against:
//   Convert32 / Memcpy32        (goal: ratio <= 3)
//   MaskedStretch / PlainCopy   (goal: ratio <= 4)
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "engine/display/bitmap.h"
#include "engine/display/palette.h"

namespace {

constexpr int kW = 320, kH = 200;

std::vector<uint8_t> game_like_pixels(int w, int h) {
  std::vector<uint8_t> px(static_cast<size_t>(w) * h);
  uint32_t seed = 12345;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      seed = seed * 1664525u + 1013904223u;
      uint8_t v = static_cast<uint8_t>(10 + ((x / 16 + y / 12) * 7) % 236);
      if ((seed >> 28) < 4) v = static_cast<uint8_t>(seed >> 20);
      if ((x / 40 + y / 25) % 5 == 0) v = 0;  // transparent areas for the masked copy
      px[static_cast<size_t>(y) * w + x] = v;
    }
  return px;
}

ZR_BITMAP over(std::vector<uint8_t>& px, int w, int h) {
  ZR_BITMAP b{};
  b.width = b.w = static_cast<int16_t>(w);
  b.height = b.h = static_cast<int16_t>(h);
  b.bpp = 8;
  b.pixels = px.data();
  return b;
}

void BM_Convert32(benchmark::State& state) {
  std::vector<uint8_t> px = game_like_pixels(kW, kH);
  ZR_BITMAP frame = over(px, kW, kH);
  std::vector<uint8_t> palette(768);
  for (int i = 0; i < 768; ++i) palette[i] = static_cast<uint8_t>(i * 3);
  zr_pal_select(32, 0, 0, 0);
  zr_pal_set(palette.data());
  std::vector<uint8_t> memory(static_cast<size_t>(kW) * kH * 4);
  ZR_SURFACE surface{memory.data(), kW, kH, kW * 4, 32};
  for (auto _ : state) {
    zr_pal_copy(&surface, &frame);
    benchmark::DoNotOptimize(memory.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Convert32);

void BM_Memcpy32(benchmark::State& state) {
  std::vector<uint8_t> from(static_cast<size_t>(kW) * kH * 4, 3), to(from.size());
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), to.size());
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Memcpy32);

void BM_MaskedStretch(benchmark::State& state) {
  std::vector<uint8_t> px = game_like_pixels(kW, kH);
  ZR_BITMAP source = over(px, kW, kH);
  std::vector<uint8_t> big(1280 * 800, 1);
  ZR_BITMAP target = over(big, 1280, 800);
  for (auto _ : state) {
    zr_bitmap_blit_masked(&target, &source, nullptr, nullptr, ZR_BLIT_STRETCH);
    benchmark::DoNotOptimize(big.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MaskedStretch);

void BM_PlainCopy(benchmark::State& state) {
  std::vector<uint8_t> px = game_like_pixels(1280, 800);
  ZR_BITMAP source = over(px, 1280, 800);
  std::vector<uint8_t> big(1280 * 800, 1);
  ZR_BITMAP target = over(big, 1280, 800);
  for (auto _ : state) {
    zr_bitmap_blit(&target, &source, nullptr, nullptr, 0);
    benchmark::DoNotOptimize(big.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PlainCopy);

}  // namespace
