// Loading fonts: every file type (PCX and FLIC, cell and area rules), the load flags, trimming,
// animated characters, the mapping and the space default, the error codes and their messages,
// and rows that run past their picture.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/display/palette.h"
#include "ui_support.h"

namespace {

using uitest::FontTest;
using uitest::write_text;

// Glyph k of a sheet: cell columns 1 .. k+1 and rows 1 .. ch-2 in colour 20 + k, so that its
// trimmed width is k + 1 and its colour names it. With `full`, glyph k fills its whole cell.
Canvas sheet(int w, int h, int x0, int y0, int cw, int ch, int count, int perRow, bool full,
             uint8_t background = 0) {
  Canvas c(w, h, background);
  for (int k = 0; k < count; ++k) {
    const int cx = x0 + (k % perRow) * cw, cy = y0 + (k / perRow) * ch;
    for (int y = 0; y < ch; ++y) {
      for (int x = 0; x < cw; ++x) {
        const bool ink = full || (x >= 1 && x <= k + 1 && y >= 1 && y <= ch - 2);
        if (ink) c.set(cx + x, cy + y, static_cast<uint8_t>(20 + k));
      }
    }
  }
  return c;
}

uint8_t pixel(const ZR_BITMAP* g, int x, int y) {
  return g->pixels[static_cast<size_t>(y) * g->width + x];
}

struct TypeCase {
  const char* what;
  int type;
  bool flic;
  std::string extra;  // keys of the file section besides Name, Type and lines
  int pictureWidth, pictureHeight, x0, y0, cellWidth;
  bool full;
};

TEST_F(FontTest, EveryFileTypeGivesTheGlyphsOfItsRows) {
  const std::vector<TypeCase> cases = {
      {"PCX in font cells", 1, false, "", 40, 20, 0, 0, 8, false},
      {"PCX in its own cells", 2, false, "Width=5\n", 40, 20, 0, 0, 5, false},
      {"FLIC from its corner", 4, true, "", 40, 20, 0, 0, 8, false},
      {"FLIC from its corner (6)", 6, true, "", 40, 20, 0, 0, 8, false},
      {"FLIC area given", 5, true, "X=6\nY=3\nWidth=16\nHeight=16\n", 40, 30, 6, 3, 8, false},
      {"FLIC area found", 7, true, "", 40, 30, 9, 4, 8, true},
      {"FLIC area found (5)", 5, true, "Width=0\nHeight=0\n", 40, 30, 9, 4, 8, true},
  };
  for (const TypeCase& t : cases) {
    SCOPED_TRACE(t.what);
    // Two rows of two glyphs: AB, CD.
    const Canvas c =
        sheet(t.pictureWidth, t.pictureHeight, t.x0, t.y0, t.cellWidth, 8, 4, 2, t.full);
    const std::string name = t.flic ? "glyphs.flc" : "glyphs.pcx";
    if (t.flic) {
      write_flc(name, {c}, pal::game_palette(), 50);
    } else {
      write_pcx(name, c, pal::game_palette());
    }
    write_text("f.fnt", properties(8, 8, 1) + file_section(1, name, t.type, {"AB", "CD"}, t.extra));
    ASSERT_EQ(zr_font_load(&font_, "f.fnt", 0), 1);
    EXPECT_NE(last_code(), ZR_FONT_PARTLY_LOADED);
    EXPECT_STREQ(font_.name, "Test");
    for (int k = 0; k < 4; ++k) {
      const ZR_BITMAP* g = zr_font_glyph(&font_, 'A' + k, 1);
      ASSERT_NE(g, nullptr);
      EXPECT_EQ(g->width, t.cellWidth);
      EXPECT_EQ(g->height, 8);
      EXPECT_EQ(pixel(g, 1, 1), 20 + k) << "glyph " << char('A' + k);
      EXPECT_EQ(pixel(g, g->width - 1, 0), t.full ? 20 + k : 0);
    }
    zr_font_free(&font_);
    std::filesystem::remove(name);
  }
}

TEST_F(FontTest, TypeThreeAndBrokenFileSectionsFailOnTheirOwn) {
  write_pcx("g.pcx", sheet(16, 8, 0, 0, 8, 8, 2, 2, false), pal::game_palette());
  const std::vector<std::pair<const char*, std::string>> broken = {
      {"type 3", file_section(1, "g.pcx", 3, {"XY"})},
      {"type 8", file_section(1, "g.pcx", 8, {"XY"})},
      {"no picture", file_section(1, "missing.pcx", 1, {"XY"})},
      {"no type", "[File001]\nName=g.pcx\nNbLines=1\nLine001=XY\n"},
      {"missing row", "[File001]\nName=g.pcx\nType=1\nNbLines=2\nLine001=XY\n"},
  };
  for (const auto& [what, section] : broken) {
    SCOPED_TRACE(what);
    write_text("f.fnt", properties(8, 8, 2) + section + file_section(2, "g.pcx", 1, {"AB"}));
    ASSERT_EQ(zr_font_load(&font_, "f.fnt", 0), 1);
    EXPECT_EQ(last_code(), ZR_FONT_PARTLY_LOADED);
    // The good file still loads; the characters of the refused one draw as the space.
    EXPECT_EQ(pixel(zr_font_glyph(&font_, 'B', 1), 2, 1), 21);
    if (std::string(what) != "missing row") {
      EXPECT_EQ(zr_font_glyph(&font_, 'X', 1), zr_font_glyph(&font_, ' ', 1));
    }
    zr_font_free(&font_);
  }
}

TEST_F(FontTest, TrimmingKeepsTheDrawnColumnsAtFullHeight) {
  Canvas c(48, 8);
  c.set(3, 5, 30);                                       // '.': one lone pixel
  for (int y = 1; y <= 6; ++y) c.set(8 + 7 - y, y, 31);  // '/': one pixel per row, leaning
  for (int x = 17; x < 23; ++x)
    c.set(x, 2, ZR_FONT_BACKGROUND);  // '-' drawn only in the background
  c.set(18, 2, 32);
  c.set(21, 6, 32);
  // ' ' at cell 3 has ink, but the space keeps its full cell; cell 4 'e' is empty.
  c.set(26, 4, 33);
  write_pcx("g.pcx", c, pal::game_palette());
  write_text("f.fnt", properties(8, 8, 1) + file_section(1, "g.pcx", 1, {"./- e"}));

  ASSERT_EQ(zr_font_load(&font_, "f.fnt", ZR_FONT_TRIM), 1);
  struct Expect {
    char c;
    ZR_RECT box, columns;
  };
  const std::vector<Expect> expected = {
      {'.', {3, 5, 1, 1}, {3, 0, 1, 8}}, {'/', {1, 1, 6, 6}, {1, 0, 6, 8}},
      {'-', {2, 2, 4, 5}, {2, 0, 4, 8}}, {' ', {0, 0, 8, 8}, {0, 0, 8, 8}},
      {'e', {0, 0, 8, 8}, {0, 0, 8, 8}},
  };
  for (const Expect& e : expected) {
    SCOPED_TRACE(e.c);
    const ZR_BITMAP* g = zr_font_glyph(&font_, e.c, 1);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->opaqueBox.x, e.box.x);
    EXPECT_EQ(g->opaqueBox.y, e.box.y);
    EXPECT_EQ(g->opaqueBox.w, e.box.w);
    EXPECT_EQ(g->opaqueBox.h, e.box.h);
    EXPECT_EQ(g->opaqueColumns.x, e.columns.x);
    EXPECT_EQ(g->opaqueColumns.w, e.columns.w);
    EXPECT_EQ(g->opaqueColumns.h, e.columns.h);
    EXPECT_EQ(zr_font_glyph_width(g), e.columns.w);
  }
  // The background colour became transparent.
  EXPECT_EQ(pixel(zr_font_glyph(&font_, '-', 1), 3, 2), 0);
  // Without the flag every glyph keeps its full cell.
  zr_font_free(&font_);
  ASSERT_EQ(zr_font_load(&font_, "f.fnt", 0), 1);
  EXPECT_EQ(zr_font_glyph(&font_, '.', 1)->opaqueColumns.w, 8);
  EXPECT_EQ(zr_font_glyph(&font_, '.', 1)->opaqueBox.x, 0);
}

TEST_F(FontTest, AnimatedCharactersCycleThroughTheirFrames) {
  // Three FLIC frames; frame f draws every glyph in colour 40 + f.
  std::vector<Canvas> frames;
  for (int f = 0; f < 3; ++f) {
    Canvas c(16, 8);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 16; ++x) c.set(x, y, static_cast<uint8_t>(40 + f));
    frames.push_back(c);
  }
  write_flc("anim.flc", frames, pal::game_palette(), 40);
  write_text("f.fnt", properties(8, 8, 1) + file_section(1, "anim.flc", 4, {"AB"}));

  ASSERT_EQ(zr_font_load(&font_, "f.fnt", ZR_FONT_ANIMATED), 1);
  EXPECT_NE(last_code(), ZR_FONT_PARTLY_LOADED);
  EXPECT_EQ(font_.characters['A']->count, 3);
  const std::vector<std::pair<int, int>> frameAndColour = {
      {1, 40}, {2, 41}, {3, 42}, {0, 40}, {-5, 40}, {4, 40}, {7, 40}, {6, 42}, {8, 41}};
  for (const auto& [frame, colour] : frameAndColour) {
    EXPECT_EQ(pixel(zr_font_glyph(&font_, 'B', frame), 0, 0), colour) << "frame " << frame;
  }
  // Without the flag the second animation frame defines every character again: the first frame
  // stays, code 6 and then code 5 are recorded.
  zr_font_free(&font_);
  report_ = 1;
  ASSERT_EQ(zr_font_load(&font_, "f.fnt", 0), 1);
  report_ = 0;
  EXPECT_EQ(font_.characters['A']->count, 1);
  EXPECT_EQ(pixel(zr_font_glyph(&font_, 'A', 2), 0, 0), 40);
  ASSERT_GE(uitest::boxes().size(), 2u);
  EXPECT_NE(uitest::boxes()[0].find("A character is defined more than once in the font\n\nA"),
            std::string::npos);
  EXPECT_NE(uitest::boxes().back().find("Some characters couldn't be loaded"), std::string::npos);
}

TEST_F(FontTest, ACharacterTwiceInARowKeepsTheFirstGlyph) {
  write_pcx("g.pcx", sheet(24, 8, 0, 0, 8, 8, 3, 3, false), pal::game_palette());
  write_text("f.fnt", properties(8, 8, 1) + file_section(1, "g.pcx", 1, {"ABA"}));
  report_ = 1;
  ASSERT_EQ(zr_font_load(&font_, "f.fnt", 0), 1);
  report_ = 0;
  EXPECT_EQ(pixel(zr_font_glyph(&font_, 'A', 1), 1, 1), 20);
  ASSERT_EQ(uitest::boxes().size(), 2u);
  EXPECT_EQ(uitest::boxes()[0],
            "Alert|In module Font \n\n A character is defined more than once in the font\n\nA");
  EXPECT_EQ(uitest::boxes()[1],
            "Alert|In module Font \n\n Some characters couldn't be loaded. The text might be "
            "displayed incorrectly\n\nf.fnt");
  // With the animation flag the same row gives A two frames.
  zr_font_free(&font_);
  ASSERT_EQ(zr_font_load(&font_, "f.fnt", ZR_FONT_ANIMATED), 1);
  EXPECT_EQ(font_.characters['A']->count, 2);
  EXPECT_EQ(pixel(zr_font_glyph(&font_, 'A', 2), 1, 1), 22);
}

TEST_F(FontTest, MappingAndTheSpaceFillEveryCode) {
  // Capitals only; lower case mapped onto them; '?' maps to an undefined code and stays a space.
  write_pcx("g.pcx", sheet(24, 8, 0, 0, 8, 8, 3, 3, false), pal::game_palette());
  write_text("f.fnt", properties(8, 8, 1) + file_section(1, "g.pcx", 1, {"ABC"}) +
                          "[Character Properties]\nMapSrc=abcd?\nMapDst=ABCD\n");
  ASSERT_EQ(zr_font_load(&font_, "f.fnt", ZR_FONT_TRIM), 1);
  for (char c : std::string("abc")) {
    EXPECT_EQ(font_.characters[static_cast<uint8_t>(c)], font_.characters[c - 'a' + 'A']);
    EXPECT_FALSE(font_.defined[static_cast<uint8_t>(c)]);
  }
  const ZR_CHAR* space = font_.characters[' '];
  ASSERT_NE(space, nullptr);
  EXPECT_TRUE(font_.defined[' ']);
  EXPECT_EQ(space->frames[0]->width, 8);
  EXPECT_EQ(zr_font_glyph_width(space->frames[0]), 8);
  for (int code : {0, int('d'), int('D'), int('?'), 0xE9, 255})
    EXPECT_EQ(font_.characters[code], space);
  // A space in a row keeps its full cell even when trimmed, here 3 pixels wide (type 2).
  zr_font_free(&font_);
  write_text("f.fnt", properties(8, 8, 2) + file_section(1, "g.pcx", 1, {"ABC"}) +
                          file_section(2, "g.pcx", 2, {" "}, "Width=3\n"));
  ASSERT_EQ(zr_font_load(&font_, "f.fnt", ZR_FONT_TRIM), 1);
  EXPECT_EQ(zr_font_glyph_width(zr_font_glyph(&font_, ' ', 1)), 3);
  EXPECT_EQ(zr_font_glyph(&font_, 'x', 1), zr_font_glyph(&font_, ' ', 1));
}

TEST_F(FontTest, PaletteFlagGivesGlyphsTheirPicturesPalette) {
  write_pcx("g.pcx", sheet(24, 8, 0, 0, 8, 8, 3, 3, false), uitest::grey_palette());
  write_pcx("pal.pcx", Canvas(2, 2), pal::game_palette());
  std::vector<Canvas> frames(2, sheet(24, 8, 0, 0, 8, 8, 3, 3, false));
  write_flc("a.flc", frames, uitest::grey_palette(), 10);
  write_text("f.fnt", properties(8, 8, 2, "pal.pcx") + file_section(1, "g.pcx", 1, {"ABC"}) +
                          file_section(2, "a.flc", 4, {"xyz"}));
  // Without flag 1 every glyph takes the font's palette.
  ASSERT_EQ(zr_font_load(&font_, "f.fnt", 0), 1);
  ASSERT_TRUE(font_.hasPalette);
  EXPECT_EQ(std::memcmp(font_.palette, pal::game_palette().data(), 768), 0);
  EXPECT_EQ(zr_font_glyph(&font_, 'A', 1)->palette, font_.palette);
  EXPECT_EQ(zr_font_glyph(&font_, 'y', 1)->palette, font_.palette);
  zr_font_free(&font_);
  // With it, the glyphs of each source share its palette, owned by one of them.
  ASSERT_EQ(zr_font_load(&font_, "f.fnt", ZR_FONT_SOURCE_PALETTE | ZR_FONT_ANIMATED), 1);
  const ZR_BITMAP* a = zr_font_glyph(&font_, 'A', 1);
  const ZR_BITMAP* c = zr_font_glyph(&font_, 'C', 1);
  ASSERT_NE(a->palette, nullptr);
  EXPECT_EQ(a->palette, c->palette);
  EXPECT_EQ(a->palette[3 * 77], 77);
  EXPECT_EQ(a->ownsPalette + zr_font_glyph(&font_, 'B', 1)->ownsPalette + c->ownsPalette, 1);
  const ZR_BITMAP* y = zr_font_glyph(&font_, 'y', 2);
  ASSERT_NE(y->palette, nullptr);
  EXPECT_NE(y->palette, a->palette);
  EXPECT_EQ(y->palette[3 * 200 + 1], 200);
  // The space default has the font's palette. TearDown checks that nothing is left allocated.
  EXPECT_EQ(zr_font_glyph(&font_, ' ', 1)->palette, font_.palette);
}

TEST_F(FontTest, RowsPastTheirPictureStopAtItsEdge) {
  // A 20 x 8 picture holds two whole 8 x 8 cells; the row names four characters, and a second
  // row lies wholly below the picture.
  write_pcx("g.pcx", sheet(20, 8, 0, 0, 8, 8, 2, 2, true), pal::game_palette());
  write_text("f.fnt", properties(8, 8, 1) + file_section(1, "g.pcx", 1, {"ABCD", "EF"}));
  report_ = 1;
  ASSERT_EQ(zr_font_load(&font_, "f.fnt", 0), 1);
  report_ = 0;
  EXPECT_EQ(pixel(zr_font_glyph(&font_, 'B', 1), 7, 7), 21);
  for (char c : std::string("CDEF")) {
    EXPECT_EQ(zr_font_glyph(&font_, c, 1), zr_font_glyph(&font_, ' ', 1)) << c;
    EXPECT_FALSE(font_.defined[static_cast<uint8_t>(c)]) << c;
  }
  EXPECT_EQ(last_code(), ZR_FONT_PARTLY_LOADED);
  ASSERT_EQ(uitest::boxes().size(), 1u);
  // The same for an animation area that reaches past the animation.
  zr_font_free(&font_);
  write_flc("g.flc", {sheet(20, 8, 0, 0, 8, 8, 2, 2, true)}, pal::game_palette(), 10);
  write_text("f.fnt", properties(8, 8, 1) +
                          file_section(1, "g.flc", 5, {"ABC"}, "X=4\nY=0\nWidth=24\nHeight=8\n"));
  ASSERT_EQ(zr_font_load(&font_, "f.fnt", 0), 1);
  EXPECT_EQ(last_code(), ZR_FONT_PARTLY_LOADED);
  EXPECT_NE(zr_font_glyph(&font_, 'B', 1), zr_font_glyph(&font_, ' ', 1));
  EXPECT_EQ(zr_font_glyph(&font_, 'C', 1), zr_font_glyph(&font_, ' ', 1));
}

TEST_F(FontTest, FailuresRecordTheirCodesAndDetails) {
  write_pcx("g.pcx", sheet(16, 8, 0, 0, 8, 8, 2, 2, false), pal::game_palette());
  const std::string rows = file_section(1, "g.pcx", 1, {"AB"});
  struct Case {
    const char* what;
    std::string text;  // of f.fnt; empty: no file
    int result, code;
    const char* detail;
  };
  const std::vector<Case> cases = {
      {"no file", "", 0, ZR_FONT_NOT_FOUND, "f.fnt"},
      {"no name", "[Font Properties]\nWidth=8\nHeight=8\nNbFiles=1\nPalette=\n" + rows, 0,
       ZR_FONT_BAD_FORMAT, "f.fnt"},
      {"no width", "[Font Properties]\nName=T\nHeight=8\nNbFiles=1\nPalette=\n" + rows, 0,
       ZR_FONT_BAD_FORMAT, "f.fnt"},
      {"no files", "[Font Properties]\nName=T\nWidth=8\nHeight=8\nPalette=\n" + rows, 0,
       ZR_FONT_BAD_FORMAT, "f.fnt"},
      {"no cell", properties(0, 8, 1) + rows, 0, ZR_FONT_BAD_FORMAT, "f.fnt"},
      {"negative cell", properties(-8, -8, 1) + rows, 0, ZR_FONT_BAD_FORMAT, "f.fnt"},
      {"bad palette", properties(8, 8, 1, "nothing.pcx") + rows, 0, ZR_FONT_BAD_PALETTE,
       "nothing.pcx"},
      {"partly", properties(8, 8, 2) + rows, 1, ZR_FONT_PARTLY_LOADED, "f.fnt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove("f.fnt");
    if (!c.text.empty()) write_text("f.fnt", c.text);
    uitest::boxes().clear();
    report_ = 1;
    EXPECT_EQ(zr_font_load(&font_, "f.fnt", 0), c.result);
    report_ = 0;
    EXPECT_EQ(last_code(), c.code);
    ASSERT_FALSE(uitest::boxes().empty());
    const std::string& box = uitest::boxes().back();
    EXPECT_EQ(box.substr(0, 22), "Alert|In module Font \n");
    EXPECT_EQ(box.substr(box.size() - std::strlen(c.detail)), c.detail) << box;
    if (c.result == 0) {
      EXPECT_EQ(font_.name, nullptr);
      EXPECT_EQ(font_.palette, nullptr);
    }
    zr_font_free(&font_);
  }
  // No record at all: code 0 and its text.
  uitest::boxes().clear();
  report_ = 1;
  EXPECT_EQ(zr_font_load(nullptr, "f.fnt", 0), 0);
  report_ = 0;
  EXPECT_EQ(last_code(), ZR_FONT_NO_RECORD);
  ASSERT_EQ(uitest::boxes().size(), 1u);
  EXPECT_EQ(uitest::boxes()[0], "Alert|In module Font \n\n Invalid font pointer\n\n");
  // Nothing is shown while the switch is off.
  uitest::boxes().clear();
  std::filesystem::remove("f.fnt");
  EXPECT_EQ(zr_font_load(&font_, "f.fnt", 0), 0);
  EXPECT_TRUE(uitest::boxes().empty());
}

TEST_F(FontTest, FontFilesFindTheirPicturesBesideThem) {
  std::filesystem::create_directories("data/fonts");
  write_pcx("data/fonts/g.pcx", sheet(16, 8, 0, 0, 8, 8, 2, 2, false), pal::game_palette());
  write_pcx("data/fonts/pal.pcx", Canvas(1, 1), uitest::grey_palette());
  write_text("data/fonts/f.fnt",
             properties(8, 8, 1, "pal.pcx") + file_section(1, "g.pcx", 1, {"AB"}));
  ASSERT_EQ(zr_font_load(&font_, "data\\fonts\\f.fnt", ZR_FONT_TRIM), 1);
  EXPECT_NE(last_code(), ZR_FONT_PARTLY_LOADED);
  EXPECT_EQ(font_.palette[3 * 9], 9);
  EXPECT_EQ(zr_font_glyph_width(zr_font_glyph(&font_, 'B', 1)), 2);
}

}  // namespace
