// The language list (LNGFile): the languages the program's texts and window menus exist in, the
// current one, and the [Application] Language key of the settings file that remembers it.
#pragma once
#include <cstdint>

constexpr int32_t ZR_LANG_TEXT_MAX = 255;
// Keys are numbered with two digits (Included_01 ... Included_99).
constexpr int32_t ZR_LANG_MAX = 99;

struct ZR_LANGUAGE {
  char* name;          // shown in the Language menu
  char* abbreviation;  // "EN": names the per-language sections (Messages_EN, Splash_EN ...)
  char* fullscreen;    // the Display menu's label offered in window mode
  char* window;        // the Display menu's label offered in full screen
  int32_t number;      // the language's number (1 English ... 6 Portuguese)
  int32_t characters;
};

struct ZR_LANGUAGES {
  int32_t count;          // slots, one per NbLanguages
  int32_t current;        // 0-based slot of the current language, -1 when no slot is filled
  int32_t multi;          // MultiLanguages: the player may switch
  ZR_LANGUAGE** entries;  // count slots, null where a language is left out
};

// Reads the list from path (a keyed text file). Null when [Languages] NbLanguages is missing or
// memory runs out. Every allocation is tracked.
ZR_LANGUAGES* zr_lang_load(const char* path);
// Makes the language with that Number current: 1, or 0 when the list has none.
int zr_lang_select(ZR_LANGUAGES* list, int32_t number);
// With the multi-language flag set, writes [Application] Language = the current Number to the
// settings file.
void zr_lang_save(const ZR_LANGUAGES* list);
void zr_lang_free(ZR_LANGUAGES* list);

// The current entry, or null.
const ZR_LANGUAGE* zr_lang_current(const ZR_LANGUAGES* list);
// The slot's entry, or null (outside the list or left out).
const ZR_LANGUAGE* zr_lang_entry(const ZR_LANGUAGES* list, int32_t slot);
