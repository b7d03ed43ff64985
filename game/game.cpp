#include "game/game.h"

#include <cstdio>
#include <cstring>

#include "engine/core/keyfile.h"
#include "engine/core/random.h"
#include "engine/display/display.h"
#include "engine/sound/music.h"
#include "engine/sound/sound.h"
#include "game/enemies.h"
#include "game/game_state.h"
#include "game/play_state.h"
#include "game/ship.h"
#include "game/shots.h"
#include "game/status.h"
#include "world/background.h"
#include "world/edit_font.h"
#include "world/frame_target.h"
#include "world/level_def.h"
#include "world/objects.h"
#include "world/renderer.h"
#include "world/transparency.h"
#include "world/world_error.h"

GameShellHooks gameShellHooks = {};

namespace {

constexpr int LEVEL_KEY_SIZE = 256;
constexpr double STEP_TIME = 0.3;
constexpr double ANIMATION_SPEED = 3.0;
constexpr int STEP_COUNTER_LIMIT = 32000;
constexpr double CAMERA_HEIGHT = 150.0;
constexpr double CAMERA_BEHIND = 280.0;
constexpr double CAMERA_CLOSE_STEP = 2.0;
constexpr double LEVEL_END_STEPS = 200.0;
constexpr double ARRIVAL_STEPS = 300.0;
constexpr int ARRIVAL_GRACE = 290;
constexpr double EXTRA_LIFE_SHOW = 100.0;
constexpr int FINAL_LEVEL = 20;
constexpr int FINAL_BONUS = 10000;
constexpr int FINAL_BONUS_GUARD = 55000;
constexpr uint32_t DEMO_SEED = 16865;  // 3 373.0 x 5.0
constexpr int EXTRA_LIFE_SCORES[] = {3000, 7000, 10000, 15000, 20000, 30000, 40000};

// Cockpit objects stand this far from the camera: in front during play, behind it otherwise.
constexpr double COCKPIT_GLASS_X = -8.0, COCKPIT_GLASS_Y = -129.0;
constexpr double COCKPIT_PLATE_X = 1.0, COCKPIT_PLATE_Y = -102.0;
constexpr double COCKPIT_FRONT = -152.0, COCKPIT_BEHIND = 100.0;

char levelFileName[LEVEL_KEY_SIZE];
char levelMusicName[LEVEL_KEY_SIZE];
ZR_MUSIC* levelMusic = nullptr;
int viewMaxX = 319, viewMaxY = 199;
uint32_t frameCounter = 0;
bool loopSoundsPaused = false;

// The world engine's view and renderer for a frame of (maxX + 1) x (maxY + 1) pixels.
void fitEngineToView(int maxX, int maxY) {
  set_view(maxY, maxX);
  init_engine();
  set_level_drawing_parameters();
  viewMaxX = maxX;
  viewMaxY = maxY;
}

void lookUpAnimations() {
  anim.startThrust = sprite_bitmap_animation("spr_start_thrust");
  anim.continueThrust = sprite_bitmap_animation("spr_continue_thrust");
  anim.stopThrust = sprite_bitmap_animation("spr_stop_thrust");
  anim.jetTurnB = sprite_bitmap_animation("spr_jetturnb");
  anim.jetTurnF = sprite_bitmap_animation("spr_jetturnf");
  anim.reverse = sprite_bitmap_animation("spr_reverse");
  anim.explode1 = sprite_bitmap_animation("spr_explode1");
  anim.explode2 = sprite_bitmap_animation("spr_explode2");
  anim.ufoa = sprite_bitmap_animation("spr_ufoa");
  anim.popa = sprite_bitmap_animation("spr_popa");
  anim.popc = sprite_bitmap_animation("spr_popc");
  anim.laserf = sprite_bitmap_animation("spr_laserf");
  anim.laser = sprite_bitmap_animation("spr_laser");
  anim.warp = sprite_bitmap_animation("spr_warp");
  anim.tank = sprite_bitmap_animation("spr_tank");
  anim.hang = sprite_bitmap_animation("spr_hang");
  anim.flap = sprite_bitmap_animation("spr_flap");
  anim.blade = sprite_bitmap_animation("spr_blade");
  anim.hover = sprite_bitmap_animation("spr_hover");
  anim.rdeye = sprite_bitmap_animation("spr_rdeye");
  anim.screw = sprite_bitmap_animation("spr_screw");
  anim.jump = sprite_bitmap_animation("spr_jump");
  anim.animatedBounce = sprite_bitmap_animation("spr_animated_bounce");
  anim.bullet = sprite_bitmap_animation("spr_bullet");
  anim.shoto = sprite_bitmap_animation("spr_shoto");
  anim.sleda = sprite_bitmap_animation("spr_sleda");
  anim.shadowa = sprite_bitmap_animation("spr_shadowa");
}

void bindControls() {
  if (gameShellHooks.setControlBindings) gameShellHooks.setControlBindings();
}

void stopLoopingSounds() {
  StopLoopSound(sounds.thrust1, thrustSoundOn);
  StopLoopSound(sounds.ufo3, ufoSoundOn);
  loopSoundsPaused = false;
}

// A pause or a menu silences the looping sounds; play resumes them.
void pauseLoopingSounds(bool pause) {
  if (pause == loopSoundsPaused) return;
  loopSoundsPaused = pause;
  if (pause) {
    zr_sound_stop(sounds.thrust1);
    zr_sound_stop(sounds.ufo3);
    return;
  }
  if (thrustSoundOn) zr_sound_play(sounds.thrust1, 1);
  if (ufoSoundOn) zr_sound_play(sounds.ufo3, 1);
}

// In front of the camera while the scanner shows, behind it otherwise (hidden maps outside a
// demo, a level end, game over), as the status display places them.
void placeCockpit() {
  const bool hidden = (hideMaps && !attractPlaying) || levelEnding || gameOver;
  const double depth = hidden ? COCKPIT_BEHIND : COCKPIT_FRONT;
  PlaceObject(cockpitObjects[0], camera_x + COCKPIT_GLASS_X, camera_y + COCKPIT_GLASS_Y,
              camera_z + depth);
  PlaceObject(cockpitObjects[1], camera_x + COCKPIT_PLATE_X, camera_y + COCKPIT_PLATE_Y,
              camera_z + depth);
}

void extraLives() {
  for (int k = 1; k <= 7; ++k) {
    if (score > EXTRA_LIFE_SCORES[k - 1] && extraLivesAwarded < k) {
      ++lives;
      ++extraLivesAwarded;
      extraLifeTimer = EXTRA_LIFE_SHOW;
      graceCounter = ARRIVAL_GRACE;
    }
  }
}

void moveCamera() {
  if (!levelEnding) {
    camera_x = shipX;
    camera_y = CAMERA_HEIGHT;
    camera_z = shipZ + CAMERA_BEHIND;
  } else {
    camera_x = shipX;
    if (camera_y >= shipY + 36.0) {
      camera_y -= CAMERA_CLOSE_STEP;
    } else if (camera_y <= shipY + 30.0) {
      camera_y += CAMERA_CLOSE_STEP;
    }
    if (camera_z >= shipZ + 140.0) camera_z -= CAMERA_CLOSE_STEP;
  }
  if (gameOver) {
    if (cameraTarget < 0) {
      if (enemiesTotal - podCount == enemiesDestroyed) {
        camera_x = startX;
        camera_y = CAMERA_HEIGHT;
        camera_z = startZ;
      } else {
        for (int i = 0; i < ENEMY_COUNT; ++i) {
          if (enemies[size_t(i)].state == SLOT_ALIVE) {
            cameraTarget = i;
            break;
          }
        }
      }
    }
    if (cameraTarget >= 0) {
      const WorldObject& t = objects[enemies[size_t(cameraTarget)].object];
      camera_x = t.x;
      camera_y = t.y + 40.0;
      camera_z = t.z + 150.0;
    }
  }
  placeCockpit();
}

// The part of the step that a pause or a shown menu freezes.
void playStep() {
  if (stepCounter < STEP_COUNTER_LIMIT) ++stepCounter;
  tick_animated_bitmaps(STEP_TIME * ANIMATION_SPEED);
  tick_moving_cells(STEP_TIME * ANIMATION_SPEED);
  tick_animated_objects(STEP_TIME * ANIMATION_SPEED);
  // Recorded controls replace the live ones in a gameplay demo; a controls file replaces them
  // in every step of play.
  if (gameShellHooks.replaceControls && (!attractPlaying || lives == 1))
    gameShellHooks.replaceControls(playerControls);
  extraLives();
  // The grace lets enemies fire again once it has run out.
  if (graceCounter > 0) --graceCounter;
  if (extraLifeTimer > 0.0) extraLifeTimer -= 1.0;
  ufoClock += 1.0;
  ShipStep(playerControls);
  moveCamera();
  UpdateLasers();
  UpdateEnemies();
  UpdateEnemyShots();
  UpdateUfo();
  UpdatePods();
  UpdateWalkers();
  if (shipExploding && AnimationFinished(shipObject)) RespawnShip();
}

void levelEnd() {
  // At least: a kill in the step after Ctrl+Shift+L counts past the total.
  if (enemiesDestroyed < enemiesTotal || levelEnding || lives == 0) return;
  levelEnding = 1;
  transitionTimer = LEVEL_END_STEPS;
  stopLoopingSounds();
  if (level != FINAL_LEVEL) return;
  if (!finalBonusGiven) {
    AddScore(FINAL_BONUS, FINAL_BONUS_GUARD);
    finalBonusGiven = 1;
  }
  lives = 0;
  levelEnding = 0;
  transitionTimer = 0.0;
  RespawnShip();
}

void levelTransition() {
  if (!levelEnding) return;
  if (transitionTimer > 0.0) transitionTimer -= 1.0;
  if (transitionTimer > 0.0) return;
  transitionTimer = 0.0;
  ++level;
  shipVelocityX = 0.0;
  levelEnding = 0;
  enemiesDestroyed = 0;
  shipAppearing = 1;
  char file[LEVEL_KEY_SIZE];
  std::snprintf(file, sizeof file, "level\\level%d.txt", level);
  int maxX = viewMaxX, maxY = viewMaxY;
  if (const ZR_BITMAP* frame = zr_dsp_frame_buffer(); frame && frame->width > 0) {
    maxX = frame->width - 1;
    maxY = frame->height - 1;
  }
  StartLevel(file, maxX, maxY);
  transitionTimer = ARRIVAL_STEPS;
  graceCounter = ARRIVAL_GRACE;
}

void endOfGame() {
  if (attractPlaying || menuShown || !gameOver || graceCounter != 0) return;
  StopGame();
  if (gameShellHooks.endOfGame) gameShellHooks.endOfGame(score);
  bindControls();
}

void readSetup() {
  backgroundOn = 1;
  hideMaps = 1;
  sevenLives = 1;
  const char* file = zr_io_settings_path();
  if (file == nullptr) return;
  int32_t value = 0;
  if (zr_io_get_int("Setup", "Background", &value, file) > 0) backgroundOn = value != 0;
  if (zr_io_get_int("Setup", "Maps", &value, file) > 0) hideMaps = value == 0;
  if (zr_io_get_int("Setup", "Lives", &value, file) > 0) sevenLives = value == 0;
}

}  // namespace

void SetupGame(int maxX, int maxY) {
  viewMaxX = maxX;
  viewMaxY = maxY;
  load_editing_font("data\\font.dat");
  readSetup();
  sounds.laser3 = zr_sound_load("snd\\laser3.wav");
  sounds.laser2 = zr_sound_load("snd\\laser2.wav");
  sounds.laser1 = zr_sound_load("snd\\laser1.wav");
  sounds.thrust1 = zr_sound_load("snd\\thrust1.wav");
  sounds.expl1 = zr_sound_load("snd\\expl1.wav");
  sounds.expl2 = zr_sound_load("snd\\expl2.wav");
  sounds.warp1 = zr_sound_load("snd\\warp1.wav");
  sounds.ufo3 = zr_sound_load("snd\\ufo3.wav");
  sounds.menu = zr_sound_load("snd\\menu.wav");
  sounds.over = zr_sound_load("snd\\over.wav");
}

void SaveSetup() {
  if (const char* file = zr_io_settings_path()) {
    zr_io_put_int("Setup", "Background", backgroundOn ? 1 : 0, file);
    zr_io_put_int("Setup", "Maps", hideMaps ? 0 : 1, file);
    zr_io_put_int("Setup", "Lives", sevenLives ? 0 : 1, file);
  }
  stopLoopingSounds();
  for (ZR_SOUND** s :
       {&sounds.laser3, &sounds.laser2, &sounds.laser1, &sounds.thrust1, &sounds.expl1,
        &sounds.expl2, &sounds.warp1, &sounds.ufo3, &sounds.menu, &sounds.over}) {
    zr_sound_free(*s);
    *s = nullptr;
  }
  if (levelMusic) {
    zr_music_stop(levelMusic);
    zr_music_free(levelMusic);
    levelMusic = nullptr;
  }
  free_editing_font();
}

void NewGame() {
  lives = sevenLives ? 7 : 5;
  level = 1;
  if (attractPlaying) {
    zr_srand(DEMO_SEED);
    lives = 1;
    demoLevelToggle = demoLevelToggle ? 0 : 1;
    // The recording of the demo (data\deml1.txt or data\deml8.txt) is the attract sequence's.
    level = demoLevelToggle ? 9 : 8;
  }
  shipVelocityX = 0.0;
  gameOver = 0;
  ResetShipState();
  graceCounter = 0;
  score = 0;
  cameraTarget = -1;
  finalBonusGiven = 0;
  enemiesDestroyed = 0;
  enemiesTotal = 0;
  invulnerable = 0;
  stepCounter = 0;
  extraLivesAwarded = 0;
  extraLifeTimer = 0.0;
  levelEnding = 0;
  lane = targetLane = 1;
  // Nothing of the previous game's controls carries over: a demo replays the same from any start.
  thrustingLeft = thrustingRight = 0;
  turnCooldown = 0;
  nextFireTime = 0;
}

void StartLevel(const char* levelFile, int maxX, int maxY) {
  if (gameRunning) StopGame();
  std::snprintf(levelFileName, sizeof levelFileName, "%s", levelFile ? levelFile : "");
  lane = 1;
  ufoClock = 1.0;
  ufoAppeared = 0;

  char definition[LEVEL_KEY_SIZE] = "";
  char map[LEVEL_KEY_SIZE] = "";
  zr_io_get_string("Level", "Level_def", definition, sizeof definition, levelFileName);
  zr_io_get_string("Level", "Level_map", map, sizeof map, levelFileName);
  if (Load_Level(definition, map, 1) != 0) {
    // Without a world there is nothing to play; the report asks the window to close.
    world_error("Error opening the level file : %s", definition);
    return;
  }
  levelMusicName[0] = '\0';
  zr_io_get_string("Level", "Music", levelMusicName, sizeof levelMusicName, levelFileName);
  load_transparency_tables("data\\transp.tab");
  fitEngineToView(maxX, maxY);
  camera_x = camera_y = camera_z = 10.0;

  lookUpAnimations();
  if (!CreatePools()) {
    world_error("No start object (type 100) in the level file : %s", map);
    free_engine();
    free_transparency_tables();
    free_level();
    return;
  }
  if (attractPlaying) NewGame();
  CreateLevelEnemies();
  PlaceWalkers();
  StartStatusDisplay();
  bindControls();
  if (!attractPlaying) {
    if (levelMusic) {
      zr_music_stop(levelMusic);
      zr_music_free(levelMusic);
    }
    levelMusic = levelMusicName[0] ? zr_music_load(levelMusicName) : nullptr;
    zr_music_play(levelMusic);
    ResetShipState();
  }
  enemiesDestroyed = 0;
  gameRunning = 1;
  shipAppearing = 1;
  transitionTimer = ARRIVAL_STEPS;
  graceCounter = ARRIVAL_GRACE;
  camera_x = shipX;
  camera_y = CAMERA_HEIGHT;
  camera_z = shipZ + CAMERA_BEHIND;
  SetFacing(shipShadowObject, Facing(shipObject) ? 0 : 1);
  PlaceObject(shipShadowObject, shipX, GroundHeight(shipX, shipZ) + 1.0, shipZ + 15.0);
  SetAnimation(shipShadowObject, anim.shadowa, 1);
}

void StopGame() {
  stopLoopingSounds();
  if (!gameRunning) return;
  gameRunning = 0;
  free_engine();
  free_transparency_tables();
  free_level();
  shipObject = shipShadowObject = 0;
}

void GameStep() {
  ++frameCounter;
  if (gameRunning && !menuShown && !paused) {
    pauseLoopingSounds(false);
    playStep();
  } else {
    pauseLoopingSounds(true);
  }
  // Level ends, transitions and the end of a game run through pauses and menus, but only while
  // a game runs: a stopped game has no level to end and no end to report again.
  if (!gameRunning) return;
  levelEnd();
  levelTransition();
  endOfGame();
}

void DrawGameWorld() {
  if (!gameRunning || objects == nullptr) return;
  ZR_BITMAP* frame = zr_dsp_frame_buffer();
  if (frame == nullptr || frame->pixels == nullptr || frame->width <= 0 || frame->height <= 0)
    return;
  const int maxX = frame->width - 1, maxY = frame->height - 1;
  if (frame->pixels != frame_pixels || frame_max_x != maxX || frame_max_y != maxY)
    set_frame_target(frame->pixels, maxX, maxY);
  if (view_max_x != maxX || view_max_y != maxY) fitEngineToView(maxX, maxY);
  if (backgroundOn && background_scaled_exists) {
    draw_background(camera_x, camera_y);
  } else {
    std::memset(frame->pixels, 0, size_t(frame->width) * size_t(frame->height));
  }
  draw_world(camera_x, camera_y, camera_z, false);
}

void ToggleInvulnerability() {
  invulnerable = invulnerable ? 0 : 1;
}

void EndLevelNow() {
  enemiesDestroyed = enemiesTotal;
}
