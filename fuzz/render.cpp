// The renderer on a small world and a camera decoded from the input: any cell heights, face
// bitmaps, object sizes and positions, lighting settings and camera. A write outside the view
// (into the frame's guard bands) aborts; reads outside tile_buffer and the sprite pixels are
// caught by AddressSanitizer, as every block is allocated to its exact size.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "tests/render/render_support.h"

namespace {

struct Bytes {
  const uint8_t* data;
  size_t size;
  size_t at = 0;
  uint8_t u8() { return at < size ? data[at++] : 0; }
  int16_t i16() { return int16_t(u8() | (u8() << 8)); }
  template <size_t N>
  int pick(const int (&values)[N]) {
    return values[u8() % N];
  }
  double real() {
    const uint8_t kind = u8();
    if (kind == 255) {  // raw double: infinities, NaN and huge values
      double d;
      uint64_t bits = 0;
      for (int i = 0; i < 8; ++i) bits |= uint64_t(u8()) << (8 * i);
      std::memcpy(&d, &bits, sizeof d);
      return d;
    }
    return i16() / 8.0 + (kind % 4) * 4096.0 * (kind & 4 ? -1 : 1);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Bytes in{data, size};
  static const int kCellSizes[] = {1, 4, 12, 40};
  static const int kFloorSizes[] = {1, 8, 16, 32, 256};
  static const int kWallWidths[] = {1, 8, 32, 256};
  static const int kWallHeights[] = {1, 16, 48, 256, 300};
  static const int kViews[][2] = {{320, 200}, {321, 201}, {640, 400}};

  const int columns = 1 + in.u8() % 8;
  const int rows = 1 + in.u8() % 8;
  TestWorld w(columns, rows, in.pick(kCellSizes));
  floor_bitmap_size = in.pick(kFloorSizes);
  wall_bitmap_width = in.pick(kWallWidths);
  wall_bitmap_height = in.pick(kWallHeights);
  perspective_distance = in.i16();
  const int floors = 1 + in.u8() % std::min(2, 256 / floor_bitmap_size);
  const int walls = 1 + in.u8() % std::min(2, 256 / wall_bitmap_width);
  const uint8_t seed = in.u8();
  w.MakeBitmaps(floors, walls, [&](int i, int x, int y) { return uint8_t(seed * (i + 1) + x * 7 + y * 13); });
  for (Bitmap& b : w.bitmaps) {
    const uint8_t flags = in.u8();
    b.blend_table = flags % 8;
    b.hash_flag = (flags >> 3) & 1;
  }
  if (in.u8() & 1) w.MakeTables();
  for (int t = 1; t <= 4; ++t) {
    std::array<int16_t, 6> faces{};
    for (int16_t& f : faces) {
      const uint8_t b = in.u8();
      f = b == 255 ? in.i16() : int16_t(int(b % (floors + walls + 1)) - 1);
    }
    Tile& tile = w.DefineTile(t, faces);
    for (int16_t& s : tile.stretch) s = in.u8() & 1;
  }
  for (Cell& c : w.cells) {
    c.tile = int16_t(in.u8() % 6);
    for (int16_t& h : c.up_face_heights) h = in.i16();
    for (int16_t& h : c.down_face_heights) h = in.i16();
    c.tint = in.u8();
    c.brightness = in.u8();
  }
  const int sprite = w.AddSprite(1 + in.u8() % 32, 1 + in.u8() % 32, in.u8());
  w.sprite_pixels.back()[0] = 0;
  const int objects_count = in.u8() % 6;
  for (int i = 0; i < objects_count; ++i) {
    const int bitmap = int(in.u8() % 3) - 1 + sprite;  // sprite - 1 and sprite + 1 are invalid
    const int id = w.AddObject(bitmap, in.real(), in.real(), in.real(), in.i16(), in.i16());
    WorldObject& o = w.object_table[id];
    const uint8_t flags = in.u8();
    o.mirror_h = flags & 1;
    o.mirror_v = (flags >> 1) & 1;
    o.blend_table = (flags >> 2) % 8;
    o.tint = in.u8();
    o.brightness = in.u8();
  }
  w.Install();
  cell_lighting = in.u8() & 1;
  object_lighting = in.u8() & 1;
  fade_start = int8_t(in.u8());
  fade_factor = in.i16() / 256.0;
  view_shift = int8_t(in.u8());
  depth_rows = in.u8() % 40;

  const int* view = kViews[in.u8() % 3];
  GuardedFrame frame(view[0], view[1]);
  frame.Attach();
  const double x = in.real(), y = in.real(), z = in.real();
  draw_world(x, y, z, in.u8() & 1);
  free_engine();
  if (frame.GuardsTouched() != 0) std::abort();
  return 0;
}
