#include "app/window_proc.h"

#include "app/app_state.h"
#include "app/frame_loop.h"
#include "engine/display/display.h"
#include "engine/display/main_window.h"
#include "engine/display/snapshot.h"
#include "engine/platform/messages.h"
#include "engine/platform/video.h"

intptr_t WindowProcedure(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  // The display's keys and commands (full screen, modes, languages), while the window exists.
  if (message != WM_CLOSE && message != WM_DESTROY && zr_window_is_open() &&
      zr_main_window_proc(message, wParam, lParam)) {
    return 0;
  }
  switch (message) {
    case WM_ACTIVATE:
      appActive = wParam != WA_INACTIVE ? 1 : 0;
      if (zr_dsp_is_started()) zr_dsp_set_active(appActive);
      if (appActive && displayReady && zr_dsp_is_ready()) zr_dsp_clear();
      return 0;
    case WM_PAINT:
    case WM_SIZE:
      // The picture is scaled to the client area at every presentation; show it again now.
      if (displayReady && zr_dsp_is_ready()) zr_dsp_repaint();
      return 0;
    case WM_KEYDOWN:
      // F9 saves the frame buffer as the next free SnapNNNN.pcx in the start directory.
      if (wParam == VK_F9 && zr_dsp_is_started()) zr_snapshot();
      return 0;
    case WM_CLOSE:
      // The application has shut down: the window goes, and its destruction ends the loop.
      zr_window_close();
      AppMessageHandler(WM_DESTROY, 0, 0);
      return 0;
    case WM_DESTROY:
      zr_post_message(WM_QUIT, 0, 0);
      return 0;
    default:
      return 0;
  }
}
