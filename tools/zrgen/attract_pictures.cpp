#include "tools/zrgen/attract_pictures.h"

#include <string>
#include <string_view>
#include <vector>

#include "tools/zrgen/backgrounds.h"
#include "tools/zrgen/draw.h"
#include "tools/zrgen/fonts.h"
#include "tools/zrgen/levels.h"
#include "tools/zrgen/sprite_art.h"

namespace fs = std::filesystem;

namespace {

constexpr int W = 320, H = 200;
constexpr int kLevels = 20;

// The theme's panorama, scaled to the screen and dimmed a little so that text stands out.
Canvas panorama(Theme theme, int dim) {
  Canvas c = draw::scaled(draw_background(theme), W, H);
  draw::shift_levels(c, -dim);
  return c;
}

// A line of text from the text font's glyphs, each pixel made scale x scale, shaded from
// `top` to `bottom` along the ramp, with a dark outline `border` pixels thick.
Canvas text_layer(std::string_view text, int scale, pal::Ramp ramp, double top, double bottom,
                  int border) {
  const int cell = kTextCellWidth * scale;
  Canvas layer(int(text.size()) * cell + 2 * border + 2, kTextCellHeight * scale + 2 * border + 2);
  const int height = kTextCellHeight * scale;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == ' ') continue;
    const Canvas glyph = text_glyph(static_cast<unsigned char>(text[i]));
    for (int y = 0; y < glyph.height; ++y) {
      for (int x = 0; x < glyph.width; ++x) {
        if (!glyph.get(x, y)) continue;
        for (int sy = 0; sy < scale; ++sy) {
          for (int sx = 0; sx < scale; ++sx) {
            const int px = border + 1 + int(i) * cell + x * scale + sx;
            const int py = border + 1 + y * scale + sy;
            const double level = top + (bottom - top) * (py - border) / double(height);
            layer.set(px, py, draw::dither(ramp, level, px, py));
          }
        }
      }
    }
  }
  for (int k = 0; k < border; ++k) draw::outline(layer, pal::shade(pal::GREY, 0));
  return layer;
}

// Text centred on column cx with its top at row y.
void centred_text(Canvas& c, std::string_view text, int cx, int y, int scale, pal::Ramp ramp,
                  double top, double bottom, int border = 1) {
  const Canvas layer = text_layer(text, scale, ramp, top, bottom, border);
  draw::blit(c, layer, cx - layer.width / 2, y);
}

Canvas mirrored(const Canvas& src) {
  Canvas out(src.width, src.height);
  for (int y = 0; y < src.height; ++y)
    for (int x = 0; x < src.width; ++x) out.set(src.width - 1 - x, y, src.get(x, y));
  return out;
}

// The first frame of a sprite by its animation name.
Canvas sprite(const std::vector<SpriteArt>& art, std::string_view name, int frame = 0) {
  for (const SpriteArt& a : art)
    if (a.name == name && !a.frames.empty()) return a.frames[size_t(frame) % a.frames.size()];
  return Canvas(1, 1);
}

// A dark band across the picture, for a caption.
void band(Canvas& c, int y0, int y1) {
  for (int y = y0; y < y1; ++y)
    for (int x = 0; x < W; ++x)
      if ((x + y) % 2 == 0 || y == y0 || y == y1 - 1) c.set(x, y, pal::shade(pal::STEEL, 1));
}

void laser(Canvas& c, int x0, int x1, int y) {
  for (int x = x0; x < x1; ++x) {
    c.set(x, y, kGlowCyan);
    c.set(x, y + 1, kWhite);
  }
}

Canvas title_picture(const std::vector<SpriteArt>& ship, const std::vector<SpriteArt>& enemies) {
  Canvas c = panorama(CITY, 3);
  centred_text(c, "ZRSENTRY", W / 2, 22, 4, pal::HIGHLIGHT, 15, 3, 2);
  const Canvas hero = mirrored(sprite(ship, "spr_continue_thrust", 1));
  draw::blit(c, draw::scaled(hero, hero.width * 2, hero.height * 2), 40, 104);
  laser(c, 40 + hero.width * 2, 250, 104 + hero.height - 2);
  const Canvas ufo = sprite(enemies, "spr_ufoa");
  draw::blit(c, ufo, 252, 100 + hero.height - ufo.height / 2);
  centred_text(c, "MOONFOLD GAMES", W / 2, 176, 1, pal::YELLOW, 14, 9);
  return c;
}

// The theme of a picture: its panorama, its name and levels, its kind of enemies over it.
Canvas theme_picture(Theme theme, const std::vector<SpriteArt>& ship,
                     const std::vector<SpriteArt>& enemies) {
  static constexpr std::string_view kNames[THEME_COUNT] = {"GRASSLAND", "DESERT", "ICE FIELD",
                                                           "VOLCANO", "CITY"};
  static constexpr std::string_view kFoes[THEME_COUNT][3] = {
      {"spr_hover", "spr_flap", "spr_tank"},
      {"spr_blade", "spr_hang", "spr_sleda"},
      {"spr_rdeye", "spr_screw", "spr_popc"},
      {"spr_flap", "spr_animated_bounce", "spr_tank"},
      {"spr_hang", "spr_rdeye", "spr_ufoa"}};
  Canvas c = panorama(theme, 1);
  band(c, 8, 52);
  centred_text(c, kNames[theme], W / 2, 11, 2, pal::HIGHLIGHT, 15, 6);
  int first = 0, last = 0;
  for (int n = 1; n <= kLevels; ++n) {
    if (level_theme(n) != theme) continue;
    if (!first) first = n;
    last = n;
  }
  const std::string levels = std::to_string(first) + " - " + std::to_string(last);
  centred_text(c, levels, W / 2, 36, 1, pal::YELLOW, 15, 10);
  for (int k = 0; k < 3; ++k) {
    const Canvas foe = sprite(enemies, kFoes[theme][k], k);
    draw::blit(c, foe, 60 + k * 90 - foe.width / 2, 80 + (k % 2) * 24 - foe.height / 2);
  }
  const Canvas hero = mirrored(sprite(ship, "spr_continue_thrust", 2));
  draw::blit(c, hero, 24, 150);
  laser(c, 24 + hero.width, 120, 150 + hero.height / 2);
  return c;
}

// The overlay: each kind of target beside the points it brings.
Canvas targets_picture(const std::vector<SpriteArt>& enemies) {
  Canvas c(W, H, pal::shade(pal::STEEL, 0));
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      if ((x / 4 + y / 4) % 2 == 0) c.set(x, y, pal::shade(pal::STEEL, 1));
  centred_text(c, "ZRSENTRY", W / 2, 8, 3, pal::HIGHLIGHT, 15, 4, 2);
  struct Row {
    std::string_view sprite;
    std::string_view points;
  };
  static constexpr Row kRows[] = {{"spr_hover", "50"},
                                  {"spr_tank", "50"},
                                  {"spr_popa", "200"},
                                  {"spr_ufoa", "200"},
                                  {"spr_jump", "75"}};
  int y = 54;
  for (size_t i = 0; i < std::size(kRows); ++i) {
    const Canvas s = sprite(enemies, kRows[i].sprite);
    const int column = i % 2 == 0 ? 50 : 180;
    draw::blit(c, s, column + 20 - s.width / 2, y + 14 - s.height / 2);
    const Canvas points = text_layer(kRows[i].points, 2, pal::YELLOW, 15, 8, 1);
    draw::blit(c, points, column + 48, y + 4);
    if (i % 2 == 1) y += 44;
  }
  return c;
}

}  // namespace

void write_attract_pictures(const fs::path& dataDir) {
  const std::vector<SpriteArt> ship = ship_art();
  const std::vector<SpriteArt> enemies = enemy_art();
  const pal::Palette& palette = pal::game_palette();
  const fs::path dir = dataDir / "attract";
  write_pcx(dir / "TITLE.PCX", title_picture(ship, enemies), palette);
  for (int t = 0; t < THEME_COUNT; ++t) {
    const Theme theme = static_cast<Theme>(t);
    write_pcx(dir / (std::string(kThemeNames[t]) + ".PCX"), theme_picture(theme, ship, enemies),
              palette);
  }
  write_pcx(dir / "TARGETS.PCX", targets_picture(enemies), palette);
}
