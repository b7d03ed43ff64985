// The FLIC player: timing, looping, the chunk decoders and hostile files.
#include "engine/display/flic.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core_services.h"
#include "display_support.h"
#include "engine/core/fileio.h"
#include "engine/platform/clock.h"
#include "tools/zrpack/pack.h"

namespace {

using Bytes = std::vector<uint8_t>;

void add16(Bytes& b, int v) {
  b.push_back(static_cast<uint8_t>(v & 0xFF));
  b.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}
void add32(Bytes& b, uint32_t v) {
  for (int k = 0; k < 4; ++k) b.push_back(static_cast<uint8_t>(v >> (8 * k)));
}

Bytes sub_chunk(int type, const Bytes& body) {
  Bytes c;
  add32(c, static_cast<uint32_t>(6 + body.size()));
  add16(c, type);
  c.insert(c.end(), body.begin(), body.end());
  return c;
}

Bytes frame_chunk(const std::vector<Bytes>& subs) {
  Bytes body;
  for (const Bytes& s : subs) body.insert(body.end(), s.begin(), s.end());
  Bytes f;
  add32(f, static_cast<uint32_t>(16 + body.size()));
  add16(f, 0xF1FA);
  add16(f, static_cast<int>(subs.size()));
  f.resize(f.size() + 8, 0);
  f.insert(f.end(), body.begin(), body.end());
  return f;
}

Bytes flic(uint16_t magic, int width, int height, int speed, const std::vector<Bytes>& frames) {
  Bytes f(128, 0);
  f[4] = magic & 0xFF;
  f[5] = magic >> 8;
  f[6] = static_cast<uint8_t>(frames.size());
  f[8] = static_cast<uint8_t>(width);
  f[9] = static_cast<uint8_t>(width >> 8);
  f[10] = static_cast<uint8_t>(height);
  f[11] = static_cast<uint8_t>(height >> 8);
  f[12] = 8;
  f[16] = static_cast<uint8_t>(speed);
  f[17] = static_cast<uint8_t>(speed >> 8);
  for (const Bytes& fr : frames) f.insert(f.end(), fr.begin(), fr.end());
  f[0] = static_cast<uint8_t>(f.size());
  f[1] = static_cast<uint8_t>(f.size() >> 8);
  return f;
}

Bytes copy_chunk(int size, uint8_t value) {
  return sub_chunk(16, Bytes(size, value));
}

struct Anim {
  ZR_ANIM a{};
  explicit Anim(const Bytes& file) { ok = zr_anim_load_memory(&a, file.data(), file.size(), "t"); }
  ~Anim() { zr_anim_free(&a); }
  Bytes pixels() const { return Bytes(a.pixels, a.pixels + a.size); }
  int ok;
};

class FlicTest : public ::testing::Test {
 protected:
  void SetUp() override { zr_clock_use_virtual(true); }
  void TearDown() override { zr_clock_use_virtual(false); }
};

TEST_F(FlicTest, SpeedGivesTheDelayAndDecodesWaitForIt) {
  Anim fli(flic(ZR_FLI_MAGIC, 4, 2, 5, {frame_chunk({copy_chunk(8, 1)})}));
  ASSERT_EQ(fli.ok, 1);
  EXPECT_EQ(fli.a.type, 1);
  EXPECT_EQ(fli.a.delay, 71u);
  Anim fast(flic(ZR_FLC_MAGIC, 4, 2, 0, {frame_chunk({copy_chunk(8, 1)})}));
  EXPECT_EQ(fast.a.type, 2);
  EXPECT_EQ(fast.a.delay, 1u);

  EXPECT_EQ(zr_anim_next(&fli.a, 0), 1);  // the first frame never waits
  EXPECT_EQ(zr_anim_next(&fli.a, 0), 0);
  zr_clock_advance(70);
  EXPECT_EQ(zr_anim_next(&fli.a, 0), 0);
  zr_clock_advance(1);
  EXPECT_EQ(zr_anim_next(&fli.a, 0), 1);
  EXPECT_EQ(zr_anim_next(&fli.a, 1), 1);  // forced
}

TEST_F(FlicTest, AfterTheLastFrameTheFirstComesAgainAndRewindStartsOver) {
  Anim an(flic(ZR_FLC_MAGIC, 2, 2, 1,
               {frame_chunk({copy_chunk(4, 1)}), frame_chunk({copy_chunk(4, 2)})}));
  ASSERT_EQ(an.ok, 1);
  const uint8_t want[] = {1, 2, 1, 2, 1};
  for (uint8_t v : want) {
    ASSERT_EQ(zr_anim_next(&an.a, 1), 1);
    EXPECT_EQ(an.a.pixels[3], v);
  }
  EXPECT_EQ(an.a.frame, 1);
  zr_anim_next(&an.a, 1);
  zr_anim_rewind(&an.a);
  EXPECT_EQ(an.a.frame, 0);
  zr_anim_next(&an.a, 1);
  EXPECT_EQ(an.a.pixels[0], 1);
  zr_anim_clear(&an.a);
  EXPECT_EQ(an.pixels(), Bytes(4, 0));
}

TEST_F(FlicTest, PaletteChunksAndPrefixChunk) {
  Bytes c64;
  add16(c64, 1);
  c64.push_back(2);  // skip to entry 2
  c64.push_back(1);  // one colour
  c64.insert(c64.end(), {63, 1, 0});
  Bytes c256;
  add16(c256, 2);
  c256.insert(c256.end(), {0, 1, 10, 20, 30});  // entry 0
  c256.insert(c256.end(), {3, 1, 40, 50, 60});  // skip 3 more: entry 4
  Bytes prefix;
  add32(prefix, 10);
  add16(prefix, 0xF100);
  prefix.resize(10, 0);
  Bytes first = frame_chunk({sub_chunk(11, c64), sub_chunk(4, c256)});
  prefix.insert(prefix.end(), first.begin(), first.end());
  Anim an(flic(ZR_FLC_MAGIC, 2, 2, 1, {prefix}));
  ASSERT_EQ(an.ok, 1);
  an.a.frames = 1;
  ASSERT_EQ(zr_anim_next(&an.a, 1), 1);
  EXPECT_EQ(an.a.paletteChanged, 1);
  EXPECT_EQ(an.a.palette[6], 252);
  EXPECT_EQ(an.a.palette[7], 4);
  EXPECT_EQ(an.a.palette[0], 10);
  EXPECT_EQ(an.a.palette[12], 40);
  EXPECT_EQ(an.a.palette[14], 60);
}

TEST_F(FlicTest, ByteRunAndLineDeltaAndBlack) {
  Bytes brun = {1, 4,    5,            // line 0: one packet, repeat 5 four times
                1, 0xFC, 1, 2, 3, 4};  // line 1: literal 1 2 3 4
  Bytes delta;
  add16(delta, 1);                                         // skip one line
  add16(delta, 1);                                         // one line
  delta.insert(delta.end(), {2, 1, 2, 7, 8, 0, 0xFF, 9});  // at 1: 7 8; then 9 once at 3
  Anim an(flic(ZR_FLI_MAGIC, 4, 2, 1,
               {frame_chunk({sub_chunk(15, brun)}), frame_chunk({sub_chunk(12, delta)}),
                frame_chunk({sub_chunk(13, {})})}));
  ASSERT_EQ(an.ok, 1);
  ASSERT_EQ(zr_anim_next(&an.a, 1), 1);
  EXPECT_EQ(an.pixels(), (Bytes{5, 5, 5, 5, 1, 2, 3, 4}));
  ASSERT_EQ(zr_anim_next(&an.a, 1), 1);
  EXPECT_EQ(an.pixels(), (Bytes{5, 5, 5, 5, 1, 7, 8, 9}));
  ASSERT_EQ(zr_anim_next(&an.a, 1), 1);
  EXPECT_EQ(an.pixels(), Bytes(8, 0));
}

// Word delta as published: line skips, the last-pixel word of odd widths, lines without packets.
TEST_F(FlicTest, WordDeltaOptionWords) {
  Bytes d;
  add16(d, 3);              // three coded lines
  add16(d, 0x10000 - 2);    // skip two lines
  add16(d, 0x8000 | 0x77);  // last pixel of this line
  add16(d, 1);              // one packet
  d.insert(d.end(), {0, 2, 1, 2, 3, 4});
  add16(d, 0);  // a coded line with no packets
  add16(d, 1);
  d.insert(d.end(), {1, 0xFE, 9, 8});  // at column 1: the word 9 8 twice
  Anim an(flic(ZR_FLC_MAGIC, 5, 6, 1, {frame_chunk({sub_chunk(7, d)})}));
  ASSERT_EQ(an.ok, 1);
  ASSERT_EQ(zr_anim_next(&an.a, 1), 1);
  Bytes want(30, 0);
  const Bytes line2 = {1, 2, 3, 4, 0x77}, line4 = {0, 9, 8, 9, 8};
  std::copy(line2.begin(), line2.end(), want.begin() + 10);
  std::copy(line4.begin(), line4.end(), want.begin() + 20);
  EXPECT_EQ(an.pixels(), want);
}

TEST_F(FlicTest, HostileFilesStayInsideTheirBuffers) {
  Bytes hugeSub;
  add32(hugeSub, 0x7FFFFFFF);
  add16(hugeSub, 16);
  Bytes zeroSub;
  add32(zeroSub, 0);
  add16(zeroSub, 15);
  Bytes manyPackets;
  add16(manyPackets, 0xFFFF);
  Bytes deltaPast;
  add16(deltaPast, 500);
  add16(deltaPast, 500);
  Bytes wordPast;
  add16(wordPast, 0xFFFF);
  add16(wordPast, 0x7FFF);
  wordPast.insert(wordPast.end(), {250, 120, 1, 2});
  Bytes runPast = {1, 127, 9, 1, 0x81};  // repeat past the width, literal past the chunk
  Bytes hugeFrame;
  add32(hugeFrame, 0xFFFFFFF0);
  add16(hugeFrame, 0xF1FA);
  add16(hugeFrame, 3);
  hugeFrame.resize(16, 0);
  const std::vector<Bytes> frames = {frame_chunk({hugeSub}),
                                     frame_chunk({zeroSub}),
                                     frame_chunk({sub_chunk(4, manyPackets)}),
                                     frame_chunk({sub_chunk(12, deltaPast)}),
                                     frame_chunk({sub_chunk(7, wordPast)}),
                                     frame_chunk({sub_chunk(15, runPast)}),
                                     frame_chunk({sub_chunk(16, Bytes(3, 1))}),
                                     hugeFrame,
                                     Bytes{1, 2, 3}};
  for (size_t i = 0; i < frames.size(); ++i) {
    Anim an(flic(ZR_FLC_MAGIC, 3, 3, 1, {frames[i], frames[i]}));
    ASSERT_EQ(an.ok, 1) << i;
    for (int k = 0; k < 5; ++k) zr_anim_next(&an.a, 1);
  }
  // Header faults are refused.
  const std::vector<Bytes> refused = {
      Bytes(100, 0), flic(0x1234, 3, 3, 1, {}), flic(ZR_FLC_MAGIC, 0, 3, 1, {}),
      flic(ZR_FLC_MAGIC, 3, 0, 1, {}), flic(ZR_FLC_MAGIC, 20000, 3, 1, {})};
  for (const Bytes& f : refused) {
    ZR_ANIM a{};
    EXPECT_EQ(zr_anim_load_memory(&a, f.data(), f.size(), "x"), 0);
    EXPECT_EQ(a.data, nullptr);
  }
  ZR_ANIM a{};
  EXPECT_EQ(zr_anim_load(&a, "/nonexistent.flc", 2), 0);
  EXPECT_EQ(zr_anim_load(&a, "/nonexistent.flc", 3), 0);
}

TEST_F(FlicTest, DrawCentresOrStretches) {
  Anim an(flic(ZR_FLC_MAGIC, 2, 2, 1, {frame_chunk({copy_chunk(4, 6)})}));
  zr_anim_next(&an.a, 1);
  Bytes px(16, 0);
  ZR_BITMAP dst{};
  dst.width = dst.w = 4;
  dst.height = dst.h = 4;
  dst.pixels = px.data();
  zr_anim_draw(&an.a, &dst, 0);
  EXPECT_EQ(px, (Bytes{0, 0, 0, 0, 0, 6, 6, 0, 0, 6, 6, 0, 0, 0, 0, 0}));
  zr_anim_draw(&an.a, &dst, 2);
  EXPECT_EQ(px, Bytes(16, 6));
}

class FlicPeerTest : public zrtest::TempDirTest {};

// The source names where the file may come from: 1 the data archive first, then the disk; 2 the
// disk only.
TEST_F(FlicPeerTest, SourceNamesWhereTheFileIsLookedFor) {
  auto one_colour = [](uint8_t colour) {
    return flic(ZR_FLC_MAGIC, 2, 2, 1, {frame_chunk({copy_chunk(4, colour)})});
  };
  PackEntry packed{"ANIM.FLC", "ANIM.FLC", one_colour(5), pack_key("ANIM.FLC")};
  PackEntry only{"PACKED.FLC", "PACKED.FLC", one_colour(5), pack_key("PACKED.FLC")};
  std::vector<uint8_t> archive;
  std::string error;
  ASSERT_TRUE(pack_build({packed, only}, archive, error)) << error;
  zrtest::write_file("VELDRAN.DAT", archive);
  zrtest::write_file("anim.flc", one_colour(9));
  zrtest::write_file("loose.flc", one_colour(9));
  int32_t off = 0;
  ZR_IO_CONFIG config{};
  ASSERT_EQ(zrtest::start_core_services(&off, &config, {.archiveName = "VELDRAN.DAT"}), 1);
  struct Case {
    const char* name;
    int source;
    int colour;  // of the first frame; 0 when the file is not found
  };
  const Case cases[] = {{"anim.flc", 1, 5},  {"anim.flc", 2, 9},   {"loose.flc", 1, 9},
                        {"loose.flc", 2, 9}, {"packed.flc", 1, 5}, {"packed.flc", 2, 0}};
  for (const Case& c : cases) {
    ZR_ANIM a{};
    ASSERT_EQ(zr_anim_load(&a, c.name, c.source), c.colour != 0 ? 1 : 0)
        << c.name << " " << c.source;
    if (c.colour != 0) {
      zr_anim_next(&a, 1);
      EXPECT_EQ(a.pixels[0], c.colour) << c.name << " " << c.source;
    }
    zr_anim_free(&a);
  }
  EXPECT_EQ(zr_io_open_count(), 0);
  zr_io_deinit();
}

// Files made by other software decode frame by frame as PIL decodes them.
TEST_F(FlicPeerTest, PeerFilesDecodeLikePil) {
  const std::filesystem::path dir = ZR_PEER_CASES "/flic";
  if (!std::filesystem::exists(dir)) GTEST_SKIP() << "no peer files at " << dir;
  if (!zrtest::have_pil()) GTEST_SKIP() << "python3 with PIL (python3-pil) not found";
  int compared = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string file = entry.path().string();
    {
      std::ofstream py("frames.py");
      py << "import sys, PIL.Image as I\n"
            "im = I.open(sys.argv[1])\n"
            "n = min(getattr(im, 'n_frames', 1), 12)\n"
            "out = open('frames.raw', 'wb')\n"
            "for k in range(n):\n"
            "    im.seek(k); im.load(); out.write(im.tobytes())\n"
            "    out.write(bytes((im.getpalette() + [0] * 768)[:768]))\n"
            "open('frames.txt', 'w').write('%d %d %d' % (n, im.size[0], im.size[1]))\n";
    }
    if (zrtest::run(zrtest::pil_python() + " frames.py '" + file + "' 2>/dev/null") != 0) continue;
    int n = 0, w = 0, h = 0;
    {
      std::ifstream in("frames.txt");
      in >> n >> w >> h;
    }
    const Bytes all = zrtest::read_file("frames.raw");
    ZR_ANIM a{};
    ASSERT_EQ(zr_anim_load(&a, file.c_str(), 2), 1) << file;
    ASSERT_EQ(a.width, w);
    ASSERT_EQ(a.height, h);
    const size_t step = static_cast<size_t>(w) * h + 768;
    for (int k = 0; k < n; ++k) {
      zr_anim_next(&a, 1);
      const uint8_t* want = all.data() + k * step;
      ASSERT_EQ(Bytes(a.pixels, a.pixels + a.size), Bytes(want, want + a.size))
          << file << " frame " << k;
      EXPECT_EQ(Bytes(a.palette, a.palette + 768), Bytes(want + a.size, want + step))
          << file << " frame " << k;
    }
    zr_anim_free(&a);
    ++compared;
  }
  EXPECT_GE(compared, 3);
}

}  // namespace
