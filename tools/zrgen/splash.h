// The splash screen's picture (data\splash.pcx, 480 x 300): the game's name in large letters of
// the text font over the grassland panorama, with a dark band at the foot for the start-up line
// that DATA\TEXTS.TXT's Splash_XX sections place at row 276.
#pragma once
#include <filesystem>

#include "tools/zrgen/canvas.h"

Canvas draw_splash();
// Writes data\splash.pcx under dataDir. Throws std::runtime_error.
void write_splash(const std::filesystem::path& dataDir);
