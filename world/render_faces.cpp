#include "world/render_faces.h"

#include <algorithm>
#include <array>
#include <climits>

namespace {

// The three ways a pixel is written, each with or without index 0 left out. The drawers pick one
// per face and run their inner loops with it, so the loops carry no per-pixel decisions.
struct CopyPixel {
  void operator()(uint8_t* d, uint8_t s) const { *d = s; }
};
struct MapPixel {
  const uint8_t* map;
  void operator()(uint8_t* d, uint8_t s) const { *d = map[s]; }
};
struct BlendPixel {
  const uint8_t* table;
  void operator()(uint8_t* d, uint8_t s) const { *d = table[(s << 8) | *d]; }
};
template <class Op>
struct SkipZero {
  Op op;
  void operator()(uint8_t* d, uint8_t s) const {
    if (s != 0) op(d, s);
  }
};

template <class F>
void with_rule(const PixelRule& rule, F&& draw) {
  if (rule.blend != nullptr) {
    if (rule.skip_zero) {
      draw(SkipZero<BlendPixel>{{rule.blend}});
    } else {
      draw(BlendPixel{rule.blend});
    }
  } else if (rule.colour_map != nullptr) {
    if (rule.skip_zero) {
      draw(SkipZero<MapPixel>{{rule.colour_map}});
    } else {
      draw(MapPixel{rule.colour_map});
    }
  } else if (rule.skip_zero) {
    draw(SkipZero<CopyPixel>{});
  } else {
    draw(CopyPixel{});
  }
}

// a + (b - a) * k / n, truncated towards zero (n != 0).
int64_t lerp(int64_t a, int64_t b, int64_t k, int64_t n) {
  return a + (b - a) * k / n;
}

// Position (16.16, 0..65536) along a line from A to B where its projection meets screen offset s:
// factor * a(t) = s * depth(t), with a and depth linear in t. Returns -1 when it is parallel.
int64_t perspective_t(int64_t s, int64_t factor, int64_t a0, int64_t a1, int64_t z0, int64_t z1) {
  const int64_t num = s * z0 - factor * a0;
  const int64_t den = factor * (a1 - a0) - s * (z1 - z0);
  if (den == 0) return -1;
  int64_t t = num * 65536 / den;
  return std::clamp<int64_t>(t, 0, 65536);
}

}  // namespace

void draw_flat_face(const RenderTarget& target, const FlatFace& face, const uint8_t* texels,
                    int32_t floor_size, const PixelRule& rule) {
  const int64_t rows = face.near_row - face.far_row;
  if (rows == 0) return;
  const int64_t top = std::max<int64_t>(std::min(face.far_row, face.near_row), 0);
  const int64_t bottom = std::min<int64_t>(std::max(face.far_row, face.near_row), target.max_y + 1);
  if (top >= bottom) return;
  const uint32_t across = static_cast<uint32_t>(std::max(floor_size * 65536 - 75000, 0));
  const int64_t last_row = floor_size - 1;

  // The edges and the linear texture row step per screen row (16.16), from the far edge's row.
  const int64_t left_step = (face.near_left - face.far_left) * 65536 / rows;
  const int64_t right_step = (face.near_right - face.far_right) * 65536 / rows;
  const int64_t row_step = (face.texture_near - face.texture_far) / rows;
  int64_t left = face.far_left * 65536 + left_step * (top - face.far_row);
  int64_t right = face.far_right * 65536 + right_step * (top - face.far_row);
  int64_t linear_row = face.texture_far + row_step * (top - face.far_row);

  with_rule(rule, [&](auto put) {
    for (int64_t y = top; y < bottom;
         ++y, left += left_step, right += right_step, linear_row += row_step) {
      const int64_t xl = left >> 16;
      const int64_t xr = right >> 16;
      if (xl > xr) continue;
      const int64_t a = std::max<int64_t>(xl, 0);
      const int64_t b = std::min<int64_t>(xr, target.max_x);
      if (a > b) continue;

      int64_t texture_row = linear_row;
      if (face.perspective) {
        const int64_t t = perspective_t(face.centre_y - y, face.projection_y, face.dy_far,
                                        face.dy_near, face.dz_far, face.dz_near);
        if (t >= 0) {
          texture_row = face.texture_far + ((face.texture_near - face.texture_far) * t >> 16);
        }
      }
      const int64_t row = std::clamp<int64_t>(texture_row >> 16, 0, last_row);
      const uint8_t* source = texels + row * 256;

      // The floor bitmap's full width across the span; clipped pixels advance the column.
      const int64_t width = xr - xl + 1;
      const uint32_t step = width < (int64_t{1} << 31) ? across / static_cast<uint32_t>(width) : 0;
      uint32_t u = static_cast<uint32_t>((a - xl) * step);
      uint8_t* d = target.pixels + y * target.pitch + a;
      const uint32_t step2 = step * 2;
      int64_t n = b - a + 1;
      for (; n >= 2; n -= 2, d += 2, u += step2) {
        put(d, source[u >> 16]);
        put(d + 1, source[(u + step) >> 16]);
      }
      if (n != 0) put(d, source[u >> 16]);
    }
  });
}

void draw_side_face(const RenderTarget& target, const SideFace& face, const uint8_t* texels,
                    int32_t wall_width, int32_t wall_height, const PixelRule& rule) {
  const int64_t span = face.right_x - face.left_x;
  if (span <= 0) return;
  const int64_t x0 = std::max<int64_t>(face.left_x, 0);
  const int64_t x1 = std::min<int64_t>(face.right_x, target.max_x + 1);
  if (x0 >= x1) return;
  // The texture row wraps at the bitmap's height (rows past it belong to other bitmaps).
  const int64_t wrap = std::min(wall_height, 256);
  const bool wrap_is_power_of_two = (wrap & (wrap - 1)) == 0;
  const uint32_t mask = static_cast<uint32_t>(wrap - 1);
  const int64_t full = int64_t{wall_height} * 65536;
  const int64_t stretched = int64_t{wall_height - 1} * 65536;

  // Top and bottom edges, the repeat height and the linear texture column step per screen
  // column (16.16), from the face's left end.
  const int64_t top_step = (face.right_top - face.left_top) * 65536 / span;
  const int64_t bottom_step = (face.right_bottom - face.left_bottom) * 65536 / span;
  const int64_t repeat_step = (face.right_height - face.left_height) * 65536 / span;
  const int64_t column_step = (face.texture_right - face.texture_left) / span;
  const int64_t k0 = x0 - face.left_x;
  int64_t top16 = face.left_top * 65536 + top_step * k0;
  int64_t bottom16 = face.left_bottom * 65536 + bottom_step * k0;
  int64_t repeat16 = face.left_height * 65536 + repeat_step * k0;
  int64_t linear_column = face.texture_left + column_step * k0;

  const int64_t pitch = target.pitch;
  const int64_t last_y = target.max_y;
  // The repeat height changes only every few columns: keep the last division's result.
  int64_t last_repeat = -1;
  int64_t repeat_step_v = 0;

  with_rule(rule, [&](auto put) {
    for (int64_t x = x0; x < x1; ++x, top16 += top_step, bottom16 += bottom_step,
                 repeat16 += repeat_step, linear_column += column_step) {
      const int64_t top = top16 >> 16;
      const int64_t bottom = bottom16 >> 16;
      const int64_t height = bottom - top;
      if (height <= 0) continue;
      const int64_t r0 = std::max<int64_t>(top, 0);
      const int64_t r1 = std::min<int64_t>(bottom, last_y + 1);
      if (r0 >= r1) continue;

      int64_t texture_column = linear_column;
      if (face.perspective) {
        const int64_t t = perspective_t(x - face.centre_x, face.projection_x, face.dx_left,
                                        face.dx_right, face.dz_left, face.dz_right);
        if (t >= 0) {
          texture_column = face.texture_left + ((face.texture_right - face.texture_left) * t >> 16);
        }
      }
      const int64_t column = std::clamp<int64_t>(texture_column >> 16, 0, wall_width - 1);

      int64_t step;
      if (face.stretch) {
        step = stretched / (height + 1);
      } else {
        const int64_t repeat = std::max<int64_t>(repeat16 >> 16, 1);
        if (repeat != last_repeat) {
          last_repeat = repeat;
          repeat_step_v = full < (int64_t{1} << 31) && repeat < (int64_t{1} << 31)
                              ? static_cast<uint32_t>(full) / static_cast<uint32_t>(repeat)
                              : full / repeat;
        }
        step = repeat_step_v;
      }
      int64_t v = face.anchor_bottom ? full - height * step - 30000 : 0;
      v += (r0 - top) * step;

      const uint8_t* source = texels + column;
      uint8_t* d = target.pixels + r0 * pitch + x;
      if (wrap_is_power_of_two) {
        // Only bits 16.. of the position matter below the wrap, so 32-bit wrapping is exact;
        // (vv >> 8) & (mask << 8) is the texture row times 256 in one step.
        uint32_t vv = static_cast<uint32_t>(v);
        const uint32_t s = static_cast<uint32_t>(step);
        const uint32_t row_mask = mask << 8;
        const uint32_t s2 = s * 2;
        const int64_t pitch2 = pitch * 2;
        int64_t n = r1 - r0;
        for (; n >= 2; n -= 2, vv += s2, d += pitch2) {
          put(d, source[(vv >> 8) & row_mask]);
          put(d + pitch, source[((vv + s) >> 8) & row_mask]);
        }
        if (n != 0) put(d, source[(vv >> 8) & row_mask]);
      } else {
        for (int64_t y = r0; y < r1; ++y, v += step, d += pitch) {
          int64_t row = (v >> 16) % wrap;
          if (row < 0) row += wrap;
          put(d, source[row << 8]);
        }
      }
    }
  });
}

namespace {

struct SlopedEnd {
  int64_t x;
  int64_t u, v;  // 16.16 texels
};

std::array<SlopedEnd, SLOPED_TABLE_ROWS> sloped_left;
std::array<SlopedEnd, SLOPED_TABLE_ROWS> sloped_right;

}  // namespace

void draw_sloped_face(const RenderTarget& target, const SlopedCorner (&corners)[4],
                      const uint8_t* texels, int32_t floor_size, const PixelRule& rule) {
  int64_t ymin = corners[0].y, ymax = corners[0].y;
  for (const SlopedCorner& c : corners) {
    ymin = std::min(ymin, c.y);
    ymax = std::max(ymax, c.y);
  }
  const int64_t last_row = std::min<int64_t>(target.max_y, SLOPED_TABLE_ROWS - 1);
  const int64_t top = std::max<int64_t>(ymin, 0);
  const int64_t bottom = std::min<int64_t>(ymax, last_row + 1);
  if (top >= bottom) return;

  for (int64_t y = top; y < bottom; ++y) {
    sloped_left[y].x = INT64_MAX;
    sloped_right[y].x = INT64_MIN;
  }
  // Scan-convert each edge into the left and right ends of the rows it crosses.
  for (int i = 0; i < 4; ++i) {
    const SlopedCorner* p = &corners[i];
    const SlopedCorner* q = &corners[(i + 1) % 4];
    if (p->y == q->y) continue;
    if (p->y > q->y) std::swap(p, q);
    const int64_t n = q->y - p->y;
    const int64_t y0 = std::max(p->y, top);
    const int64_t y1 = std::min(q->y, bottom);
    const int64_t pu = int64_t{p->u} * 256, qu = int64_t{q->u} * 256;
    const int64_t pv = int64_t{p->v} * 256, qv = int64_t{q->v} * 256;
    for (int64_t y = y0; y < y1; ++y) {
      const int64_t k = y - p->y;
      const SlopedEnd end{lerp(p->x, q->x, k, n), lerp(pu, qu, k, n), lerp(pv, qv, k, n)};
      if (end.x < sloped_left[y].x) sloped_left[y] = end;
      if (end.x > sloped_right[y].x) sloped_right[y] = end;
    }
  }

  const int64_t texel_limit = int64_t{floor_size} * 65536 - 1;
  with_rule(rule, [&](auto put) {
    for (int64_t y = top; y < bottom; ++y) {
      const SlopedEnd& l = sloped_left[y];
      const SlopedEnd& r = sloped_right[y];
      if (l.x > r.x) continue;
      const int64_t a = std::max<int64_t>(l.x, 0);
      const int64_t b = std::min<int64_t>(r.x, target.max_x);
      if (a > b) continue;
      // Ends kept inside the bitmap, so everything between them is too.
      const int64_t ul = std::clamp<int64_t>(l.u, 0, texel_limit);
      const int64_t ur = std::clamp<int64_t>(r.u, 0, texel_limit);
      const int64_t vl = std::clamp<int64_t>(l.v, 0, texel_limit);
      const int64_t vr = std::clamp<int64_t>(r.v, 0, texel_limit);
      const int64_t w = r.x - l.x;
      const int64_t du = w > 0 ? (ur - ul) / w : 0;
      const int64_t dv = w > 0 ? (vr - vl) / w : 0;
      int32_t u = static_cast<int32_t>(ul + du * (a - l.x));
      int32_t v = static_cast<int32_t>(vl + dv * (a - l.x));
      const int32_t su = static_cast<int32_t>(du), sv = static_cast<int32_t>(dv);
      uint8_t* d = target.pixels + y * target.pitch;
      for (int64_t x = a; x <= b; ++x, u += su, v += sv) {
        put(d + x, texels[(((v >> 16) & 255) << 8) + ((u >> 16) & 255)]);
      }
    }
  });
}

void draw_sprite(const RenderTarget& target, const SpriteFace& s, const PixelRule& rule) {
  if (s.width <= 0 || s.height <= 0 || s.pixels == nullptr || s.bitmap_width <= 0 ||
      s.bitmap_height <= 0) {
    return;
  }
  const int64_t x0 = std::max({s.left, s.clip_left, int64_t{0}});
  const int64_t x1 = std::min({s.left + s.width, s.clip_right, int64_t{target.max_x} + 1});
  const int64_t y0 = std::max({s.top, s.clip_top, int64_t{0}});
  const int64_t y1 = std::min({s.top + s.height, s.clip_bottom, int64_t{target.max_y} + 1});
  if (x0 >= x1 || y0 >= y1) return;
  const int64_t hstep = s.width > 1 ? int64_t{s.bitmap_width} * 65536 / s.width : 0;
  const int64_t vstep = s.height > 1 ? int64_t{s.bitmap_height} * 65536 / s.height : 0;

  with_rule(rule, [&](auto put) {
    for (int64_t y = y0; y < y1; ++y) {
      int64_t k = y - s.top;
      if (s.mirror_v) k = s.height - 1 - k;
      const int64_t ty = std::min<int64_t>(k * vstep >> 16, s.bitmap_height - 1);
      const uint8_t* row = s.pixels + ty * s.bitmap_width;
      uint8_t* d = target.pixels + y * target.pitch;
      int64_t j = x0 - s.left;
      if (s.mirror_h) {
        uint64_t u = static_cast<uint64_t>((s.width - 1 - j) * hstep);
        for (int64_t x = x0; x < x1; ++x, u -= hstep) put(d + x, row[u >> 16]);
      } else {
        uint64_t u = static_cast<uint64_t>(j * hstep);
        for (int64_t x = x0; x < x1; ++x, u += hstep) put(d + x, row[u >> 16]);
      }
    }
  });
}
