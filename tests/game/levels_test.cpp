// Games and levels: level starts, the step's gate, extra lives, the level end and the transition,
// the final bonus, the end of a game, the shell's hooks and the [Setup] options.
#include "engine/core/keyfile.h"
#include "engine/core/random.h"
#include "game_support.h"

namespace {

using namespace gtest_game;

class Levels : public GameTest {};

TEST_F(Levels, LevelStartLaysOutTheLevelAndTheArrivalRunsOut) {
  start(1);
  EXPECT_EQ(enemiesTotal, 11);
  EXPECT_EQ(podCount, 0);
  EXPECT_EQ(lives, 7);
  EXPECT_EQ(shipX, kStartX);
  EXPECT_EQ(shipAppearing, 1);
  EXPECT_EQ(transitionTimer, 300.0);
  EXPECT_EQ(graceCounter, 290);
  EXPECT_EQ(camera_z, kStartZ + 280.0);
  int alive = 0;
  for (const Walker& w : walkers) alive += w.state == SLOT_ALIVE;
  EXPECT_EQ(alive, 5);
  invulnerable = 1;
  steps(290);
  EXPECT_EQ(graceCounter, 0) << "the grace counts down once per step of play";
  EXPECT_EQ(shipAppearing, 1);
  steps(10);
  EXPECT_EQ(transitionTimer, 0.0);
  EXPECT_EQ(shipAppearing, 0);
  EXPECT_TRUE(boxes().empty()) << boxes().front();
}

TEST_F(Levels, EnemiesHoldTheirFireUntilTheGraceRunsOut) {
  start(3);
  clear_scene();
  invulnerable = 1;
  transitionTimer = 0.0;
  graceCounter = 5;
  EnemySlot& e = put_enemy(0, shipX + 150, shipY, shipZ);
  e.fireCooldown = 0;
  auto shots = [] {
    int n = 0;
    for (const EnemyShot& s : enemyShots) n += s.state == SLOT_ALIVE;
    return n;
  };
  steps(4);
  EXPECT_EQ(shots(), 0);
  steps(2);
  EXPECT_EQ(shots(), 1);
}

TEST_F(Levels, AMissingLevelIsReportedAndNothingStarts) {
  write_text("level/level1.txt", "[Level]\r\nLevel_def=missing.def\r\nLevel_map=tiny.map\r\n");
  NewGame();
  EXPECT_EQ(exit_status([] { StartLevel("level\\level1.txt", 319, 199); }), -1);
  EXPECT_STREQ(world_last_error(), "Error: Error opening the level file : missing.def");
  EXPECT_EQ(gameRunning, 0);
  EXPECT_EQ(num_trans_tables, 0);
  steps(3);
  DrawGameWorld();
}

TEST_F(Levels, AMapWithoutAStartObjectIsReportedAndNothingStarts) {
  std::vector<Cell> cells(size_t(kColumns) * kRows);
  WorldObject none{};
  const int32_t saved = cell_size;
  cell_size = kCell;
  save_map("empty.map", cells.data(), kRows, kColumns, &none, 0);
  cell_size = saved;
  write_text("level/level1.txt", "[Level]\r\nLevel_def=tiny.def\r\nLevel_map=empty.map\r\n");
  NewGame();
  EXPECT_EQ(exit_status([] { StartLevel("level\\level1.txt", 319, 199); }), -1);
  EXPECT_STREQ(world_last_error(),
               "Error: No start object (type 100) in the level file : empty.map");
  EXPECT_EQ(gameRunning, 0);
  steps(3);
}

// The same seed and controls give the same run, step by step.
TEST_F(Levels, ARunIsRepeatable) {
  auto run = [this] {
    std::vector<uint32_t> trace;
    zr_srand(77);
    start(7);
    for (int s = 0; s < 900; ++s) {
      if (s < 300) {
        step();
      } else {
        step(
            {(s / 50) % 2 ? RIGHT : LEFT, s % 120 < 60 ? UP : DOWN, FIRE, (s / 200) % 2 ? B1 : B2});
      }
      trace.push_back(GameStateChecksum());
    }
    return trace;
  };
  const std::vector<uint32_t> a = run();
  const std::vector<uint32_t> b = run();
  size_t first = 0;
  while (first < a.size() && a[first] == b[first]) ++first;
  EXPECT_EQ(first, a.size()) << "the runs part at this step";
  EXPECT_GT(score, 0);
}

TEST_F(Levels, ThreeLevelStartsInARowReplaceTheTransparencyTables) {
  std::vector<uint8_t> tables(1 + 8 * size_t(TRANS_TABLE_SIZE));
  tables[0] = 8;
  for (size_t i = 1; i < tables.size(); ++i) tables[i] = uint8_t(i * 7);
  write_bytes("data/transp.tab", tables);
  start(1);
  const int blocks = zr_mem_block_count();
  for (int n = 2; n <= 3; ++n) {
    const std::string file = "level\\level" + std::to_string(n) + ".txt";
    ASSERT_EQ(exit_status([&] { StartLevel(file.c_str(), 319, 199); }), -1) << world_last_error();
    EXPECT_EQ(num_trans_tables, 8);
    EXPECT_EQ(zr_mem_block_count(), blocks);
    EXPECT_EQ(trans_tables[1][0], uint8_t((1 + TRANS_TABLE_SIZE) * 7));
  }
  EXPECT_TRUE(boxes().empty()) << boxes().front();
}

TEST_F(Levels, ExtraLivesAtTheThresholds) {
  struct Case {
    int before, after, lives;
  };
  const Case cases[] = {{2999, 3000, 0}, {2999, 3001, 1},  {2999, 7001, 2},
                        {0, 40001, 7},   {9999, 10000, 0}, {14999, 15001, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.before) + " -> " + std::to_string(c.after));
    start(1);
    score = uint16_t(c.before);
    step();
    const int livesBefore = lives;
    score = uint16_t(c.after);
    step();
    EXPECT_EQ(lives - livesBefore, c.lives);
    if (c.lives > 0) {
      EXPECT_EQ(extraLifeTimer, 99.0);
      EXPECT_EQ(graceCounter, 289);
    }
    step();
    EXPECT_EQ(lives - livesBefore, c.lives) << "each threshold gives its life once";
  }
}

TEST_F(Levels, AnOvershootingKillStillEndsTheLevelAndTheEndRunsWhilePaused) {
  start(1);
  EndLevelNow();
  enemiesDestroyed += 1;  // a kill in the step after Ctrl+Shift+L
  paused = 1;
  step();
  EXPECT_EQ(levelEnding, 1);
  EXPECT_EQ(transitionTimer, 199.0);
  steps(198);
  EXPECT_EQ(level, 1);
  step();
  EXPECT_EQ(level, 2);
  EXPECT_EQ(levelEnding, 0);
  EXPECT_EQ(enemiesDestroyed, 0);
  EXPECT_EQ(enemiesTotal, 12);
  EXPECT_EQ(transitionTimer, 300.0);
  EXPECT_EQ(graceCounter, 290);
  EXPECT_EQ(gameRunning, 1);
}

TEST_F(Levels, FinalBonusEndsTheGame) {
  struct Case {
    int before, after;
  };
  const Case cases[] = {{54999, 64999}, {55000, 55000}, {0, 10000}, {60000, 60000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.before);
    start(20);
    score = uint16_t(c.before);
    EndLevelNow();
    step();
    EXPECT_EQ(score, c.after);
    EXPECT_EQ(finalBonusGiven, 1);
    EXPECT_EQ(lives, 0) << "the game ends even with lives left";
    EXPECT_EQ(gameOver, 1);
    EXPECT_EQ(levelEnding, 0);
    EXPECT_EQ(graceCounter, 790);
    EXPECT_EQ(transitionTimer, 800.0);
  }
}

TEST_F(Levels, TheEndOfTheGameGoesToTheShellOnce) {
  static int ended = 0, bound = 0;
  static uint16_t endScore = 0;
  ended = bound = 0;
  gameShellHooks.endOfGame = [](uint16_t s) {
    ++ended;
    endScore = s;
  };
  gameShellHooks.setControlBindings = [] { ++bound; };
  start(1);
  EXPECT_EQ(bound, 1);
  open_play();
  clear_scene();
  lives = 1;
  thrustSoundOn = 1;
  put_enemy(0, shipX, shipY + 5, shipZ);  // rammed: the enemy's fifth above the ship's
  step();
  EXPECT_EQ(shipExploding, 1);
  EXPECT_EQ(lives, 0);
  EXPECT_EQ(score, 50);
  EXPECT_EQ(thrustSoundOn, 0);
  for (int i = 0; i < 50 && !gameOver; ++i) step();
  ASSERT_EQ(gameOver, 1);
  EXPECT_EQ(graceCounter, 290);
  steps(289);
  EXPECT_EQ(ended, 0);
  step();
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(endScore, 50);
  EXPECT_EQ(bound, 2);
  EXPECT_EQ(gameRunning, 0);
  steps(5);
  EXPECT_EQ(ended, 1);
}

TEST_F(Levels, ReplacedControlsInPlayAndInAGameplayDemo) {
  static int calls = 0;
  calls = 0;
  gameShellHooks.replaceControls = [](uint8_t* controls) {
    ++calls;
    controls[7] = 1;  // fire
  };
  start(1);
  open_play();
  clear_scene();
  step();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(score, 1) << "the replaced controls drive the ship";
  paused = 1;
  step();
  EXPECT_EQ(calls, 1) << "not while paused";
  paused = 0;
  attractPlaying = 1;
  lives = 2;
  step();
  EXPECT_EQ(calls, 1) << "a demo replays only with its one life";
  lives = 1;
  step();
  EXPECT_EQ(calls, 2);
}

TEST_F(Levels, GameplayDemosAlternateLevelsNineAndEight) {
  attractPlaying = 1;
  NewGame();
  EXPECT_EQ(level, 9);
  EXPECT_EQ(lives, 1);
  NewGame();
  EXPECT_EQ(level, 8);
  NewGame();
  EXPECT_EQ(level, 9);
}

TEST_F(Levels, LoopingSoundsStopAtPauseLevelEndAndStop) {
  start(2);
  open_play();
  step({RIGHT});
  EXPECT_EQ(thrustSoundOn, 1);
  paused = 1;
  step({RIGHT});
  EXPECT_EQ(thrustSoundOn, 1) << "kept to resume after the pause";
  paused = 0;
  ufoSoundOn = 1;
  EndLevelNow();
  step({RIGHT});
  EXPECT_EQ(levelEnding, 1);
  EXPECT_EQ(thrustSoundOn, 0);
  EXPECT_EQ(ufoSoundOn, 0);
  thrustSoundOn = 1;
  StopGame();
  EXPECT_EQ(thrustSoundOn, 0);
}

TEST_F(Levels, SetupKeysAreReadAndWrittenWithTheirInversions) {
  write_bytes("data/font.dat", std::vector<uint8_t>(EDIT_FONT_BLOCK, 0));
  struct Case {
    const char* text;
    int background, hide, seven, startLives;
  };
  const Case cases[] = {{"", 1, 1, 1, 7},
                        {"[Setup]\r\nBackground=0\r\nMaps=1\r\nLives=1\r\n", 0, 0, 0, 5},
                        {"[Setup]\r\nBackground=5\r\nMaps=0\r\nLives=0\r\n", 1, 1, 1, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    write_text("zrsentry.ini", c.text);
    SetupGame(319, 199);
    EXPECT_EQ(backgroundOn, c.background);
    EXPECT_EQ(hideMaps, c.hide);
    EXPECT_EQ(sevenLives, c.seven);
    NewGame();
    EXPECT_EQ(lives, c.startLives);
    hideMaps = !hideMaps;
    SaveSetup();
    int32_t maps = -1, livesKey = -1, background = -1;
    zr_io_get_int("Setup", "Maps", &maps, "zrsentry.ini");
    zr_io_get_int("Setup", "Lives", &livesKey, "zrsentry.ini");
    zr_io_get_int("Setup", "Background", &background, "zrsentry.ini");
    EXPECT_EQ(maps, c.hide ? 1 : 0);
    EXPECT_EQ(livesKey, c.seven ? 0 : 1);
    EXPECT_EQ(background, c.background);
  }
}

TEST_F(Levels, ChecksumFollowsTheState) {
  start(1);
  const uint32_t a = GameStateChecksum();
  EXPECT_EQ(GameStateChecksum(), a);
  step();
  const uint32_t b = GameStateChecksum();
  EXPECT_NE(b, a);
  score = uint16_t(score + 1);
  EXPECT_NE(GameStateChecksum(), b);
}

}  // namespace
