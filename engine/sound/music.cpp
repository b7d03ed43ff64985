// Placeholder until the music stream exists: no device, so every call does nothing.
#include "engine/sound/music.h"

ZR_MUSIC* zr_music_load(const char*) {
  return nullptr;
}
int zr_music_play(ZR_MUSIC*) {
  return 0;
}
void zr_music_update() {}
int zr_music_stop(ZR_MUSIC*) {
  return 0;
}
void zr_music_free(ZR_MUSIC*) {}
