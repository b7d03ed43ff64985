#include "world/map.h"

#include <bit>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/core/fileio.h"
#include "engine/platform/clock.h"
#include "engine/platform/video.h"
#include "world/level_def.h"
#include "world/world_error.h"

static_assert(std::endian::native == std::endian::little, "map records are stored little-endian");

namespace {

bool pauses_on = true;
constexpr uint32_t PAUSE_MS = 3000;

void pause() {
  if (pauses_on && !zr_platform_is_headless()) zr_sleep_ms(PAUSE_MS);
}

// Reads size bytes; what lies past the end of the file reads as zero.
void read_bytes(ZR_FILE* file, void* out, size_t size) {
  size_t got = zr_io_fread(out, 1, size, file);
  if (got < size) std::memset(static_cast<uint8_t*>(out) + got, 0, size - got);
}

int16_t read16(ZR_FILE* file) {
  int16_t v;
  read_bytes(file, &v, sizeof v);
  return v;
}

int32_t read32(ZR_FILE* file) {
  int32_t v;
  read_bytes(file, &v, sizeof v);
  return v;
}

[[noreturn]] void refuse(ZR_FILE* file, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
void refuse(ZR_FILE* file, const char* format, ...) {
  char text[WORLD_ERROR_SIZE];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  zr_io_fclose(file);
  world_fatal(0, "%s", text);
}

}  // namespace

void world_set_pauses(bool on) {
  pauses_on = on;
}
bool world_pauses() {
  return pauses_on;
}

void read_map(const char* name) {
  ZR_FILE* file = zr_io_fopen(name, "rb");
  if (!file) {
    pause();
    last_object = 0;
    return;
  }
  int16_t first = read16(file);
  bool current = first == MAP_MAGIC;
  int32_t scale = 0;
  if (current) {
    scale = read32(file);
    last_object = read16(file);
  } else {
    last_object = first;
    std::printf("Reading a map saved in the OLD format...\n");
    std::fflush(stdout);
    pause();
  }
  // Nothing is read past what the tables hold.
  if (last_object < 0 || last_object >= MAX_OBJECTS) {
    int last = last_object;
    last_object = 0;
    refuse(file, "The map file %s holds a wrong number of objects : %i", name, last);
  }
  // Only 0 cannot rescale; a negative scale computes like any other.
  if (current && scale == 0) {
    last_object = 0;
    refuse(file, "The map file %s has a wrong scale : %i", name, scale);
  }
  read_bytes(file, objects, sizeof(WorldObject) * (last_object + 1));
  if (current) {
    for (int i = 0; i <= last_object; ++i) {
      objects[i].x = objects[i].x * cell_size / scale;
      objects[i].z = objects[i].z * cell_size / scale;
    }
  }

  int rows = read16(file);
  int columns = read16(file);
  // An empty map only warns below; a negative count cannot be read.
  if (rows < 0 || columns < 0)
    refuse(file, "The map file %s has a wrong size : %i rows, %i columns", name, rows, columns);
  if (rows != world_rows || columns != world_columns) {
    std::printf("WARNING!. Height or Size of the world\nhas changed.\n");
    std::fflush(stdout);
    pause();
  }
  int read_rows = rows < world_rows ? rows : world_rows;
  std::vector<Cell> row(columns);
  for (int r = 0; r < read_rows; ++r) {
    read_bytes(file, row.data(), sizeof(Cell) * columns);
    for (int c = 0; c < columns; ++c) {
      const Cell& cell = row[c];
      if (c < world_columns) world[r * world_columns + c] = cell;
      if (cell.tile == 0) continue;
      if (cell.tile < 0 || cell.tile > MAX_TILE_NUMBER)
        refuse(file, "The map file %s uses a wrong tile number : %i", name, cell.tile);
      if (!tiles[cell.tile].defined)
        refuse(file, "A tile number used in the map is not defined in the def file! -> %i",
               cell.tile);
    }
  }
  zr_io_fclose(file);
}

void save_map(const char* name, const Cell* cells, int rows, int columns,
              const WorldObject* objects_to_save, int last) {
  char path[ZR_PATH_MAX];
  zr_io_disk_path(name, path, sizeof path);
  // Written past the file layer, so its confinement of names is checked here.
  FILE* file = zr_io_name_allowed(name) ? std::fopen(path, "wb") : nullptr;
  if (!file) world_fatal(0, "Cant create map file!");
  int16_t magic = MAP_MAGIC;
  int32_t scale = cell_size;
  int16_t last16 = static_cast<int16_t>(last);
  int16_t rows16 = static_cast<int16_t>(rows);
  int16_t columns16 = static_cast<int16_t>(columns);
  std::fwrite(&magic, sizeof magic, 1, file);
  std::fwrite(&scale, sizeof scale, 1, file);
  std::fwrite(&last16, sizeof last16, 1, file);
  if (last >= 0) std::fwrite(objects_to_save, sizeof(WorldObject), last + 1, file);
  std::fwrite(&rows16, sizeof rows16, 1, file);
  std::fwrite(&columns16, sizeof columns16, 1, file);
  // The cells given, row after row: rows x columns of them.
  if (rows > 0 && columns > 0)
    std::fwrite(cells, sizeof(Cell), static_cast<size_t>(rows) * columns, file);
  std::fclose(file);
}
