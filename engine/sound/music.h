// The music stream: one S3M module at a time, mixed into a one-second looping stream in ten
// chunks that the frame timer's thread refills.
#pragma once
#include <cstdint>

// A loaded music module.
struct ZR_MUSIC;

// Loads a module through the file layer; it becomes the current music. None on failure (after
// the message box) or without a device.
ZR_MUSIC* zr_music_load(const char* file);
int zr_music_play(ZR_MUSIC* music);
// The refill step (frame-timer thread).
void zr_music_update();
int zr_music_stop(ZR_MUSIC* music);
void zr_music_free(ZR_MUSIC* music);
