// The checksum of the game state for traces of a run: FNV-1a over every value that a step can
// change, doubles by their bit patterns.
#include <bit>
#include <cstdint>

#include "engine/platform/clock.h"
#include "game/game.h"
#include "game/game_state.h"
#include "world/level_def.h"
#include "world/map.h"
#include "world/renderer.h"

namespace {

struct Fnv {
  uint32_t hash = 2166136261u;
  void bytes(uint64_t value, int count) {
    for (int i = 0; i < count; ++i) {
      hash ^= uint32_t(value >> (8 * i)) & 0xFFu;
      hash *= 16777619u;
    }
  }
  void add(int32_t v) { bytes(uint32_t(v), 4); }
  void add(uint32_t v) { bytes(v, 4); }
  void add(double v) { bytes(std::bit_cast<uint64_t>(v), 8); }
  void object(int index) {
    if (objects == nullptr || index <= 0 || index > last_object) {
      add(int32_t(-1));
      return;
    }
    const WorldObject& o = objects[index];
    add(o.x);
    add(o.y);
    add(o.z);
    add(int32_t(o.sprite));
    add(int32_t(o.size_v) << 16 | uint16_t(o.size_h));
    add(int32_t(o.mirror_h));
  }
  void slot(const EnemySlot& e) {
    object(e.object);
    add(int32_t(e.state) << 16 | uint16_t(e.direction));
    add(int32_t(e.counter));
    add(e.velocityX);
    add(e.velocityY);
    add(e.lane);
    add(e.fireCooldown);
    add(e.kind);
    add(e.open);
  }
};

}  // namespace

uint32_t GameStateChecksum() {
  Fnv f;
  for (double v : {shipX, shipY, shipZ, shipVelocityX, startX, startY, startZ, laneChangeTimer,
                   extraLifeTimer, transitionTimer, ufoClock, camera_x, camera_y, camera_z})
    f.add(v);
  for (int32_t v : {lives,           level,
                    int32_t(score),  enemiesDestroyed,
                    enemiesTotal,    extraLivesAwarded,
                    levelEnding,     shipAppearing,
                    graceCounter,    gameOver,
                    finalBonusGiven, stepCounter,
                    demoLevelToggle, ufoAppeared,
                    podCount,        invulnerable,
                    cameraTarget,    lane,
                    targetLane,      laneChange,
                    thrustingLeft,   thrustingRight,
                    turnCooldown,    shipExploding,
                    warping,         ufoShotsFired})
    f.add(v);
  // The time left before the next laser, not the counter's value: runs that start at different
  // times of the clock compare alike.
  const uint32_t now = zr_get_tick_count();
  f.add(nextFireTime > now ? nextFireTime - now : 0u);
  f.object(shipObject);
  for (const Laser& l : lasers) {
    f.object(l.object);
    f.add(int32_t(l.state) << 16 | uint16_t(l.direction));
  }
  for (const EnemyShot& s : enemyShots) {
    f.object(s.object);
    f.add(int32_t(s.state));
    f.add(s.velocityX);
    f.add(s.velocityY);
  }
  for (const EnemySlot& e : enemies) f.slot(e);
  for (const EnemySlot& p : pods) f.slot(p);
  f.object(ufo.object);
  for (int32_t v :
       {int32_t(ufo.state), int32_t(ufo.direction), ufo.phase, ufo.lane, ufo.fireCooldown})
    f.add(v);
  for (const Walker& w : walkers) {
    f.object(w.object);
    f.add(int32_t(w.state) << 16 | uint16_t(w.direction));
    f.add(int32_t(w.counter));
    f.add(w.velocityX);
  }
  return f.hash;
}
