// The attract sequence inside the program, in-process on the real data: attract lists written by
// the tests, stepped frame by frame on the virtual clock as the frame loop steps them.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/attract.h"
#include "app/frame_loop.h"
#include "app/game_shell.h"
#include "app/screens.h"
#include "app/startup.h"
#include "engine/core/memory.h"
#include "engine/display/palette.h"
#include "engine/display/snapshot.h"
#include "engine/platform/clock.h"
#include "engine/platform/keys.h"
#include "engine/platform/message_box.h"
#include "engine/platform/messages.h"
#include "engine/sound/music.h"
#include "game/game.h"
#include "game/game_state.h"
#include "game/play_state.h"
#include "replay/replay_support.h"

namespace {

struct Entry {
  std::string name;
  int type;
  int time;
};

// An attract list file; a null name leaves its Demo_NN key out.
void WriteList(const std::string& file, const std::vector<Entry>& entries) {
  std::string text = "[Demos]\r\nNbDemos=" + std::to_string(entries.size()) + "\r\n";
  for (size_t i = 0; i < entries.size(); ++i) {
    char n[24];
    std::snprintf(n, sizeof n, "%02d", int(i + 1));
    if (!entries[i].name.empty()) text += std::string("Demo_") + n + "=" + entries[i].name + "\r\n";
    text += std::string("Type_") + n + "=" + std::to_string(entries[i].type) + "\r\n";
    text += std::string("Time_") + n + "=" + std::to_string(entries[i].time) + "\r\n";
  }
  replay::WriteFile(file, text);
}

std::vector<std::string> warnings;
int CaptureBox(const char* text, const char*, uint32_t) {
  warnings.push_back(text);
  return IDOK;
}

std::vector<std::string> overlaysOpened;
int overlaysClosed = 0;
int FakeOpenOverlay(const char* file) {
  overlaysOpened.push_back(file);
  return 0;
}
void FakeCloseOverlay() {
  ++overlaysClosed;
}

uint32_t Hash(const ZR_BITMAP& frame) {
  uint32_t h = 2166136261u;
  const size_t size = size_t(frame.width) * size_t(frame.height);
  for (size_t i = 0; i < size; ++i) h = (h ^ frame.pixels[i]) * 16777619u;
  return h;
}

class AttractRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.path().empty());
    StartOptions options;
    options.headless = true;
    options.virtualClock = true;
    testing::internal::CaptureStderr();
    ASSERT_EQ(StartUp(options), 1) << StartUpError();
    // The program's own list is loaded and playing; the tests play theirs.
    ASSERT_NE(attractList, nullptr);
    EXPECT_EQ(attractPlaying, 1);
    FreeProgramAttractList();
    HideCurrentMenu();  // the main menu opened at start-up would hold every demo still
    warnings.clear();
    overlaysOpened.clear();
    overlaysClosed = 0;
    zr_message_box_set_hook(CaptureBox);
    attractScreenHooks = {FakeOpenOverlay, FakeCloseOverlay};
  }
  void TearDown() override {
    attractScreenHooks = {};
    zr_message_box_set_hook(nullptr);
    zr_keys_release_all();
    AppMessageHandler(WM_CLOSE, 0, 0);
    int exitCode = -1;
    while (FrameLoopPass(&exitCode)) {
    }
    testing::internal::GetCapturedStderr();
    const ShutDownReport& report = LastShutDown();
    EXPECT_TRUE(report.done);
    EXPECT_EQ(report.filesOpen, 0);
    EXPECT_EQ(report.memoryBlocks, 0);
    zr_clock_use_virtual(false);
    zr_clear_messages();
    ResetAppState();
  }

  // The program plays this list from now on, as start-up makes it play.
  void Play(const std::vector<Entry>& entries) {
    WriteList("attract.txt", entries);
    attractList = LoadAttractList("attract.txt", "Demos");
    ASSERT_NE(attractList, nullptr);
    attractPlaying = attractList->playing;
  }

  // One frame of the loop frameMs_ after the last (20 ms: a display refreshing at 50 Hz), with
  // the game steps of the ticks that passed.
  void Frame() {
    ZR_MSG msg;
    for (int pass = 0; pass < 100 && zr_peek_message(&msg, PM_NOREMOVE); ++pass) {
      int exitCode = -1;
      ASSERT_EQ(FrameLoopPass(&exitCode), 1);
    }
    zr_clock_advance(frameMs_);
    if (FrameIsDue()) RunFrame();
  }
  void Frames(int count) {
    for (int i = 0; i < count; ++i) Frame();
  }
  // Frames until the list's current entry is `index` (at most `limit`).
  void FramesUntilEntry(int index, int limit = 20000) {
    for (int i = 0; i < limit && attractList->current != index; ++i) Frame();
    ASSERT_EQ(attractList->current, index);
  }

  replay::GameFolder dir_;
  uint32_t frameMs_ = 20;
};

// Ten minutes of a list with every entry type, an absent entry and an invalid type: each entry
// plays its time in turn, over and over; a second run gives the same frames; nothing is left.
TEST_F(AttractRunTest, TenMinutesOverEveryEntryTypeAreRepeatableAndLeaveNothing) {
  const std::vector<Entry> list = {{"snd\\title.s3m", 1, 0},
                                   {"data\\attract\\TITLE.PCX", 2, 20000},
                                   {"data\\attract\\TARGETS.PCX", 3, 3000},
                                   {"level\\level9.txt", 4, 4000},
                                   {"invalid", 7, 30},
                                   {"snd\\title.s3m", 1, 0},
                                   {"", 2, 1000},
                                   {"data\\attract\\GRASS.PCX", 2, 20000},
                                   {"level\\level8.txt", 4, 4000},
                                   {"data\\attract\\CITY.PCX", 2, 10000}};
  auto run = [&](int frames, std::vector<uint32_t>* hashes, std::map<int, int>* starts) {
    warnings.clear();
    Play(list);
    EXPECT_EQ(warnings, std::vector<std::string>{"Sorry, I can't find key Demo_07 in attract.txt"});
    warnings.clear();
    int last = -1;
    bool wasStarted = false;
    for (int f = 0; f < frames; ++f) {
      Frame();
      if (f == 0) {
        EXPECT_EQ(attractList->started, 1) << "the first entry starts at once";
      }
      const bool fresh = attractList->started && (!wasStarted || attractList->current != last);
      if (fresh) ++(*starts)[attractList->current];
      last = attractList->current;
      wasStarted = attractList->started;
      if (f % 100 == 0) hashes->push_back(Hash(frameBuffer));
    }
    FreeProgramAttractList();
  };
  std::vector<uint32_t> first, second;
  std::map<int, int> starts, ignored;
  frameMs_ = 50;                // 20 frames a second keep ten minutes quick to run
  run(12000, &first, &starts);  // 12 000 frames of 50 ms
  const int blocks = zr_mem_block_count();
  // The cycle: 0 + 20 + 3 + up to 4 + 0.03 + 0 + 20 + up to 4 + 10 seconds.
  const int cycles = starts[1];
  EXPECT_GE(cycles, 9);
  EXPECT_LE(cycles, 11);
  EXPECT_EQ(starts.count(6), 0u) << "the absent entry never runs";
  for (int entry : {0, 2, 3, 4, 5, 7, 8, 9}) EXPECT_NEAR(starts[entry], cycles, 1) << entry;
  EXPECT_NEAR(starts[2], cycles, 1) << "an overlay that does not open still takes its time";
  EXPECT_NEAR(double(overlaysOpened.size()), cycles, 1);
  // The invalid type warns on its start, its frames and its end.
  ASSERT_FALSE(warnings.empty());
  for (const std::string& w : warnings) EXPECT_EQ(w, "Invalid demo type");
  EXPECT_GE(int(warnings.size()), 3 * cycles);
  EXPECT_EQ(gameRunning, 0);

  // The first minute again: the same frames (after the first, which shows what was there), and
  // no more blocks held than after the first run (shut-down checks that none is left at all).
  run(1200, &second, &ignored);
  EXPECT_EQ(zr_mem_block_count(), blocks) << "every entry released what it took";
  ASSERT_LE(second.size(), first.size());
  for (size_t i = 1; i < second.size(); ++i) EXPECT_EQ(first[i], second[i]) << "frame " << i * 100;
  std::remove("Warning.txt");
}

// Two music entries with the same name: the second does not start the music again.
TEST_F(AttractRunTest, TheSameMusicTwiceIsNotStartedAgain) {
  Play({{"snd\\title.s3m", 1, 0},
        {"snd\\title.s3m", 1, 0},
        {"snd\\grass.s3m", 1, 0},
        {"data\\attract\\TITLE.PCX", 2, 100000}});
  Frame();
  const ZR_MUSIC* first = zr_music_current();
  EXPECT_STREQ(attractList->currentMusic, "snd\\title.s3m");
  Frame();
  EXPECT_EQ(attractList->current, 1);
  EXPECT_EQ(zr_music_current(), first) << "not loaded again";
  Frame();
  EXPECT_EQ(attractList->current, 2);
  EXPECT_STREQ(attractList->currentMusic, "snd\\grass.s3m");
  if (first) {
    EXPECT_NE(zr_music_current(), first) << "another music replaces it";
  }
}

// Overlays while a menu is shown, and entries the file does not name, are passed over; when no
// entry can run, one round of the list per frame is all that is tried.
TEST_F(AttractRunTest, EntriesThatCannotRunArePassedOverOnceRoundTheListPerFrame) {
  Play({{"data\\attract\\TARGETS.PCX", 3, 1000},
        {"", 2, 1000},
        {"data\\attract\\GRASS.PCX", 3, 1000}});
  warnings.clear();
  menuShown = 1;
  Frame();
  EXPECT_EQ(attractList->started, 0);
  EXPECT_EQ(attractList->current, 0) << "back where it began after one round";
  EXPECT_TRUE(overlaysOpened.empty());
  menuShown = 0;
  Frame();
  EXPECT_EQ(attractList->started, 1);
  EXPECT_EQ(overlaysOpened, std::vector<std::string>{"data\\attract\\TARGETS.PCX"});
  FramesUntilEntry(2);
  EXPECT_EQ(overlaysOpened.size(), 2u) << "entry 2 (absent) was passed over";
  EXPECT_EQ(overlaysClosed, 0) << "the fake overlay never opened";
  EXPECT_EQ(overlayState, 0);
}

// A picture brings its own colours; the game's come back at its end.
TEST_F(AttractRunTest, APicturesEndBringsBackTheGamePalette) {
  static uint8_t red[768];
  for (int i = 0; i < 256; ++i) red[i * 3] = 255;
  ZR_BITMAP picture = {};
  ZR_RECT rect = {0, 0, 32, 20};
  ASSERT_EQ(zr_bitmap_create(&picture, &rect), 1);
  std::memset(picture.pixels, 7, 32 * 20);
  picture.palette = red;
  ASSERT_EQ(zr_bitmap_save_pcx(&picture, "red.pcx", nullptr), 1);
  picture.palette = nullptr;
  zr_bitmap_free(&picture);

  Play({{"red.pcx", 2, 500}, {"data\\attract\\TITLE.PCX", 3, 100000}});
  Frame();
  ASSERT_EQ(attractList->current, 0);
  EXPECT_EQ(zr_pal_current()[0], 255) << "the picture's palette";
  EXPECT_EQ(frameBuffer.pixels[0], 7) << "the picture stretched over the frame";
  FramesUntilEntry(1);
  EXPECT_EQ(std::memcmp(zr_pal_current(), palette, 768), 0) << "the game palette again";
}

// The end of a game without a high score restarts the list at its first entry, which starts
// afresh: it is shown for its whole time, and nothing that was never loaded is released.
TEST_F(AttractRunTest, AfterAGameTheListStartsAfreshFromItsFirstEntry) {
  Play({{"data\\attract\\TITLE.PCX", 2, 3000},
        {"data\\attract\\GRASS.PCX", 2, 3000},
        {"data\\attract\\CITY.PCX", 2, 3000}});
  FramesUntilEntry(1);
  const uint32_t grass = Hash(frameBuffer);
  Frames(5);
  StartGameAtLevel(2);  // stops the sequence: the picture is released
  EXPECT_EQ(attractPlaying, 0);
  EXPECT_EQ(attractList->started, 0);
  gameOver = 1;  // the game ends with its last ship
  StopGame();
  Frames(400);  // time passes in the menus
  StartAttract(attractList);
  EXPECT_EQ(attractList->current, 0);
  EXPECT_EQ(attractList->started, 1);
  Frame();
  const uint32_t title = Hash(frameBuffer);
  EXPECT_NE(title, grass);
  Frames(140);  // 2.8 s: still the first entry
  EXPECT_EQ(attractList->current, 0);
  EXPECT_EQ(Hash(frameBuffer), title);
  Frames(20);
  EXPECT_EQ(attractList->current, 1);

  // Leaving a game that is not over starts again the entry it interrupted.
  StopAttract(attractList);
  gameOver = 0;
  StartAttract(attractList);
  EXPECT_EQ(attractList->current, 1);
  Frame();
  EXPECT_EQ(Hash(frameBuffer), grass);
}

// A demo plays the level that its entry names with that level's recording, whatever the demos
// before it, and ends with its level: no new demo game starts behind it.
TEST_F(AttractRunTest, ADemoPlaysItsEntrysLevelAndEndsWithIt) {
  Play({{"level\\level8.txt", 4, 600000}, {"data\\attract\\TITLE.PCX", 2, 100000}});
  for (int toggle : {0, 1}) {
    demoLevelToggle = toggle;
    attractList->current = 0;
    StartAttract(attractList);
    EXPECT_EQ(attractEntryType, 4);
    EXPECT_EQ(gameRunning, 1);
    EXPECT_EQ(level, 8) << "toggle " << toggle;
    EXPECT_EQ(lives, 1);
    StopAttract(attractList);
    EXPECT_EQ(gameRunning, 0);
  }
  attractList->current = 0;
  StartAttract(attractList);
  Frames(200);  // 400 steps: the arrival is over and the recording steers
  EXPECT_GT(score, 0) << "the recording fires";
  const int32_t steps = stepCounter;
  EndLevelNow();
  Frames(90);  // the level end's 200 steps pass: the demo ends with them
  EXPECT_EQ(level, 8);
  EXPECT_GE(stepCounter, steps + 170) << "no new demo game restarted its steps";
  Frames(30);
  EXPECT_EQ(attractList->current, 1);
  EXPECT_EQ(gameRunning, 0);
}

// Any key while the sequence plays under no menu opens the main menu over it; the sequence goes
// on under the menu.
TEST_F(AttractRunTest, AKeyDuringTheSequenceOpensTheMainMenu) {
  Play({{"data\\attract\\TITLE.PCX", 2, 100000}});
  Frames(25);  // the menus' delay between two events passes
  ASSERT_FALSE(CurrentMenuShown());
  zr_key_simulate("Space", true);
  Frames(2);
  zr_key_simulate("Space", false);
  Frames(2);
  EXPECT_TRUE(CurrentMenuShown());
  EXPECT_EQ(currentMenu, MENU_MAIN);
  EXPECT_EQ(attractPlaying, 1);
  EXPECT_EQ(attractList->started, 1);
}

}  // namespace
