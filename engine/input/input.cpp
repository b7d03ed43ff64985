// Placeholder until the devices exist: every state byte reads 0.
#include "engine/input/input.h"

int zr_input_init(ZR_INPUT_CONFIG*) {
  return 1;
}
int zr_input_check_joystick() {
  return 0;
}
int zr_input_poll() {
  return 0;
}
void zr_input_activate(int) {}
int zr_input_window_message(uint32_t, uintptr_t, intptr_t) {
  return 1;
}
int zr_input_any() {
  return 0;
}
uint8_t zr_input_get_key(int) {
  return 0;
}
void zr_input_set_key(int, uint8_t) {}
void zr_input_deinit() {}
