#include "game/ship.h"

#include <algorithm>
#include <cstdint>

#include "engine/platform/clock.h"
#include "engine/sound/sound.h"
#include "game/game_state.h"
#include "game/play_state.h"
#include "world/level_def.h"

namespace {

constexpr double THRUST = 0.04;
constexpr double SPEED_LIMIT = 4.0;
constexpr double DECELERATION = 0.01;
constexpr double CLIMB = 2.0;
constexpr double CEILING = 190.0;
constexpr double CLEARANCE = 10.0;
constexpr int TOP_LANE = 3;
constexpr double JET_TURN_STEPS = 75.0;
constexpr double JET_TURN_SPEED = 5.0;
constexpr int REVERSAL_COOLDOWN = 40;
constexpr uint32_t REVERSAL_FIRE_BLOCK_MS = 40;
constexpr uint32_t LASER_INTERVAL_MS = 200;
constexpr double LOOP_END = 2410.0;
constexpr double LOOP_START = 500.0;
constexpr double LOOP_END_ARRIVAL = 510.0;
constexpr double LOOP_START_ARRIVAL = 2400.0;
constexpr int GATE_GLASS_TILE = 42;
constexpr int GATE_CURTAIN_TILE = 43;
constexpr double LASER_HEIGHT = 12.0;
constexpr double SHADOW_BEHIND = 15.0;
constexpr double HIT_TRANSITION = 100.0;
constexpr double ARRIVAL_STEPS = 300.0;
constexpr int ARRIVAL_GRACE = 290;
constexpr double FINAL_ARRIVAL_STEPS = 800.0;
constexpr int FINAL_GRACE = 790;

enum Control { UP, DOWN, LEFT, RIGHT, BUTTON1, BUTTON2, BUTTON3, BUTTON4 };

bool jetTurning() {
  return laneChangeTimer > 0.0;
}

void faceShip(int facing) {
  SetFacing(shipObject, facing);
  SetFacing(shipShadowObject, facing ? 0 : 1);
}

// One thrust direction; sign +1 thrusts towards +x, -1 towards -x.
void thrust(int sign, int32_t& thrusting) {
  if (jetTurning()) return;
  const int facing = sign > 0 ? 1 : 0;
  // Also restarted when a hit or a level end silenced it while the control stayed held.
  if ((!thrusting || !thrustSoundOn) && !attractPlaying)
    StartLoopSound(sounds.thrust1, thrustSoundOn);
  if (turnCooldown == 0 && Facing(shipObject) != facing) {
    SetAnimation(shipObject, anim.reverse, 1);
    SetAnimation(shipShadowObject, anim.shadowa, 1);
    turnCooldown = REVERSAL_COOLDOWN;
    nextFireTime = zr_get_tick_count() + REVERSAL_FIRE_BLOCK_MS;
    thrusting = 1;
  }
  faceShip(facing);
  if (sign * shipVelocityX < SPEED_LIMIT) shipVelocityX += sign * THRUST;
  if (thrusting) {
    if (AnimationFinished(shipObject) && turnCooldown == 0)
      SetAnimation(shipObject, anim.continueThrust, 1);
  } else if (turnCooldown == 0) {
    SetAnimation(shipObject, anim.startThrust, 1);
  }
  thrusting = 1;
}

void startJetTurn(int toLane, int animation, int change) {
  targetLane = toLane;
  SetAnimation(shipObject, animation, 1);
  laneChange = change;
  laneChangeTimer = JET_TURN_STEPS;
  StartLoopSound(sounds.thrust1, thrustSoundOn);
}

void jetTurnMotion() {
  if (laneChangeTimer <= 0.0) return;
  shipZ += laneChange == 1 ? -JET_TURN_SPEED : JET_TURN_SPEED;
  laneChangeTimer -= 1.0;
  if (laneChangeTimer <= 0.0) {
    laneChangeTimer = 0.0;
    lane = targetLane;
    laneChange = 0;
    graceCounter = std::max(20, 200 - 40 * level);
  }
}

void controls(const uint8_t* c) {
  if (c[BUTTON4]) FireLaser();
  if (c[RIGHT]) {
    thrust(+1, thrustingRight);
  } else {
    thrustingRight = 0;
  }
  if (c[LEFT]) {
    thrust(-1, thrustingLeft);
  } else {
    thrustingLeft = 0;
  }
  if (c[UP] && shipY < CEILING) shipY += CLIMB;
  if (c[DOWN] && GroundHeight(shipX, shipZ) + CLEARANCE < shipY) shipY -= CLIMB;
  if (c[BUTTON1] && lane < TOP_LANE && !jetTurning()) startJetTurn(lane + 1, anim.jetTurnB, 1);
  if (c[BUTTON2] && lane > 1 && !jetTurning()) startJetTurn(lane - 1, anim.jetTurnF, 2);
  jetTurnMotion();
  if (!c[LEFT] && !c[RIGHT]) {
    if (!jetTurning() && AnimationFinished(shipObject)) {
      SetAnimation(shipObject, anim.stopThrust, 1);
      StopLoopSound(sounds.thrust1, thrustSoundOn);
    }
    shipVelocityX += shipVelocityX >= 0.0 ? -DECELERATION : DECELERATION;
  }
}

// The tile of the map cell under (x, z); the row and column are clamped into the grid.
int cellTile(double x, double z) {
  if (world == nullptr || world_rows <= 0 || world_columns <= 0) return 0;
  const double row = std::clamp(z / cell_size, 0.0, double(world_rows - 1));
  const double column = std::clamp(x / cell_size, 0.0, double(world_columns - 1));
  return world[size_t(row) * world_columns + size_t(column)].tile;
}

}  // namespace

void ShipStep(const uint8_t* c) {
  if (turnCooldown > 0) --turnCooldown;
  if (zr_get_tick_count() < nextFireTime) --nextFireTime;
  if (!shipExploding && transitionTimer == 0.0) {
    controls(c);
  } else if (!levelEnding && transitionTimer > 0.0) {
    transitionTimer -= 1.0;
    if (transitionTimer <= 0.0) {
      transitionTimer = 0.0;
      shipAppearing = 0;
    }
  }
  if (warping && AnimationFinished(shipObject)) {
    SetAnimation(shipObject, anim.stopThrust, 1);
    warping = 0;
  }
  if (shipX >= LOOP_END || shipX <= LOOP_START) {
    shipX = shipX >= LOOP_END ? LOOP_END_ARRIVAL : LOOP_START_ARRIVAL;
    PlaySound(sounds.warp1);
    SetAnimation(shipObject, anim.warp, 1);
    warping = 1;
  }
  shipX += shipVelocityX;
  const int tile = cellTile(shipX, shipZ);
  const double ground = GroundHeight(shipX, shipZ);
  if (tile != GATE_GLASS_TILE && tile != GATE_CURTAIN_TILE && shipY < ground + CLEARANCE)
    shipY = ground + CLEARANCE;
  PlaceObject(shipObject, shipX, shipY, shipZ);
  PlaceObject(shipShadowObject, shipX, ground + 1.0, shipZ + SHADOW_BEHIND);
}

void FireLaser() {
  const uint32_t now = zr_get_tick_count();
  if (now < nextFireTime) return;
  nextFireTime = now + LASER_INTERVAL_MS;
  PlaySound(sounds.laser1);
  AddScore(1, 65000);
  for (Laser& l : lasers) {
    if (l.state != SLOT_FREE) continue;
    PlaceObject(l.object, shipX, shipY + LASER_HEIGHT, shipZ);
    l.state = SLOT_ALIVE;
    l.direction = int16_t(Facing(shipObject));
    SetFacing(l.object, l.direction);
    return;
  }
}

void ShipHit() {
  StopLoopSound(sounds.thrust1, thrustSoundOn);
  shipExploding = 1;
  SetAnimation(shipObject, anim.explode2, 1);
  shipVelocityX = 0.0;
  transitionTimer = HIT_TRANSITION;
  if (lives > 0) --lives;
  laneChange = 0;
  laneChangeTimer = 0.0;
  targetLane = lane;
}

void RespawnShip() {
  shipX = startX;
  shipY = startY;
  shipZ = startZ;
  PlaceObject(shipObject, shipX, shipY, shipZ);
  SetAnimation(shipObject, anim.stopThrust, 1);
  lane = targetLane = 1;
  shipExploding = 0;
  transitionTimer = 0.0;
  laneChange = 0;
  laneChangeTimer = 0.0;
  if (levelEnding) return;
  transitionTimer = ARRIVAL_STEPS;
  shipAppearing = 1;
  graceCounter = ARRIVAL_GRACE;
  if (lives == 0) {
    gameOver = 1;
    StopLoopSound(sounds.thrust1, thrustSoundOn);
    StopLoopSound(sounds.ufo3, ufoSoundOn);
    PlaySound(sounds.over);
    if (finalBonusGiven) {
      transitionTimer = FINAL_ARRIVAL_STEPS;
      graceCounter = FINAL_GRACE;
    }
  }
}

void ResetShipState() {
  shipExploding = 0;
  laneChange = 0;
  laneChangeTimer = 0.0;
  transitionTimer = 0.0;
  warping = 0;
}
