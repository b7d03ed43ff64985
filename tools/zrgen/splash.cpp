#include "tools/zrgen/splash.h"

#include <string_view>

#include "tools/zrgen/backgrounds.h"
#include "tools/zrgen/draw.h"
#include "tools/zrgen/fonts.h"
#include "tools/zrgen/palette.h"

using draw::blit;
using draw::outline;
using draw::scaled;

namespace {

constexpr std::string_view kTitle = "ZRSENTRY";
constexpr int kScale = 5;  // each text-font pixel becomes 5 x 5
constexpr int kTitleTop = 58;
constexpr int kBandTop = 266;  // the start-up line's band, to the foot of the picture

// One glyph of the text font, grown and recoloured: a shade of `ramp` falling from light at the
// top to darker at the foot (or one flat colour when flat is not 0).
Canvas big_glyph(char c, pal::Ramp ramp, uint8_t flat) {
  const Canvas glyph = text_glyph(static_cast<unsigned char>(c));
  Canvas big = scaled(glyph, glyph.width * kScale, glyph.height * kScale);
  for (int y = 0; y < big.height; ++y) {
    for (int x = 0; x < big.width; ++x) {
      if (big.get(x, y) == 0) continue;
      big.set(x, y, flat ? flat : pal::shade(ramp, 15 - (y * 8) / big.height));
    }
  }
  return big;
}

}  // namespace

Canvas draw_splash() {
  Canvas canvas = draw_background(GRASSLAND);
  const int width = static_cast<int>(kTitle.size()) * kTextCellWidth * kScale;
  const int left = (canvas.width - width) / 2;
  // A soft shadow first, then the letters with a dark outline in their own colour family.
  for (size_t i = 0; i < kTitle.size(); ++i) {
    const int x = left + static_cast<int>(i) * kTextCellWidth * kScale;
    blit(canvas, big_glyph(kTitle[i], pal::GREY, pal::shade(pal::GREY, 1)), x + 4, kTitleTop + 5);
  }
  for (size_t i = 0; i < kTitle.size(); ++i) {
    const int x = left + static_cast<int>(i) * kTextCellWidth * kScale;
    Canvas letter = big_glyph(kTitle[i], pal::YELLOW, 0);
    Canvas framed(letter.width + 4, letter.height + 4);
    blit(framed, letter, 2, 2);
    outline(framed, pal::shade(pal::BROWN, 2));
    outline(framed, pal::shade(pal::BROWN, 0));
    blit(canvas, framed, x - 2, kTitleTop - 2);
  }
  // The band for the start-up line, with a lighter rule above it.
  for (int x = 0; x < canvas.width; ++x) canvas.set(x, kBandTop, pal::shade(pal::STEEL, 6));
  for (int y = kBandTop + 1; y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) canvas.set(x, y, pal::shade(pal::STEEL, 1));
  }
  return canvas;
}

void write_splash(const std::filesystem::path& dataDir) {
  write_pcx(dataDir / "splash.pcx", draw_splash(), pal::game_palette());
}
