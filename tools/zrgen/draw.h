// Shared drawing helpers of the content generator: lines, filled polygons, circles and ellipses,
// shading along the palette's ramps with ordered dithering, outlines around opaque pixels, and a
// small flat-shaded 3-D mesh drawer for objects seen at several angles. Everything draws into a
// Canvas of palette indices; index 0 stays transparent. All arithmetic is deterministic.
#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "tools/zrgen/canvas.h"
#include "tools/zrgen/palette.h"

namespace draw {

struct Vec2 {
  double x = 0, y = 0;
};

struct Vec3 {
  double x = 0, y = 0, z = 0;
};

// Picks the colour of one pixel (x, y) for the shaded fills.
using Shader = std::function<uint8_t(int x, int y)>;

// ---- Plain shapes (coordinates in pixels; pixel (x, y) covers [x, x + 1) × [y, y + 1)) ----

// Fills the polygon with the even-odd rule, sampling every pixel at its centre, so that two
// polygons sharing an edge never overlap nor leave a gap.
void fill_polygon(Canvas& canvas, std::span<const Vec2> points, uint8_t colour);
void fill_polygon(Canvas& canvas, std::span<const Vec2> points, const Shader& shader);

// A one-pixel line from (x0, y0) to (x1, y1), both ends included (centres of pixels at .5).
void line(Canvas& canvas, double x0, double y0, double x1, double y1, uint8_t colour);
// A line of the given width, drawn as a filled quadrilateral with round-free square ends.
void thick_line(Canvas& canvas, Vec2 a, Vec2 b, double width, uint8_t colour);

void fill_ellipse(Canvas& canvas, double cx, double cy, double rx, double ry, uint8_t colour);
void fill_ellipse(Canvas& canvas, double cx, double cy, double rx, double ry, const Shader& shader);
void fill_circle(Canvas& canvas, double cx, double cy, double r, uint8_t colour);
void fill_circle(Canvas& canvas, double cx, double cy, double r, const Shader& shader);
// The ring between radius r - width and r.
void ring(Canvas& canvas, double cx, double cy, double r, double width, uint8_t colour);

// ---- Shading ----

// The entry of `ramp` for a continuous brightness level (0 darkest … 15 lightest), dithered with
// a 4 × 4 ordered pattern at pixel (x, y) between the two nearest levels.
uint8_t dither(pal::Ramp ramp, double level, int x, int y);
// The ramp an entry belongs to and its level on that ramp (0…15); entries outside the ramps give
// GREY and level 0.
pal::Ramp ramp_of(uint8_t index);
int level_of(uint8_t index);

// A shader that shades linearly along the segment p0 → p1, from level l0 to level l1 (clamped
// beyond the ends), dithered.
Shader linear_gradient(pal::Ramp ramp, Vec2 p0, double l0, Vec2 p1, double l1);
// A shader that lights a sphere of centre (cx, cy) and radius r from the direction (lx, ly)
// (screen coordinates, y down; lighting from the upper left is (-1, -1)): `dark` at the unlit rim,
// `light` at the highlight.
Shader sphere_shade(pal::Ramp ramp, double cx, double cy, double r, double lx, double ly,
                    double dark, double light);

// ---- Finishing ----

// Gives every transparent pixel that touches an opaque one (4 neighbours) the colour `colour`.
void outline(Canvas& canvas, uint8_t colour);
// As outline, but each new pixel takes the darkest shade (level `level`) of the ramp of the
// neighbouring opaque pixel, which keeps the outline in the object's own colour family.
void outline_tinted(Canvas& canvas, int level = 1);
// Moves every opaque pixel `levels` along its own ramp (positive brightens), clamped.
void shift_levels(Canvas& canvas, int levels);
// Copies the opaque pixels of `src` onto `dst` with their top-left corner at (x, y).
void blit(Canvas& dst, const Canvas& src, int x, int y);
// Scales `src` to w × h by nearest neighbour (for frames that shrink or grow).
Canvas scaled(const Canvas& src, int w, int h);

// ---- 3-D helpers ----

Vec3 rotate_x(Vec3 v, double angle);  // around the x axis, radians
Vec3 rotate_y(Vec3 v, double angle);
Vec3 rotate_z(Vec3 v, double angle);
double dot(Vec3 a, Vec3 b);
Vec3 cross(Vec3 a, Vec3 b);
Vec3 normalised(Vec3 v);

// How a model is seen: turned by `yaw` around its vertical axis, then `roll` around its long (x)
// axis, then tilted by `pitch` towards the viewer (a camera above looks down by `pitch`), scaled by
// `scale` pixels per model unit and centred at (cx, cy) on the canvas. Orthographic, y up.
struct View {
  double yaw = 0, pitch = 0, roll = 0;
  double scale = 1;
  double cx = 0, cy = 0;
};

Vec3 transform(const View& view, Vec3 p);  // model → view space (x right, y up, z towards viewer)
Vec2 project(const View& view, Vec3 p);    // model → canvas pixels

// One flat face of a mesh: its corners in order (either winding), its ramp and its base level;
// `two_sided` faces are drawn from both sides, others only when they face the viewer (the
// corners counter-clockwise seen from outside). `emissive` faces ignore the light.
struct Face {
  std::vector<Vec3> points;
  pal::Ramp ramp = pal::GREY;
  double level = 8;
  bool two_sided = false;
  bool emissive = false;
};

using Mesh = std::vector<Face>;

// Draws the mesh with the painter's algorithm (faces sorted far to near by their centres) and flat
// shading: a face's level is its base level moved by up to ±`contrast` levels by how much it faces
// the light (a direction in view space, pointing towards the light).
// With `dithered` false every face takes the nearest whole level: cleaner on small pictures.
void draw_mesh(Canvas& canvas, const Mesh& mesh, const View& view, Vec3 light = {-0.4, 0.8, 0.6},
               double contrast = 5.0, bool dithered = true);

// Mesh builders. A box from `lo` to `hi`; a prism along x joining two cross sections (polygons in
// the y-z plane given at x0 and x1, the same number of corners, counter-clockwise seen from +x),
// with both end caps; a flat polygon (two-sided).
Mesh box(Vec3 lo, Vec3 hi, pal::Ramp ramp, double level);
Mesh loft_x(double x0, std::span<const Vec2> section0, double x1, std::span<const Vec2> section1,
            pal::Ramp ramp, double level, bool caps = true);
Face flat(std::vector<Vec3> points, pal::Ramp ramp, double level);
void append(Mesh& to, const Mesh& from);

}  // namespace draw
