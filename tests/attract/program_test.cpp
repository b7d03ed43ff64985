// The recorder, the autopilot and the gameplay demo through the built program, headless on the
// virtual clock: a recording plays back as the same game, the demo's recording drives the demo
// from its step counter, and the autopilot finishes levels on its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "replay/replay_support.h"

namespace {

using replay::ParseTrace;
using replay::ReadFile;
using replay::RunGame;
using replay::TraceRow;

const std::string kHeadless = "--headless --virtual-clock ";

TEST(RecorderTest, ARecordedGamePlaysBackAsTheSameGame) {
  replay::GameFolder dir;
  ASSERT_FALSE(dir.path().empty());
  replay::Run made =
      RunGame(kHeadless + "--play 2 --autopilot --record rec.txt --trace made.trace --frames 1500");
  ASSERT_EQ(made.status, 0) << made.out;
  replay::Run played =
      RunGame(kHeadless + "--play 2 --input rec.txt --trace played.trace --frames 1500");
  ASSERT_EQ(played.status, 0) << played.out;
  const std::string recording = ReadFile("rec.txt");
  EXPECT_EQ(std::count(recording.begin(), recording.end(), '\n'), 1500);
  EXPECT_NE(recording.find("1 "), std::string::npos) << "the autopilot pressed something";
  const std::vector<TraceRow> trace = ParseTrace(ReadFile("made.trace"));
  ASSERT_EQ(trace.size(), 1500u);
  EXPECT_GT(trace.back().score, 0);
  EXPECT_EQ(ReadFile("played.trace"), ReadFile("made.trace"));
}

TEST(RecorderTest, AnUnwritableRecordingFailsTheRun) {
  replay::GameFolder dir;
  replay::Run run = RunGame(kHeadless + "--play 1 --record no/such/folder.txt --frames 5");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("cannot write the recording"), std::string::npos) << run.out;
}

// The demo of level 9 driven by its recording from the archive, and by the same file given as
// controls: the step counter and the lines count alike. The ship does not react to the
// recording before its arrival is over, though the recording counts on.
TEST(DemoTest, TheDemosRecordingDrivesItFromItsStepCounterAfterTheArrival) {
  replay::GameFolder dir;
  ASSERT_FALSE(dir.path().empty());
  replay::Run demo = RunGame(kHeadless + "--demo 9 --trace demo.trace --frames 800");
  ASSERT_EQ(demo.status, 0) << demo.out;
  const std::string deml1 = ReadFile(ZR_BUILD_DIR "/content/data/deml1.txt");
  ASSERT_FALSE(deml1.empty());
  replay::WriteFile("deml1.txt", deml1);
  replay::Run same =
      RunGame(kHeadless + "--demo 9 --input deml1.txt --trace same.trace --frames 800");
  ASSERT_EQ(same.status, 0) << same.out;
  const std::vector<TraceRow> trace = ParseTrace(ReadFile("demo.trace"));
  ASSERT_EQ(trace.size(), 800u);
  EXPECT_EQ(ReadFile("same.trace"), ReadFile("demo.trace"));
  for (const TraceRow& row : trace) {
    EXPECT_EQ(row.level, 9);
    EXPECT_EQ(row.lives, 1);
  }
  EXPECT_GT(trace.back().score, 0);

  // Thrust right and fire from the first line on: nothing moves before step 300.
  std::string held;
  for (int i = 0; i < 600; ++i) held += "1 1 0 0 0 0 0 \n";
  replay::WriteFile("held.txt", held);
  replay::Run early =
      RunGame(kHeadless + "--demo 9 --input held.txt --trace held.trace --frames 600");
  ASSERT_EQ(early.status, 0) << early.out;
  const std::vector<TraceRow> rows = ParseTrace(ReadFile("held.trace"));
  ASSERT_EQ(rows.size(), 600u);
  for (int s = 0; s < 299; ++s) {
    EXPECT_EQ(rows[size_t(s)].x, rows[0].x) << "step " << s + 1;
    EXPECT_EQ(rows[size_t(s)].score, 0) << "step " << s + 1;
  }
  EXPECT_GT(rows[400].x, rows[0].x + 50);
  EXPECT_GT(rows[400].score, 0);
}

// Two of the twenty levels (scripts/autopilot-all plays them all): finished, each well within
// ten minutes of game time.
TEST(AutopilotTest, FinishesLevelsOnItsOwn) {
  replay::GameFolder dir;
  ASSERT_FALSE(dir.path().empty());
  for (int level : {4, 6}) {
    replay::Run run = RunGame(kHeadless + "--play " + std::to_string(level) +
                              " --autopilot --invulnerable --one-level --frames 62000");
    ASSERT_EQ(run.status, 0) << run.out;
    int reported = 0, steps = 0, hits = 0;
    const size_t at = run.out.find("autopilot: level ");
    ASSERT_NE(at, std::string::npos) << run.out;
    ASSERT_EQ(
        std::sscanf(run.out.c_str() + at, "autopilot: level %d finished after %d steps, %d hits",
                    &reported, &steps, &hits),
        3)
        << run.out;
    EXPECT_EQ(reported, level);
    EXPECT_GT(steps, 300);
    EXPECT_LT(steps, 60000);
  }
}

}  // namespace
