// The player's ship: a small flat-shaded model seen from behind and above, turned for the reversal
// and the jet turns, with its exhaust flame, warp streaks, explosion and shadow.
#include <algorithm>
#include <array>
#include <cmath>

#include "tools/zrgen/draw.h"
#include "tools/zrgen/rng.h"
#include "tools/zrgen/sprite_art.h"

namespace {

using draw::Face;
using draw::Mesh;
using draw::Vec2;
using draw::Vec3;

constexpr double kPi = 3.14159265358979323846;
constexpr int kWidth = 50;  // picture size of every ship frame
constexpr int kHeight = 22;
constexpr double kPitch = 0.34;  // the camera looks down on the ship by about 20 degrees
constexpr double kScale = 3.5;   // pixels per model unit
constexpr double kCentreX = 19.5;
constexpr double kCentreY = 12.0;

// A cross-section of the fuselage at one x: top, bottom and half-width.
std::vector<Vec2> section(double top, double bottom, double w) {
  return {{top, 0.35 * w},
          {top * 0.45 + bottom * 0.1, w},
          {bottom * 0.55, w},
          {bottom, 0.4 * w},
          {bottom, -0.4 * w},
          {bottom * 0.55, -w},
          {top * 0.45 + bottom * 0.1, -w},
          {top, -0.35 * w}};
}

Mesh ship_mesh() {
  Mesh m;
  struct Station {
    double x, top, bottom, w;
  };
  // Nose at -x, engine at +x.
  constexpr std::array<Station, 5> kHull = {{{-5.3, 0.1, -0.05, 0.08},
                                             {-3.1, 0.65, -0.5, 0.7},
                                             {-0.6, 0.95, -0.8, 1.0},
                                             {2.6, 0.95, -0.8, 1.05},
                                             {4.5, 0.75, -0.6, 0.8}}};
  for (size_t i = 0; i + 1 < kHull.size(); ++i) {
    const auto a = section(kHull[i].top, kHull[i].bottom, kHull[i].w);
    const auto b = section(kHull[i + 1].top, kHull[i + 1].bottom, kHull[i + 1].w);
    Mesh part = draw::loft_x(kHull[i].x, a, kHull[i + 1].x, b, pal::STEEL, 9.0, false);
    // The belly is a darker blue-grey than the back.
    for (Face& f : part) {
      double y = 0;
      for (const Vec3& p : f.points) y += p.y;
      if (y / static_cast<double>(f.points.size()) < -0.3) f.level = 6.0;
    }
    draw::append(m, part);
  }
  // Canopy.
  const std::array<Vec2, 4> c0 = {{{0.62, 0.25}, {0.62, -0.25}, {0.7, -0.3}, {0.7, 0.3}}};
  const std::array<Vec2, 4> c1 = {{{0.9, 0.5}, {0.9, -0.5}, {1.55, -0.35}, {1.55, 0.35}}};
  const std::array<Vec2, 4> c2 = {{{0.9, 0.4}, {0.9, -0.4}, {1.2, -0.25}, {1.2, 0.25}}};
  draw::append(m, draw::loft_x(-3.0, c0, -1.4, c1, pal::CYAN, 9.0, false));
  draw::append(m, draw::loft_x(-1.4, c1, 0.6, c2, pal::CYAN, 7.0, true));
  // Engine nozzle.
  const std::array<Vec2, 6> n0 = {
      {{0.6, 0}, {0.3, 0.55}, {-0.3, 0.55}, {-0.6, 0}, {-0.3, -0.55}, {0.3, -0.55}}};
  const std::array<Vec2, 6> n1 = {
      {{0.55, 0}, {0.27, 0.5}, {-0.27, 0.5}, {-0.55, 0}, {-0.27, -0.5}, {0.27, -0.5}}};
  Mesh nozzle = draw::loft_x(4.4, n0, 5.1, n1, pal::GREY, 5.0, true);
  nozzle.back().ramp = pal::ORANGE;  // the hot end cap
  nozzle.back().level = 9.0;
  nozzle.back().emissive = true;
  draw::append(m, nozzle);
  // Swept wings and their red tips, a little below the middle of the hull.
  for (double s : {1.0, -1.0}) {
    m.push_back(draw::flat({{-0.8, -0.25, s * 0.95},
                            {3.3, -0.25, s * 0.95},
                            {4.0, -0.35, s * 4.0},
                            {2.6, -0.35, s * 4.0}},
                           pal::BLUE, 8.0));
    m.push_back(draw::flat({{2.6, -0.35, s * 4.0},
                            {4.0, -0.35, s * 4.0},
                            {4.05, -0.36, s * 4.35},
                            {2.9, -0.36, s * 4.35}},
                           pal::RED, 9.0));
    // A stripe along each flank.
    m.push_back(draw::flat({{-3.0, 0.05, s * 0.78},
                            {3.6, 0.05, s * 1.0},
                            {3.6, -0.22, s * 1.0},
                            {-3.0, -0.2, s * 0.76}},
                           pal::RED, 8.0));
  }
  // Tail fin.
  m.push_back(
      draw::flat({{1.9, 0.9, 0}, {4.4, 0.75, 0}, {4.8, 2.3, 0}, {3.9, 2.3, 0}}, pal::BLUE, 8.0));
  return m;
}

draw::View ship_view(double yaw) {
  draw::View v;
  v.yaw = yaw;
  v.pitch = kPitch;
  v.scale = kScale;
  v.cx = kCentreX;
  v.cy = kCentreY;
  return v;
}

// The exhaust flame: `length` model units out of the nozzle along +x, flickering with `rng`.
void draw_flame(Canvas& c, const draw::View& view, double length, Rng& rng) {
  if (length <= 0) return;
  const Vec3 base{5.1, 0.0, 0.0};
  struct Layer {
    pal::Ramp ramp;
    int level;
    double scale;
  };
  constexpr std::array<Layer, 3> kLayers = {
      {{pal::RED, 11, 1.0}, {pal::ORANGE, 12, 0.75}, {pal::YELLOW, 14, 0.45}}};
  for (const Layer& layer : kLayers) {
    const double len = length * layer.scale * (0.85 + 0.3 * rng.unit());
    const double r = 0.5 * (0.6 + 0.4 * layer.scale);
    std::vector<Vec2> pts;
    // A cone approximated by a fan of its outline seen from the view.
    for (int k = 0; k < 8; ++k) {
      const double a = 2 * kPi * k / 8;
      pts.push_back(draw::project(view, {base.x, base.y + r * std::cos(a), r * std::sin(a)}));
    }
    std::vector<Vec2> hull;
    const Vec2 tip = draw::project(view, {base.x + len, base.y + 0.05, 0});
    // Fill the rim and the triangles to the tip.
    draw::fill_polygon(c, pts, pal::shade(layer.ramp, layer.level));
    for (int k = 0; k < 8; ++k) {
      const std::array<Vec2, 3> tri = {{pts[k], pts[(k + 1) % 8], tip}};
      draw::fill_polygon(c, tri, pal::shade(layer.ramp, layer.level));
    }
  }
  // A white-hot core right at the nozzle.
  const Vec2 core = draw::project(view, {base.x + 0.3, base.y, 0});
  draw::fill_ellipse(c, core.x, core.y, 0.9, 0.8, kWhite);
}

Canvas ship_picture(double yaw, double flame, Rng& rng, bool beacon = false) {
  Canvas c(kWidth, kHeight);
  const draw::View view = ship_view(yaw);
  // The flame is behind the hull unless the tail turns towards the viewer.
  const bool flame_in_front = std::sin(yaw) < -0.35;
  if (!flame_in_front) draw_flame(c, view, flame, rng);
  draw::draw_mesh(c, ship_mesh(), view, {-0.35, 0.8, 0.55}, 4.5, false);
  if (flame_in_front) draw_flame(c, view, flame, rng);
  draw::outline_tinted(c, 1);
  if (beacon) {
    // The navigation light at the top of the fin.
    const Vec2 b = draw::project(view, {4.45, 2.35, 0});
    c.set(static_cast<int>(b.x), static_cast<int>(b.y), kWhite);
    c.set(static_cast<int>(b.x), static_cast<int>(b.y) - 1, pal::shade(pal::RED, 13));
  }
  return c;
}

// Warp: the ship smears into streaks of light towards its tail, flashes and forms again.
Canvas warp_frame(const Canvas& ship, int phase, Rng& rng) {
  // phase 0..7: 0 and 7 are the plain ship.
  constexpr std::array<double, 8> kSmear = {0, 6, 14, 22, 22, 14, 6, 0};
  constexpr std::array<double, 8> kKeep = {1.0, 0.9, 0.45, 0.0, 0.0, 0.45, 0.9, 1.0};
  Canvas out(ship.width, ship.height);
  for (int y = 0; y < ship.height; ++y) {
    for (int x = 0; x < ship.width; ++x) {
      const uint8_t p = ship.get(x, y);
      if (p == 0) continue;
      const int len = static_cast<int>(kSmear[phase] * (0.4 + 0.6 * rng.unit()));
      // Leaving: streaks trail towards the tail (+x); arriving: they run in from the nose.
      const int dir = phase < 4 ? 1 : -1;
      for (int i = 1; i <= len; ++i) {
        const int level = 15 - i * 8 / std::max(1, len);
        out.set(x + dir * i, y, pal::shade(pal::CYAN, level));
      }
    }
  }
  for (int y = 0; y < ship.height; ++y) {
    for (int x = 0; x < ship.width; ++x) {
      const uint8_t p = ship.get(x, y);
      if (p == 0 || rng.unit() >= kKeep[phase]) continue;
      const int lift = phase == 0 || phase == 7 ? 0 : 3;
      out.set(x, y, pal::shade(draw::ramp_of(p), draw::level_of(p) + lift));
    }
  }
  if (phase == 3 || phase == 4) {
    // The jump itself: a flare across the ship's middle.
    const int cy = ship.height / 2;
    draw::line(out, 0.5, cy + 0.5, ship.width - 0.5, cy + 0.5, kWhite);
    draw::fill_ellipse(out, ship.width / 2.0, cy + 0.5, 9, 3.5, pal::shade(pal::CYAN, 14));
    draw::fill_ellipse(out, ship.width / 2.0, cy + 0.5, 5, 2, kWhite);
  }
  return out;
}

// The ship's explosion: a white flash, the hull breaks into pieces that fly apart and burn out
// while a flattened fireball grows, cools and leaves smoke.
Canvas ship_explosion_frame(const Canvas& ship, int k, int count, Rng& rng) {
  Canvas c(ship.width, ship.height);
  const double t = static_cast<double>(k) / (count - 1);  // 0 … 1
  const double cx = kCentreX + 1, cy = kCentreY;
  // Smoke, behind everything, rising as the fire dies.
  if (t > 0.35) {
    const double s = (t - 0.35) / 0.65;
    for (int i = 0; i < 7; ++i) {
      Rng p(700 + i);
      const double x = cx + (p.unit() - 0.5) * 30 * (0.6 + s);
      const double y = cy + 2 - s * 8 + (p.unit() - 0.5) * 6;
      const double r = (2.5 + p.unit() * 2.5) * (1.1 - s * 0.5);
      if (p.unit() > s * 0.8) {
        draw::fill_ellipse(c, x, y, r, r * 0.8,
                           draw::sphere_shade(pal::GREY, x, y, r, -1, -1, 2, 7 - 3 * s));
      }
    }
  }
  // The fireball, flattened to the ship's box: hot at the heart, cooling outwards and with time.
  const double heat = std::max(0.0, 1.0 - t * 1.5);
  if (heat > 0 && k > 0) {
    const double r = 4 + 14 * std::min(1.0, t * 3.5);
    for (int i = 0; i < 14; ++i) {
      const double a = rng.unit() * 2 * kPi, d = rng.unit() * r * 0.65;
      const double bx = cx + std::cos(a) * d, by = cy + std::sin(a) * d * 0.4;
      const double br = (0.3 + 0.25 * rng.unit()) * r * (0.6 + 0.4 * heat);
      const pal::Ramp ramp = d < r * 0.3 && heat > 0.45 ? pal::YELLOW
                             : heat > 0.3               ? pal::ORANGE
                                                        : pal::RED;
      draw::fill_ellipse(c, bx, by, br, br * 0.6,
                         draw::sphere_shade(ramp, bx, by, br, -1, -1, 6 + 4 * heat, 12 + 3 * heat));
    }
  }
  // Hull pieces: the picture cut into small blocks that fly outwards, fall and burn away.
  if (t < 0.8) {
    constexpr int kBw = 6, kBh = 5;
    int index = 0;
    for (int by = 0; by < ship.height; by += kBh) {
      for (int bx = 0; bx < ship.width; bx += kBw, ++index) {
        Rng p(300 + index);
        const double vx = (bx + kBw / 2.0 - cx) / 14.0 + (p.unit() - 0.5) * 0.8;
        const double vy = (by + kBh / 2.0 - cy) / 6.0 - 0.3 + (p.unit() - 0.5) * 0.6;
        const int dx = static_cast<int>(std::lround(vx * t * 22));
        const int dy = static_cast<int>(std::lround(vy * t * 10 + 14 * t * t));
        if (p.unit() < t * 1.2) continue;  // this piece has burnt away
        for (int y = by; y < std::min(by + kBh, ship.height); ++y) {
          for (int x = bx; x < std::min(bx + kBw, ship.width); ++x) {
            const uint8_t px = ship.get(x, y);
            if (px == 0 || p.unit() < t * 0.4) continue;  // the piece crumbles as it flies
            const uint8_t burnt = p.unit() < t * 1.5
                                      ? pal::shade(pal::ORANGE, 10 - static_cast<int>(t * 8))
                                      : pal::shade(draw::ramp_of(px), draw::level_of(px) - k);
            c.set(x + dx, y + dy, k == 0 ? pal::shade(draw::ramp_of(px), 15) : burnt);
          }
        }
      }
    }
  }
  if (k <= 1) {
    // The flash of the hit.
    draw::fill_ellipse(c, cx, cy, 11 - k * 3.0, 6 - k * 2.0, pal::shade(pal::YELLOW, 15));
    draw::fill_ellipse(c, cx, cy, 6 - k * 2.0, 3, kWhite);
  }
  // Sparks.
  for (int i = 0; i < static_cast<int>(10 * (1.0 - t)) + 2; ++i) {
    const double a = rng.unit() * 2 * kPi, d = 6 + rng.unit() * 18 * (0.4 + t);
    c.set(static_cast<int>(cx + std::cos(a) * d), static_cast<int>(cy + std::sin(a) * d * 0.45),
          pal::shade(t < 0.6 ? pal::YELLOW : pal::ORANGE, 14));
  }
  return c;
}

// The ship's outline flattened onto the ground, seen from the camera: the picture of its shadow.
Canvas shadow_picture(double yaw, int width, int height) {
  Mesh flat = ship_mesh();
  for (Face& f : flat) {
    for (Vec3& p : f.points) p.y = 0;
    f.two_sided = true;
  }
  Canvas c(width, height);
  draw::View v;
  v.yaw = yaw;
  v.pitch = 0.5;  // the ground seen from the camera's height
  v.scale = kScale;
  v.cx = width / 2.0;
  v.cy = height / 2.0;
  draw::draw_mesh(c, flat, v, {0, 1, 0}, 0);
  // Soften the edge: every other pixel of the rim is left out.
  Canvas soft = c;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (!c.get(x, y)) continue;
      const bool rim = x == 0 || y == 0 || x == width - 1 || y == height - 1 || !c.get(x - 1, y) ||
                       !c.get(x + 1, y) || !c.get(x, y - 1) || !c.get(x, y + 1);
      if (rim && (x + y) % 2) soft.set(x, y, 0);
    }
  }
  // The shadow blend only needs to know where the shadow falls; one dark shade marks it.
  for (uint8_t& p : soft.pixels) {
    if (p) p = pal::shade(pal::GREY, 0);
  }
  return soft;
}

}  // namespace

std::vector<SpriteArt> ship_art() {
  std::vector<SpriteArt> out;
  Rng rng(0x5117);

  Rng still_rng(1);
  SpriteArt idle;
  idle.name = "SHIPIDLE";
  idle.base = "SHIP";
  idle.frames = {ship_picture(0, 0, still_rng)};
  out.push_back(idle);

  // Thrust: the flame lights and burns; the game replays the burning frames while thrust is held.
  {
    std::vector<Canvas> f;
    for (double len : {0.8, 1.6, 2.3, 2.9}) f.push_back(ship_picture(0, len, rng));
    out.push_back(make_art("spr_start_thrust", "STHR", std::move(f), {4, 4, 4, 4}));
  }
  {
    std::vector<Canvas> f;
    for (double len : {2.9, 2.5, 3.1, 2.7}) f.push_back(ship_picture(0, len, rng));
    out.push_back(make_art("spr_continue_thrust", "CTHR", std::move(f), {3, 3, 3, 3}));
  }
  {
    std::vector<Canvas> f;
    // The game gives this animation again each time it ends while no thrust is held, so it is
    // also the ship's idle loop: a last glow in the nozzle with the fin's light, then the ship at
    // rest.
    f.push_back(ship_picture(0, 0.5, rng, true));
    f.push_back(ship_picture(0, 0.0, rng));
    out.push_back(make_art("spr_stop_thrust", "PTHR", std::move(f), {8, 45}));
  }
  // Reversal: the nose swings round through the viewer to the new side (the last frame faces -x;
  // the game mirrors it when the ship now faces +x).
  {
    std::vector<Canvas> f;
    for (int deg : {180, 150, 120, 90, 60, 30, 0})
      f.push_back(ship_picture(deg * kPi / 180, 1.2, rng));
    out.push_back(make_art("spr_reverse", "REVS", std::move(f), {5, 5, 5, 5, 5, 5, 5}));
  }
  // Jet turns: the nose turns away from the viewer (to the lane behind) or towards it (the lane in
  // front), full thrust, and straightens again; about as long as the 75-step turn.
  for (int dir : {-1, 1}) {
    std::vector<Canvas> f;
    for (int deg : {0, 25, 50, 65, 65, 50, 25, 0}) {
      f.push_back(ship_picture(dir * deg * kPi / 180, 2.7, rng));
    }
    out.push_back(make_art(dir < 0 ? "spr_jetturnb" : "spr_jetturnf", dir < 0 ? "JETB" : "JETF",
                           std::move(f), {8, 8, 8, 8, 8, 8, 8, 8}));
  }
  // Warp at the landscape's end.
  {
    const Canvas ship = ship_picture(0, 1.0, rng);
    std::vector<Canvas> f;
    for (int k = 0; k < 8; ++k)
      f.push_back(k == 7 ? ship_picture(0, 0, rng) : warp_frame(ship, k, rng));
    out.push_back(make_art("spr_warp", "WARP", std::move(f), {5, 5, 5, 5, 5, 5, 5, 5}));
  }
  // The ship's explosion lasts a little longer than the 100 steps after a hit.
  {
    const Canvas ship = ship_picture(0, 0, rng);
    std::vector<Canvas> f;
    constexpr int kCount = 12;
    for (int k = 0; k < kCount; ++k) f.push_back(ship_explosion_frame(ship, k, kCount, rng));
    out.push_back(make_art("spr_explode2", "XPL2", std::move(f), std::vector<int>(kCount, 9)));
  }
  // The ship's shadow and its turn during a reversal (it ends pointing +x).
  constexpr int kShadowW = 44, kShadowH = 9;
  SpriteArt shadow;
  shadow.name = "SHIPSHADOW";
  shadow.base = "SHSHAD";
  shadow.frames = {shadow_picture(kPi, kShadowW, kShadowH)};
  out.push_back(shadow);
  {
    std::vector<Canvas> f;
    for (int deg : {0, 30, 60, 90, 120, 150, 180})
      f.push_back(shadow_picture(deg * kPi / 180, kShadowW, kShadowH));
    out.push_back(make_art("spr_shadowa", "SHDA", std::move(f), {5, 5, 5, 5, 5, 5, 5}));
  }
  return out;
}
