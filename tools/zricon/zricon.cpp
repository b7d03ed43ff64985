// zricon OUTDIR: draws the program's icon, the ship flying over a landscape at dusk, as
// OUTDIR/NxN/apps/zrsentry.png for every size of the hicolor theme that the desktop uses.
// Every size is drawn from the same shapes (in a unit square), with 8 x 8 or 4 x 4 samples per
// pixel, so that the small icons stay clean.
#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Colour {
  double r, g, b;
};
struct Point {
  double x, y;
};

constexpr std::array<int, 6> kSizes = {16, 32, 48, 64, 128, 256};

// The picture as premultiplied colour and coverage, one sample per cell.
struct Samples {
  int size = 0;
  std::vector<double> rgba;
  explicit Samples(int s) : size(s), rgba(size_t(s) * s * 4, 0.0) {}

  // Paints colour over every sample inside the shape (a test on unit coordinates).
  void paint(const std::function<bool(double, double)>& inside,
             const std::function<Colour(double, double)>& colour, double alpha = 1.0) {
    for (int y = 0; y < size; ++y) {
      double v = (y + 0.5) / size;
      for (int x = 0; x < size; ++x) {
        double u = (x + 0.5) / size;
        if (!inside(u, v)) continue;
        Colour c = colour(u, v);
        double* p = &rgba[(size_t(y) * size + x) * 4];
        p[0] = c.r / 255.0 * alpha + p[0] * (1 - alpha);
        p[1] = c.g / 255.0 * alpha + p[1] * (1 - alpha);
        p[2] = c.b / 255.0 * alpha + p[2] * (1 - alpha);
        p[3] = alpha + p[3] * (1 - alpha);
      }
    }
  }
};

bool in_polygon(const std::vector<Point>& poly, double x, double y) {
  bool inside = false;
  for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
    const Point& a = poly[i];
    const Point& b = poly[j];
    if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) inside = !inside;
  }
  return inside;
}

Colour mix(Colour a, Colour b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

auto flat(Colour c) {
  return [c](double, double) { return c; };
}
auto polygon(std::vector<Point> poly) {
  return [poly](double x, double y) { return in_polygon(poly, x, y); };
}

constexpr double kHorizon = 0.64;
constexpr double kMargin = 0.03;
constexpr double kRadius = 0.17;

bool in_tile(double x, double y) {
  double lo = kMargin + kRadius, hi = 1 - kMargin - kRadius;
  double dx = std::max({lo - x, 0.0, x - hi});
  double dy = std::max({lo - y, 0.0, y - hi});
  return dx * dx + dy * dy <= kRadius * kRadius;
}

void draw_landscape(Samples& s) {
  // Dusk sky, a low sun, a ridge of hills and the ground's perspective grid, all inside a rounded
  // tile so that the icon has a clear outline on any background.
  const Colour zenith{12, 16, 52}, glow{214, 96, 64};
  s.paint(in_tile,
          [&](double, double y) { return mix(zenith, glow, (y - 0.1) / (kHorizon - 0.1)); });
  s.paint([](double x, double y) { return std::hypot(x - 0.70, y - 0.60) < 0.15 && y < kHorizon; },
          [](double, double y) {
            return mix({255, 236, 120}, {255, 150, 60}, (y - 0.45) / 0.2);
          });
  std::vector<Point> hills = {{0.0, kHorizon}, {0.0, 0.56},  {0.12, 0.50},   {0.24, 0.55},
                              {0.38, 0.47},    {0.52, 0.56}, {0.62, 0.53},   {0.80, 0.58},
                              {0.92, 0.51},    {1.0, 0.55},  {1.0, kHorizon}};
  auto hillShape = polygon(hills);
  s.paint([&](double x, double y) { return in_tile(x, y) && hillShape(x, y); }, flat({54, 30, 76}));
  s.paint([](double x, double y) { return in_tile(x, y) && y >= kHorizon; },
          [](double, double y) {
            return mix({26, 74, 52}, {10, 34, 26}, (y - kHorizon) / 0.3);
          });
  // Grid lines: rays from the vanishing point and rows that close up towards the horizon.
  auto grid = [](double x, double y) {
    if (!in_tile(x, y) || y < kHorizon + 0.005) return false;
    double depth = (y - kHorizon);
    double across = (x - 0.5) / depth;  // constant along each ray
    double ray = std::abs(across - std::round(across / 1.6) * 1.6) * depth;
    double row = std::fmod(std::log(depth) * 3.2 + 20.0, 1.0);
    return ray < 0.006 || row < 0.06;
  };
  s.paint(grid, flat({90, 200, 130}), 0.55);
}

void draw_ship(Samples& s) {
  // The ship's shadow on the ground, then the ship seen from the side and a little above: the
  // tail fin, the far wing, the hull (back lit, belly dark), the near wing, the canopy and the
  // engine's flame.
  s.paint(
      [](double x, double y) {
        return std::pow((x - 0.5) / 0.26, 2) + std::pow((y - 0.83) / 0.035, 2) < 1;
      },
      flat({0, 0, 0}), 0.45);
  s.paint(polygon({{0.22, 0.37}, {0.15, 0.21}, {0.25, 0.21}, {0.38, 0.35}}), flat({222, 58, 48}));
  s.paint(polygon({{0.50, 0.38}, {0.36, 0.27}, {0.29, 0.27}, {0.34, 0.38}}), flat({96, 110, 150}));
  s.paint(polygon({{0.90, 0.425},
                   {0.62, 0.355},
                   {0.34, 0.335},
                   {0.19, 0.36},
                   {0.19, 0.47},
                   {0.34, 0.49},
                   {0.63, 0.475}}),
          [](double, double y) {
            return mix({196, 210, 232}, {118, 134, 172}, (y - 0.34) / 0.1);
          });
  s.paint(
      polygon(
          {{0.90, 0.425}, {0.63, 0.475}, {0.34, 0.49}, {0.19, 0.47}, {0.19, 0.435}, {0.62, 0.44}}),
      flat({62, 72, 108}));
  s.paint(polygon({{0.54, 0.45}, {0.30, 0.61}, {0.20, 0.61}, {0.31, 0.455}}),
          flat({150, 166, 204}));
  s.paint(polygon({{0.70, 0.39}, {0.58, 0.335}, {0.46, 0.335}, {0.50, 0.385}}),
          [](double x, double) {
            return mix({160, 245, 255}, {40, 140, 220}, (0.70 - x) / 0.24);
          });
  s.paint(polygon({{0.19, 0.375}, {0.04, 0.415}, {0.19, 0.455}}), flat({255, 128, 28}));
  s.paint(polygon({{0.19, 0.395}, {0.10, 0.415}, {0.19, 0.435}}), flat({255, 244, 150}));
}

// One pixel per block of samples, as 8-bit RGBA (straight alpha).
std::vector<uint8_t> reduce(const Samples& s, int size) {
  int block = s.size / size;
  std::vector<uint8_t> out(size_t(size) * size * 4);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      double sum[4] = {0, 0, 0, 0};
      for (int by = 0; by < block; ++by)
        for (int bx = 0; bx < block; ++bx) {
          const double* p = &s.rgba[(size_t(y * block + by) * s.size + x * block + bx) * 4];
          for (int c = 0; c < 4; ++c) sum[c] += p[c];
        }
      uint8_t* o = &out[(size_t(y) * size + x) * 4];
      double alpha = sum[3] / (block * block);
      for (int c = 0; c < 3; ++c)
        o[c] = alpha > 0 ? uint8_t(std::lround(std::clamp(sum[c] / sum[3], 0.0, 1.0) * 255)) : 0;
      o[3] = uint8_t(std::lround(alpha * 255));
    }
  return out;
}

bool write_png(const std::string& path, int size, const std::vector<uint8_t>& rgba) {
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(size);
  image.height = png_uint_32(size);
  image.format = PNG_FORMAT_RGBA;
  return png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr) != 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: zricon OUTDIR\n");
    return 2;
  }
  for (int size : kSizes) {
    Samples samples(size * (size <= 32 ? 8 : 4));
    draw_landscape(samples);
    draw_ship(samples);
    std::string name = std::to_string(size) + "x" + std::to_string(size);
    std::filesystem::path folder = std::filesystem::path(argv[1]) / name / "apps";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::string path = (folder / "zrsentry.png").string();
    if (error || !write_png(path, size, reduce(samples, size))) {
      std::fprintf(stderr, "zricon: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
