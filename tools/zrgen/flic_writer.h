// FLC animation writer (the Autodesk Animator Pro format the game's FLIC player reads): a 128-byte
// header, then one frame chunk per picture. The first frame carries the 256-level palette; every
// frame holds its whole picture as a byte run, so that any frame decodes on its own.
#pragma once
#include <cstdint>
#include <filesystem>
#include <vector>

#include "tools/zrgen/canvas.h"
#include "tools/zrgen/palette.h"

// The whole file. All frames must share the first frame's size; delayMs is the FLC speed.
std::vector<uint8_t> flc_bytes(const std::vector<Canvas>& frames, const pal::Palette& palette,
                               int delayMs);
// Writes it, creating parent folders. Throws std::runtime_error when it cannot.
void write_flc(const std::filesystem::path& path, const std::vector<Canvas>& frames,
               const pal::Palette& palette, int delayMs);
