// The autopilot in charge of a game (--autopilot): it steers player 1, keeps the ship
// invulnerable when asked, and writes one line per level on standard output with the steps it
// took to finish it and the hits it took (or would have taken); with --one-level the program
// closes after the first level, finished or not.
#pragma once
#include <cstdint>

struct AutopilotOptions {
  bool invulnerable = false;  // --invulnerable
  bool oneLevel = false;      // --one-level
  int32_t stepLimit = 60000;  // a level not finished in this many steps is reported as such
};

// The autopilot steers every game from now on.
void StartAutopilot(const AutopilotOptions& options);
void StopAutopilot();
// The autopilot as a source of controls (games, or gameplay demos).
void AutopilotSource(uint8_t* controls);
