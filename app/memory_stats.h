// --stats FILE: the program's memory sampled while it runs, one line per period of its clock
// (a minute by default; with --virtual-clock, a minute of game time), so that a long run can show
// that what it holds stays flat.
#pragma once
#include <cstdint>
#include <string>

constexpr uint32_t STATS_PERIOD_DEFAULT = 60000;  // milliseconds between two lines

// One sample: the clock, the frames drawn, the tracked blocks and bytes (zr_mem_*) and the
// process's resident size in bytes (-1 when unknown).
struct MemorySample {
  uint32_t ms = 0;
  int64_t frames = 0;
  int blocks = 0;
  int32_t bytes = 0;
  int64_t resident = 0;
};

// "ms=T frames=F blocks=B bytes=Y rss=R" and a line end.
std::string MemoryStatsLine(const MemorySample& sample);
MemorySample TakeMemorySample();

// Opens FILE for a line at every multiple of `periodMs` on the clock (the first drawn frame at or
// after each). Returns 0 with a one-line reason.
int OpenMemoryStats(const std::string& path, uint32_t periodMs, std::string* error);
// Once per drawn frame: writes a line when the clock has passed the next multiple.
void SampleMemoryStats();
// Returns 0 when the file could not be written whole.
int CloseMemoryStats();
