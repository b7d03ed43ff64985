#include "game/autopilot.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "game/game_state.h"
#include "game/shots.h"
#include "world/level_def.h"
#include "world/map.h"

namespace {

enum Control { UP, DOWN, LEFT, RIGHT, BUTTON1, BUTTON2, BUTTON3, BUTTON4 };

constexpr double LOOP_LENGTH = 1910.0;  // the landscape's loop, 500 to 2410
constexpr double LASER_HEIGHT = 12.0;   // lasers leave the ship this much above it
constexpr double CEILING = 188.0;       // aimed heights stay just below the ceiling (190)
constexpr double CLEARANCE = 10.0;
constexpr double FIRING_DISTANCE = 175.0;  // lasers live 190 units from the ship
constexpr double STANDOFF = 95.0;          // where the ship likes to stop before a target
constexpr double TOP_SPEED = 3.5;
constexpr double THRUST = 0.04, DRAG = 0.01, CLIMB = 2.0;
constexpr double LANE_COST = 420.0;  // a jet turn: 75 steps without thrust
constexpr int LOOKAHEAD = 70;        // steps of a shot's flight that are foreseen
constexpr int HIT_PAUSE = 400;       // a hit's explosion and the arrival of the next ship
constexpr int STUCK_STEPS = 1500;    // a target chased this long without a kill is left alone
constexpr int SHUNNED_STEPS = 900;

enum TargetKind { NONE, ENEMY, POD, UFO, WALKER };

struct Target {
  TargetKind kind = NONE;
  int slot = -1;
};

Target target;
int targetSteps = 0;
int32_t killsSeen = 0;
int shunnedSlot = -1;
TargetKind shunnedKind = NONE;
int shunnedSteps = 0;
int hits = 0;
int hitPause = 0;
int32_t wasExploding = 0;
bool overlapping[ENEMY_COUNT + POD_COUNT + ENEMY_SHOT_COUNT] = {};

// Distance along x from the ship to x, the short way round the loop.
double towards(double x) {
  double d = x - shipX;
  if (d > LOOP_LENGTH / 2) d -= LOOP_LENGTH;
  if (d < -LOOP_LENGTH / 2) d += LOOP_LENGTH;
  return d;
}

const WorldObject& objectOf(Target t) {
  switch (t.kind) {
    case ENEMY:
      return objects[enemies[size_t(t.slot)].object];
    case POD:
      return objects[pods[size_t(t.slot)].object];
    case UFO:
      return objects[ufo.object];
    default:
      return objects[walkers[size_t(t.slot)].object];
  }
}

bool alive(Target t) {
  switch (t.kind) {
    case ENEMY:
      return enemies[size_t(t.slot)].state == SLOT_ALIVE;
    case POD:
      return pods[size_t(t.slot)].state == SLOT_ALIVE;
    case UFO:
      return ufo.state == SLOT_ALIVE;
    case WALKER:
      return walkers[size_t(t.slot)].state == SLOT_ALIVE;
    default:
      return false;
  }
}

int laneOf(Target t) {
  switch (t.kind) {
    case ENEMY:
      return enemies[size_t(t.slot)].lane;
    case POD:
      return pods[size_t(t.slot)].lane;
    case UFO:
      return ufo.lane;
    case WALKER:
      return walkers[size_t(t.slot)].lane;
    default:
      return lane;
  }
}

double floorHeight() {
  return GroundHeight(shipX, shipZ) + CLEARANCE;
}

// The ship's height at which its laser meets the target, from the tests that decide a hit.
double aimHeight(Target t) {
  const WorldObject& o = objectOf(t);
  const int laserHeight = objects[lasers[0].object].size_v;
  double laserY = 0.0;
  if (t.kind == POD) {
    // The pod's test: the laser between a fifth and a half of the pod's height.
    const double low = o.y + o.size_v / 5 - laserHeight / 5;
    const double high = o.y + o.size_v / 2;
    laserY = (low + high) / 2;
  } else if (t.kind == WALKER) {
    // The ship itself touches the walker: it only has to come down to it.
    return o.y + o.size_v / 2.0;
  } else {
    laserY = o.y + (o.size_v - laserHeight) / 2.0;
    // Near the ground, the upper part of the target: room below to dive out of trouble.
    const double top = o.y + o.size_v - 4.0;
    laserY = std::max(laserY, std::min(top, floorHeight() + LASER_HEIGHT + 16.0));
  }
  return laserY - LASER_HEIGHT;
}

double cost(Target t) {
  const WorldObject& o = objectOf(t);
  double c = std::fabs(towards(o.x)) + std::abs(laneOf(t) - lane) * LANE_COST +
             std::fabs(aimHeight(t) - shipY) * 0.5;
  if (t.kind == shunnedKind && t.slot == shunnedSlot && shunnedSteps > 0) c += 5000.0;
  return c;
}

void consider(Target t, Target* best, double* bestCost, double bias = 0.0) {
  if (!alive(t)) return;
  const double c = cost(t) + bias;
  if (c < *bestCost) {
    *best = t;
    *bestCost = c;
  }
}

Target chooseTarget() {
  Target best;
  double bestCost = 1e18;
  for (int i = 0; i < ENEMY_COUNT; ++i) consider({ENEMY, i}, &best, &bestCost);
  for (int i = 0; i < POD_COUNT; ++i) consider({POD, i}, &best, &bestCost);
  // The UFO and the walkers count for nothing towards the level's end: only when they are close.
  consider({UFO, 0}, &best, &bestCost, 250.0);
  if (best.kind != NONE && std::abs(laneOf(best) - lane) == 0) {
    for (int i = 0; i < WALKER_COUNT; ++i) {
      const Target w{WALKER, i};
      if (!alive(w) || laneOf(w) != lane) continue;
      const double d = towards(objectOf(w).x), dt = towards(objectOf(best).x);
      // On the way to the target, well before it.
      if (d * dt > 0 && std::fabs(d) + 120.0 < std::fabs(dt)) consider(w, &best, &bestCost, -60.0);
    }
  }
  // Keep the current target unless another is clearly better.
  if (alive(target) && best.kind != NONE &&
      (best.kind != target.kind || best.slot != target.slot) && cost(target) < bestCost + 150.0)
    return target;
  return best;
}

// Something that can hit the ship, moving in a straight line as far as the autopilot knows.
struct Mover {
  double x, y, z, vx, vy;
  int h, w;
  bool flyer;  // kept between ground + 20 and 179 by the game
};

int gatherMovers(Mover* out) {
  int n = 0;
  for (const EnemyShot& s : enemyShots) {
    if (s.state != SLOT_ALIVE) continue;
    const WorldObject& o = objects[s.object];
    out[n++] = {o.x, o.y, o.z, s.velocityX, s.velocityY, o.size_v, o.size_h, false};
  }
  for (const EnemySlot& e : enemies) {
    if (e.state != SLOT_ALIVE) continue;
    const WorldObject& o = objects[e.object];
    const bool flies = e.kind >= 2 && e.kind <= 5;
    out[n++] = {o.x,
                o.y,
                o.z,
                flies ? e.velocityX : 0.0,
                flies ? e.velocityY : 0.0,
                o.size_v,
                o.size_h,
                e.kind == 2 || e.kind == 4};
  }
  for (const EnemySlot& p : pods) {
    if (p.state != SLOT_ALIVE) continue;
    const WorldObject& o = objects[p.object];
    out[n++] = {o.x, o.y, o.z, 0.0, 0.0, o.size_v, o.size_h, false};
  }
  return n;
}

// The first step at which the ship, climbing (+1), diving (-1) or holding its height (0) and
// thrusting (+1 towards +x, -1 towards -x, 0 not), would meet a mover the way a hit needs (with
// a small margin); LOOKAHEAD + 1 when it meets none.
int firstMeeting(const Mover* movers, int count, int climb, int thrust) {
  const WorldObject& s = objects[shipObject];
  const double floorY = std::min(floorHeight(), shipY);
  double y = shipY, x = 0.0, v = shipVelocityX, z = shipZ;
  double turn = laneChangeTimer;
  for (int t = 1; t <= LOOKAHEAD; ++t) {
    y = std::clamp(y + CLIMB * climb, floorY, std::max(190.0, shipY));
    if (thrust != 0 && turn <= 0.0 && thrust * v < 4.0) v += THRUST * thrust;
    if (thrust == 0 || turn > 0.0) v += v >= 0.0 ? -DRAG : DRAG;
    x += v;
    if (turn > 0.0) {
      z += laneChange == 1 ? -5.0 : 5.0;
      turn -= 1.0;
    }
    for (int i = 0; i < count; ++i) {
      const Mover& m = movers[i];
      if (std::fabs(m.z - z) > (s.size_h + m.w) * 0.05 + 2.0) continue;
      const double dx = std::fabs(towards(m.x + m.vx * t) - x);
      if (dx > (s.size_h + m.w) / 3.0 + 5.0) continue;
      double my = m.y + m.vy * t;
      if (m.flyer) my = std::clamp(my, GroundHeight(m.x, m.z) + 20.0, 179.0);
      if (y + s.size_v / 2 + 4.0 >= my && my + m.h / 5 + 4.0 >= y + s.size_v / 5) return t;
    }
  }
  return LOOKAHEAD + 1;
}

void steerHeight(double wanted, uint8_t* c) {
  wanted = std::clamp(wanted, floorHeight(), CEILING);
  if (shipY < wanted - 1.0) c[UP] = 1;
  if (shipY > wanted + 1.0) c[DOWN] = 1;
}

// Thrust so as to stop at the standoff distance in front of the target, facing it.
void steerAlong(double d, bool passThrough, uint8_t* c) {
  const int dir = d >= 0 ? 1 : -1;
  const double dist = std::fabs(d);
  const double toward = shipVelocityX * dir;
  const int facing = Facing(shipObject);
  const bool facingTarget = (facing == 1) == (dir > 0);
  const int towardKey = dir > 0 ? RIGHT : LEFT, awayKey = dir > 0 ? LEFT : RIGHT;
  if (passThrough) {
    if (toward < 1.5) c[towardKey] = 1;
    return;
  }
  const double room = std::max(0.0, dist - STANDOFF);
  const double coast = std::min(TOP_SPEED, std::sqrt(2.0 * DRAG * room) + 0.3);
  const double brake = std::sqrt(2.0 * THRUST * room);
  if (toward > brake + 0.4 && dist < 260.0) {
    c[awayKey] = 1;
  } else if (toward < coast) {
    c[towardKey] = 1;
  } else if (!facingTarget && dist < FIRING_DISTANCE && turnCooldown == 0) {
    c[towardKey] = 1;
  }
  if (dist < STANDOFF * 0.5 && toward > -1.0 && facingTarget) {
    c[towardKey] = 0;
    c[awayKey] = 1;
  }
}

// Would a laser fired now meet something in front in the ship's lane at the ship's height?
bool worthFiring() {
  if (laneChangeTimer > 0.0) return false;
  const int facing = Facing(shipObject) ? 1 : -1;
  const int laserHeight = objects[lasers[0].object].size_v;
  auto inReach = [&](Target t, double window) {
    if (!alive(t)) return false;
    const WorldObject& o = objectOf(t);
    const double d = towards(o.x) * facing;
    return d > -10.0 && d < FIRING_DISTANCE && std::fabs(o.z - shipZ) < 20.0 &&
           std::fabs(aimHeight(t) - shipY) <= window;
  };
  for (int i = 0; i < ENEMY_COUNT; ++i) {
    const Target t{ENEMY, i};
    if (alive(t) && inReach(t, (objectOf(t).size_v + laserHeight) / 2.0 - 2.0)) return true;
  }
  if (alive({UFO, 0}) && inReach({UFO, 0}, (objectOf({UFO, 0}).size_v + laserHeight) / 2.0 - 2.0))
    return true;
  for (int i = 0; i < POD_COUNT; ++i) {
    const Target t{POD, i};
    if (!alive(t) || !pods[size_t(i)].open) continue;
    const WorldObject& o = objectOf(t);
    const double window = (o.size_v / 2 - o.size_v / 5 + laserHeight / 5) / 2.0 - 1.0;
    if (inReach(t, std::max(1.0, window))) return true;
  }
  return false;
}

// Keeps the wanted controls unless they lead into a hit within the lookahead; then takes the
// climb and thrust that meet nothing, or meet it latest, the nearest to the wanted ones first.
void dodge(uint8_t* c) {
  Mover movers[ENEMY_SHOT_COUNT + ENEMY_COUNT + POD_COUNT];
  const int count = gatherMovers(movers);
  const int climb = c[UP] ? 1 : c[DOWN] ? -1 : 0;
  const int thrust = c[RIGHT] ? 1 : c[LEFT] ? -1 : 0;
  int best = firstMeeting(movers, count, climb, thrust);
  if (best > LOOKAHEAD) return;
  int bestClimb = climb, bestThrust = thrust;
  for (int thrustChoice : {thrust, 0, -thrust, 1, -1}) {
    for (int climbChoice : {climb, 1, -1, 0}) {
      const int when = firstMeeting(movers, count, climbChoice, thrustChoice);
      if (when > best) {
        best = when;
        bestClimb = climbChoice;
        bestThrust = thrustChoice;
      }
    }
  }
  c[UP] = bestClimb > 0;
  c[DOWN] = bestClimb < 0;
  c[RIGHT] = bestThrust > 0;
  c[LEFT] = bestThrust < 0;
}

// Hits, or the hits an invulnerable ship would have taken.
void countHits() {
  if (hitPause > 0) --hitPause;
  if (shipExploding && !wasExploding) ++hits;
  wasExploding = shipExploding;
  if (!invulnerable) return;
  const int32_t saved = invulnerable;
  invulnerable = 0;
  int n = 0;
  bool hit = false;
  auto test = [&](int16_t state, int object) {
    const bool now = state == SLOT_ALIVE && ShipHitTest(shipObject, object);
    if (now && !overlapping[n]) hit = true;
    overlapping[n++] = now;
  };
  for (const EnemySlot& e : enemies) test(e.state, e.object);
  for (const EnemySlot& p : pods) test(p.state, p.object);
  for (const EnemyShot& s : enemyShots) test(s.state, s.object);
  invulnerable = saved;
  if (hit && hitPause == 0) {
    ++hits;
    hitPause = HIT_PAUSE;
  }
}

void followProgress() {
  if (enemiesDestroyed != killsSeen) {
    killsSeen = enemiesDestroyed;
    targetSteps = 0;
  }
  if (shunnedSteps > 0) --shunnedSteps;
  if (++targetSteps > STUCK_STEPS && target.kind != NONE) {
    shunnedKind = target.kind;
    shunnedSlot = target.slot;
    shunnedSteps = SHUNNED_STEPS;
    target = Target{};
    targetSteps = 0;
  }
}

}  // namespace

void ResetAutopilot() {
  target = Target{};
  targetSteps = 0;
  killsSeen = 0;
  shunnedKind = NONE;
  shunnedSlot = -1;
  shunnedSteps = 0;
  hits = 0;
  hitPause = 0;
  wasExploding = 0;
  for (bool& o : overlapping) o = false;
}

int AutopilotHits() {
  return hits;
}

void AutopilotControls(uint8_t* c) {
  for (int i = 0; i < 8; ++i) c[i] = 0;
  if (objects == nullptr || shipObject <= 0) return;
  countHits();
  followProgress();
  if (shipExploding || transitionTimer > 0.0 || levelEnding) return;

  const Target chosen = chooseTarget();
  if (chosen.kind != target.kind || chosen.slot != target.slot) targetSteps = 0;
  target = chosen;
  if (target.kind == NONE) return;

  const WorldObject& o = objectOf(target);
  const int targetLane = laneOf(target);
  const bool turning = laneChangeTimer > 0.0;
  if (!turning && targetLane > lane) c[BUTTON1] = 1;
  if (!turning && targetLane < lane) c[BUTTON2] = 1;

  steerHeight(aimHeight(target), c);
  if (!turning) steerAlong(towards(o.x), target.kind == WALKER, c);
  dodge(c);
  if (worthFiring()) c[BUTTON4] = 1;
}
