#include "app/app_state.h"

#include <cstring>

std::atomic<int32_t> tickCount{0};
int32_t appActive = 0;
int32_t appReady = 0;
int32_t displayReady = 1;
int32_t overlayState = 0;
int32_t redrawPending = 0;
double stepTime = 0.3;
uint8_t highlightColour = 149;
int32_t highlightRising = 1;

char fntFile[56], mapFile[56], mapFileT[56], mapTrans[56], mapShips[56];
char startSplash[31], iniFile[56], lngFile[56], title[31], className[31], hlpFile[56];
char palFile[56], scrFile[56], dmoFile[56];

ZR_FONT mainFont, mapFont, mapTitleFont, mapTransFont, shipsFont;

ZR_BITMAP frameBuffer;
uint8_t* palette = nullptr;
uint32_t timerId = 0;
ZR_IO_CONFIG ioConfig;

int32_t errorReport = 0, listReport = 0, memoryReport = 0, stringReport = 0, fontReport = 0;
int32_t inputReport = 0, playerReport = 0;

int32_t soundReport = 0, musicOn = 1, effectsOn = 1;
int32_t musicVolume = ZR_SOUND_DEFAULT_MUSIC_VOLUME,
        effectsVolume = ZR_SOUND_DEFAULT_EFFECTS_VOLUME;
int32_t musicQuality = ZR_SOUND_DEFAULT_QUALITY;
ZR_SOUND* menuSound = nullptr;

int64_t framesDrawn = 0;
int64_t stepsRun = 0;

void ResetAppState() {
  ResetPlayState();
  tickCount = 0;
  appActive = 0;
  appReady = 0;
  displayReady = 1;
  overlayState = 0;
  redrawPending = 0;
  stepTime = 0.3;
  highlightColour = 149;
  highlightRising = 1;
  for (char* text : {fntFile, mapFile, mapFileT, mapTrans, mapShips, iniFile, lngFile, hlpFile,
                     palFile, scrFile, dmoFile, startSplash, title, className}) {
    text[0] = '\0';
  }
  for (ZR_FONT* font : {&mainFont, &mapFont, &mapTitleFont, &mapTransFont, &shipsFont}) {
    *font = ZR_FONT{};
  }
  frameBuffer = ZR_BITMAP{};
  palette = nullptr;
  timerId = 0;
  ioConfig = ZR_IO_CONFIG{};
  errorReport = listReport = memoryReport = stringReport = fontReport = 0;
  inputReport = playerReport = 0;
  soundReport = 0;
  musicOn = effectsOn = 1;
  musicVolume = ZR_SOUND_DEFAULT_MUSIC_VOLUME;
  effectsVolume = ZR_SOUND_DEFAULT_EFFECTS_VOLUME;
  musicQuality = ZR_SOUND_DEFAULT_QUALITY;
  menuSound = nullptr;
  framesDrawn = 0;
  stepsRun = 0;
}
