// The game's own fonts, read from the built game folder's archive as start-up reads them: the five
// fonts of DATA\TEXTS.TXT load cleanly with the game's flags and have the shapes the status
// display needs; the text font draws every printable ISO-8859-1 character, and every character of
// the game's text files; the animated title font draws every character of the menus' titles.
// With ZR_FONT_SAMPLE=FILE.pcx set, a sample of the text font is written there (all glyphs and a
// sentence per language over a landscape-like background, and a few titles in the title font).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/core/keyfile.h"
#include "tools/zrgen/palette.h"
#include "ui_support.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kTexts = "DATA\\TEXTS.TXT";

// One sentence per language, in ISO-8859-1.
const std::vector<std::string>& sample_sentences() {
  static const std::vector<std::string> s = {
      "English: The quick brown fox jumps over the lazy dog! 0123456789",
      "Fran\xE7"
      "ais: \xAB\xC0 l'\xE9t\xE9, No\xEBl go\xFBte l'\xE2pre p\xE2t\xE9 \xE0 c\xF4t\xE9 "
      "du lac\xBB",
      "Espa\xF1ol: \xBF"
      "D\xF3nde est\xE1 el ping\xFCino? \xA1"
      "Ma\xF1"
      "ana, se\xF1or!",
      "Deutsch: Gr\xFC\xDF"
      "e aus M\xFCnchen, \xC4rger \xFC"
      "ber \xD6l und Stra\xDF"
      "en",
      "Italiano: Perch\xE9 \xE8 pi\xF9 gi\xE0 cos\xEC? L'\xF2pera \xC8 citt\xE0",
      "Portugu\xEAs: A\xE7\xE3o, cora\xE7\xF5"
      "es, p\xE3"
      "es e ma\xE7\xE3s \xC0 n\xF3s \xC9 "
      "at\xE9 \xDA"
      "nico",
  };
  return s;
}

class GameFonts : public uitest::FontTest {
 protected:
  void SetUp() override {
    uitest::FontTest::SetUp();
    if (!fs::exists(fs::path(ZR_GAME_DIR) / "VELDRAN.DAT")) GTEST_SKIP() << "no game archive";
    zr_io_deinit();
    fs::current_path(ZR_GAME_DIR);
    config_ = ZR_IO_CONFIG{};
    std::snprintf(config_.archiveName, sizeof config_.archiveName, "VELDRAN.DAT");
    zr_io_init(&config_);
    ASSERT_GT(zr_io_archive_entries(), 0);
    zr_font_init(&fontReport_);
    blocks_ = zr_mem_block_count();  // the archive's table stays until the file layer stops
  }
  void TearDown() override {
    for (auto& [key, font] : fonts_) zr_font_free(&font);
    uitest::FontTest::TearDown();
  }

  // Loads the font named by an [Application] key with the game's flags; no message may come.
  ZR_FONT* load(const char* key, int flags = ZR_FONT_TRIM) {
    char file[64];
    EXPECT_GT(zr_io_get_string("Application", key, file, sizeof file, kTexts), 0) << key;
    ZR_FONT& font = fonts_[key];
    uitest::boxes().clear();
    fontReport_ = 1;
    EXPECT_EQ(zr_font_load(&font, file, flags), 1) << key;
    fontReport_ = 0;
    EXPECT_TRUE(uitest::boxes().empty()) << key << ": " << uitest::boxes().front();
    return &font;
  }

  int32_t fontReport_ = 0;
  std::map<std::string, ZR_FONT> fonts_;
};

int ink(const ZR_BITMAP* g) {
  int n = 0;
  for (int i = 0; i < g->width * g->height; ++i) n += g->pixels[i] != 0;
  return n;
}

uint8_t at(const ZR_BITMAP* g, int x, int y) {
  return g->pixels[static_cast<size_t>(y) * g->width + x];
}

TEST_F(GameFonts, TheFiveFontsHaveTheShapesOfTheStatusDisplay) {
  const ZR_FONT* text = load("FNTFile");
  EXPECT_EQ(text->height, 10);
  // The score is drawn stretched, six digits in 50 pixels: the digits fill 8 columns, so that
  // they come out unscaled.
  for (char d = '2'; d <= '9'; ++d)
    EXPECT_EQ(zr_font_glyph_width(zr_font_glyph(text, d, 1)), 8) << d;

  const ZR_FONT* panel = load("MAPFileT");
  const ZR_BITMAP* p = zr_font_glyph(panel, 'a', 1);
  EXPECT_EQ(p->width, 320);
  EXPECT_EQ(p->height, 27);
  EXPECT_EQ(zr_font_glyph_width(p), 320);  // trimmed, and still whole: drawn 1:1 at (0, 0, 320, 27)
  for (int y = 6; y < 16; ++y) EXPECT_NE(at(p, 5, y), 0);  // the score's box is solid

  const ZR_FONT* scanner = load("MAPFile");
  const ZR_BITMAP* s = zr_font_glyph(scanner, 'a', 1);
  EXPECT_EQ(s->width, 320);
  EXPECT_EQ(s->height, 52);
  EXPECT_EQ(zr_font_glyph_width(s), 320);
  // The blips and the lane number are drawn before the scanner: their places stay see-through,
  // framed by the picture. A blip's corner goes anywhere in a 90 x 16 lane map, and the blip is
  // up to 7 x 7: each window is 97 x 23, so that every blip shows whole.
  const ZR_RECT holes[] = {{7, 26, 97, 23}, {112, 26, 97, 23}, {217, 26, 97, 23}, {156, 14, 8, 8}};
  for (const ZR_RECT& h : holes) {
    for (int y = h.y; y < h.y + h.h; ++y)
      for (int x = h.x; x < h.x + h.w; ++x) ASSERT_EQ(at(s, x, y), 0) << x << "," << y;
    EXPECT_NE(at(s, h.x - 1, h.y), 0);
    EXPECT_NE(at(s, h.x + h.w, h.y + h.h - 1), 0);
    EXPECT_NE(at(s, h.x, h.y - 1), 0);
    EXPECT_NE(at(s, h.x + h.w - 1, h.y + h.h), 0);
  }

  const ZR_FONT* seeThrough = load("MAPTrans");
  const ZR_BITMAP* t = zr_font_glyph(seeThrough, 'a', 1);
  EXPECT_EQ(t->width, 320);
  EXPECT_EQ(zr_font_glyph_width(t), 320);
  EXPECT_EQ(at(t, 6, 25), at(t, 6, 30));  // the window frame, found where the scanner has it
  EXPECT_NE(at(t, 6, 30), 0);
  EXPECT_EQ(at(t, 50, 30), 0);

  const ZR_FONT* blips = load("MAPShips");
  const ZR_BITMAP* space = zr_font_glyph(blips, ' ', 1);
  std::set<uint8_t> enemyColours;
  for (char c = 'a'; c <= 'o'; ++c) {
    SCOPED_TRACE(c);
    const ZR_BITMAP* g = zr_font_glyph(blips, c, 1);
    ASSERT_NE(g, space);
    const int side = c == 'c' || c == 'f' ? 6 : 7;  // the ship's blip is 6 x 6, the others 7 x 7
    EXPECT_EQ(g->height, side);
    EXPECT_EQ(zr_font_glyph_width(g), side);  // whole width: stretching keeps the shape
    if (std::strchr("bghijlmno", c)) enemyColours.insert(at(g, 3, 3));
  }
  EXPECT_EQ(enemyColours.size(), 9u);
  // The ship's two blips are mirror images.
  const ZR_BITMAP* f = zr_font_glyph(blips, 'f', 1);
  const ZR_BITMAP* c = zr_font_glyph(blips, 'c', 1);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(at(f, x, y), at(c, 5 - x, y));
}

TEST_F(GameFonts, TheTitleFontShimmersThroughItsFlicFrames) {
  const ZR_FONT& font = *load("TitleFont", ZR_FONT_TRIM | ZR_FONT_ANIMATED);
  ASSERT_EQ(font.characters['A']->count, 8);
  EXPECT_EQ(font.characters['e'], font.characters['E']);
  EXPECT_EQ(font.characters[0xE9], font.characters[0xC9]);
  // The frames differ: a bright band moves through them.
  const ZR_BITMAP* first = zr_font_glyph(&font, 'M', 1);
  int differing = 0;
  for (int f = 2; f <= 8; ++f) {
    const ZR_BITMAP* g = zr_font_glyph(&font, 'M', f);
    differing +=
        std::memcmp(first->pixels, g->pixels, static_cast<size_t>(g->width) * g->height) != 0;
  }
  EXPECT_GE(differing, 5);
}

TEST_F(GameFonts, TheTextFontDrawsEveryPrintableLatin1Character) {
  const ZR_FONT* text = load("FNTFile");
  const ZR_CHAR* space = text->characters[' '];
  std::map<std::vector<uint8_t>, int> shapes;
  for (int code = 0x21; code <= 0xFF; ++code) {
    if (code > 0x7E && code < 0xA1) continue;
    SCOPED_TRACE(code);
    ASSERT_NE(text->characters[code], space);
    const ZR_BITMAP* g = zr_font_glyph(text, code, 1);
    EXPECT_GT(ink(g), 0);
    EXPECT_LE(zr_font_glyph_width(g), 8);
    if (code == 0xAD) continue;  // the soft hyphen is the hyphen
    std::vector<uint8_t> shape(g->pixels, g->pixels + g->width * g->height);
    EXPECT_EQ(shapes.count(shape), 0u) << "same glyph as code " << shapes[shape];
    shapes[shape] = code;
  }
  EXPECT_EQ(text->characters[0xAD], text->characters['-']);
  EXPECT_EQ(zr_font_glyph_width(zr_font_glyph(text, ' ', 1)), 4);
  EXPECT_EQ(zr_font_glyph_width(zr_font_glyph(text, 0xA0, 1)), 4);
}

// Every file named in the [Messages] and [Menus] sections of DATA\TEXTS.TXT (the per-language
// messages, credits and menus, whatever the languages) and the sample sentences: each character
// of every value has a glyph, and no text looks like UTF-8 read as ISO-8859-1.
TEST_F(GameFonts, EveryCharacterOfTheTextFilesHasAGlyph) {
  const ZR_FONT* text = load("FNTFile");
  ZR_FILE* texts = zr_io_fopen(kTexts, "rb");
  ASSERT_NE(texts, nullptr);
  std::vector<std::string> files;
  std::string section;
  char line[512];
  while (zr_io_fgets(line, sizeof line, texts) != nullptr) {
    std::string l(line);
    while (!l.empty() && (l.back() == '\n' || l.back() == '\r')) l.pop_back();
    if (!l.empty() && l[0] == '[') {
      section = l.substr(1, l.find(']') - 1);
      continue;
    }
    const size_t eq = l.find('=');
    if ((section == "Messages" || section == "Menus") && eq != std::string::npos) {
      files.push_back(l.substr(eq + 1));
    }
  }
  zr_io_fclose(texts);

  std::map<std::string, std::string> values;  // where -> text
  for (size_t i = 0; i < sample_sentences().size(); ++i)
    values["sample " + std::to_string(i)] = sample_sentences()[i];
  for (const std::string& file : files) {
    ZR_FILE* in = zr_io_fopen(file.c_str(), "rb");
    ASSERT_NE(in, nullptr) << file << " is named in " << kTexts << " but missing";
    int number = 0;
    while (zr_io_fgets(line, sizeof line, in) != nullptr) {
      ++number;
      std::string l(line);
      while (!l.empty() && (l.back() == '\n' || l.back() == '\r')) l.pop_back();
      const size_t eq = l.find('=');
      if (!l.empty() && l[0] != '[' && eq != std::string::npos) {
        values[file + ":" + std::to_string(number)] = l.substr(eq + 1);
      }
    }
    zr_io_fclose(in);
  }
  const ZR_CHAR* space = text->characters[' '];
  for (const auto& [where, value] : values) {
    for (size_t i = 0; i < value.size(); ++i) {
      const uint8_t c = static_cast<uint8_t>(value[i]);
      EXPECT_FALSE(c == 0xC3 && i + 1 < value.size() && (value[i + 1] & 0xC0) == 0x80)
          << where << ": UTF-8 in a text that must be ISO-8859-1";
      if (c == ' ' || c == 0xA0 || c == '\t') continue;
      EXPECT_NE(text->characters[c], space) << where << ": no glyph for code " << int(c);
    }
  }
}

// The menus' title lines (font 3) are drawn with the title font, which has capitals only (lower
// case maps to them): every character of every language's titles has a glyph of its own.
TEST_F(GameFonts, EveryCharacterOfTheMenuTitlesHasATitleGlyph) {
  const ZR_FONT* title = load("TitleFont", ZR_FONT_TRIM | ZR_FONT_ANIMATED);
  const ZR_CHAR* space = title->characters[' '];
  int titles = 0;
  for (const char* language : {"EN", "FR", "ES", "DE", "IT", "PT"}) {
    const std::string key = std::string("Menu_") + language;
    char file[64];
    ASSERT_GT(zr_io_get_string("Menus", key.c_str(), file, sizeof file, kTexts), 0) << key;
    ZR_FILE* in = zr_io_fopen(file, "rb");
    ASSERT_NE(in, nullptr) << file;
    // Per section, the numbers of the lines of font 3, then the texts of those lines.
    std::map<std::string, std::string> values;  // "section|key" -> value
    std::string section;
    char line[512];
    while (zr_io_fgets(line, sizeof line, in) != nullptr) {
      std::string l(line);
      while (!l.empty() && (l.back() == '\n' || l.back() == '\r')) l.pop_back();
      if (!l.empty() && l[0] == '[') section = l.substr(1, l.find(']') - 1);
      const size_t eq = l.find('=');
      if (!l.empty() && l[0] != ';' && eq != std::string::npos)
        values[section + "|" + l.substr(0, eq)] = l.substr(eq + 1);
    }
    zr_io_fclose(in);
    for (const auto& [where, value] : values) {
      const size_t bar = where.find('|');
      if (where.compare(bar + 1, 5, "Font_") != 0 || value != "3") continue;
      const std::string prefix = where.substr(0, bar + 1) + "Line_" + where.substr(bar + 6, 2);
      for (const auto& [textKey, text] : values) {
        if (textKey.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string rest = textKey.substr(prefix.size());
        if (!rest.empty() && rest[0] != '_') continue;  // Line_01 or Line_01_NN only
        ++titles;
        for (unsigned char c : text) {
          if (c == ' ') continue;
          EXPECT_NE(title->characters[c], space)
              << file << " " << textKey << ": no title glyph for code " << int(c);
        }
      }
    }
  }
  EXPECT_GE(titles, 6 * 7);  // a title for each of the seven menus in each language
}

// The sample picture for a look at the font (not a check).
TEST_F(GameFonts, Sample) {
  const char* out = std::getenv("ZR_FONT_SAMPLE");
  if (out == nullptr) GTEST_SKIP() << "set ZR_FONT_SAMPLE=FILE.pcx to write the sample";
  const ZR_FONT* text = load("FNTFile");
  constexpr int kSampleHeight = 240;  // a game screen and the title font below it
  uitest::Target t(320, kSampleHeight);
  // A landscape-like background: green and brown bands with a light sky at the top.
  for (int y = 0; y < kSampleHeight; ++y)
    for (int x = 0; x < 320; ++x) {
      const int band = (x / 23 + y / 17) % 3;
      const pal::Ramp ramp = y < 40      ? pal::BLUE
                             : band == 0 ? pal::GREEN
                             : band == 1 ? pal::BROWN
                                         : pal::SAND;
      t.pixels[static_cast<size_t>(y) * 320 + x] = pal::shade(ramp, y < 40 ? 13 : 6 + (x + y) % 5);
    }
  std::string all;
  for (int code = 0x21; code <= 0xFF; ++code)
    if (code <= 0x7E || code >= 0xA1) all += static_cast<char>(code);
  int y = 2;
  for (size_t i = 0; i < all.size(); i += 40, y += 11) {
    const std::string row = all.substr(i, 40);
    const ZR_RECT r{2, static_cast<int16_t>(y), 316, 10};
    zr_font_draw(text, row.c_str(), &t.bitmap, &r, ZR_FONT_PROPORTIONAL);
  }
  y += 4;
  for (const std::string& s : sample_sentences()) {
    const ZR_RECT r{2, static_cast<int16_t>(y), 316, 10};
    zr_font_draw(text, s.c_str(), &t.bitmap, &r, ZR_FONT_PROPORTIONAL);
    y += 11;
  }
  // The score as the status display draws it, and a stretched message.
  const ZR_FONT* panel = load("MAPFileT");
  const ZR_RECT panelRect{0, static_cast<int16_t>(y + 2), 320, 27};
  zr_font_draw(panel, "a", &t.bitmap, &panelRect, ZR_FONT_STRETCHED);
  const ZR_RECT score{5, static_cast<int16_t>(y + 8), 50, 10};
  zr_font_draw(text, "012345", &t.bitmap, &score, ZR_FONT_STRETCHED);
  const ZR_RECT lives{254, static_cast<int16_t>(y + 8), 61, 10};
  zr_font_draw(text, "Lives: 3", &t.bitmap, &lives,
               ZR_FONT_STRETCHED | ZR_FONT_PROPORTIONAL | ZR_FONT_KEEP_RATIO);
  const ZR_RECT big{40, static_cast<int16_t>(y + 32), 240, 20};
  zr_font_draw(text, "GAME OVER", &t.bitmap, &big, ZR_FONT_STRETCHED | ZR_FONT_PROPORTIONAL);
  // Titles as the menus draw them: the title font at a menu line's height (15 in the main
  // menu), frames 1 and 5.
  const ZR_FONT* title = load("TitleFont", ZR_FONT_TRIM | ZR_FONT_ANIMATED);
  const char* titles[] = {
      "\xA1Nuevo r\xE9"
      "cord!",
      "Op\xE7\xF5"
      "es - Ecr\xE3",
      "Gr\xFC\xDF"
      "e?"};
  for (int i = 0; i < 3; ++i) {
    ZR_RECT r{4, static_cast<int16_t>(y + 56 + 16 * i), 0, 15};
    ZR_RECT measured{};
    zr_font_measure(title, titles[i], &measured, ZR_FONT_PROPORTIONAL);
    r.w = static_cast<int16_t>(measured.w * r.h / title->height);
    for (int frame : {1, 5}) {
      zr_font_draw_frame(title, titles[i], &t.bitmap, &r, ZR_FONT_STRETCHED | ZR_FONT_PROPORTIONAL,
                         frame);
      r.x = static_cast<int16_t>(r.x + r.w + 8);
    }
  }
  Canvas c(320, kSampleHeight);
  c.pixels = t.pixels;
  const fs::path where =
      fs::path(out).is_relative() ? folder_.old / out : fs::path(out);  // the caller's
  write_pcx(where, c, pal::game_palette());
}

}  // namespace
