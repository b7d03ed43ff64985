#include "app/autopilot_run.h"

#include <cstdio>

#include "app/recorder.h"
#include "engine/platform/messages.h"
#include "game/autopilot.h"
#include "game/game.h"
#include "game/game_state.h"

namespace {

AutopilotOptions options;
bool running = false;
int32_t trackedLevel = 0;
int32_t levelSteps = 0;
bool reported = false;

void Report(const char* outcome) {
  std::printf("autopilot: level %d %s %d steps, %d hits\n", trackedLevel, outcome, levelSteps,
              AutopilotHits());
  std::fflush(stdout);
  reported = true;
  if (options.oneLevel) zr_post_message(WM_CLOSE, 0, 0);
}

// Counts the steps of each level and reports its end, its limit or the game's end.
void FollowLevel() {
  if (level != trackedLevel) {
    trackedLevel = level;
    levelSteps = 0;
    reported = false;
    ResetAutopilot();
  }
  if (reported) return;
  if (levelEnding || finalBonusGiven) {
    Report("finished after");
  } else if (gameOver) {
    Report("game over after");
  } else if (levelSteps >= options.stepLimit) {
    Report("not finished after");
  } else {
    ++levelSteps;
  }
}

}  // namespace

void StartAutopilot(const AutopilotOptions& chosen) {
  options = chosen;
  running = true;
  trackedLevel = 0;
  SetPlayControlsSource(AutopilotSource);
}

void StopAutopilot() {
  if (running && PlayControlsSource() == AutopilotSource) SetPlayControlsSource(nullptr);
  running = false;
}

void AutopilotSource(uint8_t* controls) {
  if (options.invulnerable && !invulnerable) ToggleInvulnerability();
  FollowLevel();
  AutopilotControls(controls);
}
