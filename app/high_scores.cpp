#include "app/high_scores.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/core/fileio.h"
#include "engine/core/keyfile.h"
#include "engine/core/memory.h"
#include "engine/platform/message_box.h"

namespace {

constexpr int kNameRead = 257;  // a name key's value: 256 characters at most

// A name of exactly `width` characters: cut, or padded with spaces.
char* FixedName(const char* text, int32_t width) {
  auto* name = static_cast<char*>(zr_mem_malloc(size_t(width) + 1));
  if (name == nullptr) return nullptr;
  size_t length = std::min(std::strlen(text), size_t(width));
  std::memcpy(name, text, length);
  std::memset(name + length, ' ', size_t(width) - length);
  name[width] = '\0';
  return name;
}

void FreeEntry(HighScoreEntry* entry) {
  if (entry == nullptr) return;
  zr_mem_free(entry->name);
  zr_mem_free(entry);
}

HighScoreEntry* NewEntry(const char* name, int32_t width, int32_t score) {
  auto* entry = static_cast<HighScoreEntry*>(zr_mem_calloc(1, sizeof(HighScoreEntry)));
  if (entry == nullptr) return nullptr;
  entry->name = FixedName(name, width);
  if (entry->name == nullptr) {
    zr_mem_free(entry);
    return nullptr;
  }
  entry->score = score;
  return entry;
}

bool ReadInt(const char* section, const char* key, int32_t* value, const char* file) {
  return zr_io_get_int(section, key, value, file) > 0;
}

}  // namespace

HighScoreTable* LoadHighScores(const char* file, const char* section) {
  if (file == nullptr || section == nullptr || file[0] == '\0') return nullptr;
  if (!zr_io_exists(file, ZR_IO_ARCHIVE | ZR_IO_DISK)) return nullptr;
  int32_t count = 0, nameWidth = 0, scoreWidth = 0;
  if (!ReadInt(section, "NbScores", &count, file)) return nullptr;
  if (!ReadInt(section, "MaxSizeName", &nameWidth, file)) return nullptr;
  if (!ReadInt(section, "MaxSizeScore", &scoreWidth, file)) return nullptr;
  // Counts and widths from the file are kept within what the keys and the menu can hold.
  if (count < 1) return nullptr;
  count = std::min(count, MAX_HIGH_SCORES);
  nameWidth = std::clamp<int32_t>(nameWidth, 1, MAX_HIGH_SCORE_NAME);
  scoreWidth = std::clamp<int32_t>(scoreWidth, 1, MAX_HIGH_SCORE_WIDTH);

  auto* table = static_cast<HighScoreTable*>(zr_mem_calloc(1, sizeof(HighScoreTable)));
  if (table == nullptr) return nullptr;
  table->count = count;
  table->maxSizeName = nameWidth;
  table->maxSizeScore = scoreWidth;
  table->entries =
      static_cast<HighScoreEntry**>(zr_mem_calloc(size_t(count), sizeof(HighScoreEntry*)));
  char text[kNameRead];
  zr_io_get_string(section, "DefaultName", text, sizeof text, file);
  table->defaultName = FixedName(text, nameWidth);
  if (table->entries == nullptr || table->defaultName == nullptr) {
    FreeHighScores(table);
    return nullptr;
  }
  for (int32_t n = 1; n <= count; ++n) {
    char key[24];
    std::snprintf(key, sizeof key, "Name_%02d", n);
    if (zr_io_get_string(section, key, text, sizeof text, file) <= 0) {
      char message[ZR_PATH_MAX + 64];
      std::snprintf(message, sizeof message, "Sorry, I can't find key %s in %s", key, file);
      zr_message_box(message, nullptr, MB_OK);
      continue;
    }
    int32_t score = 0;
    std::snprintf(key, sizeof key, "Score_%02d", n);
    ReadInt(section, key, &score, file);
    table->entries[n - 1] = NewEntry(text, nameWidth, score);
  }
  return table;
}

int SaveHighScores(const HighScoreTable* table, const char* file, const char* section) {
  if (table == nullptr || file == nullptr || section == nullptr) return 0;
  if (!zr_io_exists(file, ZR_IO_ARCHIVE | ZR_IO_DISK)) return 0;
  int written = 1;
  char key[24], value[64];
  // An entry left absent at load is written as the default name with no score, so that the
  // file is whole again.
  for (int32_t n = 1; n <= table->count; ++n) {
    const HighScoreEntry* entry = table->entries[n - 1];
    std::snprintf(key, sizeof key, "Name_%02d", n);
    std::snprintf(value, sizeof value, "%*.*s", int(table->maxSizeName), int(table->maxSizeName),
                  entry ? entry->name : table->defaultName);
    written &= zr_io_put_string(section, key, value, file) ? 1 : 0;
  }
  for (int32_t n = 1; n <= table->count; ++n) {
    const HighScoreEntry* entry = table->entries[n - 1];
    std::snprintf(key, sizeof key, "Score_%02d", n);
    std::snprintf(value, sizeof value, "%*d", int(table->maxSizeScore), entry ? entry->score : 0);
    written &= zr_io_put_string(section, key, value, file) ? 1 : 0;
  }
  return written;
}

void FreeHighScores(HighScoreTable* table) {
  if (table == nullptr) return;
  if (table->entries != nullptr) {
    for (int32_t i = 0; i < table->count; ++i) FreeEntry(table->entries[i]);
    zr_mem_free(table->entries);
  }
  zr_mem_free(table->defaultName);
  zr_mem_free(table);
}

int32_t InsertHighScore(HighScoreTable* table, int32_t score) {
  if (table == nullptr || table->count < 1) return -1;
  int32_t at = -1;
  for (int32_t i = 0; i < table->count; ++i) {
    const HighScoreEntry* entry = table->entries[i];
    // An absent entry is a free place: any score enters there.
    if (entry == nullptr || entry->score <= score) {
      at = i;
      break;
    }
  }
  if (at < 0) return -1;
  const int32_t last = table->count - 1;
  HighScoreEntry* record = table->entries[last];
  if (record == nullptr) {
    record = NewEntry(table->defaultName, table->maxSizeName, score);
    if (record == nullptr) return -1;
  }
  record->score = score;
  std::memcpy(record->name, table->defaultName, size_t(table->maxSizeName) + 1);
  for (int32_t i = last; i > at; --i) table->entries[i] = table->entries[i - 1];
  table->entries[at] = record;
  return at;
}

char* FormatHighScoreLine(const HighScoreTable* table, int32_t index, char* out, int size) {
  if (out == nullptr || size <= 0) return out;
  out[0] = '\0';
  if (table == nullptr || index < 0 || index >= table->count) return out;
  const HighScoreEntry* entry = table->entries[index];
  if (entry == nullptr) return out;
  // The name's precision keeps the line at its width whatever the name holds.
  std::snprintf(out, size_t(size), "%1d %*.*s %*d", int(index + 1), int(table->maxSizeName),
                int(table->maxSizeName), entry->name, int(table->maxSizeScore), int(entry->score));
  return out;
}
