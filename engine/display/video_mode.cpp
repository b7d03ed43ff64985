#include "engine/display/video_mode.h"

#include <cstdio>
#include <cstring>

#include "engine/core/keyfile.h"
#include "engine/display/display.h"
#include "engine/platform/message_box.h"
#include "engine/platform/messages.h"
#include "engine/platform/video.h"

namespace {

constexpr const char* kSection = "Display";
constexpr int16_t kDepths[] = {8, 16, 24, 32};

struct Modes {
  ZR_VIDEO_MODE table[ZR_MODE_MAX];
  int count;
  int current, desktop, window, full;
  bool configured;
  int32_t configWidth, configHeight, configBpp;
  int32_t winLeft, winTop, winWidth, winHeight;
  bool fullscreen;
  bool haveFullPosition;
  ZR_RECT fullPosition;
  bool integerScaling;
  bool colours256;
};

Modes g_modes = {{}, 0,  -1, -1, -1,    -1,    false, 0,     0,    0,
                 -1, -1, 0,  0,  false, false, {},    false, false};
ZR_DSP_FLAGS g_flags = {};
ZR_DESKTOP_SOURCE g_source = nullptr;
ZR_DSP_MODE_CALLBACK g_callback = nullptr;
ZR_DSP_MODE_CALLBACK g_languageWriter = nullptr;

void platform_desktop(ZR_DESKTOP* desktop) {
  ZR_DISPLAY_MODE modes[ZR_MODE_MAX];
  ZR_DISPLAY_MODE own{};
  int bpp = 32;
  const int count = zr_platform_display_modes(modes, ZR_MODE_MAX, &own, &bpp);
  desktop->count = count;
  for (int i = 0; i < count; ++i) {
    desktop->modes[i] = {modes[i].width, modes[i].height, modes[i].refresh};
  }
  desktop->width = own.width;
  desktop->height = own.height;
  desktop->bpp = bpp;
  desktop->refresh = own.refresh;
}

const char* settings_file() {
  return zr_io_settings_path();
}

bool read_four(const char* key, int32_t out[4]) {
  char text[128] = "";
  if (!zr_io_get_string(kSection, key, text, sizeof text, settings_file())) return false;
  int a = 0, b = 0, c = 0, d = 0;
  if (std::sscanf(text, "%d,%d,%d,%d", &a, &b, &c, &d) != 4) return false;
  out[0] = a, out[1] = b, out[2] = c, out[3] = d;
  return true;
}

void write_four(const char* key, int32_t a, int32_t b, int32_t c, int32_t d) {
  char text[64];
  std::snprintf(text, sizeof text, "%d,%d,%d,%d", a, b, c, d);
  zr_io_put_string(kSection, key, text, settings_file());
}

void append_size(int32_t width, int32_t height, int32_t refresh) {
  for (int16_t bpp : kDepths) {
    if (g_modes.count >= ZR_MODE_MAX) return;
    g_modes.table[g_modes.count++] = ZR_VIDEO_MODE{width, height, bpp, 0, refresh, 0};
  }
}

bool size_listed(int32_t width, int32_t height) {
  for (int i = 0; i < g_modes.count; ++i) {
    if (g_modes.table[i].width == width && g_modes.table[i].height == height) return true;
  }
  return false;
}

int preferred_mode(int16_t flag) {
  for (const ZR_PREFERRED_SIZE* size = ZR_PREFERRED_SIZES; size->width; ++size) {
    if (size->flags & flag) return zr_dsp_find_mode(size->width, size->height, 8);
  }
  return -1;
}

void remember_window_rect() {
  if (!zr_window_is_open() || zr_window_is_fullscreen()) return;
  zr_window_get_rect(&g_modes.winLeft, &g_modes.winTop, &g_modes.winWidth, &g_modes.winHeight);
}

void publish_flags() {
  const ZR_VIDEO_MODE* mode = zr_dsp_mode(g_modes.current);
  if (g_flags.fullscreen) *g_flags.fullscreen = g_modes.fullscreen ? 1 : 0;
  if (g_flags.lowRes) *g_flags.lowRes = 0;
  if (g_flags.highRes) *g_flags.highRes = 0;
  if (g_modes.current >= 0 && g_modes.current == zr_dsp_low_res_mode()) {
    if (g_flags.lowRes) *g_flags.lowRes = 1;
  } else if (g_modes.current >= 0 && g_modes.current == zr_dsp_high_res_mode()) {
    if (g_flags.highRes) *g_flags.highRes = 1;
  }
  if (g_flags.mode && mode) *g_flags.mode = *mode;
}

// Grows or shrinks the frame so that it fills the current mode.
void fit_frame_to_mode() {
  const ZR_VIDEO_MODE* mode = zr_dsp_mode(g_modes.current);
  ZR_BITMAP* frame = zr_dsp_frame_buffer();
  if (mode == nullptr || frame->pixels == nullptr) return;
  zr_dsp_resize(frame, nullptr, mode->width - frame->width, mode->height - frame->height);
}

}  // namespace

void zr_dsp_set_desktop_source(ZR_DESKTOP_SOURCE source) {
  g_source = source;
}

void zr_dsp_set_flags(const ZR_DSP_FLAGS* flags) {
  g_flags = flags ? *flags : ZR_DSP_FLAGS{};
}

void zr_dsp_read_settings(int32_t left, int32_t top, int32_t width, int32_t height) {
  const ZR_DESKTOP_SOURCE keepSource = g_source;
  g_modes = Modes{};
  g_modes.current = g_modes.desktop = g_modes.window = g_modes.full = -1;
  g_source = keepSource;
  const char* file = settings_file();
  char text[128] = "";
  int w = 0, h = 0, bpp = 0;
  if (zr_io_get_string(kSection, "Resolution", text, sizeof text, file) &&
      std::sscanf(text, "%dx%dx%d", &w, &h, &bpp) == 3) {
    g_modes.configured = true;
    g_modes.configWidth = w;
    g_modes.configHeight = h;
    g_modes.configBpp = bpp;
  }
  int32_t rect[4] = {left, top, width, height};
  if (read_four("WindowPosition", rect) && rect[2] > 0 && rect[3] > 0) {
    g_modes.winLeft = rect[0];
    g_modes.winTop = rect[1];
  } else {
    rect[0] = left, rect[1] = top, rect[2] = width, rect[3] = height;
    g_modes.winLeft = left;
    g_modes.winTop = top;
  }
  g_modes.winWidth = rect[2];
  g_modes.winHeight = rect[3];
  int32_t full = 0;
  g_modes.fullscreen = zr_io_get_int(kSection, "Fullscreen", &full, file) && full != 0;
  int32_t at[4];
  if (read_four("FullPosition", at) && at[2] > 0 && at[3] > 0) {
    g_modes.haveFullPosition = true;
    g_modes.fullPosition = ZR_RECT{int16_t(at[0]), int16_t(at[1]), int16_t(at[2]), int16_t(at[3])};
  }
  int32_t integer = 0;
  g_modes.integerScaling = zr_io_get_int(kSection, "IntegerScaling", &integer, file) && integer;
  zr_window_set_integer_scaling(g_modes.integerScaling);
}

void zr_dsp_write_settings() {
  const char* file = settings_file();
  zr_io_put_int(kSection, "Fullscreen", g_modes.fullscreen ? 1 : 0, file);
  if (const ZR_VIDEO_MODE* mode = zr_dsp_mode(g_modes.current)) {
    char text[64];
    std::snprintf(text, sizeof text, "%dx%dx%d", mode->width, mode->height, mode->bpp);
    zr_io_put_string(kSection, "Resolution", text, file);
  }
  remember_window_rect();
  write_four("WindowPosition", g_modes.winLeft, g_modes.winTop, g_modes.winWidth,
             g_modes.winHeight);
  if (g_modes.fullscreen) {
    const ZR_BITMAP* frame = zr_dsp_frame_buffer();
    g_modes.haveFullPosition = true;
    g_modes.fullPosition = ZR_RECT{frame->x, frame->y, frame->width, frame->height};
  }
  if (g_modes.haveFullPosition) {
    const ZR_RECT& at = g_modes.fullPosition;
    write_four("FullPosition", at.x, at.y, at.w, at.h);
  }
  zr_io_put_int(kSection, "IntegerScaling", g_modes.integerScaling ? 1 : 0, file);
}

void zr_dsp_window_rect(int32_t* left, int32_t* top, int32_t* width, int32_t* height) {
  if (left) *left = g_modes.winLeft;
  if (top) *top = g_modes.winTop;
  if (width) *width = g_modes.winWidth;
  if (height) *height = g_modes.winHeight;
}

int zr_dsp_enum_modes() {
  ZR_DESKTOP desktop{};
  (g_source ? g_source : platform_desktop)(&desktop);
  if (desktop.count < 0) desktop.count = 0;
  if (desktop.count > ZR_MODE_MAX) desktop.count = ZR_MODE_MAX;
  g_modes.count = 0;
  for (const ZR_PREFERRED_SIZE* size = ZR_PREFERRED_SIZES; size->width; ++size) {
    append_size(size->width, size->height, 0);
  }
  for (int i = 0; i < desktop.count; ++i) {
    const auto& mode = desktop.modes[i];
    if (mode.width > 0 && mode.height > 0 && !size_listed(mode.width, mode.height)) {
      append_size(mode.width, mode.height, mode.refresh);
    }
  }
  if (desktop.width > 0 && desktop.height > 0 && !size_listed(desktop.width, desktop.height)) {
    append_size(desktop.width, desktop.height, desktop.refresh);
  }
  g_modes.current = -1;
  if (g_modes.configured) {
    g_modes.current =
        zr_dsp_find_mode(g_modes.configWidth, g_modes.configHeight, g_modes.configBpp);
  }
  g_modes.desktop = -1;
  for (int i = 0; i < g_modes.count; ++i) {
    const ZR_VIDEO_MODE& mode = g_modes.table[i];
    if (mode.width == desktop.width && mode.height == desktop.height && mode.bpp == desktop.bpp) {
      g_modes.desktop = i;
    }
  }
  if (g_modes.current < 0) g_modes.current = g_modes.desktop;
  if (g_modes.current < 0 || g_modes.desktop < 0) {
    zr_message_box("We could not determine the graphic mode.", nullptr, MB_OK);
    return 0;
  }
  if (g_modes.fullscreen) {
    g_modes.full = g_modes.current;
  } else {
    g_modes.window = g_modes.current;
  }
  return 1;
}

int zr_dsp_find_mode(int32_t width, int32_t height, int32_t bpp) {
  for (int i = 0; i < g_modes.count; ++i) {
    const ZR_VIDEO_MODE& mode = g_modes.table[i];
    if (mode.width == width && mode.height == height && mode.bpp == bpp && mode.kind != 2) {
      return i;
    }
  }
  return -1;
}

int zr_dsp_mode_count() {
  return g_modes.count;
}

const ZR_VIDEO_MODE* zr_dsp_mode(int index) {
  return index >= 0 && index < g_modes.count ? &g_modes.table[index] : nullptr;
}

int zr_dsp_current_mode() {
  return g_modes.current;
}
int zr_dsp_desktop_mode() {
  return g_modes.desktop;
}
int zr_dsp_window_mode() {
  return g_modes.window;
}
int zr_dsp_full_mode() {
  return g_modes.full;
}
bool zr_dsp_256_colours() {
  return g_modes.colours256;
}
int zr_dsp_low_res_mode() {
  return preferred_mode(ZR_SIZE_LOW_RES);
}
int zr_dsp_high_res_mode() {
  return preferred_mode(ZR_SIZE_HIGH_RES);
}

int zr_dsp_set_mode() {
  const ZR_VIDEO_MODE* mode = zr_dsp_mode(g_modes.current);
  if (mode == nullptr) return 0;
  if (g_modes.fullscreen) remember_window_rect();
  if (!zr_dsp_switch(mode->width, mode->height, mode->bpp, g_modes.fullscreen)) return 0;
  if (g_modes.fullscreen && g_modes.haveFullPosition) {
    zr_dsp_set_full_position(&g_modes.fullPosition);
  }
  g_modes.colours256 = mode->bpp == 8;
  publish_flags();
  if (g_callback) g_callback();
  return 1;
}

void zr_dsp_change_mode(int index) {
  if (zr_dsp_mode(index) == nullptr) return;
  if (g_modes.fullscreen) {
    g_modes.full = index;
  } else {
    g_modes.window = index;
  }
  g_modes.current = index;
  if (zr_dsp_set_mode()) return;
  g_modes.current = g_modes.desktop;
  g_modes.fullscreen = false;
  if (zr_dsp_set_mode()) {
    zr_message_box("An error occured while switching video mode. Using default video mode.",
                   nullptr, MB_OK);
  } else {
    zr_message_box("Error switching mode, Quitting!", "Fatal Error", MB_OK);
    zr_post_message(WM_CLOSE, 0, 0);
  }
}

namespace {

void special_size(int index) {
  if (index >= 0) {
    g_modes.fullscreen = true;
    g_modes.haveFullPosition = false;
    zr_dsp_change_mode(index);
    fit_frame_to_mode();
  }
  zr_post_message(WM_LBUTTONDOWN, 0, 0);
}

}  // namespace

void zr_dsp_low_res() {
  special_size(zr_dsp_low_res_mode());
}

void zr_dsp_high_res() {
  special_size(zr_dsp_high_res_mode());
}

void zr_dsp_toggle_fullscreen() {
  if (!g_modes.fullscreen) remember_window_rect();
  g_modes.fullscreen = !g_modes.fullscreen;
  int index = g_modes.fullscreen ? g_modes.full : g_modes.window;
  if (index < 0 && g_modes.fullscreen) {
    // First time on a full screen: the mode of the frame's size at the current depth, so that
    // the picture fills the screen.
    const ZR_BITMAP* frame = zr_dsp_frame_buffer();
    const ZR_VIDEO_MODE* mode = zr_dsp_mode(g_modes.current);
    index = zr_dsp_find_mode(frame->width, frame->height, mode ? mode->bpp : 32);
  }
  if (index < 0) index = g_modes.current;
  zr_dsp_change_mode(index);
  if (!g_modes.fullscreen && g_modes.winWidth > 0 && g_modes.winHeight > 0) {
    zr_window_set_rect(g_modes.winLeft, g_modes.winTop, g_modes.winWidth, g_modes.winHeight);
  }
  zr_post_message(WM_LBUTTONDOWN, 0, 0);
}

void zr_dsp_toggle_256_colours() {
  const ZR_VIDEO_MODE* mode = zr_dsp_mode(g_modes.current);
  const ZR_VIDEO_MODE* desktop = zr_dsp_mode(g_modes.desktop);
  if (mode == nullptr || desktop == nullptr) return;
  g_modes.colours256 = !g_modes.colours256;
  const int index =
      zr_dsp_find_mode(mode->width, mode->height, g_modes.colours256 ? 8 : desktop->bpp);
  if (index < 0) {
    g_modes.colours256 = !g_modes.colours256;
    zr_message_box("This resolution isn't supported!", nullptr, MB_OK);
  } else {
    zr_dsp_change_mode(index);
  }
  zr_post_message(WM_LBUTTONDOWN, 0, 0);
}

void zr_dsp_preferred_size(int index) {
  int count = 0;
  while (ZR_PREFERRED_SIZES[count].width) ++count;
  if (index >= 0 && index < count) {
    const ZR_PREFERRED_SIZE& size = ZR_PREFERRED_SIZES[index];
    const int mode = zr_dsp_find_mode(size.width, size.height, 8);
    if (mode >= 0) zr_dsp_change_mode(mode);
  }
  zr_post_message(WM_LBUTTONDOWN, 0, 0);
}

int zr_dsp_restore_desktop() {
  const ZR_VIDEO_MODE* desktop = zr_dsp_mode(g_modes.desktop);
  if (desktop == nullptr || g_modes.current == g_modes.desktop) return 0;
  // The rule as it stands: a desktop of 640 x 480 is wider than 639 and is switched back to.
  if (desktop->width <= 639 && desktop->height <= 479) return 0;
  g_modes.current = g_modes.desktop;
  g_modes.fullscreen = false;
  if (!zr_dsp_set_mode()) zr_message_box("Error restoring video mode!", nullptr, MB_OK);
  return 1;
}

void zr_dsp_set_mode_callback(ZR_DSP_MODE_CALLBACK callback) {
  g_callback = callback;
}

void zr_dsp_set_language_writer(ZR_DSP_MODE_CALLBACK writer) {
  g_languageWriter = writer;
}

void zr_dsp_write_language() {
  if (g_languageWriter) g_languageWriter();
}
