// Drawing helpers of the content generator (see draw.h).
#include "tools/zrgen/draw.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace draw {
namespace {

constexpr std::array<int, 16> kBayer4 = {0, 8, 2, 10, 12, 4, 14, 6, 3, 11, 1, 9, 15, 7, 13, 5};

// The x positions at which the edges of a polygon cross the horizontal line y = ys.
void crossings(std::span<const Vec2> pts, double ys, std::vector<double>& xs) {
  xs.clear();
  const size_t n = pts.size();
  for (size_t i = 0; i < n; ++i) {
    const Vec2 a = pts[i];
    const Vec2 b = pts[(i + 1) % n];
    // Half-open in y so that a vertex shared by two edges is counted once.
    if ((a.y <= ys && ys < b.y) || (b.y <= ys && ys < a.y)) {
      xs.push_back(a.x + (ys - a.y) * (b.x - a.x) / (b.y - a.y));
    }
  }
  std::sort(xs.begin(), xs.end());
}

template <typename Put>
void scan_polygon(const Canvas& canvas, std::span<const Vec2> pts, Put put) {
  if (pts.size() < 3) return;
  double min_y = pts[0].y, max_y = pts[0].y;
  for (const Vec2& p : pts) {
    min_y = std::min(min_y, p.y);
    max_y = std::max(max_y, p.y);
  }
  const int y0 = std::max(0, static_cast<int>(std::floor(min_y)));
  const int y1 = std::min(canvas.height - 1, static_cast<int>(std::ceil(max_y)));
  std::vector<double> xs;
  for (int y = y0; y <= y1; ++y) {
    crossings(pts, y + 0.5, xs);
    for (size_t k = 0; k + 1 < xs.size(); k += 2) {
      // Pixel x is inside when its centre x + 0.5 lies in [xs[k], xs[k + 1]).
      const int xa = std::max(0, static_cast<int>(std::ceil(xs[k] - 0.5)));
      const int xb = std::min(canvas.width, static_cast<int>(std::ceil(xs[k + 1] - 0.5)));
      for (int x = xa; x < xb; ++x) put(x, y);
    }
  }
}

template <typename Put>
void scan_ellipse(const Canvas& canvas, double cx, double cy, double rx, double ry, Put put) {
  if (rx <= 0 || ry <= 0) return;
  const int y0 = std::max(0, static_cast<int>(std::floor(cy - ry)));
  const int y1 = std::min(canvas.height - 1, static_cast<int>(std::ceil(cy + ry)));
  const int x0 = std::max(0, static_cast<int>(std::floor(cx - rx)));
  const int x1 = std::min(canvas.width - 1, static_cast<int>(std::ceil(cx + rx)));
  for (int y = y0; y <= y1; ++y) {
    const double dy = (y + 0.5 - cy) / ry;
    for (int x = x0; x <= x1; ++x) {
      const double dx = (x + 0.5 - cx) / rx;
      if (dx * dx + dy * dy <= 1.0) put(x, y);
    }
  }
}

Vec3 sub(Vec3 a, Vec3 b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vec3 face_normal(const std::vector<Vec3>& p) {
  // Newell's method: robust for any planar polygon, whatever its first corners.
  Vec3 n{};
  for (size_t i = 0; i < p.size(); ++i) {
    const Vec3 a = p[i];
    const Vec3 b = p[(i + 1) % p.size()];
    n.x += (a.y - b.y) * (a.z + b.z);
    n.y += (a.z - b.z) * (a.x + b.x);
    n.z += (a.x - b.x) * (a.y + b.y);
  }
  return n;
}

Vec3 centre_of(const std::vector<Vec3>& p) {
  Vec3 c{};
  for (const Vec3& v : p) c = {c.x + v.x, c.y + v.y, c.z + v.z};
  const double n = static_cast<double>(p.empty() ? 1 : p.size());
  return {c.x / n, c.y / n, c.z / n};
}

// Turns the face's corners so that its normal points away from `inside`.
void orient_outward(Face& f, Vec3 inside) {
  if (dot(face_normal(f.points), sub(centre_of(f.points), inside)) < 0) {
    std::reverse(f.points.begin(), f.points.end());
  }
}

}  // namespace

void fill_polygon(Canvas& canvas, std::span<const Vec2> points, uint8_t colour) {
  scan_polygon(canvas, points, [&](int x, int y) { canvas.set(x, y, colour); });
}

void fill_polygon(Canvas& canvas, std::span<const Vec2> points, const Shader& shader) {
  scan_polygon(canvas, points, [&](int x, int y) { canvas.set(x, y, shader(x, y)); });
}

void line(Canvas& canvas, double x0, double y0, double x1, double y1, uint8_t colour) {
  const double dx = x1 - x0, dy = y1 - y0;
  const int steps = static_cast<int>(std::ceil(std::max(std::fabs(dx), std::fabs(dy))));
  if (steps == 0) {
    canvas.set(static_cast<int>(std::floor(x0)), static_cast<int>(std::floor(y0)), colour);
    return;
  }
  for (int i = 0; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    canvas.set(static_cast<int>(std::floor(x0 + dx * t)), static_cast<int>(std::floor(y0 + dy * t)),
               colour);
  }
}

void thick_line(Canvas& canvas, Vec2 a, Vec2 b, double width, uint8_t colour) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double len = std::sqrt(dx * dx + dy * dy);
  if (len < 1e-9) {
    fill_circle(canvas, a.x, a.y, width / 2, colour);
    return;
  }
  const double nx = -dy / len * width / 2, ny = dx / len * width / 2;
  const std::array<Vec2, 4> quad = {
      {{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}}};
  fill_polygon(canvas, quad, colour);
}

void fill_ellipse(Canvas& canvas, double cx, double cy, double rx, double ry, uint8_t colour) {
  scan_ellipse(canvas, cx, cy, rx, ry, [&](int x, int y) { canvas.set(x, y, colour); });
}

void fill_ellipse(Canvas& canvas, double cx, double cy, double rx, double ry,
                  const Shader& shader) {
  scan_ellipse(canvas, cx, cy, rx, ry, [&](int x, int y) { canvas.set(x, y, shader(x, y)); });
}

void fill_circle(Canvas& canvas, double cx, double cy, double r, uint8_t colour) {
  fill_ellipse(canvas, cx, cy, r, r, colour);
}

void fill_circle(Canvas& canvas, double cx, double cy, double r, const Shader& shader) {
  fill_ellipse(canvas, cx, cy, r, r, shader);
}

void ring(Canvas& canvas, double cx, double cy, double r, double width, uint8_t colour) {
  const double inner = std::max(0.0, r - width);
  scan_ellipse(canvas, cx, cy, r, r, [&](int x, int y) {
    const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
    if (dx * dx + dy * dy >= inner * inner) canvas.set(x, y, colour);
  });
}

uint8_t dither(pal::Ramp ramp, double level, int x, int y) {
  level = std::clamp(level, 0.0, 15.0);
  const int lo = static_cast<int>(std::floor(level));
  const double frac = level - lo;
  const double threshold = (kBayer4[(y & 3) * 4 + (x & 3)] + 0.5) / 16.0;
  return pal::shade(ramp, frac > threshold ? lo + 1 : lo);
}

pal::Ramp ramp_of(uint8_t index) {
  for (int r = 0; r < pal::RAMP_COUNT; ++r) {
    const pal::RampRange range = pal::kRamps[r];
    if (index >= range.first && index < range.first + range.count) return static_cast<pal::Ramp>(r);
  }
  return pal::GREY;
}

int level_of(uint8_t index) {
  for (const pal::RampRange range : pal::kRamps) {
    if (index >= range.first && index < range.first + range.count) {
      return ((index - range.first) * 15 + (range.count - 1) / 2) / (range.count - 1);
    }
  }
  return 0;
}

Shader linear_gradient(pal::Ramp ramp, Vec2 p0, double l0, Vec2 p1, double l1) {
  const double dx = p1.x - p0.x, dy = p1.y - p0.y;
  const double len2 = std::max(1e-9, dx * dx + dy * dy);
  return [=](int x, int y) {
    const double t = std::clamp(((x + 0.5 - p0.x) * dx + (y + 0.5 - p0.y) * dy) / len2, 0.0, 1.0);
    return dither(ramp, l0 + (l1 - l0) * t, x, y);
  };
}

Shader sphere_shade(pal::Ramp ramp, double cx, double cy, double r, double lx, double ly,
                    double dark, double light) {
  const double ll = std::sqrt(lx * lx + ly * ly + 1.0);
  const Vec3 l{lx / ll, -ly / ll, 1.0 / ll};  // towards the light, y up, z towards the viewer
  return [=](int x, int y) {
    const double nx = (x + 0.5 - cx) / r, ny = -(y + 0.5 - cy) / r;
    const double nz = std::sqrt(std::max(0.0, 1.0 - nx * nx - ny * ny));
    const double d = std::max(0.0, nx * l.x + ny * l.y + nz * l.z);
    return dither(ramp, dark + (light - dark) * d * d, x, y);
  };
}

void outline(Canvas& canvas, uint8_t colour) {
  const Canvas src = canvas;
  for (int y = 0; y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) {
      if (src.get(x, y) != 0) continue;
      const bool touches =
          (x > 0 && src.get(x - 1, y)) || (x + 1 < src.width && src.get(x + 1, y)) ||
          (y > 0 && src.get(x, y - 1)) || (y + 1 < src.height && src.get(x, y + 1));
      if (touches) canvas.set(x, y, colour);
    }
  }
}

void outline_tinted(Canvas& canvas, int level) {
  const Canvas src = canvas;
  constexpr std::array<std::array<int, 2>, 4> kNeighbours = {{{-1, 0}, {1, 0}, {0, -1}, {0, 1}}};
  for (int y = 0; y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) {
      if (src.get(x, y) != 0) continue;
      for (const auto& d : kNeighbours) {
        const int nx = x + d[0], ny = y + d[1];
        if (nx < 0 || ny < 0 || nx >= src.width || ny >= src.height) continue;
        const uint8_t c = src.get(nx, ny);
        if (c != 0) {
          // The glare colours have no dark end of their own: they get a grey edge.
          pal::Ramp ramp = ramp_of(c);
          if (ramp == pal::SPECIAL || ramp == pal::HIGHLIGHT) ramp = pal::GREY;
          canvas.set(x, y, pal::shade(ramp, level));
          break;
        }
      }
    }
  }
}

void shift_levels(Canvas& canvas, int levels) {
  for (uint8_t& p : canvas.pixels) {
    if (p != 0) p = pal::shade(ramp_of(p), level_of(p) + levels);
  }
}

void blit(Canvas& dst, const Canvas& src, int x, int y) {
  for (int j = 0; j < src.height; ++j) {
    for (int i = 0; i < src.width; ++i) {
      const uint8_t c = src.get(i, j);
      if (c != 0) dst.set(x + i, y + j, c);
    }
  }
}

Canvas scaled(const Canvas& src, int w, int h) {
  Canvas out(w, h);
  if (src.width == 0 || src.height == 0) return out;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      out.set(x, y, src.get(x * src.width / w, y * src.height / h));
    }
  }
  return out;
}

Vec3 rotate_x(Vec3 v, double a) {
  const double c = std::cos(a), s = std::sin(a);
  return {v.x, v.y * c - v.z * s, v.y * s + v.z * c};
}

Vec3 rotate_y(Vec3 v, double a) {
  const double c = std::cos(a), s = std::sin(a);
  return {v.x * c + v.z * s, v.y, -v.x * s + v.z * c};
}

Vec3 rotate_z(Vec3 v, double a) {
  const double c = std::cos(a), s = std::sin(a);
  return {v.x * c - v.y * s, v.x * s + v.y * c, v.z};
}

double dot(Vec3 a, Vec3 b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3 cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vec3 normalised(Vec3 v) {
  const double l = std::sqrt(dot(v, v));
  return l < 1e-12 ? Vec3{0, 0, 1} : Vec3{v.x / l, v.y / l, v.z / l};
}

Vec3 transform(const View& view, Vec3 p) {
  p = rotate_x(p, view.roll);
  p = rotate_y(p, view.yaw);
  return rotate_x(p, view.pitch);
}

Vec2 project(const View& view, Vec3 p) {
  const Vec3 t = transform(view, p);
  return {view.cx + t.x * view.scale, view.cy - t.y * view.scale};
}

void draw_mesh(Canvas& canvas, const Mesh& mesh, const View& view, Vec3 light, double contrast,
               bool dithered) {
  struct Item {
    double depth;
    size_t index;
    double level;
  };
  const Vec3 l = normalised(light);
  std::vector<Item> items;
  for (size_t i = 0; i < mesh.size(); ++i) {
    const Face& f = mesh[i];
    if (f.points.size() < 3) continue;
    std::vector<Vec3> t;
    t.reserve(f.points.size());
    for (const Vec3& p : f.points) t.push_back(transform(view, p));
    Vec3 n = normalised(face_normal(t));
    if (n.z < 0) {
      if (!f.two_sided) continue;
      n = {-n.x, -n.y, -n.z};
    }
    const double level = f.emissive ? f.level : f.level + contrast * dot(n, l);
    items.push_back({centre_of(t).z, i, level});
  }
  // Stable so that equal depths keep the mesh's order: the same picture on every run.
  std::stable_sort(items.begin(), items.end(),
                   [](const Item& a, const Item& b) { return a.depth < b.depth; });
  std::vector<Vec2> pts;
  for (const Item& it : items) {
    const Face& f = mesh[it.index];
    pts.clear();
    for (const Vec3& p : f.points) pts.push_back(project(view, p));
    const pal::Ramp ramp = f.ramp;
    const double level = dithered ? it.level : std::round(it.level);
    fill_polygon(canvas, pts, [&](int x, int y) { return dither(ramp, level, x, y); });
  }
}

Mesh box(Vec3 lo, Vec3 hi, pal::Ramp ramp, double level) {
  const std::array<Vec2, 4> section = {{{lo.y, lo.z}, {hi.y, lo.z}, {hi.y, hi.z}, {lo.y, hi.z}}};
  return loft_x(lo.x, section, hi.x, section, ramp, level);
}

Mesh loft_x(double x0, std::span<const Vec2> section0, double x1, std::span<const Vec2> section1,
            pal::Ramp ramp, double level, bool caps) {
  Mesh mesh;
  const size_t n = std::min(section0.size(), section1.size());
  if (n < 2) return mesh;
  Vec3 inside{(x0 + x1) / 2, 0, 0};
  for (size_t i = 0; i < n; ++i) {
    inside.y += (section0[i].x + section1[i].x) / (2.0 * n);
    inside.z += (section0[i].y + section1[i].y) / (2.0 * n);
  }
  for (size_t i = 0; i < n; ++i) {
    const size_t j = (i + 1) % n;
    Face f;
    f.points = {{x0, section0[i].x, section0[i].y},
                {x0, section0[j].x, section0[j].y},
                {x1, section1[j].x, section1[j].y},
                {x1, section1[i].x, section1[i].y}};
    f.ramp = ramp;
    f.level = level;
    orient_outward(f, inside);
    mesh.push_back(f);
  }
  if (caps) {
    for (int end = 0; end < 2; ++end) {
      Face f;
      const double x = end == 0 ? x0 : x1;
      const std::span<const Vec2> s = end == 0 ? section0 : section1;
      for (size_t i = 0; i < n; ++i) f.points.push_back({x, s[i].x, s[i].y});
      f.ramp = ramp;
      f.level = level;
      orient_outward(f, inside);
      mesh.push_back(f);
    }
  }
  return mesh;
}

Face flat(std::vector<Vec3> points, pal::Ramp ramp, double level) {
  Face f;
  f.points = std::move(points);
  f.ramp = ramp;
  f.level = level;
  f.two_sided = true;
  return f;
}

void append(Mesh& to, const Mesh& from) {
  to.insert(to.end(), from.begin(), from.end());
}

}  // namespace draw
