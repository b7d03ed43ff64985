// Costs of the platform's per-frame work: colouring the frame for the screen, and the message
// queue's round trip.
#include <benchmark/benchmark.h>

#include "engine/platform/messages.h"
#include "engine/platform/video.h"

namespace {

void BM_PresentConvert(benchmark::State& state) {
  const int bpp = int(state.range(0));
  const int width = int(state.range(1)), height = width * 5 / 8;
  ZR_SURFACE surface;
  if (!zr_surface_create(&surface, width, height, bpp)) {
    state.SkipWithError("no surface");
    return;
  }
  for (int i = 0; i < surface.pitch * height; ++i) surface.pixels[i] = uint8_t(i * 7);
  uint8_t palette[768];
  for (int i = 0; i < 768; ++i) palette[i] = uint8_t(i);
  // No platform started: the picture is converted and shown nowhere.
  for (auto _ : state) {
    zr_window_present(&surface, palette);
    int w, h;
    benchmark::DoNotOptimize(zr_window_last_picture(&w, &h));
  }
  state.SetItemsProcessed(state.iterations() * int64_t(width) * height);
  zr_surface_free(&surface);
}
BENCHMARK(BM_PresentConvert)->Args({8, 320})->Args({32, 320})->Args({8, 640})->Args({16, 640});

void BM_MessageRoundTrip(benchmark::State& state) {
  zr_clear_messages();
  ZR_MSG msg;
  for (auto _ : state) {
    zr_post_message(WM_KEYDOWN, 'P', 0);
    benchmark::DoNotOptimize(zr_peek_message(&msg, PM_REMOVE | PM_NOYIELD));
  }
}
BENCHMARK(BM_MessageRoundTrip);

}  // namespace
