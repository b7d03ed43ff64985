// The parallax background and the view: the picture named by the @j line, scaled to a percentage
// of the view, copied one window per frame into the frame buffer; and the view size and projection
// constants that the renderer uses.
#pragma once
#include <cstdint>

#include "world/pcx.h"

extern Picture background;
extern bool background_loaded;
extern uint8_t* background_scaled;  // scaled_rows x scaled_columns bytes
extern bool background_scaled_exists;
extern int32_t scaled_rows;
extern int32_t scaled_columns;
extern int32_t background_scale_h;  // percent, 150 by default
extern int32_t background_scale_v;

extern int32_t view_max_x;  // the view is view_max_x + 1 pixels wide (319 at start)
extern int32_t view_max_y;  // 199 at start
extern int32_t view_centre_x;
extern int32_t view_centre_y;
extern int32_t projection_x;
extern int32_t projection_y;

void load_background(const char* name);
void set_view(int max_y, int max_x);
void draw_background(double h, double v);
void free_background();
