// The picture the world engine draws into: the frame buffer's pixel memory and its clipping
// limits, given by the game at start-up and again whenever the frame buffer changes.
#pragma once
#include <cstdint>

extern uint8_t* frame_pixels;  // rows of frame_max_x + 1 bytes
extern int32_t frame_max_x;    // width - 1
extern int32_t frame_max_y;    // height - 1

void set_frame_target(uint8_t* pixels, int32_t max_x, int32_t max_y);
