#include "app/game_shell.h"

#include <cstdio>

#include "app/app_state.h"
#include "app/frame_loop.h"
#include "app/messages.h"
#include "game/game.h"
#include "game/game_state.h"
#include "game/play_state.h"
#include "game/status.h"

void InstallGameShellHooks() {
  gameShellHooks.setControlBindings = SetControlBindings;
  gameShellHooks.endOfGame = ReturnToStartScreen;
  gameShellHooks.replaceControls = nullptr;
  statusHooks.drawMessage = [](int n) { DrawMessage(messageTable, n); };
  statusHooks.creditsLine = nullptr;  // the credits come with the attract sequence
  SetStatusFonts(&mainFont, &mapFont, &mapTitleFont, &mapTransFont, &shipsFont);
}

void StartGameAtLevel(int startLevel) {
  // A game from the command line replaces whatever the attract sequence was showing.
  attractPlaying = 0;
  attractEntryType = 0;
  menuShown = 0;
  NewGame();
  level = startLevel;
  char levelFile[32];
  std::snprintf(levelFile, sizeof levelFile, "level\\level%d.txt", startLevel);
  StartLevel(levelFile, frameBuffer.width - 1, frameBuffer.height - 1);
}

void ReturnToStartScreen(uint16_t) {
  StopGame();
  paused = 0;
}
