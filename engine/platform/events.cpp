// The platform's events become window messages here, and SIGINT / SIGTERM become WM_CLOSE.
#include <csignal>

#include "engine/platform/instance.h"
#include "engine/platform/keys.h"
#include "engine/platform/messages.h"
#include "engine/platform/platform_internal.h"

namespace {

volatile std::sig_atomic_t closeSignalled = 0;
bool handlersInstalled = false;
struct sigaction previousInt;
struct sigaction previousTerm;

// Only sets a flag: the next look at the queue turns it into WM_CLOSE. The handler is reset by
// the first signal, so a second Ctrl+C ends a program that hangs.
void onCloseSignal(int) {
  closeSignalled = 1;
}

intptr_t packPoint(int x, int y) {
  return intptr_t((uint32_t(uint16_t(y)) << 16) | uint32_t(uint16_t(x)));
}

void translateWindowEvent(const SDL_WindowEvent& event) {
  switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
      zr_post_message(WM_CLOSE, 0, 0);
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      zr_post_message(WM_ACTIVATE, WA_ACTIVE, 0);
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      zr_keys_release_all();
      zr_post_message(WM_ACTIVATE, WA_INACTIVE, 0);
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      zr_post_message(WM_SIZE, 0, packPoint(event.data1, event.data2));
      break;
    case SDL_WINDOWEVENT_MOVED:
      zr_post_message(WM_MOVE, 0, packPoint(event.data1, event.data2));
      break;
    case SDL_WINDOWEVENT_EXPOSED:
      zr_post_message(WM_PAINT, 0, 0);
      break;
    default:
      break;
  }
}

void translate(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:  // the session is ending (the last window's close comes as a window event)
      zr_post_message(WM_CLOSE, 0, 0);
      break;
    case SDL_WINDOWEVENT:
      translateWindowEvent(event.window);
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      zr_events_key(event.key.keysym.scancode, event.type == SDL_KEYDOWN, event.key.repeat != 0,
                    (event.key.keysym.mod & KMOD_ALT) != 0 ||
                        event.key.keysym.scancode == SDL_SCANCODE_LALT ||
                        event.key.keysym.scancode == SDL_SCANCODE_RALT);
      break;
    case SDL_MOUSEBUTTONDOWN:
      if (event.button.button == SDL_BUTTON_LEFT) {
        constexpr uintptr_t MK_LBUTTON = 0x0001;
        zr_post_message(WM_LBUTTONDOWN, MK_LBUTTON, packPoint(event.button.x, event.button.y));
      }
      break;
    case SDL_JOYDEVICEADDED:
      zr_devices_pad_added(event.jdevice.which);
      break;
    case SDL_JOYDEVICEREMOVED:
      zr_devices_pad_removed(event.jdevice.which);
      break;
    default:
      break;
  }
}

}  // namespace

void zr_events_pump() {
  if (closeSignalled) {
    closeSignalled = 0;
    zr_post_message(WM_CLOSE, 0, 0);
  }
  zr_instance_poll();
  if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return;
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    // Clicks and keys that the menu bar takes are not the game's.
    if (!zr_menu_bar_event(event)) translate(event);
  }
}

void zr_signals_install() {
  if (handlersInstalled) return;
  struct sigaction action = {};
  action.sa_handler = onCloseSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND | SA_RESTART;
  sigaction(SIGINT, &action, &previousInt);
  sigaction(SIGTERM, &action, &previousTerm);
  handlersInstalled = true;
}

void zr_signals_restore() {
  if (!handlersInstalled) return;
  sigaction(SIGINT, &previousInt, nullptr);
  sigaction(SIGTERM, &previousTerm, nullptr);
  handlersInstalled = false;
  closeSignalled = 0;
}
