// The pictures behind the game's sprites: every frame of every animation, drawn as shapes into the
// palette (index 0 transparent). sprites.cpp writes them out and declares them.
//
// Orientation: a picture faces -x (towards the left) as drawn; an object whose facing flag points
// towards +x is drawn mirrored (mirror_h = facing flag). The ship's shadow is drawn the other way
// round (its nose towards +x), since it always carries the ship's opposite facing flag.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/zrgen/canvas.h"

// The glare colours of the palette's special entries.
constexpr uint8_t kWhite = 240;
constexpr uint8_t kGlowCyan = 243;
constexpr uint8_t kHotYellow = 244;
constexpr uint8_t kMagenta = 245;

struct SpriteArt {
  std::string name;            // sprite-bitmap or animation name, as the game looks it up
  std::string base;            // file and frame-name stem, at most 6 characters
  std::vector<Canvas> frames;  // all of the same size
  std::vector<int> delays;     // per frame, in animation time units; empty: a still picture
  bool ping_pong = false;
};

inline SpriteArt make_art(std::string name, std::string base, std::vector<Canvas> frames,
                          std::vector<int> delays = {}, bool ping_pong = false) {
  return {std::move(name), std::move(base), std::move(frames), std::move(delays), ping_pong};
}

// Drawn at the scale at which they are seen in the player's lane: one picture pixel is one screen
// pixel at 280 units from the camera.
std::vector<SpriteArt> ship_art();    // the ship's animations, its still picture and its shadow
std::vector<SpriteArt> enemy_art();   // enemies, crawlers, UFO, pods, walkers
std::vector<SpriteArt> effect_art();  // lasers, shots, explosions, shadows, cockpit objects
