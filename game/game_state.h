// The game's state: plain globals for the game, the ship and the pools of objects, the
// animations looked up at a level start and the game's sounds. Every module of the game reads
// and writes them; the checksum of a run covers all of them.
#pragma once
#include <array>
#include <cstdint>

struct ZR_SOUND;

// ---- Games and levels ----------------------------------------------------------------------
extern int32_t lives;
extern int32_t level;
extern uint16_t score;
extern int32_t enemiesDestroyed;
extern int32_t enemiesTotal;
extern int32_t extraLivesAwarded;
extern double extraLifeTimer;
extern int32_t levelEnding;
extern double transitionTimer;
extern int32_t shipAppearing;
extern int32_t graceCounter;
extern int32_t gameOver;
extern int32_t finalBonusGiven;
extern int32_t stepCounter;
extern int32_t demoLevelToggle;
extern double ufoClock;
extern int32_t ufoAppeared;  // the UFO's appearance flag
extern int32_t podCount;
extern int32_t invulnerable;
extern int32_t cameraTarget;  // enemy slot the game-over camera looks at, -1 none chosen

// [Setup] options as held in memory.
extern int32_t backgroundOn;  // Background
extern int32_t hideMaps;      // the inverse of Maps
extern int32_t sevenLives;    // the inverse of Lives

// ---- The ship ------------------------------------------------------------------------------
extern double shipX, shipY, shipZ;
extern double shipVelocityX;
extern double startX, startY, startZ;
extern int32_t lane, targetLane;
extern int32_t laneChange;  // 0 none, 1 to the higher lane, 2 to the lower
extern double laneChangeTimer;
extern int32_t thrustingLeft, thrustingRight;
extern int32_t turnCooldown;
extern uint32_t nextFireTime;
extern int32_t shipExploding;
extern int32_t warping;
extern int32_t shipObject;        // the level's object of type 100
extern int32_t shipShadowObject;  // type 119

// ---- Pools ---------------------------------------------------------------------------------
constexpr int LASER_COUNT = 15;
constexpr int ENEMY_SHOT_COUNT = 10;
constexpr int ENEMY_COUNT = 20;
constexpr int POD_COUNT = 6;
constexpr int WALKER_COUNT = 20;
constexpr int SHADOW_COUNT = 41;

constexpr int TYPE_START = 100;
constexpr int TYPE_ENEMY = 101;
constexpr int TYPE_ENEMY_SHOT = 105;
constexpr int TYPE_LASER = 106;
constexpr int TYPE_SHADOW = 107;
constexpr int TYPE_SHIP_SHADOW = 119;
constexpr int TYPE_WALKER = 121;
constexpr int TYPE_UFO = 122;
constexpr int TYPE_COCKPIT_GLASS = 124;
constexpr int TYPE_POD = 125;
constexpr int TYPE_COCKPIT_PLATE = 127;

// Slot states.
constexpr int16_t SLOT_FREE = 0;
constexpr int16_t SLOT_ALIVE = 1;      // flying, for shots
constexpr int16_t SLOT_EXPLODING = 2;  // deflected, for lasers

struct Laser {
  int16_t object;
  int16_t state;
  int16_t direction;  // 1 towards +x
};

struct EnemyShot {
  int16_t object;
  int16_t state;
  double velocityX, velocityY;
};

struct EnemySlot {
  int16_t object;
  int16_t shadow;
  int16_t state;
  int16_t direction;
  int16_t counter;  // steps to the next course change; the drift's step count for drifters
  double velocityX, velocityY;
  int32_t lane;
  int32_t fireCooldown;
  int32_t kind;
  uint8_t code;  // the layout row's blip character
  int32_t open;  // pods only
};

struct Ufo {
  int16_t object;
  int16_t shadow;
  int16_t state;
  int16_t direction;  // 1 towards +x
  int32_t phase;
  int32_t lane;
  int32_t fireCooldown;
};

struct Walker {
  int16_t object;
  int16_t state;
  int16_t direction;
  int16_t counter;
  double velocityX;
  int32_t lane;
};

extern std::array<Laser, LASER_COUNT> lasers;
extern std::array<EnemyShot, ENEMY_SHOT_COUNT> enemyShots;
extern std::array<EnemySlot, ENEMY_COUNT> enemies;
extern std::array<EnemySlot, POD_COUNT> pods;
extern std::array<Walker, WALKER_COUNT> walkers;
extern std::array<int16_t, SHADOW_COUNT> shadows;
extern Ufo ufo;
extern int32_t ufoShotsFired;  // since start-up: every second UFO shot flies away from the ship
extern std::array<int16_t, 2> cockpitObjects;

// ---- Animations, looked up by sprite name at every level start (-1 when absent) ------------
struct GameAnimations {
  int startThrust, continueThrust, stopThrust, jetTurnB, jetTurnF, reverse, explode1, explode2,
      ufoa, popa, popc, laserf, laser, warp, tank, hang, flap, blade, hover, rdeye, screw, jump,
      animatedBounce, bullet, shoto, sleda, shadowa;
};
extern GameAnimations anim;

// ---- Sounds, loaded once at start-up (null when absent) ------------------------------------
struct GameSounds {
  ZR_SOUND *laser3, *laser2, *laser1, *thrust1, *expl1, *expl2, *warp1, *ufo3, *menu, *over;
};
extern GameSounds sounds;

// ---- Helpers shared by the game's modules --------------------------------------------------
constexpr double HIDDEN = -1000.0;
constexpr double LANE_DEPTH = 375.0;

// Adds points unless the score has reached the guard.
void AddScore(int points, int guard);
// A gameplay demo: the attract list plays a recorded game.
bool InGameplayDemo();
// Hides a world object at (-1000, -1000, -1000).
void HideObject(int object);
void PlaceObject(int object, double x, double y, double z);
// Gives an object its own copy of an animation (repeats -1: looped); nothing when absent.
void SetAnimation(int object, int animation, int repeats);
// True when the object's own animation has played out (or it has none).
bool AnimationFinished(int object);
// Height of the ground under (x, z).
double GroundHeight(double x, double z);
// Facing flag of an object (1 towards +x); sprites face -x, so it is the mirror flag.
int Facing(int object);
void SetFacing(int object, int facing);
// The looping sounds: started and stopped through these so a pause can silence and resume them.
void StartLoopSound(ZR_SOUND* sound, int32_t& on);
void StopLoopSound(ZR_SOUND* sound, int32_t& on);
extern int32_t thrustSoundOn, ufoSoundOn;
void PlaySound(ZR_SOUND* sound);
