// The program's command line and the choice of its start directory.
#pragma once
#include <cstdint>
#include <string>

#include "app/play_session.h"
#include "app/viewer.h"

struct CommandLine {
  bool help = false;
  bool version = false;
  bool headless = false;
  bool virtualClock = false;
  int64_t frames = 0;   // --frames N: close after N drawn frames (0: run until closed)
  std::string dataDir;  // --data DIR
  bool view = false;    // --view LEVELFILE
  ViewerOptions viewer;
  bool play = false;  // --play [LEVEL]: a game straight after start-up
  PlayOptions game;   // its level, controls file, trace and last frame
};

// Fills *out from the arguments. Returns 0 with a one-line reason in *error for a bad line.
int ParseCommandLine(int argc, const char* const* argv, CommandLine* out, std::string* error);

// The text of --help and of --version.
std::string UsageText();
std::string VersionText();

// Makes the start directory current: DIR of --data, else the current directory when it holds
// the game data, else the program's own folder. Returns 0 with a one-line reason when the
// folder cannot be used or holds no game data.
int ChooseStartDirectory(const std::string& dataDir, std::string* error);

// The game data is there: the archive or DATA\TEXTS.TXT, names matched without regard to case.
bool HoldsGameData(const std::string& directory);
