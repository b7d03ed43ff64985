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

  // One frame of the loop 20 ms after the last (a display refreshing at 50 Hz), with the game
  // steps of its two ticks.
  void Frame() {
    ZR_MSG msg;
    for (int pass = 0; pass < 100 && zr_peek_message(&msg, PM_NOREMOVE); ++pass) {
      int exitCode = -1;
      ASSERT_EQ(FrameLoopPass(&exitCode), 1);
    }
    zr_clock_advance(20);
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
      if (f % 250 == 0) hashes->push_back(Hash(frameBuffer));
    }
    FreeProgramAttractList();
  };
  std::vector<uint32_t> first, second;
  std::map<int, int> starts, ignored;
  run(30000, &first, &starts);  // 30 000 frames of 20 ms
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
  run(3000, &second, &ignored);
  EXPECT_EQ(zr_mem_block_count(), blocks) << "every entry released what it took";
  ASSERT_LE(second.size(), first.size());
  for (size_t i = 1; i < second.size(); ++i) EXPECT_EQ(first[i], second[i]) << "frame " << i * 250;
  std::remove("Warning.txt");
}

}  // namespace
