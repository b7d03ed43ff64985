#include "game/shots.h"

#include <algorithm>
#include <cmath>

#include "engine/sound/sound.h"
#include "game/game_state.h"
#include "game/ship.h"
#include "world/level_def.h"
#include "world/map.h"

namespace {

constexpr double LASER_SPEED = 5.0;
constexpr double LASER_REACH = 190.0;
constexpr double SHOT_REACH = 330.0;
constexpr double SHOT_SPEED = 2.0;
constexpr double LEAD_STEPS = 80.0;
constexpr double EXPLOSION_DROP = 25.0;
constexpr int16_t ENEMY_EXPLOSION_SIZE = 110;
constexpr int16_t SMALL_EXPLOSION_SIZE = 75;
constexpr double SHOOTER_RAISE = 16.0;  // ground shooters fire from above their tracks

bool boxesOpen() {
  return transitionTimer == 0.0 && !shipExploding && !levelEnding;
}

// Overlap of two spans centred on a and b with widths wa and wb scaled by factor.
bool spansMeet(double a, int wa, double b, int wb, double factor) {
  return b - wb * factor <= a + wa * factor && b + wb * factor >= a - wa * factor;
}

int freeShotSlot() {
  for (int i = 0; i < ENEMY_SHOT_COUNT; ++i)
    if (enemyShots[i].state == SLOT_FREE) return i;
  return -1;
}

void launchShot(int slot, int animation, double x, double y, double z, double vx, double vy) {
  EnemyShot& s = enemyShots[slot];
  SetAnimation(s.object, animation, -1);
  PlaceObject(s.object, x, y, z);
  s.state = SLOT_ALIVE;
  s.velocityX = vx;
  s.velocityY = vy;
}

void explode(int object, int16_t size) {
  const WorldObject& o = objects[object];
  SetAnimation(object, anim.explode1, 1);
  PlaceObject(object, o.x, o.y - EXPLOSION_DROP, o.z);
  objects[object].size_v = size;
  objects[object].size_h = size;
}

// A laser in flight against the enemies, the UFO and the pods; stops at the first hit.
void laserHits(Laser& l) {
  for (EnemySlot& e : enemies) {
    if (e.state != SLOT_ALIVE || !LaserHitTest(l.object, e.object)) continue;
    PlaySound(sounds.expl2);
    AddScore(50, 65000);
    ++enemiesDestroyed;
    HideObject(l.object);
    l.state = SLOT_FREE;
    e.state = SLOT_EXPLODING;
    explode(e.object, ENEMY_EXPLOSION_SIZE);
    return;
  }
  if (ufo.state == SLOT_ALIVE && LaserHitTest(l.object, ufo.object)) {
    PlaySound(sounds.expl2);
    AddScore(200, 64000);
    HideObject(l.object);
    l.state = SLOT_FREE;
    ufo.state = SLOT_EXPLODING;
    explode(ufo.object, SMALL_EXPLOSION_SIZE);
    return;
  }
  for (EnemySlot& p : pods) {
    if (p.state != SLOT_ALIVE || !PodHitTest(p.object, l.object)) continue;
    if (p.open) {
      PlaySound(sounds.expl2);
      AddScore(200, 64000);
      p.state = SLOT_EXPLODING;
      explode(p.object, SMALL_EXPLOSION_SIZE);
      HideObject(l.object);
      l.state = SLOT_FREE;
      ++enemiesDestroyed;
    } else {
      l.direction = l.direction ? 0 : 1;
      SetFacing(l.object, l.direction);
      SetAnimation(l.object, anim.laserf, 1);
      l.state = SLOT_EXPLODING;
    }
    return;
  }
}

}  // namespace

bool LaserHitTest(int a, int b) {
  if (!boxesOpen()) return false;
  const WorldObject& A = objects[a];
  const WorldObject& B = objects[b];
  return spansMeet(A.x, A.size_h, B.x, B.size_h, 0.5) && A.y + A.size_v >= B.y &&
         A.y <= B.y + B.size_v && spansMeet(A.z, A.size_h, B.z, B.size_h, 0.5);
}

bool ShipHitTest(int a, int b) {
  if (!boxesOpen() || invulnerable == 1) return false;
  const WorldObject& A = objects[a];
  const WorldObject& B = objects[b];
  return spansMeet(A.x, A.size_h, B.x, B.size_h, 1.0 / 3.0) && A.y + A.size_v / 2 >= B.y &&
         B.y + B.size_v / 5 >= A.y + A.size_v / 5 && spansMeet(A.z, A.size_h, B.z, B.size_h, 0.05);
}

bool PodHitTest(int a, int b) {
  if (!boxesOpen()) return false;
  const WorldObject& A = objects[a];
  const WorldObject& B = objects[b];
  return spansMeet(A.x, A.size_h, B.x, B.size_h, 1.0 / 3.0) && A.y + A.size_v / 2 >= B.y &&
         B.y + B.size_v / 5 >= A.y + A.size_v / 5 && spansMeet(A.z, A.size_h, B.z, B.size_h, 0.05);
}

void UpdateLasers() {
  for (Laser& l : lasers) {
    if (l.state == SLOT_EXPLODING) {
      if (AnimationFinished(l.object)) {
        HideObject(l.object);
        SetAnimation(l.object, anim.laser, -1);
        l.state = SLOT_FREE;
      }
      continue;
    }
    if (l.state != SLOT_ALIVE) continue;
    const WorldObject& o = objects[l.object];
    if (o.x > shipX + LASER_REACH || o.x < shipX - LASER_REACH) {
      HideObject(l.object);
      l.state = SLOT_FREE;
      continue;
    }
    const double dx = l.direction == 1 ? shipVelocityX + LASER_SPEED : shipVelocityX - LASER_SPEED;
    PlaceObject(l.object, o.x + dx, o.y, o.z);
    laserHits(l);
  }
}

void UpdateEnemyShots() {
  for (EnemyShot& s : enemyShots) {
    if (s.state != SLOT_ALIVE) continue;
    const WorldObject& o = objects[s.object];
    if (std::fabs(o.x - shipX) > SHOT_REACH) {
      HideObject(s.object);
      s.state = SLOT_FREE;
      continue;
    }
    PlaceObject(s.object, o.x + s.velocityX, o.y + s.velocityY, o.z);
    if (ShipHitTest(shipObject, s.object)) {
      PlaySound(sounds.expl1);
      HideObject(s.object);
      s.state = SLOT_FREE;
      ShipHit();
    }
  }
}

void AimShot(double l, double dy, double& velocityX, double& velocityY) {
  const double d = std::sqrt(l * l + dy * dy);
  if (!(d > 0.0)) {
    velocityX = -SHOT_SPEED;
    velocityY = 0.0;
    return;
  }
  velocityX = SHOT_SPEED * l / d;
  velocityY = SHOT_SPEED * dy / d;
}

void EnemyFire(EnemySlot& e) {
  const WorldObject& o = objects[e.object];
  const double dx = shipX - o.x, dy = shipY - o.y;
  const double range = level >= 3 ? 250.0 : 210.0;
  if (!(std::fabs(dx) < range && std::fabs(dy) < range)) return;
  e.fireCooldown = std::max(200, 520 - 20 * level);
  const int slot = freeShotSlot();
  if (slot < 0) return;
  double y = o.y;
  if (level >= 3 && (e.kind == 3 || e.kind == 5) && !InGameplayDemo()) y += SHOOTER_RAISE;
  PlaySound(sounds.laser3);
  double vx, vy;
  AimShot(shipVelocityX * LEAD_STEPS + shipX - o.x, dy, vx, vy);
  if (level <= 2) vy += 0.1;
  launchShot(slot, anim.bullet, o.x, y, o.z, vx, vy);
}

void UfoFire() {
  const WorldObject& o = objects[ufo.object];
  const double dx = shipX - o.x, dy = shipY + 15.0 - o.y;
  if (!(std::fabs(dx) < 250.0 && std::fabs(dy) < 250.0)) return;
  ufo.fireCooldown = std::max(40, 170 - 20 * level);
  const int slot = freeShotSlot();
  if (slot < 0) return;
  PlaySound(sounds.laser2);
  double vx, vy;
  AimShot(shipVelocityX * LEAD_STEPS + shipX - o.x, dy, vx, vy);
  if (ufoShotsFired++ % 2 == 1) vx = -vx;
  launchShot(slot, anim.shoto, o.x, o.y, o.z, vx, vy);
}

void PodFire(EnemySlot& p) {
  p.fireCooldown = std::max(200, 320 - 20 * level);
  const WorldObject& o = objects[p.object];
  const double s = Facing(p.object) ? SHOT_SPEED : -SHOT_SPEED;
  const double vy[3] = {0.0, SHOT_SPEED, -SHOT_SPEED};
  for (int i = 0; i < 3; ++i) {
    const int slot = freeShotSlot();
    if (slot < 0) return;
    if (i == 0) PlaySound(sounds.laser3);
    launchShot(slot, anim.shoto, o.x, o.y, o.z, s, vy[i]);
  }
}
