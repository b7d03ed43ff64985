#include "app/texts.h"

#include <cstdio>
#include <cstring>

#include "app/app_state.h"
#include "app/credits.h"
#include "app/messages.h"
#include "app/screens.h"
#include "app/startup.h"
#include "engine/core/keyfile.h"
#include "engine/display/language.h"

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
  // The language list's current language; English while there is none.
  const ZR_LANGUAGE* current = zr_lang_current(languages);
  if (current && current->abbreviation && current->abbreviation[0]) return current->abbreviation;
  return languageAbbreviation;
}

void SetCurrentLanguageAbbreviation(const char* abbreviation) {
  std::snprintf(languageAbbreviation, sizeof languageAbbreviation, "%s",
                abbreviation ? abbreviation : "");
  // With a language list, its language of that abbreviation becomes the current one.
  for (int32_t slot = 0; languages && slot < languages->count; ++slot) {
    const ZR_LANGUAGE* language = zr_lang_entry(languages, slot);
    if (language && std::strcmp(language->abbreviation, languageAbbreviation) == 0) {
      zr_lang_select(languages, language->number);
      break;
    }
  }
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
