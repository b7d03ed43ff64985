// The renderer's pixel work: the span drawer for flat up and down faces, the column drawer for
// side faces, the affine polygon filler for sloped faces, and the sprite drawer for objects. All of
// it is integer; texture positions advance in 16.16 fixed point. Screen coordinates come in as
// 64-bit integers, already clamped to a sane range by the projection, and every drawer clips to
// the target's limits.
#pragma once
#include <cstdint>

// Where pixels go: rows of pitch bytes; columns 0..max_x and rows 0..max_y are drawn.
struct RenderTarget {
  uint8_t* pixels;
  int32_t pitch;
  int32_t max_x;
  int32_t max_y;
};

// How a source palette index reaches the frame: through a blending table (entry source * 256 +
// destination), through a colour map, or unchanged when both are null. skip_zero leaves index 0
// unwritten.
struct PixelRule {
  const uint8_t* blend;
  const uint8_t* colour_map;
  bool skip_zero;
};

// A flat up or down face: a trapezoid between the far edge's row and the near edge's row.
struct FlatFace {
  int64_t far_row, near_row;
  int64_t far_left, far_right;        // screen columns of the far edge's ends
  int64_t near_left, near_right;      // and of the near edge's
  int64_t texture_far, texture_near;  // texture rows (16.16) at the far and the near edge
  // Near cells work the texture row out per screen row from the edges' relative heights and
  // depths (1/16 world unit), the projection factor and the horizon row.
  bool perspective;
  int64_t dy_far, dz_far, dy_near, dz_near;
  int64_t centre_y, projection_y;
};

// A side face: filled column by column from its left end to its right end (exclusive); nothing
// when the right end is not to the right of the left end (the face looks away).
struct SideFace {
  int64_t left_x, right_x;
  int64_t left_top, left_bottom, right_top, right_bottom;  // screen rows
  int64_t left_height, right_height;    // screen height of the bitmap's repeat at each end
  int64_t texture_left, texture_right;  // texture columns (16.16)
  // Near cells: texture column per screen column from the ends' relative x and depth.
  bool perspective;
  int64_t dx_left, dz_left, dx_right, dz_right;
  int64_t centre_x, projection_x;
  bool stretch;        // the '!' property: the bitmap once over the face's height
  bool anchor_bottom;  // the bitmap's '#' flag: its last row meets the bottom edge
};

// A corner of a sloped face: screen position and texture position in 1/256 texel.
struct SlopedCorner {
  int64_t x, y;
  int32_t u, v;
};

// A sprite picture placed on the screen, with the clip rectangle of its cell (half-open).
struct SpriteFace {
  int64_t left, top, width, height;
  const uint8_t* pixels;
  int32_t bitmap_width, bitmap_height;
  bool mirror_h, mirror_v;
  int64_t clip_left, clip_top, clip_right, clip_bottom;
};

// Rows the polygon filler can hold (views up to this many rows are drawn in full).
constexpr int SLOPED_TABLE_ROWS = 4096;

// texels: the bitmap's first pixel in tile_buffer (rows 256 bytes apart); floor_size: the floor
// bitmaps' side (1..256).
void draw_flat_face(const RenderTarget& target, const FlatFace& face, const uint8_t* texels,
                    int32_t floor_size, const PixelRule& rule);
// wall_width 1..256, wall_height >= 1; the texture row wraps at min(wall_height, 256).
void draw_side_face(const RenderTarget& target, const SideFace& face, const uint8_t* texels,
                    int32_t wall_width, int32_t wall_height, const PixelRule& rule);
// Corners in outline order.
void draw_sloped_face(const RenderTarget& target, const SlopedCorner (&corners)[4],
                      const uint8_t* texels, int32_t floor_size, const PixelRule& rule);
void draw_sprite(const RenderTarget& target, const SpriteFace& sprite, const PixelRule& rule);
