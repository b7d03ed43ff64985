// Game frames drawn from the game folder's archive with the game's fonts and English messages:
// each status item changes only its own part of the frame when its value changes, and the
// scenes of a game (arrival, play with the scanner, extra life, level end, game over, the final
// bonus, high resolution) all draw. With ZR_STATUS_FRAMES=DIR set, every scene is also written
// there as a PCX picture to look at (zrtool pcx-to-png).
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/messages.h"
#include "app/startup.h"
#include "core_services.h"
#include "engine/core/random.h"
#include "engine/display/display.h"
#include "engine/display/palette.h"
#include "engine/display/snapshot.h"
#include "engine/ui/font.h"
#include "game/game_support.h"
#include "game/status.h"

namespace {

using namespace gtest_game;
namespace fs = std::filesystem;

class RealFrames : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = fs::current_path();
    if (!fs::exists(fs::path(ZR_GAME_DIR) / "VELDRAN.DAT"))
      GTEST_SKIP() << "no archive in " << ZR_GAME_DIR << " (built by the zr_content target)";
    if (const char* dir = std::getenv("ZR_STATUS_FRAMES")) outDir_ = fs::absolute(dir);
    fs::current_path(ZR_GAME_DIR);
    zrtest::start_core_services(&switch_, &config_, {.archiveName = "VELDRAN.DAT"});
    boxes().clear();
    zr_message_box_set_hook(capture_box);
    world_set_exit_handler(throw_exit);
    world_set_pauses(false);
    reset_engine_parameters();
    ResetPlayState();
    gameShellHooks = {};
    zr_clock_use_virtual(true);
    started_ = true;

    ASSERT_EQ(zr_dsp_init(), 1);
    frameBuffer = *zr_dsp_frame_buffer();
    char name[64];
    zr_io_get_string("Application", "PALFile", name, sizeof name, TEXTS_FILE);
    palette_ = zr_pal_load(name);
    ASSERT_NE(palette_, nullptr);
    zr_pal_set(palette_);
    const char* keys[] = {"FNTFile", "MAPFile", "MAPFileT", "MAPTrans", "MAPShips"};
    ZR_FONT* slots[] = {&mainFont, &mapFont, &mapTitleFont, &mapTransFont, &shipsFont};
    for (int i = 0; i < 5; ++i) {
      zr_io_get_string("Application", keys[i], name, sizeof name, TEXTS_FILE);
      ASSERT_EQ(zr_font_load(slots[i], name, ZR_FONT_TRIM), 1) << name;
    }
    SetStatusFonts(&mainFont, &mapFont, &mapTitleFont, &mapTransFont, &shipsFont);
    LoadLanguageMessages();
    ASSERT_NE(messageTable, nullptr);
    statusHooks.drawMessage = [](int n) { DrawMessage(messageTable, n); };
    statusHooks.creditsLine = nullptr;
    load_editing_font("data\\font.dat");
    backgroundOn = 1;
    hideMaps = 0;
    sevenLives = 1;
  }

  void TearDown() override {
    if (!started_) return;
    StopGame();
    statusHooks = {};
    SetStatusFonts(nullptr, nullptr, nullptr, nullptr, nullptr);
    FreeLanguageMessages();
    for (ZR_FONT* f : {&mainFont, &mapFont, &mapTitleFont, &mapTransFont, &shipsFont}) {
      zr_font_free(f);
      *f = ZR_FONT{};
    }
    free_editing_font();
    zr_pal_free(palette_);
    frameBuffer = ZR_BITMAP{};
    zr_dsp_free();
    zr_bitmap_scratch_free();
    ResetPlayState();
    zr_clock_use_virtual(false);
    zr_io_deinit();
    world_set_exit_handler(nullptr);
    zr_message_box_set_hook(nullptr);
    reset_engine_parameters();
    fs::current_path(old_);
  }

  void startLevel(int n) {
    NewGame();
    level = n;
    const std::string file = "level\\level" + std::to_string(n) + ".txt";
    ASSERT_EQ(exit_status(
                  [&] { StartLevel(file.c_str(), frameBuffer.width - 1, frameBuffer.height - 1); }),
              -1)
        << world_last_error();
  }
  void steps(int n) {
    for (int i = 0; i < n; ++i) {
      zr_clock_advance(10);
      GameStep();
    }
  }
  template <typename F>
  int exit_status(F&& f) {
    try {
      f();
    } catch (const WorldExit& e) {
      return e.status;
    }
    return -1;
  }

  // Draws the frame; keeps a copy and writes it out when pictures are asked for.
  std::vector<uint8_t> frame(const std::string& name) {
    frameBuffer = *zr_dsp_frame_buffer();
    DrawGameFrame();
    if (!outDir_.empty()) {
      fs::create_directories(outDir_);
      const std::string path = (outDir_ / (name + ".pcx")).string();
      EXPECT_EQ(zr_bitmap_save_pcx(&frameBuffer, path.c_str(), nullptr), 1) << path;
    }
    return std::vector<uint8_t>(
        frameBuffer.pixels, frameBuffer.pixels + size_t(frameBuffer.width) * frameBuffer.height);
  }

  // The bounding box (x, y, w, h) of the pixels that differ between two frames of 320 columns.
  static std::vector<int> changed(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    int left = 320, top = 200, right = -1, bottom = -1;
    for (size_t i = 0; i < a.size(); ++i) {
      if (a[i] == b[i]) continue;
      const int x = int(i % 320), y = int(i / 320);
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
    if (right < 0) return {};
    return {left, top, right - left + 1, bottom - top + 1};
  }
  static bool inside(const std::vector<int>& box, int x, int y, int w, int h) {
    return !box.empty() && box[0] >= x && box[1] >= y && box[0] + box[2] <= x + w &&
           box[1] + box[3] <= y + h;
  }

  bool started_ = false;
  int32_t switch_ = 0;
  ZR_IO_CONFIG config_{};
  uint8_t* palette_ = nullptr;
  fs::path old_, outDir_;
};

TEST_F(RealFrames, EachStatusItemChangesOnlyItsOwnPlace) {
  zr_srand(1);
  startLevel(1);
  steps(400);  // arrived: no message
  const auto play = frame("play");

  score = 12345;
  const auto scored = frame("score");
  EXPECT_TRUE(inside(changed(play, scored), 5, 6, 50, 10)) << "the score in its box";

  score = 0;
  lives = 3;
  const auto fewerLives = frame("lives");
  const ZR_RECT& livesRect = messageTable->messages[17]->rect;
  EXPECT_TRUE(inside(changed(play, fewerLives), livesRect.x, livesRect.y, livesRect.w, livesRect.h))
      << "the lives in message 18's rectangle";
  lives = 7;

  hideMaps = 1;
  const auto noScanner = frame("no-scanner");
  EXPECT_TRUE(inside(changed(play, noScanner), 0, 27, 320, 173))
      << "the scanner and the cockpit, below the panel";
  hideMaps = 0;
  frame("play");  // the cockpit in front again

  extraLifeTimer = 50.0;
  const auto extra = frame("extra-life");
  EXPECT_FALSE(changed(play, extra).empty());
  extraLifeTimer = 0.0;
  EXPECT_TRUE(boxes().empty());
}

TEST_F(RealFrames, TheScenesOfAGameDraw) {
  zr_srand(1);
  startLevel(1);
  steps(20);
  const auto arriving = frame("arriving");
  steps(400);
  EndLevelNow();
  steps(30);
  ASSERT_EQ(levelEnding, 1);
  const auto ending = frame("level-end");
  EXPECT_FALSE(changed(arriving, ending).empty());
  level = 19;
  frame("level-19-end");

  startLevel(20);
  steps(10);
  EndLevelNow();
  steps(20);
  ASSERT_EQ(gameOver, 1);
  ASSERT_EQ(finalBonusGiven, 1);
  frame("final-bonus");  // congratulations while graceCounter is above 300
  graceCounter = 200;
  frame("final-bonus-game-over");
  paused = 1;
  frame("paused");
  paused = 0;
  EXPECT_TRUE(boxes().empty());
}

TEST_F(RealFrames, HighResolutionScalesTheStatusDisplay) {
  zr_dsp_set_screen_size(1280, 1024);
  zr_dsp_resize(zr_dsp_frame_buffer(), nullptr, 320, 200);
  frameBuffer = *zr_dsp_frame_buffer();
  ASSERT_EQ(frameBuffer.width, 640);
  zr_srand(1);
  startLevel(1);
  steps(200);
  frame("high-resolution");
  EXPECT_EQ(LaneMap(3).x, 434);
  EXPECT_TRUE(boxes().empty());
}

}  // namespace
