// The flags that the game shares with the shell: whether a game runs, the pause, whether the
// attract list plays (and the type of its current entry) and whether a menu is shown. The game
// reads and sets them in its step; the frame loop, the menus and the attract sequence set them.
#pragma once
#include <cstdint>

extern int32_t gameRunning;  // a game or a gameplay demo is in progress
extern int16_t paused;       // non-zero while the game is paused
// The attract list's playing flag and the type of its current entry (4: a gameplay demo).
extern int32_t attractPlaying;
extern int32_t attractEntryType;
// A menu is shown over the game (the game step then freezes its play).
extern int32_t menuShown;
// Player 1's eight control bytes (up, down, left, right, buttons 1-4), written by the player
// module once per poll and read by the ship in the game step.
extern uint8_t playerControls[8];

// Puts the flags back to their start values.
void ResetPlayState();
