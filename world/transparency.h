// Transparency tables: 256 x 256 look-ups of palette indices for translucent drawing, the fifth
// of which also serves as the colour map of tint and brightness.
#pragma once
#include <cstdint>

constexpr int MAX_TRANS_TABLES = 20;
constexpr int TRANS_TABLE_SIZE = 65536;
constexpr int COLOUR_MAP_TABLE = 4;  // rows tint * 16 + brightness

extern uint8_t* trans_tables[MAX_TRANS_TABLES];
extern int32_t num_trans_tables;
// 256 bytes mapping each index when no lighting applies (identity until a fifth table exists).
extern const uint8_t* default_colour_map;

void load_transparency_tables(const char* name);
void free_transparency_tables();
// Row tint * 16 + brightness of the colour map (both clamped to 0..15), or the default map when
// the file had no fifth table.
const uint8_t* colour_map_row(int tint, int brightness);
