#include "engine/display/display.h"

#include <cmath>
#include <cstring>

#include "engine/core/list.h"
#include "engine/core/memory.h"
#include "engine/display/palette.h"
#include "engine/display/video_mode.h"
#include "engine/platform/message_box.h"
#include "engine/platform/messages.h"
#include "engine/platform/video.h"

namespace {

constexpr int16_t kMinWidth = 320;
constexpr int16_t kMinHeight = 200;
// Reserves around the frame on a full screen: none in this program.
constexpr int kReserveX = 0;
constexpr int kReserveY = 0;

// A registered rectangle and its values at the base size.
struct RectEntry {
  ZR_RECT* rect;
  ZR_RECT base;
};

struct Display {
  ZR_BITMAP frame;
  ZR_BITMAP* appFrame;
  int32_t* displayReady;
  int32_t* appActive;
  ZR_DSP_CALLBACK resize;
  ZR_SURFACE back;
  int depth;
  bool started;
  bool ready;
  bool surfacesExist;
  bool active;
  int screenWidth;  // 0: the desktop work area
  int screenHeight;
  bool fullscreen;  // the back surface is the mode's size, the frame placed in it
  int modeWidth;
  int modeHeight;
  ZR_RECT fullPosition;  // the frame's place on a full screen (w 0: centred)
  ZR_LIST* rects;
};

Display g_dsp{};

void set_app_ready(int value) {
  if (g_dsp.displayReady) *g_dsp.displayReady = value;
}

void write_app_frame() {
  if (g_dsp.appFrame && g_dsp.appFrame != &g_dsp.frame) *g_dsp.appFrame = g_dsp.frame;
}

void screen_size(int* width, int* height) {
  if (g_dsp.fullscreen && g_dsp.modeWidth > 0 && g_dsp.modeHeight > 0) {
    *width = g_dsp.modeWidth;
    *height = g_dsp.modeHeight;
    return;
  }
  *width = g_dsp.screenWidth;
  *height = g_dsp.screenHeight;
  if (*width > 0 && *height > 0) return;
  zr_platform_work_area(width, height);
  // Without a desktop (headless) the largest 4x window stands in for it.
  if (*width <= 0 || *height <= 0) {
    *width = 4 * ZR_DSP_BASE_WIDTH;
    *height = 4 * ZR_DSP_BASE_HEIGHT;
  }
}

uint32_t mask_for(int bpp, int channel) {
  static constexpr uint32_t k565[3] = {0xF800, 0x07E0, 0x001F};
  static constexpr uint32_t k888[3] = {0xFF0000, 0x00FF00, 0x0000FF};
  return bpp == 16 ? k565[channel] : k888[channel];
}

void free_surfaces() {
  if (g_dsp.back.pixels) zr_surface_free(&g_dsp.back);
  g_dsp.back = ZR_SURFACE{};
}

// The frame's place on the back surface: the origin in a window (the surface is the frame's
// size), centred on a full screen unless FullPosition placed it.
void place_frame() {
  if (!g_dsp.fullscreen) {
    g_dsp.frame.x = g_dsp.frame.y = 0;
    return;
  }
  const ZR_RECT& at = g_dsp.fullPosition;
  if (at.w == g_dsp.frame.width && at.h == g_dsp.frame.height && at.x >= 0 && at.y >= 0 &&
      at.x + at.w <= g_dsp.modeWidth && at.y + at.h <= g_dsp.modeHeight) {
    g_dsp.frame.x = at.x;
    g_dsp.frame.y = at.y;
    return;
  }
  g_dsp.frame.x = static_cast<int16_t>((g_dsp.modeWidth - kReserveX - g_dsp.frame.width) / 2);
  g_dsp.frame.y = static_cast<int16_t>((g_dsp.modeHeight - kReserveY - g_dsp.frame.height) / 2);
}

// The mode switch: in a window the back surface is the frame's size, on a full screen the mode's
// size; both at the mode's depth. The platform scales the surface into the window or screen.
int build_surfaces() {
  g_dsp.ready = false;
  g_dsp.surfacesExist = false;
  set_app_ready(0);
  free_surfaces();
  const bool full = g_dsp.fullscreen && g_dsp.modeWidth > 0 && g_dsp.modeHeight > 0;
  const int width = full ? g_dsp.modeWidth : g_dsp.frame.width;
  const int height = full ? g_dsp.modeHeight : g_dsp.frame.height;
  if (!zr_surface_create(&g_dsp.back, width, height, g_dsp.depth)) {
    g_dsp.back = ZR_SURFACE{};
    return 0;
  }
  if (!zr_pal_select(g_dsp.depth, mask_for(g_dsp.depth, 0), mask_for(g_dsp.depth, 1),
                     mask_for(g_dsp.depth, 2))) {
    free_surfaces();
    return 0;
  }
  g_dsp.surfacesExist = true;
  place_frame();
  zr_dsp_clear();
  write_app_frame();
  g_dsp.ready = true;
  set_app_ready(1);
  return 1;
}

void fill_back_black() {
  const ZR_SURFACE& s = g_dsp.back;
  if (s.pixels == nullptr) return;
  for (int r = 0; r < s.height; ++r) {
    std::memset(s.pixels + static_cast<size_t>(r) * s.pitch, 0,
                static_cast<size_t>(s.width) * (s.bpp / 8));
  }
}

int16_t scaled(int16_t base, double factor) {
  return static_cast<int16_t>(std::nearbyint(base * factor));
}

void rescale(RectEntry* entry) {
  if (g_dsp.frame.width <= 0 || g_dsp.frame.height <= 0) return;
  const double sx = static_cast<double>(g_dsp.frame.width) / ZR_DSP_BASE_WIDTH;
  const double sy = static_cast<double>(g_dsp.frame.height) / ZR_DSP_BASE_HEIGHT;
  entry->rect->x = scaled(entry->base.x, sx);
  entry->rect->w = scaled(entry->base.w, sx);
  entry->rect->y = scaled(entry->base.y, sy);
  entry->rect->h = scaled(entry->base.h, sy);
}

void rescale_all() {
  if (g_dsp.rects == nullptr) return;
  zr_list_rewind(g_dsp.rects);
  while (zr_list_more(g_dsp.rects)) {
    rescale(static_cast<RectEntry*>(zr_list_next(g_dsp.rects)));
  }
}

}  // namespace

int zr_dsp_init() {
  ZR_LIST* rects = g_dsp.rects;
  g_dsp = Display{};
  g_dsp.rects = rects;
  g_dsp.depth = 32;
  zr_pal_reset();
  const ZR_RECT base{0, 0, ZR_DSP_BASE_WIDTH, ZR_DSP_BASE_HEIGHT};
  if (!zr_bitmap_create(&g_dsp.frame, &base)) return 0;
  std::memset(g_dsp.frame.pixels, 0, static_cast<size_t>(base.w) * base.h);
  zr_mem_name(g_dsp.frame.pixels, "zr_dsp frame buffer");
  if (!zr_bitmap_scratch_reserve(ZR_DSP_SCRATCH_START)) {
    zr_bitmap_free(&g_dsp.frame);
    return 0;
  }
  if (g_dsp.rects == nullptr && !zr_list_create(&g_dsp.rects)) {
    zr_bitmap_free(&g_dsp.frame);
    zr_bitmap_scratch_free();
    return 0;
  }
  return 1;
}

int zr_dsp_start(const ZR_DSP_START* start) {
  if (start == nullptr || g_dsp.frame.pixels == nullptr) return 0;
  g_dsp.appFrame = start->frameBuffer;
  g_dsp.resize = start->resize;
  g_dsp.displayReady = start->displayReady;
  g_dsp.appActive = start->appActive;
  if (g_dsp.appFrame && g_dsp.appFrame != &g_dsp.frame) *g_dsp.appFrame = ZR_BITMAP{};
  g_dsp.started = true;
  return build_surfaces();
}

void zr_dsp_stop() {
  if (g_dsp.ready) {
    zr_dsp_write_settings();
    zr_dsp_write_language();
    zr_bitmap_clear(&g_dsp.frame, nullptr);
    zr_dsp_clear();
  }
  zr_dsp_restore_desktop();
  g_dsp.started = false;
  zr_dsp_release();
}

int zr_dsp_set_depth(int bpp) {
  if (bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return 0;
  g_dsp.depth = bpp;
  if (!g_dsp.started) return 1;
  return build_surfaces();
}

ZR_BITMAP* zr_dsp_frame_buffer() {
  return &g_dsp.frame;
}
const ZR_SURFACE* zr_dsp_back_surface() {
  return g_dsp.surfacesExist ? &g_dsp.back : nullptr;
}

void zr_dsp_copy(ZR_BITMAP* bitmap, int options) {
  if (bitmap == nullptr || !g_dsp.surfacesExist) return;
  if (options & ZR_DSP_COPY_CENTRE) {
    bitmap->x = static_cast<int16_t>((g_dsp.back.width - bitmap->width) / 2);
    bitmap->y = static_cast<int16_t>((g_dsp.back.height - bitmap->height) / 2);
  }
  zr_pal_copy(&g_dsp.back, bitmap);
}

int zr_dsp_flip() {
  if (!g_dsp.surfacesExist) return 0;
  zr_window_present(&g_dsp.back, zr_pal_current());
  return 1;
}

void zr_dsp_repaint() {
  if (!g_dsp.surfacesExist) return;
  zr_pal_copy(&g_dsp.back, &g_dsp.frame);
  zr_window_present(&g_dsp.back, zr_pal_current());
}

int zr_dsp_clear() {
  if (!g_dsp.surfacesExist) return 1;
  if (zr_pal_is_set()) zr_pal_apply(zr_pal_current());
  fill_back_black();
  zr_pal_copy(&g_dsp.back, &g_dsp.frame);
  zr_window_present(&g_dsp.back, zr_pal_current());
  return 1;
}

void zr_dsp_resize(ZR_BITMAP* frame, int32_t* rectOut, int dw, int dh) {
  (void)frame;  // always the frame buffer; the application's copy is rewritten below
  ZR_BITMAP& f = g_dsp.frame;
  // Window mode: the frame sits at the surface's origin; full screen: centred on the mode.
  g_dsp.fullPosition = ZR_RECT{};
  place_frame();
  if (rectOut) {
    rectOut[0] = f.x;
    rectOut[1] = f.y;
    rectOut[2] = f.x + f.width;
    rectOut[3] = f.y + f.height;
  }
  if (dw == 0 && dh == 0) return;
  int screenWidth = 0, screenHeight = 0;
  screen_size(&screenWidth, &screenHeight);
  int width = f.width, height = f.height;
  if (f.width + dw >= kMinWidth && f.width + dw <= screenWidth - kReserveX) width += dw;
  if (f.height + dh >= kMinHeight && f.height + dh <= screenHeight - kReserveY) height += dh;
  if (width == f.width && height == f.height) return;
  const size_t bytes = static_cast<size_t>(width) * height;
  void* grown = zr_mem_realloc(f.pixels, bytes);
  if (grown == nullptr) {
    zr_message_box(
        "Sorry, I can't allocate enough memory! Please close other applications and try again",
        nullptr, MB_OK);
    zr_post_message(WM_CLOSE, 0, 0);
    return;
  }
  zr_mem_name(grown, "zr_dsp resize");
  f.pixels = static_cast<uint8_t*>(grown);
  // The old rows no longer line up with the new width: start from a cleared frame.
  std::memset(f.pixels, 0, bytes);
  f.w = f.width = static_cast<int16_t>(width);
  f.h = f.height = static_cast<int16_t>(height);
  place_frame();
  if (rectOut) {
    rectOut[0] = f.x;
    rectOut[1] = f.y;
    rectOut[2] = f.x + f.width;
    rectOut[3] = f.y + f.height;
  }
  write_app_frame();
  rescale_all();
  if (g_dsp.resize && g_dsp.started) g_dsp.resize();
  // In a window the back surface follows the frame's size; on a full screen it is the mode's.
  if (g_dsp.surfacesExist && g_dsp.fullscreen) {
    if (g_dsp.ready) zr_dsp_clear();
  } else if (g_dsp.surfacesExist) {
    const bool wasReady = g_dsp.ready;
    build_surfaces();
    if (!wasReady) {
      g_dsp.ready = false;
      set_app_ready(0);
    }
  }
}

void zr_dsp_release() {
  g_dsp.ready = false;
  g_dsp.surfacesExist = false;
  set_app_ready(0);
  free_surfaces();
}

void zr_dsp_free() {
  zr_dsp_release();
  zr_bitmap_free(&g_dsp.frame);
  g_dsp.frame = ZR_BITMAP{};
  if (g_dsp.appFrame && g_dsp.appFrame != &g_dsp.frame) *g_dsp.appFrame = ZR_BITMAP{};
  zr_bitmap_scratch_free();
  if (g_dsp.rects) {
    while (zr_list_count(g_dsp.rects) > 0) {
      auto* entry = static_cast<RectEntry*>(zr_list_pop_front(g_dsp.rects));
      if (entry) zr_mem_free(entry);
    }
    zr_list_destroy(g_dsp.rects);
    g_dsp.rects = nullptr;
  }
}

void zr_dsp_set_active(int active) {
  // Process priority classes have no counterpart here; the flags are what matter.
  g_dsp.active = active == 1;
  if (g_dsp.appActive) *g_dsp.appActive = g_dsp.active ? 1 : 0;
}

int zr_rect_register(ZR_RECT* rect) {
  if (rect == nullptr) return 0;
  if (g_dsp.rects == nullptr && !zr_list_create(&g_dsp.rects)) return 0;
  auto* entry = static_cast<RectEntry*>(zr_mem_malloc(sizeof(RectEntry)));
  if (entry == nullptr) return 0;
  entry->rect = rect;
  entry->base = *rect;
  rescale(entry);
  if (!zr_list_append(g_dsp.rects, entry)) {
    zr_mem_free(entry);
    return 0;
  }
  return 1;
}

int zr_rect_unregister(ZR_RECT* rect) {
  if (g_dsp.rects == nullptr || rect == nullptr) return 0;
  zr_list_rewind(g_dsp.rects);
  while (zr_list_more(g_dsp.rects)) {
    auto* entry = static_cast<RectEntry*>(zr_list_next(g_dsp.rects));
    if (entry && entry->rect == rect) {
      zr_list_remove(g_dsp.rects, entry);
      zr_mem_free(entry);
      return 1;
    }
  }
  return 0;
}

bool zr_dsp_is_started() {
  return g_dsp.started;
}
bool zr_dsp_is_ready() {
  return g_dsp.ready;
}
bool zr_dsp_surfaces_exist() {
  return g_dsp.surfacesExist;
}
bool zr_dsp_is_active() {
  return g_dsp.active;
}

int zr_dsp_switch(int width, int height, int bpp, bool fullscreen) {
  if (bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return 0;
  if (fullscreen && (width <= 0 || height <= 0)) return 0;
  g_dsp.depth = bpp;
  g_dsp.fullscreen = fullscreen;
  g_dsp.modeWidth = width;
  g_dsp.modeHeight = height;
  zr_window_set_fullscreen(fullscreen);
  if (!g_dsp.started) return 1;
  const int built = build_surfaces();
  write_app_frame();
  return built;
}

bool zr_dsp_is_fullscreen() {
  return g_dsp.fullscreen;
}

void zr_dsp_set_full_position(const ZR_RECT* rect) {
  g_dsp.fullPosition = rect ? *rect : ZR_RECT{};
  if (g_dsp.surfacesExist) {
    place_frame();
    write_app_frame();
  }
}

void zr_dsp_set_screen_size(int width, int height) {
  g_dsp.screenWidth = width;
  g_dsp.screenHeight = height;
}

void zr_dsp_draw_test_card(ZR_BITMAP* frame, const uint8_t* palette) {
  if (frame == nullptr || frame->pixels == nullptr || frame->width < 16 || frame->height < 16) {
    return;
  }
  // The brightest, darkest and a middle entry give the card its frame, ground and sprite.
  int light = 255, dark = 0, middle = 128;
  if (palette) {
    int best = -1, worst = 1 << 30, closest = 1 << 30;
    for (int i = 0; i < 256; ++i) {
      const int sum = palette[3 * i] + palette[3 * i + 1] + palette[3 * i + 2];
      if (sum > best) best = sum, light = i;
      if (sum < worst) worst = sum, dark = i;
      const int off = sum > 382 ? sum - 382 : 382 - sum;
      if (off < closest) closest = off, middle = i;
    }
  }
  std::memset(frame->pixels, dark, static_cast<size_t>(frame->width) * frame->height);

  // The 256 colours as a 16 x 16 grid of square cells on the left, scaled to the frame's height.
  const int cell = (frame->height - 8) / 16;
  ZR_RECT swatch{0, 0, 1, 1};
  ZR_BITMAP one{};
  uint8_t index = 0;
  one.width = one.height = one.w = one.h = 1;
  one.bpp = 8;
  one.pixels = &index;
  for (int i = 0; i < 256; ++i) {
    index = static_cast<uint8_t>(i);
    const ZR_RECT to{static_cast<int16_t>(4 + (i % 16) * cell),
                     static_cast<int16_t>(4 + (i / 16) * cell), static_cast<int16_t>(cell - 1),
                     static_cast<int16_t>(cell - 1)};
    zr_bitmap_blit(frame, &one, &swatch, &to, ZR_BLIT_STRETCH);
  }

  // A small sprite: a ring of light on a transparent ground, crossed by diagonals of colours.
  constexpr int kSide = 24;
  uint8_t pattern[kSide * kSide];
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const int dx = 2 * x - kSide + 1, dy = 2 * y - kSide + 1;
      const int d2 = dx * dx + dy * dy;
      uint8_t v = 0;
      if (d2 > 300 && d2 < 500) v = static_cast<uint8_t>(light);
      if (x == y || x + y == kSide - 1) v = static_cast<uint8_t>(16 + 8 * (x / 3));
      pattern[y * kSide + x] = v;
    }
  }
  ZR_BITMAP sprite{};
  sprite.width = sprite.height = sprite.w = sprite.h = kSide;
  sprite.bpp = 8;
  sprite.pixels = pattern;

  const int left = 8 + 16 * cell;
  const int room = frame->width - left - 4;
  if (room < 4 * kSide + 8 || frame->height < 2 * kSide + 16) return;
  // A checkered ground behind the copies, so that what the masked ones leave out shows.
  const int groundTop = 4, groundBottom = frame->height - 4;
  for (int y = groundTop; y < groundBottom; ++y) {
    for (int x = left; x < left + room; ++x) {
      const bool odd = ((x - left) / 4 + (y - groundTop) / 4) & 1;
      frame->pixels[static_cast<size_t>(y) * frame->width + x] =
          static_cast<uint8_t>(odd ? middle : dark);
    }
  }
  // Plain copy, masked copy, double size with scanlines, and a stretch by the vertical ratio.
  const ZR_RECT plain{static_cast<int16_t>(left), 4, kSide, kSide};
  const ZR_RECT masked{static_cast<int16_t>(left + kSide + 4), 4, kSide, kSide};
  const ZR_RECT doubled{static_cast<int16_t>(left + 2 * kSide + 8), 4, 2 * kSide, 2 * kSide};
  zr_bitmap_blit(frame, &sprite, nullptr, &plain, 0);
  zr_bitmap_blit_masked(frame, &sprite, nullptr, &masked, 0);
  zr_bitmap_blit_masked(frame, &sprite, nullptr, &doubled, ZR_BLIT_DOUBLE | ZR_BLIT_SCANLINES);
  const int top = 4 + 2 * kSide + 8;
  const ZR_RECT stretched{static_cast<int16_t>(left), static_cast<int16_t>(top),
                          static_cast<int16_t>(room), static_cast<int16_t>(groundBottom - top)};
  zr_bitmap_blit_masked(frame, &sprite, nullptr, &stretched, ZR_BLIT_STRETCH);
}
