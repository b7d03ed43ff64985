// The game's screens: the seven in-game menus over the frame of the moment (0 main, 1 options,
// 2 display, 3 sound, 4 high scores, 5 leaving a game, 6 name entry), what their options do and
// show, the name entry after a high score, the end of a game, and the full-screen overlay
// picture.
#pragma once
#include <cstdint>

#include "app/high_scores.h"
#include "engine/ui/menu.h"

constexpr int GAME_MENUS = 7;
enum GameMenu {
  MENU_MAIN = 0,
  MENU_OPTIONS = 1,
  MENU_DISPLAY = 2,
  MENU_SOUND = 3,
  MENU_HIGH_SCORES = 4,
  MENU_LEAVE_GAME = 5,
  MENU_NAME_ENTRY = 6,
};

extern ZR_MENU gameMenus[GAME_MENUS];
extern int32_t currentMenu;
extern HighScoreTable* highScores;
// The name entry: the entry being named (or none) and the character position (-1: none).
extern HighScoreEntry* entryRecord;
extern int32_t entryCursor;
// The transparency handed on by the last menu drawn (the menus see the display's full-screen
// flag, fullscreenFlag).
extern int32_t menuTransparency;

// Registers the menu module (320 x 200 screen) and puts the screens' state back to its start.
void InitGameMenus();
// Loads sections Menu_0 to Menu_6 of file with the game's handlers and the main font. Returns
// the number of menus loaded.
int LoadGameMenus(const char* file);
void FreeGameMenus();
// Frees and reloads the menus from file; the current menu is shown again if it was.
void ReloadGameMenus(const char* file);
// Hides the current menu (a game starts).
void HideCurrentMenu();
// Shows menu k and makes it the current menu.
void OpenMenu(int k);
// Whether the current menu is shown; menuShown and the control bindings follow it.
bool CurrentMenuShown();
void SyncMenuShown();

// The menus' two callbacks. The menu module has one function for both (a line given: the value
// of that line is asked for); GameMenuCallback adapts it to these.
void MenuNotify(int32_t id, int input);
void MenuValue(ZR_MENU_LINE* option);
void GameMenuCallback(ZR_MENU* menu, ZR_MENU_LINE* line, int32_t value, int32_t event,
                      int32_t accepted, void* user);

// The frame loop's side: one input code to the current menu (menuSound when accepted; the
// bindings follow the menu being shown), and the current menu drawn with the highlight colour.
void FeedMenuInput(int code);
void DrawCurrentMenu();

// No game of the player's own runs: the attract sequence plays, or nothing at all does.
bool StartScreenShowing();
// Starts a game from the menu: the menu hidden, message 1 shown, the attract sequence stopped,
// a new game at level 1.
void StartGameFromMenu();
// The end of a game (the game's endOfGame hook): the score offered to the table, else the
// attract sequence again.
void EndOfGame(uint16_t score);
// Puts score into the table and starts the name entry on it (menu 6). 0 when it does not enter.
int OfferScore(uint16_t score);

// The attract sequence: stopped when a game starts, started again when it ends.
void StopAttractSequence();
void StartAttractSequence();

// The rules of the options, apart from the menus.
// The name entry's character set runs from the space to Z and wraps; anything else steps into it.
char NextNameCharacter(char c);
char PreviousNameCharacter(char c);
// A volume option's input: the new volume, or the volume unchanged with *toggle set when the
// sound part is off (-2) or has no device (-1).
int32_t SteppedVolume(int32_t volume, int input, bool* toggle);
// Rewrites a volume bar ("Music ----------") for a volume of 1 to 100: one '*' in the bar after
// the label's last space or point, never past the text's end.
void WriteVolumeBar(char* text, int32_t volume);

// The overlay picture: a PCX picture over the whole frame that fades in, then out.
int OpenOverlay(const char* pictureFile);
int OverlayStep(int state);
void CloseOverlay();
// Lets the picture go without drawing anything (shut-down).
void ReleaseOverlay();
