#include "tools/zrgen/dsp.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace dsp {

namespace {

constexpr double kTwoPi = 6.283185307179586476925;
constexpr double kLn2 = 0.693147180559945309417;

void put16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
void put32(std::vector<uint8_t>& b, uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}
void put_tag(std::vector<uint8_t>& b, const char* tag) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(tag[i]));
}

}  // namespace

double wrap(double turns) {
  return turns - std::floor(turns);
}

double sine(double turns) {
  // Fold onto a quarter wave around zero, then the Taylor series (odd terms to x^19).
  double t = wrap(turns);
  if (t >= 0.75)
    t -= 1.0;
  else if (t >= 0.25)
    t = 0.5 - t;
  const double x = kTwoPi * t, x2 = x * x;
  double term = x, sum = x;
  for (int n = 3; n <= 19; n += 2) {
    term *= -x2 / double((n - 1) * n);
    sum += term;
  }
  return sum;
}

double exp2(double x) {
  const double whole = std::floor(x);
  const double y = (x - whole) * kLn2;  // [0, ln 2)
  double term = 1.0, sum = 1.0;
  for (int n = 1; n <= 16; ++n) {
    term *= y / n;
    sum += term;
  }
  return std::ldexp(sum, int(whole));
}

double log2(double x) {
  int e = 0;
  const double m = std::frexp(x, &e);  // [0.5, 1)
  // ln m = 2 atanh(u) with u = (m - 1) / (m + 1) in (-1/3, 0].
  const double u = (m - 1.0) / (m + 1.0), u2 = u * u;
  double term = u, sum = u;
  for (int n = 3; n <= 41; n += 2) {
    term *= u2;
    sum += term / n;
  }
  return double(e) + 2.0 * sum / kLn2;
}

double note_hz(double note) {
  return 440.0 * exp2((note - 69.0) / 12.0);
}

double saw(double turns) {
  return 2.0 * wrap(turns) - 1.0;
}

double square(double turns, double duty) {
  return wrap(turns) < duty ? 1.0 : -1.0;
}

double triangle(double turns) {
  const double t = wrap(turns);
  return t < 0.5 ? 4.0 * t - 1.0 : 3.0 - 4.0 * t;
}

void Svf::step(double in, double cutoff, double q, double rate) {
  // Run at twice the rate so that cutoffs up to a third of the rate stay stable.
  const double f = 2.0 * sine(0.5 * std::min(cutoff, rate / 3.0) / (2.0 * rate));
  for (int pass = 0; pass < 2; ++pass) {
    low += f * band;
    high = in - low - q * band;
    band += f * high;
  }
}

double OnePole::lowpass(double in, double cutoff, double rate) {
  const double a = std::min(1.0, kTwoPi * cutoff / rate);
  z += a * (in - z);
  return z;
}

void fade_edges(Signal& s, double rate, double in, double out) {
  const size_t n = s.size();
  const size_t a = std::min(n, size_t(in * rate)), b = std::min(n, size_t(out * rate));
  for (size_t i = 0; i < a; ++i) s[i] *= double(i) / double(a);
  for (size_t i = 0; i < b; ++i) s[n - 1 - i] *= double(i) / double(b);
}

void normalize(Signal& s, double peak) {
  double most = 0.0;
  for (double v : s) most = std::max(most, std::fabs(v));
  if (most == 0.0) return;
  for (double& v : s) v *= peak / most;
}

Signal seamless_loop(const Signal& s, size_t length, size_t overlap) {
  if (s.size() < length + overlap) throw std::runtime_error("loop source too short");
  Signal out(s.begin(), s.begin() + long(length));
  for (size_t i = 0; i < overlap; ++i) {
    // Equal-power cross-fade: at i = 0 the loop's start is still the sample after its end.
    const double w = sine(0.25 * double(i) / double(overlap));
    const double v = sine(0.25 + 0.25 * double(i) / double(overlap));
    out[i] = s[i] * w + s[length + i] * v;
  }
  return out;
}

Signal decimate(const Signal& s, int factor, bool circular) {
  // Blackman-windowed sinc, cutoff at 0.45 of the output rate.
  const int half = 16 * factor;
  std::vector<double> taps(size_t(2 * half + 1));
  const double cutoff = 0.45 / factor;  // in cycles per input sample
  double sum = 0.0;
  for (int k = -half; k <= half; ++k) {
    const double x = double(k);
    const double sinc = k == 0 ? 2.0 * cutoff : sine(cutoff * x) / (kTwoPi / 2.0 * x);
    const double w = double(k + half) / double(2 * half);
    const double window = 0.42 - 0.5 * sine(w + 0.25) + 0.08 * sine(2.0 * w + 0.25);
    taps[size_t(k + half)] = sinc * window;
    sum += sinc * window;
  }
  for (double& t : taps) t /= sum;
  const long n = long(s.size());
  Signal out(s.size() / size_t(factor));
  for (size_t i = 0; i < out.size(); ++i) {
    const long centre = long(i) * factor;
    double acc = 0.0;
    for (int k = -half; k <= half; ++k) {
      long at = centre + k;
      if (circular) at = ((at % n) + n) % n;
      if (at < 0 || at >= n) continue;
      acc += taps[size_t(k + half)] * s[size_t(at)];
    }
    out[i] = acc;
  }
  return out;
}

std::vector<uint8_t> wave_bytes(const Signal& s, int rate) {
  const uint32_t dataSize = uint32_t(s.size() * 2);
  std::vector<uint8_t> b;
  b.reserve(44 + dataSize);
  put_tag(b, "RIFF");
  put32(b, 36 + dataSize);
  put_tag(b, "WAVE");
  put_tag(b, "fmt ");
  put32(b, 16);
  put16(b, 1);  // PCM
  put16(b, 1);  // mono
  put32(b, uint32_t(rate));
  put32(b, uint32_t(rate) * 2);
  put16(b, 2);   // block align
  put16(b, 16);  // bits per sample
  put_tag(b, "data");
  put32(b, dataSize);
  for (double v : s) {
    const double c = std::max(-1.0, std::min(1.0, v));
    put16(b, uint16_t(int16_t(std::lround(c * 32767.0))));
  }
  return b;
}

void write_bytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  if (!f) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace dsp
