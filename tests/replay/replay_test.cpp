// Scripted games played by the real program, headless on the virtual clock: each controls file of
// tests/replay/inputs/ is played twice, the two runs must give the same trace and the same last
// frame, the trace must show what the script is about, and both must match the expectations kept
// in tests/replay/expected/. ZR_REGEN_REPLAYS=1 (scripts/regen-replays) writes those instead.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "replay_support.h"

namespace {

using replay::TraceRow;

struct ReplayCase {
  const char* name;  // inputs/NAME.txt, expected/NAME.trace and expected/NAME.pcx
  int level;
  int frames;
  // What the script is about, as the trace shows it.
  std::function<void(const std::vector<TraceRow>&)> check;
};

std::string SourcePath(const std::string& name) {
  return std::string(ZR_SOURCE_DIR) + "/tests/replay/" + name;
}

bool Regenerating() {
  const char* value = std::getenv("ZR_REGEN_REPLAYS");
  return value && *value && std::string(value) != "0";
}

long MaxOf(const std::vector<TraceRow>& rows, long TraceRow::*field) {
  long best = rows.front().*field;
  for (const TraceRow& row : rows) best = std::max(best, row.*field);
  return best;
}

long MinOf(const std::vector<TraceRow>& rows, long TraceRow::*field) {
  long best = rows.front().*field;
  for (const TraceRow& row : rows) best = std::min(best, row.*field);
  return best;
}

// The lanes visited, in order, each once per visit.
std::vector<int> Lanes(const std::vector<TraceRow>& rows) {
  std::vector<int> lanes;
  for (const TraceRow& row : rows) {
    if (lanes.empty() || lanes.back() != row.lane) lanes.push_back(row.lane);
  }
  return lanes;
}

// Steps at which the score rose by a kill's 50 points or more.
int Kills(const std::vector<TraceRow>& rows) {
  int kills = 0;
  for (size_t i = 1; i < rows.size(); ++i) kills += rows[i].score - rows[i - 1].score >= 50;
  return kills;
}

void LivesStay(const std::vector<TraceRow>& rows) {
  for (const TraceRow& row : rows) ASSERT_EQ(row.lives, rows.front().lives) << row.step;
}

// Each runs 20 steps past its file's last line, where the controls are released.
const ReplayCase kCases[] = {
    {"fly-both-ways", 1, 1020,
     [](const std::vector<TraceRow>& rows) {
       LivesStay(rows);
       EXPECT_EQ(Lanes(rows), std::vector<int>{1});
       bool outRight = false, outLeft = false;
       for (size_t i = 1; i < rows.size(); ++i) {
         long dx = rows[i].x - rows[i - 1].x;
         outRight |= dx < -1500 && rows[i].x <= 520;
         outLeft |= dx > 1500 && rows[i].x >= 2390;
       }
       EXPECT_TRUE(outRight) << "never came out at 510 past the right end";
       EXPECT_TRUE(outLeft) << "never came out at 2400 past the left end";
       EXPECT_GT(MaxOf(rows, &TraceRow::x), 2300);
     }},
    {"jet-turns", 1, 724,
     [](const std::vector<TraceRow>& rows) {
       LivesStay(rows);
       EXPECT_EQ(Lanes(rows), (std::vector<int>{1, 2, 3, 2, 1}));
       // Three lanes 375 apart; the refused turns at both limits move nothing.
       EXPECT_EQ(MaxOf(rows, &TraceRow::z) - MinOf(rows, &TraceRow::z), 750);
       EXPECT_EQ(rows.back().z, rows.front().z);
     }},
    {"fight", 1, 745,
     [](const std::vector<TraceRow>& rows) {
       LivesStay(rows);
       EXPECT_GE(Kills(rows), 2);
       EXPECT_GT(rows.back().score, 100);
     }},
    {"dying", 1, 840,
     [](const std::vector<TraceRow>& rows) {
       EXPECT_EQ(rows.back().lives, rows.front().lives - 1);
       size_t hit = 1;
       while (hit < rows.size() && rows[hit].lives == rows.front().lives) ++hit;
       ASSERT_LT(hit, rows.size());
       EXPECT_GT(rows[hit].x, rows.front().x + 300);  // far from the start when hit
       // Back at the start position afterwards.
       EXPECT_EQ(rows.back().x, rows.front().x);
       EXPECT_EQ(rows.back().y, rows.front().y);
     }},
    // The autopilot's game (recorded, not scripted): the first extra life comes with the score
    // past 3 000, in the step that passes it or the next, and not before.
    {"extra-life", 11, 5075,
     [](const std::vector<TraceRow>& rows) {
       size_t passed = 0;
       while (passed < rows.size() && rows[passed].score <= 3000) ++passed;
       ASSERT_LT(passed, rows.size()) << "the score never passed 3000";
       size_t up = 0;
       while (up < rows.size() && rows[up].lives == rows.front().lives) ++up;
       ASSERT_LT(up, rows.size()) << "no extra life";
       EXPECT_TRUE(up == passed || up == passed + 1)
           << "extra life at step " << rows[up].step << ", score past 3000 at step "
           << rows[passed].step;
       for (size_t i = up; i < rows.size(); ++i) {
         ASSERT_EQ(rows[i].lives, rows.front().lives + 1) << rows[i].step;
       }
       EXPECT_LT(rows.back().score, 7000);
     }},
};

void PrintTo(const ReplayCase& c, std::ostream* out) {
  *out << c.name;
}

class ReplayTest : public ::testing::TestWithParam<ReplayCase> {};

TEST_P(ReplayTest, PlaysTheSameTwiceAndAsExpected) {
  const ReplayCase& c = GetParam();
  replay::GameFolder dir;
  ASSERT_FALSE(dir.path().empty());
  auto args = [&](int run) {
    return "--headless --virtual-clock --frames " + std::to_string(c.frames) + " --play " +
           std::to_string(c.level) + " --input " + SourcePath("inputs/") + c.name +
           ".txt --trace trace" + std::to_string(run) + ".txt --shot frame" + std::to_string(run) +
           ".pcx";
  };
  replay::Run first = replay::RunGame(args(1));
  ASSERT_EQ(first.status, 0) << first.out;
  EXPECT_NE(first.out.find(" 0 files left open, 0 memory blocks (0 bytes) left"), std::string::npos)
      << first.out;
  EXPECT_EQ(replay::ReadFile("Warning.txt"), "");
  replay::Run second = replay::RunGame(args(2));
  ASSERT_EQ(second.status, 0) << second.out;

  const std::string trace = replay::ReadFile("trace1.txt");
  const std::string frame = replay::ReadFile("frame1.pcx");
  ASSERT_FALSE(frame.empty());
  EXPECT_TRUE(trace == replay::ReadFile("trace2.txt")) << "two runs gave different traces";
  EXPECT_TRUE(frame == replay::ReadFile("frame2.pcx")) << "two runs gave different last frames";

  const std::vector<TraceRow> rows = replay::ParseTrace(trace);
  ASSERT_FALSE(rows.empty()) << "no trace lines";
  for (size_t i = 0; i < rows.size(); ++i) ASSERT_EQ(rows[i].step, long(i + 1));
  c.check(rows);

  const std::string tracePath = SourcePath("expected/") + c.name + ".trace";
  const std::string framePath = SourcePath("expected/") + c.name + ".pcx";
  if (Regenerating()) {
    replay::WriteFile(tracePath, trace);
    replay::WriteFile(framePath, frame);
    return;
  }
  const std::string expectedTrace = replay::ReadFile(tracePath);
  ASSERT_FALSE(expectedTrace.empty()) << "missing " << tracePath << " (scripts/regen-replays)";
  if (trace != expectedTrace) {
    const std::vector<TraceRow> expected = replay::ParseTrace(expectedTrace);
    size_t i = 0;
    while (i < rows.size() && i < expected.size() && rows[i].checksum == expected[i].checksum &&
           rows[i].x == expected[i].x && rows[i].score == expected[i].score) {
      ++i;
    }
    ADD_FAILURE() << "the trace differs from " << tracePath << " from step " << i + 1 << " on ("
                  << rows.size() << " steps, " << expected.size() << " expected)";
  }
  EXPECT_TRUE(frame == replay::ReadFile(framePath)) << "the last frame differs from " << framePath;
}

INSTANTIATE_TEST_SUITE_P(Scripts, ReplayTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ReplayCase>& info) {
                           std::string name = info.param.name;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

// The files of --input, --trace and --shot are named from where the program was started, not
// from the start directory that --data makes current.
TEST(PlayFilesTest, AreNamedFromWhereTheProgramStarted) {
  replay::GameFolder game;
  ASSERT_FALSE(game.path().empty());
  replay::GameFolder here;  // now current
  ASSERT_FALSE(here.path().empty());
  replay::WriteFile("in.txt", "0 0 0 0 0 0 0 \n");
  replay::Run run = replay::RunGame("--headless --virtual-clock --frames 3 --data " + game.path() +
                                    " --play 2 --input in.txt --trace t.txt --shot end.pcx");
  ASSERT_EQ(run.status, 0) << run.out;
  const std::vector<TraceRow> rows = replay::ParseTrace(replay::ReadFile("t.txt"));
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows.front().level, 2);
  EXPECT_FALSE(replay::ReadFile("end.pcx").empty());
  EXPECT_FALSE(std::filesystem::exists(game.path() + "/t.txt"));
  EXPECT_FALSE(std::filesystem::exists(game.path() + "/end.pcx"));

  // A last frame that cannot be written is a failure of the run.
  run = replay::RunGame("--headless --virtual-clock --frames 3 --data " + game.path() +
                        " --play --shot nowhere/end.pcx");
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_NE(run.out.find("nowhere/end.pcx"), std::string::npos) << run.out;
  // So is a trace that could not be written whole.
  run = replay::RunGame("--headless --virtual-clock --frames 3 --data " + game.path() +
                        " --play --trace /dev/full");
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_NE(run.out.find("/dev/full"), std::string::npos) << run.out;
}

// Every level starts from the command line without a message, and plays a few steps.
class LevelStartTest : public ::testing::TestWithParam<int> {};

TEST_P(LevelStartTest, StartsWithoutAMessage) {
  const int level = GetParam();
  replay::GameFolder dir;
  ASSERT_FALSE(dir.path().empty());
  replay::Run run = replay::RunGame("--headless --virtual-clock --frames 12 --trace t.txt --play " +
                                    std::to_string(level));
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(replay::ReadFile("Warning.txt"), "");
  EXPECT_NE(run.out.find(" 0 files left open, 0 memory blocks (0 bytes) left"), std::string::npos)
      << run.out;
  const std::vector<TraceRow> rows = replay::ParseTrace(replay::ReadFile("t.txt"));
  ASSERT_GE(rows.size(), 5u);
  for (const TraceRow& row : rows) {
    EXPECT_EQ(row.level, level);
    EXPECT_EQ(row.lane, 1);
    EXPECT_GT(row.lives, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Levels, LevelStartTest, ::testing::Range(1, 21));

}  // namespace
