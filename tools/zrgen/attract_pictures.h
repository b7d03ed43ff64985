// The attract sequence's pictures (data\attract): the title with the game's name, one picture per
// theme of the levels, and the overlay picture with the score of each kind of target. All are
// 320 x 200 in the game palette, composed from the theme panoramas, the sprites and the text
// font's glyphs.
#pragma once
#include <filesystem>

// Data paths of the pictures, as the attract list names them.
inline constexpr const char* kTitlePicturePath = "data\\attract\\TITLE.PCX";
inline constexpr const char* kOverlayPicturePath = "data\\attract\\TARGETS.PCX";

// Writes every picture under dataDir / "attract". Throws std::runtime_error.
void write_attract_pictures(const std::filesystem::path& dataDir);
