#include "engine/platform/messages.h"

#include <deque>
#include <mutex>
#include <thread>

#include "engine/platform/platform_internal.h"

namespace {

std::mutex queueMutex;
std::deque<ZR_MSG> queue;

}  // namespace

void zr_post_message(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  std::lock_guard<std::mutex> lock(queueMutex);
  queue.push_back(ZR_MSG{message, wParam, lParam});
}

int zr_peek_message(ZR_MSG* msg, uint32_t flags) {
  zr_events_pump();
  {
    std::lock_guard<std::mutex> lock(queueMutex);
    if (!queue.empty()) {
      if (msg) *msg = queue.front();
      if (flags & PM_REMOVE) queue.pop_front();
      return 1;
    }
  }
  // Without PM_NOYIELD an empty queue gives the rest of the time slice away.
  if (!(flags & PM_NOYIELD)) std::this_thread::yield();
  return 0;
}

void zr_clear_messages() {
  std::lock_guard<std::mutex> lock(queueMutex);
  queue.clear();
}
