// The program's command line and the choice of its start directory.
#pragma once
#include <cstdint>
#include <string>

#include "app/autopilot_run.h"
#include "app/memory_stats.h"
#include "app/play_session.h"
#include "app/viewer.h"

struct CommandLine {
  bool help = false;
  bool version = false;
  bool headless = false;
  bool virtualClock = false;
  int64_t frames = 0;     // --frames N: close after N drawn frames (0: run until closed)
  int64_t frameMs = 1;    // --frame-ms N: virtual milliseconds a drawn frame costs
  int64_t minutes = 0;    // --minutes N: close after N minutes of the clock (0: run until closed)
  std::string statsFile;  // --stats FILE: memory sampled while running
  uint32_t statsEvery = STATS_PERIOD_DEFAULT;  // --stats-every MS: milliseconds between lines
  std::string dataDir;                         // --data DIR
  bool view = false;                           // --view LEVELFILE
  ViewerOptions viewer;
  bool play = false;       // --play [LEVEL]: a game straight after start-up
  PlayOptions game;        // its level, controls file, trace and last frame
  std::string recordFile;  // --record FILE: player 1's controls of every step of play
  bool autopilot = false;  // --autopilot: the autopilot plays
  AutopilotOptions autopilotOptions;
  int demoLevel = 0;  // --demo LEVEL: the gameplay demo of LEVEL, as the attract sequence plays it
};

// Most minutes of --minutes: the millisecond counter's range with room to spare.
constexpr int64_t MAX_RUN_MINUTES = 30000;

// Fills *out from the arguments. Returns 0 with a one-line reason in *error for a bad line.
int ParseCommandLine(int argc, const char* const* argv, CommandLine* out, std::string* error);

// The text of --help and of --version.
std::string UsageText();
std::string VersionText();

// Makes the start directory current: DIR of --data, else the first of FindDataDirectory's
// folders that holds the game data. Returns 0 with a one-line reason when the folder cannot be
// used or holds no game data.
int ChooseStartDirectory(const std::string& dataDir, std::string* error);

// The first folder that holds the game data, in this order: the current directory, the program's
// own folder (a portable or build folder), the installed data folder ../share/zrsentry beside the
// program's bin/ or games/ folder. "" when none does.
std::string FindDataDirectory(const std::string& currentDir, const std::string& programDir);
// The folder of the running program ("" when unknown).
std::string ProgramDirectory();

// The game data is there: the archive or DATA\TEXTS.TXT, names matched without regard to case.
bool HoldsGameData(const std::string& directory);
