// Placeholder until the sound device exists: no device, so every call does nothing.
#include "engine/sound/sound.h"

int zr_sound_init(ZR_SOUND_CONFIG*) {
  return 0;
}
void zr_sound_deinit() {}
ZR_SOUND* zr_sound_load(const char*) {
  return nullptr;
}
int zr_sound_play(ZR_SOUND*, int) {
  return 0;
}
int zr_sound_stop(ZR_SOUND*) {
  return 0;
}
int zr_sound_is_playing(ZR_SOUND*) {
  return 0;
}
void zr_sound_free(ZR_SOUND*) {}
int zr_sound_window_message(uint32_t, uintptr_t, intptr_t) {
  return 1;
}
