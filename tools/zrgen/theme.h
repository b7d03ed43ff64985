// The five looks of the levels; every level belongs to one.
#pragma once
#include <array>
#include <string_view>

enum Theme : int { GRASSLAND, DESERT, ICEFIELD, VOLCANIC, CITY, THEME_COUNT };

// Short upper-case name used in file names (e.g. "GRASS" -> level\GRASS.DEF, data\bg\GRASS.PCX).
constexpr std::array<std::string_view, THEME_COUNT> kThemeNames = {"GRASS", "DESERT", "ICE",
                                                                   "VOLCANO", "CITY"};
