#include "tools/zrgen/mapfile.h"

#include <cstring>
#include <fstream>
#include <stdexcept>

namespace {

void put16(std::vector<uint8_t>& out, int v) {
  out.push_back(uint8_t(v & 0xFF));
  out.push_back(uint8_t((v >> 8) & 0xFF));
}

void put32(std::vector<uint8_t>& out, int32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t((uint32_t(v) >> (8 * i)) & 0xFF));
}

void put_double(std::vector<uint8_t>& out, double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  for (int i = 0; i < 8; ++i) out.push_back(uint8_t((bits >> (8 * i)) & 0xFF));
}

// One 59-byte object record. The fields copied from the sprite at load time are written as 0 and
// the cell-list fields as "in no list"; the loader works them out again.
void put_object(std::vector<uint8_t>& out, const MapObject& o, int cellSize) {
  const size_t start = out.size();
  put16(out, o.sprite);
  put16(out, 0);     // sprite_bitmap
  put16(out, 0);     // size_v
  put16(out, 0);     // size_h
  put16(out, 0);     // placed_width
  out.push_back(0);  // blend_table
  out.push_back(o.mirror ? 1 : 0);
  out.push_back(0);  // mirror_v
  for (int i = 0; i < 8; ++i) put16(out, 0);
  put_double(out, o.x);
  put_double(out, o.y);
  put_double(out, o.z);
  put16(out, -9999);  // first_column
  put16(out, cellSize > 0 ? int(o.z) / cellSize : 0);
  out.push_back(uint8_t(o.tint));
  out.push_back(uint8_t(o.brightness));
  if (out.size() - start != 59) throw std::logic_error("object record size");
}

}  // namespace

double WorldMap::ground(double x, double z) const {
  const int column = int(x) / cellSize, row = int(z) / cellSize;
  if (x < 0 || z < 0 || !inside(column, row)) return 0.0;
  const MapCell& c = at(column, row);
  if (c.tile == 0) return 0.0;
  const double fx = int(x) % cellSize, fz = int(z) % cellSize;
  const int h0 = c.up[0], h1 = c.up[1], h2 = c.up[2];
  if (h0 == h1 && h1 == h2) return h0;
  if (h0 == h1) return h0 + (h2 - h0) * fx / cellSize;
  return h1 + (h0 - h1) * fz / cellSize;
}

std::vector<uint8_t> map_bytes(const WorldMap& map) {
  std::vector<uint8_t> out;
  put16(out, -1100);
  put32(out, map.cellSize);
  const int last = int(map.objects.size());
  put16(out, last);
  put_object(out, MapObject{}, map.cellSize);  // record 0, never a real object
  for (const MapObject& o : map.objects) put_object(out, o, map.cellSize);
  put16(out, map.rows);
  put16(out, map.columns);
  for (const MapCell& c : map.cells) {
    put16(out, c.tile);
    out.push_back(0);
    out.push_back(0);
    for (int h : c.up) put16(out, h);
    for (int h : c.down) put16(out, h);
    out.push_back(uint8_t(c.tint));
    out.push_back(uint8_t(c.brightness));
  }
  return out;
}

void write_map(const std::filesystem::path& path, const WorldMap& map) {
  const auto bytes = map_bytes(map);
  std::filesystem::create_directories(path.parent_path());
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path.string());
}
