// The player's ship: thrust in both directions, jet turns at the lane limits, the rate of fire,
// the landscape loop and the ground clearance.
#include "game_support.h"

namespace {

using namespace gtest_game;

class Ship : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    start(1);
    open_play();
    clear_scene();
  }
};

TEST_F(Ship, BothThrustsHeldEndFacingMinusX) {
  ASSERT_EQ(Facing(shipObject), 0);
  step({RIGHT});
  EXPECT_EQ(Facing(shipObject), 1);
  EXPECT_EQ(turnCooldown, 40) << "a reversal";
  steps(40, {RIGHT});
  EXPECT_EQ(turnCooldown, 0);
  EXPECT_EQ(Facing(shipShadowObject), 0) << "the shadow carries the opposite flag";
  const double v = shipVelocityX;
  step({LEFT, RIGHT});
  EXPECT_EQ(Facing(shipObject), 0);
  EXPECT_EQ(Facing(shipShadowObject), 1);
  EXPECT_EQ(thrustingLeft, 1);
  EXPECT_EQ(thrustingRight, 1);
  EXPECT_NEAR(shipVelocityX, v, 1e-12) << "+0.04 then -0.04";
  EXPECT_EQ(turnCooldown, 40) << "the left thrust reversed the ship";
}

TEST_F(Ship, ThrustReachesTheSpeedLimitAndDecelerates) {
  steps(150, {RIGHT});
  EXPECT_NEAR(shipVelocityX, 4.0, 0.04 + 1e-9);
  EXPECT_LT(shipVelocityX, 4.0 + 0.04);
  const double v = shipVelocityX;
  step();
  EXPECT_NEAR(shipVelocityX, v - 0.01, 1e-12);
}

TEST_F(Ship, JetTurnsStopAtTheLaneLimits) {
  step({B2});
  EXPECT_EQ(laneChange, 0) << "no lane below lane 1";
  step({B1});
  EXPECT_EQ(laneChange, 1);
  EXPECT_EQ(targetLane, 2);
  steps(74, {B1});
  EXPECT_EQ(lane, 2);
  EXPECT_EQ(laneChange, 0);
  EXPECT_NEAR(shipZ, kStartZ - 375.0, 1e-9);
  EXPECT_EQ(graceCounter, 160) << "200 - 40 x level 1, set as the turn ends";
  lane = targetLane = 3;
  step({B1});
  EXPECT_EQ(laneChange, 0) << "no lane above lane 3";
  step({B2});
  EXPECT_EQ(laneChange, 2);
  steps(74);
  EXPECT_EQ(lane, 2);
}

TEST_F(Ship, JetTurnGraceHasAFloor) {
  level = 5;
  step({B1});
  steps(74);
  EXPECT_EQ(graceCounter, 20);
}

// Held fire gives one laser per 200 ms of the millisecond counter, less one ms per step while
// waiting: every 190 ms at 10 ms steps, every 170 ms at 5 ms steps.
TEST_F(Ship, FireRateFollowsTheClockNotTheSteps) {
  struct Case {
    uint32_t stepMs;
    int steps, lasers;
  };
  for (const Case c : {Case{10, 100, 6}, Case{5, 200, 6}, Case{10, 19, 1}, Case{10, 20, 2}}) {
    SCOPED_TRACE(c.stepMs);
    NewGame();
    ASSERT_EQ(exit_status([] { StartLevel("level\\level1.txt", 319, 199); }), -1);
    open_play();
    clear_scene();
    for (int i = 0; i < c.steps; ++i) {
      for (uint8_t& k : playerControls) k = 0;
      playerControls[FIRE] = 1;
      zr_clock_advance(c.stepMs);
      GameStep();
    }
    EXPECT_EQ(score, c.lasers) << "one point per laser";
  }
}

TEST_F(Ship, FiringAtTheScoreGuardAddsNothingAndAFullPoolFiresNothing) {
  score = 65000;
  step({FIRE});
  EXPECT_EQ(score, 65000);
  EXPECT_EQ(lasers[0].state, SLOT_ALIVE);
  EXPECT_EQ(lasers[0].direction, Facing(shipObject));
  EXPECT_NEAR(+objects[lasers[0].object].y, shipY + 12.0, 1e-9);
  score = 64999;
  for (Laser& l : lasers) l.state = SLOT_ALIVE;
  for (Laser& l : lasers) PlaceObject(l.object, shipX, shipY + 100, shipZ);
  zr_clock_advance(300);
  step({FIRE});
  EXPECT_EQ(score, 65000) << "the point is given without a free slot";
}

TEST_F(Ship, TheLandscapeLoops) {
  struct Case {
    double from, to;
  };
  for (const Case c :
       {Case{2410.0, 510.0}, Case{2500.0, 510.0}, Case{500.0, 2400.0}, Case{420.0, 2400.0}}) {
    SCOPED_TRACE(c.from);
    shipX = c.from;
    shipVelocityX = 0.0;
    warping = 0;
    step();
    EXPECT_NEAR(shipX, c.to, 0.011);  // the step's deceleration moves it by 0.01
    EXPECT_EQ(warping, 1);
  }
  shipX = 2409.0;
  warping = 0;
  step();
  EXPECT_EQ(warping, 0);
}

TEST_F(Ship, GroundClearanceExceptOverTheGateTiles) {
  const int row = int(shipZ) / kCell, column = int(shipX) / kCell;
  Cell& c = world[size_t(row) * kColumns + column];
  for (int16_t& h : c.up_face_heights) h = 100;
  for (int tile : {1, 42, 43}) {
    SCOPED_TRACE(tile);
    c.tile = int16_t(tile);
    shipY = 40.0;
    shipVelocityX = 0.0;
    step();
    EXPECT_EQ(shipY, tile == 1 ? 110.0 : 40.0);
  }
  // A ship outside the grid reads the nearest cell instead of memory beyond it.
  for (double z : {-5000.0, 50000.0}) {
    shipZ = z;
    step();
    EXPECT_EQ(shipZ, z);
  }
}

TEST_F(Ship, ClimbAndDescendWithinCeilingAndFloor) {
  shipY = 189.0;
  step({UP});
  EXPECT_EQ(shipY, 191.0);
  step({UP});
  EXPECT_EQ(shipY, 191.0);
  shipY = 11.0;
  step({DOWN});
  EXPECT_EQ(shipY, 10.0) << "9 is lifted back to the floor";
  step({DOWN});
  EXPECT_EQ(shipY, 10.0);
}

}  // namespace
