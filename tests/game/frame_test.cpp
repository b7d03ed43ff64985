// The game's world frame: drawn only while a game runs, into the frame buffer at its current
// size, over the background or a cleared world area; the cockpit placed by the game step.
#include <cstring>

#include "engine/display/display.h"
#include "game_support.h"
#include "world/background.h"

namespace {

using namespace gtest_game;

class Frame : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_EQ(zr_dsp_init(), 1);
    frame_ = zr_dsp_frame_buffer();
    size_ = size_t(frame_->width) * frame_->height;
  }
  void TearDown() override {
    StopGame();
    free_engine();
    zr_dsp_free();
    GameTest::TearDown();
  }
  int count(uint8_t value) const {
    int n = 0;
    for (size_t i = 0; i < size_; ++i) n += frame_->pixels[i] == value;
    return n;
  }
  ZR_BITMAP* frame_ = nullptr;
  size_t size_ = 0;
};

TEST_F(Frame, NothingIsDrawnWithoutAGame) {
  std::memset(frame_->pixels, 0xAB, size_);
  DrawGameWorld();
  EXPECT_EQ(count(0xAB), int(size_));
}

TEST_F(Frame, TheWorldAreaIsClearedAndTheObjectsDrawnAtTheFramesSize) {
  // Started for a larger view than the frame now has: the frame's own size is used.
  NewGame();
  ASSERT_EQ(exit_status([] { StartLevel("level\\level1.txt", 639, 399); }), -1);
  std::memset(frame_->pixels, 0xAB, size_);
  backgroundOn = 0;
  DrawGameWorld();
  EXPECT_EQ(count(0xAB), 0);
  EXPECT_EQ(view_max_x, frame_->width - 1);
  EXPECT_EQ(view_max_y, frame_->height - 1);
  EXPECT_GT(count(7) + count(9), 0) << "the ship and the enemies in view";
}

TEST_F(Frame, CockpitStandsInFrontOnlyWhileTheScannerShows) {
  start(1);
  hideMaps = 0;
  step();
  EXPECT_DOUBLE_EQ(+objects[cockpitObjects[0]].z, camera_z - 152.0);
  EXPECT_DOUBLE_EQ(+objects[cockpitObjects[1]].y, camera_y - 102.0);
  hideMaps = 1;
  step();
  EXPECT_DOUBLE_EQ(+objects[cockpitObjects[0]].z, camera_z + 100.0);
  attractPlaying = 1;
  lives = 1;
  step();
  EXPECT_DOUBLE_EQ(+objects[cockpitObjects[0]].z, camera_z - 152.0) << "a demo shows the scanner";
}

}  // namespace
