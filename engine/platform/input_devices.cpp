#include "engine/platform/input_devices.h"

#include <cstring>

#include "engine/platform/keys.h"
#include "engine/platform/platform_internal.h"
#include "engine/platform/video.h"

namespace {

bool started = false;
SDL_GameController* controller = nullptr;  // set when the pad has a mapping
SDL_Joystick* joystick = nullptr;          // the pad in use (the controller's own when mapped)
SDL_JoystickID padId = -1;

SDL_Joystick* virtualPad = nullptr;  // the tests' handle on their virtual pad

// Motion and buttons are read from the device states when the game asks; as events they would
// only fill the queue.
constexpr uint32_t kStateEvents[] = {
    SDL_JOYAXISMOTION,
    SDL_JOYBALLMOTION,
    SDL_JOYHATMOTION,
    SDL_JOYBUTTONDOWN,
    SDL_JOYBUTTONUP,
    SDL_CONTROLLERAXISMOTION,
    SDL_CONTROLLERBUTTONDOWN,
    SDL_CONTROLLERBUTTONUP,
    SDL_CONTROLLERTOUCHPADDOWN,
    SDL_CONTROLLERTOUCHPADUP,
    SDL_CONTROLLERTOUCHPADMOTION,
    SDL_CONTROLLERSENSORUPDATE,
    SDL_JOYBATTERYUPDATED,
};

void closePad() {
  if (controller) {
    SDL_GameControllerClose(controller);
  } else if (joystick) {
    SDL_JoystickClose(joystick);
  }
  controller = nullptr;
  joystick = nullptr;
  padId = -1;
}

// Opens device `index` through the controller API when SDL knows its layout, else as a joystick,
// and makes it the pad in use.
bool openPad(int index) {
  SDL_GameController* newController = nullptr;
  SDL_Joystick* newJoystick = nullptr;
  if (SDL_IsGameController(index)) {
    newController = SDL_GameControllerOpen(index);
    if (newController) newJoystick = SDL_GameControllerGetJoystick(newController);
  }
  if (!newJoystick) newJoystick = SDL_JoystickOpen(index);
  if (!newJoystick) return false;
  closePad();
  controller = newController;
  joystick = newJoystick;
  padId = SDL_JoystickInstanceID(newJoystick);
  return true;
}

// The last attached device that opens, as at start-up.
void openLastPad() {
  for (int index = SDL_NumJoysticks() - 1; index >= 0; --index) {
    if (openPad(index)) return;
  }
}

int16_t axisOf(SDL_GameControllerAxis axis) {
  return SDL_GameControllerGetAxis(controller, axis);
}

void readGamepad(ZR_PAD_STATE* pad) {
  pad->x = axisOf(SDL_CONTROLLER_AXIS_LEFTX);
  pad->y = axisOf(SDL_CONTROLLER_AXIS_LEFTY);
  // The direction pad counts as the stick pushed all the way.
  if (SDL_GameControllerGetButton(controller, SDL_CONTROLLER_BUTTON_DPAD_LEFT)) pad->x = -32768;
  if (SDL_GameControllerGetButton(controller, SDL_CONTROLLER_BUTTON_DPAD_RIGHT)) pad->x = 32767;
  if (SDL_GameControllerGetButton(controller, SDL_CONTROLLER_BUTTON_DPAD_UP)) pad->y = -32768;
  if (SDL_GameControllerGetButton(controller, SDL_CONTROLLER_BUTTON_DPAD_DOWN)) pad->y = 32767;
  constexpr SDL_GameControllerButton kButtons[ZR_PAD_BUTTONS] = {
      SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_B, SDL_CONTROLLER_BUTTON_X};
  for (int i = 0; i < ZR_PAD_BUTTONS; ++i) {
    pad->buttons[i] = SDL_GameControllerGetButton(controller, kButtons[i]) ? 0x80 : 0;
  }
}

void readJoystick(ZR_PAD_STATE* pad) {
  int axes = SDL_JoystickNumAxes(joystick);
  if (axes > 0) pad->x = SDL_JoystickGetAxis(joystick, 0);
  if (axes > 1) pad->y = SDL_JoystickGetAxis(joystick, 1);
  if (SDL_JoystickNumHats(joystick) > 0) {
    uint8_t hat = SDL_JoystickGetHat(joystick, 0);
    if (hat & SDL_HAT_LEFT) pad->x = -32768;
    if (hat & SDL_HAT_RIGHT) pad->x = 32767;
    if (hat & SDL_HAT_UP) pad->y = -32768;
    if (hat & SDL_HAT_DOWN) pad->y = 32767;
  }
  int buttons = SDL_JoystickNumButtons(joystick);
  for (int i = 0; i < ZR_PAD_BUTTONS && i < buttons; ++i) {
    pad->buttons[i] = SDL_JoystickGetButton(joystick, i) ? 0x80 : 0;
  }
}

}  // namespace

int zr_devices_open() {
  if (started) return 1;
  if (!zr_platform_is_started()) return 0;
  // The game decides itself whether it is in the foreground; SDL must not blank the pad's
  // state while no window has the focus (headless runs have none).
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return 0;
  for (uint32_t type : kStateEvents) SDL_EventState(type, SDL_IGNORE);
  started = true;
  openLastPad();
  return 1;
}

void zr_devices_close() {
  if (!started) return;
  zr_devices_detach_virtual_pad();
  closePad();
  SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  started = false;
}

void zr_devices_keyboard(uint8_t keys[256]) {
  for (uint32_t code = 0; code < 256; ++code) keys[code] = zr_scan_is_down(code) ? 0x80 : 0;
}

int zr_devices_mouse(ZR_MOUSE_STATE* mouse) {
  *mouse = ZR_MOUSE_STATE{};
  if (!zr_platform_is_started()) return 0;
  int dx = 0, dy = 0;
  uint32_t held = SDL_GetRelativeMouseState(&dx, &dy);
  mouse->dx = dx;
  mouse->dy = dy;
  constexpr uint32_t kMasks[ZR_MOUSE_BUTTONS] = {SDL_BUTTON_LMASK, SDL_BUTTON_RMASK,
                                                 SDL_BUTTON_MMASK, SDL_BUTTON_X1MASK};
  for (int i = 0; i < ZR_MOUSE_BUTTONS; ++i) mouse->buttons[i] = (held & kMasks[i]) ? 0x80 : 0;
  return 1;
}

int zr_devices_pad(ZR_PAD_STATE* pad) {
  *pad = ZR_PAD_STATE{};
  pad->id = -1;
  if (!started || !joystick) return 0;
  // Fresh state on every read, also between two looks at the event queue.
  SDL_JoystickUpdate();
  if (!SDL_JoystickGetAttached(joystick)) return 0;
  pad->id = padId;
  if (controller) {
    readGamepad(pad);
  } else {
    readJoystick(pad);
  }
  return 1;
}

int zr_devices_pad_is_gamepad() {
  return controller != nullptr ? 1 : 0;
}

void zr_devices_own(bool own) {
  if (!zr_platform_is_started() || zr_platform_is_headless() || !zr_sdl_window()) return;
  SDL_SetRelativeMouseMode(own ? SDL_TRUE : SDL_FALSE);
  SDL_ShowCursor(own ? SDL_DISABLE : SDL_ENABLE);
}

void zr_devices_pad_added(int deviceIndex) {
  if (!started) return;
  // Devices attached at start-up are announced too; the one in use stays as it is.
  if (SDL_JoystickGetDeviceInstanceID(deviceIndex) == padId) return;
  openPad(deviceIndex);
}

void zr_devices_pad_removed(int32_t instanceId) {
  if (!started || instanceId != padId) return;
  closePad();
  openLastPad();
}

int zr_devices_attach_virtual_pad(bool gamepad) {
  if (!started || virtualPad) return 0;
  // A gamepad gets SDL's standard layout (axes and buttons in its own order); a joystick
  // has no layout SDL knows.
  int index = gamepad
                  ? SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER,
                                              SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0)
                  : SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 3, 1);
  if (index < 0) return 0;
  virtualPad = SDL_JoystickOpen(index);
  if (!virtualPad) {
    SDL_JoystickDetachVirtual(index);
    return 0;
  }
  return 1;
}

void zr_devices_set_virtual_axis(int axis, int16_t value) {
  if (virtualPad) SDL_JoystickSetVirtualAxis(virtualPad, axis, value);
}

void zr_devices_set_virtual_button(int button, bool down) {
  if (virtualPad) SDL_JoystickSetVirtualButton(virtualPad, button, down ? 1 : 0);
}

void zr_devices_detach_virtual_pad() {
  if (!virtualPad) return;
  SDL_JoystickID id = SDL_JoystickInstanceID(virtualPad);
  SDL_JoystickClose(virtualPad);
  virtualPad = nullptr;
  // The device index may have moved since attaching; find it by its instance.
  for (int index = 0; index < SDL_NumJoysticks(); ++index) {
    if (SDL_JoystickGetDeviceInstanceID(index) == id) {
      SDL_JoystickDetachVirtual(index);
      break;
    }
  }
}
