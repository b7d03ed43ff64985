// Lasers, the laser deflected by a closed pod, enemy shots, the enemies' explosion, the enemies'
// shadow and the two cockpit objects in front of the camera (the scanner's glass and the plate
// behind the lane number).
#include <array>
#include <cmath>

#include "tools/zrgen/draw.h"
#include "tools/zrgen/rng.h"
#include "tools/zrgen/sprite_art.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

uint8_t c_(pal::Ramp r, int level) {
  return pal::shade(r, level);
}

// ---- lasers: a thin beam whose head leads at -x ----
constexpr int kLaserW = 40;
constexpr int kLaserH = 3;

Canvas laser_frame(int k) {
  Canvas c(kLaserW, kLaserH);
  for (int x = 0; x < kLaserW; ++x) {
    const double t = static_cast<double>(x) / (kLaserW - 1);  // 0 at the head
    // The tail breaks up into dashes that shift between the frames.
    if (t > 0.6 && ((x + k * 2) % 5) >= 3) continue;
    const int glow = 14 - static_cast<int>(t * 9);
    c.set(x, 1, t < 0.35 ? kWhite : c_(pal::CYAN, glow + 1));
    if (t < 0.8) {
      c.set(x, 0, c_(pal::CYAN, glow - 2));
      c.set(x, 2, c_(pal::CYAN, glow - 3));
    }
  }
  c.set(0, 0, 0);
  c.set(0, 2, 0);
  return c;
}

// Deflected: the beam shatters into sparks that cool from white through yellow to red.
Canvas laser_deflected_frame(int k, Rng& rng) {
  Canvas c(kLaserW, kLaserH);
  constexpr std::array<pal::Ramp, 5> kRamp = {pal::CYAN, pal::YELLOW, pal::YELLOW, pal::ORANGE,
                                              pal::RED};
  const int sparks = 26 - k * 5;
  for (int i = 0; i < sparks; ++i) {
    const int x = rng.range(0, 10 + k * 6);
    const int y = rng.range(0, kLaserH - 1);
    const int len = 1 + rng.range(0, 3 - std::min(k, 3));
    for (int j = 0; j < len; ++j) c.set(x + j, y, c_(kRamp[k], 15 - k - j * 2));
  }
  if (k == 0) {
    for (int x = 0; x < 6; ++x) c.set(x, 1, kWhite);
  }
  return c;
}

// ---- enemy shots ----
constexpr int kShotS = 10;

Canvas bullet_frame(int k) {
  Canvas c(kShotS, kShotS);
  constexpr double m = kShotS / 2.0;
  constexpr std::array<double, 4> kR = {4.0, 4.6, 5.0, 4.4};
  const double r = kR[k];
  // A dithered halo, then the hot ball.
  draw::fill_circle(c, m, m, r, [](int x, int y) {
    return ((x + y) & 1) ? pal::shade(pal::RED, 8) : uint8_t{0};
  });
  draw::fill_circle(c, m, m, r * 0.75, c_(pal::RED, 11));
  draw::fill_circle(c, m, m, r * 0.55, c_(pal::ORANGE, 14));
  draw::fill_circle(c, m, m, r * 0.32, kWhite);
  return c;
}

Canvas shoto_frame(int k) {
  Canvas c(kShotS, kShotS);
  constexpr double m = kShotS / 2.0;
  draw::ring(c, m, m, 4.8, 1.8, c_(pal::PURPLE, 9));
  draw::ring(c, m, m, 3.6, 1.1, kMagenta);
  draw::fill_circle(c, m, m, 1.2, kWhite);
  // A glint running round the ring.
  const double a = k * kPi / 2 + kPi / 4;
  c.set(static_cast<int>(m + std::cos(a) * 3.4), static_cast<int>(m + std::sin(a) * 3.4), kWhite);
  return c;
}

// ---- explosion of enemies, the UFO and pods (drawn into a square-looking box) ----
constexpr int kBlastW = 58;
constexpr int kBlastH = 48;

Canvas blast_frame(int k, int count, Rng& rng) {
  Canvas c(kBlastW, kBlastH);
  const double t = static_cast<double>(k) / (count - 1);
  const double cx = kBlastW / 2.0, cy = kBlastH * 0.55;
  // Debris: the same pieces in every frame, flying outwards and falling.
  for (int i = 0; i < 12; ++i) {
    Rng p(500 + i);
    const double a = p.unit() * 2 * kPi, v = 14 + p.unit() * 14;
    const double x = cx + std::cos(a) * v * t * 1.2;
    const double y = cy + std::sin(a) * v * t * 0.9 + 18 * t * t;
    if (t > 0.05 && t < 0.95) {
      draw::fill_circle(c, x, y, 1.1, c_(i % 3 ? pal::GREY : pal::STEEL, 5 + (i % 4)));
    }
  }
  // Smoke rising once the fire is spent.
  if (t > 0.3) {
    const double s = (t - 0.3) / 0.7;
    for (int i = 0; i < 9; ++i) {
      Rng p(900 + i);
      const double a = p.unit() * 2 * kPi, d = 6 + p.unit() * 10;
      const double x = cx + std::cos(a) * d * (0.8 + s), y = cy + std::sin(a) * d * 0.7 - s * 10;
      const double r = (3 + p.unit() * 4) * (1 - s * 0.55);
      if (p.unit() < 1.15 - s) {
        draw::fill_circle(
            c, x, y, r, draw::sphere_shade(pal::GREY, x, y, r, -1, -1, 2 + 2 * (1 - s), 7 - 2 * s));
      }
    }
  }
  // The fireball: hot in the middle, cooling outwards, growing and then burning out.
  const double grow = std::min(1.0, t * 2.6);
  const double heat = std::max(0.0, 1.0 - t * 1.15);
  if (heat > 0) {
    const double r = 6 + 16 * grow;
    for (int i = 0; i < 16; ++i) {
      const double a = rng.unit() * 2 * kPi, d = rng.unit() * r * 0.6;
      const double bx = cx + std::cos(a) * d, by = cy + std::sin(a) * d * 0.85;
      const double br = (0.3 + 0.3 * rng.unit()) * r * (0.55 + 0.45 * heat);
      const pal::Ramp ramp = d < r * 0.3 && heat > 0.3 ? pal::YELLOW
                             : heat > 0.25             ? pal::ORANGE
                                                       : pal::RED;
      draw::fill_circle(c, bx, by, br,
                        draw::sphere_shade(ramp, bx, by, br, -1, -1, 6 + 4 * heat, 12 + 3 * heat));
    }
    if (heat > 0.5) {
      draw::fill_circle(c, cx, cy, r * 0.35 * heat, c_(pal::YELLOW, 15));
      draw::fill_circle(c, cx, cy, r * 0.18 * heat, kWhite);
    }
  }
  // The first flash throws rays.
  if (k == 0) {
    for (int i = 0; i < 8; ++i) {
      const double a = i * kPi / 4 + 0.2;
      draw::line(c, cx, cy, cx + std::cos(a) * 16, cy + std::sin(a) * 13, c_(pal::YELLOW, 14));
    }
    draw::fill_circle(c, cx, cy, 6, c_(pal::YELLOW, 15));
    draw::fill_circle(c, cx, cy, 3.5, kWhite);
  }
  // Embers.
  for (int i = 0; i < static_cast<int>(14 * (1 - t)) + 2; ++i) {
    const double a = rng.unit() * 2 * kPi, d = 10 + rng.unit() * 16 * (0.5 + t);
    c.set(static_cast<int>(cx + std::cos(a) * d), static_cast<int>(cy + std::sin(a) * d * 0.8),
          c_(t < 0.5 ? pal::YELLOW : pal::ORANGE, 14));
  }
  return c;
}

// ---- enemies' shadow: a soft dark ellipse on the ground ----
Canvas shadow_picture() {
  constexpr int kW = 32, kH = 6;
  Canvas c(kW, kH);
  draw::fill_ellipse(c, kW / 2.0, kH / 2.0, kW / 2.0, kH / 2.0, c_(pal::GREY, 0));
  // A ragged rim: every other edge pixel is left out so the edge looks soft once blended.
  Canvas soft = c;
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      const double dx = (x + 0.5 - kW / 2.0) / (kW / 2.0), dy = (y + 0.5 - kH / 2.0) / (kH / 2.0);
      if (c.get(x, y) && dx * dx + dy * dy > 0.6 && (x + y) % 2) soft.set(x, y, 0);
    }
  }
  return soft;
}

// ---- cockpit objects, seen 152 units in front of the camera ----
// The scanner's glass: a dark blue pane with a faint grid, spanning the scanner strip (the bottom
// 52 rows of the screen), drawn through the glass blend.
Canvas cockpit_glass() {
  constexpr int kW = 340, kH = 52;
  Canvas c(kW, kH);
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      const bool grid = (x % 10 == 0) || (y % 8 == 4);
      c.set(x, y, grid ? c_(pal::BLUE, 6) : draw::dither(pal::BLUE, 3.5 - y * 0.04, x, y));
    }
  }
  for (int x = 0; x < kW; ++x) {
    c.set(x, 0, c_(pal::CYAN, 12));
    c.set(x, 1, c_(pal::CYAN, 7));
  }
  return c;
}

// The plate behind the lane number: a bevelled dark panel with a lit rim.
Canvas cockpit_plate() {
  constexpr int kW = 17, kH = 14;
  Canvas c(kW, kH);
  const std::vector<draw::Vec2> outer = {{2, 0}, {15, 0}, {17, 2}, {17, 14}, {0, 14}, {0, 2}};
  draw::fill_polygon(c, outer, c_(pal::CYAN, 11));
  const std::vector<draw::Vec2> inner = {{2.5, 1}, {14.5, 1}, {16, 2.5},
                                         {16, 13}, {1, 13},   {1, 2.5}};
  draw::fill_polygon(c, inner, draw::linear_gradient(pal::STEEL, {0, 1}, 5, {0, 13}, 1));
  for (int x : {2, 14}) c.set(x, 11, c_(pal::STEEL, 10));
  return c;
}

}  // namespace

std::vector<SpriteArt> effect_art() {
  std::vector<SpriteArt> out;
  Rng rng(0xB1A57);
  std::vector<Canvas> f;

  for (int k = 0; k < 2; ++k) f.push_back(laser_frame(k));
  out.push_back(make_art("spr_laser", "LASR", std::move(f), {2, 2}));
  f.clear();
  for (int k = 0; k < 5; ++k) f.push_back(laser_deflected_frame(k, rng));
  out.push_back(make_art("spr_laserf", "LASF", std::move(f), {3, 3, 3, 3, 3}));
  f.clear();
  for (int k = 0; k < 4; ++k) f.push_back(bullet_frame(k));
  out.push_back(make_art("spr_bullet", "BULT", std::move(f), {3, 3, 3, 3}));
  f.clear();
  for (int k = 0; k < 4; ++k) f.push_back(shoto_frame(k));
  out.push_back(make_art("spr_shoto", "SHTO", std::move(f), {3, 3, 3, 3}));
  f.clear();
  constexpr int kBlastFrames = 9;
  for (int k = 0; k < kBlastFrames; ++k) f.push_back(blast_frame(k, kBlastFrames, rng));
  out.push_back(make_art("spr_explode1", "XPL1", std::move(f), {3, 4, 4, 4, 4, 4, 5, 5, 5}));

  out.push_back(make_art("SHADOW", "SHADOW", {shadow_picture()}));
  out.push_back(make_art("COCKPITGLASS", "CKGLAS", {cockpit_glass()}));
  out.push_back(make_art("COCKPITPLATE", "CKPLAT", {cockpit_plate()}));
  return out;
}
