// Enemies and objects: the layout table, the promotion by level, the UFO's timing, pods that
// deflect and open, chasers that re-aim by level, and walkers.
#include "game/enemies.h"

#include <set>

#include "game_support.h"

namespace {

using namespace gtest_game;

class Enemies : public GameTest {};

TEST_F(Enemies, LayoutTableHoldsEveryLevel) {
  constexpr int kEntries[20] = {11, 12, 13, 14, 17, 16, 17, 17, 20, 18,
                                17, 18, 20, 21, 20, 20, 22, 23, 21, 21};
  for (int n = 1; n <= 20; ++n) {
    SCOPED_TRACE(n);
    const auto layout = LevelLayout(n);
    EXPECT_EQ(int(layout.size()), kEntries[n - 1]);
    std::set<int> used;
    for (const LayoutEntry& e : layout) {
      EXPECT_TRUE(used.insert(e.pod * 100 + e.slot).second) << "slot twice: " << int(e.slot);
      EXPECT_LT(e.slot, e.pod ? POD_COUNT : ENEMY_COUNT);
      EXPECT_GE(e.lane, 1);
      EXPECT_LE(e.lane, 3);
      EXPECT_TRUE(e.code == 0 || (e.code >= 'g' && e.code <= 'o' && e.code != 'k'));
    }
  }
  EXPECT_TRUE(LevelLayout(0).empty());
  EXPECT_TRUE(LevelLayout(21).empty());
}

TEST_F(Enemies, LevelStartPlacesTypesRowsKindsAndPromotes) {
  start(5);
  EXPECT_EQ(enemiesTotal, 17);
  EXPECT_EQ(podCount, 3);
  const EnemySlot& e2 = enemies[2];  // E2 1 (-300, +25) 134 'n' dir 1
  EXPECT_EQ(+objects[e2.object].sprite, 134);
  EXPECT_EQ(e2.code, 'n');
  EXPECT_EQ(e2.direction, 1);
  EXPECT_EQ(e2.lane, 1);
  EXPECT_EQ(e2.kind, 0);
  EXPECT_EQ(+objects[e2.object].x, kStartX - 300);
  EXPECT_EQ(+objects[e2.object].y, kStartY + 25);
  EXPECT_EQ(+objects[e2.object].z, kStartZ);
  EXPECT_EQ(enemies[8].kind, 2) << "lane 2 promoted from level 5 on";
  EXPECT_EQ(enemies[9].kind, 2) << "lane 3 promoted from level 3 on";
  EXPECT_EQ(enemies[9].code, 'b');
  EXPECT_EQ(enemies[13].kind, 5) << "kinds 3-5 stay";
  EXPECT_EQ(+objects[enemies[13].object].z, kStartZ - 375);
  EXPECT_EQ(enemies[0].state, SLOT_FREE);
  EXPECT_EQ(pods[3].state, SLOT_ALIVE);
  EXPECT_EQ(pods[3].lane, 3);
  EXPECT_EQ(+objects[pods[3].object].z, kStartZ - 750);

  start(3);
  EXPECT_EQ(enemies[8].kind, 0) << "lane 2 not yet promoted at level 3";
  EXPECT_EQ(enemies[9].kind, 2);
}

TEST_F(Enemies, NoUfoAtLevelOne) {
  start(1);
  invulnerable = 1;
  steps(2500);
  EXPECT_EQ(ufoAppeared, 0);
  EXPECT_EQ(ufo.state, SLOT_FREE);
}

TEST_F(Enemies, UfoComesByTheLevelsClock) {
  start(2);
  invulnerable = 1;
  steps(1798);
  EXPECT_EQ(ufo.state, SLOT_FREE);
  step();  // the clock, 1.0 at the start, reaches 2000 - 100 x 2
  ASSERT_EQ(ufo.state, SLOT_ALIVE);
  EXPECT_EQ(ufo.lane, lane);
  EXPECT_EQ(ufo.direction, 1);
  EXPECT_NEAR(+objects[ufo.object].x, 256.0 + 2.0, 1e-9);
}

TEST_F(Enemies, UfoAtLevelTwentyComesAgainRightAfterItsExplosion) {
  start(20);
  invulnerable = 1;
  step();
  ASSERT_EQ(ufo.state, SLOT_ALIVE);
  // Shot down: it explodes, and the step after its explosion ends it comes back.
  ufo.state = SLOT_EXPLODING;
  SetAnimation(ufo.object, anim.explode1, 1);
  int n = 0;
  while (ufoAppeared && n < 100) {
    step();
    ++n;
  }
  ASSERT_LT(n, 100);
  EXPECT_EQ(ufo.state, SLOT_FREE);
  EXPECT_EQ(ufoClock, 0.0);
  step();
  EXPECT_EQ(ufo.state, SLOT_ALIVE);
  EXPECT_EQ(+objects[ufo.object].size_h, 73) << "the template's size again";
}

TEST_F(Enemies, UfoTurnsAtBothEnds) {
  start(20);
  invulnerable = 1;
  step();
  const double width = world_columns * cell_size;
  PlaceObject(ufo.object, width - 501.0, 100.0, objects[ufo.object].z);
  step();
  EXPECT_EQ(ufo.direction, 0);
  PlaceObject(ufo.object, 301.0, 100.0, objects[ufo.object].z);
  step();
  EXPECT_EQ(ufo.direction, 1);
}

TEST_F(Enemies, ClosedPodsDeflectOpenPodsExplode) {
  start(2);
  open_play();
  clear_scene();
  EnemySlot& p = pods[0];
  p.state = SLOT_ALIVE;
  p.lane = lane;
  p.open = 0;
  // Within the lasers' reach but 180 below the ship: the pod stays closed.
  shipY = 190.0;
  const double px = shipX + 150, py = 10.0, pz = shipZ;
  PlaceObject(p.object, px, py, pz);
  Laser& l = lasers[0];
  l.state = SLOT_ALIVE;
  l.direction = 1;
  SetFacing(l.object, 1);
  PlaceObject(l.object, px - 5 - shipVelocityX, py + 10, pz);
  step();
  EXPECT_EQ(l.state, SLOT_EXPLODING) << "deflected";
  EXPECT_EQ(l.direction, 0);
  EXPECT_EQ(p.state, SLOT_ALIVE);
  EXPECT_EQ(enemiesDestroyed, 0);
  steps(20);
  EXPECT_EQ(l.state, SLOT_FREE) << "gone when its animation has played";

  // Near the ship a closed pod opens and holds its fire for 40 steps; a laser destroys it.
  EXPECT_EQ(p.open, 0);
  shipY = 20.0;
  step();
  EXPECT_EQ(p.open, 1);
  EXPECT_EQ(p.fireCooldown, 40);
  const uint16_t before = score;
  l.state = SLOT_ALIVE;
  l.direction = 1;
  PlaceObject(l.object, objects[p.object].x - 5 - shipVelocityX, objects[p.object].y + 10, pz);
  step();
  EXPECT_EQ(p.state, SLOT_EXPLODING);
  EXPECT_EQ(score, before + 200);
  EXPECT_EQ(enemiesDestroyed, 1);
  EXPECT_EQ(l.state, SLOT_FREE);
}

TEST_F(Enemies, OpenPodFiresThreeShotsAndCloses) {
  start(2);
  open_play();
  clear_scene();
  invulnerable = 1;
  EnemySlot& p = pods[0];
  p.state = SLOT_ALIVE;
  p.lane = lane;
  PlaceObject(p.object, shipX + 150, shipY, shipZ);
  steps(41);
  EXPECT_EQ(p.open, 1);
  int shots = 0;
  for (const EnemyShot& s : enemyShots) {
    if (s.state != SLOT_ALIVE) continue;
    ++shots;
    EXPECT_EQ(s.velocityX, -2.0) << "the pod faces the ship at smaller x";
  }
  EXPECT_EQ(shots, 3);
  EXPECT_EQ(p.fireCooldown, 280);
  shipX = objects[p.object].x - 181 - 0.2;
  step();
  EXPECT_EQ(p.open, 0);
}

// A chaser in the ship's lane re-aims after max(30, 150 - 10 x level) steps.
TEST_F(Enemies, ChasersReAimByLevel) {
  for (const auto& [lv, hold] : {std::pair{12, 30}, std::pair{1, 140}}) {
    SCOPED_TRACE(lv);
    start(lv);
    open_play();
    clear_scene();
    invulnerable = 1;
    shipY = 100.0;
    EnemySlot& e = put_enemy(0, shipX + 600, 30.0, shipZ, 4);
    step();
    EXPECT_EQ(e.counter, hold);
    EXPECT_EQ(e.velocityX, -3.0);
    EXPECT_EQ(e.velocityY, 1.0);
    EXPECT_EQ(Facing(e.object), 0);
    shipX = objects[e.object].x + 300;  // the ship now lies ahead of it
    steps(hold);
    EXPECT_EQ(e.velocityX, -3.0) << "still on its old course";
    EXPECT_EQ(e.counter, 0);
    step();
    EXPECT_EQ(e.velocityX, 3.0);
    EXPECT_EQ(e.counter, hold);
    EXPECT_EQ(Facing(e.object), 1);
  }
}

TEST_F(Enemies, OutsideTheShipsLaneNoCollisionAndNoFire) {
  start(3);
  open_play();
  clear_scene();
  EnemySlot& e = put_enemy(0, shipX, shipY + 5, shipZ);
  e.lane = 2;  // standing on the ship but counted in another lane
  e.fireCooldown = 0;
  steps(5);
  EXPECT_EQ(shipExploding, 0);
  for (const EnemyShot& s : enemyShots) EXPECT_EQ(s.state, SLOT_FREE);
  e.lane = lane;
  step();
  EXPECT_EQ(shipExploding, 1);
  EXPECT_EQ(e.state, SLOT_EXPLODING);
}

TEST_F(Enemies, EnemiesStayInsideTheirLimits) {
  start(3);
  open_play();
  clear_scene();
  invulnerable = 1;
  EnemySlot& a = put_enemy(0, 2400.0, 250.0, shipZ - 750, 2);
  EnemySlot& b = put_enemy(1, 500.0, 1.0, shipZ - 750, 2);
  a.lane = b.lane = 3;
  step();
  EXPECT_EQ(+objects[a.object].x, 2309.0);
  EXPECT_EQ(+objects[b.object].x, 601.0);
  EXPECT_EQ(a.counter, 0);
  EXPECT_EQ(+objects[b.object].y, 20.0 + b.velocityY);
  EXPECT_EQ(+objects[a.object].y, 179.0 + a.velocityY);
}

TEST_F(Enemies, WalkersAreCollectedEvenWhenInvulnerable) {
  start(1);
  open_play();
  clear_scene();
  invulnerable = 1;
  Walker& w = walkers[1];
  w.state = SLOT_ALIVE;
  PlaceObject(w.object, shipX, 1.0, shipZ);
  shipY = 20.0;
  step();
  EXPECT_EQ(w.state, SLOT_FREE);
  EXPECT_EQ(score, 75);
  EXPECT_EQ(enemiesDestroyed, 0);
}

}  // namespace
