// The game's texts as the program reads them: DATA\TEXTS.TXT and the per-language files that it
// names (messages, menus, credits, about box, splash), the language list, the high-score table and
// the help pages. Values are read through the keyed-text reader, from the content folder and, when
// it has been built, from the game folder's archive. Every lookup is also checked to land on the
// intended header and key line, since the reader takes the first line that merely begins with the
// name ([Sound] answers for Sou, Line_01_02 for Line_01).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <ostream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "core_services.h"
#include "engine/core/fileio.h"
#include "engine/core/keyfile.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kTexts = "DATA\\TEXTS.TXT";
constexpr const char* kLanguages[] = {"EN", "FR", "ES", "DE", "IT", "PT"};
constexpr int kMessageCount = 18;
constexpr int kMenuCount = 7;

// What a menu line is, as the menu reader sees it.
struct MenuLine {
  int type = 0, value = 0, notif = 0, options = 1, font = 0;
  std::vector<std::string> texts;
  int kind() const { return type & 0xF; }
  bool restable() const { return (type & (4 | 8)) != 0; }
  bool asks_value() const { return (type & (2 | 8)) != 0; }  // the game fills in its text
};

struct Menu {
  int x = 0, y = 0, w = 0, h = 0, space = 0, escape = 1, defaultLine = 0;
  std::vector<MenuLine> lines;
  const MenuLine* with_value(int value) const {
    for (const MenuLine& line : lines)
      if (line.kind() != 1 && line.value == value) return &line;
    return nullptr;
  }
};

// Menu lines that the game's screens act on, by menu: value, kind, number of texts, events needed.
struct RequiredLine {
  int menu, value, kind, options, events;
};
constexpr int kSelect = 2, kSides = 0x10 | 0x20, kUpDown = 4 | 8;
constexpr RequiredLine kRequiredLines[] = {
    {0, 1001, 8, 2, kSelect},  // variant 0 during a game, 1 while the attract sequence plays
    {0, 1002, 4, 1, kSelect},
    {0, 1003, 4, 1, kSelect},
    {0, 1004, 4, 1, kSelect},
    {0, 1005, 4, 1, kSelect},
    {0, 1006, 4, 1, kSelect},
    {0, 4001, 4, 1, kSelect},
    {1, 2001, 8, 2, kSelect},  // variant 0 on, 1 off
    {1, 2002, 8, 2, kSelect},
    {1, 2003, 8, 2, kSelect},
    {1, 2004, 4, 1, kSelect},
    {2, 3003, 8, 2, kSelect},  // variant 0 full screen, 1 window
    {2, 3004, 4, 1, kSelect},
    {2, 3005, 4, 1, kSelect},
    {2, 3006, 4, 1, kSelect},
    {3, 3001, 8, 4, kSelect | kSides},  // bar, volume 0, off, no device
    {3, 3002, 8, 4, kSelect | kSides},
    {3, 3006, 4, 1, kSelect},
    {4, 5001, 2, 1, 0},
    {4, 5002, 2, 1, 0},
    {4, 5003, 2, 1, 0},
    {4, 5004, 2, 1, 0},
    {4, 5005, 2, 1, 0},
    {4, 5006, 4, 1, kSelect},
    {5, 7001, 4, 1, kSelect},
    {5, 7002, 4, 1, kSelect},
    {6, 8001, 8, 1, kSelect | kUpDown | kSides},
};
// Values that lead back to the main menu, or finish the name entry: what Escape may send.
constexpr int kEscapeValues[] = {1, 2004, 3006, 4002, 5006, 6005, 7002, 8001};

std::string format_key(const char* pattern, int n) {
  char key[64];
  std::snprintf(key, sizeof key, pattern, n);
  return key;
}

std::string format_key(const char* pattern, int n, int m) {
  char key[64];
  std::snprintf(key, sizeof key, pattern, n, m);
  return key;
}

// The printf conversions of a text, in order ("%d", "%s"...), without "%%".
std::vector<std::string> conversions(const std::string& text) {
  std::vector<std::string> found;
  static const std::regex spec("%(%|[-+ #0]*[0-9]*(\\.[0-9]+)?[hlLqjzt]*[diouxXeEfgGcsp])");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), spec); it != std::sregex_iterator();
       ++it)
    if ((*it)[0] != "%%") found.push_back((*it)[0]);
  return found;
}

// A message or menu rectangle: 1 and more are percentages of 320 x 200, 0 and less pixels.
bool parse_rect(const std::string& text, int r[4]) {
  int v[4];
  if (std::sscanf(text.c_str(), "%d,%d,%d,%d", &v[0], &v[1], &v[2], &v[3]) != 4) return false;
  for (int i = 0; i < 4; ++i) r[i] = v[i] >= 1 ? v[i] * (i % 2 == 0 ? 320 : 200) / 100 : -v[i];
  return true;
}

bool inside_screen(const int r[4]) {
  return r[0] >= 0 && r[1] >= 0 && r[2] > 0 && r[3] > 0 && r[0] + r[2] <= 320 && r[1] + r[3] <= 200;
}

std::vector<uint8_t> read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string latin1_text(const fs::path& path) {
  const auto bytes = read_file(path);
  return std::string(bytes.begin(), bytes.end());
}

fs::path content_dir() {
  return fs::path(ZR_SOURCE_DIR) / "content";
}

enum class Source { Content, Archive };

void PrintTo(Source source, std::ostream* out) {
  *out << (source == Source::Content ? "content folder" : "archive");
}

class Texts : public ::testing::TestWithParam<Source> {
 protected:
  void SetUp() override {
    const bool archive = GetParam() == Source::Archive;
    const fs::path dir = archive ? fs::path(ZR_GAME_DIR) : content_dir();
    if (archive && !fs::exists(dir / "VELDRAN.DAT"))
      GTEST_SKIP() << "no archive in " << dir << " (built by the zr_content target)";
    old_ = fs::current_path();
    fs::current_path(dir);
    const char* archiveName = archive ? "VELDRAN.DAT" : "";
    ASSERT_EQ(zrtest::start_core_services(&switch_, &config_, {.archiveName = archiveName}), 1);
    started_ = true;
  }
  void TearDown() override {
    if (!started_) return;
    zrtest::stop_core_services(zrtest::CoreOrder::MemoryFirst, /*checkBlocks=*/false);
    fs::current_path(old_);
  }

  // The lines of a file as the reader sees them (pieces of at most 254 characters).
  std::vector<std::string> lines_of(const std::string& file) {
    std::vector<std::string> lines;
    ZR_FILE* in = zr_io_fopen(file.c_str(), "rb");
    if (in == nullptr) return lines;
    char line[ZR_KEYFILE_LINE_MAX + 1];
    while (zr_io_fgets(line, sizeof line, in) != nullptr) lines.push_back(line);
    zr_io_fclose(in);
    return lines;
  }

  // Whether the reader's first matching header and key line are "[section]" and "key=".
  void expect_exact_match(const std::string& file, const std::string& section,
                          const std::string& key) {
    const std::vector<std::string>& lines = cached_lines(file);
    size_t i = 0;
    while (i < lines.size() &&
           !(lines[i][0] == '[' && lines[i].compare(1, section.size(), section) == 0))
      ++i;
    if (i == lines.size()) return;  // missing: the caller's own check reports it
    EXPECT_EQ(lines[i].substr(0, section.size() + 2), "[" + section + "]")
        << file << ": section " << section << " is found at the header " << lines[i];
    for (++i; i < lines.size() && (lines[i].empty() || lines[i][0] != '['); ++i)
      if (lines[i].compare(0, key.size(), key) == 0) {
        EXPECT_EQ(lines[i].substr(0, key.size() + 1), key + "=")
            << file << " [" << section << "]: key " << key << " is found at the line " << lines[i];
        return;
      }
  }

  // A value through the keyed-text reader; empty when missing.
  std::string value(const std::string& file, const std::string& section, const std::string& key,
                    int size = 256) {
    std::vector<char> buffer(size);
    zr_io_get_string(section.c_str(), key.c_str(), buffer.data(), size, file.c_str());
    expect_exact_match(file, section, key);
    return buffer.data();
  }

  // An integer value; fails the test when the key is missing.
  int number(const std::string& file, const std::string& section, const std::string& key) {
    int32_t n = 0;
    EXPECT_GT(zr_io_get_int(section.c_str(), key.c_str(), &n, file.c_str()), 0)
        << file << " [" << section << "] " << key;
    expect_exact_match(file, section, key);
    return n;
  }

  std::string required(const std::string& file, const std::string& section, const std::string& key,
                       size_t maxLength = 255) {
    std::string v = value(file, section, key);
    EXPECT_FALSE(v.empty()) << file << " [" << section << "] " << key << " is missing";
    EXPECT_LE(v.size(), maxLength) << file << " [" << section << "] " << key << "=" << v;
    return v;
  }

  // The file of a language: the "Messages_%s", "Credits_%s" and "Menu_%s" keys of TEXTS.TXT.
  std::string language_file(const char* section, const char* pattern, const char* language) {
    char key[32];
    std::snprintf(key, sizeof key, pattern, language);
    std::string file = required(kTexts, section, key, 260);
    EXPECT_TRUE(zr_io_exists(file.c_str(), ZR_IO_ARCHIVE | ZR_IO_DISK)) << file;
    return file;
  }

  Menu read_menu(const std::string& file, int menuNumber) {
    Menu menu;
    const std::string section = format_key("Menu_%d", menuNumber);
    const int count = this->number(file, section, "NbLines");
    int rect[4] = {};
    EXPECT_TRUE(parse_rect(required(file, section, "Position"), rect)) << file << " " << section;
    menu.x = rect[0], menu.y = rect[1], menu.w = rect[2], menu.h = rect[3];
    menu.space = this->number(file, section, "Space");
    this->number(file, section, "Timeout");
    // The frame loop sends a held key's event on every frame: a shorter delay would make one
    // ordinary key press act twice (Escape would open and close the menu again).
    EXPECT_GE(this->number(file, section, "Delay"), 200) << file << " " << section;
    menu.defaultLine = this->number(file, section, "Default");
    menu.escape = this->number(file, section, "Escape");
    for (int n = 1; n <= count; ++n) {
      MenuLine line;
      line.type = this->number(file, section, format_key("Type_%02d", n));
      line.font = this->number(file, section, format_key("Font_%02d", n));
      this->number(file, section, format_key("Align_%02d", n));
      if (line.kind() != 1) {
        line.value = this->number(file, section, format_key("Value_%02d", n));
        line.notif = value(file, section, format_key("Notif_%02d", n)).empty()
                         ? -1
                         : this->number(file, section, format_key("Notif_%02d", n));
      }
      if (line.kind() == 8) {
        line.options = this->number(file, section, format_key("NbOptions_%02d", n));
        for (int m = 1; m <= line.options; ++m)
          line.texts.push_back(required(file, section, format_key("Line_%02d_%02d", n, m)));
      } else {
        line.texts.push_back(required(file, section, format_key("Line_%02d", n)));
      }
      menu.lines.push_back(line);
    }
    return menu;
  }

  // The languages of the language list, by abbreviation, in list order.
  std::vector<std::string> listed_languages() {
    const std::string list = required(kTexts, "Application", "LNGFile", 55);
    std::vector<std::string> found;
    const int count = number(list, "Languages", "NbLanguages");
    for (int n = 1; n <= count; ++n) {
      const std::string section = value(list, "Languages", format_key("Language_%02d", n));
      found.push_back(value(list, section, "Abbreviation"));
    }
    return found;
  }

 private:
  const std::vector<std::string>& cached_lines(const std::string& file) {
    auto it = lines_.find(file);
    if (it == lines_.end()) it = lines_.emplace(file, lines_of(file)).first;
    return it->second;
  }

  std::map<std::string, std::vector<std::string>> lines_;
  int32_t switch_ = 0;
  ZR_IO_CONFIG config_{};
  fs::path old_;
  bool started_ = false;
};

TEST_P(Texts, ApplicationNamesEveryTextFileAndTheyExist) {
  required(kTexts, "Application", "Title", 30);
  required(kTexts, "Application", "Version", 80);
  const std::string splash = required(kTexts, "Application", "StartSplash", 30);
  const std::string list = required(kTexts, "Application", "LNGFile", 55);
  const std::string scores = required(kTexts, "Application", "SCRFile", 55);
  const std::string help = required(kTexts, "Application", "HLPFile", 55);
  EXPECT_TRUE(zr_io_exists(list.c_str(), ZR_IO_ARCHIVE | ZR_IO_DISK)) << list;
  EXPECT_TRUE(zr_io_exists(scores.c_str(), ZR_IO_ARCHIVE | ZR_IO_DISK)) << scores;
  // The help is a page per language: the pattern takes the abbreviation, and names a web page.
  EXPECT_EQ(conversions(help), std::vector<std::string>{"%s"}) << help;
  EXPECT_NE(help.find(".htm"), std::string::npos) << help;

  for (const char* language : kLanguages) {
    SCOPED_TRACE(language);
    language_file("Messages", "Messages_%s", language);
    language_file("Messages", "Credits_%s", language);
    language_file("Menus", "Menu_%s", language);
    char page[64];
    std::snprintf(page, sizeof page, help.c_str(), language);
    EXPECT_TRUE(zr_io_exists(page, ZR_IO_ARCHIVE | ZR_IO_DISK)) << page;

    const std::string about = std::string("AboutBox_") + language;
    for (const char* key : {"Title", "Memory", "Copyright1", "Copyright2", "Reserved", "License"})
      required(kTexts, about, key, 80);

    const std::string section = splash + "_" + language;
    const std::string bitmap = required(kTexts, section, "Bitmap", 255);
    // The picture is drawn by the content generator: only the built archive holds it.
    if (GetParam() == Source::Archive) {
      EXPECT_TRUE(zr_io_exists(bitmap.c_str(), ZR_IO_ARCHIVE)) << bitmap;
    }
    required(kTexts, section, "Text", 80);
    EXPECT_GE(number(kTexts, section, "PosX"), 0);
    EXPECT_GE(number(kTexts, section, "PosY"), 0);
    for (const char* key : {"ColorR", "ColorG", "ColorB"}) {
      const int c = number(kTexts, section, key);
      EXPECT_TRUE(c >= 0 && c <= 255) << section << " " << key << "=" << c;
    }
  }
}

TEST_P(Texts, LanguageListHasTheSixLanguagesInOrder) {
  const std::string list = required(kTexts, "Application", "LNGFile", 55);
  ASSERT_EQ(number(list, "Languages", "NbLanguages"), 6);
  EXPECT_EQ(number(list, "Languages", "MultiLanguages"), 1);
  const int defaultLanguage = number(list, "Languages", "Default");
  EXPECT_TRUE(defaultLanguage >= 1 && defaultLanguage <= 6) << defaultLanguage;
  std::set<std::string> sections;
  for (int n = 1; n <= 6; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(number(list, "Languages", format_key("Included_%02d", n)), 1);
    const std::string section = required(list, "Languages", format_key("Language_%02d", n));
    EXPECT_TRUE(sections.insert(section).second) << section << " named twice";
    required(list, section, "Name");
    EXPECT_EQ(value(list, section, "Abbreviation"), kLanguages[n - 1]);
    // Window-menu labels of the full-screen entry, with their access key.
    EXPECT_NE(required(list, section, "Fullscreen").find('&'), std::string::npos);
    EXPECT_NE(required(list, section, "Window").find('&'), std::string::npos);
    EXPECT_EQ(number(list, section, "Number"), n);
    EXPECT_EQ(number(list, section, "Characters"), 1);
  }
}

TEST_P(Texts, EveryLanguageHasTheEighteenMessagesOnTheScreen) {
  for (const char* language : kLanguages) {
    SCOPED_TRACE(language);
    const std::string file = language_file("Messages", "Messages_%s", language);
    ASSERT_EQ(number(file, "Messages", "NbMessages"), kMessageCount);
    std::set<std::string> sections;
    for (int n = 1; n <= kMessageCount; ++n) {
      SCOPED_TRACE("message " + std::to_string(n));
      const std::string section = required(file, "Messages", format_key("Message_%02d", n));
      EXPECT_TRUE(sections.insert(section).second) << section << " named twice";
      const std::string text = required(file, section, "Text", 255);
      EXPECT_EQ(text.find('%'), std::string::npos) << text;
      // Messages 17 and 18 are drawn from their format with the level and the lives; the
      // others have the single space that means "no format".
      const std::string format = value(file, section, "Format");
      if (n == 17 || n == 18)
        EXPECT_EQ(conversions(format), std::vector<std::string>{"%d"}) << format;
      else
        EXPECT_EQ(format, " ");
      int rect[4];
      ASSERT_TRUE(parse_rect(required(file, section, "Rect"), rect));
      EXPECT_TRUE(inside_screen(rect))
          << rect[0] << "," << rect[1] << "," << rect[2] << "," << rect[3];
      const int font = number(file, section, "Font");
      EXPECT_TRUE(font == 1 || font == 2) << font;
    }
  }
}

// Every text used as a format has the conversions of the English one, in the same order.
TEST_P(Texts, FormatsHaveTheSameConversionsInEveryLanguage) {
  auto formats = [&](const char* language) {
    std::vector<std::string> found;
    const std::string file = language_file("Messages", "Messages_%s", language);
    for (int n = 1; n <= kMessageCount; ++n) {
      const std::string section = value(file, "Messages", format_key("Message_%02d", n));
      found.push_back(value(file, section, "Format"));
    }
    const std::string about = std::string("AboutBox_") + language;
    found.push_back(value(kTexts, about, "Title"));
    found.push_back(value(kTexts, about, "Memory"));
    return found;
  };
  const std::vector<std::string> english = formats("EN");
  EXPECT_EQ(conversions(english[kMessageCount]), std::vector<std::string>{"%s"});
  EXPECT_EQ(conversions(english[kMessageCount + 1]), std::vector<std::string>{"%d"});
  for (const char* language : kLanguages) {
    const std::vector<std::string> own = formats(language);
    ASSERT_EQ(own.size(), english.size());
    for (size_t i = 0; i < own.size(); ++i)
      EXPECT_EQ(conversions(own[i]), conversions(english[i]))
          << language << ": \"" << own[i] << "\" against \"" << english[i] << "\"";
  }
}

TEST_P(Texts, MenusHoldTheSevenScreensWithTheirOptions) {
  const std::string scores = required(kTexts, "Application", "SCRFile", 55);
  const int nameWidth = number(scores, "High-Scores", "MaxSizeName");
  const int scoreWidth = number(scores, "High-Scores", "MaxSizeScore");
  std::vector<std::vector<int>> englishShape;
  for (const char* language : kLanguages) {
    SCOPED_TRACE(language);
    const std::string file = language_file("Menus", "Menu_%s", language);
    std::vector<std::vector<int>> shape;
    std::vector<Menu> menus;
    for (int k = 0; k < kMenuCount; ++k) {
      SCOPED_TRACE("menu " + std::to_string(k));
      Menu menu = read_menu(file, k);
      const int n = static_cast<int>(menu.lines.size());
      ASSERT_GT(n, 0);
      // The layout: lines of at least one pixel, the whole menu on the screen.
      const int rect[4] = {menu.x, menu.y, menu.w, menu.h};
      EXPECT_TRUE(inside_screen(rect));
      EXPECT_GE((menu.h - menu.space * (n - 1)) / n, 8) << "line height";
      // The current line must have somewhere to rest, and opens on the default line.
      ASSERT_TRUE(menu.defaultLine >= 1 && menu.defaultLine <= n);
      EXPECT_TRUE(menu.lines[menu.defaultLine - 1].restable());
      EXPECT_NE(std::find(std::begin(kEscapeValues), std::end(kEscapeValues), menu.escape),
                std::end(kEscapeValues))
          << "Escape=" << menu.escape;
      for (const MenuLine& line : menu.lines) {
        EXPECT_TRUE(line.kind() == 1 || line.kind() == 2 || line.kind() == 4 || line.kind() == 8)
            << line.type;
        EXPECT_EQ(static_cast<int>(line.texts.size()), line.options);
        // The text font proportional (1) or fixed (2); titles may take the title font (3).
        EXPECT_TRUE(line.font == 1 || line.font == 2 || (line.font == 3 && line.kind() == 1))
            << "Font=" << line.font;
        if (line.kind() != 1) {
          EXPECT_GE(line.notif, 0) << "value " << line.value;
        }
        shape.push_back({k, line.type, line.value, line.notif, line.options, line.font});
      }
      menus.push_back(menu);
    }
    for (const RequiredLine& want : kRequiredLines) {
      SCOPED_TRACE("menu " + std::to_string(want.menu) + ", value " + std::to_string(want.value));
      const MenuLine* line = menus[want.menu].with_value(want.value);
      ASSERT_NE(line, nullptr);
      EXPECT_EQ(line->kind(), want.kind);
      EXPECT_EQ(line->options, want.options);
      EXPECT_EQ(line->notif & want.events, want.events) << "Notif=" << line->notif;
    }
    // The volume bars: the game puts one '*' among the '-' after the label's last space.
    for (int id : {3001, 3002}) {
      const std::string bar = menus[3].with_value(id)->texts[0];
      const std::string marks = bar.substr(bar.find_last_of(" .") + 1);
      EXPECT_EQ(marks, "----------") << bar;
    }
    // The table lines and the name are rewritten in place by the game: room for the longest.
    for (int id = 5001; id <= 5005; ++id) {
      const MenuLine* line = menus[4].with_value(id);
      EXPECT_TRUE(line->asks_value());
      EXPECT_GE(static_cast<int>(line->texts[0].size()), 1 + 1 + nameWidth + 1 + scoreWidth);
    }
    EXPECT_GE(static_cast<int>(menus[6].with_value(8001)->texts[0].size()), nameWidth);
    EXPECT_EQ(menus[6].escape, 8001) << "Escape and the time-out must finish the name entry";
    // Every language has the English menus' shape: the same lines, kinds and values.
    if (englishShape.empty())
      englishShape = shape;
    else
      EXPECT_EQ(shape, englishShape);
  }
}

TEST_P(Texts, CreditsFitTheCreditsLine) {
  for (const char* language : kLanguages) {
    SCOPED_TRACE(language);
    const std::string file = language_file("Messages", "Credits_%s", language);
    const int count = number(file, "Credits", "NoLines");
    EXPECT_TRUE(count >= 1 && count <= 100) << count;
    for (int n = 0; n < count; ++n) {
      const std::string line = required(file, "Credits", format_key("Line_%02d", n), 79);
      EXPECT_EQ(line.find('%'), std::string::npos) << line;
    }
  }
}

TEST_P(Texts, HighScoreTableReadsBackInDescendingOrder) {
  const std::string file = required(kTexts, "Application", "SCRFile", 55);
  const int count = number(file, "High-Scores", "NbScores");
  const int nameWidth = number(file, "High-Scores", "MaxSizeName");
  const int scoreWidth = number(file, "High-Scores", "MaxSizeScore");
  EXPECT_GE(count, 10);
  EXPECT_GT(nameWidth, 0);
  EXPECT_GE(scoreWidth, 5) << "scores run up to 65535";
  auto name_characters = [](const std::string& name) {
    return std::all_of(name.begin(), name.end(), [](char c) { return c >= ' ' && c <= 'Z'; });
  };
  const std::string defaultName = value(file, "High-Scores", "DefaultName");
  EXPECT_EQ(static_cast<int>(defaultName.size()), nameWidth) << '"' << defaultName << '"';
  EXPECT_TRUE(name_characters(defaultName)) << defaultName;
  int previous = 65535;
  for (int n = 1; n <= count; ++n) {
    SCOPED_TRACE(n);
    const std::string name = required(file, "High-Scores", format_key("Name_%02d", n));
    const std::string scoreText = required(file, "High-Scores", format_key("Score_%02d", n));
    const int score = std::atoi(scoreText.c_str());
    // The name entry edits the name's positions in place, and saving writes "%8s" and "%6d":
    // values of exactly those widths keep their length, which the archive's in-place rewrite
    // needs.
    EXPECT_EQ(static_cast<int>(name.size()), nameWidth) << '"' << name << '"';
    EXPECT_TRUE(name_characters(name)) << name;
    char saved[32];
    std::snprintf(saved, sizeof saved, "%*d", scoreWidth, score);
    EXPECT_EQ(scoreText, saved);
    EXPECT_GT(score, 0);
    EXPECT_LE(score, previous) << "out of order";
    previous = score;
  }
}

INSTANTIATE_TEST_SUITE_P(ContentAndArchive, Texts,
                         ::testing::Values(Source::Content, Source::Archive), [](const auto& info) {
                           return info.param == Source::Content ? "Content" : "Archive";
                         });

// The hand-written files as bytes: ISO-8859-1 that the fonts can draw (no C1 codes, no UTF-8),
// no control characters but the line ends and tabs, CR LF line ends, and keyed-text lines that
// the reader takes whole.
TEST(TextFiles, AreIso88591WithCrLfLineEnds) {
  int checked = 0;
  for (const auto& entry : fs::recursive_directory_iterator(content_dir())) {
    if (!entry.is_regular_file() || entry.path().filename() == "CMakeLists.txt") continue;
    const std::string name = fs::relative(entry.path(), content_dir()).string();
    const std::vector<uint8_t> bytes = read_file(entry.path());
    const bool keyed = entry.path().extension() == ".TXT";
    size_t lineStart = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
      const uint8_t b = bytes[i];
      const bool allowed =
          b == '\t' || b == '\r' || b == '\n' || (b >= 0x20 && b <= 0x7E) || b >= 0xA0;
      ASSERT_TRUE(allowed) << name << ": byte " << int(b) << " at " << i;
      // An accented letter in UTF-8 is a capital A with tilde and a symbol in ISO-8859-1.
      if ((b == 0xC2 || b == 0xC3) && i + 1 < bytes.size()) {
        ASSERT_FALSE(bytes[i + 1] >= 0x80 && bytes[i + 1] <= 0xBF) << name << ": UTF-8 at " << i;
      }
      if (b == '\n') {
        ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << name << ": bare LF at " << i;
        if (keyed) {
          EXPECT_LE(i - 1 - lineStart, 254u) << name << ": line too long at " << i;
        }
        lineStart = i + 1;
      } else if (b == '\r') {
        ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << name << ": bare CR at " << i;
      }
    }
    ASSERT_FALSE(bytes.empty()) << name;
    EXPECT_EQ(bytes.back(), '\n') << name << " does not end with a line end";
    ++checked;
  }
  EXPECT_GE(checked, 27);  // TEXTS.TXT, the language list, the table, 3 files and a page a language
}

// The help pages, one per language, each declaring its character set and language, linking to
// the five others, with working in-page links, the same sections, and the same figures in the
// scoring section.
TEST(HelpPages, ExistPerLanguageAndLinkToEachOther) {
  const fs::path dir = content_dir() / "help";
  std::map<std::string, std::set<std::string>> sectionsOf;
  std::map<std::string, std::multiset<std::string>> figuresOf;
  for (const char* language : kLanguages) {
    SCOPED_TRACE(language);
    const std::string file = std::string("help_") + language + ".htm";
    ASSERT_TRUE(fs::exists(dir / file)) << file;
    const std::string page = latin1_text(dir / file);
    std::string lower(language);
    std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
    EXPECT_NE(page.find("<meta charset=\"iso-8859-1\">"), std::string::npos);
    EXPECT_NE(page.find("<html lang=\"" + lower + "\">"), std::string::npos);

    std::set<std::string> pages, anchors, ids;
    static const std::regex href("href=\"([^\"]*)\"");
    for (auto it = std::sregex_iterator(page.begin(), page.end(), href);
         it != std::sregex_iterator(); ++it) {
      const std::string target = (*it)[1];
      if (target[0] == '#')
        anchors.insert(target.substr(1));
      else
        pages.insert(target);
    }
    static const std::regex id("id=\"([^\"]*)\"");
    for (auto it = std::sregex_iterator(page.begin(), page.end(), id); it != std::sregex_iterator();
         ++it)
      ids.insert((*it)[1]);

    std::set<std::string> others;
    for (const char* other : kLanguages)
      if (std::strcmp(other, language) != 0) others.insert(std::string("help_") + other + ".htm");
    EXPECT_EQ(pages, others);
    for (const std::string& anchor : anchors)
      EXPECT_TRUE(ids.count(anchor)) << "#" << anchor << " leads nowhere";
    sectionsOf[language] = ids;

    // The figures of the scoring section, thousands separators removed.
    const size_t scoring = page.find("id=\"scoring\"");
    ASSERT_NE(scoring, std::string::npos);
    std::string text = page.substr(scoring);
    text = std::regex_replace(text, std::regex("&nbsp;"), " ");
    text = std::regex_replace(text, std::regex("([0-9])[ .,]([0-9]{3})(?![0-9])"), "$1$2");
    static const std::regex figure("[0-9]+");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), figure);
         it != std::sregex_iterator(); ++it)
      figuresOf[language].insert((*it)[0]);
  }
  for (const char* scoreValue : {"1", "50", "75", "200", "3000", "10000", "40000"})
    EXPECT_TRUE(figuresOf["EN"].count(scoreValue)) << scoreValue;
  for (const char* language : kLanguages) {
    EXPECT_EQ(sectionsOf[language], sectionsOf["EN"]) << language;
    EXPECT_EQ(figuresOf[language], figuresOf["EN"]) << language;
  }
}

}  // namespace
