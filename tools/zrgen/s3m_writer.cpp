#include "tools/zrgen/s3m_writer.h"

#include <stdexcept>

namespace {

void put8(std::vector<uint8_t>& b, size_t at, uint8_t v) {
  b.at(at) = v;
}
void put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b.at(at) = uint8_t(v);
  b.at(at + 1) = uint8_t(v >> 8);
}
void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  put16(b, at, v & 0xFFFF);
  put16(b, at + 2, v >> 16);
}
void put_text(std::vector<uint8_t>& b, size_t at, const std::string& text, size_t room) {
  for (size_t i = 0; i < text.size() && i + 1 < room; ++i) b.at(at + i) = uint8_t(text[i]);
}

// Grows the file to the next 16-byte boundary: parapointers count paragraphs.
size_t align16(std::vector<uint8_t>& b) {
  b.resize((b.size() + 15) & ~size_t(15), 0);
  return b.size();
}

// One pattern, packed: per row, each non-empty channel as a mask byte and its fields; 0 ends the
// row. The first two bytes give the packed length including themselves.
std::vector<uint8_t> pack_pattern(const S3mPattern& p, int channels) {
  std::vector<uint8_t> out(2, 0);
  for (const auto& row : p) {
    for (int ch = 0; ch < channels; ++ch) {
      const S3mCell& c = row[size_t(ch)];
      const bool note = c.note != kS3mNoNote || c.instrument != 0;
      const bool volume = c.volume != kS3mNoVolume;
      const bool command = c.command != 0;
      if (!note && !volume && !command) continue;
      out.push_back(uint8_t(ch | (note ? 32 : 0) | (volume ? 64 : 0) | (command ? 128 : 0)));
      if (note) {
        out.push_back(c.note);
        out.push_back(c.instrument);
      }
      if (volume) out.push_back(c.volume);
      if (command) {
        out.push_back(c.command);
        out.push_back(c.info);
      }
    }
    out.push_back(0);
  }
  put16(out, 0, uint32_t(out.size()));
  return out;
}

}  // namespace

uint8_t s3m_note(int midi) {
  if (midi < 12 || midi >= 12 * 9) throw std::runtime_error("note outside the S3M octaves");
  return uint8_t((midi / 12 - 1) << 4 | midi % 12);
}

std::vector<uint8_t> s3m_bytes(const S3mModule& m) {
  if (m.channels < 1 || m.channels > kS3mMaxChannels) throw std::runtime_error("bad channel count");
  if (m.samples.size() > 99 || m.patterns.size() > 200 || m.orders.empty() || m.orders.size() > 254)
    throw std::runtime_error("module too large for S3M");
  for (uint8_t o : m.orders)
    if (o >= m.patterns.size()) throw std::runtime_error("order names a missing pattern");

  // The order count is kept even, padded with the end marker.
  std::vector<uint8_t> orders = m.orders;
  if (orders.size() % 2) orders.push_back(255);
  const size_t insCount = m.samples.size(), patCount = m.patterns.size();

  std::vector<uint8_t> b(0x60 + orders.size() + 2 * insCount + 2 * patCount + 32, 0);
  put_text(b, 0x00, m.title, 28);
  put8(b, 0x1C, 0x1A);
  put8(b, 0x1D, 16);  // module type: ST3
  put16(b, 0x20, uint32_t(orders.size()));
  put16(b, 0x22, uint32_t(insCount));
  put16(b, 0x24, uint32_t(patCount));
  put16(b, 0x26, 0);       // flags
  put16(b, 0x28, 0x1320);  // tracker version: ST 3.20
  put16(b, 0x2A, 2);       // unsigned samples
  put_text(b, 0x2C, "SCRM", 5);
  put8(b, 0x30, m.globalVolume);
  put8(b, 0x31, m.speed);
  put8(b, 0x32, m.tempo);
  put8(b, 0x33, uint8_t(0x80 | (m.masterVolume & 0x7F)));  // stereo
  put8(b, 0x34, 16);                                       // ultra-click removal
  put8(b, 0x35, 252);  // default pannings follow the parapointers
  // Channel settings: left channels L1.. and right channels R1.. by pan; the rest unused.
  int left = 0, right = 0;
  for (int ch = 0; ch < 32; ++ch) {
    uint8_t setting = 255;
    if (ch < m.channels) setting = m.pan[size_t(ch)] < 8 ? uint8_t(left++) : uint8_t(8 + right++);
    if (left > 8 || right > 8) throw std::runtime_error("more than eight channels on one side");
    put8(b, 0x40 + size_t(ch), setting);
  }
  for (size_t i = 0; i < orders.size(); ++i) put8(b, 0x60 + i, orders[i]);
  const size_t insPointers = 0x60 + orders.size();
  const size_t patPointers = insPointers + 2 * insCount;
  const size_t pans = patPointers + 2 * patCount;
  for (int ch = 0; ch < 32; ++ch)
    put8(b, pans + size_t(ch), ch < m.channels ? uint8_t(0x20 | (m.pan[size_t(ch)] & 15)) : 0);

  // Instrument headers, then patterns (their parapointers are 16-bit), then the sample data.
  std::vector<size_t> headerAt(insCount);
  for (size_t i = 0; i < insCount; ++i) {
    headerAt[i] = align16(b);
    put16(b, insPointers + 2 * i, uint32_t(headerAt[i] >> 4));
    b.resize(b.size() + 0x50, 0);
  }
  for (size_t i = 0; i < patCount; ++i) {
    const size_t at = align16(b);
    if ((at >> 4) > 0xFFFF) throw std::runtime_error("patterns beyond the parapointer range");
    put16(b, patPointers + 2 * i, uint32_t(at >> 4));
    const std::vector<uint8_t> packed = pack_pattern(m.patterns[i], m.channels);
    b.insert(b.end(), packed.begin(), packed.end());
  }
  for (size_t i = 0; i < insCount; ++i) {
    const S3mSample& s = m.samples[i];
    const size_t h = headerAt[i];
    const size_t data = align16(b);
    if ((data >> 4) > 0xFFFFFF) throw std::runtime_error("sample beyond the parapointer range");
    if (s.loop && (s.loopStart >= s.loopEnd || s.loopEnd > s.data.size()))
      throw std::runtime_error("bad sample loop in " + s.name);
    for (int8_t v : s.data) b.push_back(uint8_t(v + 128));
    put8(b, h + 0x00, 1);  // sampled instrument
    put_text(b, h + 0x01, s.name.substr(0, 8), 13);
    put8(b, h + 0x0D, uint8_t(data >> 20));
    put16(b, h + 0x0E, uint32_t((data >> 4) & 0xFFFF));
    put32(b, h + 0x10, uint32_t(s.data.size()));
    put32(b, h + 0x14, s.loop ? s.loopStart : 0);
    put32(b, h + 0x18, s.loop ? s.loopEnd : 0);
    put8(b, h + 0x1C, s.volume);
    put8(b, h + 0x1E, 0);  // not packed
    put8(b, h + 0x1F, s.loop ? 1 : 0);
    put32(b, h + 0x20, s.c2spd);
    put_text(b, h + 0x30, s.name, 28);
    put_text(b, h + 0x4C, "SCRS", 5);
  }
  align16(b);
  return b;
}
