// Games and levels: level starts, the step's gate, extra lives, the level end and the transition,
// the final bonus, the end of a game and the [Setup] options.
#include "game_support.h"

namespace {

using namespace gtest_game;

class Levels : public GameTest {};

TEST_F(Levels, LevelStartLaysOutTheLevel) {
  start(1);
  EXPECT_EQ(enemiesTotal, 11);
  EXPECT_EQ(podCount, 0);
  EXPECT_EQ(shipX, kStartX);
  EXPECT_EQ(shipAppearing, 1);
  EXPECT_EQ(transitionTimer, 300.0);
  EXPECT_EQ(graceCounter, 290);
  EXPECT_EQ(camera_z, kStartZ + 280.0);
  EXPECT_TRUE(boxes().empty());
  steps(400, {RIGHT, FIRE});
  EXPECT_TRUE(boxes().empty()) << boxes().front();
}

}  // namespace
