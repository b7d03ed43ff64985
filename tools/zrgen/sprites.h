// The game's sprites and animations: the ship, the enemies, shots, shadows, cockpit objects and
// explosions.
#pragma once
#include <filesystem>
#include <string>

// Draws every sprite frame as a PCX file under dataDir (the content's "data" folder, files in
// dataDir / "spr") and returns the level-definition lines that declare them: the sprite bitmaps
// ('^' and ']' lines), all sprite animations ('<' lines, every spr_ name the game looks up) and
// the sprites ('&' lines) of the game's type codes 100, 101, 105, 106, 107, 119, 121, 122, 124,
// 125, 127 and 133-138. File names in the lines are data paths with '\' separators relative to
// the game folder (for example "data\spr\SHIP00.PCX"). Every theme's definition file includes them.
std::string generate_sprites(const std::filesystem::path& dataDir);
