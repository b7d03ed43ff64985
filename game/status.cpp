#include "game/status.h"

#include <array>
#include <cstdio>

#include "engine/display/display.h"
#include "engine/ui/font.h"
#include "game/game.h"
#include "game/game_state.h"
#include "game/play_state.h"
#include "world/level_def.h"
#include "world/renderer.h"

StatusHooks statusHooks = {};

namespace {

// Drawing styles of the text drawing: stretched into the rectangle, and stretched proportional.
constexpr int STYLE_STRETCHED = ZR_FONT_STRETCHED;
constexpr int STYLE_TEXT = ZR_FONT_STRETCHED | ZR_FONT_PROPORTIONAL;

// The landscape's x range and the altitudes that the lane maps show.
constexpr double MAP_LEFT_X = 500.0;
constexpr double MAP_X_RANGE = 1910.0;
constexpr double MAP_TOP_Y = 191.0;

// Cockpit objects: in front of the camera while the scanner shows, behind it otherwise.
constexpr double COCKPIT_GLASS_X = -8.0, COCKPIT_GLASS_Y = -129.0;
constexpr double COCKPIT_PLATE_X = 1.0, COCKPIT_PLATE_Y = -102.0;
constexpr double COCKPIT_FRONT = -152.0, COCKPIT_BEHIND = 100.0;

// Message numbers of the message table.
enum : int {
  MSG_GAME_OVER = 2,
  MSG_PAUSED = 9,
  MSG_GET_READY = 10,
  MSG_FINAL_BONUS = 11,
  MSG_CONGRATULATIONS = 12,
  MSG_ALL_CLEARED = 13,
  MSG_EXTRA_LIFE = 14,
  MSG_NEXT_LEVEL = 15,
  MSG_FINAL_LEVEL = 16,
  MSG_LEVEL_CLEARED = 17,
  MSG_LIVES = 18,
};

// The thirteen rectangles in 320 x 200 values.
constexpr ZR_RECT PANEL_BASE = {0, 0, 320, 27};
constexpr ZR_RECT SCORE_BASE = {5, 6, 50, 10};
constexpr ZR_RECT SCANNER_BASE = {0, 149, 320, 52};
constexpr ZR_RECT LANE_NUMBER_BASE = {156, 163, 8, 8};
constexpr ZR_RECT CREDITS_BASE = {65, 50, 200, 30};
constexpr std::array<ZR_RECT, 3> LANE_MAP_BASE = {
    {{7, 175, 90, 16}, {112, 175, 90, 16}, {217, 175, 90, 16}}};
constexpr ZR_RECT SHIP_BLIP_BASE = {0, 0, 6, 6};
constexpr ZR_RECT BLIP_BASE = {0, 0, 7, 7};

enum Blip { BLIP_SHIP, BLIP_ENEMY, BLIP_UFO, BLIP_POD, BLIP_WALKER, BLIP_COUNT };

struct StatusRects {
  ZR_RECT panel = PANEL_BASE;
  ZR_RECT score = SCORE_BASE;
  ZR_RECT scanner = SCANNER_BASE;
  ZR_RECT laneNumber = LANE_NUMBER_BASE;
  ZR_RECT credits = CREDITS_BASE;
  std::array<ZR_RECT, 3> laneMaps = LANE_MAP_BASE;
  std::array<ZR_RECT, BLIP_COUNT> blips = {SHIP_BLIP_BASE, BLIP_BASE, BLIP_BASE, BLIP_BASE,
                                           BLIP_BASE};
};
StatusRects rects;

std::array<ZR_RECT*, 13> allRects() {
  return {&rects.panel,    &rects.score,       &rects.scanner,     &rects.laneNumber,
          &rects.credits,  &rects.laneMaps[0], &rects.laneMaps[1], &rects.laneMaps[2],
          &rects.blips[0], &rects.blips[1],    &rects.blips[2],    &rects.blips[3],
          &rects.blips[4]};
}

struct StatusFonts {
  const ZR_FONT *main, *map, *mapTitle, *mapTrans, *ships;
};
StatusFonts fonts = {};

void drawMessage(int n) {
  if (statusHooks.drawMessage) statusHooks.drawMessage(n);
}

void drawText(const ZR_FONT* font, const char* text, const ZR_RECT& rect, int style) {
  ZR_BITMAP* frame = zr_dsp_frame_buffer();
  if (font == nullptr || frame == nullptr || frame->pixels == nullptr) return;
  zr_font_draw(font, text, frame, &rect, style);
}

// A world (steps 2 to 6 need the level's objects): nothing of the status display is drawn
// before the first game or after StopGame (the name entry).
bool levelLoaded() {
  return gameRunning && objects != nullptr;
}

void placeCockpit(bool inFront) {
  const double depth = inFront ? COCKPIT_FRONT : COCKPIT_BEHIND;
  PlaceObject(cockpitObjects[0], camera_x + COCKPIT_GLASS_X, camera_y + COCKPIT_GLASS_Y,
              camera_z + depth);
  PlaceObject(cockpitObjects[1], camera_x + COCKPIT_PLATE_X, camera_y + COCKPIT_PLATE_Y,
              camera_z + depth);
}

void drawBlip(Blip kind, int character, int blipLane, int object) {
  if (object <= 0) return;
  int column = 0, row = 0;
  if (!BlipPosition(blipLane, objects[object].x, objects[object].y, &column, &row)) return;
  ZR_RECT& rect = rects.blips[size_t(kind)];
  rect.x = int16_t(column);
  rect.y = int16_t(row);
  const char text[2] = {char(character), '\0'};
  drawText(fonts.ships, text, rect, STYLE_STRETCHED);
}

void drawBlips() {
  drawBlip(BLIP_SHIP, Facing(shipObject) ? 'f' : 'c', lane, shipObject);
  for (const EnemySlot& e : enemies)
    if (e.state == SLOT_ALIVE) drawBlip(BLIP_ENEMY, e.code, e.lane, e.object);
  if (ufo.state == SLOT_ALIVE) drawBlip(BLIP_UFO, 'd', ufo.lane, ufo.object);
  for (const EnemySlot& p : pods)
    if (p.state == SLOT_ALIVE) drawBlip(BLIP_POD, 'a', p.lane, p.object);
  for (const Walker& w : walkers)
    if (w.state == SLOT_ALIVE) drawBlip(BLIP_WALKER, 'e', w.lane, w.object);
}

void drawScanner(const char* laneText) {
  if (!ScannerShown()) {
    placeCockpit(false);
    return;
  }
  drawBlips();
  drawText(fonts.main, laneText, rects.laneNumber, STYLE_STRETCHED);
  drawText(fonts.map, "a", rects.scanner, STYLE_STRETCHED);
  placeCockpit(true);
}

}  // namespace

void SetStatusFonts(const ZR_FONT* main, const ZR_FONT* map, const ZR_FONT* mapTitle,
                    const ZR_FONT* mapTrans, const ZR_FONT* ships) {
  fonts = StatusFonts{main, map, mapTitle, mapTrans, ships};
}

void StartStatusDisplay() {
  // Every level start puts the rectangles back to their 320 x 200 values and registers them
  // again, so they follow the display whatever happened to the registry since (the display
  // restarted, a resize); the blips, placed anew every frame, thus keep the scanner's scale.
  // Without a display there is nothing to adapt to.
  for (ZR_RECT* rect : allRects()) zr_rect_unregister(rect);
  rects = StatusRects{};
  const ZR_BITMAP* frame = zr_dsp_frame_buffer();
  if (frame == nullptr || frame->pixels == nullptr) return;
  for (ZR_RECT* rect : allRects()) zr_rect_register(rect);
}

const ZR_RECT& LaneMap(int mapLane) {
  return rects.laneMaps[size_t(mapLane - 1)];
}

bool BlipPosition(int mapLane, double x, double y, int* column, int* row) {
  if (mapLane < 1 || mapLane > 3) return false;
  const ZR_RECT& map = LaneMap(mapLane);
  // Truncated towards zero: an object just outside the range still stands on the map's edge.
  *column = map.x + static_cast<int>(map.w * (x - MAP_LEFT_X) / MAP_X_RANGE);
  *row = map.y + static_cast<int>(map.h * (MAP_TOP_Y - y) / MAP_TOP_Y);
  return true;
}

bool ScannerShown() {
  return !((hideMaps && !attractPlaying) || levelEnding || gameOver);
}

int StatusMessages(int* numbers) {
  int count = 0;
  if (attractPlaying) return 0;
  if (levelEnding) {
    numbers[count++] = MSG_LEVEL_CLEARED;
    numbers[count++] = level == 19 ? MSG_FINAL_LEVEL : MSG_NEXT_LEVEL;
  }
  if (shipAppearing == 1) {
    if (!gameOver) {
      if (graceCounter >= 2) numbers[count++] = MSG_GET_READY;
    } else if (!finalBonusGiven) {
      if (graceCounter >= 6) numbers[count++] = MSG_GAME_OVER;
    } else if (graceCounter >= 301) {
      numbers[count++] = MSG_CONGRATULATIONS;
      numbers[count++] = MSG_ALL_CLEARED;
    } else if (graceCounter >= 6 && graceCounter < 300) {
      numbers[count++] = MSG_GAME_OVER;
      numbers[count++] = MSG_FINAL_BONUS;
    }
  }
  if (extraLifeTimer > 0.0) numbers[count++] = MSG_EXTRA_LIFE;
  return count;
}

void FormatScore(uint16_t value, char* out, int size) {
  std::snprintf(out, size_t(size), "%06d", int(value));
}

void DrawGameFrame() {
  // 1. The world; the pause message over it.
  DrawGameWorld();
  if (gameRunning && paused) drawMessage(MSG_PAUSED);
  if (!levelLoaded()) return;

  // 2. The credits line of a gameplay demo.
  if (attractPlaying && statusHooks.creditsLine) {
    if (const char* line = statusHooks.creditsLine())
      drawText(fonts.main, line, rects.credits, STYLE_TEXT);
  }

  // 3. and 4. The panel, the score and the lives.
  char scoreText[8];
  FormatScore(score, scoreText, sizeof scoreText);
  char laneText[12];
  std::snprintf(laneText, sizeof laneText, "%d", int(lane));
  drawText(fonts.mapTitle, "a", rects.panel, STYLE_STRETCHED);
  drawText(fonts.main, scoreText, rects.score, STYLE_STRETCHED);
  drawMessage(MSG_LIVES);

  // 5. The scanner, and the cockpit in front of the camera with it.
  drawScanner(laneText);

  // 6. The messages of the moment.
  int numbers[8];
  const int count = StatusMessages(numbers);
  for (int i = 0; i < count; ++i) drawMessage(numbers[i]);
}
