#include "game/play_state.h"

int32_t gameRunning = 0;
int16_t paused = 0;
int32_t attractPlaying = 0;
int32_t attractEntryType = 0;
int32_t menuShown = 0;
uint8_t playerControls[8] = {};

void ResetPlayState() {
  gameRunning = 0;
  paused = 0;
  attractPlaying = 0;
  attractEntryType = 0;
  menuShown = 0;
  for (uint8_t& control : playerControls) control = 0;
}
