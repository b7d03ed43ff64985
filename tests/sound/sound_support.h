// Shared by the sound tests: a scratch folder made current with the core modules started (the
// settings file "zrsentry.ini" in it), warning boxes captured, a manual sound device, and small
// helpers to write wave files and to pull the mixed output.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core_services.h"
#include "engine/core/fileio.h"
#include "engine/platform/audio.h"
#include "engine/platform/message_box.h"
#include "engine/sound/music.h"
#include "engine/sound/sound.h"

struct SoundBox {
  std::string text;
  std::string caption;  // "(none)" when the box had no caption
};

inline std::vector<SoundBox>& sound_boxes() {
  static std::vector<SoundBox> boxes;
  return boxes;
}

inline int capture_sound_box(const char* text, const char* caption, uint32_t) {
  sound_boxes().push_back({text ? text : "", caption ? caption : "(none)"});
  return IDOK;
}

inline std::string le16(uint32_t value) {
  return std::string{char(value & 0xFF), char((value >> 8) & 0xFF)};
}
inline std::string le32(uint32_t value) {
  return le16(value & 0xFFFF) + le16(value >> 16);
}

// The bytes of a wave file: the header in the one accepted layout, with room for changes.
struct WaveSpec {
  uint16_t tag = 1;
  uint16_t channels = 1;
  uint32_t rate = 22050;
  uint16_t bits = 16;
  std::string samples;
  std::string between;            // a chunk put between "fmt " and "data"
  int64_t statedSize = -1;        // the data size written, -1 for the real one
  uint32_t formatSize = 16;       // extra bytes after the 16 are zero
  int64_t statedFormatSize = -1;  // the format size written, -1 for the real one
  std::string magic = "RIFF", wave = "WAVEfmt ";
};

inline std::string wave_bytes(const WaveSpec& spec) {
  const uint16_t block = uint16_t(spec.channels * spec.bits / 8);
  std::string format = le16(spec.tag) + le16(spec.channels) + le32(spec.rate) +
                       le32(spec.rate * block) + le16(block) + le16(spec.bits);
  format.resize(spec.formatSize, '\0');
  const uint32_t size =
      spec.statedSize >= 0 ? uint32_t(spec.statedSize) : uint32_t(spec.samples.size());
  const uint32_t formatSize =
      spec.statedFormatSize >= 0 ? uint32_t(spec.statedFormatSize) : spec.formatSize;
  std::string body =
      spec.wave + le32(formatSize) + format + spec.between + "data" + le32(size) + spec.samples;
  return spec.magic + le32(uint32_t(body.size())) + body;
}

// Samples of a sine wave, 16-bit, the same on every channel.
inline std::string sine16(int frames, int channels, double cyclesPerFrame, double amplitude) {
  std::string bytes;
  for (int i = 0; i < frames; ++i) {
    int16_t value = int16_t(std::lround(amplitude * std::sin(2 * M_PI * cyclesPerFrame * i)));
    for (int c = 0; c < channels; ++c) bytes += le16(uint16_t(value));
  }
  return bytes;
}

// Constant 16-bit samples (a worst case for clicks).
inline std::string level16(int frames, int channels, int16_t value) {
  std::string bytes;
  for (int i = 0; i < frames * channels; ++i) bytes += le16(uint16_t(value));
  return bytes;
}

inline void write_bytes(const std::string& path, const std::string& bytes) {
  std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

inline std::string read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Pulls frames of 16-bit output from the manual device.
inline std::vector<int16_t> render16(uint32_t frames, int channels = 2) {
  std::vector<int16_t> out(size_t(frames) * channels);
  zr_audio_render(reinterpret_cast<uint8_t*>(out.data()), uint32_t(out.size() * 2));
  return out;
}

inline double rms(const std::vector<int16_t>& samples, size_t from = 0, size_t to = SIZE_MAX) {
  to = std::min(to, samples.size());
  if (to <= from) return 0;
  double sum = 0;
  for (size_t i = from; i < to; ++i) sum += double(samples[i]) * samples[i];
  return std::sqrt(sum / double(to - from));
}

inline int peak(const std::vector<int16_t>& samples, size_t from = 0, size_t to = SIZE_MAX) {
  int top = 0;
  for (size_t i = from; i < std::min(to, samples.size()); ++i)
    top = std::max(top, std::abs(int(samples[i])));
  return top;
}

// The largest step between neighbouring frames of one channel: a click shows as a big step.
inline int largest_step(const std::vector<int16_t>& samples, int channels, int channel = 0) {
  int largest = 0;
  for (size_t i = channel + channels; i < samples.size(); i += channels) {
    largest = std::max(largest, std::abs(int(samples[i]) - int(samples[i - channels])));
  }
  return largest;
}

constexpr ZR_AUDIO_MANUAL kManual16Stereo = {16, 2, true, true, true};

// The core modules in a scratch folder, a manual device described by `device` (nullptr: none)
// and the application's six integers at their defaults.
class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sound_boxes().clear();
    zr_message_box_set_hook(capture_sound_box);
    zrtest::start_core_services(
        &report_, &io_, {.order = zrtest::CoreOrder::ListFirst, .settingsName = "zrsentry.ini"});
    zr_audio_set_manual(&kManual16Stereo);
  }
  void TearDown() override {
    zr_sound_deinit();
    zr_audio_close();
    zr_audio_set_manual(nullptr);
    zrtest::stop_core_services(zrtest::CoreOrder::ListFirst);
    zr_message_box_set_hook(nullptr);
  }

  ZR_SOUND_CONFIG Config() {
    ZR_SOUND_CONFIG config{};
    config.report = &report_;
    config.appActive = &active;
    config.musicOn = &musicOn;
    config.effectsOn = &effectsOn;
    config.musicVolume = &musicVolume;
    config.effectsVolume = &effectsVolume;
    config.quality = &quality;
    config.soundMenuPosition = 2;
    config.qualityMenuPosition = 3;
    return config;
  }
  // Starts the sound module on the manual device (active window unless said otherwise).
  int Start(const ZR_AUDIO_MANUAL& device = kManual16Stereo, bool activeWindow = true) {
    zr_audio_set_manual(&device);
    active = activeWindow ? 1 : 0;
    ZR_SOUND_CONFIG config = Config();
    return zr_sound_init(&config);
  }

  int32_t active = 0, musicOn = 1, effectsOn = 1, musicVolume = 70, effectsVolume = 80, quality = 4;
  zrtest::ScratchFolder folder_{"zrsound"};
  int32_t report_ = 0;
  ZR_IO_CONFIG io_{};
};

// Tests built on the peer files skip, saying where they looked, when the folder is absent.
#define ZR_SKIP_WITHOUT_PEER_CASES()                \
  if (!std::filesystem::exists(ZR_PEER_CASES))      \
  GTEST_SKIP() << "no peer files at " ZR_PEER_CASES \
                  " (set ZR_PEER_CASES to their folder when configuring)"

inline std::string peer_case(const std::string& name) {
  return std::string(ZR_PEER_CASES) + "/" + name;
}
