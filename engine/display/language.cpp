#include "engine/display/language.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "engine/core/keyfile.h"
#include "engine/core/memory.h"
#include "engine/platform/message_box.h"

namespace {

char* copy_text(const char* text) {
  const size_t length = std::strlen(text);
  auto* copy = static_cast<char*>(zr_mem_malloc(length + 1));
  if (copy) std::memcpy(copy, text, length + 1);
  return copy;
}

void free_entry(ZR_LANGUAGE* entry) {
  if (entry == nullptr) return;
  for (char* text : {entry->name, entry->abbreviation, entry->fullscreen, entry->window}) {
    if (text) zr_mem_free(text);
  }
  zr_mem_free(entry);
}

// One language's section; null when memory runs out.
ZR_LANGUAGE* read_entry(const char* section, const char* path) {
  auto* entry = static_cast<ZR_LANGUAGE*>(zr_mem_calloc(1, sizeof(ZR_LANGUAGE)));
  if (entry == nullptr) return nullptr;
  char text[ZR_LANG_TEXT_MAX + 1];
  char** fields[] = {&entry->name, &entry->abbreviation, &entry->fullscreen, &entry->window};
  const char* keys[] = {"Name", "Abbreviation", "Fullscreen", "Window"};
  for (int i = 0; i < 4; ++i) {
    text[0] = '\0';
    zr_io_get_string(section, keys[i], text, sizeof text, path);
    *fields[i] = copy_text(text);
    if (*fields[i] == nullptr) {
      free_entry(entry);
      return nullptr;
    }
  }
  entry->number = 0;
  zr_io_get_int(section, "Number", &entry->number, path);
  // The reader writes 0 for a missing key: Characters is 1 unless it is there.
  int32_t characters = 1;
  entry->characters = zr_io_get_int(section, "Characters", &characters, path) ? characters : 1;
  return entry;
}

int32_t first_present(const ZR_LANGUAGES* list) {
  for (int32_t i = 0; i < list->count; ++i) {
    if (list->entries[i]) return i;
  }
  return -1;
}

}  // namespace

ZR_LANGUAGES* zr_lang_load(const char* path) {
  if (path == nullptr || path[0] == '\0') return nullptr;
  int32_t count = 0;
  if (!zr_io_get_int("Languages", "NbLanguages", &count, path)) return nullptr;
  // Slots beyond what two-digit keys can name would never be filled.
  if (count < 0) count = 0;
  if (count > ZR_LANG_MAX) count = ZR_LANG_MAX;
  auto* list = static_cast<ZR_LANGUAGES*>(zr_mem_calloc(1, sizeof(ZR_LANGUAGES)));
  if (list == nullptr) return nullptr;
  list->count = count;
  list->current = -1;
  if (count > 0) {
    list->entries = static_cast<ZR_LANGUAGE**>(zr_mem_calloc(count, sizeof(ZR_LANGUAGE*)));
    if (list->entries == nullptr) {
      zr_mem_free(list);
      return nullptr;
    }
  }
  zr_io_get_int("Languages", "MultiLanguages", &list->multi, path);

  for (int32_t i = 0; i < count; ++i) {
    char key[32];
    int32_t included = 0;
    std::snprintf(key, sizeof key, "Included_%02d", i + 1);
    zr_io_get_int("Languages", key, &included, path);
    if (included == 0) continue;
    std::snprintf(key, sizeof key, "Language_%02d", i + 1);
    char section[ZR_LANG_TEXT_MAX + 1] = "";
    if (!zr_io_get_string("Languages", key, section, sizeof section, path)) {
      char message[ZR_LANG_TEXT_MAX + 128];
      std::snprintf(message, sizeof message, "Sorry, I can't find language %s in %s", key, path);
      zr_message_box(message, nullptr, MB_OK);
      continue;
    }
    list->entries[i] = read_entry(section, path);
    if (list->entries[i] == nullptr) {
      zr_lang_free(list);
      return nullptr;
    }
  }

  // Default names a 1-based slot; a missing or empty one means the first language present (an
  // empty slot is never current: with no language at all there is none).
  int32_t chosen = 0;
  if (zr_io_get_int("Languages", "Default", &chosen, path) && chosen >= 1 && chosen <= count &&
      list->entries[chosen - 1]) {
    list->current = chosen - 1;
  } else {
    list->current = first_present(list);
  }

  int32_t remembered = 0;
  if (list->multi && zr_io_get_int("Application", "Language", &remembered, zr_io_settings_path())) {
    zr_lang_select(list, remembered);
  }
  return list;
}

int zr_lang_select(ZR_LANGUAGES* list, int32_t number) {
  if (list == nullptr) return 0;
  for (int32_t i = 0; i < list->count; ++i) {
    if (list->entries[i] && list->entries[i]->number == number) {
      list->current = i;
      return 1;
    }
  }
  return 0;
}

void zr_lang_save(const ZR_LANGUAGES* list) {
  const ZR_LANGUAGE* current = zr_lang_current(list);
  if (current == nullptr || !list->multi) return;
  zr_io_put_int("Application", "Language", current->number, zr_io_settings_path());
}

void zr_lang_free(ZR_LANGUAGES* list) {
  if (list == nullptr) return;
  for (int32_t i = 0; i < list->count && list->entries; ++i) free_entry(list->entries[i]);
  if (list->entries) zr_mem_free(list->entries);
  zr_mem_free(list);
}

const ZR_LANGUAGE* zr_lang_current(const ZR_LANGUAGES* list) {
  return list ? zr_lang_entry(list, list->current) : nullptr;
}

const ZR_LANGUAGE* zr_lang_entry(const ZR_LANGUAGES* list, int32_t slot) {
  if (list == nullptr || list->entries == nullptr || slot < 0 || slot >= list->count)
    return nullptr;
  return list->entries[slot];
}
