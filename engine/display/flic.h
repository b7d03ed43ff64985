// FLIC (FLI/FLC) animation player: the whole file is held in memory and decoded one frame at a
// time at the file's speed, looping, into a picture that can be drawn into a bitmap.
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/display/bitmap.h"

constexpr uint16_t ZR_FLI_MAGIC = 0xAF11;
constexpr uint16_t ZR_FLC_MAGIC = 0xAF12;

struct ZR_ANIM {
  int16_t x;  // added to the destination's placement when drawing
  int16_t y;
  uint16_t width;
  uint16_t height;
  uint32_t size;  // width x height
  uint16_t frames;
  uint16_t frame;  // number of the frame last decoded; 0 before the first
  uint16_t type;   // 1 FLI, 2 FLC
  uint16_t reserved1;
  uint32_t delay;           // milliseconds per frame
  uint32_t lastTick;        // tick count when the last frame was decoded
  uint16_t paletteChanged;  // set by a palette chunk; the caller clears it
  uint16_t reserved2;
  uint8_t* palette;     // 768 bytes
  uint8_t* firstFrame;  // into data
  uint8_t* nextFrame;
  uint8_t* loopFrame;
  uint8_t* pixels;  // size bytes
  uint8_t* data;    // the file's contents after its 128-byte header
  char* name;
  uint32_t dataSize;  // bytes held in data (bounds every chunk read)
};

// source: 1 the data archive first, then the disk (as every data file); 2 the disk only;
// anything else fails.
int zr_anim_load(ZR_ANIM* anim, const char* path, int source);
// The same from a whole file in memory.
int zr_anim_load_memory(ZR_ANIM* anim, const uint8_t* bytes, size_t size, const char* name);
int zr_anim_next(ZR_ANIM* anim, int force);
// mode 2 stretches to a destination of another size; otherwise centred.
void zr_anim_draw(ZR_ANIM* anim, ZR_BITMAP* destination, int mode);
void zr_anim_clear(ZR_ANIM* anim);
void zr_anim_rewind(ZR_ANIM* anim);
void zr_anim_free(ZR_ANIM* anim);
