// Scream Tracker 3 modules (S3M) as the published format describes them: the 0x60-byte header
// ("SCRM", type 16, tracker version 0x1320 with default panning), the order list, parapointers,
// 0x50-byte sampled instruments with unsigned 8-bit data, and packed 64-row patterns.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

constexpr int kS3mRows = 64;
constexpr int kS3mMaxChannels = 16;  // eight left and eight right PCM channels
constexpr uint8_t kS3mNoNote = 255, kS3mNoteCut = 254, kS3mNoVolume = 255;

// Effect commands by letter (A = 1).
enum S3mCommand : uint8_t {
  S3M_SET_SPEED = 1,     // A
  S3M_JUMP = 2,          // B
  S3M_BREAK = 3,         // C
  S3M_VOLUME_SLIDE = 4,  // D
  S3M_PORTA_DOWN = 5,    // E
  S3M_PORTA_UP = 6,      // F
  S3M_TONE_PORTA = 7,    // G
  S3M_VIBRATO = 8,       // H
  S3M_ARPEGGIO = 10,     // J
  S3M_SPECIAL = 19,      // S
  S3M_SET_TEMPO = 20,    // T
};

struct S3mCell {
  uint8_t note = kS3mNoNote;  // octave << 4 | semitone, or kS3mNoteCut
  uint8_t instrument = 0;     // 1-based, 0 none
  uint8_t volume = kS3mNoVolume;
  uint8_t command = 0;
  uint8_t info = 0;
};

// A note cell from a MIDI-style number: 60 (middle C) is the S3M note C-4.
uint8_t s3m_note(int midi);

struct S3mSample {
  std::string name;          // at most 27 characters
  std::vector<int8_t> data;  // signed here, stored unsigned
  bool loop = false;
  uint32_t loopStart = 0, loopEnd = 0;  // end is one past the last looped sample
  uint8_t volume = 64;
  uint32_t c2spd = 8363;  // playback rate of C-4
};

using S3mPattern = std::array<std::array<S3mCell, kS3mMaxChannels>, kS3mRows>;  // [row][channel]

struct S3mModule {
  std::string title;  // at most 27 characters
  uint8_t speed = 6, tempo = 125, globalVolume = 64, masterVolume = 0x30;
  int channels = 8;                            // the first `channels` channels are enabled
  std::array<uint8_t, kS3mMaxChannels> pan{};  // 0 (left) to 15 (right)
  std::vector<S3mSample> samples;
  std::vector<S3mPattern> patterns;
  std::vector<uint8_t> orders;  // pattern numbers
};

// The module's file bytes. Throws std::runtime_error when it does not fit the format.
std::vector<uint8_t> s3m_bytes(const S3mModule& module);
