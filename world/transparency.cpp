#include "world/transparency.h"

#include <cstring>

#include "engine/core/fileio.h"
#include "engine/core/memory.h"
#include "world/world_error.h"

uint8_t* trans_tables[MAX_TRANS_TABLES] = {};
int32_t num_trans_tables = 0;

namespace {

constexpr int COLOUR_MAP_DEFAULT_ROW = 15;  // tint 0 at full brightness

struct IdentityMap {
  uint8_t entries[256];
  constexpr IdentityMap() : entries() {
    for (int i = 0; i < 256; ++i) entries[i] = static_cast<uint8_t>(i);
  }
};
constexpr IdentityMap identity_map;

// The default colour map outlives the tables it came from.
uint8_t kept_colour_map[256];

}  // namespace

const uint8_t* default_colour_map = identity_map.entries;

void load_transparency_tables(const char* name) {
  // Every level start loads the tables again: the new ones replace the old, so the indexes stay
  // those of the file and the slots never run out.
  free_transparency_tables();
  ZR_FILE* file = zr_io_fopen(name, "rb");
  if (!file) world_fatal(0, "Cant open transparency table : %s", name);
  int count = zr_io_fgetc(file) & 0xFF;  // a missing count byte reads as 255
  if (count > MAX_TRANS_TABLES) {
    zr_io_fclose(file);
    world_fatal(0, "Too many transparency tables in %s : %i ( at most %i )", name, count,
                MAX_TRANS_TABLES);
  }
  for (int i = 0; i < count; ++i) {
    auto* table = static_cast<uint8_t*>(world_malloc(TRANS_TABLE_SIZE));
    if (!table) {
      zr_io_fclose(file);
      world_fatal(0, "Not enough memory for transparency tables");
    }
    zr_mem_name(table, "1 tabla trans in load transparency tables");
    size_t got = zr_io_fread(table, 1, TRANS_TABLE_SIZE, file);
    // Bytes past the end of the file read as the layer's end-of-file byte.
    if (got < TRANS_TABLE_SIZE) std::memset(table + got, 0xFF, TRANS_TABLE_SIZE - got);
    trans_tables[num_trans_tables++] = table;
  }
  zr_io_fclose(file);
  if (count > COLOUR_MAP_TABLE)
    default_colour_map = trans_tables[COLOUR_MAP_TABLE] + COLOUR_MAP_DEFAULT_ROW * 256;
}

void free_transparency_tables() {
  if (num_trans_tables > COLOUR_MAP_TABLE &&
      default_colour_map == trans_tables[COLOUR_MAP_TABLE] + COLOUR_MAP_DEFAULT_ROW * 256) {
    std::memcpy(kept_colour_map, default_colour_map, sizeof kept_colour_map);
    default_colour_map = kept_colour_map;
  }
  for (int i = 0; i < num_trans_tables; ++i) {
    zr_mem_free(trans_tables[i]);
    trans_tables[i] = nullptr;
  }
  num_trans_tables = 0;
}

const uint8_t* colour_map_row(int tint, int brightness) {
  if (num_trans_tables <= COLOUR_MAP_TABLE) return default_colour_map;
  tint = tint < 0 ? 0 : tint > 15 ? 15 : tint;
  brightness = brightness < 0 ? 0 : brightness > 15 ? 15 : brightness;
  return trans_tables[COLOUR_MAP_TABLE] + (tint * 16 + brightness) * 256;
}
