// Procedural textures: value noise and hand-placed detail, dithered into the palette's ramps.
#include "tools/zrgen/textures.h"

#include <functional>

#include "tools/zrgen/canvas.h"
#include "tools/zrgen/noise.h"
#include "tools/zrgen/rng.h"
#include "tools/zrgen/tables.h"

using noise::dither;
using noise::dither_range;
using pal::Ramp;

namespace {

// Tileable fBm over a w x h picture with `cx` x `cy` lattice cells.
double tiled(int x, int y, int w, int h, int cx, int cy, uint32_t seed, int octaves = 3) {
  return noise::fbm(double(x) * cx / w, double(y) * cy / h, seed, octaves, cx, cy);
}

double wave(double turns) {
  return noise::sin_turns(turns);
}

using Painter = std::function<void(Canvas&)>;

struct Builder {
  std::filesystem::path dir;
  std::vector<TextureInfo> list;

  void add(const std::string& name, bool wall, int blend, const Painter& paint) {
    Canvas c(kWallWidth, wall ? kWallHeight : kFloorSize, 0);
    paint(c);
    write_pcx(dir / (name + ".PCX"), c, pal::game_palette());
    list.push_back({name, "data\\tex\\" + name + ".PCX", wall, blend});
  }
};

// ---------------------------------------------------------------------------------------------
// Floors

void grass(Canvas& c, uint32_t seed, bool flowers) {
  Rng rng(seed);
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      const double n = tiled(x, y, 32, 32, 4, 4, seed, 3);
      c.set(x, y, dither_range(pal::GREEN, 3, 10, n * 1.1 - 0.05, x, y));
    }
  for (int i = 0; i < 70; ++i) {  // blades: short light strokes
    const int x = rng.range(0, 31), y = rng.range(0, 31);
    c.set(x, y, pal::shade(pal::GREEN, rng.range(9, 12)));
    c.set(x, (y + 1) & 31, pal::shade(pal::GREEN, 7));
  }
  if (flowers) {
    for (int i = 0; i < 9; ++i) {
      const int x = rng.range(0, 31), y = rng.range(0, 31);
      const Ramp r = (i % 3 == 0) ? pal::PINK : (i % 3 == 1 ? pal::YELLOW : pal::GREY);
      c.set(x, y, pal::shade(r, 13));
      c.set((x + 1) & 31, y, pal::shade(r, 10));
      c.set(x, (y + 1) & 31, pal::shade(r, 9));
    }
  }
}

void speckled(Canvas& c, Ramp ramp, int lo, int hi, uint32_t seed, int cells, int pebbles,
              Ramp pebbleRamp) {
  Rng rng(seed);
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      const double n = tiled(x, y, c.width, c.height, cells, cells * c.height / c.width, seed, 3);
      c.set(x, y, dither_range(ramp, lo, hi, n, x, y));
    }
  for (int i = 0; i < pebbles; ++i) {
    const int x = rng.range(0, c.width - 1), y = rng.range(0, c.height - 1);
    const int l = rng.range(4, 11);
    c.set(x, y, pal::shade(pebbleRamp, l + 2));
    c.set((x + 1) % c.width, y, pal::shade(pebbleRamp, l));
    c.set(x, (y + 1) % c.height, pal::shade(pebbleRamp, l - 3));
    c.set((x + 1) % c.width, (y + 1) % c.height, pal::shade(pebbleRamp, l - 4));
  }
}

void rock_top(Canvas& c, uint32_t seed) {
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const double n = tiled(x, y, 32, 32, 4, 4, seed, 4);
      const double crack = noise::value(x * 0.25, y * 0.25, seed + 7, 8, 8);
      double l = n;
      if (crack > 0.47 && crack < 0.53) l -= 0.45;
      c.set(x, y, dither_range(pal::GREY, 3, 11, l, x, y));
    }
}

void water(Canvas& c, int frame, uint32_t seed) {
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      // The pattern drifts 8 pixels per frame: after 4 frames it is back where it started.
      const double a = tiled(x + frame * 8, y, 32, 32, 4, 4, seed, 2);
      const double b = tiled(x, y + frame * 8, 32, 32, 4, 4, seed + 3, 2);
      const double ripple = wave((y + a * 6.0) / 8.0 + frame * 0.25) * 0.12;
      const double l = (a + b) * 0.5 + ripple;
      uint8_t colour = dither_range(pal::BLUE, 5, 11, l, x, y);
      if (l > 0.68) colour = pal::shade(pal::CYAN, 11 + int((l - 0.68) * 12));
      c.set(x, y, colour);
    }
}

void dunes(Canvas& c, uint32_t seed) {
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const double n = tiled(x, y, 32, 32, 4, 4, seed, 3);
      const double ripple = wave((y + n * 5.0 + x * 0.125) / 8.0);
      c.set(x, y, dither_range(pal::SAND, 6, 13, 0.55 + ripple * 0.28 + (n - 0.5) * 0.3, x, y));
    }
}

// Square slabs with dark joints and bevelled light edges.
void slabs(Canvas& c, Ramp ramp, int lo, int hi, int size, uint32_t seed) {
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      const int sx = x % size, sy = y % size;
      const int slab = (x / size) * 7 + (y / size) * 13;
      double l =
          0.45 + noise::lattice(slab, 0, seed) * 0.25 +
          (tiled(x, y, c.width, c.height, 8, 8 * c.height / c.width, seed + 1, 2) - 0.5) * 0.35;
      if (sx == 0 || sy == 0)
        l = 0.05;
      else if (sx == 1 || sy == 1)
        l += 0.25;
      else if (sx == size - 1 || sy == size - 1)
        l -= 0.2;
      c.set(x, y, dither_range(ramp, lo, hi, l, x, y));
    }
}

void snow(Canvas& c, uint32_t seed) {
  Rng rng(seed);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const double n = tiled(x, y, 32, 32, 4, 4, seed, 3);
      c.set(x, y,
            n < 0.38 ? dither_range(pal::STEEL, 10, 13, n / 0.38, x, y)
                     : dither_range(pal::GREY, 12, 15, (n - 0.38) / 0.5, x, y));
    }
  for (int i = 0; i < 14; ++i)
    c.set(rng.range(0, 31), rng.range(0, 31), pal::shade(pal::SPECIAL, 0));
}

void ice(Canvas& c, uint32_t seed) {
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const double n = tiled(x, y, 32, 32, 4, 4, seed, 3);
      const double crack = noise::value(x * 0.125 + y * 0.0625, y * 0.25, seed + 5, 4, 8);
      double l = 0.35 + n * 0.5;
      if (crack > 0.49 && crack < 0.52) l = 1.0;
      c.set(x, y, l > 0.9 ? pal::shade(pal::CYAN, 12) : dither_range(pal::STEEL, 7, 11, l, x, y));
    }
}

void basalt(Canvas& c, uint32_t seed) {
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const double n = tiled(x, y, 32, 32, 8, 8, seed, 2);
      const double cells = noise::value(x * 0.25, y * 0.25, seed + 9, 8, 8);
      double l = 0.2 + n * 0.5;
      if (cells > 0.45 && cells < 0.5) l = 0.0;
      c.set(x, y, dither_range(pal::GREY, 1, 7, l, x, y));
    }
}

void ash(Canvas& c, uint32_t seed) {
  Rng rng(seed);
  speckled(c, pal::GREY, 3, 7, seed, 4, 0, pal::GREY);
  for (int i = 0; i < 10; ++i)
    c.set(rng.range(0, 31), rng.range(0, 31), pal::shade(pal::ORANGE, rng.range(9, 13)));
}

void lava(Canvas& c, int frame, uint32_t seed) {
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const double a = tiled(x + frame * 8, y + frame * 4, 32, 32, 4, 4, seed, 3);
      const double b = tiled(x - frame * 8, y, 32, 32, 2, 2, seed + 11, 2);
      const double heat = a * 0.7 + b * 0.3 + wave(frame * 0.25 + (x + y) / 32.0) * 0.05;
      uint8_t col;
      if (heat < 0.36)
        col = dither_range(pal::RED, 2, 6, heat / 0.36, x, y);  // crust
      else if (heat < 0.56)
        col = dither_range(pal::RED, 7, 12, (heat - 0.36) / 0.2, x, y);
      else if (heat < 0.7)
        col = dither_range(pal::ORANGE, 8, 13, (heat - 0.56) / 0.14, x, y);
      else
        col = dither_range(pal::YELLOW, 11, 15, (heat - 0.7) / 0.2, x, y);
      c.set(x, y, col);
    }
}

void metal(Canvas& c, uint32_t seed) {
  slabs(c, pal::STEEL, 4, 11, 16, seed);
  for (int py = 0; py < 32; py += 16)  // rivets
    for (int px = 0; px < 32; px += 16) {
      c.set(px + 3, py + 3, pal::shade(pal::STEEL, 14));
      c.set(px + 12, py + 3, pal::shade(pal::STEEL, 14));
      c.set(px + 3, py + 12, pal::shade(pal::STEEL, 14));
      c.set(px + 12, py + 12, pal::shade(pal::STEEL, 14));
    }
}

void grate(Canvas& c) {
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const bool bar = (x % 8) < 2 || (y % 8) < 2;
      c.set(x, y,
            bar ? dither_range(pal::STEEL, 7, 11, ((x + y) % 8) / 8.0, x, y)
                : pal::shade(pal::GREY, 1 + ((x / 8 + y / 8) & 1)));
    }
}

void circuit(Canvas& c, uint32_t seed) {
  Rng rng(seed);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      c.set(x, y, dither_range(pal::TEAL, 1, 4, tiled(x, y, 32, 32, 4, 4, seed), x, y));
  for (int i = 0; i < 10; ++i) {  // traces: L-shaped copper runs ending in pads
    int x = rng.range(0, 31), y = rng.range(0, 31);
    const int len1 = rng.range(4, 14), len2 = rng.range(3, 10);
    for (int k = 0; k < len1; ++k) c.set((x + k) & 31, y, pal::shade(pal::OLIVE, 11));
    x = (x + len1) & 31;
    for (int k = 0; k < len2; ++k) c.set(x, (y + k) & 31, pal::shade(pal::OLIVE, 11));
    y = (y + len2) & 31;
    c.set(x, y, pal::shade(pal::YELLOW, 14));
    c.set((x + 1) & 31, y, pal::shade(pal::YELLOW, 12));
  }
}

void road(Canvas& c, uint32_t seed) {
  speckled(c, pal::GREY, 3, 6, seed, 8, 0, pal::GREY);
  for (int x = 0; x < 32; ++x) {
    if (x % 16 < 9) {  // dashed centre line along the lane
      c.set(x, 15, pal::shade(pal::YELLOW, 12));
      c.set(x, 16, pal::shade(pal::YELLOW, 10));
    }
    c.set(x, 0, pal::shade(pal::STEEL, 9));
    c.set(x, 31, pal::shade(pal::STEEL, 9));
  }
}

void pad_light(Canvas& c, bool lit, uint32_t seed) {
  slabs(c, pal::STEEL, 3, 9, 32, seed);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const int dx = x - 16, dy = y - 16, d2 = dx * dx + dy * dy;
      if (d2 >= 64 && d2 < 110)
        c.set(x, y, lit ? pal::shade(pal::CYAN, 14) : pal::shade(pal::TEAL, 4));
      if (d2 < 16) c.set(x, y, lit ? pal::shade(pal::SPECIAL, 0) : pal::shade(pal::TEAL, 6));
    }
}

// Clay roof tiles in rows, each overlapping the one below.
void roof(Canvas& c, uint32_t seed) {
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const int row = y / 8, tx = (x + (row & 1) * 4) % 8, ty = y % 8;
      double l =
          0.75 - ty * 0.07 - (tx == 0 ? 0.35 : 0) + (noise::lattice(x / 8, row, seed) - 0.5) * 0.2;
      if (ty == 7) l = 0.05;
      c.set(x, y, dither_range(pal::RED, 3, 10, l, x, y));
    }
}

// Cooled lava slabs with glowing seams.
void crust(Canvas& c, uint32_t seed) {
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const double n = tiled(x, y, 32, 32, 4, 4, seed, 3);
      const double seam = noise::value(x * 0.25, y * 0.25, seed + 3, 8, 8);
      if (seam > 0.46 && seam < 0.54) {
        c.set(x, y,
              dither_range(pal::ORANGE, 8, 14, 1.0 - (seam > 0.5 ? seam - 0.5 : 0.5 - seam) * 12, x,
                           y));
      } else {
        c.set(x, y, dither_range(pal::STEEL, 1, 6, n, x, y));
      }
    }
}

// ---------------------------------------------------------------------------------------------
// Walls (32 x 256; the pattern repeats vertically at 256 rows)

void strata(Canvas& c, Ramp a, Ramp b, int lo, int hi, uint32_t seed) {
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      const double n = tiled(x, y, 32, 256, 4, 32, seed, 3);
      const double band = noise::value(0.0, (y + n * 10.0) / 12.0, seed + 2, 0, 256 / 12);
      const double l = n * 0.6 + band * 0.4;
      c.set(x, y, dither_range(band > 0.55 ? b : a, lo, hi, l, x, y));
    }
}

void cliff(Canvas& c, uint32_t seed) {
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      const double n = tiled(x, y, 32, 256, 4, 32, seed, 4);
      const double ledge = noise::value(x / 8.0, y / 20.0, seed + 3, 4, 256 / 20 + 1);
      double l = n;
      if (ledge > 0.62) l += 0.25;
      if (ledge > 0.58 && ledge <= 0.62) l -= 0.35;
      c.set(x, y, dither_range(pal::GREY, 3, 11, l, x, y));
    }
}

void earth(Canvas& c, uint32_t seed, Ramp top, int topLo, int topHi) {
  speckled(c, pal::BROWN, 3, 9, seed, 4, 60, pal::GREY);
  for (int x = 0; x < 32; ++x) {  // a lip of the top cover hanging over the edge
    const int depth = 6 + int(noise::value(x / 4.0, 0.5, seed + 1, 8, 0) * 8);
    for (int y = 0; y < depth; ++y)
      c.set(x, y, dither_range(top, topLo, topHi, 1.0 - double(y) / depth, x, y));
    c.set(x, depth, pal::shade(pal::BROWN, 2));
  }
}

void bricks(Canvas& c, Ramp ramp, int lo, int hi, uint32_t seed) {
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      const int row = y / 8, shift = (row & 1) * 8, bx = (x + shift) % 16;
      const int brick = ((x + shift) / 16) * 31 + row * 17;
      double l = 0.35 + noise::lattice(brick, 1, seed) * 0.4 +
                 (tiled(x, y, 32, 256, 8, 64, seed + 4, 2) - 0.5) * 0.3;
      if (y % 8 == 0 || bx == 0) {
        c.set(x, y, pal::shade(pal::GREY, 4));
        continue;
      }
      if (y % 8 == 1) l += 0.2;
      c.set(x, y, dither_range(ramp, lo, hi, l, x, y));
    }
}

void planks(Canvas& c, uint32_t seed) {
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      const int plank = x / 8;
      const double grain = noise::value(x * 0.9, y / 16.0, seed + plank, 0, 16);
      double l = 0.3 + grain * 0.5 + noise::lattice(plank, 3, seed) * 0.2;
      if (x % 8 == 0) l = 0.02;
      if (y % 64 < 6) l = (y % 64 == 0) ? 0.0 : 0.55 + (y % 64) * 0.02;  // cross beams
      c.set(x, y, dither_range(pal::BROWN, 2, 10, l, x, y));
    }
}

void plaster(Canvas& c, uint32_t seed) {
  speckled(c, pal::SAND, 7, 12, seed, 4, 0, pal::SAND);
  for (int y = 0; y < c.height; ++y) {  // darker dirty bottom of each 128-row storey
    for (int x = 0; x < 32; ++x) {
      const int r = y % 128;
      if (r > 110) c.set(x, y, dither_range(pal::SAND, 4, 8, (128 - r) / 18.0, x, y));
      if (r >= 40 && r < 70 && x >= 10 && x < 22) {  // a deep window opening
        c.set(x, y, (x == 10 || r == 40) ? pal::shade(pal::BROWN, 3) : pal::shade(pal::BROWN, 1));
      }
    }
  }
}

// Half-timbered plaster with a window on each 64-row storey.
void house(Canvas& c, uint32_t seed) {
  speckled(c, pal::SAND, 10, 13, seed, 4, 0, pal::SAND);
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < 32; ++x) {
      const int r = y % 64;
      const bool beam = r < 3 || x < 2 || (r > 34 && r < 37);
      if (beam) c.set(x, y, dither_range(pal::BROWN, 2, 5, double(r % 3) / 3.0, x, y));
      if (r >= 12 && r < 30 && x >= 9 && x < 23) {
        const bool frame = r == 12 || r == 29 || x == 9 || x == 22 || x == 15 || x == 16 || r == 20;
        c.set(x, y,
              frame ? pal::shade(pal::BROWN, 4)
                    : dither_range(pal::BLUE, 4, 9, 1.0 - (r - 12) / 18.0, x, y));
      }
    }
}

void ice_wall(Canvas& c, uint32_t seed) {
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      const double streak = tiled(x, y, 32, 256, 8, 4, seed, 3);
      const double n = tiled(x, y, 32, 256, 4, 32, seed + 1, 2);
      double l = streak * 0.7 + n * 0.3;
      c.set(x, y,
            l > 0.62 ? dither_range(pal::CYAN, 10, 14, (l - 0.62) / 0.3, x, y)
                     : dither_range(pal::STEEL, 6, 11, l / 0.62, x, y));
    }
}

void snow_rock(Canvas& c, uint32_t seed) {
  cliff(c, seed);
  for (int x = 0; x < 32; ++x) {
    const int depth = 10 + int(noise::value(x / 5.0, 0.5, seed + 5, 0, 0) * 14);
    for (int y = 0; y < depth; ++y)
      c.set(x, y, dither_range(pal::GREY, 12, 15, 1.0 - double(y) / depth * 0.5, x, y));
    for (int y = 40; y < 256; y += 50)  // snow caught on ledges
      if (noise::value(x / 3.0, y, seed + 6, 0, 0) > 0.5) c.set(x, y, pal::shade(pal::GREY, 14));
  }
}

void basalt_wall(Canvas& c, uint32_t seed) {
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      const int col = x / 8, cx = x % 8;
      double l = 0.25 + noise::lattice(col, y / 40, seed) * 0.25 + (cx < 2 ? 0.25 : 0.0) -
                 (cx == 7 ? 0.2 : 0);
      l += (tiled(x, y, 32, 256, 4, 32, seed + 3, 2) - 0.5) * 0.3;
      if ((y + col * 17) % 40 == 0) l = 0.0;
      c.set(x, y, dither_range(pal::GREY, 1, 7, l, x, y));
    }
}

void lava_fall(Canvas& c, int frame, uint32_t seed) {
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      // Flows down 16 rows per frame over a 64-row period, so 4 frames loop.
      const int fy = (y - frame * 16) & 63;
      const double a = noise::fbm(x / 8.0, fy / 16.0, seed, 3, 4, 4);
      const double heat = a + wave(x / 32.0) * 0.1;
      uint8_t col;
      if (x < 3 || x > 28)
        col = dither_range(pal::GREY, 1, 4, a, x, y);
      else if (heat < 0.45)
        col = dither_range(pal::RED, 6, 11, heat / 0.45, x, y);
      else if (heat < 0.62)
        col = dither_range(pal::ORANGE, 9, 13, (heat - 0.45) / 0.17, x, y);
      else
        col = dither_range(pal::YELLOW, 12, 15, (heat - 0.62) / 0.2, x, y);
      c.set(x, y, col);
    }
}

void panel(Canvas& c, uint32_t seed) {
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      const int r = y % 64;
      double l = 0.45 + (tiled(x, y, 32, 256, 4, 32, seed, 2) - 0.5) * 0.3;
      if (r == 0 || x == 0)
        l = 0.05;
      else if (r == 1 || x == 1)
        l = 0.8;
      else if (r == 63 || x == 31)
        l = 0.2;
      if (r >= 20 && r < 28 && x >= 6 && x < 26 && (y % 2 == 0)) l = 0.1;  // vent slots
      c.set(x, y, dither_range(pal::STEEL, 3, 12, l, x, y));
    }
  for (int y = 40; y < 256; y += 64) {  // status lamps
    c.set(8, y, pal::shade(pal::SPECIAL, 2));
    c.set(24, y, pal::shade(pal::SPECIAL, 1));
  }
}

void windows(Canvas& c, int frame, uint32_t seed) {
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      const int r = y % 32, wx = x % 16;
      const bool window = r >= 8 && r < 24 && wx >= 3 && wx < 13;
      if (!window) {
        c.set(x, y, dither_range(pal::GREY, 3, 7, tiled(x, y, 32, 256, 4, 32, seed, 2), x, y));
        continue;
      }
      const int id = (y / 32) * 2 + x / 16;
      const bool lit = noise::lattice(id, frame, seed) > 0.45;
      const double glow = 1.0 - (r - 8) / 24.0;
      c.set(x, y,
            lit ? dither_range(pal::YELLOW, 9, 14, glow, x, y)
                : dither_range(pal::BLUE, 1, 4, glow, x, y));
    }
}

void glass(Canvas& c) {
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      const bool frame = x < 2 || x > 29 || y % 64 < 2;
      const bool shine = ((x + y / 4) % 24) < 3;
      c.set(x, y,
            frame ? pal::shade(pal::STEEL, 6)
                  : (shine ? pal::shade(pal::CYAN, 14) : pal::shade(pal::BLUE, 8)));
    }
}

void field(Canvas& c, int frame) {
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      const double v = wave((y + frame * 8) / 32.0) * 0.5 + 0.5;
      if ((y + frame * 4) % 16 < 6 || x < 2 || x > 29) {
        c.set(x, y, dither_range(pal::CYAN, 4, 12, v, x, y));
      }  // between the bands index 0 leaves the field open
    }
}

}  // namespace

std::vector<TextureInfo> generate_textures(const std::filesystem::path& dataDir) {
  Builder b{dataDir / "tex", {}};
  // Floors first: the definition files list them in this order before any wall.
  b.add("GRASS", false, 0, [](Canvas& c) { grass(c, 101, false); });
  b.add("MEADOW", false, 0, [](Canvas& c) { grass(c, 102, true); });
  b.add("ROOF", false, 0, [](Canvas& c) { roof(c, 120); });
  b.add("DIRT", false, 0, [](Canvas& c) { speckled(c, pal::BROWN, 4, 9, 103, 4, 18, pal::GREY); });
  b.add("ROCK", false, 0, [](Canvas& c) { rock_top(c, 104); });
  for (int f = 0; f < 4; ++f)
    b.add("WATER" + std::to_string(f), false, 0, [f](Canvas& c) { water(c, f, 105); });
  b.add("SAND", false, 0, [](Canvas& c) { speckled(c, pal::SAND, 8, 12, 106, 4, 6, pal::BROWN); });
  b.add("DUNE", false, 0, [](Canvas& c) { dunes(c, 107); });
  b.add("SSTONE", false, 0, [](Canvas& c) { slabs(c, pal::BROWN, 6, 11, 16, 108); });
  b.add("SNOW", false, 0, [](Canvas& c) { snow(c, 109); });
  b.add("FIRN", false, 0, [](Canvas& c) { speckled(c, pal::STEEL, 8, 12, 118, 4, 10, pal::GREY); });
  b.add("ICE", false, 0, [](Canvas& c) { ice(c, 110); });
  b.add("BASALT", false, 0, [](Canvas& c) { basalt(c, 111); });
  b.add("ASH", false, 0, [](Canvas& c) { ash(c, 112); });
  b.add("CRUST", false, 0, [](Canvas& c) { crust(c, 119); });
  for (int f = 0; f < 4; ++f)
    b.add("LAVA" + std::to_string(f), false, 0, [f](Canvas& c) { lava(c, f, 113); });
  b.add("METAL", false, 0, [](Canvas& c) { metal(c, 114); });
  b.add("GRATE", false, 0, [](Canvas& c) { grate(c); });
  b.add("CIRCUIT", false, 0, [](Canvas& c) { circuit(c, 115); });
  b.add("ROAD", false, 0, [](Canvas& c) { road(c, 116); });
  b.add("PADON", false, 0, [](Canvas& c) { pad_light(c, true, 117); });
  b.add("PADOFF", false, 0, [](Canvas& c) { pad_light(c, false, 117); });
  // Walls.
  b.add("CLIFF", true, 0, [](Canvas& c) { cliff(c, 201); });
  b.add("EARTH", true, 0, [](Canvas& c) { earth(c, 202, pal::GREEN, 5, 11); });
  b.add("HOUSE", true, 0, [](Canvas& c) { house(c, 214); });
  b.add("BRICK", true, 0, [](Canvas& c) { bricks(c, pal::RED, 3, 9, 203); });
  b.add("PLANKS", true, 0, [](Canvas& c) { planks(c, 204); });
  b.add("SSTONEW", true, 0, [](Canvas& c) { strata(c, pal::SAND, pal::ORANGE, 4, 11, 205); });
  b.add("ADOBE", true, 0, [](Canvas& c) { plaster(c, 206); });
  b.add("DUNEW", true, 0, [](Canvas& c) { earth(c, 207, pal::SAND, 9, 13); });
  b.add("ICEW", true, 0, [](Canvas& c) { ice_wall(c, 208); });
  b.add("SNOWROCK", true, 0, [](Canvas& c) { snow_rock(c, 209); });
  b.add("BASALTW", true, 0, [](Canvas& c) { basalt_wall(c, 210); });
  for (int f = 0; f < 4; ++f)
    b.add("LAVAFALL" + std::to_string(f), true, 0, [f](Canvas& c) { lava_fall(c, f, 211); });
  b.add("PANEL", true, 0, [](Canvas& c) { panel(c, 212); });
  b.add("WINDOW0", true, 0, [](Canvas& c) { windows(c, 0, 213); });
  b.add("WINDOW1", true, 0, [](Canvas& c) { windows(c, 1, 213); });
  b.add("GLASS", true, BLEND_GLASS + 1, [](Canvas& c) { glass(c); });
  b.add("FIELD0", true, BLEND_GLOW + 1, [](Canvas& c) { field(c, 0); });
  b.add("FIELD1", true, BLEND_GLOW + 1, [](Canvas& c) { field(c, 1); });
  return b.list;
}
