#include "engine/platform/clock.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr int kMaxTimers = 8;
// A timer more than this far behind (the machine was suspended, the debugger stopped it) starts
// again from now instead of firing every missed period at once.
constexpr std::chrono::milliseconds kMaxLag{1000};

struct Timer {
  bool inUse = false;  // the slot is taken until its thread has ended
  uint32_t id = 0;     // 0: stopped
  ZR_TIMER_CALLBACK callback = nullptr;
  uint32_t period = 0;
  bool isVirtual = false;
  uint64_t nextDue = 0;  // virtual clock: the time of the next call
  bool stopping = false;
  bool detached = false;          // stopped from its own callback: frees its slot at the end
  std::thread::id callingThread;  // virtual clock: who calls the callback right now
  std::thread thread;
};

const SteadyClock::time_point startTime = SteadyClock::now();
std::atomic<bool> useVirtual{false};
std::atomic<uint64_t> virtualNow{0};

std::mutex timerMutex;
std::condition_variable timerWake;
std::array<Timer, kMaxTimers> timers;
uint32_t nextId = 1;

void runRealTimer(Timer* timer) {
  std::unique_lock<std::mutex> lock(timerMutex);
  const auto period = std::chrono::milliseconds(timer->period);
  auto deadline = SteadyClock::now() + period;
  while (true) {
    // Absolute deadlines: a late call does not delay the ones after it.
    if (timerWake.wait_until(lock, deadline, [timer] { return timer->stopping; })) break;
    ZR_TIMER_CALLBACK callback = timer->callback;
    lock.unlock();
    callback();
    lock.lock();
    if (timer->stopping) break;
    deadline += period;
    auto now = SteadyClock::now();
    if (now - deadline > kMaxLag) deadline = now + period;
  }
  if (timer->detached) {
    timer->detached = false;
    timer->inUse = false;
  }
}

Timer* findTimer(uint32_t id) {
  for (Timer& timer : timers) {
    if (timer.inUse && timer.id == id) return &timer;
  }
  return nullptr;
}

// The virtual timer due first at or before `until`, or nullptr.
Timer* firstDue(uint64_t until) {
  Timer* first = nullptr;
  for (Timer& timer : timers) {
    if (!timer.inUse || !timer.isVirtual || timer.stopping || timer.nextDue > until) continue;
    if (!first || timer.nextDue < first->nextDue) first = &timer;
  }
  return first;
}

}  // namespace

uint32_t zr_get_tick_count() {
  if (useVirtual) return uint32_t(virtualNow.load());
  auto elapsed =
      std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - startTime);
  return uint32_t(elapsed.count());
}

void zr_clock_use_virtual(bool on) {
  useVirtual = on;
}

bool zr_clock_is_virtual() {
  return useVirtual;
}

void zr_clock_advance(uint32_t ms) {
  if (!useVirtual) return;
  std::unique_lock<std::mutex> lock(timerMutex);
  const uint64_t target = virtualNow + ms;
  while (Timer* timer = firstDue(target)) {
    virtualNow = timer->nextDue;
    timer->nextDue += timer->period;
    timer->callingThread = std::this_thread::get_id();
    ZR_TIMER_CALLBACK callback = timer->callback;
    lock.unlock();
    callback();
    lock.lock();
    timer->callingThread = std::thread::id();
    if (timer->stopping) timer->inUse = false;
    timerWake.notify_all();
  }
  virtualNow = target;
}

uint32_t zr_clock_next_due() {
  std::lock_guard<std::mutex> lock(timerMutex);
  Timer* first = firstDue(UINT64_MAX);
  if (!useVirtual || !first) return 0;
  return uint32_t(first->nextDue - virtualNow);
}

uint32_t zr_platform_timer_start(ZR_TIMER_CALLBACK callback, uint32_t period) {
  if (!callback || period == 0) return 0;
  std::lock_guard<std::mutex> lock(timerMutex);
  for (Timer& timer : timers) {
    if (timer.inUse) continue;
    timer.inUse = true;
    timer.id = nextId++;
    if (nextId == 0) nextId = 1;
    timer.callback = callback;
    timer.period = period;
    timer.stopping = false;
    timer.detached = false;
    timer.isVirtual = useVirtual;
    timer.nextDue = virtualNow + period;
    if (!timer.isVirtual) {
      try {
        timer.thread = std::thread(runRealTimer, &timer);
      } catch (const std::system_error&) {
        timer.inUse = false;
        timer.id = 0;
        return 0;
      }
    }
    return timer.id;
  }
  return 0;
}

void zr_platform_timer_stop(uint32_t id) {
  std::unique_lock<std::mutex> lock(timerMutex);
  Timer* timer = findTimer(id);
  if (!timer || timer->stopping) return;
  timer->stopping = true;
  timer->id = 0;
  timerWake.notify_all();
  const auto self = std::this_thread::get_id();
  if (timer->isVirtual) {
    // A call in progress on another thread ends first; a call stopping its own timer cannot wait.
    if (timer->callingThread == std::thread::id()) {
      timer->inUse = false;
    } else if (timer->callingThread != self) {
      timerWake.wait(lock, [timer] { return !timer->inUse; });
    }
    return;
  }
  std::thread thread = std::move(timer->thread);
  if (thread.get_id() == self) {
    timer->detached = true;  // stopped from its own callback: the thread frees the slot on return
    thread.detach();
    return;
  }
  lock.unlock();
  thread.join();
  lock.lock();
  timer->inUse = false;
}

void zr_sleep_ms(uint32_t ms) {
  if (useVirtual) {
    zr_clock_advance(ms);
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
}
