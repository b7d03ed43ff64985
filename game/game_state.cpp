#include "game/game_state.h"

#include "engine/sound/sound.h"
#include "game/play_state.h"
#include "world/level_def.h"
#include "world/map.h"
#include "world/objects.h"

int32_t lives = 0;
int32_t level = 1;
uint16_t score = 0;
int32_t enemiesDestroyed = 0;
int32_t enemiesTotal = 0;
int32_t extraLivesAwarded = 0;
double extraLifeTimer = 0.0;
int32_t levelEnding = 0;
double transitionTimer = 0.0;
int32_t shipAppearing = 0;
int32_t graceCounter = 0;
int32_t gameOver = 0;
int32_t finalBonusGiven = 0;
int32_t stepCounter = 0;
int32_t demoLevelToggle = 0;
double ufoClock = 0.0;
int32_t ufoAppeared = 0;
int32_t podCount = 0;
int32_t invulnerable = 0;
int32_t cameraTarget = -1;

int32_t backgroundOn = 1;
int32_t hideMaps = 1;
int32_t sevenLives = 1;

double shipX = 0.0, shipY = 0.0, shipZ = 0.0;
double shipVelocityX = 0.0;
double startX = 0.0, startY = 0.0, startZ = 0.0;
int32_t lane = 1, targetLane = 1;
int32_t laneChange = 0;
double laneChangeTimer = 0.0;
int32_t thrustingLeft = 0, thrustingRight = 0;
int32_t turnCooldown = 0;
uint32_t nextFireTime = 0;
int32_t shipExploding = 0;
int32_t warping = 0;
int32_t shipObject = 0;
int32_t shipShadowObject = 0;

std::array<Laser, LASER_COUNT> lasers{};
std::array<EnemyShot, ENEMY_SHOT_COUNT> enemyShots{};
std::array<EnemySlot, ENEMY_COUNT> enemies{};
std::array<EnemySlot, POD_COUNT> pods{};
std::array<Walker, WALKER_COUNT> walkers{};
std::array<int16_t, SHADOW_COUNT> shadows{};
Ufo ufo{};
int32_t ufoShotsFired = 0;
std::array<int16_t, 2> cockpitObjects{};

GameAnimations anim{};
GameSounds sounds{};
int32_t thrustSoundOn = 0, ufoSoundOn = 0;

void AddScore(int points, int guard) {
  if (score < guard) score = uint16_t(score + points);
}

bool InGameplayDemo() {
  return attractPlaying != 0;
}

void PlaceObject(int object, double x, double y, double z) {
  if (object > 0) move_object(object, x, y, z);
}

void HideObject(int object) {
  PlaceObject(object, HIDDEN, HIDDEN, HIDDEN);
}

void SetAnimation(int object, int animation, int repeats) {
  if (object > 0 && animation >= 0) asign_animation_to_object(object, animation, repeats, 0);
}

bool AnimationFinished(int object) {
  const ObjectEStuff& e = Object_EStuff[object];
  return e.private_sprite_bitmap == -1 || e.repeats_left == 0;
}

double GroundHeight(double x, double z) {
  return up_face_height(x, z);
}

int Facing(int object) {
  return objects[object].mirror_h ? 1 : 0;
}

void SetFacing(int object, int facing) {
  if (object > 0) objects[object].mirror_h = facing ? 1 : 0;
}

void StartLoopSound(ZR_SOUND* sound, int32_t& on) {
  if (!zr_sound_is_playing(sound)) zr_sound_play(sound, 1);
  on = 1;
}

void StopLoopSound(ZR_SOUND* sound, int32_t& on) {
  zr_sound_stop(sound);
  on = 0;
}

void PlaySound(ZR_SOUND* sound) {
  zr_sound_play(sound, 0);
}
