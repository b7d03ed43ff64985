#include "engine/platform/audio.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>
#include <vector>

#include "engine/platform/platform_internal.h"

// One voice reads a buffer: the play position in source frames with a 16-bit fraction, and the
// fade envelope (0 silent .. ramp full).
struct AudioVoice {
  bool active = false;
  uint32_t frame = 0;
  uint32_t fraction = 0;
  int32_t envelope = 0;
  int32_t direction = 0;  // +1 fading in, -1 fading out, 0 steady
};

struct ZR_AUDIO_BUFFER {
  ZR_AUDIO_FORMAT format{};
  std::vector<uint8_t> data;
  uint32_t frames = 0;
  uint32_t blockAlign = 0;
  uint32_t step = 0;     // source frames per output frame, 16.16
  int32_t gain = 32768;  // Q15
  bool loop = false;
  std::atomic<bool> locked{false};  // written under g_mutex, which the lock holds until unlock
  AudioVoice main;                  // its frame is the play position, also while stopped
  AudioVoice fade;                  // the sound that was cut by a stop or a restart, fading out
};

namespace {

constexpr uint32_t kBlockFrames = 1024;  // mixed at a time

// Everything below is guarded by g_mutex: the mixer runs on the device's thread.
std::mutex g_mutex;
bool g_manual = false;
ZR_AUDIO_MANUAL g_manualDevice{};
bool g_created = false;
bool g_subsystemStarted = false;
bool g_open = false;
SDL_AudioDeviceID g_device = 0;
bool g_probed = false;
SDL_AudioDeviceID g_probeDevice = 0;  // opened by the first probe
ZR_AUDIO_FORMAT g_probeFormat{};
ZR_AUDIO_FORMAT g_format{};
int32_t g_rampShift = 8;  // fades last 2^shift output frames (about 6 ms)
std::vector<ZR_AUDIO_BUFFER*> g_buffers;
std::vector<int32_t> g_accumulator;

bool validFormat(const ZR_AUDIO_FORMAT& format) {
  return (format.channels == 1 || format.channels == 2) &&
         (format.bits == 8 || format.bits == 16) && format.rate >= 1000 && format.rate <= 192000;
}

int32_t rampShiftFor(int32_t rate) {
  int32_t shift = 0;
  while ((int32_t(2) << shift) * 172 <= rate) ++shift;
  return std::max<int32_t>(shift, 2);
}

// Hundredths of a decibel to a Q15 gain.
int32_t gainOf(int32_t hundredths) {
  if (hundredths <= ZR_AUDIO_VOLUME_MIN) return 0;
  hundredths = std::min(hundredths, ZR_AUDIO_VOLUME_MAX);
  return int32_t(std::lround(32768.0 * std::pow(10.0, hundredths / 2000.0)));
}

// The voice goes on fading out; the buffer's main voice is then free.
void cutToFade(ZR_AUDIO_BUFFER* buffer) {
  if (!buffer->main.active) return;
  buffer->fade = buffer->main;
  buffer->fade.direction = -1;
  buffer->main.active = false;
}

void startMain(ZR_AUDIO_BUFFER* buffer) {
  buffer->main.active = true;
  buffer->main.fraction = 0;
  buffer->main.envelope = 0;
  buffer->main.direction = 1;
}

template <int Bits>
inline int32_t sampleAt(const uint8_t* p) {
  if constexpr (Bits == 8) {
    return (int32_t(p[0]) - 128) * 256;
  } else {
    return int16_t(uint16_t(p[0] | (p[1] << 8)));
  }
}

// One source position, interpolated between its frame and the next (fraction in 15 bits keeps
// the product in range).
template <int Bits, int Channels>
inline void readFrame(const uint8_t* p0, const uint8_t* p1, int32_t f, int32_t* left,
                      int32_t* right) {
  const int32_t left0 = sampleAt<Bits>(p0), left1 = sampleAt<Bits>(p1);
  *left = left0 + (((left1 - left0) * f) >> 15);
  *right = *left;
  if constexpr (Channels == 2) {
    const int32_t right0 = sampleAt<Bits>(p0 + Bits / 8), right1 = sampleAt<Bits>(p1 + Bits / 8);
    *right = right0 + (((right1 - right0) * f) >> 15);
  }
}

template <int OutChannels>
inline void addFrame(int32_t* acc, uint32_t i, int32_t left, int32_t right, int32_t gain) {
  if constexpr (OutChannels == 2) {
    acc[2 * i] += (left * gain) >> 15;
    acc[2 * i + 1] += (right * gain) >> 15;
  } else {
    acc[i] += (((left + right) >> 1) * gain) >> 15;
  }
}

// Adds count output frames of one voice into the accumulator. Stretches at a steady volume away
// from the buffer's end go through a tight loop; fades, the last frames of a single play and the
// seam of a loop go frame by frame.
template <int Bits, int Channels, int OutChannels>
void mixVoice(const ZR_AUDIO_BUFFER& buffer, AudioVoice& voice, int32_t* acc, uint32_t count) {
  const uint8_t* data = buffer.data.data();
  const uint32_t frames = buffer.frames;
  const uint32_t block = Channels * Bits / 8;
  const uint32_t step = buffer.step;
  const int32_t ramp = int32_t(1) << g_rampShift;
  // Source frames that the last fade of a single play covers.
  const uint32_t tailFrames = uint32_t((uint64_t(ramp) * step) >> 16) + 1;
  // Steady stretches stay below this frame, so that the next frame needs no wrap and no tail.
  const uint32_t limit = buffer.loop ? frames - 1 : (frames > tailFrames ? frames - tailFrames : 0);
  uint32_t i = 0;
  while (i < count) {
    if (voice.frame >= frames) {
      if (!buffer.loop) {
        voice.active = false;
        return;
      }
      voice.frame %= frames;
    }
    if (voice.direction == 0 && voice.frame + 1 < limit) {
      const uint64_t room = (uint64_t(limit - voice.frame - 1) << 16) / step;
      const uint32_t stretch = uint32_t(std::min<uint64_t>(room, count - i));
      if (stretch > 0) {
        const int32_t gain = (buffer.gain * voice.envelope) >> g_rampShift;
        uint32_t frame = voice.frame, fraction = voice.fraction;
        if (step == 0x10000 && fraction == 0) {
          // The output's own rate (the music stream): frame for frame, nothing to interpolate.
          const uint8_t* p = data + size_t(frame) * block;
          for (uint32_t end = i + stretch; i < end; ++i, p += block) {
            int32_t left = sampleAt<Bits>(p), right = left;
            if constexpr (Channels == 2) right = sampleAt<Bits>(p + Bits / 8);
            addFrame<OutChannels>(acc, i, left, right, gain);
          }
          voice.frame = frame + stretch;
          continue;
        }
        for (uint32_t end = i + stretch; i < end; ++i) {
          const uint8_t* p0 = data + size_t(frame) * block;
          int32_t left, right;
          readFrame<Bits, Channels>(p0, p0 + block, int32_t(fraction >> 1), &left, &right);
          addFrame<OutChannels>(acc, i, left, right, gain);
          fraction += step;
          frame += fraction >> 16;
          fraction &= 0xFFFF;
        }
        voice.frame = frame;
        voice.fraction = fraction;
        continue;
      }
    }

    uint32_t next = voice.frame + 1;
    if (next >= frames) next = buffer.loop ? 0 : voice.frame;
    int32_t left, right;
    readFrame<Bits, Channels>(data + size_t(voice.frame) * block, data + size_t(next) * block,
                              int32_t(voice.fraction >> 1), &left, &right);
    int32_t envelope = voice.envelope;
    if (voice.direction != 0) {
      voice.envelope += voice.direction;
      if (voice.envelope >= ramp) {
        voice.envelope = ramp;
        voice.direction = 0;
      } else if (voice.envelope < 0) {
        voice.active = false;  // faded out
        return;
      }
    }
    if (!buffer.loop && voice.frame + tailFrames >= frames) {
      // The end of a single play fades too: output frames left until the last source frame.
      uint64_t left64 = ((uint64_t(frames - voice.frame) << 16) - voice.fraction) / step;
      envelope = std::min<int32_t>(envelope, int32_t(std::min<uint64_t>(left64, ramp)));
    }
    addFrame<OutChannels>(acc, i, left, right, (buffer.gain * envelope) >> g_rampShift);
    voice.fraction += step;
    voice.frame += voice.fraction >> 16;
    voice.fraction &= 0xFFFF;
    ++i;
  }
}

using MixFunction = void (*)(const ZR_AUDIO_BUFFER&, AudioVoice&, int32_t*, uint32_t);

template <int OutChannels>
MixFunction mixFunctionFor(const ZR_AUDIO_FORMAT& format) {
  if (format.bits == 8) {
    return format.channels == 1 ? mixVoice<8, 1, OutChannels> : mixVoice<8, 2, OutChannels>;
  }
  return format.channels == 1 ? mixVoice<16, 1, OutChannels> : mixVoice<16, 2, OutChannels>;
}

void mixBlock(uint8_t* out, uint32_t frames) {
  const int32_t channels = g_format.channels;
  int32_t* acc = g_accumulator.data();
  std::fill_n(acc, frames * channels, 0);
  for (ZR_AUDIO_BUFFER* buffer : g_buffers) {
    if (buffer->gain == 0) continue;
    MixFunction mix =
        channels == 2 ? mixFunctionFor<2>(buffer->format) : mixFunctionFor<1>(buffer->format);
    if (buffer->fade.active) mix(*buffer, buffer->fade, acc, frames);
    if (buffer->main.active) mix(*buffer, buffer->main, acc, frames);
  }
  const uint32_t samples = frames * channels;
  if (g_format.bits == 16) {
    for (uint32_t i = 0; i < samples; ++i) {
      int16_t value = int16_t(std::clamp<int32_t>(acc[i], -32768, 32767));
      std::memcpy(out + 2 * i, &value, 2);
    }
  } else {
    for (uint32_t i = 0; i < samples; ++i) {
      out[i] = uint8_t(std::clamp<int32_t>((acc[i] >> 8) + 128, 0, 255));
    }
  }
}

void mixInto(uint8_t* out, uint32_t bytes) {
  const uint32_t block = uint32_t(zr_audio_block_align(g_format));
  uint32_t frames = block ? bytes / block : 0;
  while (frames > 0) {
    uint32_t now = std::min(frames, kBlockFrames);
    mixBlock(out, now);
    out += now * block;
    frames -= now;
  }
}

void deviceCallback(void*, Uint8* stream, int length) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (!g_open) {
    std::memset(stream, g_format.bits == 8 ? 0x80 : 0, size_t(length));
    return;
  }
  mixInto(stream, uint32_t(length));
}

SDL_AudioSpec specFor(const ZR_AUDIO_FORMAT& format) {
  SDL_AudioSpec spec{};
  spec.freq = format.rate;
  spec.format = format.bits == 8 ? AUDIO_U8 : AUDIO_S16SYS;
  spec.channels = Uint8(format.channels);
  // About 23 ms per call at every rate.
  spec.samples = Uint16(format.rate >= 44100 ? 1024 : format.rate >= 22050 ? 512 : 256);
  spec.callback = deviceCallback;
  return spec;
}

bool manualAccepts(int32_t rate) {
  switch (rate) {
    case 44100:
      return g_manualDevice.accepts44100;
    case 22050:
      return g_manualDevice.accepts22050;
    case 11025:
      return g_manualDevice.accepts11025;
    default:
      return false;
  }
}

bool isAudioDriver(const char* name) {
  const char* driver = SDL_GetCurrentAudioDriver();
  return driver && std::strcmp(driver, name) == 0;
}

}  // namespace

void zr_audio_set_manual(const ZR_AUDIO_MANUAL* device) {
  g_manual = device != nullptr;
  g_manualDevice = device ? *device : ZR_AUDIO_MANUAL{};
}

int zr_audio_create() {
  if (g_created) return ZR_AUDIO_CREATED;
  if (g_manual) {
    g_created = true;
    return ZR_AUDIO_CREATED;
  }
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return ZR_AUDIO_FAILED;
  g_subsystemStarted = true;
  if (isAudioDriver("dummy")) {
    // Chosen for runs without sound: nothing to report.
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    g_subsystemStarted = false;
    return ZR_AUDIO_ABSENT;
  }
  if (SDL_GetNumAudioDevices(0) == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    g_subsystemStarted = false;
    return ZR_AUDIO_FAILED;
  }
  g_created = true;
  return ZR_AUDIO_CREATED;
}

int zr_audio_capabilities(int32_t* bits, int32_t* channels) {
  if (!g_created) return 0;
  // The system's audio converts any format we give it, so the best is always offered.
  int32_t deviceBits = g_manual ? (g_manualDevice.bits >= 16 ? 16 : 8) : 16;
  int32_t deviceChannels = g_manual ? (g_manualDevice.channels >= 2 ? 2 : 1) : 2;
  if (bits) *bits = deviceBits;
  if (channels) *channels = deviceChannels;
  return 1;
}

bool zr_audio_accepts(const ZR_AUDIO_FORMAT& format) {
  if (!g_created || !validFormat(format)) return false;
  if (g_manual) return manualAccepts(format.rate);
  // The system converts any rate we give it: a device that opens at one rate takes them all.
  // The first device opened is kept (paused) for zr_audio_open.
  if (g_probed) return g_probeDevice != 0;
  g_probed = true;
  SDL_AudioSpec want = specFor(format), have{};
  g_probeDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  g_probeFormat = format;
  return g_probeDevice != 0;
}

int32_t zr_audio_negotiate_rate(int32_t channels, int32_t bits, ZR_AUDIO_PROBE probe, void* context,
                                int32_t* lowest) {
  int32_t highest = 0, low = 0;
  for (int32_t rate : ZR_AUDIO_RATES) {
    if (!probe(ZR_AUDIO_FORMAT{channels, bits, rate}, context)) continue;
    if (highest == 0 || rate > highest) highest = rate;
    if (low == 0 || rate < low) low = rate;
  }
  if (lowest) *lowest = low;
  return highest;
}

int zr_audio_open(const ZR_AUDIO_FORMAT& format) {
  if (!g_created || g_open || !validFormat(format)) return 0;
  if (g_manual && !manualAccepts(format.rate)) return 0;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_format = format;
    g_rampShift = rampShiftFor(format.rate);
    g_accumulator.assign(size_t(kBlockFrames) * format.channels, 0);
    g_open = true;
  }
  if (g_manual) return 1;
  const bool probed = g_probeDevice != 0 && g_probeFormat.rate == format.rate &&
                      g_probeFormat.bits == format.bits &&
                      g_probeFormat.channels == format.channels;
  if (probed) {
    g_device = g_probeDevice;
  } else {
    if (g_probeDevice != 0) SDL_CloseAudioDevice(g_probeDevice);
    SDL_AudioSpec want = specFor(format), have{};
    g_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  }
  g_probeDevice = 0;
  if (g_device == 0) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_open = false;
    return 0;
  }
  SDL_PauseAudioDevice(g_device, 0);
  return 1;
}

const ZR_AUDIO_FORMAT* zr_audio_format() {
  return g_open ? &g_format : nullptr;
}

void zr_audio_close() {
  // The device's thread takes g_mutex: close it before taking the lock.
  if (g_device != 0) SDL_CloseAudioDevice(g_device);
  if (g_probeDevice != 0) SDL_CloseAudioDevice(g_probeDevice);
  g_device = g_probeDevice = 0;
  g_probed = false;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    for (ZR_AUDIO_BUFFER* buffer : g_buffers) delete buffer;
    g_buffers.clear();
    g_open = false;
  }
  if (g_subsystemStarted) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  g_subsystemStarted = false;
  g_created = false;
}

void zr_audio_render(uint8_t* out, uint32_t bytes) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (!g_open) {
    std::memset(out, 0, bytes);
    return;
  }
  mixInto(out, bytes);
}

ZR_AUDIO_BUFFER* zr_audio_buffer_create(const ZR_AUDIO_FORMAT& format, uint32_t bytes) {
  if (!validFormat(format)) return nullptr;
  const uint32_t block = uint32_t(zr_audio_block_align(format));
  if (bytes < block) return nullptr;
  std::lock_guard<std::mutex> lock(g_mutex);
  if (!g_open) return nullptr;
  auto* buffer = new ZR_AUDIO_BUFFER;
  buffer->format = format;
  buffer->blockAlign = block;
  buffer->frames = bytes / block;
  buffer->data.assign(bytes, format.bits == 8 ? 0x80 : 0);
  buffer->step = uint32_t((uint64_t(format.rate) << 16) / uint64_t(g_format.rate));
  g_buffers.push_back(buffer);
  return buffer;
}

void zr_audio_buffer_release(ZR_AUDIO_BUFFER* buffer) {
  if (!buffer) return;
  std::lock_guard<std::mutex> lock(g_mutex);
  auto found = std::find(g_buffers.begin(), g_buffers.end(), buffer);
  if (found == g_buffers.end()) return;
  g_buffers.erase(found);
  delete buffer;
}

int zr_audio_buffer_lock(ZR_AUDIO_BUFFER* buffer, uint32_t offset, uint32_t bytes, void** part1,
                         uint32_t* size1, void** part2, uint32_t* size2) {
  if (!buffer || !part1 || !size1 || buffer->locked) return 0;
  // Held until the unlock, so that the mixer never reads a half-written region.
  g_mutex.lock();
  const uint32_t size = uint32_t(buffer->data.size());
  if (offset >= size || bytes > size) {
    g_mutex.unlock();
    return 0;
  }
  buffer->locked = true;
  const uint32_t first = std::min(bytes, size - offset);
  *part1 = buffer->data.data() + offset;
  *size1 = first;
  if (part2) *part2 = first < bytes ? buffer->data.data() : nullptr;
  if (size2) *size2 = bytes - first;
  return 1;
}

int zr_audio_buffer_unlock(ZR_AUDIO_BUFFER* buffer) {
  if (!buffer || !buffer->locked) return 0;
  buffer->locked = false;
  g_mutex.unlock();
  return 1;
}

int zr_audio_buffer_play(ZR_AUDIO_BUFFER* buffer, bool loop) {
  if (!buffer) return 0;
  std::lock_guard<std::mutex> lock(g_mutex);
  cutToFade(buffer);
  buffer->loop = loop;
  if (buffer->main.frame >= buffer->frames) buffer->main.frame = loop ? 0 : buffer->frames;
  startMain(buffer);
  return 1;
}

int zr_audio_buffer_stop(ZR_AUDIO_BUFFER* buffer) {
  if (!buffer) return 0;
  std::lock_guard<std::mutex> lock(g_mutex);
  cutToFade(buffer);
  return 1;
}

int zr_audio_buffer_set_position(ZR_AUDIO_BUFFER* buffer, uint32_t offset) {
  if (!buffer) return 0;
  std::lock_guard<std::mutex> lock(g_mutex);
  if (offset > buffer->data.size()) return 0;
  const bool playing = buffer->main.active;
  cutToFade(buffer);
  buffer->main.frame = std::min(offset / buffer->blockAlign, buffer->frames);
  buffer->main.fraction = 0;
  if (playing) startMain(buffer);
  return 1;
}

uint32_t zr_audio_buffer_position(ZR_AUDIO_BUFFER* buffer) {
  if (!buffer) return 0;
  std::lock_guard<std::mutex> lock(g_mutex);
  return std::min(buffer->main.frame, buffer->frames) * buffer->blockAlign;
}

int zr_audio_buffer_set_volume(ZR_AUDIO_BUFFER* buffer, int32_t hundredths) {
  if (!buffer || hundredths > ZR_AUDIO_VOLUME_MAX || hundredths < ZR_AUDIO_VOLUME_MIN) return 0;
  std::lock_guard<std::mutex> lock(g_mutex);
  buffer->gain = gainOf(hundredths);
  return 1;
}

bool zr_audio_buffer_is_playing(ZR_AUDIO_BUFFER* buffer) {
  if (!buffer) return false;
  std::lock_guard<std::mutex> lock(g_mutex);
  return buffer->main.active;
}
