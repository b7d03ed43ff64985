// The enemies, each kind with its own silhouette and colour family: the hover drone (101) with the
// tank and sled crawlers that share its box, the flapper, the red eye, the blade, the screw, the
// hanging jelly, the bouncing mine, the UFO, the pop pods and the hopping walkers.
#include <array>
#include <cmath>

#include "tools/zrgen/draw.h"
#include "tools/zrgen/rng.h"
#include "tools/zrgen/sprite_art.h"

namespace {

using draw::Vec2;
using pal::Ramp;

constexpr double kPi = 3.14159265358979323846;

// The drone, tank and sled are all drawn in the default enemy's box.
constexpr int kDroneW = 36;
constexpr int kDroneH = 20;

uint8_t c_(Ramp r, int level) {
  return pal::shade(r, level);
}

void poly(Canvas& c, std::initializer_list<Vec2> pts, uint8_t colour) {
  const std::vector<Vec2> v(pts);
  draw::fill_polygon(c, v, colour);
}

// A polygon shaded from light at its top to dark at its bottom.
void poly_v(Canvas& c, std::initializer_list<Vec2> pts, Ramp ramp, double top, double bottom,
            double light, double dark) {
  const std::vector<Vec2> v(pts);
  draw::fill_polygon(c, v, draw::linear_gradient(ramp, {0, top}, light, {0, bottom}, dark));
}

void ball(Canvas& c, double cx, double cy, double rx, double ry, Ramp ramp, double dark,
          double light) {
  draw::fill_ellipse(c, cx, cy, rx, ry,
                     draw::sphere_shade(ramp, cx, cy, std::max(rx, ry), -1, -1.2, dark, light));
}

void finish(Canvas& c) {
  draw::outline_tinted(c, 1);
}

// ---- 101: hover drone ----
Canvas hover_frame(int k) {
  Canvas c(kDroneW, kDroneH);
  const double bob = (k == 1 || k == 2) ? 1 : 0;
  // Jets under the two pods, flickering.
  constexpr std::array<int, 4> kJet = {3, 4, 2, 4};
  for (double px : {12.0, 25.0}) {
    const double len = kJet[(k + (px > 20 ? 1 : 0)) % 4];
    poly(c, {{px - 2.5, 15 + bob}, {px + 2.5, 15 + bob}, {px, 15 + bob + len}},
         c_(pal::ORANGE, 11));
    poly(c, {{px - 1.2, 15 + bob}, {px + 1.2, 15 + bob}, {px, 14 + bob + len * 0.7}},
         c_(pal::YELLOW, 15));
  }
  // Fin and body: a wedge pointing at -x.
  poly(c, {{23, 5 + bob}, {31, 5 + bob}, {32, 0.5 + bob}, {29, 0.5 + bob}}, c_(pal::GREEN, 6));
  poly_v(c,
         {{1, 10 + bob},
          {9, 4 + bob},
          {29, 4 + bob},
          {35, 8 + bob},
          {35, 12 + bob},
          {28, 14 + bob},
          {8, 14 + bob}},
         pal::GREEN, 4 + bob, 14 + bob, 12, 4);
  // Pods.
  for (double px : {12.0, 25.0}) {
    draw::fill_ellipse(c, px, 14 + bob, 4, 2.2,
                       draw::linear_gradient(pal::STEEL, {0, 12 + bob}, 9, {0, 16 + bob}, 3));
  }
  // Panel line and the glowing sensor eye at the front.
  draw::line(c, 9.5, 9.5 + bob, 30.5, 9.5 + bob, c_(pal::GREEN, 3));
  ball(c, 8, 8 + bob, 3.2, 2.6, pal::YELLOW, 8, 15);
  draw::fill_circle(c, 7, 7.5 + bob, 1.0, kWhite);
  // A blinking light on the fin.
  if (k % 2 == 0) c.set(31, static_cast<int>(1 + bob), c_(pal::RED, 14));
  finish(c);
  return c;
}

// ---- crawlers in the drone's box ----
Canvas tank_frame(int k) {
  Canvas c(kDroneW, kDroneH);
  // Barrel first, so that the turret covers its root; the gun sits about 16 units up.
  draw::thick_line(c, {15, 8.5}, {1.5, 8}, 2.2, c_(pal::GREY, 7));
  poly(c, {{0.5, 6.8}, {3, 6.8}, {3, 9.6}, {0.5, 9.6}}, c_(pal::GREY, 4));
  ball(c, 19, 9, 7, 4.2, pal::OLIVE, 4, 12);
  // Hull.
  poly_v(c, {{4, 14}, {8, 10}, {31, 10}, {34, 14}}, pal::OLIVE, 10, 14, 11, 5);
  // Tracks with wheels turning and treads moving.
  poly_v(c, {{2, 15}, {4, 13.5}, {33, 13.5}, {35, 15}, {33, 19.8}, {4, 19.8}}, pal::GREY, 13, 20, 6,
         2);
  for (int i = 0; i < 5; ++i) {
    const double wx = 7 + i * 5.5;
    draw::fill_circle(c, wx, 16.6, 2.3, c_(pal::GREY, 8));
    const double a = (k * 0.25 + i * 0.1) * kPi;
    draw::line(c, wx - std::cos(a) * 1.6, 16.6 - std::sin(a) * 1.6, wx + std::cos(a) * 1.6,
               16.6 + std::sin(a) * 1.6, c_(pal::GREY, 3));
  }
  for (int x = 3 + (3 - k % 4); x < 34; x += 4) {
    c.set(x, 13, c_(pal::GREY, 10));
    c.set(x + 2, 19, c_(pal::GREY, 9));
  }
  // Hatch and a little aerial.
  draw::line(c, 22.5, 5.5, 25.5, 1.5, c_(pal::GREY, 9));
  c.set(25, 1, c_(pal::RED, 13 - (k % 2) * 6));
  finish(c);
  return c;
}

Canvas sled_frame(int k, Rng& rng) {
  Canvas c(kDroneW, kDroneH);
  // Dust thrown up behind it.
  for (int i = 0; i < 6; ++i) {
    const double dx = 30 + rng.unit() * 5, dy = 15 + rng.unit() * 4;
    draw::fill_circle(c, dx, dy, 0.8 + rng.unit(), c_(pal::SAND, 8 + rng.range(0, 4)));
  }
  // Runners with upturned tips.
  draw::thick_line(c, {6, 19}, {31, 19}, 1.4, c_(pal::STEEL, 10));
  draw::thick_line(c, {6, 19}, {2.5, 15.5}, 1.4, c_(pal::STEEL, 10));
  for (double sx : {10.0, 25.0})
    draw::thick_line(c, {sx, 18.5}, {sx + 1, 14}, 1.3, c_(pal::STEEL, 6));
  // The glowing skirt under the hull.
  const int glow = 9 + (k % 2) * 3 + (k == 2 ? 2 : 0);
  draw::fill_ellipse(c, 18, 15.5, 13, 2.2, c_(pal::TEAL, glow));
  // Hull: a low wedge.
  poly_v(c, {{1, 13}, {9, 8}, {25, 6.5}, {34, 9}, {35, 14}, {6, 15}}, pal::PINK, 6.5, 15, 12, 4);
  poly_v(c, {{11, 8}, {17, 4}, {23, 4}, {25, 7}}, pal::TEAL, 4, 8, 13, 7);
  draw::line(c, 5.5, 11.5, 33.5, 11.5, c_(pal::PINK, 3));
  // Exhaust.
  draw::fill_ellipse(c, 35, 11, 1.5 + (k % 2), 1.2, c_(pal::YELLOW, 14));
  finish(c);
  return c;
}

// ---- 133: flapper ----
Canvas flap_frame(int k) {
  constexpr int kW = 40, kH = 22;
  Canvas c(kW, kH);
  constexpr std::array<double, 4> kTip = {1, 6, 13, 20};  // wing tip height through the beat
  const double tip = kTip[k];
  // Far wing (darker), then body, then near wing.
  poly(c, {{20, 10}, {26, 9}, {35, tip + 1}, {29, tip + 4}, {24, 12}}, c_(pal::PURPLE, 5));
  ball(c, 21, 12, 8, 4.2, pal::PINK, 4, 13);
  poly(c, {{28, 12}, {38, 10}, {36, 13}}, c_(pal::PINK, 7));  // tail
  ball(c, 11, 11, 4.2, 3.8, pal::PINK, 5, 14);                // head
  poly(c, {{8, 8}, {9.5, 5}, {11, 8}}, c_(pal::PINK, 9));     // ears
  poly(c, {{11, 8}, {13, 5}, {13.5, 8.5}}, c_(pal::PINK, 8));
  draw::fill_circle(c, 9, 10.5, 1.3, c_(pal::YELLOW, 15));
  c.set(8, 10, c_(pal::RED, 4));
  poly(c, {{6.5, 12.5}, {9, 13}, {7.5, 14.5}}, kWhite);  // fang
  const std::vector<Vec2> wing = {{17, 10},      {24, 9},       {33, tip},
                                  {27, tip + 3}, {21, tip + 5}, {16, 12}};
  draw::fill_polygon(c, wing, draw::linear_gradient(pal::PURPLE, {17, 10}, 11, {33, tip}, 6));
  // Ribs of the membrane.
  draw::line(c, 18, 10.5, 33, tip + 0.5, c_(pal::PURPLE, 3));
  draw::line(c, 18, 11, 27, tip + 3, c_(pal::PURPLE, 4));
  finish(c);
  return c;
}

// ---- 134: red eye ----
Canvas eye_frame(int k) {
  constexpr int kS = 26;
  Canvas c(kS, kS);
  constexpr double cx = 13, cy = 13;
  // Stalks above and below, and the armoured band.
  draw::thick_line(c, {cx, 1}, {cx, 5}, 1.6, c_(pal::STEEL, 8));
  draw::thick_line(c, {cx, 21}, {cx, 25}, 1.6, c_(pal::STEEL, 6));
  draw::fill_circle(c, cx, 1.5, 1.4, c_(pal::RED, 13 - (k % 2) * 5));
  draw::fill_circle(c, cx, 25, 1.2, c_(pal::STEEL, 4));
  ball(c, cx, cy, 10.5, 10.5, pal::STEEL, 3, 10);
  ball(c, cx, cy, 9, 9, pal::GREY, 8, 15);
  // Veins.
  Rng veins(77);
  for (int i = 0; i < 5; ++i) {
    const double a = (0.3 + i * 0.35) * kPi;
    draw::line(c, cx + std::cos(a) * 8.5, cy + std::sin(a) * 8.5, cx + std::cos(a + 0.2) * 5,
               cy + std::sin(a + 0.2) * 5, c_(pal::RED, 9));
  }
  constexpr std::array<Vec2, 6> kLook = {
      {{-3.5, 0}, {-3.5, 0}, {-3, -2.5}, {-3.5, 0}, {-3, 2.5}, {-3.5, 0}}};
  const double ix = cx + kLook[k].x, iy = cy + kLook[k].y;
  ball(c, ix, iy, 4.6, 4.6, pal::RED, 6, 13);
  draw::fill_circle(c, ix - 0.6, iy, 2.0, c_(pal::GREY, 0));
  draw::fill_circle(c, ix - 2.0, iy - 2.0, 1.0, kWhite);
  if (k == 5) {
    // Blink: the lids meet.
    draw::fill_ellipse(c, cx, cy, 9.3, 9.3, draw::linear_gradient(pal::RED, {0, 4}, 9, {0, 22}, 3));
    draw::line(c, 4.5, cy + 0.5, 21.5, cy + 0.5, c_(pal::RED, 1));
  }
  finish(c);
  return c;
}

// ---- 135: blade ----
Canvas blade_frame(int k) {
  constexpr int kS = 30;
  Canvas c(kS, kS);
  constexpr double cx = 15, cy = 15;
  // Blur arcs behind the blades.
  draw::ring(c, cx, cy, 14, 1, c_(pal::STEEL, 4));
  const double base = k * kPi / 8;  // 4 frames cover a quarter turn: the blades look alike
  for (int b = 0; b < 4; ++b) {
    const double a = base + b * kPi / 2;
    auto at = [&](double r, double da) {
      return Vec2{cx + std::cos(a + da) * r, cy + std::sin(a + da) * r};
    };
    const std::vector<Vec2> blade = {at(3, -0.6), at(9, -0.45), at(14.5, -0.05), at(11, 0.35),
                                     at(5, 0.5)};
    draw::fill_polygon(c, blade, draw::linear_gradient(pal::STEEL, at(3, 0), 6, at(14, 0), 13));
    draw::line(c, at(4, -0.55).x, at(4, -0.55).y, at(14, -0.08).x, at(14, -0.08).y,
               c_(pal::STEEL, 15));
  }
  ball(c, cx, cy, 5.5, 5.5, pal::ORANGE, 5, 14);
  draw::fill_circle(c, cx, cy, 2, c_(pal::RED, 3));
  draw::fill_circle(c, cx - 0.5, cy - 0.5, 0.8, c_(pal::YELLOW, 15));
  finish(c);
  return c;
}

// ---- 136: screw ----
Canvas screw_frame(int k) {
  constexpr int kW = 38, kH = 18;
  Canvas c(kW, kH);
  // Tail fins.
  poly(c, {{28, 5}, {36, 0.5}, {37, 5}}, c_(pal::RED, 8));
  poly(c, {{28, 13}, {36, 17.5}, {37, 13}}, c_(pal::RED, 5));
  // Body.
  poly_v(c, {{13, 3}, {31, 4}, {35, 7}, {35, 11}, {31, 14}, {13, 15}}, pal::BROWN, 3, 15, 12, 4);
  draw::line(c, 16.5, 3.5, 16.5, 14.5, c_(pal::BROWN, 2));
  draw::fill_ellipse(c, 24, 7, 4, 1.8, c_(pal::ORANGE, 12));  // window band
  draw::fill_ellipse(c, 36, 9, 1.5, 2 + (k % 2), c_(pal::YELLOW, 14));
  // The drill: a cone with a spiral running along it.
  const std::vector<Vec2> cone = {{1, 9}, {14, 1.5}, {14, 16.5}};
  draw::fill_polygon(c, cone, draw::linear_gradient(pal::YELLOW, {0, 2}, 14, {0, 16}, 5));
  for (int s = 0; s < 4; ++s) {
    const double x = 14 - ((s * 4 + k) % 16) * 0.85;
    const double half = 7.5 * (x - 1) / 13;
    draw::line(c, x, 9 - half, x - 2.2, 9 + half, c_(pal::BROWN, 4));
  }
  finish(c);
  return c;
}

// ---- 137: hanging jelly ----
Canvas hang_frame(int k) {
  constexpr int kW = 28, kH = 30;
  Canvas c(kW, kH);
  const double phase = k * kPi / 2;
  // Dome with a flat underside.
  draw::fill_ellipse(c, 14, 12, 12, 10, draw::sphere_shade(pal::TEAL, 14, 12, 12, -1, -1.3, 4, 14));
  for (int y = 13; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) c.set(x, y, 0);
  }
  // Tentacles swaying under it.
  for (int t = 0; t < 5; ++t) {
    const double x0 = 6 + t * 4;
    for (int y = 13; y < kH - 1; ++y) {
      const double s = (y - 13) / 16.0;
      const double x = x0 + std::sin(phase + y * 0.45 + t) * 2.0 * s;
      const int level = 12 - static_cast<int>(s * 8);
      c.set(static_cast<int>(x), y, c_(t % 2 ? pal::TEAL : pal::CYAN, level));
      if (y < 21) c.set(static_cast<int>(x) + 1, y, c_(pal::TEAL, level - 3));
    }
  }
  // The frilled rim.
  for (int x = 2; x < 26; ++x) {
    const double y = 12.5 + std::sin(x * 0.9 + phase) * 1.0;
    c.set(x, static_cast<int>(y), c_(pal::CYAN, 12));
    c.set(x, static_cast<int>(y) - 1, c_(pal::TEAL, 7));
  }
  ball(c, 14, 7, 3.5 + (k % 2) * 0.5, 3, pal::PINK, 8, 15);
  draw::fill_circle(c, 8, 5, 1.2, c_(pal::CYAN, 15));
  draw::fill_circle(c, 20, 8, 0.9, c_(pal::CYAN, 13));
  finish(c);
  return c;
}

// ---- 138: bouncing mine ----
Canvas bounce_frame(int k) {
  constexpr int kS = 28;
  Canvas c(kS, kS);
  // Height and squash through one bounce.
  constexpr std::array<double, 6> kY = {19.5, 15, 11.5, 10.5, 11.5, 15};
  constexpr std::array<double, 6> kSx = {1.25, 0.95, 1.0, 1.0, 1.0, 0.95};
  constexpr std::array<double, 6> kSy = {0.75, 1.1, 1.0, 1.0, 1.0, 1.1};
  const double cx = 14, cy = kY[k], sx = kSx[k], sy = kSy[k];
  for (int i = 0; i < 8; ++i) {
    const double a = i * kPi / 4 + kPi / 8;
    const double ca = std::cos(a), sa = std::sin(a);
    poly(c,
         {{cx + ca * 6 * sx - sa * 2, cy + sa * 6 * sy + ca * 2},
          {cx + ca * 6 * sx + sa * 2, cy + sa * 6 * sy - ca * 2},
          {cx + ca * 10.5 * sx, cy + sa * 10.5 * sy}},
         c_(pal::STEEL, 8 + (i % 2) * 4));
  }
  ball(c, cx, cy, 7.5 * sx, 7.5 * sy, pal::RED, 4, 13);
  // A glowing slit.
  draw::fill_ellipse(c, cx - 2, cy, 3.5 * sx, 1.2 * sy, c_(pal::YELLOW, 14));
  draw::fill_ellipse(c, cx - 2.8, cy, 1.2, 0.9, kWhite);
  finish(c);
  return c;
}

// ---- 122: UFO ----
Canvas ufo_frame(int k) {
  constexpr int kW = 52, kH = 22;
  Canvas c(kW, kH);
  // Glow under the saucer.
  draw::fill_ellipse(c, 26, 18.5, 9 + (k % 2) * 2, 3, c_(pal::CYAN, 10 + (k % 2) * 3));
  draw::fill_ellipse(c, 26, 18.5, 5, 1.8, kGlowCyan);
  // Dome.
  draw::fill_ellipse(c, 26, 10, 10, 8,
                     draw::sphere_shade(pal::PURPLE, 26, 10, 10, -1, -1.4, 5, 14));
  draw::fill_ellipse(c, 22.5, 6.5, 2.5, 1.6, c_(pal::PURPLE, 15));
  // Hull: a wide lens with a lighter upper rim.
  draw::fill_ellipse(c, 26, 14.5, 25.5, 5,
                     draw::linear_gradient(pal::STEEL, {0, 10}, 12, {0, 19}, 3));
  draw::fill_ellipse(c, 26, 12.5, 19, 2.6,
                     draw::linear_gradient(pal::STEEL, {0, 10}, 14, {0, 15}, 8));
  draw::line(c, 1.5, 14.5, 50.5, 14.5, c_(pal::STEEL, 2));
  // Running lights chase round the rim.
  for (int i = 0; i < 7; ++i) {
    const double x = 5 + i * 7;
    const bool lit = (i + k) % 4 == 0;
    draw::fill_circle(c, x, 16.3, 1.3, lit ? c_(pal::YELLOW, 15) : c_(pal::RED, 8));
  }
  finish(c);
  return c;
}

// ---- 125: pop pod ----
Canvas pod_frame(int k, bool open) {
  constexpr int kW = 28, kH = 32;
  Canvas c(kW, kH);
  constexpr double cx = 14, cy = 16;
  const double gap = open ? 4.5 : 0;
  if (open) {
    // The core that fires, pulsing.
    const double r = 5.5 + (k % 2) * 1.0 + (k == 2 ? 0.5 : 0);
    draw::fill_circle(c, cx, cy, r + 1.5, c_(pal::CYAN, 8));
    ball(c, cx, cy, r, r, pal::CYAN, 10, 15);
    draw::fill_circle(c, cx - 1, cy - 1, r * 0.45, kWhite);
  }
  // Upper and lower shells: halves of a ball, pulled apart when open, each with a spike.
  Canvas upper(kW, kH), lower(kW, kH);
  poly(upper, {{cx - 2, cy - 9}, {cx + 2, cy - 9}, {cx + 0.5, cy - 15}}, c_(pal::STEEL, 11));
  poly(lower, {{cx - 2, cy + 9}, {cx + 2, cy + 9}, {cx + 0.5, cy + 15}}, c_(pal::STEEL, 6));
  draw::fill_ellipse(upper, cx, cy, 11, 10,
                     draw::sphere_shade(pal::BROWN, cx, cy, 11, -1, -1.2, 3, 13));
  draw::fill_ellipse(lower, cx, cy, 11, 10,
                     draw::sphere_shade(pal::BROWN, cx, cy, 11, -1, -1.2, 3, 13));
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      if (y >= cy) upper.set(x, y, 0);
      if (y < cy) lower.set(x, y, 0);
    }
  }
  // Armour plates: ribs that follow the curve of the shell.
  for (double u : {-0.62, -0.22, 0.22, 0.62}) {
    for (int y = 0; y < kH; ++y) {
      const double v = (y + 0.5 - cy) / 10.0;
      if (std::fabs(v) >= 1) continue;
      const int x = static_cast<int>(cx + u * 11 * std::sqrt(1 - v * v));
      if (upper.get(x, y)) upper.set(x, y, c_(pal::ORANGE, 7));
      if (lower.get(x, y)) lower.set(x, y, c_(pal::BROWN, 3));
    }
  }
  draw::blit(c, upper, 0, -static_cast<int>(gap));
  draw::blit(c, lower, 0, static_cast<int>(gap * 0.6));
  // The seam light blinks while closed; the rims glow while open.
  if (!open) {
    draw::line(c, 3.5, cy + 0.5, 24.5, cy + 0.5, c_(pal::BROWN, 1));
    if (k % 2 == 0) draw::fill_circle(c, 4.5, cy + 0.5, 1.3, c_(pal::RED, 14));
  } else {
    draw::line(c, 3.5, cy - gap - 0.5, 24.5, cy - gap - 0.5, c_(pal::CYAN, 12));
    draw::line(c, 3.5, cy + gap * 0.6 + 0.5, 24.5, cy + gap * 0.6 + 0.5, c_(pal::CYAN, 12));
  }
  finish(c);
  return c;
}

// ---- 121: walker ----
Canvas walker_frame(int k) {
  // Small beside the ship: something to pick up, not to fear.
  constexpr int kW = 17, kH = 22;
  Canvas c(kW, kH);
  // Body height above the ground and squash through one hop.
  constexpr std::array<double, 6> kLift = {0, 2, 4, 5, 3, 1};
  constexpr std::array<double, 6> kSquash = {0.8, 1.1, 1.0, 1.0, 1.0, 1.05};
  const double lift = kLift[k], sq = kSquash[k];
  const double ry = 5.0 * sq, rx = 5.4 / std::sqrt(sq);
  const double cy = kH - 2.5 - lift - ry;
  const double cx = 8.5;
  // Legs and feet.
  for (double fx : {5.5, 11.0}) {
    const double foot_y = lift > 1 ? kH - 1.0 - lift : kH - 1.2;
    draw::thick_line(c, {fx + 0.5, cy + ry - 1}, {fx, foot_y}, 1.3, c_(pal::BROWN, 6));
    draw::fill_ellipse(c, fx - 1.0, foot_y, 1.9, 1.1, c_(pal::BROWN, 8));
  }
  // Antenna with its bulb.
  draw::line(c, cx + 1.5, cy - ry + 0.5, cx + 3, cy - ry - 2.5, c_(pal::GREY, 9));
  draw::fill_circle(c, cx + 3.3, cy - ry - 2.8, 1.2, c_(pal::PINK, 13));
  ball(c, cx, cy, rx, ry, pal::YELLOW, 6, 15);
  // Big friendly eyes looking ahead (-x).
  for (double ex : {cx - 2.6, cx + 0.6}) {
    draw::fill_ellipse(c, ex, cy - 1.2 * sq, 1.5, 2.0 * sq, kWhite);
    draw::fill_circle(c, ex - 0.5, cy - 1.0 * sq, 0.8, c_(pal::BLUE, 1));
  }
  draw::line(c, cx - 3, cy + 2.4 * sq, cx - 0.8, cy + 2.6 * sq, c_(pal::ORANGE, 4));  // smile
  finish(c);
  return c;
}

template <typename F>
std::vector<Canvas> frames(int count, F f) {
  std::vector<Canvas> out;
  for (int k = 0; k < count; ++k) out.push_back(f(k));
  return out;
}

}  // namespace

std::vector<SpriteArt> enemy_art() {
  std::vector<SpriteArt> out;
  Rng rng(0xE7E);
  out.push_back(make_art("spr_hover", "HOVR", frames(4, hover_frame), {5, 5, 5, 5}));
  out.push_back(make_art("spr_tank", "TANK", frames(4, tank_frame), {4, 4, 4, 4}));
  out.push_back(make_art("spr_sleda", "SLED", frames(4, [&](int k) { return sled_frame(k, rng); }),
                         {3, 3, 3, 3}));
  out.push_back(make_art("spr_flap", "FLAP", frames(4, flap_frame), {4, 4, 4, 4}, true));
  out.push_back(make_art("spr_rdeye", "REYE", frames(6, eye_frame), {20, 12, 14, 12, 14, 4}));
  out.push_back(make_art("spr_blade", "BLAD", frames(4, blade_frame), {2, 2, 2, 2}));
  out.push_back(make_art("spr_screw", "SCRW", frames(4, screw_frame), {3, 3, 3, 3}));
  out.push_back(make_art("spr_hang", "HANG", frames(4, hang_frame), {6, 6, 6, 6}));
  out.push_back(
      make_art("spr_animated_bounce", "BNCE", frames(6, bounce_frame), {3, 4, 5, 5, 5, 4}));
  out.push_back(make_art("spr_ufoa", "UFOA", frames(4, ufo_frame), {4, 4, 4, 4}));
  out.push_back(make_art("spr_popc", "POPC", frames(4, [](int k) { return pod_frame(k, false); }),
                         {8, 8, 8, 8}));
  out.push_back(make_art("spr_popa", "POPA", frames(4, [](int k) { return pod_frame(k, true); }),
                         {3, 3, 3, 3}));
  out.push_back(make_art("spr_jump", "JUMP", frames(6, walker_frame), {6, 4, 4, 5, 4, 4}));
  return out;
}
