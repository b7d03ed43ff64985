// Placeholder until the game exists: nothing runs.
#include "game/game.h"

GameShellHooks gameShellHooks = {};

void SetupGame(int, int) {}
void SaveSetup() {}
void NewGame() {}
void StartLevel(const char*, int, int) {}
void StopGame() {}
void GameStep() {}
void DrawGameWorld() {}
void ToggleInvulnerability() {}
void EndLevelNow() {}
uint32_t GameStateChecksum() {
  return 0;
}
