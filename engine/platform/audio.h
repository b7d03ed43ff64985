// The sound device: one output in PCM format (8 or 16 bits, mono or stereo, one sample rate) and
// buffers of samples that play into it, each in its own PCM format. Static buffers hold a whole
// effect; a looping buffer streams (its play cursor tells what has been consumed). A mixer of
// our own adds the playing buffers into the output: each buffer's rate is resampled (linear
// interpolation), its volume applied, the sum saturated. Starts, stops and restarts fade over a
// few milliseconds so that no click is heard.
//
// Manual mode (tests, benchmarks) opens no system device: the output is pulled with
// zr_audio_render, so the play cursors move only when the caller asks.
#pragma once
#include <cstdint>

struct ZR_AUDIO_FORMAT {
  int32_t channels;  // 1 or 2
  int32_t bits;      // 8 (unsigned) or 16 (signed)
  int32_t rate;      // samples per second
};

inline int32_t zr_audio_block_align(const ZR_AUDIO_FORMAT& format) {
  return format.channels * format.bits / 8;
}

// The rates tried for the output, best first.
constexpr int32_t ZR_AUDIO_RATES[] = {44100, 22050, 11025};

// Volume in hundredths of a decibel: 0 is full, -10000 silent.
constexpr int32_t ZR_AUDIO_VOLUME_MAX = 0;
constexpr int32_t ZR_AUDIO_VOLUME_MIN = -10000;

// zr_audio_create results.
constexpr int ZR_AUDIO_CREATED = 1;
constexpr int ZR_AUDIO_ABSENT = 0;   // no device on purpose (the dummy driver): run silent
constexpr int ZR_AUDIO_FAILED = -1;  // no device could be reached

// Manual mode's device: what it reports and which rates it accepts.
struct ZR_AUDIO_MANUAL {
  int32_t bits;
  int32_t channels;
  bool accepts44100, accepts22050, accepts11025;
};
// Turns manual mode on (a device description) or off (nullptr). Before zr_audio_create.
void zr_audio_set_manual(const ZR_AUDIO_MANUAL* device);

// Reaches the device (starts the platform's audio).
int zr_audio_create();
// The best the device offers: 16 bits when it can, else 8; 2 channels when it can, else 1.
int zr_audio_capabilities(int32_t* bits, int32_t* channels);
// Whether the device takes this output format.
bool zr_audio_accepts(const ZR_AUDIO_FORMAT& format);

// Tries ZR_AUDIO_RATES in order with the probe; returns the highest rate accepted (0 when none)
// and the lowest in *lowest.
using ZR_AUDIO_PROBE = bool (*)(const ZR_AUDIO_FORMAT& format, void* context);
int32_t zr_audio_negotiate_rate(int32_t channels, int32_t bits, ZR_AUDIO_PROBE probe, void* context,
                                int32_t* lowest);

// Sets the output format and starts the output (silence until a buffer plays).
int zr_audio_open(const ZR_AUDIO_FORMAT& format);
// The output format; nullptr while no output is open.
const ZR_AUDIO_FORMAT* zr_audio_format();
// Stops the output, releases every buffer still held and the device.
void zr_audio_close();

// Manual mode: mixes the next bytes of output (whole frames) into out.
void zr_audio_render(uint8_t* out, uint32_t bytes);

struct ZR_AUDIO_BUFFER;
// A buffer of bytes (whole frames of format) filled with silence; nullptr when the format is not
// one the mixer plays (1 or 2 channels, 8 or 16 bits, 1000 to 192000 samples per second) or the
// output is not open.
ZR_AUDIO_BUFFER* zr_audio_buffer_create(const ZR_AUDIO_FORMAT& format, uint32_t bytes);
void zr_audio_buffer_release(ZR_AUDIO_BUFFER* buffer);
// Gives write access to bytes at offset (wrapping past the end into a second part); the mixer
// waits until the matching unlock. 0 when the region is outside the buffer or already locked.
int zr_audio_buffer_lock(ZR_AUDIO_BUFFER* buffer, uint32_t offset, uint32_t bytes, void** part1,
                         uint32_t* size1, void** part2, uint32_t* size2);
int zr_audio_buffer_unlock(ZR_AUDIO_BUFFER* buffer);
// Plays from the current position, once or looping; a buffer already playing restarts there.
int zr_audio_buffer_play(ZR_AUDIO_BUFFER* buffer, bool loop);
int zr_audio_buffer_stop(ZR_AUDIO_BUFFER* buffer);
// The play position in bytes; setting it on a playing buffer continues from there.
int zr_audio_buffer_set_position(ZR_AUDIO_BUFFER* buffer, uint32_t offset);
uint32_t zr_audio_buffer_position(ZR_AUDIO_BUFFER* buffer);
int zr_audio_buffer_set_volume(ZR_AUDIO_BUFFER* buffer, int32_t hundredths);
bool zr_audio_buffer_is_playing(ZR_AUDIO_BUFFER* buffer);
