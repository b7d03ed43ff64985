#include "engine/display/timer.h"

#include "engine/platform/message_box.h"
#include "engine/platform/messages.h"
#include "engine/platform/video.h"

namespace {

// The fatal display message: the user is told, then the main window is asked to close.
void showFatal(const char* text) {
  zr_message_box(text, zr_window_title(), 0);
  zr_post_message(WM_CLOSE, 0, 0);
}

}  // namespace

uint32_t zr_timer_start(ZR_TIMER_CALLBACK callback, uint32_t period) {
  // The platform's timer keeps 1 ms resolution on its own; there is no period to raise.
  uint32_t identifier = zr_platform_timer_start(callback, period);
  if (identifier == 0) {
    showFatal("Timer Init failed. You should restart Windows and try again");
    return 0;
  }
  return identifier;
}

void zr_timer_stop(uint32_t* identifier) {
  if (!identifier) return;
  if (*identifier != 0) zr_platform_timer_stop(*identifier);
  *identifier = 0;
}
