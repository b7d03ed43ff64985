#include "app/messages.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/app_state.h"
#include "app/startup.h"
#include "engine/core/keyfile.h"
#include "engine/core/memory.h"
#include "engine/display/display.h"
#include "engine/platform/message_box.h"
#include "engine/platform/video.h"
#include "engine/ui/font.h"
#include "game/game_state.h"

MessageTable* messageTable = nullptr;

namespace {

constexpr int VALUE_SIZE = 257;  // a value of at most 256 characters
constexpr ZR_RECT DEFAULT_RECT = {10, 50, 300, 40};
constexpr int STYLE_TEXT_FONT = ZR_FONT_STRETCHED | ZR_FONT_PROPORTIONAL;  // Font 1
constexpr int STYLE_PICTURE_FONT = ZR_FONT_STRETCHED;                      // any other Font

// A Rect number: 1 or more is a percentage of the screen's side, 0 or less gives its negation in
// pixels. Kept within the 16 bits of a rectangle.
int16_t rectValue(long value, int side) {
  const long long v = std::clamp<long long>(value, -100000, 100000);  // beyond 16 bits either way
  const long long pixels = v >= 1 ? v * side / 100 : -v;
  return static_cast<int16_t>(std::clamp<long long>(pixels, INT16_MIN, INT16_MAX));
}

// "x,y,w,h" as four numbers; false when the text does not give four.
bool parseRect(const char* text, long* values) {
  const char* p = text;
  for (int i = 0; i < 4; ++i) {
    if (i > 0) {
      if (*p != ',') return false;
      ++p;
    }
    char* end = nullptr;
    values[i] = std::strtol(p, &end, 10);
    if (end == p) return false;
    p = end;
  }
  return true;
}

ZR_RECT readRect(const char* section, const char* file) {
  char text[VALUE_SIZE];
  long v[4];
  if (zr_io_get_string(section, "Rect", text, sizeof text, file) == 0 || !parseRect(text, v))
    return DEFAULT_RECT;
  return ZR_RECT{rectValue(v[0], ZR_DSP_BASE_WIDTH), rectValue(v[1], ZR_DSP_BASE_HEIGHT),
                 rectValue(v[2], ZR_DSP_BASE_WIDTH), rectValue(v[3], ZR_DSP_BASE_HEIGHT)};
}

// The format is filled with one number by the C library: it may hold "%%" and at most one
// integer conversion (flags, width and precision allowed). A file that asks for more, or for
// anything else ("%s", "%n"), would make the formatting read or write what is not there.
bool isNumberFormat(const char* format) {
  int conversions = 0;
  for (const char* p = format; *p; ++p) {
    if (*p != '%') continue;
    ++p;
    if (*p == '%') continue;
    while (*p && std::strchr("-+ 0#", *p)) ++p;
    for (int digits = 0; std::isdigit(static_cast<unsigned char>(*p)); ++digits, ++p)
      if (digits == 3) return false;
    if (*p == '.') {
      ++p;
      for (int digits = 0; std::isdigit(static_cast<unsigned char>(*p)); ++digits, ++p)
        if (digits == 3) return false;
    }
    if (*p == '\0' || !std::strchr("diuxXo", *p)) return false;
    if (++conversions > 1) return false;
  }
  return true;
}

Message* loadMessage(const char* section, const char* file) {
  auto* message = static_cast<Message*>(zr_mem_calloc(1, sizeof(Message)));
  if (message == nullptr) return nullptr;
  zr_io_get_string(section, "Text", message->text, VALUE_SIZE, file);
  char format[VALUE_SIZE];
  const int length = zr_io_get_string(section, "Format", format, sizeof format, file);
  if (length > 0 && std::strcmp(format, " ") != 0) {
    message->format = static_cast<char*>(zr_mem_malloc(size_t(length) + 1));
    if (message->format) std::memcpy(message->format, format, size_t(length) + 1);
  }
  message->rect = readRect(section, file);
  zr_rect_register(&message->rect);
  int32_t font = 1;
  if (zr_io_get_int(section, "Font", &font, file) == 0) font = 1;
  message->style = uint8_t(font == 1 ? STYLE_TEXT_FONT : STYLE_PICTURE_FONT);
  return message;
}

void freeMessage(Message* message) {
  if (message == nullptr) return;
  zr_rect_unregister(&message->rect);
  zr_mem_free(message->format);
  zr_mem_free(message);
}

void reportMissing(const char* key, const char* file) {
  char text[400];
  std::snprintf(text, sizeof text, "Sorry, I can't find Message %s in %s", key, file);
  const char* caption = zr_window_title();
  zr_message_box(text, caption && caption[0] ? caption : nullptr, MB_OK);
}

}  // namespace

MessageTable* LoadMessages(const char* file) {
  if (file == nullptr || !zr_io_exists(file, ZR_IO_ARCHIVE | ZR_IO_DISK)) return nullptr;
  int32_t count = 0;
  if (zr_io_get_int("Messages", "NbMessages", &count, file) == 0 || count < 1) return nullptr;
  count = std::min(count, MESSAGE_COUNT_MAX);
  auto* table = static_cast<MessageTable*>(zr_mem_calloc(1, sizeof(MessageTable)));
  if (table == nullptr) return nullptr;
  table->messages = static_cast<Message**>(zr_mem_calloc(size_t(count), sizeof(Message*)));
  if (table->messages == nullptr) {
    zr_mem_free(table);
    return nullptr;
  }
  table->count = count;
  for (int n = 1; n <= count; ++n) {
    char key[24];
    std::snprintf(key, sizeof key, "Message_%02d", n);
    char section[VALUE_SIZE];
    if (zr_io_get_string("Messages", key, section, sizeof section, file) == 0) {
      reportMissing(key, file);
      continue;
    }
    table->messages[n - 1] = loadMessage(section, file);
  }
  return table;
}

void FreeMessages(MessageTable* table) {
  if (table == nullptr) return;
  for (int i = 0; i < table->count; ++i) freeMessage(table->messages[i]);
  zr_mem_free(table->messages);
  zr_mem_free(table);
}

void DrawMessage(MessageTable* table, int n) {
  if (table == nullptr || n < 1 || n > table->count) return;
  Message* message = table->messages[n - 1];
  if (message == nullptr) return;
  if (message->format && isNumberFormat(message->format)) {
    if (n == MESSAGE_LEVEL)
      std::snprintf(message->text, sizeof message->text, message->format, level);
    if (n == MESSAGE_LIVES)
      std::snprintf(message->text, sizeof message->text, message->format, lives);
  }
  if (message->text[0] == '\0' || frameBuffer.pixels == nullptr) return;
  zr_font_draw(&mainFont, message->text, &frameBuffer, &message->rect, message->style);
}

const char* CurrentLanguageAbbreviation() {
  return "EN";
}

void LoadLanguageMessages() {
  char key[32];
  std::snprintf(key, sizeof key, "Messages_%s", CurrentLanguageAbbreviation());
  char file[ZR_PATH_MAX + 1];
  if (zr_io_get_string("Messages", key, file, sizeof file, TEXTS_FILE) == 0) return;
  FreeMessages(messageTable);
  messageTable = LoadMessages(file);
}

void FreeLanguageMessages() {
  FreeMessages(messageTable);
  messageTable = nullptr;
}
