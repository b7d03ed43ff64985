// The game's music: one Scream Tracker 3 module per landscape theme and one for the attract
// sequence, composed by code. Each song has an intro, verses with a lead melody built from a
// motif (statement, answer, cadence), a bridge over other chords and an outro that leads back
// to the start; bass, chords, arpeggios and drums follow per-song styles.
#pragma once
#include <filesystem>
#include <string_view>

#include "tools/zrgen/s3m_writer.h"

// The songs by file stem (snd\<stem>.s3m); "title" plays during the attract sequence.
constexpr std::string_view kSongNames[] = {"title", "grass", "desert", "ice", "volcano", "city"};

// The module of one song. Throws std::runtime_error for an unknown name.
S3mModule compose_song(std::string_view name);

// Writes outDir/snd/<stem>.s3m for every song. Throws std::runtime_error when it cannot.
void generate_music(const std::filesystem::path& outDir);
