// Heap strings in tracked memory. A string's capacity for later copies is its current length.
#include "engine/core/zr_string.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "engine/core/error.h"
#include "engine/core/memory.h"

namespace {

constexpr const char* kStringMessages[] = {
    "Could not malloc space",
    "String too big",
    "Trying to destroy a null string",
    "Passed a NULL string to string function.  Shame on you.",
};
constexpr int kStringNoMemory = 0;
constexpr int kStringTooBig = 1;
constexpr int kStringDestroyNull = 2;
constexpr int kStringNull = 3;

int g_module = -1;

bool missing(const void* string) {
  if (string != nullptr) return false;
  zr_error_report(g_module, kStringNull);
  return true;
}

}  // namespace

int zr_string_init(int32_t* report_switch) {
  g_module = zr_error_add_module("String", kStringMessages, report_switch);
  return 1;
}

int zr_string_deinit() {
  return 1;
}

int zr_string_create(char** string, const char* text, int room) {
  if (missing(string)) return 0;
  if (room <= 0) {
    if (text == nullptr) {
      *string = nullptr;
      return 0;
    }
    room = static_cast<int>(std::strlen(text)) + 1;
  }
  auto* block = static_cast<char*>(zr_mem_malloc(static_cast<size_t>(room) + 1));
  if (block == nullptr) {
    *string = nullptr;
    zr_error_report(g_module, kStringNoMemory);
    return 0;
  }
  size_t length = text != nullptr ? strnlen(text, static_cast<size_t>(room)) : 0;
  std::memcpy(block, text != nullptr ? text : "", length);
  block[length] = '\0';
  *string = block;
  return 1;
}

int zr_string_destroy(char* string) {
  if (string == nullptr) {
    zr_error_report(g_module, kStringDestroyNull);
    return 0;
  }
  zr_mem_free(string);
  return 1;
}

int zr_string_set(char* string, const char* text) {
  if (missing(string) || missing(text)) return 0;
  if (std::strlen(text) > std::strlen(string)) {
    zr_error_report(g_module, kStringTooBig);
    return 0;
  }
  std::memmove(string, text, std::strlen(text) + 1);
  return 1;
}

int zr_string_length(const char* string) {
  if (missing(string)) return 0;
  return static_cast<int>(std::strlen(string));
}

int zr_string_append(char* string, const char* text) {
  if (missing(string) || missing(text)) return 0;
  // The joined text must fit the string's current length, so only an empty text can be added.
  if (std::strlen(text) > 0) {
    zr_error_report(g_module, kStringTooBig);
    return 0;
  }
  return 1;
}

int zr_string_find(const char* string, const char* text) {
  if (missing(string) || missing(text)) return -1;
  const char* found = std::strstr(string, text);
  return found != nullptr ? static_cast<int>(found - string) : -1;
}

int zr_string_upper(char* string) {
  if (missing(string)) return 0;
  for (char* c = string; *c != '\0'; ++c)
    *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
  return 1;
}

int zr_string_lower(char* string) {
  if (missing(string)) return 0;
  for (char* c = string; *c != '\0'; ++c)
    *c = static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
  return 1;
}

int zr_string_trim(char* string) {
  if (missing(string)) return 0;
  size_t length = std::strlen(string);
  while (length > 0 && string[length - 1] == ' ') --length;
  string[length] = '\0';
  size_t start = 0;
  while (string[start] == ' ') ++start;
  std::memmove(string, string + start, length - start + 1);
  return 1;
}

int zr_string_compare(const char* string, const char* text) {
  if (missing(string) || missing(text)) return 0;
  return std::strcmp(string, text);
}

int zr_string_from_number(char* buffer, short value) {
  return std::sprintf(buffer, "%hd", value);
}
int zr_string_from_number(char* buffer, unsigned short value) {
  return std::sprintf(buffer, "%hu", value);
}
int zr_string_from_number(char* buffer, int value) {
  return std::sprintf(buffer, "%d", value);
}
int zr_string_from_number(char* buffer, unsigned value) {
  return std::sprintf(buffer, "%u", value);
}
int zr_string_from_number(char* buffer, long value) {
  return std::sprintf(buffer, "%ld", value);
}
int zr_string_from_number(char* buffer, unsigned long value) {
  return std::sprintf(buffer, "%lu", value);
}
int zr_string_from_number(char* buffer, float value) {
  return std::sprintf(buffer, "%f", static_cast<double>(value));
}
int zr_string_from_number(char* buffer, double value) {
  return std::sprintf(buffer, "%lf", value);
}
int zr_string_from_number(char* buffer, char value) {
  return std::sprintf(buffer, "%c", value);
}

int zr_string_print(const char* text) {
  return std::printf("%s", text != nullptr ? text : "");
}
int zr_string_println(const char* text) {
  return std::printf("%s\n", text != nullptr ? text : "");
}
