// The twenty real levels from the game folder's archive: each starts without a single message
// from the world engine and plays a few hundred steps with the controls held in turn.
#include <filesystem>

#include "core_services.h"
#include "engine/core/random.h"
#include "game_support.h"

namespace {

using namespace gtest_game;
namespace fs = std::filesystem;

class RealLevels : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = fs::current_path();
    if (!fs::exists(fs::path(ZR_GAME_DIR) / "VELDRAN.DAT"))
      GTEST_SKIP() << "no archive in " << ZR_GAME_DIR << " (built by the zr_content target)";
    fs::current_path(ZR_GAME_DIR);
    zrtest::start_core_services(&switch_, &config_, {.archiveName = "VELDRAN.DAT"});
    boxes().clear();
    zr_message_box_set_hook(capture_box);
    zr_clear_messages();
    world_set_exit_handler(throw_exit);
    world_set_pauses(false);
    reset_engine_parameters();
    ResetPlayState();
    gameShellHooks = {};
    zr_clock_use_virtual(true);
    started_ = true;
  }
  void TearDown() override {
    if (!started_) return;
    StopGame();
    zr_clock_use_virtual(false);
    zr_io_deinit();
    world_set_exit_handler(nullptr);
    zr_message_box_set_hook(nullptr);
    zr_clear_messages();
    reset_engine_parameters();
    fs::current_path(old_);
  }
  bool started_ = false;
  int32_t switch_ = 0;
  ZR_IO_CONFIG config_{};
  fs::path old_;
};

TEST_F(RealLevels, EveryLevelStartsAndPlaysWithoutAMessage) {
  zr_srand(1);
  for (int n = 1; n <= 20; ++n) {
    SCOPED_TRACE("level " + std::to_string(n));
    NewGame();
    level = n;
    const std::string file = "level\\level" + std::to_string(n) + ".txt";
    int status = -1;
    try {
      StartLevel(file.c_str(), 319, 199);
      // Arrival, then thrust, climb, jet turns and fire in turn.
      for (int s = 0; s < 600; ++s) {
        for (uint8_t& c : playerControls) c = 0;
        if (s >= 300) {
          playerControls[(s / 40) % 6] = 1;
          playerControls[7] = 1;
        }
        zr_clock_advance(10);
        GameStep();
      }
    } catch (const WorldExit& e) {
      status = e.status;
    }
    ASSERT_EQ(status, -1) << world_last_error();
    ASSERT_TRUE(boxes().empty()) << boxes().front();
    EXPECT_EQ(gameRunning, 1);
    EXPECT_GT(enemiesTotal, 10);
    EXPECT_EQ(level, n);
  }
}

}  // namespace
