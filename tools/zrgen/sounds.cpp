#include "tools/zrgen/sounds.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

using dsp::Signal;
// Effects are drawn at four times their rate and filtered down, so sharp waves do not alias.
constexpr int kOversample = 4;
constexpr double kRate = kEffectRate * kOversample;

size_t samples(double seconds) {
  return size_t(seconds * kRate);
}

// White noise with the same loudness per hertz as plain white noise at the effect's rate.
double noise(Rng& rng) {
  return 2.0 * dsp::white(rng);  // the square root of kOversample
}

// Soft saturation: loud parts round off instead of clipping.
double soft(double x) {
  return x / (1.0 + std::fabs(x));
}

// Exponential glide from `from` to `to` Hz over `seconds`, held after.
double glide(double t, double from, double to, double seconds) {
  const double k = std::min(t / seconds, 1.0);
  return from * dsp::exp2(k * dsp::log2(to / from));
}

// The ship's laser: a bright square whose pitch dives, with a sine an octave below for body.
Signal laser1() {
  Signal s(samples(0.24));
  double phase = 0.0, sub = 0.0;
  dsp::Svf lp;
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = double(i) / kRate;
    const double f = glide(t, 2400.0, 330.0, 0.2);
    phase += f / kRate;
    sub += 0.5 * f / kRate;
    const double raw = 0.55 * dsp::square(phase, 0.3) + 0.6 * dsp::sine(sub);
    lp.step(raw, 5200.0, 0.7, kRate);
    s[i] = lp.low * dsp::decay(t, 0.06);
  }
  dsp::fade_edges(s, kRate, 0.002, 0.02);
  dsp::normalize(s, 0.8);
  return s;
}

// The UFO's shot: a warbling, ring-modulated dive that sounds alien next to the ship's laser.
Signal laser2() {
  Signal s(samples(0.42));
  double phase = 0.0, ring = 0.0;
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = double(i) / kRate;
    const double wobble = 1.0 + 0.18 * dsp::sine(t * 28.0);
    const double f = glide(t, 1300.0, 170.0, 0.38) * wobble;
    phase += f / kRate;
    ring += 73.0 / kRate;
    const double tone = dsp::triangle(phase) * (0.6 + 0.4 * dsp::sine(ring));
    s[i] = soft(1.6 * tone) * dsp::decay(t, 0.11);
  }
  dsp::fade_edges(s, kRate, 0.003, 0.03);
  dsp::normalize(s, 0.75);
  return s;
}

// Enemy and pod shots: a short, low, buzzy pulse blip with a breath of noise.
Signal laser3() {
  Rng rng(0x1A5E3);
  Signal s(samples(0.17));
  double phase = 0.0;
  dsp::Svf lp;
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = double(i) / kRate;
    phase += glide(t, 950.0, 210.0, 0.15) / kRate;
    const double raw = dsp::square(phase, 0.22) + 0.25 * noise(rng);
    lp.step(raw, 3000.0, 0.8, kRate);
    s[i] = lp.low * dsp::decay(t, 0.045);
  }
  dsp::fade_edges(s, kRate, 0.002, 0.015);
  dsp::normalize(s, 0.7);
  return s;
}

// Engine thrust: a loop of one second of filtered roaring noise over a low hum. Its slow swell
// runs a whole number of times per loop, and the tail is cross-faded into the head.
Signal thrust1() {
  Rng rng(0x7A2057);
  const size_t loop = samples(1.0), overlap = samples(0.12);
  Signal s(loop + overlap);
  dsp::Svf roar, hiss;
  double brown = 0.0;
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = double(i) / kRate;
    const double swell = 0.5 + 0.5 * dsp::sine(2.0 * t);  // two swells per loop
    const double n = noise(rng);
    brown = 0.985 * brown + 0.06 * n;
    roar.step(n, 520.0 + 260.0 * swell, 0.9, kRate);
    hiss.step(n, 2600.0, 1.2, kRate);
    const double hum = 0.35 * dsp::sine(55.0 * t) + 0.15 * dsp::sine(110.0 * t);
    s[i] = 1.1 * roar.low + 0.8 * brown + 0.08 * hiss.band + hum * (0.8 + 0.2 * swell);
  }
  Signal out = dsp::seamless_loop(s, loop, overlap);
  dsp::normalize(out, 0.6);  // loops under the action: kept below the one-shots
  return out;
}

// Decaying random crackle: sparse impulses through a band-pass.
double crackle(Rng& rng, dsp::Svf& f, double t, double density, double half) {
  const double spark = rng.unit() * kOversample < density ? noise(rng) * 4.0 : 0.0;
  f.step(spark, 1800.0, 0.5, kRate);
  return f.band * dsp::decay(t, half);
}

// A collision with the ship: a heavy, long blast - a falling boom under dark noise with crackle.
Signal expl1() {
  Rng rng(0xE8B1);
  Signal s(samples(1.7));
  dsp::Svf noiseLp, crack;
  double boom = 0.0;
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = double(i) / kRate;
    noiseLp.step(noise(rng), glide(t, 3200.0, 160.0, 1.2), 0.9, kRate);
    boom += glide(t, 75.0, 26.0, 0.9) / kRate;
    const double body = noiseLp.low * dsp::decay(t, 0.33);
    const double thump = dsp::sine(boom) * dsp::decay(t, 0.28);
    const double attack = std::min(1.0, t / 0.004);
    s[i] = soft(2.2 *
                (attack * (1.9 * body + 0.8 * thump) + 0.5 * crackle(rng, crack, t, 0.004, 0.35)));
  }
  dsp::fade_edges(s, kRate, 0.0, 0.25);
  dsp::normalize(s, 0.92);
  return s;
}

// An enemy destroyed by a laser: a shorter, brighter burst with a pitched crunch.
Signal expl2() {
  Rng rng(0xE8B2);
  Signal s(samples(0.75));
  dsp::Svf band, crack;
  double crunch = 0.0;
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = double(i) / kRate;
    band.step(noise(rng), glide(t, 4200.0, 380.0, 0.5), 0.7, kRate);
    crunch += glide(t, 190.0, 55.0, 0.3) / kRate;
    const double noise = (band.low + 0.6 * band.band) * dsp::decay(t, 0.12);
    const double tone = dsp::square(crunch, 0.4) * 0.35 * dsp::decay(t, 0.07);
    s[i] = soft(2.0 * (noise + tone + 0.4 * crackle(rng, crack, t, 0.006, 0.15)));
  }
  dsp::fade_edges(s, kRate, 0.001, 0.15);
  dsp::normalize(s, 0.85);
  return s;
}

// Warping across the loop: a rising, resonant sweep with a whoosh of noise and a quickening
// tremolo, swelling up at once and fading as it climbs.
Signal warp1() {
  Rng rng(0x3A4F);
  const double length = 0.95;
  Signal s(samples(length));
  dsp::Svf res, whoosh;
  double phase = 0.0, phase2 = 0.0, trem = 0.0;
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = double(i) / kRate;
    const double f = glide(t, 90.0, 900.0, length);
    phase += f / kRate;
    phase2 += f * 1.5 / kRate;
    trem += glide(t, 6.0, 30.0, length) / kRate;
    res.step(dsp::saw(phase) + 0.5 * dsp::saw(phase2), glide(t, 250.0, 5500.0, length), 0.25,
             kRate);
    whoosh.step(noise(rng), glide(t, 400.0, 6000.0, length), 0.35, kRate);
    const double x = t / length;
    const double bump = std::min(1.0, t / 0.08) * (1.0 - x * x);  // quick swell, long fade
    s[i] = (0.7 * res.low + 0.35 * whoosh.band) * bump * (0.75 + 0.25 * dsp::sine(trem));
  }
  dsp::fade_edges(s, kRate, 0.005, 0.05);
  dsp::normalize(s, 0.8);
  return s;
}

// The UFO's hum: two beating tones with a slow phase warble and a faint high whine. Every
// frequency runs a whole number of cycles in the loop, so it repeats without a seam.
Signal ufo3() {
  const size_t loop = samples(1.2);
  Signal s(loop);
  const double seconds = double(loop) / kRate;
  auto cycles = [&](double hz) { return std::round(hz * seconds) / seconds; };
  const double f1 = cycles(100.0), f2 = cycles(102.5), lfo = cycles(2.5), whine = cycles(1650.0);
  for (size_t i = 0; i < loop; ++i) {
    const double t = double(i) / kRate;
    const double warble = 0.9 * dsp::sine(lfo * t);
    const double a = dsp::triangle(f1 * t + warble) + 0.45 * dsp::sine(2.0 * f1 * t + warble);
    const double b = dsp::sine(f2 * t - warble);
    const double high = 0.12 * dsp::sine(whine * t + 3.0 * dsp::sine(lfo * t));
    s[i] = soft(1.4 * (0.55 * a + 0.5 * b + high));
  }
  dsp::normalize(s, 0.45);  // a dense loop: quieter than its peak suggests
  return s;
}

// A menu blip (also a walker collected): two quick rising notes.
Signal menu() {
  Signal s(samples(0.13));
  double phase = 0.0;
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = double(i) / kRate;
    const double f = t < 0.045 ? 1318.5 : 1975.5;
    phase += f / kRate;
    const double tone = 0.6 * dsp::square(phase, 0.25) + 0.4 * dsp::sine(phase);
    s[i] = tone * dsp::decay(t < 0.045 ? t : t - 0.045, 0.04);
  }
  dsp::fade_edges(s, kRate, 0.002, 0.02);
  dsp::normalize(s, 0.6);
  return s;
}

// Game over: a sad brass-like fall of three semitones, the last note long, wavering and sinking.
Signal over() {
  struct Note {
    double start, length, pitch;
  };
  constexpr Note notes[] = {{0.0, 0.38, 63}, {0.4, 0.38, 62}, {0.8, 0.38, 61}, {1.2, 1.3, 60}};
  Signal s(samples(2.6));
  for (const Note& n : notes) {
    dsp::Svf wah;
    double phase = 0.0, phase2 = 0.0;
    const size_t from = samples(n.start), count = samples(n.length);
    const bool last = n.length > 1.0;
    for (size_t k = 0; k < count && from + k < s.size(); ++k) {
      const double t = double(k) / kRate;
      double pitch = n.pitch - 12.0;
      if (last)
        pitch += 0.25 * dsp::sine(5.0 * t) * std::min(1.0, t / 0.3) - std::max(0.0, t - 0.7);
      const double f = dsp::note_hz(pitch);
      phase += f / kRate;
      phase2 += f * 1.004 / kRate;
      const double env =
          std::min(1.0, t / 0.03) * (last ? dsp::decay(t, 0.55) : dsp::decay(t, 0.3));
      wah.step(dsp::saw(phase) + dsp::saw(phase2), 300.0 + 2200.0 * env, 0.5, kRate);
      const double tail = std::min(1.0, double(count - k) / (0.02 * kRate));
      s[from + k] += wah.low * env * tail;
    }
  }
  dsp::fade_edges(s, kRate, 0.0, 0.1);
  dsp::normalize(s, 0.8);
  return s;
}

Signal drawn(std::string_view name) {
  if (name == "laser1") return laser1();
  if (name == "laser2") return laser2();
  if (name == "laser3") return laser3();
  if (name == "thrust1") return thrust1();
  if (name == "expl1") return expl1();
  if (name == "expl2") return expl2();
  if (name == "warp1") return warp1();
  if (name == "ufo3") return ufo3();
  if (name == "menu") return menu();
  if (name == "over") return over();
  return {};
}

}  // namespace

dsp::Signal effect_signal(std::string_view name) {
  Signal s = drawn(name);
  if (s.empty()) return s;
  double peak = 0.0;
  for (double v : s) peak = std::max(peak, std::fabs(v));
  s = dsp::decimate(s, kOversample, name == "thrust1" || name == "ufo3");
  dsp::normalize(s, peak);
  return s;
}

void generate_sounds(const std::filesystem::path& outDir) {
  const std::filesystem::path dir = outDir / "snd";
  std::filesystem::create_directories(dir);
  for (std::string_view name : kEffectNames)
    dsp::write_bytes(dir / (std::string(name) + ".wav"),
                     dsp::wave_bytes(effect_signal(name), kEffectRate));
}
