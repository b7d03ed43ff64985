#include "engine/ui/menu.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/core/error.h"
#include "engine/core/fileio.h"
#include "engine/core/keyfile.h"
#include "engine/core/memory.h"
#include "engine/platform/clock.h"

namespace {

constexpr const char* kMenuMessages[] = {
    "Invalid menu pointer, file or section",
    "Couldn't find the menu file",
    "Invalid menu line type",
    "Not enough free memory to load the menu",
    "Couldn't read the menu position",
    "A menu key is missing",
    "Invalid menu size",
};

int g_module = -1;
ZR_MENU_CONFIG g_config = {nullptr, 320, 200, nullptr, nullptr, nullptr};

bool reporting() {
  return g_config.report != nullptr && *g_config.report != 0;
}

void report(int code) {
  zr_error_report(g_module, code);
}

struct Reader {
  const char* file;
  const char* section;

  // The value of key, or def when it is missing (a missing key records code, when given).
  int32_t integer(const char* key, int32_t def, int code = -1) const {
    int32_t value = 0;
    if (zr_io_get_int(section, key, &value, file) > 0) return value;
    if (code >= 0) {
      zr_error_set_detail("%s [%s] %s=", file, section, key);
      report(code);
    }
    return def;
  }
  bool text(const char* key, char* out, int size) const {
    if (zr_io_get_string(section, key, out, size, file) > 0) return true;
    out[0] = '\0';
    zr_error_set_detail("%s [%s] %s", file, section, key);
    report(ZR_MENU_MISSING_KEY);
    return false;
  }
};

// A position value: 1 or more is a percentage of the screen side, below 1 minus a pixel count.
int16_t to_pixels(int32_t value, int32_t side) {
  int64_t pixels = value >= 1 ? int64_t(value) * side / 100 : -int64_t(value);
  return int16_t(std::clamp<int64_t>(pixels, 0, INT16_MAX));
}

bool valid_kind(int32_t type) {
  int32_t kind = type & ZR_MENU_KIND_MASK;
  return kind == ZR_MENU_TEXT || kind == ZR_MENU_VALUE || kind == ZR_MENU_OPTION ||
         kind == ZR_MENU_CHOICE;
}

// Loads line n (from 1) into its slot. A refused line keeps type 0 and no texts: it is never drawn
// nor current, and the lines after it keep their places.
bool load_line(ZR_MENU* menu, const Reader& in, int n) {
  ZR_MENU_LINE* line = &menu->lines[n - 1];
  char key[32];
  std::snprintf(key, sizeof key, "Type_%02d", n);
  int32_t type = 0;
  if (zr_io_get_int(in.section, key, &type, in.file) <= 0 || !valid_kind(type)) {
    zr_error_set_detail("%s [%s] %s=%d", in.file, in.section, key, type);
    report(ZR_MENU_BAD_LINE);
    return false;
  }
  int32_t kind = type & ZR_MENU_KIND_MASK;
  int32_t count = 1;
  if (kind == ZR_MENU_CHOICE) {
    std::snprintf(key, sizeof key, "NbOptions_%02d", n);
    count = in.integer(key, 1, ZR_MENU_BAD_LINE);
    // A count of none or beyond the module's limit would index past the texts.
    if (count < 1 || count > ZR_MENU_MAX_OPTIONS) {
      zr_error_set_detail("%s [%s] %s=%d", in.file, in.section, key, count);
      report(ZR_MENU_BAD_LINE);
      count = std::clamp<int32_t>(count, 1, ZR_MENU_MAX_OPTIONS);
    }
  }
  auto* texts = static_cast<ZR_MENU_STRING*>(zr_mem_calloc(size_t(count), sizeof(ZR_MENU_STRING)));
  if (texts == nullptr) {
    zr_error_set_detail("%s [%s]", in.file, in.section);
    report(ZR_MENU_NO_MEMORY);
    return false;
  }
  if (reporting()) {
    char name[96];
    std::snprintf(name, sizeof name, "Menu: %s, line: %d", menu->name, n);
    zr_mem_name(texts, name);
  }
  line->type = type;
  line->texts = texts;
  line->textCount = count;
  if (kind != ZR_MENU_TEXT) {
    std::snprintf(key, sizeof key, "Value_%02d", n);
    line->value = in.integer(key, 0, ZR_MENU_BAD_LINE);
    std::snprintf(key, sizeof key, "Notif_%02d", n);
    // Without a mask the line sends nothing, whatever its value.
    if (zr_io_get_int(in.section, key, &line->notifyMask, in.file) <= 0) {
      zr_error_set_detail("%s [%s] %s=", in.file, in.section, key);
      report(ZR_MENU_BAD_LINE);
      line->notifyMask = 0;
      line->value = 0;
    }
  }
  std::snprintf(key, sizeof key, "Font_%02d", n);
  line->fontMode = in.integer(key, 1, ZR_MENU_MISSING_KEY);
  std::snprintf(key, sizeof key, "Align_%02d", n);
  line->align = in.integer(key, ZR_MENU_CENTRE, ZR_MENU_MISSING_KEY);
  for (int32_t t = 0; t < count; ++t) {
    if (kind == ZR_MENU_CHOICE) {
      std::snprintf(key, sizeof key, "Line_%02d_%02d", n, t + 1);
    } else {
      std::snprintf(key, sizeof key, "Line_%02d", n);
    }
    in.text(key, texts[t].text, ZR_MENU_TEXT_ROOM);
  }
  return true;
}

// A loaded font has a record for every code (the space at least).
bool loaded(const ZR_FONT* font) {
  return font != nullptr && font->characters[uint8_t(' ')] != nullptr;
}

bool title_line(const ZR_MENU_LINE& line) {
  return line.fontMode == ZR_MENU_FONT_TITLE && loaded(g_config.titleFont);
}

// The font that draws the line and its spacing flags.
const ZR_FONT* line_font(const ZR_MENU_LINE& line, const ZR_FONT* font) {
  return title_line(line) ? g_config.titleFont : font;
}

int spacing_flags(const ZR_MENU_LINE& line) {
  const bool proportional =
      line.fontMode == ZR_MENU_FONT_PROPORTIONAL || line.fontMode == ZR_MENU_FONT_TITLE;
  return proportional ? ZR_FONT_PROPORTIONAL : 0;
}

// The text's width as it would be at the menu font's height: the lines share one scale, and a
// title font drawn larger than the text font must not make every other line narrow.
ZR_RECT measure(const ZR_MENU_LINE& line, const char* text, const ZR_FONT* font) {
  ZR_RECT measured = {0, 0, 0, 0};
  const ZR_FONT* drawn = line_font(line, font);
  zr_font_measure(drawn, text, &measured, spacing_flags(line));
  if (drawn != font && loaded(font) && drawn->height > 0) {
    measured.w = int16_t(int32_t(measured.w) * font->height / drawn->height);
  }
  return measured;
}

// Places every text of every line in the menu's rectangle.
void lay_out(ZR_MENU* menu, const ZR_FONT* font) {
  ZR_RECT& r = menu->rect;
  r = {to_pixels(menu->x, g_config.screenWidth), to_pixels(menu->y, g_config.screenHeight),
       to_pixels(menu->w, g_config.screenWidth), to_pixels(menu->h, g_config.screenHeight)};

  int32_t widest = 0;
  for (int32_t i = 0; i < menu->lineCount; ++i) {
    ZR_MENU_LINE& line = menu->lines[i];
    for (int32_t t = 0; t < line.textCount; ++t) {
      const ZR_RECT measured = measure(line, line.texts[t].text, font);
      line.texts[t].rect = measured;
      widest = std::max<int32_t>(widest, measured.w);
    }
  }

  int64_t lines = std::max<int32_t>(menu->lineCount, 1);
  int64_t height = (int64_t(r.h) - int64_t(menu->space) * (lines - 1)) / lines;
  if (height < 1) {
    zr_error_set_detail("%s", menu->name);
    report(ZR_MENU_BAD_SIZE);
    height = 0;
  }
  height = std::min<int64_t>(height, INT16_MAX);

  for (int32_t i = 0; i < menu->lineCount; ++i) {
    ZR_MENU_LINE& line = menu->lines[i];
    for (int32_t t = 0; t < line.textCount; ++t) {
      ZR_RECT& tr = line.texts[t].rect;
      // With nothing measured (no font, or only empty texts) every text takes the full width.
      int64_t width = widest > 0 ? int64_t(r.w) * tr.w / widest : r.w;
      int64_t x = r.x;
      switch (line.align) {
        case ZR_MENU_LEFT_ALIGN:
          break;
        case ZR_MENU_RIGHT_ALIGN:
          x = r.x + r.w - width;
          break;
        case ZR_MENU_FULL_WIDTH:
          width = r.w;
          break;
        default:
          x = r.x + (r.w - width) / 2;
          break;
      }
      int64_t y = r.y + int64_t(i) * (height + menu->space);
      tr = {int16_t(std::clamp<int64_t>(x, INT16_MIN, INT16_MAX)),
            int16_t(std::clamp<int64_t>(y, INT16_MIN, INT16_MAX)), int16_t(width), int16_t(height)};
    }
  }
}

uint32_t since(uint32_t then) {
  return zr_get_tick_count() - then;
}

// The value an event sends through the current line: its value when the line's mask holds the
// event, else 0.
int32_t line_value(const ZR_MENU* menu, int event) {
  if (menu->currentLine < 0 || menu->currentLine >= menu->lineCount) return 0;
  const ZR_MENU_LINE& line = menu->lines[menu->currentLine];
  return (line.notifyMask & event) ? line.value : 0;
}

// Moves the current line by step (1 or -1) to the next line it can rest on, wrapping; stays put
// when no other line qualifies.
void move_current(ZR_MENU* menu, int step) {
  int32_t n = menu->lineCount;
  int32_t from = menu->currentLine;
  if (from < 0 || from >= n) from = step > 0 ? -1 : n;
  for (int32_t k = 1; k <= n; ++k) {
    int32_t i = ((from + step * k) % n + n) % n;
    if (i == menu->currentLine) break;
    if (zr_menu_line_selectable(&menu->lines[i])) {
      menu->currentLine = i;
      return;
    }
  }
}

void draw_frame(ZR_BITMAP* target, const ZR_RECT& r, uint8_t colour) {
  int x0 = r.x - 1, y0 = r.y - 1, x1 = r.x + r.w, y1 = r.y + r.h;
  auto put = [&](int x, int y) {
    if (x >= 0 && y >= 0 && x < target->width && y < target->height)
      target->pixels[size_t(y) * size_t(target->width) + size_t(x)] = colour;
  };
  for (int x = x0; x <= x1; ++x) {
    put(x, y0);
    put(x, y1);
  }
  for (int y = y0 + 1; y < y1; ++y) {
    put(x0, y);
    put(x1, y);
  }
}

}  // namespace

int zr_menu_init(const ZR_MENU_CONFIG* config) {
  if (config != nullptr) g_config = *config;
  if (g_config.screenWidth <= 0) g_config.screenWidth = 320;
  if (g_config.screenHeight <= 0) g_config.screenHeight = 200;
  g_module = zr_error_add_module("Menu", kMenuMessages, g_config.report);
  return 1;
}

int zr_menu_module() {
  return g_module;
}

int zr_menu_load(ZR_MENU* menu, const char* file, const char* section, const ZR_FONT* font,
                 ZR_MENU_NOTIFY notify, void* user) {
  if (menu == nullptr || file == nullptr || section == nullptr) {
    zr_error_set_detail("%s [%s]", file ? file : "", section ? section : "");
    report(ZR_MENU_NO_RECORD);
    return 0;
  }
  *menu = ZR_MENU{};
  menu->defaultLine = -1;
  menu->currentLine = -1;
  if (!zr_io_exists(file, ZR_IO_ARCHIVE | ZR_IO_DISK)) {
    zr_error_set_detail("%s", file);
    report(ZR_MENU_NOT_FOUND);
    return 0;
  }
  Reader in{file, section};
  int32_t lineCount = in.integer("NbLines", 0, ZR_MENU_MISSING_KEY);
  // Without lines, or with more than a menu can show, the section is not a usable menu.
  if (lineCount < 1 || lineCount > ZR_MENU_MAX_LINES) {
    zr_error_set_detail("%s [%s] NbLines=%d", file, section, lineCount);
    report(ZR_MENU_MISSING_KEY);
    return 0;
  }
  size_t nameLength = std::strlen(section);
  menu->name = static_cast<char*>(zr_mem_malloc(nameLength + 1));
  menu->lines = static_cast<ZR_MENU_LINE*>(zr_mem_calloc(size_t(lineCount), sizeof(ZR_MENU_LINE)));
  if (menu->name == nullptr || menu->lines == nullptr) {
    zr_error_set_detail("%s [%s]", file, section);
    report(ZR_MENU_NO_MEMORY);
    zr_menu_free(menu);
    return 0;
  }
  std::memcpy(menu->name, section, nameLength + 1);
  menu->lineCount = lineCount;

  char position[64];
  int x = 25, y = 25, w = 50, h = 50;
  if (zr_io_get_string(section, "Position", position, sizeof position, file) <= 0 ||
      std::sscanf(position, "%d,%d,%d,%d", &x, &y, &w, &h) != 4) {
    x = y = 25;
    w = h = 50;
    zr_error_set_detail("%s [%s] %s", file, section, "Position");
    report(ZR_MENU_NO_POSITION);
  }
  menu->x = int16_t(std::clamp(x, -INT16_MAX, int(INT16_MAX)));
  menu->y = int16_t(std::clamp(y, -INT16_MAX, int(INT16_MAX)));
  menu->w = int16_t(std::clamp(w, -INT16_MAX, int(INT16_MAX)));
  menu->h = int16_t(std::clamp(h, -INT16_MAX, int(INT16_MAX)));
  menu->timeout = in.integer("Timeout", 10000);
  menu->delay = in.integer("Delay", 500);
  menu->transparency = in.integer("Transparency", 50);
  menu->space = std::clamp<int32_t>(in.integer("Space", 10000), 0, 10000);
  int32_t defaultLine = in.integer("Default", 0);
  menu->defaultLine = defaultLine >= 1 && defaultLine <= lineCount ? defaultLine - 1 : -1;
  menu->escape = in.integer("Escape", 1);
  menu->notify = notify;
  menu->user = user;

  for (int n = 1; n <= lineCount; ++n) load_line(menu, in, n);
  lay_out(menu, font);
  return 1;
}

void zr_menu_free(ZR_MENU* menu) {
  if (menu == nullptr) return;
  if (menu->lines != nullptr) {
    for (int32_t i = 0; i < menu->lineCount; ++i) zr_mem_free(menu->lines[i].texts);
    zr_mem_free(menu->lines);
  }
  zr_mem_free(menu->name);
  *menu = ZR_MENU{};
  menu->defaultLine = -1;
  menu->currentLine = -1;
}

bool zr_menu_line_visible(const ZR_MENU_LINE* line) {
  bool fullScreen = g_config.fullScreen != nullptr && *g_config.fullScreen != 0;
  if ((line->type & ZR_MENU_FULL_SCREEN_ONLY) && !fullScreen) return false;
  if ((line->type & ZR_MENU_WINDOW_ONLY) && fullScreen) return false;
  return true;
}

bool zr_menu_line_selectable(const ZR_MENU_LINE* line) {
  int32_t kind = line->type & ZR_MENU_KIND_MASK;
  return (kind == ZR_MENU_OPTION || kind == ZR_MENU_CHOICE) && line->textCount > 0 &&
         zr_menu_line_visible(line);
}

void zr_menu_open(ZR_MENU* menu, int shown) {
  if (menu == nullptr || menu->lines == nullptr) return;
  if (menu->currentLine < 0 || menu->currentLine >= menu->lineCount) {
    menu->currentLine = -1;
    int32_t d = menu->defaultLine;
    if (d >= 0 && d < menu->lineCount && zr_menu_line_selectable(&menu->lines[d])) {
      menu->currentLine = d;
    } else {
      for (int32_t i = menu->lineCount - 1; i >= 0; --i) {
        if (zr_menu_line_selectable(&menu->lines[i])) {
          menu->currentLine = i;
          break;
        }
      }
    }
  }
  menu->shown = shown ? 1 : 0;
  menu->lastEvent = zr_get_tick_count();
}

int zr_menu_event(ZR_MENU* menu, int event) {
  if (menu == nullptr || menu->lines == nullptr) return 0;
  if (since(menu->lastEvent) < uint32_t(std::max(menu->delay, 0))) return 0;
  if (!menu->shown) {
    if (event != ZR_MENU_ESCAPE) return 0;
  } else if (event == ZR_MENU_NONE) {
    if (since(menu->lastEvent) < uint32_t(std::max(menu->timeout, 0))) return 0;
    event = ZR_MENU_ESCAPE;
  }

  int32_t value = 0;
  switch (event) {
    case ZR_MENU_ESCAPE:
      value = menu->escape;
      break;
    case ZR_MENU_SELECT:
    case ZR_MENU_LEFT:
    case ZR_MENU_RIGHT:
      value = line_value(menu, event);
      break;
    case ZR_MENU_PREVIOUS:
    case ZR_MENU_NEXT:
      value = line_value(menu, event);
      move_current(menu, event == ZR_MENU_NEXT ? 1 : -1);
      break;
    default:
      return 0;
  }

  menu->lastEvent = zr_get_tick_count();
  if (value == ZR_MENU_TOGGLE) menu->shown = menu->shown ? 0 : 1;
  if (value >= ZR_MENU_FIRST_NOTIFIED && menu->notify != nullptr)
    menu->notify(menu, nullptr, value, event, 1, menu->user);
  return 1;
}

void zr_menu_draw(ZR_MENU* menu, const ZR_FONT* font, ZR_BITMAP* target, int mode, uint8_t colour) {
  if (menu == nullptr || menu->lines == nullptr || !menu->shown || target == nullptr) return;
  if ((mode & ZR_MENU_DRAW_TRANSPARENT) && g_config.transparency != nullptr)
    *g_config.transparency = std::clamp<int32_t>(menu->transparency, 0, 100);
  for (int32_t i = 0; i < menu->lineCount; ++i) {
    ZR_MENU_LINE* line = &menu->lines[i];
    if (line->textCount == 0 || !zr_menu_line_visible(line)) continue;
    if (menu->notify != nullptr && (line->type & (ZR_MENU_VALUE | ZR_MENU_CHOICE)))
      menu->notify(menu, line, line->value, ZR_MENU_NONE, 0, menu->user);
    // The application chooses the text; one it cannot have means the first.
    if (line->shown < 0 || line->shown >= line->textCount) line->shown = 0;
    ZR_MENU_STRING& text = line->texts[line->shown];
    text.text[ZR_MENU_TEXT_ROOM - 1] = '\0';
    int flags = ZR_FONT_STRETCHED | spacing_flags(*line);
    bool current = i == menu->currentLine;
    if ((mode & ZR_MENU_DRAW_TRANSPARENT) && !current &&
        !(line->type & (ZR_MENU_TEXT | ZR_MENU_VALUE)))
      flags |= ZR_FONT_DIMMED;
    // Title lines cycle through their glyphs' frames with the time.
    const int frame =
        title_line(*line) ? int(zr_get_tick_count() / ZR_MENU_TITLE_FRAME_MS % 0x10000) + 1 : 1;
    zr_font_draw_frame(line_font(*line, font), text.text, target, &text.rect, flags, frame);
    if (!(mode & ZR_MENU_DRAW_TRANSPARENT) && mode == ZR_MENU_DRAW_FRAME && current)
      draw_frame(target, text.rect, colour);
  }
}
