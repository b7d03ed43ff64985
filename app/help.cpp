#include "app/help.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "app/app_state.h"
#include "app/startup.h"
#include "app/texts.h"
#include "engine/core/fileio.h"
#include "engine/core/keyfile.h"
#include "engine/core/memory.h"
#include "engine/platform/dialog.h"
#include "engine/platform/message_box.h"

namespace fs = std::filesystem;

namespace {

bool ReadData(const std::string& name, std::vector<char>* bytes) {
  ZR_FILE* in = zr_io_fopen(name.c_str(), "rb");
  if (in == nullptr) return false;
  char buffer[4096];
  size_t got = 0;
  while ((got = zr_io_fread(buffer, 1, sizeof buffer, in)) > 0)
    bytes->insert(bytes->end(), buffer, buffer + got);
  zr_io_fclose(in);
  return true;
}

// The bare file name of a data path ('\' or '/' separated).
std::string BareName(const std::string& name) {
  size_t cut = name.find_last_of("\\/");
  return cut == std::string::npos ? name : name.substr(cut + 1);
}

bool CopyOut(const std::string& name, const fs::path& to) {
  std::vector<char> bytes;
  if (!ReadData(name, &bytes)) return false;
  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  return bool(out);
}

}  // namespace

std::string FillFormat(const char* format, char conversion, const std::string& value) {
  std::string out;
  if (format == nullptr) return out;
  bool filled = false;
  for (const char* p = format; *p; ++p) {
    if (p[0] == '%' && p[1] == '%') {
      out += '%';
      ++p;
    } else if (p[0] == '%' && p[1] == conversion && !filled) {
      out += value;
      filled = true;
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

std::string Latin1ToUtf8(const char* text) {
  std::string out;
  if (text == nullptr) return out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
    if (*p < 0x80) {
      out += char(*p);
    } else {
      out += char(0xC0 | (*p >> 6));
      out += char(0x80 | (*p & 0x3F));
    }
  }
  return out;
}

std::string HelpPageName(const char* hlpFile, const char* abbreviation) {
  return FillFormat(hlpFile, 's', abbreviation ? abbreviation : "");
}

std::string HelpCacheFolder() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  const char* home = std::getenv("HOME");
  fs::path base;
  if (cache && cache[0] == '/') {
    base = cache;
  } else if (home && home[0] == '/') {
    base = fs::path(home) / ".cache";
  } else {
    std::error_code ec;
    base = fs::temp_directory_path(ec);
  }
  return (base / "zrsentry" / "help").string();
}

std::string CopyHelpPages(const char* hlpFile, const char* abbreviation, const char* languageFile,
                          const std::string& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  const std::string page = HelpPageName(hlpFile, abbreviation);
  const fs::path target = fs::path(folder) / BareName(page);
  if (!CopyOut(page, target)) return "";
  // The pages link to one another by their bare names: the other languages' pages go beside it.
  int32_t count = 0;
  if (languageFile && languageFile[0])
    zr_io_get_int("Languages", "NbLanguages", &count, languageFile);
  for (int32_t n = 1; n <= count && n <= 99; ++n) {
    char key[24], section[256], other[256];
    std::snprintf(key, sizeof key, "Language_%02d", n);
    if (zr_io_get_string("Languages", key, section, sizeof section, languageFile) <= 0) continue;
    if (zr_io_get_string(section, "Abbreviation", other, sizeof other, languageFile) <= 0) continue;
    if (std::strcmp(other, abbreviation ? abbreviation : "") == 0) continue;
    const std::string sister = HelpPageName(hlpFile, other);
    CopyOut(sister, fs::path(folder) / BareName(sister));
  }
  return target.string();
}

std::string FileUrl(const std::string& path) {
  std::string url = "file://";
  for (unsigned char c : path) {
    if (std::isalnum(c) || std::strchr("/-._~", c)) {
      url += char(c);
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", c);
      url += escaped;
    }
  }
  return url;
}

int OpenHelp(int) {
  // Full screen: the display leaves it here for the browser once display modes exist.
  const std::string page = HelpPageName(hlpFile, CurrentLanguageAbbreviation());
  const std::string copied =
      CopyHelpPages(hlpFile, CurrentLanguageAbbreviation(), lngFile, HelpCacheFolder());
  if (!copied.empty() && zr_open_url(FileUrl(copied).c_str())) return 1;
  std::string message =
      "Sorry, an error occured while trying to launch your web browser to display the help file: " +
      page;
  zr_message_box(message.c_str(), nullptr, MB_OK | MB_ICONEXCLAMATION);
  return 0;
}

AboutTexts ReadAboutTexts(const char* textsFile, const char* abbreviation, int32_t memoryUsed) {
  auto read = [&](const char* section, const char* key) {
    char value[81];
    zr_io_get_string(section, key, value, sizeof value, textsFile);
    return std::string(value);
  };
  char section[64];
  std::snprintf(section, sizeof section, "AboutBox_%s", abbreviation ? abbreviation : "");
  const std::string appTitle = read("Application", "Title");
  AboutTexts texts;
  texts.caption = Latin1ToUtf8(FillFormat(read(section, "Title").c_str(), 's', appTitle).c_str());
  texts.items[0] = Latin1ToUtf8(appTitle.c_str());                        // 101
  texts.items[1] = Latin1ToUtf8(read("Application", "Version").c_str());  // 102
  texts.items[2] = Latin1ToUtf8(read(section, "License").c_str());        // 103
  texts.items[3] = Latin1ToUtf8(read(section, "Copyright1").c_str());     // 104
  texts.items[4] = Latin1ToUtf8(read(section, "Copyright2").c_str());     // 105
  texts.items[5] = Latin1ToUtf8(read(section, "Reserved").c_str());       // 106
  texts.items[6] = Latin1ToUtf8(
      FillFormat(read(section, "Memory").c_str(), 'd', std::to_string(memoryUsed)).c_str());  // 107
  return texts;
}

void ShowAboutBox() {
  AboutTexts texts = ReadAboutTexts(TEXTS_FILE, CurrentLanguageAbbreviation(), zr_mem_used());
  ZR_ABOUT_BOX box = {};
  box.caption = texts.caption.c_str();
  for (int i = 0; i < ZR_ABOUT_ITEMS; ++i) box.items[i] = texts.items[i].c_str();
  zr_about_box(&box);
}
