#include "app/memory_stats.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/app_state.h"
#include "engine/core/memory.h"
#include "engine/platform/clock.h"
#include "engine/platform/process_memory.h"

namespace {

// A plain file, neither a tracked block nor a file of the file layer: sampling must not change
// what it counts.
std::FILE* stats = nullptr;
bool statsFailed = false;
uint32_t period = STATS_PERIOD_DEFAULT;
uint32_t nextSample = 0;

}  // namespace

std::string MemoryStatsLine(const MemorySample& sample) {
  char line[160];
  std::snprintf(line, sizeof line, "ms=%u frames=%lld blocks=%d bytes=%d rss=%lld\n",
                unsigned(sample.ms), static_cast<long long>(sample.frames), sample.blocks,
                int(sample.bytes), static_cast<long long>(sample.resident));
  return line;
}

MemorySample TakeMemorySample() {
  MemorySample sample;
  sample.ms = zr_get_tick_count();
  sample.frames = framesDrawn;
  sample.blocks = zr_mem_block_count();
  sample.bytes = zr_mem_used();
  sample.resident = zr_process_resident_bytes();
  return sample;
}

int OpenMemoryStats(const std::string& path, uint32_t periodMs, std::string* error) {
  CloseMemoryStats();
  stats = std::fopen(path.c_str(), "w");
  if (!stats) {
    *error = "cannot write the stats file '" + path + "': " + std::strerror(errno);
    return 0;
  }
  statsFailed = false;
  period = periodMs > 0 ? periodMs : STATS_PERIOD_DEFAULT;
  // On the period's grid from the clock's start (the program's start, both clocks).
  nextSample = period;
  return 1;
}

void SampleMemoryStats() {
  if (!stats) return;
  const uint32_t now = zr_get_tick_count();
  if (int32_t(now - nextSample) < 0) return;
  // One line however many periods a slow frame spanned; the next falls on the period's grid.
  while (int32_t(now - nextSample) >= 0) nextSample += period;
  if (std::fputs(MemoryStatsLine(TakeMemorySample()).c_str(), stats) < 0) statsFailed = true;
  // Flushed at once: a run that is stopped still leaves every line it took.
  if (std::fflush(stats) != 0) statsFailed = true;
}

int CloseMemoryStats() {
  if (!stats) return 1;
  bool failed = statsFailed || std::ferror(stats) != 0;
  if (std::fclose(stats) != 0) failed = true;
  stats = nullptr;
  return failed ? 0 : 1;
}
