// Small synthesiser kit for the generator's sounds: oscillators, envelopes, filters and the wave
// file writer. Everything is plain double arithmetic with our own series for sine and powers of
// two (no library transcendentals), so the same bytes come out on every machine.
#pragma once
#include <cstdint>
#include <filesystem>
#include <vector>

#include "tools/zrgen/rng.h"

namespace dsp {

using Signal = std::vector<double>;

// sin(2 pi t) for t in turns, to about 1e-14.
double sine(double turns);
// 2 to the power x, to about 1e-14 relative.
double exp2(double x);
// Base-2 logarithm of x > 0, to about 1e-14.
double log2(double x);
// Frequency of a MIDI note number (69 = A 440 Hz); fractional numbers glide between notes.
double note_hz(double note);
// Fractional part in [0, 1).
double wrap(double turns);

// Bipolar band-limited-enough shapes of a phase in turns, for effects at 22 kHz.
double saw(double turns);
double square(double turns, double duty = 0.5);
double triangle(double turns);

// White noise in [-1, 1).
inline double white(Rng& rng) {
  return rng.unit() * 2.0 - 1.0;
}

// Chamberlin state-variable filter: one sample in, low-, band- and high-pass out. The cutoff is
// in Hz and the damping q in (0, 2]: small values ring. Cutoffs are held below a third of the rate.
struct Svf {
  double low = 0.0, band = 0.0, high = 0.0;
  void step(double in, double cutoff, double q, double rate);
};

// One-pole low-pass (smoothing) toward the input.
struct OnePole {
  double z = 0.0;
  double lowpass(double in, double cutoff, double rate);
};

// Exponential decay that halves every `half` seconds.
inline double decay(double t, double half) {
  return exp2(-t / half);
}
// Linear ramps of `seconds` at the start and end of a signal, against clicks.
void fade_edges(Signal& s, double rate, double in, double out);
// Scales the signal so that its largest magnitude is `peak`.
void normalize(Signal& s, double peak);
// Makes a loop of `length` samples from a signal at least length + `overlap` long: the overlap
// after the loop is cross-faded into its start, so the loop's end flows into its beginning.
Signal seamless_loop(const Signal& s, size_t length, size_t overlap);

// Every `factor`-th sample after a windowed-sinc low-pass below the new Nyquist frequency: effects
// are drawn at a multiple of their rate so that sharp waveforms do not alias. With `circular` the
// signal is taken as one turn of a loop, so the result still joins its start.
Signal decimate(const Signal& s, int factor, bool circular);

// A plain RIFF wave: "fmt " of 16 bytes (PCM, mono, 16-bit) and "data" right after it.
std::vector<uint8_t> wave_bytes(const Signal& s, int rate);
// Writes bytes to a file; throws std::runtime_error when it cannot.
void write_bytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

}  // namespace dsp
