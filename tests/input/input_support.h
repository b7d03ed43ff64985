// Shared by the input tests: devices made of plain states that a test sets, put in the place of
// the platform's, and the services that the player module needs.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/error.h"
#include "engine/core/list.h"
#include "engine/core/memory.h"
#include "engine/input/input.h"
#include "engine/input/player.h"
#include "engine/platform/message_box.h"

struct FakeDevices {
  std::array<uint8_t, ZR_INPUT_KEYS> keys{};
  ZR_MOUSE_STATE mouse{};
  bool padAttached = false;
  ZR_PAD_STATE pad{};
  int padReads = 0;
  std::vector<bool> owned;  // every change of ownership, in order
};

inline FakeDevices& fake() {
  static FakeDevices devices;
  return devices;
}

inline void FakeKeyboard(uint8_t keys[ZR_INPUT_KEYS]) {
  std::copy(fake().keys.begin(), fake().keys.end(), keys);
}

// Relative motion: a read takes it.
inline int FakeMouse(ZR_MOUSE_STATE* mouse) {
  *mouse = fake().mouse;
  fake().mouse.dx = fake().mouse.dy = 0;
  return 1;
}

inline int FakePad(ZR_PAD_STATE* pad) {
  ++fake().padReads;
  if (!fake().padAttached) return 0;
  *pad = fake().pad;
  return 1;
}

inline void FakeOwn(bool own) {
  fake().owned.push_back(own);
}

constexpr ZR_INPUT_SOURCE kFakeSource = {nullptr,   nullptr, FakeKeyboard,
                                         FakeMouse, FakePad, FakeOwn};

// The error, list and memory services, the fake devices, and the input module on them; the
// window is active unless a test says otherwise.
class InputFixture {
 public:
  explicit InputFixture(bool active = true, bool withPlayers = true) {
    fake() = FakeDevices{};
    fake().pad.id = 7;
    zr_error_init(&report_);
    zr_list_init(&report_);
    zr_mem_init(&report_);
    zr_input_set_source(&kFakeSource);
    ZR_INPUT_CONFIG config = {&report_, 0};
    zr_input_init(&config);
    if (withPlayers) zr_play_init(&report_);
    if (active) zr_input_activate(1);
  }
  ~InputFixture() {
    zr_play_deinit();
    zr_input_deinit();
    zr_input_set_source(nullptr);
    zr_mem_deinit();
    zr_list_deinit();
    zr_error_deinit();
  }

 private:
  int32_t report_ = 0;
};

// The byte of a control code after the last poll (0 for codes of no device).
inline int Byte(int code) {
  const uint8_t* stateByte = zr_input_state_byte(code);
  return stateByte ? *stateByte : -1;
}

// Every warning box while it lives, answered with OK.
struct BoxCaptureForInput {
  struct Box {
    std::string text, caption;
    uint32_t type;
  };
  static inline std::vector<Box>* current = nullptr;
  std::vector<Box> boxes;
  BoxCaptureForInput() {
    current = &boxes;
    zr_message_box_set_hook(Capture);
  }
  ~BoxCaptureForInput() {
    zr_message_box_set_hook(nullptr);
    current = nullptr;
  }
  static int Capture(const char* text, const char* caption, uint32_t type) {
    current->push_back({text ? text : "", caption ? caption : "", type & ~MB_SYSTEMMODAL});
    return IDOK;
  }
};
