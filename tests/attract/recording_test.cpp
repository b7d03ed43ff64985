// The readers of the attract sequence without the program: demo recordings, their replay by the
// game's step counter, the names that tie a demo's level to its recording, and the list's timing
// from the clock's first millisecond.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "app/attract.h"
#include "app/recorder.h"
#include "core_services.h"
#include "engine/core/fileio.h"
#include "engine/input/player.h"
#include "engine/platform/clock.h"
#include "engine/platform/message_box.h"

namespace {

std::unique_ptr<DemoRecording> Parse(const std::string& text) {
  auto recording = std::make_unique<DemoRecording>();
  ParseDemoRecording(text, recording.get());
  return recording;
}

// The eight control bytes of a step, in the order of a recording's line.
std::string Replayed(const DemoRecording& recording, int step) {
  uint8_t controls[8];
  for (uint8_t& c : controls) c = 9;
  ReplayDemoStep(recording, step, controls);
  std::string line;
  for (int control : {ZR_BUTTON4, ZR_RIGHT, ZR_LEFT, ZR_UP, ZR_DOWN, ZR_BUTTON1, ZR_BUTTON2})
    line += char('0' + controls[control]);
  EXPECT_EQ(controls[ZR_BUTTON3], 0) << "button 3 is not part of a recording";
  return line;
}

TEST(RecordingTest, LineKDrivesStepKAndEverythingElseIsReleased) {
  auto rec = Parse("1 0 0 0 0 0 0 \n0 1 0 0 0 0 1 \r\n0 0 1 1 0 1 0\n");
  EXPECT_EQ(rec->lines, 3);
  EXPECT_EQ(Replayed(*rec, 0), "0000000") << "no step 0";
  EXPECT_EQ(Replayed(*rec, 1), "1000000");
  EXPECT_EQ(Replayed(*rec, 2), "0100001");
  EXPECT_EQ(Replayed(*rec, 3), "0011010");
  EXPECT_EQ(Replayed(*rec, 4), "0000000") << "past the last line";
  // The step counter runs on to 32 000, past the arrays' 20 000 entries: released, not read.
  EXPECT_EQ(Replayed(*rec, DEMO_STEPS), "0000000");
  EXPECT_EQ(Replayed(*rec, 32000), "0000000");
  EXPECT_EQ(Replayed(*rec, -5), "0000000");
}

TEST(RecordingTest, MalformedLinesAreReleasedStepsAndTheRestStillCounts) {
  struct Case {
    const char* line;
    const char* flags;
  } cases[] = {
      {"1 1 1 1 1 1 1", "1111111"},   {"1 1 1", "0000000"},
      {"x 1 1 1 1 1 1", "0000000"},   {"", "0000000"},
      {"7 -1 0 0 0 0 0", "1100000"},  {"  1\t0 0 0 0 0 1", "1000001"},
      {"1 0 0 0 0 0 0 9", "1000000"},
  };
  for (const Case& c : cases) {
    auto rec = Parse(std::string(c.line) + "\n1 0 0 0 0 0 1\n");
    EXPECT_EQ(Replayed(*rec, 1), c.flags) << '"' << c.line << '"';
    EXPECT_EQ(Replayed(*rec, 2), "1000001") << "the next line keeps its step";
  }
}

TEST(RecordingTest, LongLinesComeInPiecesAndOnly5000LinesAreRead) {
  // A line of 300 characters is read as two: the first 255, then the rest.
  std::string text = "1 1 1 1 1 1 1" + std::string(287, ' ') + "\n0 0 0 0 0 0 1\n";
  auto rec = Parse(text);
  EXPECT_EQ(rec->lines, 3);
  EXPECT_EQ(Replayed(*rec, 1), "1111111");
  EXPECT_EQ(Replayed(*rec, 3), "0000001");

  std::string many;
  for (int i = 0; i < DEMO_LINES + 50; ++i) many += i % 2 ? "0 1 0 0 0 0 0 \n" : "1 0 0 0 0 0 0 \n";
  rec = Parse(many);
  EXPECT_EQ(rec->lines, DEMO_LINES);
  EXPECT_EQ(Replayed(*rec, DEMO_LINES), "0100000");
  EXPECT_EQ(Replayed(*rec, DEMO_LINES + 1), "0000000");
}

TEST(RecordingTest, TheRecordersLinesReadBackAsTheSameControls) {
  std::string text;
  uint8_t steps[3][8] = {
      {0, 0, 0, 1, 0, 0, 0, 1}, {1, 0, 1, 0, 1, 0, 0, 0}, {0, 1, 0, 0, 0, 1, 1, 0}};
  for (const auto& controls : steps) text += RecordingLine(controls);
  EXPECT_EQ(text.substr(0, 15), "1 1 0 0 0 0 0 \n") << "fire, right, left, up, down, b1, b2";
  auto rec = Parse(text);
  for (int s = 0; s < 3; ++s) {
    uint8_t controls[8] = {};
    ReplayDemoStep(*rec, s + 1, controls);
    for (int c = 0; c < 8; ++c) EXPECT_EQ(controls[c], c == ZR_BUTTON3 ? 0 : steps[s][c]) << s;
  }
}

TEST(RecordingTest, ADemoLevelNamesItsRecording) {
  struct Case {
    const char* file;
    int level;
  } cases[] = {{"level\\level9.txt", 9},    {"LEVEL\\LEVEL8.TXT", 8}, {"level/level20.txt", 20},
               {"level\\level.txt", 0},     {"level9\\x.txt", 0},     {"", 0},
               {"level\\level12345.txt", 0}};
  for (const Case& c : cases) EXPECT_EQ(LevelNumberOfFile(c.file), c.level) << c.file;
  char name[32];
  DemoRecordingName(9, name, sizeof name);
  EXPECT_STREQ(name, "data\\deml1.txt");
  DemoRecordingName(8, name, sizeof name);
  EXPECT_STREQ(name, "data\\deml8.txt");
}

}  // namespace

namespace {

int CountBox(const char*, const char*, uint32_t) {
  return 1;
}

// The millisecond counter reads 0 when the virtual clock starts: an entry started then is not
// taken for "none started yet" (it runs its time once, and is not started again).
TEST(AttractClockTest, AnEntryStartedAtMillisecondZeroRunsItsTimeOnce) {
  zr_clock_use_virtual(true);
  if (zr_get_tick_count() != 0) GTEST_SKIP() << "the clock has run in this process already";
  static int32_t reportSwitch = 0;
  static ZR_IO_CONFIG config{};
  zrtest::start_core_services(&reportSwitch, &config, {.order = zrtest::CoreOrder::ListFirst});
  zr_message_box_set_hook(CountBox);
  char folder[] = "/tmp/zr_attract_XXXXXX";
  ASSERT_NE(::mkdtemp(folder), nullptr);
  const std::string file = std::string(folder) + "/demos.txt";
  std::FILE* out = std::fopen(file.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fputs(
      "[Demos]\r\nNbDemos=2\r\nDemo_01=a\r\nType_01=9\r\nTime_01=50\r\n"
      "Demo_02=b\r\nType_02=9\r\nTime_02=50\r\n",
      out);
  std::fclose(out);
  AttractList* list = LoadAttractList(file.c_str(), "Demos");
  ASSERT_NE(list, nullptr);
  AttractStep(list);
  EXPECT_EQ(list->started, 1);
  EXPECT_EQ(list->startTime, 0u);
  for (int ms = 10; ms <= 50; ms += 10) {
    zr_clock_advance(10);
    AttractStep(list);
    EXPECT_EQ(list->current, 0) << ms << " ms";
    EXPECT_EQ(list->startTime, 0u) << "not started again at " << ms << " ms";
  }
  zr_clock_advance(10);
  AttractStep(list);
  EXPECT_EQ(list->current, 1);
  EXPECT_EQ(list->startTime, 60u);
  FreeAttractList(list);
  EXPECT_EQ(zr_mem_block_count(), 0);
  std::remove(file.c_str());
  ::rmdir(folder);
  zr_message_box_set_hook(nullptr);
  zr_io_deinit();
  zr_mem_deinit();
  zr_clock_use_virtual(false);
}

}  // namespace
