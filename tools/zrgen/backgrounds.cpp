// Panoramas: a dithered sky gradient, sun or moon, clouds, stars or aurora, and layers of distant
// silhouettes that stand on the horizon. Below the horizon the picture fades into the theme's dark
// ground, which is what shows through the open cells of the gates.
#include "tools/zrgen/backgrounds.h"

#include "tools/zrgen/noise.h"
#include "tools/zrgen/rng.h"
#include "tools/zrgen/tables.h"

using noise::dither_range;

namespace {

constexpr int W = kBackgroundWidth, H = kBackgroundHeight;

int iabs(int v) {
  return v < 0 ? -v : v;
}

// Sky from shade `top` at row 0 to shade `horizon` at the horizon row.
void sky(Canvas& c, pal::Ramp ramp, int top, int horizon) {
  for (int y = 0; y < kHorizonRow; ++y)
    for (int x = 0; x < W; ++x) {
      const double t = double(y) / kHorizonRow;
      c.set(x, y, dither_range(ramp, 0, 15, (top + (horizon - top) * t) / 15.0, x, y));
    }
}

// Ground below the horizon: from shade `hi` at the horizon down to `lo` at the bottom.
void ground(Canvas& c, pal::Ramp ramp, int hi, int lo) {
  for (int y = kHorizonRow; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const double t = double(y - kHorizonRow) / (H - kHorizonRow);
      c.set(x, y, dither_range(ramp, 0, 15, (hi + (lo - hi) * t) / 15.0, x, y));
    }
}

// Fills from the ridge row `ridge(x)` down to the horizon (a little past it, to close the gap).
template <typename Ridge, typename Colour>
void silhouette(Canvas& c, Ridge ridge, Colour colour) {
  for (int x = 0; x < W; ++x) {
    const int top = ridge(x);
    for (int y = top < 0 ? 0 : top; y < kHorizonRow + 4; ++y) c.set(x, y, colour(x, y, y - top));
  }
}

double ridged(double x, uint32_t seed, int octaves) {
  const double n = noise::fbm(x, 0.5, seed, octaves);
  return 1.0 - 2.0 * (n > 0.5 ? n - 0.5 : 0.5 - n);
}

void disc(Canvas& c, int cx, int cy, int r, pal::Ramp ramp, int lo, int hi) {
  for (int y = cy - r; y <= cy + r; ++y)
    for (int x = cx - r; x <= cx + r; ++x) {
      const int d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
      if (d2 <= r * r)
        c.set(x, y, dither_range(ramp, lo, hi, 1.0 - double(d2) / (r * r) * 0.5, x, y));
    }
}

// Soft horizontal cloud banks between rows top and bottom.
void clouds(Canvas& c, uint32_t seed, pal::Ramp ramp, int lo, int hi, int top, int bottom,
            double cover) {
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < W; ++x) {
      const double n = noise::fbm(x / 48.0, y / 7.0, seed, 4);
      const double edge = 1.0 - double(iabs(2 * y - top - bottom)) / (bottom - top);
      const double v = n * (0.6 + 0.4 * edge);
      if (v > cover)
        c.set(
            x, y,
            dither_range(ramp, lo, hi,
                         (v - cover) * 5.0 + (1.0 - double(y - top) / (bottom - top)) * 0.3, x, y));
    }
}

void stars(Canvas& c, uint32_t seed, int count, int bottom) {
  Rng rng(seed);
  for (int i = 0; i < count; ++i) {
    const int x = rng.range(0, W - 1), y = rng.range(0, bottom);
    c.set(x, y, pal::shade(pal::GREY, rng.range(8, 15)));
  }
}

void grassland(Canvas& c) {
  sky(c, pal::BLUE, 8, 14);
  ground(c, pal::GREEN, 4, 1);
  disc(c, 390, 70, 11, pal::YELLOW, 13, 15);
  clouds(c, 11, pal::GREY, 12, 15, 50, 75, 0.55);
  clouds(c, 12, pal::GREY, 11, 14, 85, 100, 0.6);
  // Far mountains in the blue haze, snow on the highest peaks, then two layers of green hills.
  silhouette(
      c, [](int x) { return kHorizonRow - 16 - int(ridged(x / 70.0, 13, 4) * 44); },
      [](int x, int y, int d) {
        // Snow down to a fixed altitude, so only the high peaks carry it.
        if (y < kHorizonRow - 50) return dither_range(pal::GREY, 12, 15, 1.0 - d / 12.0, x, y);
        return dither_range(pal::BLUE, 8, 11, 1.0 - d / 45.0, x, y);
      });
  silhouette(
      c, [](int x) { return kHorizonRow - 8 - int(noise::fbm(x / 50.0, 0.5, 14, 3) * 26); },
      [](int x, int y, int d) { return dither_range(pal::TEAL, 5, 9, 1.0 - d / 30.0, x, y); });
  silhouette(
      c, [](int x) { return kHorizonRow - 2 - int(noise::fbm(x / 35.0, 0.5, 15, 3) * 14); },
      [](int x, int y, int d) { return dither_range(pal::GREEN, 4, 8, 1.0 - d / 16.0, x, y); });
}

void desert(Canvas& c) {
  sky(c, pal::ORANGE, 9, 14);
  ground(c, pal::SAND, 7, 3);
  disc(c, 110, 92, 20, pal::YELLOW, 13, 15);
  // Buttes and mesas: flat tops, steep sides, lit from the left.
  struct Mesa {
    int x0, x1, top;
  };
  const Mesa mesas[] = {
      {20, 120, 88}, {150, 175, 70}, {230, 330, 96}, {360, 385, 78}, {410, 470, 92}};
  for (const Mesa& m : mesas)
    for (int x = m.x0 - 10; x < m.x1 + 10; ++x) {
      const int slope = x < m.x0 ? (m.x0 - x) * 4 : (x >= m.x1 ? (x - m.x1 + 1) * 4 : 0);
      const int top = m.top + slope + int(noise::value(x / 3.0, 0, 21) * 3);
      for (int y = top; y < kHorizonRow + 4; ++y) {
        // Lit from the left; darker strata every few rows.
        const bool lit = x < m.x0 + (m.x1 - m.x0) / 3;
        const bool stratum = (y + int(noise::value(x / 20.0, 0, 22) * 3)) % 9 == 0;
        const double l = 1.0 - (y - top) / 60.0 - (stratum ? 0.35 : 0.0);
        c.set(x, y, dither_range(pal::ORANGE, lit ? 5 : 3, lit ? 9 : 6, l, x, y));
      }
    }
  silhouette(
      c, [](int x) { return kHorizonRow - 4 - int(noise::fbm(x / 60.0, 0.5, 23, 3) * 16); },
      [](int x, int y, int d) { return dither_range(pal::SAND, 8, 12, 1.0 - d / 20.0, x, y); });
}

void icefield(Canvas& c) {
  sky(c, pal::BLUE, 1, 7);
  ground(c, pal::STEEL, 8, 3);
  stars(c, 31, 220, 110);
  // Aurora: curtains of thin vertical streaks hanging from a wavy line.
  for (int x = 0; x < W; ++x) {
    const int top = 40 + int(noise::sin_turns(x / 210.0) * 12 + noise::value(x / 25.0, 0, 32) * 10);
    const double strength = noise::value(x / 3.0, 0, 33) * noise::value(x / 40.0, 0, 34);
    const int len = 18 + int(strength * 40);
    for (int y = top; y < top + len; ++y) {
      const double f = strength * (1.0 - double(y - top) / len) * 2.0;
      if (f > 0.3)
        c.set(x, y, dither_range(f > 0.8 ? pal::GREEN : pal::TEAL, 6, 13, f - 0.3, x, y));
    }
  }
  disc(c, 80, 55, 8, pal::GREY, 12, 15);
  silhouette(
      c, [](int x) { return kHorizonRow - 12 - int(ridged(x / 45.0, 35, 4) * 62); },
      [](int x, int y, int d) {
        const double grain = (noise::fbm(x / 6.0, y / 9.0, 36, 2) - 0.5) * 0.3;
        return d < 10 ? dither_range(pal::GREY, 12, 15, 1.0 - d / 10.0, x, y)
                      : dither_range(pal::STEEL, 5, 11, 1.0 - (d - 10) / 60.0 + grain, x, y);
      });
  silhouette(
      c, [](int x) { return kHorizonRow - 3 - int(noise::fbm(x / 40.0, 0.5, 37, 3) * 12); },
      [](int x, int y, int d) { return dither_range(pal::STEEL, 10, 13, 1.0 - d / 14.0, x, y); });
}

void volcanic(Canvas& c) {
  sky(c, pal::RED, 1, 8);
  ground(c, pal::GREY, 3, 1);
  clouds(c, 41, pal::GREY, 2, 5, 40, 80, 0.5);
  const int peak = 300, crater = 58, cone = kHorizonRow;
  silhouette(
      c,
      [&](int x) {
        const int dx = iabs(x - peak);
        const int top = dx < 16 ? crater : crater + (dx - 16) * 8 / 10;
        const int hills = kHorizonRow - 6 - int(noise::fbm(x / 40.0, 0.5, 42, 3) * 20);
        return top < hills ? top : hills;
      },
      [&](int x, int y, int d) {
        const int dx = iabs(x - peak);
        if (dx < 16 && d < 4) return dither_range(pal::YELLOW, 11, 15, 1.0 - d / 4.0, x, y);
        // Lava runs down the flanks along a few wavering lines.
        for (int k = -2; k <= 2; ++k) {
          const double along = (y - crater) / double(cone - crater);
          const int lx =
              peak + k * 9 + int(along * k * 30 + noise::sin_turns(along * 2 + k * 0.3) * 5);
          if (iabs(x - lx) <= 1 && along > 0 && along < 0.6 + 0.1 * k)
            return dither_range(pal::ORANGE, 9, 13, 1.0 - along, x, y);
        }
        const bool lit = x < peak;
        return dither_range(pal::GREY, lit ? 2 : 1, lit ? 5 : 3, 1.0 - d / 80.0, x, y);
      });
  for (int y = 0; y < crater; ++y)  // smoke plume rising and leaning
    for (int x = 240; x < 380; ++x) {
      const double lean = (crater - y) * 0.6;
      const double dx = (x - peak - lean) / (10.0 + (crater - y) * 0.5);
      if (dx * dx < 1.0 && noise::fbm(x / 10.0, y / 7.0, 44, 3) > 0.35 + dx * dx * 0.2)
        c.set(x, y, dither_range(pal::GREY, 3, 6, 1.0 - double(crater - y) / crater, x, y));
    }
  silhouette(
      c, [](int x) { return kHorizonRow - 2 - int(noise::fbm(x / 30.0, 0.5, 45, 3) * 10); },
      [](int x, int y, int d) { return dither_range(pal::RED, 1, 3, 1.0 - d / 12.0, x, y); });
}

void city(Canvas& c) {
  // Dusk: deep purple above, a warm glow along the horizon.
  for (int y = 0; y < kHorizonRow; ++y)
    for (int x = 0; x < W; ++x) {
      const double t = double(y) / kHorizonRow;
      c.set(x, y,
            t < 0.7 ? dither_range(pal::PURPLE, 0, 7, t / 0.7, x, y)
                    : dither_range(pal::PINK, 4, 9, (t - 0.7) / 0.3, x, y));
    }
  ground(c, pal::STEEL, 3, 1);
  stars(c, 51, 120, 70);
  disc(c, 410, 50, 10, pal::GREY, 12, 15);
  Rng rng(52);
  // Far skyline (pale, low), then the nearer one (dark, with lit windows and red lights on top).
  for (int layer = 0; layer < 2; ++layer) {
    int x = -rng.range(0, 10);
    while (x < W) {
      const int w = rng.range(10, 26);
      const int h = layer == 0 ? rng.range(10, 40) : rng.range(16, 62);
      const int top = kHorizonRow - h;
      for (int yy = top; yy < kHorizonRow + 4; ++yy)
        for (int xx = x; xx < x + w; ++xx) {
          uint8_t col = layer == 0 ? pal::shade(pal::PURPLE, 4) : pal::shade(pal::STEEL, 2);
          const bool window =
              layer == 1 && (xx - x) % 4 == 2 && (yy - top) % 6 == 3 && xx < x + w - 1;
          if (window && noise::lattice(xx, yy, 53) > 0.7) col = pal::shade(pal::YELLOW, 10);
          c.set(xx, yy, col);
        }
      if (layer == 1 && rng.range(0, 2) == 0)
        c.set(x + w / 2, top - 1, pal::shade(pal::SPECIAL, 1));
      x += w + rng.range(1, 8);
    }
  }
}

}  // namespace

Canvas draw_background(Theme theme) {
  Canvas c(W, H, pal::shade(pal::GREY, 0));
  switch (theme) {
    case GRASSLAND:
      grassland(c);
      break;
    case DESERT:
      desert(c);
      break;
    case ICEFIELD:
      icefield(c);
      break;
    case VOLCANIC:
      volcanic(c);
      break;
    default:
      city(c);
      break;
  }
  return c;
}

std::string background_file(Theme theme, int variant) {
  return "data\\bg\\" + std::string(kThemeNames[theme]) + std::to_string(variant) + ".PCX";
}

void write_background(const std::filesystem::path& dataDir, Theme theme, int variant, int tint,
                      int brightness) {
  Canvas c = draw_background(theme);
  const auto light = colour_map_row(pal::game_palette(), tint, brightness);
  for (uint8_t& p : c.pixels) p = light[p];
  write_pcx(dataDir / "bg" / (std::string(kThemeNames[theme]) + std::to_string(variant) + ".PCX"),
            c, pal::game_palette());
}
