// The game's fonts (data\fonts): the text font of messages and menus with every ISO-8859-1 letter
// of the six languages, the status panel, the scanner and its see-through twin, the scanner blips,
// and an animated title font for the menus. Each is a font description file with its pictures.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "tools/zrgen/canvas.h"

// The data paths of the font files, as DATA\TEXTS.TXT names them.
inline constexpr const char* kTextFontPath = "data\\fonts\\text.fnt";            // FNTFile
inline constexpr const char* kScannerFontPath = "data\\fonts\\scanner.fnt";      // MAPFile
inline constexpr const char* kPanelFontPath = "data\\fonts\\panel.fnt";          // MAPFileT
inline constexpr const char* kSeeThroughFontPath = "data\\fonts\\scanview.fnt";  // MAPTrans
inline constexpr const char* kBlipFontPath = "data\\fonts\\blips.fnt";           // MAPShips
inline constexpr const char* kTitleFontPath = "data\\fonts\\title.fnt";          // menus, flags 6

// The text font's glyphs, one sheet: each glyph's ink (not 0) on a cell of kTextCellWidth x
// kTextCellHeight, background 0, for the characters of text_font_characters() in that order.
constexpr int kTextCellWidth = 8;
constexpr int kTextCellHeight = 10;
// Every character the text font draws (ISO-8859-1 bytes), besides the space, no-break space and
// soft hyphen.
std::string text_font_characters();
Canvas text_glyph(unsigned char code);

// The status panel (320 x 27) and the scanner (320 x 52) pictures.
Canvas panel_picture();
Canvas scanner_picture();

// Writes every font file and picture under dataDir / "fonts". Throws std::runtime_error.
void write_fonts(const std::filesystem::path& dataDir);
