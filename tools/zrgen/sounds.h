// The game's sound effects: ten short waves under snd\, synthesised from noise, oscillators,
// envelopes, filters and pitch sweeps.
#pragma once
#include <filesystem>
#include <string_view>

#include "tools/zrgen/dsp.h"

constexpr int kEffectRate = 22050;

// The effects by file stem (snd\<stem>.wav), in the order the game loads them.
constexpr std::string_view kEffectNames[] = {"laser3", "laser2", "laser1", "thrust1", "expl1",
                                             "expl2",  "warp1",  "ufo3",   "menu",    "over"};

// The samples of one effect at kEffectRate (empty for an unknown name).
dsp::Signal effect_signal(std::string_view name);

// Writes outDir/snd/<stem>.wav for every effect. Throws std::runtime_error when it cannot.
void generate_sounds(const std::filesystem::path& outDir);
