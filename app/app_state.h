// The application's state: the plain globals that the frame loop reads on every pass, the texts
// read from DATA\TEXTS.TXT at start-up, and what start-up keeps for shut-down.
#pragma once
#include <atomic>
#include <cstdint>

#include "engine/core/fileio.h"
#include "engine/display/bitmap.h"
#include "engine/sound/sound.h"
#include "engine/ui/font.h"
#include "game/play_state.h"

// Timer ticks not yet consumed by game steps. The timer thread only increments it, the main
// thread clamps and decrements it.
extern std::atomic<int32_t> tickCount;
extern int32_t appActive;      // the main window is the active application
extern int32_t appReady;       // start-up has finished
extern int32_t displayReady;   // the frame buffer may be drawn and presented
extern int32_t overlayState;   // 0 none, 1 shown, 2 asked to close
extern int32_t redrawPending;  // a full redraw was asked for while no game frame could be drawn
extern double stepTime;        // length of one game step in game units
extern uint8_t highlightColour;
extern int32_t highlightRising;

// [Application] texts of DATA\TEXTS.TXT (maximum lengths 55 or 30 characters).
extern char fntFile[56], mapFile[56], mapFileT[56], mapTrans[56], mapShips[56];
extern char startSplash[31], iniFile[56], lngFile[56], title[31], className[31], hlpFile[56];
extern char palFile[56], scrFile[56], dmoFile[56];

// The five fonts of FNTFile, MAPFile, MAPFileT, MAPTrans and MAPShips; the main font draws
// every menu and message.
extern ZR_FONT mainFont, mapFont, mapTitleFont, mapTransFont, shipsFont;

extern ZR_BITMAP frameBuffer;  // the application's copy of the frame-buffer record
extern uint8_t* palette;       // the PALFile palette
extern uint32_t timerId;       // the frame timer, 0 when none
extern ZR_IO_CONFIG ioConfig;  // the file module's configuration (archive and settings names)

// Report switches the application hands to the modules; all off in the game.
extern int32_t errorReport, listReport, memoryReport, stringReport, fontReport;
extern int32_t inputReport, playerReport;

// The sound settings as the sound module mirrors them (volumes -2 while off, -1 without a
// device), its report switch, and the sound played on menu input.
extern int32_t soundReport, musicOn, effectsOn, musicVolume, effectsVolume, musicQuality;
extern ZR_SOUND* menuSound;

// Counters of the loop: frames drawn and game steps run since start-up.
extern int64_t framesDrawn;
extern int64_t stepsRun;

// Puts every value above back to its starting state (start-up and tests).
void ResetAppState();
