#include "app/game_shell.h"

#include <cstdio>

#include "app/app_state.h"
#include "app/attract.h"
#include "app/credits.h"
#include "app/frame_loop.h"
#include "app/messages.h"
#include "app/recorder.h"
#include "app/screens.h"
#include "game/game.h"
#include "game/game_state.h"
#include "game/play_state.h"
#include "game/status.h"

void InstallGameShellHooks() {
  gameShellHooks.setControlBindings = SetControlBindings;
  gameShellHooks.endOfGame = EndOfGame;
  gameShellHooks.replaceControls = FeedControls;
  statusHooks.drawMessage = [](int n) { DrawMessage(messageTable, n); };
  statusHooks.creditsLine = CreditLineOnShow;
  SetStatusFonts(&mainFont, &mapFont, &mapTitleFont, &mapTransFont, &shipsFont);
}

void StartGameAtLevel(int startLevel) {
  // A game from the command line replaces whatever the attract sequence was showing.
  StopAttract(attractList);
  attractPlaying = 0;
  attractEntryType = 0;
  HideCurrentMenu();
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
