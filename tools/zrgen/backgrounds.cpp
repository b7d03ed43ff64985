// Panoramas: a dithered sky gradient, sun or moon, clouds or stars, and two or three layers of
// distant silhouettes that sit on the horizon.
#include "tools/zrgen/backgrounds.h"

#include "tools/zrgen/noise.h"
#include "tools/zrgen/rng.h"

using noise::dither_range;

namespace {

constexpr int W = kBackgroundWidth, H = kBackgroundHeight;

struct Band {
  pal::Ramp ramp;
  int lo, hi;  // shades at the horizon (hi) and at the top (lo), or the reverse with `invert`
};

void sky(Canvas& c, pal::Ramp ramp, int top, int horizon) {
  for (int y = 0; y < kHorizonRow; ++y)
    for (int x = 0; x < W; ++x) {
      const double t = double(y) / kHorizonRow;
      const double level = (top + (horizon - top) * t) / 15.0;
      c.set(x, y, dither_range(ramp, 0, 15, level, x, y));
    }
}

// Fills from a ridge line down to the bottom. `height(x)` gives the ridge row.
template <typename Ridge, typename Colour>
void silhouette(Canvas& c, Ridge height, Colour colour) {
  for (int x = 0; x < W; ++x) {
    const int top = height(x);
    for (int y = top < 0 ? 0 : top; y < H; ++y) c.set(x, y, colour(x, y, y - top));
  }
}

int ridge(int x, uint32_t seed, double base, double amp, double scale, int octaves) {
  return int(base - noise::fbm(x / scale, 0.5, seed, octaves) * amp);
}

void disc(Canvas& c, int cx, int cy, int r, pal::Ramp ramp, int lo, int hi) {
  for (int y = cy - r; y <= cy + r; ++y)
    for (int x = cx - r; x <= cx + r; ++x) {
      const int d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
      if (d2 <= r * r) c.set(x, y, dither_range(ramp, lo, hi, 1.0 - double(d2) / (r * r) * 0.6, x, y));
    }
}

void clouds(Canvas& c, uint32_t seed, pal::Ramp ramp, int lo, int hi, int top, int bottom) {
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < W; ++x) {
      const double n = noise::fbm(x / 40.0, y / 10.0, seed, 4);
      if (n > 0.58) c.set(x, y, dither_range(ramp, lo, hi, (n - 0.58) * 4.0, x, y));
    }
}

void stars(Canvas& c, uint32_t seed, int bottom) {
  Rng rng(seed);
  for (int i = 0; i < 160; ++i) {
    const int x = rng.range(0, W - 1), y = rng.range(0, bottom);
    c.set(x, y, pal::shade(pal::GREY, rng.range(9, 15)));
  }
}

void grassland(Canvas& c) {
  sky(c, pal::BLUE, 7, 14);
  disc(c, 380, 40, 14, pal::YELLOW, 12, 15);
  clouds(c, 11, pal::GREY, 11, 15, 10, 80);
  silhouette(c, [](int x) { return ridge(x, 12, kHorizonRow - 2, 48, 60, 4); },
             [](int x, int y, int d) { return dither_range(pal::STEEL, 7, 11, 1.0 - d / 60.0, x, y); });
  silhouette(c, [](int x) { return ridge(x, 13, kHorizonRow + 6, 30, 35, 3); },
             [](int x, int y, int d) { return dither_range(pal::GREEN, 3, 8, 1.0 - d / 30.0, x, y); });
}

void desert(Canvas& c) {
  sky(c, pal::ORANGE, 8, 14);
  disc(c, 120, 70, 22, pal::YELLOW, 13, 15);
  // Mesas: flat tops with steep sides.
  silhouette(c,
             [](int x) {
               const double n = noise::value(x / 70.0, 0.0, 21);
               return n > 0.55 ? kHorizonRow - 38 - int((n - 0.55) * 40) : kHorizonRow - 4 - int(n * 8);
             },
             [](int x, int y, int d) { return dither_range(pal::BROWN, 5, 9, 1.0 - d / 50.0, x, y); });
  silhouette(c, [](int x) { return ridge(x, 22, kHorizonRow + 8, 18, 50, 3); },
             [](int x, int y, int d) { return dither_range(pal::SAND, 7, 11, 1.0 - d / 20.0, x, y); });
}

void icefield(Canvas& c) {
  sky(c, pal::PURPLE, 1, 6);
  stars(c, 31, 90);
  for (int y = 15; y < 70; ++y)  // aurora curtains
    for (int x = 0; x < W; ++x) {
      const double wavy = 35 + noise::sin_turns(x / 160.0) * 14 + noise::value(x / 20.0, 0, 32) * 10;
      const double d = (y - wavy) / 14.0;
      const double strength = (1.0 - d * d) * noise::value(x / 6.0, 0, 33);
      if (strength > 0.35) c.set(x, y, dither_range(pal::TEAL, 6, 13, strength, x, y));
    }
  disc(c, 90, 30, 9, pal::GREY, 12, 15);
  silhouette(c,
             [](int x) {  // jagged peaks: ridged noise
               const double n = noise::fbm(x / 45.0, 0.5, 34, 4);
               const double r = 1.0 - 2.0 * (n > 0.5 ? n - 0.5 : 0.5 - n);
               return int(kHorizonRow - 10 - r * 55);
             },
             [](int x, int y, int d) {
               return d < 8 ? dither_range(pal::GREY, 12, 15, 1.0 - d / 8.0, x, y)
                            : dither_range(pal::STEEL, 6, 10, 1.0 - (d - 8) / 50.0, x, y);
             });
  silhouette(c, [](int x) { return ridge(x, 35, kHorizonRow + 8, 14, 40, 3); },
             [](int x, int y, int d) { return dither_range(pal::STEEL, 10, 13, 1.0 - d / 15.0, x, y); });
}

void volcanic(Canvas& c) {
  sky(c, pal::RED, 1, 7);
  clouds(c, 41, pal::GREY, 2, 5, 5, 60);
  // A volcano cone with a glowing crater and lava streaks.
  silhouette(c,
             [](int x) {
               const int dx = x - 300 < 0 ? 300 - x : x - 300;
               const int cone = dx < 20 ? 30 : 30 + (dx - 20) * 9 / 10;
               const int hills = ridge(x, 42, kHorizonRow + 2, 25, 40, 3);
               return cone < hills ? cone : hills;
             },
             [](int x, int y, int d) {
               const int dx = x - 300 < 0 ? 300 - x : x - 300;
               if (y < 40 && dx < 22) return dither_range(pal::YELLOW, 10, 15, 1.0 - d / 10.0, x, y);
               if (dx < 60 && noise::value(x / 3.0, y / 30.0, 43) > 0.72 && y < 100)
                 return dither_range(pal::ORANGE, 8, 12, 0.5, x, y);
               return dither_range(pal::GREY, 1, 4, 1.0 - d / 70.0, x, y);
             });
  for (int y = 0; y < 30; ++y)  // smoke plume
    for (int x = 270; x < 340; ++x)
      if (noise::fbm(x / 12.0, y / 8.0, 44, 3) > 0.5 + (30 - y) / 80.0) c.set(x, y, pal::shade(pal::GREY, 4));
  silhouette(c, [](int x) { return ridge(x, 45, kHorizonRow + 10, 16, 30, 3); },
             [](int x, int y, int d) { return dither_range(pal::RED, 1, 4, 1.0 - d / 18.0, x, y); });
}

void city(Canvas& c) {
  sky(c, pal::PURPLE, 0, 8);
  stars(c, 51, 70);
  disc(c, 420, 36, 12, pal::PINK, 10, 14);
  Rng rng(52);
  // Two rows of towers; the far row is paler.
  for (int layer = 0; layer < 2; ++layer) {
    int x = -rng.range(0, 10);
    while (x < W) {
      const int w = rng.range(12, 30), h = layer == 0 ? rng.range(20, 75) : rng.range(10, 45);
      const int top = kHorizonRow + 4 - h + layer * 8;
      for (int yy = top; yy < H; ++yy)
        for (int xx = x; xx < x + w; ++xx) {
          uint8_t col = layer == 0 ? pal::shade(pal::STEEL, 3) : pal::shade(pal::GREY, 1);
          const bool window = (xx - x) % 4 == 2 && (yy - top) % 5 == 2 && xx > x && xx < x + w - 1;
          if (window && noise::lattice(xx, yy, 53 + layer) > 0.55)
            col = layer == 0 ? pal::shade(pal::YELLOW, 9) : pal::shade(pal::CYAN, 12);
          c.set(xx, yy, col);
        }
      if (layer == 1 && rng.range(0, 3) == 0) c.set(x + w / 2, top - 1, pal::shade(pal::SPECIAL, 1));
      x += w + rng.range(0, 6);
    }
  }
}

}  // namespace

Canvas draw_background(Theme theme) {
  Canvas c(W, H, pal::shade(pal::GREY, 0));
  switch (theme) {
    case GRASSLAND: grassland(c); break;
    case DESERT: desert(c); break;
    case ICEFIELD: icefield(c); break;
    case VOLCANIC: volcanic(c); break;
    default: city(c); break;
  }
  return c;
}

std::string background_file(Theme theme) {
  return "data\\bg\\" + std::string(kThemeNames[theme]) + ".PCX";
}

void generate_backgrounds(const std::filesystem::path& dataDir) {
  for (int t = 0; t < THEME_COUNT; ++t) {
    const Theme theme = static_cast<Theme>(t);
    write_pcx(dataDir / "bg" / (std::string(kThemeNames[theme]) + ".PCX"), draw_background(theme),
              pal::game_palette());
  }
}
