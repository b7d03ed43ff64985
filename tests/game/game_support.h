// Shared helpers of the game tests: a scratch start directory with the core services up, the
// warning box captured and the world engine's exit turned into an exception; a tiny level written
// by the test (a flat 62 x 40 world of 48-unit cells, every sprite the game creates, every
// animation it looks up, two frames each) behind the level files level1 to level20; and a
// virtual clock that moves 10 ms per game step.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "content/game_names.h"
#include "core_services.h"
#include "engine/core/fileio.h"
#include "engine/core/keyfile.h"
#include "engine/platform/clock.h"
#include "engine/platform/message_box.h"
#include "engine/platform/messages.h"
#include "game/game.h"
#include "game/game_state.h"
#include "game/play_state.h"
#include "pcx_fixture.h"
#include "world/edit_font.h"
#include "world/level_def.h"
#include "world/map.h"
#include "world/objects.h"
#include "world/renderer.h"
#include "world/transparency.h"
#include "world/world_error.h"
#include "world/world_support.h"

namespace gtest_game {

// The world tests' captured warning boxes and the world engine's exit as an exception.
using wtest::boxes;
using wtest::capture_box;
using wtest::throw_exit;
using wtest::WorldExit;

inline void write_bytes(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::filesystem::path p(name);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

inline void write_text(const std::string& name, const std::string& text) {
  write_bytes(name, std::vector<uint8_t>(text.begin(), text.end()));
}

// An uncompressed-looking PCX: every row one run of the colour, then a palette.
inline std::vector<uint8_t> flat_pcx(int w, int h, uint8_t colour) {
  std::vector<uint8_t> out = zrtest::pcx_header(0, 0, w - 1, h - 1, w);
  for (int y = 0; y < h; ++y) {
    out.push_back(static_cast<uint8_t>(0xC0 | w));
    out.push_back(colour);
  }
  out.push_back(12);
  for (int i = 0; i < 768; ++i) out.push_back(static_cast<uint8_t>(i));
  return out;
}

constexpr double kStartX = 1450.0, kStartY = 40.0, kStartZ = 1400.0;
constexpr int kColumns = 62, kRows = 40, kCell = 48;

// Template sizes (height, width) as the game's content has them.
struct Template {
  int code, height, width;
};
inline constexpr Template kTemplates[] = {
    {100, 38, 70}, {101, 34, 51}, {105, 17, 14},  {106, 6, 56},  {107, 11, 45}, {119, 16, 62},
    {121, 38, 24}, {122, 38, 73}, {124, 48, 259}, {125, 54, 40}, {127, 13, 13}, {133, 38, 56},
    {134, 44, 37}, {135, 51, 42}, {136, 31, 54},  {137, 51, 40}, {138, 48, 40}};

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zrtest::start_core_services(&switch_, &config_, {.settingsName = "zrsentry.ini"});
    zr_io_settings_path();  // kept by the file layer until it stops
    boxes().clear();
    zr_message_box_set_hook(capture_box);
    zr_clear_messages();
    world_set_exit_handler(throw_exit);
    world_set_pauses(false);
    reset_engine_parameters();
    ResetPlayState();
    gameShellHooks = {};
    sevenLives = 1;
    zr_clock_use_virtual(true);
    blocks_ = zr_mem_block_count();
    write_level();
  }

  void TearDown() override {
    StopGame();
    free_engine();
    free_transparency_tables();
    free_level();
    free_editing_font();
    zrtest::expect_nothing_left(blocks_);
    gameShellHooks = {};
    ResetPlayState();
    zr_clock_use_virtual(false);
    zr_io_deinit();
    world_set_exit_handler(nullptr);
    zr_message_box_set_hook(nullptr);
    zr_clear_messages();
    reset_engine_parameters();
  }

  // The tiny level and twenty level files that name it; an empty transparency file.
  void write_level() {
    write_bytes("s.pcx", flat_pcx(8, 8, 7));
    write_bytes("t.pcx", flat_pcx(8, 8, 9));
    std::string def =
        "@a 62\r\n@b 40\r\n@c 48\r\n@d 32\r\n@e 32\r\n@f 256\r\n^S = s.pcx\r\n"
        "^T = t.pcx\r\n";
    for (const char* name : kAnimations) def += std::string("<") + name + " = S, 2, T, 2\r\n";
    for (const Template& t : kTemplates)
      def += "&" + std::to_string(t.code) + " = S, " + std::to_string(t.height) + ", " +
             std::to_string(t.width) + ", 0, 0, 0, 0, 0, 0, 0, 0, 0\r\n";
    write_text("tiny.def", def);
    write_map("tiny.map");
    write_bytes("data/transp.tab", {0});
    for (int n = 1; n <= 20; ++n)
      write_text("level/level" + std::to_string(n) + ".txt",
                 "[Level]\r\nLevel_def=tiny.def\r\nLevel_map=tiny.map\r\nMusic=snd\\none.s3m\r\n");
  }

  static void write_map(const std::string& name) {
    std::vector<Cell> cells(size_t(kColumns) * kRows);
    for (Cell& c : cells) c.brightness = 15;
    std::vector<WorldObject> objs(2);
    objs[1].sprite = 100;
    objs[1].x = kStartX;
    objs[1].y = kStartY;
    objs[1].z = kStartZ;
    const int32_t saved = cell_size;
    cell_size = kCell;
    save_map(name.c_str(), cells.data(), kRows, kColumns, objs.data(), 1);
    cell_size = saved;
  }

  // Runs f; the exit status it ended with, or -1 when it returned.
  template <typename F>
  int exit_status(F&& f) {
    try {
      f();
    } catch (const WorldExit& e) {
      return e.status;
    }
    return -1;
  }

  // A new game at the given level, started as the menu starts one.
  void start(int levelNumber = 1) {
    NewGame();
    level = levelNumber;
    const std::string file = "level\\level" + std::to_string(levelNumber) + ".txt";
    ASSERT_EQ(exit_status([&] { StartLevel(file.c_str(), 319, 199); }), -1) << world_last_error();
    ASSERT_EQ(gameRunning, 1);
  }

  // One 10 ms game step with the given controls held (up, down, left, right, b1..b4).
  void step(std::initializer_list<int> held = {}) {
    for (uint8_t& c : playerControls) c = 0;
    for (int i : held) playerControls[i] = 1;
    zr_clock_advance(10);
    GameStep();
  }
  void steps(int n, std::initializer_list<int> held = {}) {
    for (int i = 0; i < n; ++i) step(held);
  }
  // Past the arrival: the ship can be steered and enemies may fire.
  void arrive() {
    steps(300);
    ASSERT_EQ(transitionTimer, 0.0);
  }
  // Play as after the arrival: steerable, boxes open, enemies free to fire.
  static void open_play() {
    transitionTimer = 0.0;
    shipAppearing = 0;
    graceCounter = 0;
  }
  // An enemy slot alive at (x, y, z) in the ship's lane, with the given kind, not firing yet.
  static EnemySlot& put_enemy(int slot, double x, double y, double z, int kind = 0) {
    EnemySlot& e = enemies[size_t(slot)];
    e.state = SLOT_ALIVE;
    e.lane = lane;
    e.kind = kind;
    e.counter = 0;
    e.fireCooldown = 10000;
    PlaceObject(e.object, x, y, z);
    return e;
  }
  // Every enemy, pod and walker out of the way, so that a test can set up its own scene.
  static void clear_scene() {
    for (EnemySlot& e : enemies) {
      e.state = SLOT_FREE;
      HideObject(e.object);
    }
    for (EnemySlot& p : pods) {
      p.state = SLOT_FREE;
      HideObject(p.object);
    }
    for (Walker& w : walkers) {
      w.state = SLOT_FREE;
      HideObject(w.object);
    }
  }

  static constexpr int UP = 0, DOWN = 1, LEFT = 2, RIGHT = 3, B1 = 4, B2 = 5, FIRE = 7;

  zrtest::ScratchFolder folder_{"zrgame"};
  int32_t switch_ = 0;
  ZR_IO_CONFIG config_{};
  int blocks_ = 0;
};

}  // namespace gtest_game
