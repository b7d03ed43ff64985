// The input module. The platform hands over plain device states; here they become the state
// bytes the controls are bound to, with the mouse's threshold and diagonal rule, the joystick's
// dead zone and the calibration test. While the game window does not own the devices every byte
// reads 0.
#include "engine/input/input.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "engine/core/error.h"
#include "engine/platform/message_box.h"
#include "engine/platform/messages.h"

namespace {

constexpr const char* kInputMessages[] = {
    "Couldn't create DirectInput!",
    "Couldn't initialize keyboard!",
    "Couldn't initialize joystick",
    "Couldn't initialize mouse",
    "Joystick IDInput::CreateDevice FAILED\n!",
    "Joystick IDInputDevice SetDataFormat FAILED!",
    "Joystick IDInputDevice SetCooperativeLevel FAILED!",
    "Joystick IDInputDevice SetProperty Range FAILED for X!",
    "Joystick IDInputDevice SetProperty Range  FAILED for Y!",
    "Joystick IDInputDevice SetProperty Range  FAILED for Z!",
    "Joystick IDInputDevice SetProperty Deadzone FAILED for X!",
    "Joystick IDInputDevice SetProperty Deadzone FAILED for Y!",
    "Joystick IDInputDevice SetProperty Deadzone FAILED for Z!",
    "Joystick couldn't convert to Device2!",
    "Joystick acquisition failed",
    "Don't have a current joystick device",
    "Mouse SetDataFormat",
    "Mouse SetCooperativeLevel",
    "Keyboard SetDataFormat",
    "Keyboard SetCooperativeLevel",
};
constexpr int kInputNoJoystick = 2;

constexpr const char* kCalibrationWarning =
    "Warning!  Your joystick appears to be uncalibrated!\nYou should either calibrate it or "
    "disable it.\n\nUntil your joystick is successfully calibrated, you will not be able to use "
    "the joystick with this program.";
constexpr const char* kCalibrationCaption = "Warning!";

constexpr uint8_t kHeld = 0x80;

const ZR_INPUT_SOURCE kPlatformDevices = {zr_devices_open,  zr_devices_close, zr_devices_keyboard,
                                          zr_devices_mouse, zr_devices_pad,   zr_devices_own};

struct InputState {
  std::array<uint8_t, ZR_INPUT_KEYS> keys;
  std::array<uint8_t, ZR_INPUT_DEVICE_BYTES> mouse;
  std::array<uint8_t, ZR_INPUT_DEVICE_BYTES> joystick;
};

InputState state{};
const ZR_INPUT_SOURCE* source = &kPlatformDevices;
int module = -1;
bool started = false;
bool inactive = true;  // the devices belong to the game only once its window is active
int32_t keepDiagonals = 0;
int32_t switchedOffPad = -1;  // the pad the calibration test found deflected

void clearAll() {
  state.keys.fill(0);
  state.mouse.fill(0);
  state.joystick.fill(0);
}

void own(bool owned) {
  if (source->own) source->own(owned);
}

bool readPad(ZR_PAD_STATE* pad) {
  *pad = ZR_PAD_STATE{};
  pad->id = -1;
  return source->pad && source->pad(pad) && pad->id != switchedOffPad;
}

void readMouse() {
  ZR_MOUSE_STATE mouse = {};
  if (source->mouse && source->mouse(&mouse)) {
    zr_input_mouse_bytes(&mouse, keepDiagonals, state.mouse.data());
  }
}

// Motion made while the game did not own the mouse is not the game's.
void dropMouseMotion() {
  ZR_MOUSE_STATE ignored = {};
  if (source->mouse) source->mouse(&ignored);
}

void readKeyboard() {
  if (source->keyboard) {
    source->keyboard(state.keys.data());
  } else {
    state.keys.fill(0);
  }
}

bool readJoystick() {
  ZR_PAD_STATE pad;
  if (!readPad(&pad)) return false;
  zr_input_pad_bytes(&pad, state.joystick.data());
  return true;
}

bool anyOf(const uint8_t* bytes, int count) {
  return std::any_of(bytes, bytes + count, [](uint8_t byte) { return byte != 0; });
}

}  // namespace

int32_t zr_input_axis(int32_t raw) {
  constexpr int32_t kDead = ZR_PAD_AXIS_MAX * ZR_INPUT_DEAD_ZONE / 10000;
  constexpr int32_t kLive = ZR_PAD_AXIS_MAX - kDead;
  int32_t size = std::abs(std::clamp(raw, -ZR_PAD_AXIS_MAX, ZR_PAD_AXIS_MAX));
  if (size <= kDead) return 0;
  // The travel beyond the dead zone spreads over 1 to 32, rounded up so that any deflection
  // past the dead zone counts.
  int32_t value = ((size - kDead) * ZR_INPUT_AXIS_RANGE + kLive - 1) / kLive;
  return raw < 0 ? -value : value;
}

void zr_input_mouse_bytes(const ZR_MOUSE_STATE* mouse, int keepMouseDiagonals,
                          uint8_t bytes[ZR_INPUT_DEVICE_BYTES]) {
  std::fill(bytes, bytes + ZR_INPUT_DEVICE_BYTES, 0);
  int32_t x = std::clamp(mouse->dx, -ZR_INPUT_MOUSE_CLAMP, ZR_INPUT_MOUSE_CLAMP);
  int32_t y = std::clamp(mouse->dy, -ZR_INPUT_MOUSE_CLAMP, ZR_INPUT_MOUSE_CLAMP);
  if (x < -ZR_INPUT_MOUSE_THRESHOLD) bytes[ZR_INPUT_LEFT] = uint8_t(-x);
  if (x > ZR_INPUT_MOUSE_THRESHOLD) bytes[ZR_INPUT_RIGHT] = uint8_t(x);
  if (y < -ZR_INPUT_MOUSE_THRESHOLD) bytes[ZR_INPUT_UP] = uint8_t(-y);
  if (y > ZR_INPUT_MOUSE_THRESHOLD) bytes[ZR_INPUT_DOWN] = uint8_t(y);
  for (int i = 0; i < ZR_MOUSE_BUTTONS; ++i) {
    if (mouse->buttons[i] & kHeld) bytes[ZR_INPUT_BUTTON1 + i] = kHeld;
  }
  if (keepMouseDiagonals) return;
  // Up-left and down-right keep only their stronger axis; up-right and down-left stay whole.
  if (bytes[ZR_INPUT_LEFT] && bytes[ZR_INPUT_UP]) {
    if (!(x < y)) {
      bytes[ZR_INPUT_LEFT] = 0;
    } else {
      bytes[ZR_INPUT_UP] = 0;
    }
  }
  if (bytes[ZR_INPUT_RIGHT] && bytes[ZR_INPUT_DOWN]) {
    if (!(x > y)) {
      bytes[ZR_INPUT_RIGHT] = 0;
    } else {
      bytes[ZR_INPUT_DOWN] = 0;
    }
  }
}

void zr_input_pad_bytes(const ZR_PAD_STATE* pad, uint8_t bytes[ZR_INPUT_DEVICE_BYTES]) {
  std::fill(bytes, bytes + ZR_INPUT_DEVICE_BYTES, 0);
  int32_t x = zr_input_axis(pad->x);
  int32_t y = zr_input_axis(pad->y);
  if (x < 0) bytes[ZR_INPUT_LEFT] = uint8_t(-x);
  if (x > 0) bytes[ZR_INPUT_RIGHT] = uint8_t(x);
  if (y < 0) bytes[ZR_INPUT_UP] = uint8_t(-y);
  if (y > 0) bytes[ZR_INPUT_DOWN] = uint8_t(y);
  for (int i = 0; i < ZR_PAD_BUTTONS; ++i) {
    if (pad->buttons[i]) bytes[ZR_INPUT_BUTTON1 + i] = kHeld;
  }
}

int zr_input_init(ZR_INPUT_CONFIG* config) {
  if (started) zr_input_deinit();
  module = zr_error_add_module("Input", kInputMessages, config ? config->report : nullptr);
  keepDiagonals = config ? config->keepMouseDiagonals : 0;
  clearAll();
  inactive = true;
  switchedOffPad = -1;
  started = true;
  // Keyboard and mouse always exist; without a joystick service the game simply has no joystick.
  if (source->open && !source->open()) zr_error_report(module, kInputNoJoystick);
  return 1;
}

void zr_input_deinit() {
  if (!started) return;
  if (!inactive) own(false);
  if (source->close) source->close();
  clearAll();
  inactive = true;
  started = false;
}

int zr_input_check_joystick() {
  if (!started) return 1;
  // Only the joystick counts here, and it is read whether or not the window is active yet: at
  // start-up no window owns the devices.
  int vertical = 0, horizontal = 0;
  int32_t pad = -1;
  for (int poll = 0; poll < ZR_INPUT_CALIBRATION_POLLS; ++poll) {
    ZR_PAD_STATE reading;
    if (!readPad(&reading)) break;
    pad = reading.id;
    if (zr_input_axis(reading.y) != 0) ++vertical;
    if (zr_input_axis(reading.x) != 0) ++horizontal;
  }
  if (vertical + horizontal <= ZR_INPUT_CALIBRATION_LIMIT) return 1;
  switchedOffPad = pad;
  state.joystick.fill(0);
  zr_message_box(kCalibrationWarning, kCalibrationCaption, MB_OK);
  return 0;
}

int zr_input_poll() {
  state.mouse.fill(0);
  state.joystick.fill(0);
  if (!started || inactive) {
    state.keys.fill(0);
    return 0;
  }
  readMouse();
  readKeyboard();
  return readJoystick() ? 1 : 0;
}

void zr_input_activate(int flag) {
  clearAll();
  if (!started) return;
  if (flag) {
    if (inactive) {
      own(true);
      dropMouseMotion();
    }
    inactive = false;
  } else {
    if (!inactive) own(false);
    inactive = true;
  }
}

int zr_input_window_message(uint32_t message, uintptr_t wParam, intptr_t) {
  switch (message) {
    case WM_ACTIVATE:
      zr_input_activate((wParam & 0xFFFF) != WA_INACTIVE);
      break;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_MINIMIZE) zr_input_activate(0);
      if ((wParam & 0xFFF0) == SC_RESTORE) zr_input_activate(1);
      break;
    case WM_LBUTTONDOWN:
    case WM_SETFOCUS:
      // Taken back once the click or focus change itself has been handled.
      zr_post_message(ZR_INPUT_TAKE_MESSAGE, 0, 0);
      break;
    case ZR_INPUT_TAKE_MESSAGE:
      zr_input_activate(1);
      break;
    case WM_KILLFOCUS:
    case WM_ENTERMENULOOP:
    case WM_ENTERSIZEMOVE:
      zr_input_activate(0);
      break;
    case WM_SETCURSOR:
      // The platform hides the cursor while the game owns the mouse and shows it otherwise.
      break;
    default:
      break;
  }
  return 1;
}

int zr_input_any() {
  return anyOf(state.keys.data(), ZR_INPUT_KEYS) ||
                 anyOf(state.mouse.data(), ZR_INPUT_DEVICE_BYTES) ||
                 anyOf(state.joystick.data(), ZR_INPUT_DEVICE_BYTES)
             ? 1
             : 0;
}

uint8_t zr_input_get_key(int code) {
  // Negative codes would read before the table.
  if (code < 0 || code >= ZR_INPUT_KEYS) return 0;
  return state.keys[code];
}

void zr_input_set_key(int code, uint8_t value) {
  if (code < 0 || code >= ZR_INPUT_KEYS) return;
  state.keys[code] = value;
}

int zr_input_is_active() {
  return started && !inactive ? 1 : 0;
}

int zr_input_joystick_usable() {
  ZR_PAD_STATE pad;
  return started && readPad(&pad) ? 1 : 0;
}

int zr_input_device_of(int code) {
  if (code >= 0 && code < ZR_INPUT_KEYS) return ZR_DEVICE_KEYBOARD;
  if (code >= ZR_INPUT_MOUSE_FIRST && code < ZR_INPUT_MOUSE_FIRST + ZR_INPUT_DEVICE_BYTES) {
    return ZR_DEVICE_MOUSE;
  }
  if (code >= ZR_INPUT_JOYSTICK_FIRST && code < ZR_INPUT_JOYSTICK_FIRST + ZR_INPUT_DEVICE_BYTES) {
    return ZR_DEVICE_JOYSTICK;
  }
  return -1;
}

const uint8_t* zr_input_state_byte(int code) {
  switch (zr_input_device_of(code)) {
    case ZR_DEVICE_KEYBOARD:
      return &state.keys[code];
    case ZR_DEVICE_MOUSE:
      return &state.mouse[code - ZR_INPUT_MOUSE_FIRST];
    case ZR_DEVICE_JOYSTICK:
      return &state.joystick[code - ZR_INPUT_JOYSTICK_FIRST];
    default:
      return nullptr;
  }
}

int zr_input_code_of(const uint8_t* stateByte) {
  auto within = [stateByte](const auto& bytes) {
    return stateByte >= bytes.data() && stateByte < bytes.data() + bytes.size();
  };
  if (within(state.keys)) return int(stateByte - state.keys.data());
  if (within(state.mouse)) return ZR_INPUT_MOUSE_FIRST + int(stateByte - state.mouse.data());
  if (within(state.joystick)) {
    return ZR_INPUT_JOYSTICK_FIRST + int(stateByte - state.joystick.data());
  }
  return -1;
}

void zr_input_set_source(const ZR_INPUT_SOURCE* newSource) {
  source = newSource ? newSource : &kPlatformDevices;
}
