// Wave files: the samples of a sound effect from a RIFF wave file read through the file layer
// (data archive first, then disk). One layout is accepted: uncompressed PCM with the format chunk
// first and the data chunk right after it.
#pragma once
#include <cstdint>

// The PCM format fields of the format chunk.
struct ZR_WAVE_FORMAT {
  uint16_t formatTag;  // 1 = PCM
  uint16_t channels;
  uint32_t samplesPerSec;
  uint32_t avgBytesPerSec;
  uint16_t blockAlign;
  uint16_t bitsPerSample;
};

struct ZR_WAVE {
  ZR_WAVE_FORMAT format;
  uint8_t* samples;  // tracked memory, owned by the caller once loaded
  uint32_t size;     // bytes of samples
};

// Codes of the module "Sound" recorded by the reader (with the file name as detail).
constexpr int ZR_WAVE_CANNOT_OPEN = 19;
constexpr int ZR_WAVE_NOT_RIFF = 20;
constexpr int ZR_WAVE_NOT_WAVE_FMT = 21;
constexpr int ZR_WAVE_NOT_PCM = 22;
constexpr int ZR_WAVE_NO_DATA = 23;
constexpr int ZR_WAVE_NO_MEMORY = 10;

// Reads the file into *wave; returns 1, or 0 after recording a code with the error service under
// the module number given.
int zr_wave_load(const char* file, ZR_WAVE* wave, int module);
