// The high-score table: loaded at start-up from the SCRFile file's section High-Scores, offered
// every final score, shown by the high-score menu, edited by the name entry and written back at
// shut-down.
#pragma once
#include <cstdint>

struct HighScoreEntry {
  char* name;  // always maxSizeName characters (padded with spaces), ISO-8859-1
  int32_t score;
};

struct HighScoreTable {
  int32_t count;
  int32_t maxSizeName;
  int32_t maxSizeScore;
  char* defaultName;         // maxSizeName characters
  HighScoreEntry** entries;  // count entries, each present or null; highest score first
};

constexpr const char* HIGH_SCORES_SECTION = "High-Scores";
// Bounds of what a file may ask for: two-digit keys, and widths a menu line can show.
constexpr int32_t MAX_HIGH_SCORES = 99;
constexpr int32_t MAX_HIGH_SCORE_NAME = 32;
constexpr int32_t MAX_HIGH_SCORE_WIDTH = 11;

// The table, or null when there is none (no file, no NbScores, MaxSizeName or MaxSizeScore).
// A missing name key leaves its entry absent, after the warning box.
HighScoreTable* LoadHighScores(const char* file, const char* section);
// Writes every entry back (only when the table and the file exist). Returns 1 when written.
int SaveHighScores(const HighScoreTable* table, const char* file, const char* section);
void FreeHighScores(HighScoreTable* table);

// Puts score into the table: above the first entry whose score is lower or equal (or that is
// absent), the last entry dropping out; the new entry takes the default name. Returns its index,
// or -1 when the score does not enter.
int32_t InsertHighScore(HighScoreTable* table, int32_t score);

// The line of entry `index` (0-based) as the high-score menu shows it: rank, name and score in
// their widths ("%1d %8s %6d" for widths 8 and 6). Empty for an absent entry. Returns out.
char* FormatHighScoreLine(const HighScoreTable* table, int32_t index, char* out, int size);
