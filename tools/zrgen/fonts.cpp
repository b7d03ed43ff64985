// The game's fonts. Pictures hold their glyphs on colour 128, the font loader's background; the
// font files are ISO-8859-1 text like every text file of the game.
#include "tools/zrgen/fonts.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <string_view>

#include "tools/zrgen/draw.h"
#include "tools/zrgen/flic_writer.h"
#include "tools/zrgen/fonts_text_art.h"
#include "tools/zrgen/palette.h"

namespace fs = std::filesystem;

namespace {

constexpr uint8_t kBackground = 128;  // left out of every glyph by the font loader
constexpr int kGlyphsPerRow = 32;
constexpr unsigned char kNoBreakSpace = 0xA0;
constexpr unsigned char kSoftHyphen = 0xAD;

// ---- The text font ----

using Rows = std::vector<std::string>;  // kTextCellHeight rows of '#' and '.'

const TextArt* find_art(unsigned char code) {
  for (const TextArt& art : kTextArt)
    if (art.code == code) return &art;
  return nullptr;
}

Rows base_rows(unsigned char code) {
  if (code == kDotlessI) {
    Rows rows = base_rows('i');
    rows[2] = ".";
    return rows;
  }
  const TextArt* art = find_art(code);
  if (art == nullptr) throw std::runtime_error("no text glyph for code " + std::to_string(code));
  const size_t width = std::string_view(art->rows[0]).size();
  Rows rows(2, std::string(width, '.'));
  for (const char* row : art->rows) {
    if (std::string_view(row).size() != width) {
      throw std::runtime_error("uneven text glyph for code " + std::to_string(code));
    }
    rows.emplace_back(row);
  }
  return rows;
}

Rows accent_rows(Accent accent, int baseWidth) {
  switch (accent) {
    case Accent::GRAVE:
      return {"#.", ".#"};
    case Accent::ACUTE:
      return {".#", "#."};
    case Accent::CIRCUMFLEX:
      return {".#.", "#.#"};
    case Accent::TILDE:
      return {".#.#", "#.#."};
    case Accent::DIAERESIS: {
      const int w = std::max(baseWidth, 3);
      std::string dots(static_cast<size_t>(w), '.');
      const int inset = w >= 5 ? 1 : 0;
      dots[static_cast<size_t>(inset)] = dots[static_cast<size_t>(w - 1 - inset)] = '#';
      return {dots, std::string(static_cast<size_t>(w), '.')};
    }
    case Accent::RING:
      return {".#.", "#.#", ".#."};
    case Accent::CEDILLA:
      return {"##"};
  }
  return {};
}

// A letter with its accent: above capitals on rows 0-1 (a ring joins the top of the A), above the
// lower case on rows 2-3 (a ring from row 1), a cedilla on row 9.
Rows accented_rows(const AccentedLetter& letter) {
  const Rows base = base_rows(letter.base);
  const int baseWidth = static_cast<int>(base[0].size());
  const Rows accent = accent_rows(letter.accent, baseWidth);
  const int accentWidth = static_cast<int>(accent[0].size());
  const int width = std::max(baseWidth, accentWidth);
  Rows rows(kTextCellHeight, std::string(static_cast<size_t>(width), '.'));
  const int baseX = (width - baseWidth) / 2;
  for (int y = 0; y < kTextCellHeight; ++y)
    for (int x = 0; x < baseWidth; ++x) rows[y][baseX + x] = base[y][x];
  const bool lower = letter.base == kDotlessI || (letter.base >= 'a' && letter.base <= 'z');
  int top = lower ? 2 : 0;
  if (letter.accent == Accent::RING) top = lower ? 1 : -1;
  if (letter.accent == Accent::CEDILLA) top = kTextCellHeight - 1;
  const int accentX = (width - accentWidth + 1) / 2;
  for (size_t r = 0; r < accent.size(); ++r) {
    const int y = top + static_cast<int>(r);
    if (y < 0) continue;
    for (int x = 0; x < accentWidth; ++x)
      if (accent[r][x] == '#') rows[y][accentX + x] = '#';
  }
  return rows;
}

Rows glyph_rows(unsigned char code) {
  for (const AccentedLetter& letter : kAccented)
    if (letter.code == code) return accented_rows(letter);
  return base_rows(code);
}

// Ink colours by row: white at the top turning to gold towards the baseline.
uint8_t ink_colour(int row) {
  constexpr int kGold[kTextCellHeight] = {15, 15, 15, 15, 15, 14, 13, 12, 11, 10};
  if (row < 4) return pal::shade(pal::GREY, 15);
  return pal::shade(pal::YELLOW, kGold[row]);
}

// The shadow one pixel right and down, dark enough to read over any landscape.
void add_shadow(Canvas& c, const Rows& rows, uint8_t colour) {
  for (int y = 0; y < static_cast<int>(rows.size()); ++y)
    for (int x = 0; x < static_cast<int>(rows[y].size()); ++x)
      if (rows[y][x] == '#' &&
          c.get(std::min(x + 1, c.width - 1), std::min(y + 1, c.height - 1)) == 0)
        c.set(x + 1, y + 1, colour);
}

void put_sheet_cell(Canvas& sheet, const Canvas& glyph, int index, int cellWidth, int cellHeight) {
  const int x0 = (index % kGlyphsPerRow) * cellWidth, y0 = (index / kGlyphsPerRow) * cellHeight;
  for (int y = 0; y < glyph.height; ++y)
    for (int x = 0; x < glyph.width; ++x)
      if (glyph.get(x, y) != 0) sheet.set(x0 + x, y0 + y, glyph.get(x, y));
}

// Row texts of kGlyphsPerRow characters.
std::vector<std::string> row_texts(const std::string& characters) {
  std::vector<std::string> rows;
  for (size_t i = 0; i < characters.size(); i += kGlyphsPerRow)
    rows.push_back(characters.substr(i, kGlyphsPerRow));
  return rows;
}

// ---- Font description files ----

struct FileSection {
  std::string name;
  int type;
  std::vector<std::string> lines;
  std::string extra;  // further keys, each line ending in '\n'
};

std::string font_description(const std::string& name, int width, int height,
                             const std::vector<FileSection>& files, const std::string& mapSrc = "",
                             const std::string& mapDst = "") {
  std::string s = "[Font Properties]\nName=" + name + "\nWidth=" + std::to_string(width) +
                  "\nHeight=" + std::to_string(height) +
                  "\nNbFiles=" + std::to_string(files.size()) + "\nPalette=\n";
  for (size_t i = 0; i < files.size(); ++i) {
    char header[32];
    std::snprintf(header, sizeof header, "\n[File%03zu]\n", (i + 1) % 1000);
    s += header;
    s += "Name=" + files[i].name + "\nType=" + std::to_string(files[i].type) +
         "\nNbLines=" + std::to_string(files[i].lines.size()) + "\n" + files[i].extra;
    for (size_t n = 0; n < files[i].lines.size(); ++n) {
      char key[32];
      std::snprintf(key, sizeof key, "Line%03zu=", (n + 1) % 1000);
      s += key + files[i].lines[n] + "\n";
    }
  }
  if (!mapSrc.empty())
    s += "\n[Character Properties]\nMapSrc=" + mapSrc + "\nMapDst=" + mapDst + "\n";
  return s;
}

void write_bytes(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

Canvas with_background(const Canvas& c) {
  Canvas out = c;
  for (uint8_t& p : out.pixels)
    if (p == 0) p = kBackground;
  return out;
}

void write_text_font(const fs::path& dir) {
  const std::string characters = text_font_characters();
  const int rows = static_cast<int>((characters.size() + kGlyphsPerRow - 1) / kGlyphsPerRow);
  Canvas sheet(kGlyphsPerRow * kTextCellWidth, rows * kTextCellHeight);
  for (size_t i = 0; i < characters.size(); ++i) {
    put_sheet_cell(sheet, text_glyph(static_cast<unsigned char>(characters[i])),
                   static_cast<int>(i), kTextCellWidth, kTextCellHeight);
  }
  write_pcx(dir / "text.pcx", with_background(sheet), pal::game_palette());
  // The space and the no-break space are narrower than a cell: their own 4-pixel cells.
  write_pcx(dir / "space.pcx", Canvas(8, kTextCellHeight, kBackground), pal::game_palette());
  const std::string spaces = {' ', static_cast<char>(kNoBreakSpace)};
  write_bytes(dir / "text.fnt",
              font_description("Veldran text", kTextCellWidth, kTextCellHeight,
                               {{"text.pcx", 1, row_texts(characters), ""},
                                {"space.pcx", 2, {spaces}, "Width=4\n"}},
                               std::string(1, static_cast<char>(kSoftHyphen)), "-"));
}

// ---- Panel and scanner ----

// A metal surface: a steel ramp darkening downwards, with a faint dither.
void metal(Canvas& c, int x0, int y0, int w, int h, double top, double bottom) {
  for (int y = y0; y < y0 + h; ++y) {
    const double level = h > 1 ? top + (bottom - top) * (y - y0) / (h - 1) : top;
    for (int x = x0; x < x0 + w; ++x) c.set(x, y, draw::dither(pal::STEEL, level, x, y));
  }
}

// A recessed box: dark inside, a shaded rim one pixel around it.
void inset(Canvas& c, int x, int y, int w, int h, uint8_t inside) {
  for (int yy = y; yy < y + h; ++yy)
    for (int xx = x; xx < x + w; ++xx) c.set(xx, yy, inside);
  for (int xx = x - 1; xx <= x + w; ++xx) {
    c.set(xx, y - 1, pal::shade(pal::STEEL, 2));
    c.set(xx, y + h, pal::shade(pal::STEEL, 13));
  }
  for (int yy = y - 1; yy <= y + h; ++yy) {
    c.set(x - 1, yy, pal::shade(pal::STEEL, 2));
    c.set(x + w, yy, pal::shade(pal::STEEL, 13));
  }
}

void frame_rect(Canvas& c, int x, int y, int w, int h, uint8_t colour) {
  for (int xx = x; xx < x + w; ++xx) {
    c.set(xx, y, colour);
    c.set(xx, y + h - 1, colour);
  }
  for (int yy = y; yy < y + h; ++yy) {
    c.set(x, yy, colour);
    c.set(x + w - 1, yy, colour);
  }
}

void clear_rect(Canvas& c, int x, int y, int w, int h) {
  for (int yy = y; yy < y + h; ++yy)
    for (int xx = x; xx < x + w; ++xx) c.set(xx, yy, 0);
}

// Text in the text font's shapes, one colour, with the usual shadow.
void stamp_text(Canvas& c, std::string_view text, int x, int y, uint8_t colour, uint8_t shadow) {
  for (char ch : text) {
    if (ch == ' ') {
      x += 4;
      continue;
    }
    const Rows rows = glyph_rows(static_cast<unsigned char>(ch));
    Canvas g(static_cast<int>(rows[0].size()) + 1, kTextCellHeight + 1);
    for (int yy = 0; yy < kTextCellHeight; ++yy)
      for (int xx = 0; xx < static_cast<int>(rows[yy].size()); ++xx)
        if (rows[yy][xx] == '#') g.set(xx, yy, colour);
    add_shadow(g, rows, shadow);
    draw::blit(c, g, x, y);
    x += g.width + 1;
  }
}

int stamped_width(std::string_view text) {
  int w = 0;
  for (char ch : text)
    w += ch == ' ' ? 4 : static_cast<int>(glyph_rows(static_cast<unsigned char>(ch))[0].size()) + 2;
  return w;
}

void rivet(Canvas& c, int x, int y) {
  c.set(x, y, pal::shade(pal::STEEL, 14));
  c.set(x + 1, y, pal::shade(pal::STEEL, 10));
  c.set(x, y + 1, pal::shade(pal::STEEL, 10));
  c.set(x + 1, y + 1, pal::shade(pal::STEEL, 3));
}

// The scanner's lane maps and the lane number's place, in the picture's coordinates. A blip is
// placed by its top left corner in a 90 x 16 map (altitude 0 on the map's row 16, x 2410 on its
// column 90) and is up to 7 x 7: the windows are that much larger, so every blip shows whole.
struct Box {
  int x, y, w, h;
};
constexpr int kBlipSize = 7;
constexpr int kWindowWidth = 90 + kBlipSize, kWindowHeight = 16 + kBlipSize;
constexpr Box kLaneMaps[3] = {{7, 26, kWindowWidth, kWindowHeight},
                              {112, 26, kWindowWidth, kWindowHeight},
                              {217, 26, kWindowWidth, kWindowHeight}};
constexpr Box kLaneNumber = {156, 14, 8, 8};
constexpr int kScannerHeight = 52;

// The console's top edge: raised in the middle around the lane number, low at the sides.
int console_top(int x) {
  constexpr int kLow = 11, kHigh = 3, kRiseStart = 112, kRiseEnd = 120;
  const int fromCentre = x < 160 ? x : 319 - x;
  if (fromCentre < kRiseStart) return kLow;
  if (fromCentre >= kRiseEnd) return kHigh;
  return kLow - (fromCentre - kRiseStart);
}

// The outline of the console and the frames of its windows: what both scanner pictures share.
void scanner_lines(Canvas& c, uint8_t edge, uint8_t window) {
  for (int x = 0; x < c.width; ++x) {
    c.set(x, console_top(x), edge);
    c.set(x, kScannerHeight - 1, edge);
  }
  for (int y = console_top(0); y < kScannerHeight; ++y) {
    c.set(0, y, edge);
    c.set(c.width - 1, y, edge);
  }
  for (const Box& b : kLaneMaps) frame_rect(c, b.x - 1, b.y - 1, b.w + 2, b.h + 2, window);
  frame_rect(c, kLaneNumber.x - 1, kLaneNumber.y - 1, kLaneNumber.w + 2, kLaneNumber.h + 2, window);
}

}  // namespace

std::string text_font_characters() {
  std::string s;
  for (int c = 33; c <= 126; ++c) s += static_cast<char>(c);
  for (int c = 0xA1; c <= 0xFF; ++c)
    if (c != kSoftHyphen) s += static_cast<char>(c);
  return s;
}

Canvas text_glyph(unsigned char code) {
  const Rows rows = glyph_rows(code);
  if (static_cast<int>(rows[0].size()) >= kTextCellWidth) {
    throw std::runtime_error("text glyph too wide for code " + std::to_string(code));
  }
  Canvas c(kTextCellWidth, kTextCellHeight);
  for (int y = 0; y < kTextCellHeight; ++y)
    for (int x = 0; x < static_cast<int>(rows[y].size()); ++x)
      if (rows[y][x] == '#') c.set(x, y, ink_colour(y));
  add_shadow(c, rows, pal::shade(pal::GREY, 0));
  return c;
}

Canvas panel_picture() {
  Canvas c(320, 27);
  metal(c, 0, 0, 320, 27, 9.0, 5.0);
  for (int x = 0; x < 320; ++x) {
    c.set(x, 0, pal::shade(pal::STEEL, 13));
    c.set(x, 1, pal::shade(pal::STEEL, 11));
    c.set(x, 24, pal::shade(pal::STEEL, 3));
    c.set(x, 25, pal::shade(pal::STEEL, 1));
    c.set(x, 26, pal::shade(pal::GREY, 0));
  }
  // The score's box (the score is drawn at 5, 6, 50 x 10) and the lives' box on the right.
  inset(c, 4, 5, 52, 12, pal::shade(pal::GREY, 1));
  inset(c, 253, 5, 63, 12, pal::shade(pal::GREY, 1));
  // The name plate in the middle.
  constexpr std::string_view kTitle = "ZRSENTRY";
  const int titleWidth = stamped_width(kTitle);
  const int plateX = 160 - titleWidth / 2 - 6;
  inset(c, plateX, 4, titleWidth + 12, 15, pal::shade(pal::BLUE, 2));
  stamp_text(c, kTitle, plateX + 7, 4, pal::shade(pal::CYAN, 13), pal::shade(pal::BLUE, 0));
  // Status lights between the boxes, and rivets.
  const pal::Ramp lights[] = {pal::GREEN, pal::YELLOW, pal::RED};
  for (int i = 0; i < 3; ++i) {
    for (int side = 0; side < 2; ++side) {
      const int x = side == 0 ? 70 + i * 10 : 228 - i * 10;
      inset(c, x, 9, 5, 4, pal::shade(lights[side == 0 ? i : 2 - i], 12));
      c.set(x + 1, 9, pal::shade(lights[side == 0 ? i : 2 - i], 15));
    }
  }
  for (int x : {60, 110, 206, 247}) {
    rivet(c, x, 5);
    rivet(c, x, 18);
  }
  return c;
}

Canvas scanner_picture() {
  Canvas c(320, kScannerHeight);
  for (int x = 0; x < 320; ++x) {
    const int top = console_top(x);
    for (int y = top; y < kScannerHeight; ++y) {
      const double level = 10.0 - 5.0 * (y - top) / (kScannerHeight - top);
      c.set(x, y, draw::dither(pal::STEEL, level, x, y));
    }
  }
  // Ticks along each map: one every tenth of the loop, above the window and in the row between
  // its frame and the console's bottom edge.
  for (const Box& b : kLaneMaps) {
    inset(c, b.x, b.y, b.w, b.h, 0);
    for (int i = 0; i <= 10; ++i) {
      const int x = b.x + i * (b.w - 1) / 10;
      c.set(x, b.y - 3, pal::shade(pal::CYAN, 9));
      c.set(x, b.y + b.h + 1, pal::shade(pal::CYAN, 9));
    }
  }
  inset(c, kLaneNumber.x, kLaneNumber.y, kLaneNumber.w, kLaneNumber.h, 0);
  // The lanes' numbers beside their maps, and the label of the current lane.
  for (int i = 0; i < 3; ++i) {
    const std::string label(1, static_cast<char>('1' + i));
    stamp_text(c, label, kLaneMaps[i].x + 1, kLaneMaps[i].y - 14, pal::shade(pal::CYAN, 12),
               pal::shade(pal::STEEL, 1));
  }
  stamp_text(c, "LANE", kLaneNumber.x - stamped_width("LANE") - 3, kLaneNumber.y - 2,
             pal::shade(pal::CYAN, 14), pal::shade(pal::STEEL, 1));
  scanner_lines(c, pal::shade(pal::STEEL, 14), pal::shade(pal::CYAN, 12));
  for (const Box& b : kLaneMaps) clear_rect(c, b.x, b.y, b.w, b.h);
  clear_rect(c, kLaneNumber.x, kLaneNumber.y, kLaneNumber.w, kLaneNumber.h);
  // Rivets in the gaps between the windows' frames and beside the outer ones.
  for (int x : {3, 107, 212, 316}) rivet(c, x, 46);
  return c;
}

namespace {

// The see-through scanner: only its outline and window frames, as one FLIC frame with a margin,
// so that the loader finds the glyph area by its drawn pixels.
void write_see_through_font(const fs::path& dir) {
  constexpr int kMarginX = 8, kMarginY = 4;
  Canvas lines(320, kScannerHeight);
  scanner_lines(lines, pal::shade(pal::CYAN, 10), pal::shade(pal::CYAN, 14));
  Canvas frame(320 + 2 * kMarginX, kScannerHeight + 2 * kMarginY);
  draw::blit(frame, lines, kMarginX, kMarginY);
  write_flc(dir / "scanview.flc", {frame}, pal::game_palette(), 100);
  write_bytes(dir / "scanview.fnt", font_description("Veldran scanner outline", 320, kScannerHeight,
                                                     {{"scanview.flc", 7, {"a"}, ""}}));
}

// ---- Blips ----

struct Blip {
  char code;
  const char* shape[7];
  pal::Ramp ramp;
};

constexpr const char* kDiamond[7] = {"...#...", "..###..", ".#####.", "#######",
                                     ".#####.", "..###..", "...#..."};

// Enemies: one shape, one colour each. The pod, the UFO and the walker have their own shapes.
const std::vector<Blip>& blips() {
  static const std::vector<Blip> list = [] {
    std::vector<Blip> v;
    const std::pair<char, pal::Ramp> enemies[] = {
        {'b', pal::RED},  {'g', pal::ORANGE}, {'h', pal::YELLOW}, {'i', pal::PURPLE},
        {'j', pal::BLUE}, {'k', pal::STEEL},  {'l', pal::PINK},   {'m', pal::TEAL},
        {'n', pal::SAND}, {'o', pal::OLIVE}};
    v.push_back({'a',
                 {"..###..", ".#...#.", "#..#..#", "#.###.#", "#..#..#", ".#...#.", "..###.."},
                 pal::GREEN});
    v.push_back({'d',
                 {".......", "..###..", ".#####.", "#######", "#.#.#.#", ".#####.", "......."},
                 pal::CYAN});
    v.push_back({'e',
                 {"..###..", ".#####.", "#######", ".#...#.", ".#...#.", "#.....#", "#.....#"},
                 pal::BROWN});
    for (const auto& [code, ramp] : enemies) {
      Blip b{code, {}, ramp};
      for (int r = 0; r < 7; ++r) b.shape[r] = kDiamond[r];
      v.push_back(b);
    }
    return v;
  }();
  return list;
}

// Body in the ramp's light levels, the rim darker, so that neighbouring blips stay apart.
Canvas blip_glyph(const Blip& b) {
  Canvas c(7, 7);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 7; ++x)
      if (b.shape[y][x] == '#') {
        const bool rim = x == 0 || y == 0 || x == 6 || y == 6 || b.shape[y][x - 1] != '#' ||
                         b.shape[y][x + 1] != '#' || b.shape[y - 1][x] != '#' ||
                         b.shape[y + 1][x] != '#';
        c.set(x, y, pal::shade(b.ramp, rim ? 9 : 14));
      }
  if (b.code == 'd') {  // the UFO's lights
    for (int x = 0; x < 7; x += 2) c.set(x, 4, pal::shade(pal::YELLOW, 15));
  }
  return c;
}

// The ship: an arrow 6 x 6, facing +x ('f') or -x ('c').
Canvas ship_glyph(bool facingPlusX) {
  constexpr const char* kArrow[6] = {"##....", ".###..", "######", "######", ".###..", "##...."};
  Canvas c(6, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x)
      if (kArrow[y][x] == '#') {
        const uint8_t colour = x >= 4 ? pal::kRamps[pal::SPECIAL].first  // white nose
                                      : pal::shade(pal::GREEN, 14);
        c.set(facingPlusX ? x : 5 - x, y, colour);
      }
  return c;
}

void write_blip_font(const fs::path& dir) {
  const auto& list = blips();
  Canvas sheet(7 * static_cast<int>(list.size()), 7, kBackground);
  std::string codes;
  for (size_t i = 0; i < list.size(); ++i) {
    draw::blit(sheet, blip_glyph(list[i]), 7 * static_cast<int>(i), 0);
    codes += list[i].code;
  }
  write_pcx(dir / "blips.pcx", sheet, pal::game_palette());
  Canvas ships(12, 6, kBackground);
  draw::blit(ships, ship_glyph(true), 0, 0);
  draw::blit(ships, ship_glyph(false), 6, 0);
  write_pcx(dir / "ship.pcx", ships, pal::game_palette());
  write_bytes(dir / "blips.fnt",
              font_description(
                  "Veldran scanner blips", 7, 7,
                  {{"blips.pcx", 1, {codes}, ""}, {"ship.pcx", 2, {"fc"}, "Width=6\nHeight=6\n"}}));
}

// ---- The animated title font ----

constexpr int kTitleScale = 2;
constexpr int kTitleFrames = 8;

std::string title_characters() {
  std::string s;
  for (int c = 33; c <= 96; ++c) s += static_cast<char>(c);  // punctuation, digits, capitals
  for (int c : {0xA1, 0xAB, 0xBB, 0xBF}) s += static_cast<char>(c);
  // The accented capitals, and the sharp s, which has no capital of its own.
  for (int c = 0xC0; c <= 0xDF; ++c)
    if (c != 0xD7) s += static_cast<char>(c);
  return s;
}

// Lower case letters take their capitals.
std::pair<std::string, std::string> title_mapping() {
  std::string from, to;
  for (int c = 'a'; c <= 'z'; ++c) {
    from += static_cast<char>(c);
    to += static_cast<char>(c - 32);
  }
  for (int c = 0xE0; c <= 0xFE; ++c) {
    if (c == 0xF7) continue;
    from += static_cast<char>(c);
    to += static_cast<char>(c - 32);
  }
  from += static_cast<char>(0xFF);
  to += 'Y';
  return {from, to};
}

// Frame f of a title glyph: the shape at twice the size, a bright band sweeping across it from
// the lower left to the upper right over the frames.
Canvas title_glyph(unsigned char code, int f) {
  const Rows rows = glyph_rows(code);
  const int cw = kTextCellWidth * kTitleScale, ch = kTextCellHeight * kTitleScale;
  Canvas c(cw, ch);
  for (int y = 0; y < kTextCellHeight * kTitleScale; ++y) {
    for (int x = 0; x < static_cast<int>(rows[0].size()) * kTitleScale; ++x) {
      if (rows[y / kTitleScale][x / kTitleScale] != '#') continue;
      const int band = (x + (ch - y) - f * 6 + 96) % 48;
      const int level = band < 6 ? 15 : 13 - std::min(3, std::abs(y - ch / 2) / 3);
      c.set(x + 1, y,
            band < 6 ? pal::shade(pal::HIGHLIGHT, level) : pal::shade(pal::ORANGE, level));
    }
  }
  draw::outline(c, pal::shade(pal::BROWN, 0));
  return c;
}

void write_title_font(const fs::path& dir) {
  const std::string characters = title_characters();
  const int cw = kTextCellWidth * kTitleScale, ch = kTextCellHeight * kTitleScale;
  const int rows = static_cast<int>((characters.size() + kGlyphsPerRow - 1) / kGlyphsPerRow);
  std::vector<Canvas> frames;
  for (int f = 0; f < kTitleFrames; ++f) {
    Canvas sheet(kGlyphsPerRow * cw, rows * ch);
    for (size_t i = 0; i < characters.size(); ++i) {
      put_sheet_cell(sheet, title_glyph(static_cast<unsigned char>(characters[i]), f),
                     static_cast<int>(i), cw, ch);
    }
    frames.push_back(with_background(sheet));
  }
  write_flc(dir / "title.flc", frames, pal::game_palette(), 60);
  write_pcx(dir / "titlesp.pcx", Canvas(cw, ch, kBackground), pal::game_palette());
  const auto [from, to] = title_mapping();
  write_bytes(
      dir / "title.fnt",
      font_description("Veldran title", cw, ch,
                       {{"title.flc", 6, row_texts(characters), ""},
                        {"titlesp.pcx", 2, {" "}, "Width=" + std::to_string(cw / 2) + "\n"}},
                       from, to));
}

}  // namespace

void write_fonts(const fs::path& dataDir) {
  const fs::path dir = dataDir / "fonts";
  fs::create_directories(dir);
  write_text_font(dir);
  write_pcx(dir / "panel.pcx", with_background(panel_picture()), pal::game_palette());
  write_bytes(dir / "panel.fnt",
              font_description("Veldran status panel", 320, 27, {{"panel.pcx", 1, {"a"}, ""}}));
  write_pcx(dir / "scanner.pcx", with_background(scanner_picture()), pal::game_palette());
  write_bytes(dir / "scanner.fnt", font_description("Veldran scanner", 320, kScannerHeight,
                                                    {{"scanner.pcx", 1, {"a"}, ""}}));
  write_see_through_font(dir);
  write_blip_font(dir);
  write_title_font(dir);
}
