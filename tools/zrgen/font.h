// The world engine's 5 x 7 editing font (data\font.dat).
#pragma once
#include <array>
#include <cstdint>
#include <filesystem>

// The 224 glyphs of 7 rows each, in the file's order; bits 4 (left) to 0 (right) are ink.
std::array<uint8_t, 224 * 7> editing_font();

// Writes dataDir / "font.dat". Throws std::runtime_error when it cannot.
void write_editing_font(const std::filesystem::path& dataDir);
