// Shots, collisions and scoring: the box tests closed during the arrival, full shot pools, the
// aim of a shot with nothing between shooter and ship, the score guards and invulnerability.
#include "game/shots.h"

#include <cmath>

#include "game_support.h"

namespace {

using namespace gtest_game;

class Shots : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    start(3);
    open_play();
    clear_scene();
  }
  // A laser flying towards +x that reaches (x, y, z) in the next step.
  static Laser& laser_at(double x, double y, double z) {
    Laser& l = lasers[0];
    l.state = SLOT_ALIVE;
    l.direction = 1;
    PlaceObject(l.object, x - 5.0 - (shipVelocityX - 0.01), y, z);
    return l;
  }
  static int flying_shots() {
    int n = 0;
    for (const EnemyShot& s : enemyShots) n += s.state == SLOT_ALIVE;
    return n;
  }
};

TEST_F(Shots, NothingHitsDuringTheArrival) {
  start(3);
  clear_scene();
  ASSERT_GT(transitionTimer, 0.0);
  EnemySlot& e = put_enemy(0, shipX + 100, shipY, shipZ);
  Laser& l = laser_at(shipX + 100, shipY, shipZ);
  EnemyShot& s = enemyShots[0];
  s.state = SLOT_ALIVE;
  PlaceObject(s.object, shipX, shipY + 10, shipZ);
  put_enemy(1, shipX, shipY + 5, shipZ);
  step();
  EXPECT_EQ(e.state, SLOT_ALIVE) << "the laser flies through";
  EXPECT_EQ(l.state, SLOT_ALIVE);
  EXPECT_EQ(s.state, SLOT_ALIVE);
  EXPECT_EQ(enemies[1].state, SLOT_ALIVE);
  EXPECT_EQ(shipExploding, 0);
}

TEST_F(Shots, LaserKillsScoreUpToTheGuard) {
  struct Case {
    int before, after;
  };
  for (const Case c : {Case{64999, 65049}, Case{65049, 65049}, Case{100, 150}}) {
    SCOPED_TRACE(c.before);
    score = uint16_t(c.before);
    const int destroyed = enemiesDestroyed;
    EnemySlot& e = put_enemy(0, shipX + 100, shipY, shipZ);
    complete_object(e.object);
    laser_at(shipX + 100, shipY, shipZ);
    step();
    EXPECT_EQ(score, c.after);
    EXPECT_EQ(e.state, SLOT_EXPLODING);
    EXPECT_EQ(enemiesDestroyed, destroyed + 1);
    EXPECT_EQ(+objects[e.object].size_h, 110);
    EXPECT_EQ(lasers[0].state, SLOT_FREE);
  }
}

TEST_F(Shots, UfoKillScoresUpToItsGuardAndDoesNotCount) {
  for (const auto& [before, after] : {std::pair{63999, 64199}, std::pair{64000, 64000}}) {
    SCOPED_TRACE(before);
    score = uint16_t(before);
    ufo.state = SLOT_ALIVE;
    ufo.lane = 3;  // not the ship's: no fire, no sound
    ufoAppeared = 1;
    objects[ufo.object].size_h = 73;
    objects[ufo.object].size_v = 38;
    PlaceObject(ufo.object, shipX + 100, shipY, shipZ);
    laser_at(shipX + 100, shipY, shipZ);
    step();
    EXPECT_EQ(score, after);
    EXPECT_EQ(ufo.state, SLOT_EXPLODING);
    EXPECT_EQ(enemiesDestroyed, 0);
  }
}

TEST_F(Shots, LasersLeaveTheirWindowAroundTheShip) {
  for (const auto& [ahead, alive] : {std::pair{189.0, true}, std::pair{191.0, false},
                                     std::pair{-189.0, true}, std::pair{-191.0, false}}) {
    SCOPED_TRACE(ahead);
    shipVelocityX = 0.0;
    Laser& l = lasers[0];
    l.state = SLOT_ALIVE;
    l.direction = ahead > 0 ? 0 : 1;  // flying back towards the ship
    PlaceObject(l.object, shipX - 0.01 + ahead, shipY + 100, shipZ);
    step();
    EXPECT_EQ(l.state, alive ? SLOT_ALIVE : SLOT_FREE);
    if (!alive) {
      EXPECT_EQ(+objects[l.object].x, HIDDEN);
    }
  }
}

TEST_F(Shots, FullShotPoolRestartsTheCooldownWithoutFiring) {
  invulnerable = 1;
  for (EnemyShot& s : enemyShots) {
    s.state = SLOT_ALIVE;
    s.velocityX = s.velocityY = 0.0;
    PlaceObject(s.object, shipX + 300, 180.0, shipZ - 750);
  }
  EnemySlot& e = put_enemy(0, shipX + 200, shipY, shipZ);
  e.fireCooldown = 1;
  step();
  EXPECT_EQ(e.fireCooldown, 460) << "520 - 20 x level 3";
  EXPECT_EQ(flying_shots(), 10);
  enemyShots[4].state = SLOT_FREE;
  e.fireCooldown = 1;
  step();
  EXPECT_EQ(flying_shots(), 10);
  EXPECT_EQ(+objects[enemyShots[4].object].x, +objects[e.object].x + enemyShots[4].velocityX)
      << "fired into the free slot, and moved in the same step";
}

TEST_F(Shots, OutOfRangeEnemiesDoNotFireOrRestartTheirCooldown) {
  EnemySlot& e = put_enemy(0, shipX + 260, shipY, shipZ);
  e.fireCooldown = 1;
  step();
  EXPECT_EQ(e.fireCooldown, 0);
  EXPECT_EQ(flying_shots(), 0);
}

TEST_F(Shots, AShotWithNothingToAimAlongFliesAlongMinusX) {
  double vx = 1.0, vy = 1.0;
  AimShot(0.0, 0.0, vx, vy);
  EXPECT_EQ(vx, -2.0);
  EXPECT_EQ(vy, 0.0);
  AimShot(3.0, -4.0, vx, vy);
  EXPECT_DOUBLE_EQ(vx, 1.2);
  EXPECT_DOUBLE_EQ(vy, -1.6);

  // An enemy exactly where the ship will be: the shot still flies and frees its slot.
  invulnerable = 1;
  shipVelocityX = 0.0;
  EnemySlot& e = put_enemy(0, shipX, shipY, shipZ);
  EnemyFire(e);
  const EnemyShot& s = enemyShots[0];
  ASSERT_EQ(s.state, SLOT_ALIVE);
  EXPECT_EQ(s.velocityX, -2.0);
  EXPECT_EQ(s.velocityY, 0.0);
  e.state = SLOT_FREE;
  steps(170);
  EXPECT_EQ(s.state, SLOT_FREE);
}

TEST_F(Shots, EnemyShotsAimWithLead) {
  shipVelocityX = 1.0;
  EnemySlot& e = put_enemy(0, shipX + 200, shipY + 30, shipZ);
  EnemyFire(e);
  const EnemyShot& s = enemyShots[0];
  const double l = 80.0 - 200.0, dy = -30.0, d = std::sqrt(l * l + dy * dy);
  EXPECT_DOUBLE_EQ(s.velocityX, 2.0 * l / d);
  EXPECT_DOUBLE_EQ(s.velocityY, 2.0 * dy / d);
  EXPECT_EQ(+objects[s.object].y, shipY + 30);
  // Ground shooters fire from 16 higher from level 3 on; level 1 and 2 shots sink less.
  e.kind = 3;
  EnemyFire(e);
  EXPECT_EQ(+objects[enemyShots[1].object].y, shipY + 30 + 16);
  level = 2;
  e.kind = 0;
  PlaceObject(e.object, shipX + 200, shipY, shipZ);
  EnemyFire(e);
  EXPECT_DOUBLE_EQ(enemyShots[2].velocityY, 0.1);
  EXPECT_EQ(e.fireCooldown, 480);
}

TEST_F(Shots, InvulnerableShipLetsShotsAndRammersThrough) {
  invulnerable = 1;
  EnemyShot& s = enemyShots[0];
  s.state = SLOT_ALIVE;
  s.velocityX = s.velocityY = 0.0;
  PlaceObject(s.object, shipX, shipY + 10, shipZ);
  put_enemy(1, shipX, shipY + 5, shipZ);
  step();
  EXPECT_EQ(shipExploding, 0);
  EXPECT_EQ(s.state, SLOT_ALIVE);
  EXPECT_EQ(enemies[1].state, SLOT_ALIVE);
  invulnerable = 0;
  const int before = lives;
  step();
  EXPECT_EQ(shipExploding, 1);
  EXPECT_EQ(lives, before - 1);
}

TEST_F(Shots, UfoShotsAlternateTowardsAndAwayFromTheShip) {
  ufo.state = SLOT_ALIVE;
  ufo.lane = lane;
  PlaceObject(ufo.object, shipX + 100, shipY + 15, shipZ);
  ufoShotsFired = 0;
  UfoFire();
  UfoFire();
  EXPECT_LT(enemyShots[0].velocityX, 0.0) << "towards the ship";
  EXPECT_GT(enemyShots[1].velocityX, 0.0) << "away from it";
  EXPECT_EQ(ufo.fireCooldown, 110);
}

}  // namespace
