// The sky and horizon panoramas behind the world (data\bg\*.PCX), 480 x 300: the size of the
// background scaled to 150 % of a 320 x 200 view, so nothing is resampled. One picture per level:
// its theme's panorama under the level's light.
#pragma once
#include <filesystem>
#include <string>

#include "tools/zrgen/canvas.h"
#include "tools/zrgen/theme.h"

constexpr int kBackgroundWidth = 480;
constexpr int kBackgroundHeight = 300;
// Row of the picture where the world's far edge meets the sky for the game's camera (150 high):
// the window starts about 45 rows down and the world's horizon lies about 96 rows into the view.
constexpr int kHorizonRow = 140;

Canvas draw_background(Theme theme);
// Data path of a background, e.g. "data\bg\GRASS2.PCX" (variant 2 of the grassland).
std::string background_file(Theme theme, int variant);
// Writes the theme's panorama under the colour map row (tint, brightness) as that variant.
void write_background(const std::filesystem::path& dataDir, Theme theme, int variant, int tint,
                      int brightness);
