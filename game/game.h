// A game from its start to its end: the [Setup] options, the game's sounds, the new-game reset,
// the level start, the fixed 10 ms game step, level ends and transitions, extra lives and the
// end of a game.
#pragma once
#include <cstdint>

// What the game asks of the shell around it (menus, high scores, the attract sequence). The shell
// fills these at start-up; a hook left empty does nothing.
struct GameShellHooks {
  // Binds player 1's controls for menus or play.
  void (*setControlBindings)();
  // The game is over: offer the score to the high-score table, or start the attract sequence
  // again when it does not enter; until those exist, back to the start screen.
  void (*endOfGame)(uint16_t score);
  // Called in every step of play where recorded or scripted controls replace player 1's live
  // ones (a gameplay demo's recording, or a controls file); fills the eight control bytes.
  void (*replaceControls)(uint8_t* controls);
  // A gameplay demo starts (NewGame while the attract list plays): the level number it plays,
  // which its attract entry names; empty: 9 and 8 by turns.
  int (*demoLevel)();
  // A gameplay demo's level has ended: the demo ends there (the attract sequence goes on).
  void (*demoLevelEnded)();
};
extern GameShellHooks gameShellHooks;

// At start-up: the editing font, the [Setup] keys and the game's sounds.
void SetupGame(int maxX, int maxY);
// At shut-down: writes [Setup] and frees the sounds.
void SaveSetup();
void NewGame();
// maxX and maxY: the frame buffer's width - 1 and height - 1.
void StartLevel(const char* levelFile, int maxX, int maxY);
void StopGame();
void GameStep();
// The world part of the game frame: the background (or the world area cleared) and the world
// seen from the camera.
void DrawGameWorld();

// The keys of the shell's message handler: Ctrl+Shift+I and Ctrl+Shift+L.
void ToggleInvulnerability();
void EndLevelNow();

// A checksum of the whole game state (ship, score, lives, level, timers, every pool's objects),
// for traces of a run.
uint32_t GameStateChecksum();
