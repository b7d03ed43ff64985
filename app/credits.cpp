#include "app/credits.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/core/fileio.h"
#include "engine/core/keyfile.h"
#include "engine/core/memory.h"
#include "engine/platform/clock.h"

char* creditLines[MAX_CREDIT_LINES] = {};
int32_t creditCount = 0;
char creditShown[CREDIT_LINE_MAX + 1] = {};
uint32_t creditUntil = 0;

int32_t LoadCredits(const char* file) {
  FreeCredits();
  if (file == nullptr) return 0;
  int32_t count = 0;
  zr_io_get_int("Credits", "NoLines", &count, file);
  // More lines than the slots would write past them.
  creditCount = std::clamp<int32_t>(count, 0, MAX_CREDIT_LINES);
  for (int32_t n = 0; n < creditCount; ++n) {
    char key[24], text[CREDIT_LINE_MAX + 1];
    std::snprintf(key, sizeof key, "Line_%02d", n);
    zr_io_get_string("Credits", key, text, sizeof text, file);
    size_t length = std::strlen(text);
    creditLines[n] = static_cast<char*>(zr_mem_malloc(length + 1));
    if (creditLines[n] != nullptr) std::memcpy(creditLines[n], text, length + 1);
  }
  return creditCount;
}

void FreeCredits() {
  for (char*& line : creditLines) {
    zr_mem_free(line);
    line = nullptr;
  }
  creditCount = 0;
}

const char* CreditLine(int32_t n) {
  if (creditCount <= 0) return "";
  const char* line = creditLines[((n % creditCount) + creditCount) % creditCount];
  return line ? line : "";
}

const char* CreditLineOnShow() {
  return creditShown[0] != '\0' && int32_t(zr_get_tick_count() - creditUntil) < 0 ? creditShown
                                                                                  : nullptr;
}

void ShowCreditLine(const char* text, uint32_t duration) {
  std::snprintf(creditShown, sizeof creditShown, "%s", text ? text : "");
  creditUntil = zr_get_tick_count() + duration;
}
