// Placeholder until the player module exists: no player's controls are ever active.
#include "engine/input/player.h"

int zr_play_init(int32_t*) {
  return 1;
}
int zr_play_add(uint8_t*) {
  return 1;
}
int zr_play_setup(uint8_t*, int, const int32_t*) {
  return 1;
}
void zr_play_update() {}
int zr_play_remove(uint8_t*) {
  return 1;
}
void zr_play_deinit() {}
