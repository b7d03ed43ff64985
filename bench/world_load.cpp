// Load_Level of a realistic level, generated into a temporary folder: 60 floor and wall bitmaps,
// 40 sprite bitmaps, 30 animations, 50 tiles, 40 sprites, a background, and a 250 x 110 map with
// 300 objects (goal: under a frame's 10 ms).
//   LoadLevel      the whole load, free_level included
//   ReadPictures   load_pcx_file of the same 101 pictures alone: the share of reading pictures
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/core/error.h"
#include "engine/core/fileio.h"
#include "engine/core/list.h"
#include "engine/core/memory.h"
#include "engine/core/zr_string.h"
#include "engine/platform/message_box.h"
#include "world/background.h"
#include "world/level_def.h"
#include "world/map.h"
#include "world/pcx.h"

namespace {

constexpr int kFloors = 40, kWalls = 20, kSprites = 40, kColumns = 250, kRows = 110;
constexpr int kObjects = 300;

void write_pcx(const std::string& name, int w, int h, int seed) {
  std::vector<uint8_t> out(128, 0);
  out[0] = 10;
  out[1] = 5;
  out[2] = 1;
  out[3] = 8;
  out[8] = static_cast<uint8_t>((w - 1) & 0xFF);
  out[9] = static_cast<uint8_t>((w - 1) >> 8);
  out[10] = static_cast<uint8_t>((h - 1) & 0xFF);
  out[11] = static_cast<uint8_t>((h - 1) >> 8);
  out[65] = 1;
  out[66] = static_cast<uint8_t>(w & 0xFF);
  out[67] = static_cast<uint8_t>(w >> 8);
  // Textures: short runs and single texels, as drawn pictures have.
  for (int y = 0; y < h; ++y) {
    int x = 0;
    while (x < w) {
      int run = 1 + ((x * 7 + y * 3 + seed) % 5);
      if (x + run > w) run = w - x;
      uint8_t v = static_cast<uint8_t>(10 + (x / 3 + y / 2 + seed * 11) % 236);
      if (run > 1 || v >= 0xC0) out.push_back(static_cast<uint8_t>(0xC0 | run));
      out.push_back(v);
      x += run;
    }
  }
  out.push_back(12);
  for (int i = 0; i < 768; ++i) out.push_back(static_cast<uint8_t>(i));
  std::ofstream(name, std::ios::binary)
      .write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
}

struct Level {
  std::filesystem::path dir;
  std::vector<std::string> pictures;
};

Level& level() {
  static Level l = [] {
    Level made;
    char pattern[] = "/tmp/zrbench.XXXXXX";
    made.dir = ::mkdtemp(pattern);
    std::filesystem::current_path(made.dir);
    static int32_t off = 0;
    zr_error_init(&off);
    zr_mem_init(&off);
    zr_list_init(&off);
    zr_string_init(&off);
    static ZR_IO_CONFIG config{};
    zr_io_init(&config);
    zr_message_box_set_hook([](const char* text, const char*, uint32_t) {
      std::fprintf(stderr, "%s\n", text);
      return 1;
    });
    world_set_pauses(false);

    std::string def =
        "; generated level\r\n@a 250\r\n@b 110\r\n@c 12\r\n@d 32\r\n@e 32\r\n"
        "@f 256\r\n@j back.pcx, 150, 150\r\n";
    write_pcx("back.pcx", 320, 200, 3);
    made.pictures.push_back("back.pcx");
    for (int i = 0; i < kFloors; ++i) {
      std::string file = "f" + std::to_string(i) + ".pcx";
      write_pcx(file, 32, 32, i);
      made.pictures.push_back(file);
      def += "#F" + std::to_string(i) + " = " + file + (i % 7 == 3 ? "%2" : "") + "\r\n";
    }
    for (int i = 0; i < kWalls; ++i) {
      std::string file = "w" + std::to_string(i) + ".pcx";
      write_pcx(file, 32, 256, 50 + i);
      made.pictures.push_back(file);
      def += "$W" + std::to_string(i) + " = " + file + (i % 5 == 1 ? "#" : "") + "\r\n";
    }
    for (int i = 0; i < kSprites; ++i) {
      std::string file = "s" + std::to_string(i) + ".pcx";
      int size = 24 + (i % 5) * 10;
      write_pcx(file, size, size + 6, 100 + i);
      made.pictures.push_back(file);
      def += "^S" + std::to_string(i) + " = " + file + "\r\n";
    }
    for (int i = 0; i < 15; ++i)
      def += ">TA" + std::to_string(i) + " = F" + std::to_string(i) + ", 4, F" +
             std::to_string(i + 1) + ", 4, F" + std::to_string(i + 2) + ", 6\r\n";
    for (int i = 0; i < 15; ++i) {
      def += "<*SA" + std::to_string(i) + " = ";
      for (int k = 0; k < 6; ++k)
        def += std::string(k ? ", " : "") + "S" + std::to_string((i + k) % kSprites) + ", 3";
      def += "\r\n";
    }
    for (int t = 1; t <= 50; ++t)
      def += "%" + std::to_string(t) + " = F" + std::to_string(t % kFloors) + ", NULL, W" +
             std::to_string(t % kWalls) + ", W" + std::to_string((t + 1) % kWalls) + "!, TA" +
             std::to_string(t % 15) + ", W" + std::to_string((t + 3) % kWalls) + "\r\n";
    for (int s = 0; s < kSprites; ++s)
      def += "&" + std::to_string(s) + " = " +
             (s % 2 ? "SA" + std::to_string(s % 15) : "S" + std::to_string(s)) + ", -100, -100, " +
             std::to_string(s % 3) + ", 1, 2, 3, 4, 5, 6, 7, 8\r\n";
    for (int m = 0; m < 10; ++m)
      def += "*" + std::to_string(10 + m) + ", " + std::to_string(20 * m + 5) +
             " = 3, 40, 20, 0, 60, 5, 20, 40, 5, 20\r\n";
    for (int a = 0; a < 10; ++a)
      def += "+" + std::to_string(a) + " = " + std::to_string(600 + a * 30) + ", 40, 300, 2, 10, " +
             std::to_string(700 + a * 30) + ", 60, 320, 3, 10\r\n";
    std::ofstream("level.def", std::ios::binary) << def;

    std::vector<Cell> cells(static_cast<size_t>(kColumns) * kRows);
    for (int r = 0; r < kRows; ++r)
      for (int c = 0; c < kColumns; ++c) {
        Cell& cell = cells[static_cast<size_t>(r) * kColumns + c];
        cell.tile = static_cast<int16_t>((r * 7 + c * 3) % 4 ? 0 : 1 + (r + c) % 50);
        for (int k = 0; k < 4; ++k) {
          cell.up_face_heights[k] = static_cast<int16_t>(10 + (c % 9) * 4);
          cell.down_face_heights[k] = 0;
        }
        cell.brightness = static_cast<uint8_t>(8 + r % 8);
      }
    std::vector<WorldObject> objects_out(kObjects + 1);
    for (int i = 1; i <= kObjects; ++i) {
      objects_out[i].sprite = static_cast<int16_t>(i % kSprites);
      objects_out[i].x = 30.0 + i * 9.7;
      objects_out[i].y = 20.0;
      objects_out[i].z = 40.0 + (i % 90) * 12.0;
      objects_out[i].brightness = 15;
    }
    cell_size = 12;
    save_map("level.map", cells.data(), kRows, kColumns, objects_out.data(), kObjects);
    return made;
  }();
  return l;
}

void BM_LoadLevel(benchmark::State& state) {
  level();
  for (auto _ : state) {
    if (Load_Level("level.def", "level.map", 1) != 0) state.SkipWithError("level did not load");
    benchmark::DoNotOptimize(world);
    free_level();
  }
}
BENCHMARK(BM_LoadLevel)->Unit(benchmark::kMillisecond);

void BM_ReadPictures(benchmark::State& state) {
  const Level& l = level();
  for (auto _ : state) {
    for (const std::string& name : l.pictures) {
      Picture p{};
      load_pcx_file(name.c_str(), 236, 10, 10, &p);
      benchmark::DoNotOptimize(p.pixels);
      zr_mem_free(p.pixels);
    }
  }
}
BENCHMARK(BM_ReadPictures)->Unit(benchmark::kMillisecond);

}  // namespace
