// The transparency tables (data\transp.tab): four blends and the colour map.
#pragma once
#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "tools/zrgen/palette.h"

constexpr int kBlendTables = 4;
constexpr int kTableCount = 5;  // tables 0-3 blends, table 4 the colour map
constexpr int kColourMapTable = 4;

// Blend tables, counted from 0 (a bitmap's `%n` suffix uses table n - 1).
enum BlendTable : int { BLEND_HALF = 0, BLEND_GLOW = 1, BLEND_SHADOW = 2, BLEND_GLASS = 3 };

// Tints of the colour map (row tint * 16 + brightness).
enum Tint : int {
  TINT_NEUTRAL,
  TINT_SUNSET,
  TINT_NIGHT,
  TINT_EMBER,
  TINT_TOXIC,
  TINT_DUSK,
  TINT_SEPIA,
  TINT_FROST,
  TINT_GOLD,
  TINT_DEEP,
  TINT_NEON,
  TINT_FOG,
  TINT_TEAL,
  TINT_CRIMSON,
  TINT_HAZE,
  TINT_MOON,
  TINT_COUNT
};

// Row (tint * 16 + brightness) of the colour map: every palette entry under that light.
std::array<uint8_t, 256> colour_map_row(const pal::Palette& palette, int tint, int brightness);

// The whole file: one count byte and kTableCount tables of 65536 entries.
std::vector<uint8_t> transparency_tables(const pal::Palette& palette);

// Writes dataDir / "transp.tab". Throws std::runtime_error when it cannot.
void write_transparency_tables(const std::filesystem::path& dataDir, const pal::Palette& palette);
