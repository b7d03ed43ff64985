// Scenery pictures. Drawn at the scale of the player's lane (one picture pixel is about 1.4 world
// units), lit from the upper left, outlined in their own darkest shade.
#include "tools/zrgen/scenery.h"

#include <array>
#include <vector>

#include "tools/zrgen/draw.h"
#include "tools/zrgen/noise.h"
#include "tools/zrgen/rng.h"
#include "tools/zrgen/tables.h"

using draw::Vec2;

namespace {

struct Picture {
  std::string name;            // sprite-bitmap (or animation) name
  std::vector<Canvas> frames;  // one for a still picture
  int delay = 0;               // per frame, for animations
  bool ping_pong = false;
  int size_v = 0, size_h = 0;  // world units
  int blend = 0;               // transparency table counted from 1
};

uint8_t sh(pal::Ramp r, int l) {
  return pal::shade(r, l);
}

// A blob of foliage: overlapping lit spheres.
void foliage(Canvas& c, double cx, double cy, double r, pal::Ramp ramp, uint32_t seed) {
  Rng rng(seed);
  for (int i = 0; i < 7; ++i) {
    const double ox = (rng.unit() - 0.5) * r * 1.1, oy = (rng.unit() - 0.5) * r * 0.9;
    const double rr = r * (0.45 + rng.unit() * 0.25);
    draw::fill_ellipse(c, cx + ox, cy + oy, rr, rr * 0.9,
                       draw::sphere_shade(ramp, cx + ox, cy + oy, rr, -1, -1, 3, 11));
  }
}

void trunk(Canvas& c, double x, double top, double bottom, double w) {
  const std::array<Vec2, 4> p = {
      {{x - w / 2, top}, {x + w / 2, top}, {x + w * 0.8, bottom}, {x - w * 0.8, bottom}}};
  draw::fill_polygon(c, p, draw::linear_gradient(pal::BROWN, {x - w, 0}, 7, {x + w, 0}, 2));
}

Canvas tree() {
  Canvas c(48, 64);
  trunk(c, 24, 30, 63, 6);
  foliage(c, 24, 24, 20, pal::GREEN, 1);
  draw::outline_tinted(c);
  return c;
}

Canvas conifer(bool snowy) {
  Canvas c(32, 64);
  trunk(c, 16, 50, 63, 4);
  for (int tier = 0; tier < 4; ++tier) {
    const double top = 2 + tier * 11, bottom = top + 20, half = 6 + tier * 3;
    const std::array<Vec2, 3> p = {{{16, top}, {16 + half, bottom}, {16 - half, bottom}}};
    draw::fill_polygon(c, p,
                       draw::linear_gradient(pal::GREEN, {16 - half, 0}, 7, {16 + half, 0}, 2));
    if (snowy) {
      const std::array<Vec2, 4> s = {
          {{16, top}, {16 + half * 0.6, top + 12}, {16, top + 9}, {16 - half * 0.8, top + 13}}};
      draw::fill_polygon(c, s, sh(pal::GREY, 14));
    }
  }
  draw::outline_tinted(c);
  return c;
}

Canvas bush() {
  Canvas c(32, 20);
  foliage(c, 16, 12, 10, pal::OLIVE, 3);
  draw::outline_tinted(c);
  return c;
}

Canvas boulder(pal::Ramp ramp, bool ember) {
  Canvas c(32, 24);
  const std::array<Vec2, 7> p = {{{2, 23}, {4, 12}, {11, 3}, {21, 2}, {29, 9}, {31, 23}, {16, 24}}};
  draw::fill_polygon(c, p, draw::sphere_shade(ramp, 16, 14, 16, -1, -1, 2, 11));
  if (ember) {
    for (int i = 0; i < 4; ++i)
      draw::line(c, 8 + i * 5, 8 + i * 2, 12 + i * 4, 20, sh(pal::ORANGE, 12 + i % 3));
  } else {
    draw::line(c, 12, 6, 15, 14, sh(ramp, 3));
  }
  draw::outline_tinted(c);
  return c;
}

Canvas cactus() {
  Canvas c(24, 48);
  auto arm = [&c](double x0, double y0, double x1, double y1, double w) {
    draw::thick_line(c, {x0, y0}, {x1, y1}, w, sh(pal::GREEN, 6));
  };
  draw::fill_ellipse(c, 12, 26, 4.5, 22, draw::linear_gradient(pal::GREEN, {7, 0}, 9, {17, 0}, 3));
  arm(8, 26, 3, 26, 3);
  draw::fill_ellipse(c, 3, 20, 2.5, 8, draw::linear_gradient(pal::GREEN, {0, 0}, 9, {6, 0}, 4));
  arm(16, 20, 21, 20, 3);
  draw::fill_ellipse(c, 21, 15, 2.5, 7, draw::linear_gradient(pal::GREEN, {18, 0}, 8, {24, 0}, 3));
  c.set(12, 4, sh(pal::PINK, 13));
  c.set(11, 4, sh(pal::PINK, 11));
  draw::outline_tinted(c);
  return c;
}

Canvas palm() {
  Canvas c(48, 72);
  for (int i = 0; i < 12; ++i) {  // curved trunk of rings
    const double t = i / 11.0;
    const double x = 26 - 6 * t * t, y = 70 - t * 50;
    draw::fill_ellipse(c, x, y, 3.2, 3, (i & 1) ? sh(pal::BROWN, 7) : sh(pal::BROWN, 5));
  }
  const double fx = 20, fy = 20;
  for (int k = 0; k < 7; ++k) {  // fronds radiate from the crown and droop
    const double a = -0.45 + k * 0.15;
    const double dx = noise::cos_turns(a) * 22, dy = noise::sin_turns(a) * 10;
    const std::array<Vec2, 4> p = {{{fx, fy - 1},
                                    {fx + dx * 0.6, fy + dy - 5},
                                    {fx + dx, fy + dy + 6},
                                    {fx + dx * 0.5, fy + dy}}};
    draw::fill_polygon(c, p, draw::linear_gradient(pal::GREEN, {fx, fy}, 9, {fx + dx, fy + dy}, 4));
    const std::array<Vec2, 4> q = {{{fx, fy - 1},
                                    {fx - dx * 0.6, fy + dy - 5},
                                    {fx - dx, fy + dy + 6},
                                    {fx - dx * 0.5, fy + dy}}};
    draw::fill_polygon(c, q, draw::linear_gradient(pal::GREEN, {fx, fy}, 8, {fx - dx, fy + dy}, 3));
  }
  draw::fill_circle(c, fx, fy + 2, 3, sh(pal::BROWN, 4));
  draw::outline_tinted(c);
  return c;
}

Canvas crystal() {
  Canvas c(24, 40);
  const std::array<Vec2, 5> a = {{{12, 0}, {19, 12}, {17, 39}, {7, 39}, {5, 12}}};
  draw::fill_polygon(c, a, draw::linear_gradient(pal::CYAN, {5, 0}, 14, {19, 0}, 6));
  const std::array<Vec2, 4> b = {{{4, 16}, {8, 24}, {7, 39}, {0, 39}}};
  draw::fill_polygon(c, b, draw::linear_gradient(pal::BLUE, {0, 0}, 12, {8, 0}, 7));
  draw::line(c, 12, 1, 12, 38, sh(pal::SPECIAL, 0));
  draw::outline(c, sh(pal::BLUE, 6));
  return c;
}

Canvas ice_block() {
  Canvas c(40, 28);
  const std::array<Vec2, 6> p = {{{0, 27}, {3, 8}, {14, 1}, {34, 3}, {39, 14}, {38, 27}}};
  draw::fill_polygon(c, p, draw::sphere_shade(pal::CYAN, 18, 12, 20, -1, -1, 6, 14));
  draw::line(c, 8, 10, 20, 22, sh(pal::GREY, 15));
  draw::outline(c, sh(pal::BLUE, 6));
  return c;
}

Canvas dead_tree() {
  Canvas c(40, 56);
  draw::thick_line(c, {20, 55}, {20, 20}, 4, sh(pal::GREY, 3));
  draw::thick_line(c, {20, 30}, {8, 14}, 2.5, sh(pal::GREY, 3));
  draw::thick_line(c, {20, 24}, {31, 8}, 2.5, sh(pal::GREY, 4));
  draw::thick_line(c, {20, 21}, {17, 3}, 2, sh(pal::GREY, 4));
  draw::line(c, 8, 14, 4, 12, sh(pal::GREY, 5));
  draw::line(c, 31, 8, 36, 10, sh(pal::GREY, 5));
  draw::outline(c, sh(pal::GREY, 1));
  return c;
}

Canvas lamp() {
  Canvas c(12, 64);
  draw::thick_line(c, {6, 63}, {6, 8}, 2, sh(pal::STEEL, 7));
  draw::fill_ellipse(c, 6, 6, 5, 4, draw::sphere_shade(pal::YELLOW, 6, 6, 5, -1, -1, 10, 15));
  draw::outline(c, sh(pal::STEEL, 2));
  return c;
}

Canvas mast(bool lit) {
  Canvas c(20, 80);
  draw::line(c, 10, 4, 3, 79, sh(pal::STEEL, 8));
  draw::line(c, 10, 4, 16, 79, sh(pal::STEEL, 6));
  for (int y = 12; y < 80; y += 8)
    draw::line(c, 10 - (y - 4) * 7.0 / 75, y, 10 + (y - 4) * 6.0 / 75, y + 4, sh(pal::STEEL, 7));
  draw::fill_circle(c, 10, 3, 2.5, lit ? sh(pal::SPECIAL, 1) : sh(pal::RED, 5));
  return c;
}

Canvas beacon(bool lit) {
  Canvas c(16, 32);
  const std::array<Vec2, 4> p = {{{5, 10}, {11, 10}, {14, 31}, {2, 31}}};
  draw::fill_polygon(c, p, draw::linear_gradient(pal::STEEL, {2, 0}, 10, {14, 0}, 3));
  draw::fill_ellipse(c, 8, 6, 5, 5,
                     lit ? draw::sphere_shade(pal::CYAN, 8, 6, 5, -1, -1, 11, 15)
                         : draw::sphere_shade(pal::TEAL, 8, 6, 5, -1, -1, 2, 6));
  draw::outline(c, sh(pal::STEEL, 1));
  return c;
}

Canvas bird(int frame) {
  Canvas c(24, 12);
  const double wing[4] = {1, 5, 9, 5};  // wing tip height over the frames
  draw::fill_ellipse(c, 12, 7, 5, 2, sh(pal::GREY, 3));
  draw::thick_line(c, {11, 7}, {2, wing[frame]}, 2, sh(pal::GREY, 2));
  draw::thick_line(c, {13, 7}, {22, wing[frame]}, 2, sh(pal::GREY, 2));
  c.set(6, 6, sh(pal::ORANGE, 10));
  return c;
}

Canvas drone(int frame) {
  Canvas c(28, 12);
  draw::fill_ellipse(c, 14, 7, 7, 4, draw::sphere_shade(pal::STEEL, 14, 7, 7, -1, -1, 3, 12));
  draw::line(c, 2, 3, 26, 3, sh(pal::GREY, 6));
  for (int side = 0; side < 2; ++side) {  // rotor blur alternates length
    const double x = side ? 24 : 4;
    draw::line(c, x - (frame ? 4 : 2), 2, x + (frame ? 4 : 2), 2, sh(pal::GREY, 12));
  }
  c.set(14, 10, frame ? sh(pal::SPECIAL, 1) : sh(pal::RED, 6));
  draw::outline(c, sh(pal::STEEL, 1));
  return c;
}

Canvas steam(int frame) {
  Canvas c(32, 48);
  Rng rng(77);
  for (int i = 0; i < 9; ++i) {
    const double t = i / 8.0;
    const double x = 16 + (rng.unit() - 0.5) * 8 + noise::sin_turns(t + frame / 4.0) * 3;
    const double y = 46 - t * 40 - frame * 2;
    draw::fill_circle(c, x, y, 4 + t * 8, sh(pal::GREY, 9 + i % 3));
  }
  return c;
}

Canvas holo(int frame) {
  Canvas c(40, 32);
  draw::fill_polygon(c, std::array<Vec2, 4>{{{2, 2}, {38, 2}, {38, 24}, {2, 24}}},
                     sh(pal::PINK, 9 + frame));
  for (int y = 5; y < 22; y += 4)
    draw::line(c, 6, y, 6 + (y * 7 + frame * 9) % 26, y, sh(pal::CYAN, 13));
  draw::line(c, 20, 24, 20, 31, sh(pal::STEEL, 6));
  return c;
}

Canvas flag(int frame) {
  Canvas c(24, 40);
  draw::line(c, 2, 0, 2, 39, sh(pal::GREY, 8));
  for (int x = 3; x < 22; ++x) {
    const double dy = noise::sin_turns((x - 3) / 16.0 - frame / 3.0) * 2.0 * (x - 3) / 19.0;
    for (int y = 2; y < 14; ++y)
      c.set(x, int(y + dy), (y < 8) ? sh(pal::RED, 9) : sh(pal::YELLOW, 11));
  }
  return c;
}

Canvas dish() {
  Canvas c(32, 32);
  draw::thick_line(c, {16, 31}, {16, 18}, 3, sh(pal::STEEL, 5));
  draw::fill_ellipse(c, 14, 12, 13, 9, draw::linear_gradient(pal::GREY, {2, 4}, 13, {26, 20}, 6));
  draw::line(c, 14, 12, 22, 4, sh(pal::STEEL, 9));
  draw::outline_tinted(c);
  return c;
}

Canvas column() {
  Canvas c(16, 48);
  draw::fill_polygon(c, std::array<Vec2, 4>{{{3, 6}, {13, 6}, {13, 44}, {3, 44}}},
                     draw::linear_gradient(pal::SAND, {3, 0}, 12, {13, 0}, 5));
  draw::fill_polygon(c, std::array<Vec2, 4>{{{1, 2}, {15, 2}, {15, 6}, {1, 6}}}, sh(pal::SAND, 11));
  draw::fill_polygon(c, std::array<Vec2, 4>{{{1, 44}, {15, 44}, {15, 48}, {1, 48}}},
                     sh(pal::SAND, 8));
  for (int x = 5; x < 13; x += 3) draw::line(c, x, 7, x, 43, sh(pal::SAND, 6));
  draw::outline_tinted(c);
  return c;
}

Canvas blimp() {
  Canvas c(64, 26);
  draw::fill_ellipse(c, 32, 11, 30, 10, draw::sphere_shade(pal::GREY, 32, 11, 30, -1, -1, 5, 14));
  draw::fill_polygon(c, std::array<Vec2, 3>{{{56, 6}, {63, 0}, {63, 12}}}, sh(pal::RED, 8));
  draw::fill_polygon(c, std::array<Vec2, 4>{{{26, 20}, {38, 20}, {36, 25}, {28, 25}}},
                     sh(pal::STEEL, 6));
  draw::line(c, 12, 11, 50, 11, sh(pal::RED, 9));
  draw::outline_tinted(c);
  return c;
}

// A metal cargo crate, seen slightly from above.
Canvas crate() {
  Canvas c(28, 22);
  draw::fill_polygon(c, std::array<Vec2, 4>{{{0, 6}, {22, 6}, {22, 22}, {0, 22}}},
                     draw::linear_gradient(pal::STEEL, {0, 0}, 9, {22, 0}, 5));
  draw::fill_polygon(c, std::array<Vec2, 4>{{{0, 6}, {6, 0}, {28, 0}, {22, 6}}},
                     sh(pal::STEEL, 11));
  draw::fill_polygon(c, std::array<Vec2, 4>{{{22, 6}, {28, 0}, {28, 16}, {22, 22}}},
                     sh(pal::STEEL, 4));
  draw::line(c, 2, 9, 20, 19, sh(pal::YELLOW, 9));
  draw::line(c, 2, 19, 20, 9, sh(pal::YELLOW, 9));
  draw::outline(c, sh(pal::STEEL, 1));
  return c;
}

std::vector<Picture> pictures() {
  std::vector<Picture> p;
  auto still = [&p](std::string name, Canvas c, int v, int h, int blend = 0) {
    p.push_back({std::move(name), {std::move(c)}, 0, false, v, h, blend});
  };
  still("SC_TREE", tree(), 90, 50);
  still("SC_PINE", conifer(false), 92, 36);
  still("SC_BUSH", bush(), 28, 40);
  still("SC_BOULDER", boulder(pal::GREY, false), 34, 44);
  still("SC_CACTUS", cactus(), 68, 30);
  still("SC_PALM", palm(), 100, 56);
  still("SC_SNOWPINE", conifer(true), 92, 36);
  still("SC_CRYSTAL", crystal(), 56, 30, BLEND_GLASS + 1);
  still("SC_DEADTREE", dead_tree(), 78, 50);
  still("SC_EMBER", boulder(pal::GREY, true), 34, 44);
  still("SC_LAMP", lamp(), 90, 14);
  p.push_back({"SC_MAST", {mast(false), mast(true)}, 12, false, 112, 24, 0});
  p.push_back({"SC_BEACON", {beacon(false), beacon(true)}, 9, false, 45, 22, 0});
  p.push_back({"SC_BIRD", {bird(0), bird(1), bird(2), bird(3)}, 3, true, 17, 34, 0});
  p.push_back({"SC_DRONE", {drone(0), drone(1)}, 2, false, 17, 40, 0});
  p.push_back(
      {"SC_STEAM", {steam(0), steam(1), steam(2), steam(3)}, 5, false, 68, 44, BLEND_HALF + 1});
  p.push_back({"SC_HOLO", {holo(0), holo(1)}, 7, true, 45, 56, BLEND_GLOW + 1});
  p.push_back({"SC_FLAG", {flag(0), flag(1), flag(2)}, 4, false, 56, 34, 0});
  still("SC_DISH", dish(), 45, 45);
  still("SC_COLUMN", column(), 68, 22);
  still("SC_BLIMP", blimp(), 36, 90);
  still("SC_ICEBLOCK", ice_block(), 38, 56);
  still("SC_CRATE", crate(), 30, 38);
  return p;
}

}  // namespace

std::string generate_scenery(const std::filesystem::path& dataDir) {
  std::string lines = "; Scenery\r\n";
  int number = 1;
  for (const Picture& pic : pictures()) {
    const std::string suffix = pic.blend ? "%" + std::to_string(pic.blend) : "";
    if (pic.frames.size() == 1) {
      write_pcx(dataDir / "scn" / (pic.name + ".PCX"), pic.frames[0], pal::game_palette());
      lines += "^" + pic.name + " = data\\scn\\" + pic.name + ".PCX" + suffix + "\r\n";
    } else {
      std::string anim = std::string("<") + (pic.ping_pong ? "*" : "") + pic.name + " = ";
      for (size_t f = 0; f < pic.frames.size(); ++f) {
        const std::string frame = pic.name + std::to_string(f);
        write_pcx(dataDir / "scn" / (frame + ".PCX"), pic.frames[f], pal::game_palette());
        lines += "^" + frame + " = data\\scn\\" + frame + ".PCX" + suffix + "\r\n";
        anim += (f ? ", " : "") + frame + ", " + std::to_string(pic.delay);
      }
      lines += anim + "\r\n";
    }
    lines += "&" + std::to_string(number) + " = " + pic.name + ", " + std::to_string(pic.size_v) +
             ", " + std::to_string(pic.size_h) + ", " + std::to_string(pic.blend) +
             ", 0, 0, 0, 0, 0, 0, 0, 0\r\n";
    ++number;
  }
  return lines;
}
