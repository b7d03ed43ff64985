#include "world/frame_target.h"

uint8_t* frame_pixels = nullptr;
int32_t frame_max_x = 319;
int32_t frame_max_y = 199;

void set_frame_target(uint8_t* pixels, int32_t max_x, int32_t max_y) {
  frame_pixels = pixels;
  frame_max_x = max_x;
  frame_max_y = max_y;
}
