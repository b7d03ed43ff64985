#include "world/background.h"

#include <algorithm>
#include <cstring>

#include "engine/core/memory.h"
#include "world/frame_target.h"
#include "world/level_def.h"
#include "world/world_error.h"

Picture background = {};
bool background_loaded = false;
uint8_t* background_scaled = nullptr;
bool background_scaled_exists = false;
int32_t scaled_rows = 0;
int32_t scaled_columns = 0;
int32_t background_scale_h = 150;
int32_t background_scale_v = 150;

int32_t view_max_x = 319;
int32_t view_max_y = 199;
int32_t view_centre_x = 160;
int32_t view_centre_y = 100;
int32_t projection_x = 200;
int32_t projection_y = 166;

namespace {

void free_scaled() {
  if (background_scaled) zr_mem_free(background_scaled);
  background_scaled = nullptr;
  background_scaled_exists = false;
}

// Nearest neighbour in 16.16 fixed point.
void resize_background() {
  free_scaled();
  scaled_rows = static_cast<int32_t>(int64_t(background_scale_v) * (view_max_y + 1) / 100);
  scaled_columns = static_cast<int32_t>(int64_t(background_scale_h) * (view_max_x + 1) / 100);
  if (scaled_rows <= 0 || scaled_columns <= 0) return;  // nothing to show at such a scale
  size_t size = static_cast<size_t>(scaled_rows) * scaled_columns;
  background_scaled = static_cast<uint8_t*>(world_malloc(size));
  if (!background_scaled) world_fatal(0, "Not enough memory for background");
  zr_mem_name(background_scaled, "background data in resize background");
  background_scaled_exists = true;
  int64_t step_x = (int64_t(background.width) << 16) / scaled_columns;
  int64_t step_y = (int64_t(background.height) << 16) / scaled_rows;
  int64_t sy = 0;
  for (int r = 0; r < scaled_rows; ++r, sy += step_y) {
    const uint8_t* src = background.pixels + (sy >> 16) * background.width;
    uint8_t* dst = background_scaled + static_cast<size_t>(r) * scaled_columns;
    int64_t sx = 0;
    for (int c = 0; c < scaled_columns; ++c, sx += step_x) dst[c] = src[sx >> 16];
  }
}

int32_t clamp_origin(double v, int32_t high) {
  if (!(v > 0)) return 0;  // also NaN
  if (v > high) return std::max(high, 0);
  return static_cast<int32_t>(v);
}

}  // namespace

void load_background(const char* name) {
  if (background_loaded) return;
  load_pcx_file(name, 236, 10, 10, &background);
  background_loaded = true;
}

void set_view(int max_y, int max_x) {
  view_max_x = max_x;
  view_max_y = max_y;
  view_centre_x = (view_max_x + 1) / 2;
  view_centre_y = (view_max_y + 1) / 2;
  projection_x = (view_max_x / 2) * 200 / 160;
  projection_y = (view_max_y / 2) * 166 / 100;
  if (background_loaded) resize_background();
}

void draw_background(double h, double v) {
  if (!background_scaled_exists || !frame_pixels) return;
  int32_t view_w = view_max_x + 1, view_h = view_max_y + 1;
  int32_t free_x = scaled_columns - 1 - view_w;
  int32_t free_y = scaled_rows - view_h;
  double world_width = double(world_columns) * cell_size;
  if (world_width <= 0) world_width = 1;
  // The window is kept inside the scaled picture.
  int32_t sx = clamp_origin(h * free_x / world_width, scaled_columns - view_w);
  int32_t sy = clamp_origin(-v * free_y / world_width + free_y / 2, free_y);
  int32_t pitch = frame_max_x + 1;
  int32_t width = std::min({view_w, pitch, scaled_columns - sx});
  int32_t rows = std::min({view_h, frame_max_y + 1, scaled_rows - sy});
  for (int r = 0; r < rows; ++r) {
    uint8_t* dst = frame_pixels + static_cast<size_t>(r) * pitch;
    std::memcpy(dst, background_scaled + static_cast<size_t>(sy + r) * scaled_columns + sx, width);
  }
}

void free_background() {
  free_scaled();
  if (background.pixels) zr_mem_free(background.pixels);
  background = Picture{};
  background_loaded = false;
}
