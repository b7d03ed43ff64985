// The shell's side of a game: the hooks that the game calls, starting a game at a level, and
// what happens when a game is over.
#pragma once
#include <cstdint>

// Fills the game's hooks (start-up, before the game set-up).
void InstallGameShellHooks();

// Starts a game at `level` (1-20) the way the menu starts one, without the menu: a new game, the
// level, then the level file "level\levelN.txt" with the frame buffer's limits.
void StartGameAtLevel(int level);

// The game is over. Until the high-score table and the attract sequence exist, the program goes
// back to its start screen: no game runs, and the loop goes on drawing.
void ReturnToStartScreen(uint16_t score);
