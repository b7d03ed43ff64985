#include "engine/platform/video.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

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
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, nullptr, SDL_HINT_OVERRIDE);
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
  if (!initialised) return fail("the platform is not started");
  if (window) return 1;
  windowTitle = title ? title : "";
  uint32_t flags = SDL_WINDOW_RESIZABLE | (headless ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN);
  window = SDL_CreateWindow(windowTitle.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                            clientWidth, clientHeight, flags);
  if (!window) return fail(std::string("cannot open the window: ") + SDL_GetError());
  if (!headless) {
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
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
  ZR_PLACEMENT place = zr_window_fit(clientWidth, clientHeight, width, height);
  SDL_Rect target = {place.x, place.y, place.width, place.height};
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  SDL_RenderClear(renderer);
  SDL_RenderCopy(renderer, texture, nullptr, &target);
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

int zr_window_factor_for(int workWidth, int workHeight, int baseWidth, int baseHeight,
                         int maxFactor) {
  if (baseWidth <= 0 || baseHeight <= 0) return 1;
  int factor = std::min(workWidth / baseWidth, workHeight / baseHeight);
  return std::clamp(factor, 1, std::max(1, maxFactor));
}
