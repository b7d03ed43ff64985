// The sky and horizon panoramas behind the world (data\bg\*.PCX), one per theme, 480 x 300: the
// size of the background scaled to 150 % of a 320 x 200 view, so nothing is resampled.
#pragma once
#include <filesystem>
#include <string>

#include "tools/zrgen/canvas.h"
#include "tools/zrgen/theme.h"

constexpr int kBackgroundWidth = 480;
constexpr int kBackgroundHeight = 300;
// Row of the picture where the world's horizon falls for a camera at height 150.
constexpr int kHorizonRow = 112;

Canvas draw_background(Theme theme);
// Data path of a theme's background, e.g. "data\bg\GRASS.PCX".
std::string background_file(Theme theme);
void generate_backgrounds(const std::filesystem::path& dataDir);
