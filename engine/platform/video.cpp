#include "engine/platform/video.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/platform/imgui_host.h"
#include "engine/platform/menu_bar.h"
#include "engine/platform/messages.h"
#include "engine/platform/platform_internal.h"

namespace {

bool initialised = false;
bool headless = false;
std::string lastError;
std::string windowTitle;

SDL_Window* window = nullptr;
SDL_Renderer* renderer = nullptr;
SDL_Texture* texture = nullptr;
int textureWidth = 0;
int textureHeight = 0;
std::vector<uint32_t> converted;  // the last presented picture as 0xAARRGGBB
int convertedWidth = 0;
int convertedHeight = 0;
bool integerScaling = false;

bool fail(const std::string& reason) {
  lastError = reason;
  return false;
}

bool hasDisplay() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}

// Drivers that would run without showing anything.
bool isInvisibleDriver(const char* driver) {
  return driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0 ||
                    std::strcmp(driver, "evdev") == 0);
}

uint32_t rgb(uint32_t red, uint32_t green, uint32_t blue) {
  return 0xFF000000u | (red << 16) | (green << 8) | blue;
}

uint32_t from565(uint32_t word) {
  uint32_t red = (word >> 11) & 0x1F, green = (word >> 5) & 0x3F, blue = word & 0x1F;
  // Repeating the top bits keeps full white white.
  return rgb((red << 3) | (red >> 2), (green << 2) | (green >> 4), (blue << 3) | (blue >> 2));
}

// Converts the surface into `out` (rows without padding), the depth chosen once per picture.
void convertPicture(const ZR_SURFACE& surface, const uint8_t* palette, uint32_t* out) {
  std::array<uint32_t, 256> colours;
  if (surface.bpp == 8) {
    for (uint32_t i = 0; i < 256; ++i) {
      colours[i] = palette ? rgb(palette[3 * i], palette[3 * i + 1], palette[3 * i + 2])
                           : rgb(i, i, i);  // no palette: grey levels
    }
  }
  const int width = surface.width;
  for (int row = 0; row < surface.height; ++row, out += width) {
    const uint8_t* in = surface.pixels + size_t(row) * surface.pitch;
    switch (surface.bpp) {
      case 8:
        for (int x = 0; x < width; ++x) out[x] = colours[in[x]];
        break;
      case 16:
        for (int x = 0; x < width; ++x) out[x] = from565(in[2 * x] | (in[2 * x + 1] << 8));
        break;
      case 24:
        for (int x = 0; x < width; ++x) out[x] = rgb(in[3 * x + 2], in[3 * x + 1], in[3 * x]);
        break;
      default:
        for (int x = 0; x < width; ++x) out[x] = rgb(in[4 * x + 2], in[4 * x + 1], in[4 * x]);
        break;
    }
  }
}

bool ensureTexture(int width, int height) {
  if (texture && textureWidth == width && textureHeight == height) return true;
  if (texture) SDL_DestroyTexture(texture);
  texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                              width, height);
  textureWidth = texture ? width : 0;
  textureHeight = texture ? height : 0;
  return texture != nullptr;
}

SDL_Renderer* createRenderer(SDL_Window* target) {
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  SDL_Renderer* made =
      SDL_CreateRenderer(target, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
  if (!made) made = SDL_CreateRenderer(target, -1, SDL_RENDERER_SOFTWARE);
  return made;
}

}  // namespace

SDL_Window* zr_sdl_window() {
  return window;
}

int zr_platform_init(bool wantHeadless) {
  if (initialised) return 1;
  lastError.clear();
  // Ctrl+C and SIGTERM are ours: they close the program through WM_CLOSE.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // Closing the window is a window message, not a second quit event.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  if (wantHeadless) {
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "dummy", SDL_HINT_OVERRIDE);
    // No sound, unless the output is asked to go to a file (SDL_AUDIODRIVER=disk, for tests).
    const char* audio = std::getenv("SDL_AUDIODRIVER");
    const bool toFile = audio && std::strcmp(audio, "disk") == 0;
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, toFile ? "disk" : "dummy", SDL_HINT_OVERRIDE);
  } else {
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, nullptr, SDL_HINT_OVERRIDE);
    // A driver named in the environment is honoured (SDL_AUDIODRIVER=dummy: silent, no box).
    const char* audio = std::getenv("SDL_AUDIODRIVER");
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, audio && *audio ? audio : nullptr,
                            SDL_HINT_OVERRIDE);
    if (!hasDisplay()) {
      return fail(
          "no display to open a window on (DISPLAY and WAYLAND_DISPLAY are unset); "
          "use --headless");
    }
  }
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    return fail(std::string("cannot start the video: ") + SDL_GetError());
  }
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!wantHeadless && isInvisibleDriver(driver)) {
    SDL_Quit();
    return fail(std::string("the video driver '") + driver + "' shows no window; use --headless");
  }
  headless = wantHeadless;
  initialised = true;
  zr_signals_install();
  return 1;
}

void zr_platform_quit() {
  if (!initialised) return;
  zr_window_close();
  zr_imgui_destroy();
  zr_signals_restore();
  SDL_Quit();
  initialised = false;
  headless = false;
}

bool zr_platform_is_headless() {
  return headless;
}

bool zr_platform_is_started() {
  return initialised;
}

const char* zr_platform_error() {
  return lastError.c_str();
}

void zr_platform_work_area(int* width, int* height) {
  SDL_Rect area = {0, 0, 640, 480};
  if (initialised && SDL_GetDisplayUsableBounds(0, &area) != 0) {
    area.w = 640;
    area.h = 480;
  }
  if (width) *width = area.w;
  if (height) *height = area.h;
}

int zr_window_open(const char* title, int clientWidth, int clientHeight) {
  return zr_window_open_at(title, -1, -1, clientWidth, clientHeight);
}

int zr_window_open_at(const char* title, int x, int y, int clientWidth, int clientHeight) {
  if (!initialised) return fail("the platform is not started");
  if (window) return 1;
  windowTitle = title ? title : "";
  // High-DPI: the renderer draws at the screen's own pixels, so the picture stays sharp.
  uint32_t flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI |
                   (headless ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN);
  window =
      SDL_CreateWindow(windowTitle.c_str(), x < 0 ? int(SDL_WINDOWPOS_CENTERED) : x,
                       y < 0 ? int(SDL_WINDOWPOS_CENTERED) : y, clientWidth, clientHeight, flags);
  if (!window) return fail(std::string("cannot open the window: ") + SDL_GetError());
  if (!headless) {
    renderer = createRenderer(window);
    if (!renderer) {
      std::string reason = std::string("cannot draw into the window: ") + SDL_GetError();
      zr_window_close();
      return fail(reason);
    }
  }
  // A newly shown top window is the active one.
  zr_post_message(WM_ACTIVATE, WA_ACTIVE, 0);
  return 1;
}

void zr_window_close() {
  zr_imgui_detach(window);
  if (texture) SDL_DestroyTexture(texture);
  if (renderer) SDL_DestroyRenderer(renderer);
  if (window) SDL_DestroyWindow(window);
  texture = nullptr;
  renderer = nullptr;
  window = nullptr;
  textureWidth = textureHeight = 0;
}

bool zr_window_is_open() {
  return window != nullptr;
}

void zr_window_client_size(int* width, int* height) {
  int w = 0, h = 0;
  if (renderer) {
    SDL_GetRendererOutputSize(renderer, &w, &h);
  } else if (window) {
    SDL_GetWindowSize(window, &w, &h);
  }
  if (width) *width = w;
  if (height) *height = h;
}

void zr_window_set_title(const char* title) {
  windowTitle = title ? title : "";
  if (window) SDL_SetWindowTitle(window, windowTitle.c_str());
}

void zr_window_set_minimum_size(int clientWidth, int clientHeight) {
  if (window) SDL_SetWindowMinimumSize(window, clientWidth, clientHeight);
}

const char* zr_window_title() {
  return windowTitle.c_str();
}

int zr_surface_create(ZR_SURFACE* surface, int width, int height, int bpp) {
  if (!surface) return 0;
  *surface = ZR_SURFACE{};
  if (width <= 0 || height <= 0 || (bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)) return 0;
  int pitch = (width * (bpp / 8) + 3) & ~3;
  auto* pixels = static_cast<uint8_t*>(std::calloc(size_t(pitch) * height, 1));
  if (!pixels) return 0;
  *surface = ZR_SURFACE{pixels, width, height, pitch, bpp};
  return 1;
}

void zr_surface_free(ZR_SURFACE* surface) {
  if (!surface) return;
  std::free(surface->pixels);
  *surface = ZR_SURFACE{};
}

void zr_window_present(const ZR_SURFACE* surface, const uint8_t* palette) {
  if (!surface || !surface->pixels || surface->width <= 0 || surface->height <= 0) return;
  const int width = surface->width, height = surface->height;
  converted.resize(size_t(width) * height);
  convertedWidth = width;
  convertedHeight = height;
  convertPicture(*surface, palette, converted.data());
  if (!renderer || !ensureTexture(width, height)) return;
  SDL_UpdateTexture(texture, nullptr, converted.data(), width * 4);
  int clientWidth = 0, clientHeight = 0;
  SDL_GetRendererOutputSize(renderer, &clientWidth, &clientHeight);
  // A window that went to or left full screen without a size event (no window manager) would
  // keep the old viewport: it is set to the whole output on every change of size.
  static int viewportWidth = 0, viewportHeight = 0;
  if (clientWidth != viewportWidth || clientHeight != viewportHeight) {
    SDL_RenderSetViewport(renderer, nullptr);
    viewportWidth = clientWidth;
    viewportHeight = clientHeight;
  }
  // In a window the menu bar takes its room above the picture; in full screen it comes over it.
  const int top = std::min(zr_menu_bar_reserved_height(), clientHeight / 2);
  ZR_PLACEMENT place =
      zr_window_fit_scaled(clientWidth, clientHeight - top, width, height, integerScaling);
  SDL_Rect target = {place.x, place.y + top, place.width, place.height};
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  SDL_RenderClear(renderer);
  SDL_RenderCopy(renderer, texture, nullptr, &target);
  zr_menu_bar_draw(window, renderer);
  // Tests and screenshots: ZR_WINDOW_SHOT names a BMP file that gets every presented window
  // picture as the screen shows it (the menu bar included).
  if (const char* shot = std::getenv("ZR_WINDOW_SHOT"); shot && *shot) {
    int w = 0, h = 0;
    SDL_GetRendererOutputSize(renderer, &w, &h);
    if (SDL_Surface* picture =
            SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888)) {
      if (SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, picture->pixels,
                               picture->pitch) == 0) {
        // Written beside and renamed, so that a reader never finds half a picture.
        const std::string partial = std::string(shot) + ".part";
        if (SDL_SaveBMP(picture, partial.c_str()) == 0) std::rename(partial.c_str(), shot);
      }
      SDL_FreeSurface(picture);
    }
  }
  SDL_RenderPresent(renderer);
}

const uint32_t* zr_window_last_picture(int* width, int* height) {
  if (width) *width = convertedWidth;
  if (height) *height = convertedHeight;
  return converted.empty() ? nullptr : converted.data();
}

ZR_PLACEMENT zr_window_fit(int clientWidth, int clientHeight, int pictureWidth, int pictureHeight) {
  if (clientWidth <= 0 || clientHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) {
    return ZR_PLACEMENT{0, 0, 0, 0};
  }
  int factor = std::min(clientWidth / pictureWidth, clientHeight / pictureHeight);
  int width, height;
  if (factor >= 1) {
    width = pictureWidth * factor;
    height = pictureHeight * factor;
  } else if (int64_t(clientWidth) * pictureHeight <= int64_t(clientHeight) * pictureWidth) {
    width = clientWidth;  // the width limits
    height = std::max(1, int(int64_t(clientWidth) * pictureHeight / pictureWidth));
  } else {
    height = clientHeight;
    width = std::max(1, int(int64_t(clientHeight) * pictureWidth / pictureHeight));
  }
  return ZR_PLACEMENT{(clientWidth - width) / 2, (clientHeight - height) / 2, width, height};
}

ZR_PLACEMENT zr_window_fit_scaled(int clientWidth, int clientHeight, int pictureWidth,
                                  int pictureHeight, bool integerOnly) {
  ZR_PLACEMENT place = zr_window_fit(clientWidth, clientHeight, pictureWidth, pictureHeight);
  if (integerOnly || place.width <= 0) return place;
  // A whole factor that fills nine tenths of the limiting side stays sharp; a smaller one would
  // leave wide black borders, so the picture is stretched to fill instead.
  if (place.width * 10 >= clientWidth * 9 || place.height * 10 >= clientHeight * 9) return place;
  // Fill: the whole width or the whole height, whichever limits, the aspect kept.
  int width, height;
  if (int64_t(clientWidth) * pictureHeight <= int64_t(clientHeight) * pictureWidth) {
    width = clientWidth;
    height = std::max(1, int(int64_t(clientWidth) * pictureHeight / pictureWidth));
  } else {
    height = clientHeight;
    width = std::max(1, int(int64_t(clientHeight) * pictureWidth / pictureHeight));
  }
  return ZR_PLACEMENT{(clientWidth - width) / 2, (clientHeight - height) / 2, width, height};
}

void zr_window_set_integer_scaling(bool integerOnly) {
  integerScaling = integerOnly;
}

bool zr_window_integer_scaling() {
  return integerScaling;
}

int zr_platform_display_modes(ZR_DISPLAY_MODE* modes, int max, ZR_DISPLAY_MODE* desktop,
                              int* desktopBpp) {
  ZR_DISPLAY_MODE own = {640, 480, 0};
  int ownBpp = 32;
  int count = 0;
  if (initialised) {
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
      own = ZR_DISPLAY_MODE{mode.w, mode.h, mode.refresh_rate};
      ownBpp = SDL_BYTESPERPIXEL(mode.format) * 8;
      if (ownBpp != 8 && ownBpp != 16 && ownBpp != 24) ownBpp = 32;
    }
    const int listed = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < listed && count < max; ++i) {
      if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
      bool seen = false;
      for (int j = 0; j < count && !seen; ++j)
        seen = modes[j].width == mode.w && modes[j].height == mode.h;
      if (!seen) modes[count++] = ZR_DISPLAY_MODE{mode.w, mode.h, mode.refresh_rate};
    }
  }
  if (count == 0 && max > 0) modes[count++] = own;
  if (desktop) *desktop = own;
  if (desktopBpp) *desktopBpp = ownBpp;
  return count;
}

void zr_window_set_fullscreen(bool fullscreen) {
  if (!window) return;
  const bool now = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
  if (now == fullscreen) return;
  SDL_SetWindowFullscreen(window, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  zr_menu_bar_set_show(fullscreen ? ZR_MENU_ON_DEMAND : ZR_MENU_ALWAYS);
  // An OpenGL renderer may keep the drawable's old height for its viewport (seen without a
  // window manager): a renderer made anew for the new size has none of that.
  if (renderer) {
    SDL_PumpEvents();
    zr_imgui_detach(window);
    if (texture) SDL_DestroyTexture(texture);
    texture = nullptr;
    textureWidth = textureHeight = 0;
    SDL_DestroyRenderer(renderer);
    renderer = createRenderer(window);
  }
}

bool zr_window_is_fullscreen() {
  return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
}

void zr_window_get_rect(int* x, int* y, int* width, int* height) {
  // The client area, the same rectangle the window is opened and set with: a rectangle that
  // counted the frame would grow the window by the frame at every start.
  int left = 0, top = 0, w = 0, h = 0;
  if (window) {
    SDL_GetWindowPosition(window, &left, &top);
    SDL_GetWindowSize(window, &w, &h);
  }
  if (x) *x = left;
  if (y) *y = top;
  if (width) *width = w;
  if (height) *height = h;
}

void zr_window_set_rect(int x, int y, int width, int height) {
  if (!window || zr_window_is_fullscreen()) return;
  SDL_SetWindowSize(window, std::max(1, width), std::max(1, height));
  SDL_SetWindowPosition(window, x, y);
}

void zr_window_raise() {
  if (!window) return;
  if (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(window);
  SDL_ShowWindow(window);
  SDL_RaiseWindow(window);
  SDL_SetWindowInputFocus(window);
}

int zr_window_factor_for(int workWidth, int workHeight, int baseWidth, int baseHeight,
                         int maxFactor) {
  if (baseWidth <= 0 || baseHeight <= 0) return 1;
  int factor = std::min(workWidth / baseWidth, workHeight / baseHeight);
  return std::clamp(factor, 1, std::max(1, maxFactor));
}
