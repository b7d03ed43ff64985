#include "tools/zrgen/instruments.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/zrgen/dsp.h"
#include "tools/zrgen/rng.h"

namespace {

constexpr int kPeriod = 64;            // samples per cycle of the written pitch
constexpr uint32_t kToneRate = 16744;  // 64 x 261.626 Hz: C-4 plays the written pitch
constexpr int kLoopCycles = 128;       // the sustain loop: 8192 samples, half a second
constexpr int kLoopLength = kPeriod * kLoopCycles;

// One sine partial: `cycles` per period (whole or detuned by 1/kLoopCycles steps), its level at
// the attack and in the sustain.
struct Partial {
  double cycles;
  double attack, sustain;
  double phase;
};

struct ToneRecipe {
  std::vector<Partial> partials;
  int attackSamples;  // the partials move from attack to sustain levels over this many
  double rise;        // seconds of the fade-in at the very start
  bool loop;          // false: the sample ends after the attack part, faded out
  uint8_t volume;
};

// Harmonic k of a voice detuned by `detune` loop steps: still a whole number of cycles per loop.
double detuned(int k, int detune) {
  return double(k) * double(kLoopCycles + detune) / double(kLoopCycles);
}

// Adds the harmonics 1..count of one voice with amplitude rules for attack and sustain.
template <typename AttackLevel, typename SustainLevel>
void add_voice(ToneRecipe& r, Rng& rng, int count, int detune, double gain, AttackLevel attack,
               SustainLevel sustain) {
  for (int k = 1; k <= count; ++k)
    r.partials.push_back({detuned(k, detune), gain * attack(k), gain * sustain(k), rng.unit()});
}

ToneRecipe recipe(Tone tone, Rng& rng) {
  ToneRecipe r{{}, 0, 0.004, true, 64};
  auto saw = [](int k) { return 1.0 / k; };
  auto odd = [](int k) { return k % 2 ? 1.0 / k : 0.0; };
  switch (tone) {
    case Tone::ROUND_BASS:
      r.attackSamples = 2400;
      r.rise = 0.006;
      add_voice(
          r, rng, 8, 0, 1.0, [](int k) { return 1.0 / (k * k) + (k == 2 ? 0.3 : 0.0); },
          [](int k) { return k == 1 ? 1.0 : 0.6 / (k * k * k); });
      break;
    case Tone::SAW_BASS:
      r.attackSamples = 6000;
      add_voice(r, rng, 24, 0, 1.0, saw, [](int k) { return 1.0 / (k * (1.0 + 0.25 * k * k)); });
      add_voice(
          r, rng, 3, -kLoopCycles / 2, 0.5, [](int k) { return k == 1 ? 1.0 : 0.0; },
          [](int k) { return k == 1 ? 1.0 : 0.0; });  // sub octave
      break;
    case Tone::PICK_BASS:
      r.attackSamples = 9000;
      r.loop = false;
      add_voice(
          r, rng, 16, 0, 1.0, [](int k) { return 1.2 * dsp::exp2(-1.2 * dsp::log2(k)); },
          [](int) { return 0.0; });
      break;
    case Tone::STRINGS:
      r.attackSamples = 5000;
      r.rise = 0.04;
      for (int d : {-1, 0, 1})
        add_voice(
            r, rng, 20, d, 0.55, [](int k) { return 0.8 / (k * (1.0 + 0.04 * k * k)); },
            [](int k) { return 1.0 / (k * (1.0 + 0.03 * k * k)); });
      break;
    case Tone::GLASS_PAD:
      r.attackSamples = 4000;
      r.rise = 0.05;
      for (int d : {-1, 1}) {
        add_voice(
            r, rng, 15, d, 0.6, [](int k) { return k % 2 ? 1.0 / k : 0.15 / k; },
            [](int k) { return k % 2 ? 1.0 / (k * k) : 0.1 / k; });
      }
      add_voice(
          r, rng, 1, 0, 0.15, [](int) { return 0.0; }, [](int) { return 1.0; });
      r.partials.push_back({4.0, 0.0, 0.12, 0.3});  // a high shimmer two octaves up
      break;
    case Tone::ORGAN:
      r.attackSamples = 800;
      for (int k : {1, 2, 3, 4, 6, 8}) {
        const double level = k == 1 ? 1.0 : k == 2 ? 0.7 : k == 3 ? 0.5 : 0.3;
        r.partials.push_back({double(k), level * 1.4, level, rng.unit()});
      }
      break;
    case Tone::SQUARE_LEAD:
      r.attackSamples = 3000;
      for (int d : {0, 1})
        add_voice(r, rng, 15, d, 0.7, odd,
                  [](int k) { return k % 2 ? 0.9 / (k * (1 + 0.02 * k * k)) : 0.0; });
      break;
    case Tone::SAW_LEAD:
      r.attackSamples = 3000;
      for (int d : {-1, 1})
        add_voice(r, rng, 16, d, 0.7, saw, [](int k) { return 0.9 / (k * (1.0 + 0.01 * k * k)); });
      break;
    case Tone::BELL:
      r.attackSamples = 14000;
      r.rise = 0.002;
      r.partials.push_back({1.0, 1.0, 0.35, 0.0});
      r.partials.push_back({2.0, 0.6, 0.08, 0.2});
      r.partials.push_back({3.0, 0.45, 0.0, 0.4});
      r.partials.push_back({4.0, 0.25, 0.03, 0.1});
      r.partials.push_back({detuned(5, 3), 0.3, 0.0, 0.7});
      r.partials.push_back({7.0, 0.2, 0.0, 0.5});
      r.partials.push_back({detuned(1, 1), 0.3, 0.15, 0.9});
      break;
    case Tone::PLUCK:
      r.attackSamples = 7000;
      r.rise = 0.001;
      r.loop = false;
      add_voice(
          r, rng, 14, 0, 1.0, [](int k) { return 1.0 / k; }, [](int) { return 0.0; });
      break;
    case Tone::OUD:
      // Rings down to a quiet, plain tone that holds while the note is held.
      r.attackSamples = 14000;
      r.rise = 0.001;
      add_voice(
          r, rng, 18, 0, 1.0, [](int k) { return (k % 3 == 0 ? 0.3 : 1.0) / std::sqrt(k); },
          [](int k) { return k <= 3 ? 0.22 / k : 0.0; });
      break;
    case Tone::BRASS:
      r.attackSamples = 2500;
      r.rise = 0.03;
      for (int d : {0, 1})
        add_voice(
            r, rng, 16, d, 0.6, [](int k) { return 0.4 / (k * (1.0 + 0.2 * k * k)); },
            [](int k) { return 1.0 / (k * (1.0 + 0.02 * k * k)); });
      break;
  }
  return r;
}

// A decaying level: full at 0, with a per-partial rate; higher partials die faster so plucks and
// bells mellow as they ring.
double settle(double x) {
  const double left = 1.0 - x;  // 1 -> 0 with zero slope at the end
  return left * left * left;
}

// Eight-bit samples of a signal in [-1, 1]. Decaying tails would turn into a buzz of a few
// steps, so the one-shot sounds get triangular dither of one step instead.
std::vector<int8_t> eight_bit(const dsp::Signal& s, Rng* dither) {
  std::vector<int8_t> out(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const double noise = dither ? dither->unit() - dither->unit() : 0.0;
    out[i] = int8_t(std::clamp(std::lround(s[i] * 126.0 + noise), -127L, 127L));
  }
  return out;
}

S3mSample render_tone(const ToneRecipe& r, const char* name, Rng& rng) {
  const int attack = r.attackSamples;
  const int length = attack + (r.loop ? kLoopLength : 0);
  std::vector<double> s(size_t(length), 0.0);
  for (const Partial& p : r.partials) {
    if (p.cycles * 2.0 >= kPeriod) continue;  // above the sample's Nyquist limit
    const double step = p.cycles / kPeriod;
    // Upper partials settle faster than the fundamental.
    const double speed = 1.0 + 0.15 * (p.cycles - 1.0);
    for (int i = 0; i < length; ++i) {
      double level = p.sustain;
      if (i < attack) {
        const double x = std::min(1.0, double(i) * speed / attack);
        level = p.sustain + (p.attack - p.sustain) * settle(x);
      }
      if (level == 0.0) continue;
      s[size_t(i)] += level * dsp::sine(step * i + p.phase);
    }
  }
  const int rise = std::max(1, int(r.rise * kToneRate));
  for (int i = 0; i < std::min(rise, length); ++i) s[size_t(i)] *= double(i) / rise;
  if (!r.loop)
    for (int i = 0; i < 200; ++i) s[size_t(length - 1 - i)] *= double(i) / 200.0;
  dsp::normalize(s, 0.95);
  S3mSample out;
  out.name = name;
  out.data = eight_bit(s, r.loop ? nullptr : &rng);
  out.loop = r.loop;
  out.loopStart = uint32_t(attack);
  out.loopEnd = uint32_t(length);
  out.volume = r.volume;
  out.c2spd = kToneRate;
  return out;
}

constexpr double kDrumRate = 22050.0;

double glide(double t, double from, double to, double seconds) {
  const double k = std::min(t / seconds, 1.0);
  return from * dsp::exp2(k * dsp::log2(to / from));
}

dsp::Signal drum_signal(Drum drum, Rng& rng) {
  auto len = [](double seconds) { return size_t(seconds * kDrumRate); };
  dsp::Signal s;
  dsp::Svf f, g;
  double phase = 0.0;
  switch (drum) {
    case Drum::KICK:
    case Drum::HEAVY_KICK: {
      const bool heavy = drum == Drum::HEAVY_KICK;
      s.resize(len(heavy ? 0.5 : 0.35));
      for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / kDrumRate;
        phase += glide(t, heavy ? 190.0 : 160.0, heavy ? 42.0 : 50.0, 0.05) / kDrumRate;
        const double click = t < 0.004 ? dsp::white(rng) * (1.0 - t / 0.004) * 0.6 : 0.0;
        const double body = dsp::sine(phase) * dsp::decay(t, heavy ? 0.11 : 0.07);
        s[i] = heavy ? 2.2 * body / (1.0 + std::fabs(2.2 * body)) * 1.6 + click : body + click;
      }
      break;
    }
    case Drum::SNARE:
      s.resize(len(0.3));
      for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / kDrumRate;
        phase += glide(t, 240.0, 180.0, 0.03) / kDrumRate;
        f.step(dsp::white(rng), 5000.0, 0.6, kDrumRate);
        s[i] = 0.6 * dsp::sine(phase) * dsp::decay(t, 0.025) +
               0.9 * (f.band + 0.5 * f.high) * dsp::decay(t, 0.07);
      }
      break;
    case Drum::CLAP:
      s.resize(len(0.3));
      for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / kDrumRate;
        // Three quick bursts, then the tail.
        const double burst =
            t < 0.03 ? dsp::decay(std::fmod(t, 0.01), 0.003) : dsp::decay(t - 0.03, 0.06);
        f.step(dsp::white(rng), 1400.0, 0.5, kDrumRate);
        s[i] = f.band * burst;
      }
      break;
    case Drum::HAT:
    case Drum::OPEN_HAT:
    case Drum::SHAKER: {
      const double seconds = drum == Drum::OPEN_HAT ? 0.45 : drum == Drum::SHAKER ? 0.12 : 0.08;
      s.resize(len(seconds));
      for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / kDrumRate;
        f.step(dsp::white(rng), drum == Drum::SHAKER ? 5500.0 : 7000.0, 0.8, kDrumRate);
        const double env = drum == Drum::OPEN_HAT ? dsp::decay(t, 0.1)
                           : drum == Drum::SHAKER ? std::min(1.0, t / 0.02) * dsp::decay(t, 0.025)
                                                  : dsp::decay(t, 0.014);
        s[i] = f.high * env;
      }
      break;
    }
    case Drum::CRASH: {
      // Noise over six inharmonic square waves, the classic metallic cymbal.
      constexpr double kMetal[] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
      s.resize(len(1.6));
      for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / kDrumRate;
        double metal = 0.0;
        for (double hz : kMetal) metal += dsp::square(hz * 2.7 * t) / 6.0;
        f.step(dsp::white(rng), 6000.0, 0.7, kDrumRate);
        g.step(metal, 6500.0, 0.6, kDrumRate);
        s[i] = (0.8 * f.high + 0.4 * f.band + 0.6 * g.high) * dsp::decay(t, 0.35);
      }
      break;
    }
    case Drum::TOM:
      s.resize(len(0.4));
      for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / kDrumRate;
        phase += glide(t, 160.0, 95.0, 0.2) / kDrumRate;
        s[i] = dsp::sine(phase) * dsp::decay(t, 0.09) +
               (t < 0.01 ? 0.3 * dsp::white(rng) * (1.0 - t / 0.01) : 0.0);
      }
      break;
    case Drum::RIM:
      s.resize(len(0.12));
      for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / kDrumRate;
        phase += 820.0 / kDrumRate;
        f.step(dsp::white(rng), 2500.0, 0.3, kDrumRate);
        s[i] = (0.7 * dsp::triangle(phase) + 0.5 * f.band) * dsp::decay(t, 0.015);
      }
      break;
  }
  dsp::fade_edges(s, kDrumRate, 0.0, 0.02);
  dsp::normalize(s, 0.97);
  return s;
}

constexpr const char* kToneNames[] = {"Round bass", "Saw bass", "Pick bass",   "Strings",
                                      "Glass pad",  "Organ",    "Square lead", "Saw lead",
                                      "Bell",       "Pluck",    "Oud",         "Brass"};
constexpr const char* kDrumNames[] = {"Kick",     "Heavy kick", "Snare", "Clap", "Hi-hat",
                                      "Open hat", "Shaker",     "Crash", "Tom",  "Rim"};

}  // namespace

S3mSample make_tone(Tone tone, uint64_t seed) {
  Rng rng(seed * 31 + uint64_t(tone));
  const ToneRecipe r = recipe(tone, rng);
  return render_tone(r, kToneNames[int(tone)], rng);
}

S3mSample make_drum(Drum drum, uint64_t seed) {
  Rng rng(seed * 17 + uint64_t(drum));
  const dsp::Signal s = drum_signal(drum, rng);
  S3mSample out;
  out.name = kDrumNames[int(drum)];
  out.data = eight_bit(s, &rng);
  out.c2spd = uint32_t(kDrumRate);
  return out;
}
