// The attract sequence: while no game is played, a cyclic list of timed entries plays a music,
// shows a picture or an overlay picture, or runs a gameplay demo steered by a recording, with the
// credits lines passing over it. The list comes from the file named by DMOFile, section Demos.
#pragma once
#include <array>
#include <cstdint>
#include <string_view>

constexpr int ATTRACT_NAME_SIZE = 256;
// Entries read from a list at most (keys Demo_01 to Demo_999); NbDemos beyond is taken as this.
constexpr int ATTRACT_ENTRIES_MAX = 999;

enum AttractType { ATTRACT_MUSIC = 1, ATTRACT_PICTURE = 2, ATTRACT_OVERLAY = 3, ATTRACT_DEMO = 4 };

struct AttractEntry {
  char name[ATTRACT_NAME_SIZE + 1];  // Demo_NN
  int32_t type;                      // Type_NN
  int32_t time;                      // Time_NN, milliseconds
};

struct AttractList {
  int32_t count;       // NbDemos
  int32_t playing;     // 1 while the sequence runs
  int32_t current;     // the current entry, 0 to count - 1
  uint32_t startTime;  // millisecond counter when the current entry started
  // The current entry has been started and not ended yet. Kept apart from startTime, since the
  // millisecond counter may well read 0 when the first entry starts.
  int32_t started;
  int32_t hasMusic;
  char currentMusic[ATTRACT_NAME_SIZE + 1];  // the music the sequence last started
  AttractEntry** entries;                    // count entries; null where the list names none
};

// The program's attract list (start-up step 16), or null without DMOFile.
extern AttractList* attractList;

// What the sequence asks of the screens: the overlay picture (OpenOverlay, and ReleaseOverlay at
// the entry's end; the frame loop closes an overlay that has run its course). Empty hooks leave
// overlay entries out (they end at once, as while a menu is shown).
struct AttractScreenHooks {
  int (*openOverlay)(const char* pictureFile);  // returns the new overlayState
  void (*closeOverlay)();
};
extern AttractScreenHooks attractScreenHooks;

// Null unless both names are given, the file exists and has NbDemos. An entry whose Demo_NN is
// missing is reported in the warning box and stays absent.
AttractList* LoadAttractList(const char* file, const char* section);
// Ends the current entry (releasing its picture, overlay or demo) and frees the list.
void FreeAttractList(AttractList* list);

// Once per drawn frame while the list plays.
void AttractStep(AttractList* list);
// The end of a game (no high score), the end of the name entry, leaving a game.
void StartAttract(AttractList* list);
// A game starts.
void StopAttract(AttractList* list);

// Start-up step 16 and shut-down step 2 for the program's list.
void LoadProgramAttractList(const char* dmoFile);
void FreeProgramAttractList();
// --demo LEVEL: the program's list becomes one endless gameplay demo of that level; the
// program closes when the demo's level has ended.
void StartDemoOnly(int levelNumber);

// ---- Gameplay-demo recordings -------------------------------------------------------------
constexpr int DEMO_STEPS = 20000;    // room of the arrays, indexed by the game's step counter
constexpr int DEMO_LINES = 5000;     // lines of a recording that are read
constexpr int DEMO_FLAGS = 7;        // fire, right, left, up, down, button 1, button 2
constexpr int DEMO_LINE_SIZE = 256;  // a line is read in pieces of at most 255 characters

struct DemoRecording {
  std::array<std::array<uint8_t, DEMO_STEPS>, DEMO_FLAGS> flags;
  int32_t lines;  // steps filled: 1 to lines (the first line drives the game's first step)
};

// Reads a recording's text: line k (from 1) fills index k of the seven arrays with its seven
// integers; a line that does not hold seven integers leaves its step released. Lines beyond
// DEMO_LINES are not read.
void ParseDemoRecording(std::string_view text, DemoRecording* out);
// The demo's controls for a game step, from the loaded recording; every control released
// outside the recorded steps.
void ReplayDemoStep(const DemoRecording& recording, int32_t step, uint8_t* controls);
// The recording that goes with a demo level: data\deml1.txt for 9, data\demlN.txt for N.
void DemoRecordingName(int levelNumber, char* out, int size);
// The level number in a level file's name (level\level9.txt gives 9), 0 when there is none.
int LevelNumberOfFile(std::string_view levelFile);
