// The world renderer: draws the level's grid of cells and the objects standing in them into the
// frame buffer, farthest row first (painter's algorithm, no depth buffer), seen by a camera that
// looks along the rows towards smaller z.
#pragma once
#include <cstdint>

// Renderer state. init_engine sets the first group to its start values; the game then sets the
// level's drawing parameters (set_level_drawing_parameters).
extern int32_t cell_lighting;    // apply each cell's tint and brightness
extern int32_t object_lighting;  // apply each object's tint and brightness
extern int32_t fade_start;       // depth in rows from which brightness fades
extern double fade_factor;       // brightness lost per row beyond fade_start
extern int32_t view_shift;       // horizon shift, percent of view_max_y
extern int32_t depth_rows;       // rows drawn in front of the camera's row (15)
extern uint8_t* row_length;      // ROW_LENGTH_ENTRIES: half-width in cells of each depth row
extern int32_t draw_floors;      // draw up and down faces
extern int32_t draw_walls;       // draw side faces

// The editing overlay's settings.
extern int32_t overlay_enabled;
extern uint8_t overlay_line_colour;
extern uint8_t overlay_text_colour;

// The camera (world units, y is height); the game moves it every step and draws from it.
extern double camera_x;
extern double camera_y;
extern double camera_z;

constexpr int ROW_LENGTH_ENTRIES = 31;
constexpr int ENGINE_WORK_AREA = 1000;
constexpr double NEAR_PLANE = 5.0;
constexpr int OVERLAY_ROWS_AHEAD = 4;  // the overlay's cell: this many rows in front, same column

// After set_view: sets the state above and allocates the work area and the row lengths.
// Out of memory ends the program.
void init_engine();
void free_engine();
// The values the game uses during play: lighting on, fade from row 10 by 2.0, horizon shift -20.
void set_level_drawing_parameters();

// One frame of the world from the camera at (x, y, z); overlay asks for the editing overlay.
void draw_world(double x, double y, double z, bool overlay);

// One-pixel lines in the frame buffer, clipped to the view.
void draw_vertical_line(int x, uint8_t colour);
void draw_horizontal_line(int y, int x0, int x1, uint8_t colour);

// The number of columns on each side of the camera's column drawn at depth i (0..30).
int row_length_for(int depth);
