// Scenery objects of the levels (sprite numbers below 100): trees, rocks, cacti, crystals, lamps,
// masts, birds, drones and the like, drawn into data\scn\*.PCX.
#pragma once
#include <filesystem>
#include <string>

#include "tools/zrgen/theme.h"

// Sprite numbers of the scenery.
enum Scenery : int {
  SC_TREE = 1,
  SC_PINE,
  SC_BUSH,
  SC_BOULDER,
  SC_CACTUS,
  SC_PALM,
  SC_SNOWPINE,
  SC_CRYSTAL,
  SC_DEADTREE,
  SC_EMBER,
  SC_LAMP,
  SC_MAST,
  SC_BEACON,
  SC_BIRD,
  SC_DRONE,
  SC_STEAM,
  SC_HOLO,
  SC_FLAG,
  SC_DISH,
  SC_COLUMN,
  SC_BLIMP,
  SC_ICEBLOCK,
  SC_CRATE,
  SC_COUNT
};

// Draws every scenery picture under dataDir / "scn" and returns the definition lines that declare
// them ('^' pictures, '<' animations, '&' sprites), the same for every theme.
std::string generate_scenery(const std::filesystem::path& dataDir);
