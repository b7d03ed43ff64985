// --stats, --stats-every and --minutes: the memory sampled on the clock's grid, in-process and
// through the built program (scripts/soak runs it for hours; the soak test for minutes).
#include "app/memory_stats.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "engine/core/memory.h"
#include "engine/platform/clock.h"
#include "replay/replay_support.h"

namespace {

bool Parse(std::vector<const char*> args, CommandLine* out, std::string* error) {
  args.insert(args.begin(), "zrsentry");
  return ParseCommandLine(int(args.size()), args.data(), out, error) == 1;
}

std::vector<MemorySample> ParseStats(const std::string& text) {
  std::vector<MemorySample> samples;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    MemorySample s;
    unsigned ms = 0;
    long long frames = 0, resident = 0;
    int bytes = 0;
    char rest = 0;
    EXPECT_EQ(std::sscanf(text.substr(at, end - at).c_str(),
                          "ms=%u frames=%lld blocks=%d bytes=%d rss=%lld%c", &ms, &frames,
                          &s.blocks, &bytes, &resident, &rest),
              5)
        << text.substr(at, end - at);
    s.ms = ms;
    s.frames = frames;
    s.bytes = bytes;
    s.resident = resident;
    samples.push_back(s);
    at = end + 1;
  }
  return samples;
}

TEST(MemoryStatsTest, OptionsAndTheirBadValues) {
  CommandLine line;
  std::string error;
  ASSERT_TRUE(Parse({"--headless", "--virtual-clock", "--minutes", "600", "--stats", "s.txt",
                     "--stats-every", "500"},
                    &line, &error))
      << error;
  EXPECT_EQ(line.minutes, 600);
  EXPECT_EQ(line.statsFile, "s.txt");
  EXPECT_EQ(line.statsEvery, 500u);
  ASSERT_TRUE(Parse({"--stats", "s.txt"}, &line, &error)) << error;
  EXPECT_EQ(line.statsEvery, STATS_PERIOD_DEFAULT);
  EXPECT_EQ(line.minutes, 0) << "no limit unless asked";

  struct Bad {
    std::vector<const char*> args;
    const char* reason;
  } bad[] = {
      {{"--minutes"}, "--minutes needs a number of minutes"},
      {{"--minutes", "0"}, "--minutes needs a number of minutes from 1 to 30000, not '0'"},
      {{"--minutes", "30001"}, "--minutes needs a number of minutes from 1 to 30000, not '30001'"},
      {{"--minutes", "1.5"}, "--minutes needs a number of minutes from 1 to 30000, not '1.5'"},
      {{"--stats"}, "--stats needs an output file"},
      {{"--stats-every", "100"}, "--stats-every goes with --stats"},
      {{"--stats", "s", "--stats-every", "0"},
       "--stats-every needs a number of milliseconds, not '0'"},
      {{"--stats", "s", "--stats-every", "2147483648"},
       "--stats-every needs a number of milliseconds, not '2147483648'"},
  };
  for (const Bad& b : bad) {
    error.clear();
    EXPECT_FALSE(Parse(b.args, &line, &error)) << b.reason;
    EXPECT_EQ(error, b.reason);
  }
}

// A line on each multiple of the period that a frame reaches, and one line only for a frame
// that jumps over several: the grid stays where it was.
TEST(MemoryStatsTest, OneLinePerPeriodOnTheClocksGrid) {
  replay::GameFolder dir;
  ASSERT_FALSE(dir.path().empty());
  zr_clock_use_virtual(true);
  std::string error;
  ASSERT_EQ(OpenMemoryStats("s.txt", 100, &error), 1) << error;
  SampleMemoryStats();  // catches up with the clock as it stands, at most one line
  const size_t before = ParseStats(replay::ReadFile("s.txt")).size();
  ASSERT_LE(before, 1u);
  for (int ms = 0; ms < 1000; ++ms) {
    zr_clock_advance(1);
    SampleMemoryStats();
  }
  std::vector<MemorySample> lines = ParseStats(replay::ReadFile("s.txt"));
  ASSERT_EQ(lines.size(), before + 10);
  for (size_t i = before; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].ms % 100, 0u) << lines[i].ms;
    if (i > before) {
      EXPECT_EQ(lines[i].ms, lines[i - 1].ms + 100);
    }
    EXPECT_GT(lines[i].resident, 0);
  }
  const uint32_t last = lines.back().ms;
  zr_clock_advance(350);
  SampleMemoryStats();
  for (int ms = 0; ms < 100; ++ms) {
    zr_clock_advance(1);
    SampleMemoryStats();
  }
  ASSERT_EQ(CloseMemoryStats(), 1);
  zr_clock_use_virtual(false);
  lines = ParseStats(replay::ReadFile("s.txt"));
  ASSERT_EQ(lines.size(), before + 12);
  EXPECT_EQ(lines[before + 10].ms, last + 350);
  EXPECT_EQ(lines[before + 11].ms, last + 400);
}

TEST(MemoryStatsTest, ASampleHoldsTheTrackedBlocksAndTheResidentSize) {
  void* block = zr_mem_malloc(5000);
  ASSERT_NE(block, nullptr);
  const MemorySample held = TakeMemorySample();
  EXPECT_EQ(held.blocks, zr_mem_block_count());
  EXPECT_GE(held.bytes, 5000);
  EXPECT_GT(held.resident, 0);
  zr_mem_free(block);
  const MemorySample freed = TakeMemorySample();
  EXPECT_EQ(freed.blocks, held.blocks - 1);
  EXPECT_LE(freed.bytes, held.bytes - 5000);
  EXPECT_EQ(MemoryStatsLine({60000, 123, 4, 56, 7890}),
            "ms=60000 frames=123 blocks=4 bytes=56 rss=7890\n");
}

// The built program, started and left alone on its start screen: the lines follow the clock and
// the frames drawn, the file is named from where the program was started, and a file that
// cannot be written stops it before start-up.
TEST(MemoryStatsTest, TheProgramWritesALinePerPeriod) {
  replay::GameFolder dir;
  ASSERT_FALSE(dir.path().empty());
  replay::Run run =
      replay::RunGame("--headless --virtual-clock --frames 3000 --stats s.txt --stats-every 500");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find(": 0 files left open, 0 memory blocks (0 bytes) left"), std::string::npos)
      << run.out;
  const std::vector<MemorySample> lines = ParseStats(replay::ReadFile("s.txt"));
  ASSERT_GE(lines.size(), 2u);
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].ms, 500 * (i + 1)) << "every frame is 1 ms while a picture shows";
    EXPECT_GT(lines[i].blocks, 0);
    EXPECT_GT(lines[i].bytes, 0);
    EXPECT_GT(lines[i].resident, 0);
    if (i > 0) {
      EXPECT_GT(lines[i].frames, lines[i - 1].frames);
    }
  }
  EXPECT_LE(lines.back().frames, 3000);

  run = replay::RunGame("--headless --virtual-clock --frames 10 --stats no/such/dir/s.txt");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("cannot write the stats file 'no/such/dir/s.txt'"), std::string::npos)
      << run.out;
}

}  // namespace
