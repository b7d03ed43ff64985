// The game frame: the world, the status panel with the score and lives, the scanner with its three
// lane maps and their blips, and the game's messages. All rectangles are given for the 320 x 200
// screen and follow the frame buffer's size once adapted.
#pragma once
#include <cstdint>

#include "engine/display/bitmap.h"

struct ZR_FONT;

// What the status display asks of the shell, which owns the message table and the credits. The
// shell fills these at start-up; a hook left empty draws nothing.
struct StatusHooks {
  // Draws message n of the current message table into the frame buffer.
  void (*drawMessage)(int n);
  // The credits line to show now during a gameplay demo, or null when none is due.
  const char* (*creditsLine)();
};
extern StatusHooks statusHooks;

// The five fonts of the shell (main, map, map title, map transparent, ships); any may be null,
// which leaves what it draws out. The records stay the shell's.
void SetStatusFonts(const ZR_FONT* main, const ZR_FONT* map, const ZR_FONT* mapTitle,
                    const ZR_FONT* mapTrans, const ZR_FONT* ships);
// At every level start (StartLevel): every rectangle back to its 320 x 200 value (the blips to
// (0, 0, 7, 7), the ship's to 6 x 6) and registered with the display, so that it follows the
// frame buffer's size from then on.
void StartStatusDisplay();

// One game frame into the frame buffer: the world (or nothing without a game), then, while a
// level is loaded, the credits line of a gameplay demo, the status panel, the scanner and the
// messages.
void DrawGameFrame();

// ---- The pieces, for the frame and its tests -----------------------------------------------

// Lane maps of the scanner, lane 1 to 3, as adapted to the display.
const ZR_RECT& LaneMap(int lane);
// Where the blip of an object at world (x, y) in the lane stands: the top-left corner of its
// rectangle. False for a lane outside 1 to 3.
bool BlipPosition(int lane, double x, double y, int* column, int* row);
// The scanner is drawn (and the cockpit stands in front of the camera) in this frame.
bool ScannerShown();
// The messages of step 6 for this frame, in drawing order; returns their count (at most 8).
int StatusMessages(int* numbers);
// "%06d" of the score.
void FormatScore(uint16_t value, char* out, int size);
