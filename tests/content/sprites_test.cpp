// The generator's sprites: every animation the game looks up is declared, every picture named by
// the lines exists and reads back as a sane 8-bit PCX, sprite sizes match their pictures, and two
// generations give the same bytes.
#include "tools/zrgen/sprites.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game_names.h"

namespace fs = std::filesystem;

namespace {

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string trim(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  const size_t b = s.find_last_not_of(' ');
  return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

std::vector<std::string> split(const std::string& s, char sep) {
  std::vector<std::string> out;
  std::stringstream in(s);
  std::string part;
  while (std::getline(in, part, sep)) out.push_back(trim(part));
  return out;
}

struct Pcx {
  int width = 0, height = 0;
  std::vector<uint8_t> pixels;
};

// Reads a picture the way the game's reader does: header sizes, run-length lines of
// bytes-per-line bytes, the first width bytes of each kept. Fails the test on a short file.
Pcx read_pcx(const fs::path& path) {
  std::ifstream f(path, std::ios::binary);
  const std::vector<uint8_t> d((std::istreambuf_iterator<char>(f)), {});
  Pcx p;
  EXPECT_GE(d.size(), 128u + 769u) << path;
  if (d.size() < 128 + 769) return p;
  auto s16 = [&](size_t at) { return static_cast<int16_t>(d[at] | d[at + 1] << 8); };
  EXPECT_EQ(d[0], 10) << path;
  EXPECT_EQ(d[3], 8) << path;
  EXPECT_EQ(d[65], 1) << path;
  EXPECT_EQ(d[d.size() - 769], 0x0C) << path;
  p.width = s16(8) - s16(4) + 1;
  p.height = s16(10) - s16(6) + 1;
  const int bpl = s16(66);
  EXPECT_GE(bpl, p.width) << path;
  size_t pos = 128;
  const size_t end = d.size() - 769;
  for (int y = 0; y < p.height; ++y) {
    std::vector<uint8_t> line;
    while (static_cast<int>(line.size()) < bpl && pos < end) {
      const uint8_t b = d[pos++];
      if ((b & 0xC0) == 0xC0 && pos < end) {
        line.insert(line.end(), b & 0x3F, d[pos++]);
      } else {
        line.push_back(b);
      }
    }
    EXPECT_GE(static_cast<int>(line.size()), bpl) << path << " row " << y;
    line.resize(bpl);
    p.pixels.insert(p.pixels.end(), line.begin(), line.begin() + p.width);
  }
  EXPECT_EQ(pos, end) << path << ": bytes left between the pictures and the palette";
  return p;
}

class SpritesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("zr_sprites_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  void TearDown() override { fs::remove_all(root_); }

  // Generates into root_/name/data and parses the returned lines.
  std::string generate(const std::string& name) {
    const fs::path data = root_ / name / "data";
    const std::string text = generate_sprites(data);
    lines_.clear();
    size_t at = 0;
    while (at < text.size()) {
      const size_t eol = text.find("\r\n", at);
      EXPECT_NE(eol, std::string::npos) << "every line ends with CR LF";
      if (eol == std::string::npos) break;
      lines_.push_back(text.substr(at, eol - at));
      at = eol + 2;
    }
    return text;
  }

  fs::path root_;
  std::vector<std::string> lines_;
};

TEST_F(SpritesTest, DeclaresEveryAnimationAndTypeCodeFromValidPictures) {
  generate("a");
  const fs::path game = root_ / "a";
  std::map<std::string, Pcx> bitmaps;  // sprite-bitmap name -> picture
  std::set<std::string> animations;
  std::map<int, std::vector<std::string>> sprites;
  for (const std::string& line : lines_) {
    ASSERT_LT(line.size(), 9999u);
    ASSERT_EQ(line.find('\n'), std::string::npos);
    if (line.empty() || line[0] == ';') continue;
    const size_t eq = line.find('=');
    ASSERT_NE(eq, std::string::npos) << line;
    std::string name = upper(trim(line.substr(1, eq - 1)));
    const std::vector<std::string> values = split(line.substr(eq + 1), ',');
    if (line[0] == '^') {
      ASSERT_LE(name.size(), 39u) << line;
      ASSERT_EQ(bitmaps.count(name), 0u) << "declared twice: " << line;
      const std::string file = values.at(0);
      ASSERT_EQ(file.rfind("data\\spr\\", 0), 0u) << line;
      fs::path path = game;
      for (const std::string& part : split(file, '\\')) path /= part;
      ASSERT_TRUE(fs::exists(path)) << path;
      Pcx pcx = read_pcx(path);
      EXPECT_GE(pcx.width, 1) << file;
      EXPECT_LE(pcx.width, 400) << file;
      EXPECT_GE(pcx.height, 1) << file;
      EXPECT_LE(pcx.height, 100) << file;
      for (uint8_t px : pcx.pixels) {
        ASSERT_TRUE(px == 0 || (px >= 10 && px <= 245)) << file << " uses entry " << int(px);
      }
      bitmaps[name] = std::move(pcx);
    } else if (line[0] == '<') {
      if (name[0] == '*') name = trim(name.substr(1));
      ASSERT_LE(name.size(), 39u) << line;
      ASSERT_EQ(values.size() % 2, 0u) << "frames come with delays: " << line;
      ASSERT_GE(values.size(), 2u);
      ASSERT_LE(values.size(), 80u) << "at most 40 frames";
      const Pcx* first = nullptr;
      bool moves = false;
      for (size_t i = 0; i < values.size(); i += 2) {
        const auto it = bitmaps.find(upper(values[i]));
        ASSERT_NE(it, bitmaps.end()) << "frame declared before use: " << values[i];
        EXPECT_GT(std::stoi(values[i + 1]), 0) << line;
        if (!first) first = &it->second;
        EXPECT_EQ(it->second.width, first->width) << "frames of " << name << " share a size";
        EXPECT_EQ(it->second.height, first->height) << "frames of " << name << " share a size";
        if (it->second.pixels != first->pixels) moves = true;
      }
      if (values.size() > 2) {
        EXPECT_TRUE(moves) << name << " has frames but does not move";
      }
      animations.insert(name);
      bitmaps[name] = *first;  // the animation is a sprite bitmap too
    } else if (line[0] == '&') {
      sprites[std::stoi(line.substr(1, eq - 1))] = values;
    } else {
      ADD_FAILURE() << "unexpected line: " << line;
    }
  }
  for (const char* a : kAnimations) EXPECT_EQ(animations.count(upper(a)), 1u) << a;

  for (int code : kTypeCodes) {
    const auto it = sprites.find(code);
    ASSERT_NE(it, sprites.end()) << "no sprite for type code " << code;
    const std::vector<std::string>& v = it->second;
    ASSERT_EQ(v.size(), 12u) << "a sprite bitmap and eleven numbers for " << code;
    const auto pic = bitmaps.find(upper(v[0]));
    ASSERT_NE(pic, bitmaps.end()) << v[0];
    const int size_v = std::stoi(v[1]), size_h = std::stoi(v[2]);
    // The collision box is what the player sees: the picture's projection at the distance the
    // object is seen from (280 units; the cockpit objects stand 152 units from the camera).
    const double distance = (code == 124 || code == 127) ? 152.0 : 280.0;
    EXPECT_NEAR(size_h * 200.0 / distance, pic->second.width, 1.5) << code;
    EXPECT_NEAR(size_v * 166.0 / distance, pic->second.height, 1.5) << code;
    // No picture may be a bare rectangle: some of its box is transparent or it is a blend.
    const Pcx& p = pic->second;
    const bool has_hole = std::count(p.pixels.begin(), p.pixels.end(), 0) > 0;
    EXPECT_TRUE(has_hole || std::stoi(v[3]) != 0) << code << " fills its whole box";
  }
}

TEST_F(SpritesTest, TwoGenerationsGiveTheSameBytes) {
  const std::string first = generate("a");
  const std::string second = generate("b");
  ASSERT_EQ(first, second);
  const fs::path a = root_ / "a" / "data" / "spr", b = root_ / "b" / "data" / "spr";
  size_t files = 0;
  for (const auto& entry : fs::directory_iterator(a)) {
    const fs::path other = b / entry.path().filename();
    ASSERT_TRUE(fs::exists(other)) << other;
    std::ifstream fa(entry.path(), std::ios::binary), fb(other, std::ios::binary);
    const std::string da((std::istreambuf_iterator<char>(fa)), {});
    const std::string db((std::istreambuf_iterator<char>(fb)), {});
    EXPECT_EQ(da, db) << entry.path().filename();
    ++files;
  }
  EXPECT_EQ(files, static_cast<size_t>(std::distance(fs::directory_iterator(b), {})));
  EXPECT_GT(files, 27u);
}

}  // namespace
