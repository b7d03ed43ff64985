// The game step and the game's world frame on the real content.
//
// BM_GameStep: one GameStep of level 18 (the most enemies of any level) with every pool busy:
// all 20 enemy slots, the 6 pods, the UFO and the 20 walkers alive, all 15 lasers and all 10
// enemy shots in flight, the ship steerable and invulnerable so that every box test runs. The
// pools are re-armed between steps outside the timing. Reports the median processor time of one
// step (step_us) and its share of the 10 ms step (pct_of_step).
//
// BM_GameWorldFrame: DrawGameWorld at 320 x 200 (background, world, objects and the cockpit) from
// the camera of the same scene, with its ratio to a memset of the frame (x_memset).
//
// The game folder: ZR_BENCH_GAME_DIR, else the build's game folder.
#include "game/game.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "engine/core/error.h"
#include "engine/core/fileio.h"
#include "engine/core/list.h"
#include "engine/core/memory.h"
#include "engine/core/zr_string.h"
#include "engine/display/display.h"
#include "engine/platform/clock.h"
#include "game/game_state.h"
#include "game/play_state.h"
#include "world/level_def.h"
#include "world/map.h"
#include "world/objects.h"

namespace {

constexpr int kFullestLevel = 18;

double CpuNanoseconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1e9 + double(t.tv_nsec);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

bool StartServices() {
  static bool started = false, ok = false;
  if (started) return ok;
  started = true;
  const char* env = std::getenv("ZR_BENCH_GAME_DIR");
  const std::string dir = env != nullptr ? env : ZR_GAME_DIR;
  if (::chdir(dir.c_str()) != 0) return false;
  static int32_t reportSwitch = 0;
  zr_error_init(&reportSwitch);
  zr_mem_init(&reportSwitch);
  zr_list_init(&reportSwitch);
  zr_string_init(&reportSwitch);
  static ZR_IO_CONFIG config{};
  std::strcpy(config.archiveName, "VELDRAN.DAT");
  zr_io_init(&config);
  world_set_pauses(false);
  zr_clock_use_virtual(true);
  ok = zr_dsp_init() == 1;
  return ok;
}

bool StartFullestLevel() {
  if (!StartServices()) return false;
  NewGame();
  level = kFullestLevel;
  StartLevel("level\\level18.txt", ZR_DSP_BASE_WIDTH - 1, ZR_DSP_BASE_HEIGHT - 1);
  if (!gameRunning) return false;
  invulnerable = 1;
  return true;
}

// Every pool busy around the ship, nothing hit: lasers and shots fly high above the enemies.
void RearmPools() {
  transitionTimer = 0.0;
  shipAppearing = 0;
  graceCounter = 0;
  shipX = startX;
  shipY = startY;
  shipZ = startZ;
  lane = targetLane = 1;
  enemiesDestroyed = 0;
  levelEnding = 0;
  for (int i = 0; i < LASER_COUNT; ++i) {
    Laser& l = lasers[size_t(i)];
    l.state = SLOT_ALIVE;
    l.direction = int16_t(i & 1);
    PlaceObject(l.object, shipX - 70.0 + 10.0 * i, 240.0, shipZ);
  }
  for (int i = 0; i < ENEMY_SHOT_COUNT; ++i) {
    EnemyShot& s = enemyShots[size_t(i)];
    s.state = SLOT_ALIVE;
    s.velocityX = i & 1 ? 0.5 : -0.5;
    s.velocityY = 0.0;
    PlaceObject(s.object, shipX - 250.0 + 50.0 * i, 260.0, shipZ);
  }
  for (int i = 0; i < ENEMY_COUNT; ++i) {
    EnemySlot& e = enemies[size_t(i)];
    if (e.state == SLOT_ALIVE) continue;
    e.state = SLOT_ALIVE;
    e.lane = 1 + i % 3;
    e.kind = i % 6;
    PlaceObject(e.object, startX - 600.0 + 60.0 * i, 100.0, startZ - (e.lane - 1) * LANE_DEPTH);
  }
  for (EnemySlot& p : pods) {
    if (p.state == SLOT_ALIVE) continue;
    p.state = SLOT_ALIVE;
    p.lane = 2;
    PlaceObject(p.object, startX + 100.0, 100.0, startZ - LANE_DEPTH);
  }
  if (ufo.state != SLOT_ALIVE) {
    ufo.state = SLOT_ALIVE;
    ufo.lane = 1;
    PlaceObject(ufo.object, startX + 150.0, startY + 90.0, startZ);
  }
  for (int i = 0; i < WALKER_COUNT; ++i) {
    Walker& w = walkers[size_t(i)];
    w.state = SLOT_ALIVE;
    w.lane = 1 + i % 3;
    PlaceObject(w.object, startX - 500.0 + 50.0 * i, 1.0,
                startZ - (w.lane - 1) * LANE_DEPTH - (w.lane == 1 ? 40.0 : 0.0));
  }
}

void BM_GameStep(benchmark::State& state) {
  if (!StartFullestLevel()) {
    state.SkipWithError("no game folder with VELDRAN.DAT");
    return;
  }
  std::vector<double> samples;
  for (auto _ : state) {
    RearmPools();
    for (uint8_t& c : playerControls) c = 0;
    playerControls[7] = 1;
    zr_clock_advance(10);
    const double t0 = CpuNanoseconds();
    GameStep();
    samples.push_back(CpuNanoseconds() - t0);
    benchmark::ClobberMemory();
  }
  const double median = Median(samples);
  state.counters["step_us"] = median / 1000.0;
  state.counters["pct_of_step"] = median / 1e7 * 100.0;
  StopGame();
}
BENCHMARK(BM_GameStep)->Unit(benchmark::kMicrosecond);

double MemsetNanoseconds(uint8_t* pixels, size_t size) {
  std::vector<double> samples;
  const int reps = std::max<int>(20, int(2e7 / size));
  for (int s = 0; s < 9; ++s) {
    const double t0 = CpuNanoseconds();
    for (int i = 0; i < reps; ++i) {
      std::memset(pixels, i & 0xff, size);
      benchmark::ClobberMemory();
    }
    samples.push_back((CpuNanoseconds() - t0) / reps);
  }
  return Median(samples);
}

void BM_GameWorldFrame(benchmark::State& state) {
  if (!StartFullestLevel()) {
    state.SkipWithError("no game folder with VELDRAN.DAT");
    return;
  }
  RearmPools();
  GameStep();  // the camera and the cockpit in place
  ZR_BITMAP* frame = zr_dsp_frame_buffer();
  const size_t size = size_t(frame->width) * frame->height;
  const double memset_ns = MemsetNanoseconds(frame->pixels, size);
  std::vector<double> samples;
  for (auto _ : state) {
    const double t0 = CpuNanoseconds();
    DrawGameWorld();
    samples.push_back(CpuNanoseconds() - t0);
    benchmark::ClobberMemory();
  }
  const double median = Median(samples);
  state.counters["frame_us"] = median / 1000.0;
  state.counters["memset_ns"] = memset_ns;
  state.counters["x_memset"] = median / memset_ns;
  StopGame();
}
BENCHMARK(BM_GameWorldFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
