#include "app/texts.h"

#include <cstdio>

#include "app/credits.h"
#include "app/messages.h"
#include "app/screens.h"
#include "app/startup.h"
#include "engine/core/keyfile.h"

namespace {

char languageAbbreviation[16] = "EN";

// The file that TEXTS.TXT names under section for pattern and the current language, or "".
bool NamedFile(const char* section, const char* pattern, char* file, int size) {
  char key[64];
  std::snprintf(key, sizeof key, pattern, CurrentLanguageAbbreviation());
  return zr_io_get_string(section, key, file, size, TEXTS_FILE) > 0;
}

}  // namespace

const char* CurrentLanguageAbbreviation() {
  return languageAbbreviation;
}

void SetCurrentLanguageAbbreviation(const char* abbreviation) {
  std::snprintf(languageAbbreviation, sizeof languageAbbreviation, "%s",
                abbreviation ? abbreviation : "");
}

void ReloadTexts() {
  char file[261];
  if (NamedFile("Messages", "Messages_%s", file, sizeof file)) {
    FreeMessageTable();
    ReloadMessageTable(file);
  }
  if (NamedFile("Menus", "Menu_%s", file, sizeof file)) ReloadGameMenus(file);
  if (NamedFile("Messages", "Credits_%s", file, sizeof file)) LoadCredits(file);
}

void ReloadMessageTable(const char* file) {
  FreeMessages(messageTable);
  messageTable = LoadMessages(file);
}

void FreeMessageTable() {
  FreeLanguageMessages();
}

void DrawTextMessage(int n) {
  DrawMessage(messageTable, n);
}
