#include "engine/display/main_window.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/keyfile.h"
#include "engine/display/menu_texts.h"
#include "engine/platform/instance.h"
#include "engine/platform/menu_bar.h"
#include "engine/platform/message_box.h"
#include "engine/platform/messages.h"
#include "engine/platform/video.h"

namespace {

ZR_WINDOW_SETUP* g_setup = nullptr;
std::string g_error;
std::vector<ZR_MENU_ITEM> g_items;

// The column of the menu texts for the current language (English when it has none).
int text_column() {
  const ZR_LANGUAGE* language = g_setup ? zr_lang_current(g_setup->languages) : nullptr;
  if (language && language->number >= 1 && language->number <= ZR_MENU_LANGUAGES) {
    return language->number - 1;
  }
  return 0;
}

void add(ZR_MENU_KIND kind, uint32_t id, const char* latin1, bool checked = false,
         bool enabled = true) {
  ZR_MENU_ITEM item{};
  item.kind = kind;
  item.id = id;
  item.checked = checked;
  item.enabled = enabled;
  zr_latin1_to_utf8(latin1 ? latin1 : "", item.text, sizeof item.text);
  g_items.push_back(item);
}

void add_label(ZR_MENU_KIND kind, uint32_t id, ZR_MENU_LABEL label, bool checked = false) {
  add(kind, id, ZR_MENU_TEXTS[label][text_column()], checked);
}

void end() {
  add(ZR_MENU_ITEM_END, 0, "");
}

void separator() {
  add(ZR_MENU_ITEM_SEPARATOR, 0, "");
}

void add_languages() {
  const ZR_LANGUAGES* list = g_setup->languages;
  // Without the multi-language flag (or any language) there is no Language menu.
  if (list == nullptr || !list->multi || zr_lang_current(list) == nullptr) return;
  add_label(ZR_MENU_ITEM_SUBMENU, ZR_CMD_LANGUAGE_MENU, ZR_LABEL_LANGUAGE);
  const ZR_LANGUAGE* current = zr_lang_current(list);
  for (int32_t slot = 0; slot < list->count; ++slot) {
    const ZR_LANGUAGE* language = zr_lang_entry(list, slot);
    if (language == nullptr) continue;  // a hole keeps its slot's identifier
    add(ZR_MENU_ITEM_COMMAND, ZR_CMD_LANGUAGE_FIRST + slot, language->name,
        language->number == current->number);
  }
  end();
}

// Display -> Change Resolution: the preferred sizes, grayed without an 8-bit mode of the size or
// (below 640 x 480) in a window; the current mode's size ticked, else a "(Default)" entry.
void add_resolutions() {
  add_label(ZR_MENU_ITEM_SUBMENU, ZR_CMD_LANGUAGE_MENU, ZR_LABEL_RESOLUTION);
  const ZR_VIDEO_MODE* current = zr_dsp_mode(zr_dsp_current_mode());
  bool ticked = false;
  for (int i = 0; ZR_PREFERRED_SIZES[i].width; ++i) {
    const ZR_PREFERRED_SIZE& size = ZR_PREFERRED_SIZES[i];
    const bool exists = zr_dsp_find_mode(size.width, size.height, 8) >= 0;
    const bool small = size.width < 640 || size.height < 480;
    const bool enabled = exists && !(small && !zr_dsp_is_fullscreen());
    const bool tick = current && current->width == size.width && current->height == size.height;
    ticked = ticked || tick;
    char text[32];
    std::snprintf(text, sizeof text, "%dx%d", size.width, size.height);
    add(ZR_MENU_ITEM_COMMAND, ZR_CMD_RESOLUTION_FIRST + i, text, tick, enabled);
  }
  if (!ticked && current) {
    separator();
    char text[48];
    std::snprintf(text, sizeof text, "%dx%d (Default)", current->width, current->height);
    add(ZR_MENU_ITEM_COMMAND, ZR_CMD_DEFAULT_RESOLUTION, text, true);
  }
  end();
}

void build_items() {
  g_items.clear();
  add_label(ZR_MENU_ITEM_SUBMENU, 0, ZR_LABEL_GAME);
  add_languages();
  add_label(ZR_MENU_ITEM_COMMAND, ZR_CMD_BACK_TO_GAME, ZR_LABEL_BACK);
  separator();
  add_label(ZR_MENU_ITEM_COMMAND, ZR_CMD_EXIT, ZR_LABEL_EXIT);
  end();

  add_label(ZR_MENU_ITEM_SUBMENU, 0, ZR_LABEL_DISPLAY);
  add_label(ZR_MENU_ITEM_COMMAND, ZR_CMD_LOW_RES, ZR_LABEL_LOWRES);
  add_label(ZR_MENU_ITEM_COMMAND, ZR_CMD_HIGH_RES, ZR_LABEL_HIGHRES);
  separator();
  // The full-screen entry offers the other state, in the language list's own words.
  const ZR_LANGUAGE* language = zr_lang_current(g_setup->languages);
  const char* offer = language ? (zr_dsp_is_fullscreen() ? language->window : language->fullscreen)
                               : (zr_dsp_is_fullscreen() ? "&Window" : "&Fullscreen");
  char fullscreen[300];
  std::snprintf(fullscreen, sizeof fullscreen, "%s\tF4", offer);
  add(ZR_MENU_ITEM_COMMAND, ZR_CMD_FULLSCREEN, fullscreen);
  add_label(ZR_MENU_ITEM_COMMAND, ZR_CMD_256_COLOURS, ZR_LABEL_COLOURS, zr_dsp_256_colours());
  add_label(ZR_MENU_ITEM_COMMAND, ZR_CMD_DEFAULT_SIZE, ZR_LABEL_DEFSIZE);
  separator();
  add_label(ZR_MENU_ITEM_COMMAND, ZR_CMD_INTEGER_SCALING, ZR_LABEL_INTEGER,
            zr_window_integer_scaling());
  add_resolutions();
  end();

  add_label(ZR_MENU_ITEM_SUBMENU, 0, ZR_LABEL_SOUND);
  add_label(ZR_MENU_ITEM_COMMAND, ZR_CMD_MUSIC, ZR_LABEL_MUSIC);
  add_label(ZR_MENU_ITEM_COMMAND, ZR_CMD_EFFECTS, ZR_LABEL_EFFECTS);
  separator();
  add_label(ZR_MENU_ITEM_SUBMENU, 0, ZR_LABEL_QUALITY);
  add_label(ZR_MENU_ITEM_COMMAND, ZR_CMD_QUALITY_LOW, ZR_LABEL_QLOW);
  add_label(ZR_MENU_ITEM_COMMAND, ZR_CMD_QUALITY_MEDIUM, ZR_LABEL_QMEDIUM);
  add_label(ZR_MENU_ITEM_COMMAND, ZR_CMD_QUALITY_HIGH, ZR_LABEL_QHIGH);
  end();
  end();

  add_label(ZR_MENU_ITEM_SUBMENU, 0, ZR_LABEL_HELP);
  add_label(ZR_MENU_ITEM_COMMAND, ZR_CMD_HELP_TOPICS, ZR_LABEL_TOPICS);
  separator();
  add_label(ZR_MENU_ITEM_COMMAND, ZR_CMD_ABOUT, ZR_LABEL_ABOUT);
  end();
}

ZR_MENU_ITEM* find_item(uint32_t id) {
  for (ZR_MENU_ITEM& item : g_items) {
    if (item.id == id && item.kind == ZR_MENU_ITEM_COMMAND) return &item;
  }
  return nullptr;
}

void select_language(int32_t slot) {
  ZR_LANGUAGES* list = g_setup ? g_setup->languages : nullptr;
  const ZR_LANGUAGE* chosen = zr_lang_entry(list, slot);
  const ZR_LANGUAGE* current = zr_lang_current(list);
  if (chosen && list->multi && (current == nullptr || chosen->number != current->number)) {
    zr_lang_select(list, chosen->number);
    if (g_setup->languageChanged) g_setup->languageChanged();
    zr_menubar_load();
  }
  zr_post_message(WM_LBUTTONDOWN, 0, 0);
}

void default_size() {
  if (zr_dsp_is_fullscreen()) {
    ZR_BITMAP* frame = zr_dsp_frame_buffer();
    zr_dsp_resize(frame, nullptr, g_setup->baseWidth - frame->width,
                  g_setup->baseHeight - frame->height);
  } else {
    int x = 0, y = 0, w = 0, h = 0;
    zr_window_get_rect(&x, &y, &w, &h);
    int cw = 0, ch = 0;
    zr_window_client_size(&cw, &ch);
    zr_window_set_rect(x, y, w - cw + g_setup->clientWidth,
                       h - ch + g_setup->clientHeight + zr_menu_bar_reserved_height());
  }
  zr_post_message(WM_LBUTTONDOWN, 0, 0);
}

void write_language() {
  if (g_setup) zr_lang_save(g_setup->languages);
}

int command(uint32_t id) {
  switch (id) {
    case ZR_CMD_LOW_RES:
      zr_dsp_low_res();
      return 1;
    case ZR_CMD_HIGH_RES:
      zr_dsp_high_res();
      return 1;
    case ZR_CMD_FULLSCREEN:
      zr_post_message(WM_SYSKEYDOWN, VK_RETURN, 0);
      zr_post_message(WM_LBUTTONDOWN, 0, 0);
      return 1;
    case ZR_CMD_256_COLOURS:
      zr_dsp_toggle_256_colours();
      return 1;
    case ZR_CMD_DEFAULT_SIZE:
      default_size();
      return 1;
    case ZR_CMD_INTEGER_SCALING:
      zr_window_set_integer_scaling(!zr_window_integer_scaling());
      if (zr_dsp_is_ready()) zr_dsp_repaint();
      return 1;
    default:
      break;
  }
  if (id >= ZR_CMD_LANGUAGE_FIRST && id < ZR_CMD_LANGUAGE_FIRST + ZR_LANG_MAX) {
    select_language(int32_t(id - ZR_CMD_LANGUAGE_FIRST));
    return 1;
  }
  if (id >= ZR_CMD_RESOLUTION_FIRST && id < ZR_CMD_RESOLUTION_FIRST + 16) {
    zr_dsp_preferred_size(int(id - ZR_CMD_RESOLUTION_FIRST));
    return 1;
  }
  return 0;
}

}  // namespace

void zr_latin1_to_utf8(const char* text, char* out, int size) {
  if (out == nullptr || size <= 0) return;
  int at = 0;
  for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); c && *c; ++c) {
    const int need = *c < 0x80 ? 1 : 2;
    if (at + need >= size) break;
    if (*c < 0x80) {
      out[at++] = char(*c);
    } else {
      out[at++] = char(0xC0 | (*c >> 6));
      out[at++] = char(0x80 | (*c & 0x3F));
    }
  }
  out[at] = '\0';
}

int zr_main_window_open(ZR_WINDOW_SETUP* setup, bool* otherCopy) {
  if (otherCopy) *otherCopy = false;
  g_error.clear();
  if (setup == nullptr) return 0;
  // A copy already running comes to the front instead. Headless runs (tests, tools) only check
  // when given a runtime directory of their own.
  const bool check = !zr_platform_is_headless() || std::getenv("ZR_RUNTIME_DIR") != nullptr;
  if (check &&
      !zr_instance_claim(setup->className && *setup->className ? setup->className : "zrsentry")) {
    if (otherCopy) *otherCopy = true;
    g_error = "another copy is running; it was brought to the front";
    return 0;
  }
  g_setup = setup;
  zr_dsp_set_flags(&setup->flags);
  zr_dsp_set_language_writer(write_language);
  zr_dsp_set_mode_callback(zr_menubar_load);
  // The default window: the client area a whole multiple of the base size below the menu bar.
  zr_menu_bar_set_show(ZR_MENU_ALWAYS);
  zr_dsp_read_settings(-1, -1, setup->clientWidth, setup->clientHeight + zr_menu_bar_height());
  // Until a normal exit writes the real state, a start that never got that far is remembered as
  // full screen.
  zr_io_put_int("Display", "Fullscreen", 1, zr_io_settings_path());

  int32_t left = -1, top = -1, width = 0, height = 0;
  zr_dsp_window_rect(&left, &top, &width, &height);
  if (!zr_window_open_at(setup->title, left, top, width, height)) {
    g_error = zr_platform_error();
    return 0;
  }
  zr_window_set_minimum_size(setup->baseWidth, setup->baseHeight);
  if (!zr_dsp_enum_modes() && !zr_dsp_enum_modes()) {
    g_error = "no video mode could be chosen";
    return 0;
  }
  zr_menubar_load();
  return 1;
}

const char* zr_main_window_error() {
  return g_error.c_str();
}

void zr_main_window_release() {
  zr_menu_bar_set(nullptr, 0);
  zr_window_set_fullscreen(false);
  zr_dsp_set_mode_callback(nullptr);
  zr_dsp_set_language_writer(nullptr);
  zr_instance_release();
  g_items.clear();
  g_setup = nullptr;
}

void zr_menubar_load() {
  if (g_setup == nullptr) return;
  build_items();
  if (g_setup->command) g_setup->command();
  zr_menu_bar_set(g_items.data(), int(g_items.size()));
}

void zr_menubar_check(uint32_t id, bool checked) {
  if (ZR_MENU_ITEM* item = find_item(id)) item->checked = checked;
}

void zr_menubar_enable(uint32_t id, bool enabled) {
  if (ZR_MENU_ITEM* item = find_item(id)) item->enabled = enabled;
}

int zr_main_window_proc(uint32_t message, uintptr_t wParam, intptr_t) {
  if (g_setup == nullptr) return 0;
  int handled = 0;
  switch (message) {
    case WM_KEYDOWN:
      if (wParam >= '1' && wParam <= '4' && zr_dsp_is_fullscreen()) {
        // 1 and 2 narrow and widen the frame, 3 and 4 lower and raise it, 12 pixels a press.
        static constexpr int kSteps[4][2] = {{-12, 0}, {12, 0}, {0, -12}, {0, 12}};
        const int* step = kSteps[wParam - '1'];
        zr_dsp_resize(zr_dsp_frame_buffer(), nullptr, step[0], step[1]);
        handled = 1;
      } else if (wParam == VK_F4) {
        zr_post_message(WM_SYSKEYDOWN, VK_RETURN, 0);
        zr_post_message(WM_LBUTTONDOWN, 0, 0);
        handled = 1;
      }
      break;
    case WM_SYSKEYDOWN:
      if (wParam == VK_RETURN) {
        zr_dsp_toggle_fullscreen();
        handled = 1;
      } else if (wParam == VK_F4) {
        zr_post_message(WM_CLOSE, 0, 0);
        handled = 1;
      }
      break;
    case WM_COMMAND:
      handled = command(uint32_t(wParam & 0xFFFF));
      break;
    case WM_LBUTTONDOWN:
      if (zr_dsp_is_fullscreen() && zr_dsp_is_ready()) zr_dsp_clear();
      break;
    default:
      break;
  }
  // The application's own entries (the Sound menu's ticks) may have changed with any key or
  // command.
  if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN || message == WM_COMMAND) {
    zr_menubar_load();
  }
  return handled;
}

int zr_main_window_fatal(const char* text) {
  zr_message_box(text, g_setup && g_setup->title ? g_setup->title : nullptr, MB_OK);
  zr_post_message(WM_CLOSE, 0, 0);
  return 0;
}
