// Writes every sprite frame as a PCX file and declares the sprite bitmaps, animations and sprites
// of the game's type codes in the level-definition language.
#include "tools/zrgen/sprites.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string_view>

#include "tools/zrgen/palette.h"
#include "tools/zrgen/sprite_art.h"
#include "tools/zrgen/tables.h"

namespace {

// Where a picture's pixels match the screen's: most sprites are seen 280 units from the camera
// (the camera follows the ship at that distance); the cockpit objects stand 152 units in front.
constexpr double kLaneDistance = 280.0;
constexpr double kCockpitDistance = 152.0;
// Projection factors of the 320 × 200 view.
constexpr double kProjectionX = 200.0;
constexpr double kProjectionY = 166.0;

struct SpriteDef {
  int number;            // the game's type code
  std::string_view art;  // the sprite bitmap or animation it shows
  int blend;             // transparency table + 1, 0 for opaque
  double distance;       // distance at which one picture pixel is one screen pixel
};

constexpr SpriteDef kSprites[] = {
    {100, "SHIPIDLE", 0, kLaneDistance},               // the ship (start object)
    {101, "spr_hover", 0, kLaneDistance},              // default enemy; also tank and sled crawlers
    {105, "spr_bullet", 0, kLaneDistance},             // enemy shot
    {106, "spr_laser", 0, kLaneDistance},              // the ship's laser
    {107, "SHADOW", BLEND_SHADOW + 1, kLaneDistance},  // enemy shadows
    {119, "SHIPSHADOW", BLEND_SHADOW + 1, kLaneDistance},      // the ship's shadow
    {121, "spr_jump", 0, kLaneDistance},                       // walker
    {122, "spr_ufoa", 0, kLaneDistance},                       // UFO
    {124, "COCKPITGLASS", BLEND_GLASS + 1, kCockpitDistance},  // scanner glass
    {125, "spr_popc", 0, kLaneDistance},                       // pop pod
    {127, "COCKPITPLATE", 0, kCockpitDistance},                // lane-number plate
    {133, "spr_flap", 0, kLaneDistance},
    {134, "spr_rdeye", 0, kLaneDistance},
    {135, "spr_blade", 0, kLaneDistance},
    {136, "spr_screw", 0, kLaneDistance},
    {137, "spr_hang", 0, kLaneDistance},
    {138, "spr_animated_bounce", 0, kLaneDistance},
};

std::string two_digits(size_t k) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02zu", k);
  return buf;
}

std::string frame_file(const SpriteArt& art, size_t k) {
  return art.delays.empty() ? art.base : art.base + two_digits(k);
}

const SpriteArt& find_art(const std::vector<SpriteArt>& all, std::string_view name) {
  for (const SpriteArt& a : all) {
    if (a.name == name) return a;
  }
  throw std::runtime_error("sprite art missing: " + std::string(name));
}

// The world size whose projection at `distance` is `pixels` (rounded up so that it is not short).
int world_size(int pixels, double distance, double projection) {
  return static_cast<int>(std::ceil(pixels * distance / projection - 1e-9));
}

}  // namespace

std::string generate_sprites(const std::filesystem::path& dataDir) {
  std::vector<SpriteArt> all = ship_art();
  for (auto* more : {&enemy_art, &effect_art}) {
    std::vector<SpriteArt> part = more();
    all.insert(all.end(), part.begin(), part.end());
  }

  const pal::Palette& palette = pal::game_palette();
  // The line reader of the definition file ends a line at a carriage return only.
  const std::string eol = "\r\n";
  std::string lines = "; Sprites: the ship, enemies, shots, shadows, cockpit and explosions." + eol;
  lines += "; Pictures face -x; an object facing +x is drawn mirrored." + eol;

  for (const SpriteArt& art : all) {
    for (size_t k = 0; k < art.frames.size(); ++k) {
      const std::string file = frame_file(art, k);
      write_pcx(dataDir / "spr" / (file + ".PCX"), art.frames[k], palette);
      const std::string name = art.delays.empty() ? art.name : "SP" + file;
      lines += "^" + name + "=data\\spr\\" + file + ".PCX" + eol;
    }
    if (art.delays.empty()) continue;
    lines += "<" + std::string(art.ping_pong ? "*" : "") + art.name + "=";
    for (size_t k = 0; k < art.frames.size(); ++k) {
      lines += (k ? "," : "") + ("SP" + frame_file(art, k)) + "," + std::to_string(art.delays[k]);
    }
    lines += eol;
  }

  for (const SpriteDef& def : kSprites) {
    const Canvas& first = find_art(all, def.art).frames.front();
    const int size_v = world_size(first.height, def.distance, kProjectionY);
    const int size_h = world_size(first.width, def.distance, kProjectionX);
    lines += "&" + std::to_string(def.number) + "=" + std::string(def.art) + "," +
             std::to_string(size_v) + "," + std::to_string(size_h) + "," +
             std::to_string(def.blend) + ",0,0,0,0,0,0,0,0" + eol;
  }
  return lines;
}
