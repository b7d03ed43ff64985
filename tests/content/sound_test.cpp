// The generated sound effects and music as the game and other players see them: every effect has
// exactly the wave layout the game's reader accepts, looping effects join without a jump, one-shot
// effects start and end near silence and move the way their event does; every module loads in
// libxmp, lasts one to three minutes, keeps no looping note sounding into its restart and plays
// on through its end; and an independent player (openmpt123) renders one module for as long as
// libxmp says, with sound all the way. The game finds every one of them in its archive by the name
// it asks for.
#include <gtest/gtest.h>
#include <unistd.h>
#include <xmp.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core_services.h"
#include "engine/core/fileio.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kEffects[] = {"laser1", "laser2", "laser3", "thrust1", "expl1",
                                    "expl2",  "warp1",  "ufo3",   "menu",    "over"};
constexpr const char* kLooping[] = {"thrust1", "ufo3"};
constexpr const char* kSongs[] = {"title", "grass", "desert", "ice", "volcano", "city"};

std::vector<uint8_t> read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t le16(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b.at(at)) | uint32_t(b.at(at + 1)) << 8;
}
uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
  return le16(b, at) | le16(b, at + 2) << 16;
}
bool tag(const std::vector<uint8_t>& b, size_t at, const char* t) {
  return b.size() >= at + 4 && std::equal(t, t + 4, b.begin() + long(at));
}

struct Wave {
  int channels = 0, rate = 0, bits = 0;
  std::vector<double> samples;  // first channel, -1 to 1
};

// Reads any plain PCM wave, skipping chunks before "data" (for other programs' output).
Wave parse_wave(const std::vector<uint8_t>& b) {
  Wave w;
  if (!tag(b, 0, "RIFF") || !tag(b, 8, "WAVE")) return w;
  size_t at = 12;
  while (at + 8 <= b.size()) {
    const uint32_t size = le32(b, at + 4);
    if (tag(b, at, "fmt ")) {
      w.channels = int(le16(b, at + 10));
      w.rate = int(le32(b, at + 12));
      w.bits = int(le16(b, at + 22));
    } else if (tag(b, at, "data") && w.channels > 0) {
      const size_t frame = size_t(w.channels * w.bits / 8);
      const size_t end = std::min(b.size(), at + 8 + size_t(size));
      for (size_t p = at + 8; p + frame <= end; p += frame)
        w.samples.push_back(w.bits == 8 ? (int(b[p]) - 128) / 128.0
                                        : int16_t(le16(b, p)) / 32768.0);
      return w;
    }
    at += 8 + size + (size & 1);
  }
  return w;
}

double rms(const std::vector<double>& s, size_t from, size_t to) {
  double sum = 0.0;
  to = std::min(to, s.size());
  if (to <= from) return 0.0;
  for (size_t i = from; i < to; ++i) sum += s[i] * s[i];
  return std::sqrt(sum / double(to - from));
}

// Zero crossings per second in a stretch: rises and falls with the pitch.
double crossings(const std::vector<double>& s, int rate, size_t from, size_t to) {
  int n = 0;
  for (size_t i = from + 1; i < to && i < s.size(); ++i)
    if ((s[i - 1] < 0.0) != (s[i] < 0.0)) ++n;
  return n * double(rate) / double(to - from);
}

class GeneratedSound : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    char pattern[] = "/tmp/zrsound.XXXXXX";
    root_ = ::mkdtemp(pattern);
    const std::string zrgen = std::string(ZR_BIN_DIR) + "/zrgen";
    generated_ = std::system((zrgen + " " + root_.string() + " >/dev/null 2>&1").c_str()) == 0;
  }
  static void TearDownTestSuite() {
    std::error_code ec;
    fs::remove_all(root_, ec);
    fs::remove_all(root_.string() + ".game", ec);
  }
  void SetUp() override { ASSERT_TRUE(generated_) << "zrgen failed"; }

  static fs::path effect(const char* name) { return root_ / "snd" / (std::string(name) + ".wav"); }
  static fs::path song(const char* name) { return root_ / "snd" / (std::string(name) + ".s3m"); }

  static fs::path root_;
  static bool generated_;
};

fs::path GeneratedSound::root_;
bool GeneratedSound::generated_ = false;

TEST_F(GeneratedSound, EveryEffectHasTheOneWaveLayoutTheGameReads) {
  for (const char* name : kEffects) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> b = read_file(effect(name));
    ASSERT_GE(b.size(), 48u);
    EXPECT_TRUE(tag(b, 0, "RIFF"));
    EXPECT_EQ(le32(b, 4), b.size() - 8);
    EXPECT_TRUE(tag(b, 8, "WAVE"));
    EXPECT_TRUE(tag(b, 12, "fmt "));
    const uint32_t n = le32(b, 16);
    ASSERT_TRUE(n == 16 || n == 18) << n;
    EXPECT_EQ(le16(b, 20), 1u) << "PCM";
    const uint32_t channels = le16(b, 22), rate = le32(b, 24), bits = le16(b, 34);
    EXPECT_TRUE(channels == 1 || channels == 2);
    EXPECT_TRUE(rate == 22050 || rate == 44100) << rate;
    EXPECT_TRUE(bits == 8 || bits == 16) << bits;
    EXPECT_EQ(le16(b, 32), channels * bits / 8) << "block align";
    EXPECT_EQ(le32(b, 28), rate * channels * bits / 8) << "bytes per second";
    // The data chunk right after the format chunk, filling the rest of the file.
    ASSERT_TRUE(tag(b, 20 + n, "data"));
    EXPECT_EQ(le32(b, 24 + n), b.size() - 28 - n);

    const Wave w = parse_wave(b);
    const double seconds = double(w.samples.size()) / w.rate;
    EXPECT_GT(seconds, 0.08);
    EXPECT_LT(seconds, 3.0);
    double peak = 0.0;
    for (double v : w.samples) peak = std::max(peak, std::fabs(v));
    EXPECT_GT(peak, 0.4) << "too quiet";
  }
}

TEST_F(GeneratedSound, LoopingEffectsJoinWithoutAJumpAndOthersStartAndEndQuietly) {
  for (const char* name : kEffects) {
    SCOPED_TRACE(name);
    const Wave w = parse_wave(read_file(effect(name)));
    ASSERT_GT(w.samples.size(), 100u);
    const auto& s = w.samples;
    if (std::find_if(std::begin(kLooping), std::end(kLooping),
                     [&](const char* l) { return std::string(l) == name; }) != std::end(kLooping)) {
      // The step from the last sample back to the first is an ordinary step of the sound.
      std::vector<double> steps;
      for (size_t i = 1; i < s.size(); ++i) steps.push_back(std::fabs(s[i] - s[i - 1]));
      std::sort(steps.begin(), steps.end());
      const double typical = steps[steps.size() * 95 / 100];
      EXPECT_LE(std::fabs(s.front() - s.back()), typical);
      // And the level does not jump either: the loop's two ends are equally loud.
      const size_t tenth = s.size() / 10;
      const double head = rms(s, 0, tenth), tail = rms(s, s.size() - tenth, s.size());
      EXPECT_NEAR(head / tail, 1.0, 0.35);
    } else {
      EXPECT_LT(std::fabs(s.front()), 0.02);
      EXPECT_LT(std::fabs(s.back()), 0.02);
    }
  }
}

TEST_F(GeneratedSound, EffectsMoveTheWayTheirEventsDo) {
  // Lasers fall in pitch, the warp rises; blasts die away, the heavy one slower
  // and lower than the enemy's.
  struct Case {
    const char* name;
    int pitch;  // -1 falls, +1 rises
  };
  constexpr Case cases[] = {{"laser1", -1}, {"laser2", -1}, {"laser3", -1}, {"warp1", +1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Wave w = parse_wave(read_file(effect(c.name)));
    const size_t n = w.samples.size(), q = n / 4;
    const double early = crossings(w.samples, w.rate, 0, q);
    const double late = crossings(w.samples, w.rate, n - 2 * q, n - q);
    if (c.pitch < 0) {
      EXPECT_GT(early, late * 1.3);
    } else {
      EXPECT_LT(early * 1.3, late);
    }
  }
  const Wave heavy = parse_wave(read_file(effect("expl1")));
  const Wave light = parse_wave(read_file(effect("expl2")));
  for (const Wave* w : {&heavy, &light}) {
    const size_t n = w->samples.size();
    EXPECT_GT(rms(w->samples, 0, n / 5), 4.0 * rms(w->samples, n * 4 / 5, n)) << "decays";
  }
  EXPECT_GT(heavy.samples.size(), light.samples.size() * 3 / 2);
  EXPECT_LT(crossings(heavy.samples, heavy.rate, 0, heavy.samples.size() / 3),
            crossings(light.samples, light.rate, 0, light.samples.size() / 3));
}

TEST_F(GeneratedSound, TheGameFindsEveryFileInItsArchiveByItsOwnName) {
  const std::string zrpack = std::string(ZR_BIN_DIR) + "/zrpack";
  if (!fs::exists(zrpack)) GTEST_SKIP() << "zrpack not built";
  const fs::path game = root_.string() + ".game";  // beside the packed folder, not inside it
  fs::create_directories(game);
  ASSERT_EQ(std::system((zrpack + " create " + (game / "VELDRAN.DAT").string() + " " +
                         root_.string() + " >/dev/null 2>&1")
                            .c_str()),
            0);
  const fs::path old = fs::current_path();
  fs::current_path(game);  // nothing loose here: only the archive
  int32_t report = 0;
  ZR_IO_CONFIG config{};
  ASSERT_EQ(zrtest::start_core_services(&report, &config, {.archiveName = "VELDRAN.DAT"}), 1);
  std::vector<std::pair<std::string, fs::path>> files;
  for (const char* name : kEffects)
    files.push_back({std::string("snd\\") + name + ".wav", effect(name)});
  for (const char* name : kSongs)
    files.push_back({std::string("snd\\") + name + ".s3m", song(name)});
  for (const auto& [asked, loose] : files) {
    SCOPED_TRACE(asked);
    ZR_FILE* f = zr_io_fopen(asked.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_NE(f->entry, 0) << "read from the archive";
    const std::vector<uint8_t> expected = read_file(loose);
    std::vector<uint8_t> got(expected.size() + 1);
    got.resize(zr_io_fread(got.data(), 1, got.size(), f));
    zr_io_fclose(f);
    EXPECT_TRUE(got == expected);
  }
  zr_io_deinit();
  fs::current_path(old);
}

// A module loaded in libxmp, released on scope exit.
struct Xmp {
  xmp_context ctx = xmp_create_context();
  bool loaded = false;
  explicit Xmp(const fs::path& file) {
    loaded = xmp_load_module(ctx, const_cast<char*>(file.c_str())) == 0;
  }
  ~Xmp() {
    if (loaded) {
      xmp_end_player(ctx);
      xmp_release_module(ctx);
    }
    xmp_free_context(ctx);
  }
  int total_ms() {
    xmp_frame_info fi{};
    xmp_get_frame_info(ctx, &fi);
    return fi.total_time;
  }
};

// Walks a module by the published layout, as strictly as Scream Tracker itself would read it:
// returns what is wrong, or an empty string.
std::string s3m_layout_fault(const std::vector<uint8_t>& b) {
  if (b.size() < 0x60) return "shorter than the header";
  if (b[0x1C] != 0x1A || b[0x1D] != 16) return "not marked as an ST3 module";
  if (!tag(b, 0x2C, "SCRM")) return "no SCRM";
  if (le16(b, 0x28) != 0x1320) return "tracker version is not 0x1320";
  if (le16(b, 0x2A) != 2) return "samples are not unsigned";
  if (b[0x35] != 252) return "no default pannings";
  const size_t orders = le16(b, 0x20), instruments = le16(b, 0x22), patterns = le16(b, 0x24);
  if (orders % 2 || orders == 0) return "odd or empty order list";
  const size_t insAt = 0x60 + orders, patAt = insAt + 2 * instruments, panAt = patAt + 2 * patterns;
  if (panAt + 32 > b.size()) return "parapointers beyond the file";
  int channels = 0;
  for (int ch = 0; ch < 32; ++ch) {
    const uint8_t setting = b[0x40 + size_t(ch)];
    if (setting == 255) continue;
    if (setting >= 16) return "channel " + std::to_string(ch) + " is not a PCM channel";
    if (!(b[panAt + size_t(ch)] & 0x20)) return "channel " + std::to_string(ch) + " has no pan";
    channels = ch + 1;
  }
  for (size_t i = 0; i < orders; ++i)
    if (b[0x60 + i] < 254 && b[0x60 + i] >= patterns) return "order names a missing pattern";
  for (size_t i = 0; i < instruments; ++i) {
    const size_t at = size_t(le16(b, insAt + 2 * i)) * 16;
    const std::string which = "instrument " + std::to_string(i + 1) + ": ";
    if (at + 0x50 > b.size() || b[at] != 1 || !tag(b, at + 0x4C, "SCRS")) return which + "header";
    const size_t data = (size_t(b[at + 0x0D]) << 16 | le16(b, at + 0x0E)) * 16;
    const uint32_t length = le32(b, at + 0x10), begin = le32(b, at + 0x14),
                   end = le32(b, at + 0x18);
    if (data + length > b.size() || length > 64000) return which + "sample data";
    if (b[at + 0x1E] != 0 || (b[at + 0x1F] & ~1) != 0) return which + "packed, stereo or 16-bit";
    if ((b[at + 0x1F] & 1) && !(begin < end && end <= length)) return which + "loop";
    if (b[at + 0x1C] > 64 || le32(b, at + 0x20) < 1000) return which + "volume or C2 speed";
  }
  for (size_t i = 0; i < patterns; ++i) {
    const size_t at = size_t(le16(b, patAt + 2 * i)) * 16;
    const std::string which = "pattern " + std::to_string(i) + ": ";
    if (at + 2 > b.size()) return which + "beyond the file";
    const size_t end = at + le16(b, at);
    size_t p = at + 2;
    for (int row = 0; row < 64;) {
      if (p >= end || p >= b.size()) return which + "ends inside row " + std::to_string(row);
      const uint8_t what = b[p++];
      if (what == 0) {
        ++row;
        continue;
      }
      if ((what & 31) >= channels) return which + "event on a disabled channel";
      const size_t need = (what & 32 ? 2 : 0) + (what & 64 ? 1 : 0) + (what & 128 ? 2 : 0);
      if (p + need > end) return which + "event cut short";
      if (what & 32) {
        const uint8_t note = b[p], ins = b[p + 1];
        if (note < 254 && ((note & 15) > 11 || (note >> 4) > 7)) return which + "bad note";
        if (ins > instruments) return which + "missing instrument";
        p += 2;
      }
      if (what & 64 && b[p++] > 64) return which + "volume above 64";
      if (what & 128) {
        if (b[p] == 0 || b[p] > 26) return which + "bad command";
        p += 2;
      }
    }
    if (p != end) return which + "stated length does not match its rows";
  }
  return {};
}

TEST_F(GeneratedSound, ModulesFollowThePublishedLayoutAndLoadInLibxmpForOneToThreeMinutes) {
  for (const char* name : kSongs) {
    SCOPED_TRACE(name);
    EXPECT_EQ(s3m_layout_fault(read_file(song(name))), "");

    Xmp x(song(name));
    ASSERT_TRUE(x.loaded);
    xmp_module_info mi{};
    xmp_get_module_info(x.ctx, &mi);
    EXPECT_NE(std::string(mi.mod->type).find("S3M"), std::string::npos) << mi.mod->type;
    EXPECT_GE(mi.mod->chn, 8);
    EXPECT_GE(mi.mod->ins, 6);
    ASSERT_EQ(xmp_start_player(x.ctx, 22050, XMP_FORMAT_MONO), 0);
    const int ms = x.total_ms();
    EXPECT_GE(ms, 60000);
    EXPECT_LE(ms, 180000);
  }
}

TEST_F(GeneratedSound, ModulesRestartCleanly) {
  for (const char* name : kSongs) {
    SCOPED_TRACE(name);
    Xmp x(song(name));
    ASSERT_TRUE(x.loaded);
    xmp_module_info mi{};
    xmp_get_module_info(x.ctx, &mi);
    const xmp_module& m = *mi.mod;
    ASSERT_EQ(m.rst, 0) << "restarts at order 0";
    // No channel holds a looping note through the end into the restart, unless the first row
    // strikes a new note on it.
    auto event = [&](int order, int row, int ch) -> const xmp_event& {
      const xmp_pattern& p = *m.xxp[m.xxo[order]];
      return m.xxt[p.index[ch]]->event[row];
    };
    for (int ch = 0; ch < m.chn; ++ch) {
      bool sounding = false;
      int instrument = 0;
      for (int o = 0; o < m.len; ++o) {
        if (m.xxo[o] >= m.pat) continue;
        for (int r = 0; r < m.xxp[m.xxo[o]]->rows; ++r) {
          const xmp_event& e = event(o, r, ch);
          if (e.ins) instrument = e.ins;
          if (e.note >= XMP_KEY_OFF)
            sounding = false;
          else if (e.note > 0 && instrument > 0 && instrument <= m.ins &&
                   m.xxi[instrument - 1].nsm > 0) {
            const int sample = m.xxi[instrument - 1].sub[0].sid;
            sounding = (m.xxs[sample].flg & XMP_SAMPLE_LOOP) != 0;
          }
        }
      }
      const xmp_event& first = event(0, 0, ch);
      EXPECT_TRUE(!sounding || (first.note > 0 && first.note < XMP_KEY_OFF))
          << "channel " << ch << " still sounds when the song starts again";
    }
    // The end plays on into the restart with no silent gap: the two seconds before and after
    // the loop point both sound.
    ASSERT_EQ(xmp_start_player(x.ctx, 22050, XMP_FORMAT_MONO), 0);
    const int total = x.total_ms();
    xmp_seek_time(x.ctx, total - 4000);
    std::vector<double> before, after;
    xmp_frame_info fi{};
    for (int guard = 0; guard < 5000 && after.size() < 2 * 22050; ++guard) {
      if (xmp_play_frame(x.ctx) != 0) break;
      xmp_get_frame_info(x.ctx, &fi);
      auto* pcm = static_cast<int16_t*>(fi.buffer);
      std::vector<double>& into = fi.loop_count > 0 ? after : before;
      for (int i = 0; i < fi.buffer_size / 2; ++i) into.push_back(pcm[i] / 32768.0);
    }
    ASSERT_GE(before.size(), 2u * 22050);
    ASSERT_GE(after.size(), 2u * 22050);
    EXPECT_GT(rms(before, before.size() - 2 * 22050, before.size()), 0.01);
    EXPECT_GT(rms(after, 0, 2 * 22050), 0.01);
    // Not even a short break at the seam: every 50 ms of the second around it sounds.
    std::vector<double> seam(before.end() - 11025, before.end());
    seam.insert(seam.end(), after.begin(), after.begin() + 11025);
    for (size_t at = 0; at + 1102 <= seam.size(); at += 1102)
      EXPECT_GT(rms(seam, at, at + 1102), 0.004)
          << "quiet " << at * 1000 / 22050 << " ms into the seam";
    EXPECT_EQ(fi.pos, 0) << "the order list starts again from its beginning";
  }
}

TEST_F(GeneratedSound, AnotherPlayerRendersAModuleAsLongAsLibxmpPlaysIt) {
  if (std::system("command -v openmpt123 >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "openmpt123 is not installed (scripts/setup installs it)";
  const fs::path copy = root_ / "render" / "title.s3m";
  fs::create_directories(copy.parent_path());
  fs::copy_file(song("title"), copy, fs::copy_options::overwrite_existing);
  const std::string cmd =
      "openmpt123 --render --force -q --no-float --samplerate 22050 "
      "--channels 1 '" +
      copy.string() + "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  const Wave w = parse_wave(read_file(copy.string() + ".wav"));
  ASSERT_EQ(w.rate, 22050);
  const double seconds = double(w.samples.size()) / w.rate;

  Xmp x(song("title"));
  ASSERT_TRUE(x.loaded);
  ASSERT_EQ(xmp_start_player(x.ctx, 22050, XMP_FORMAT_MONO), 0);
  EXPECT_NEAR(seconds, x.total_ms() / 1000.0, 1.0);
  // Sound all the way: no five-second stretch is silent.
  for (size_t at = 0; at + 5 * 22050 <= w.samples.size(); at += 5 * 22050)
    EXPECT_GT(rms(w.samples, at, at + 5 * 22050), 0.01) << "silent from " << at / 22050 << " s";
}

}  // namespace
