// The window and the picture in it. The display converts each frame into a back surface of the
// current mode's size and depth; the platform shows that surface in the window scaled to fit with
// its aspect kept (nearest neighbour, an integer factor when one fits, black elsewhere).
#pragma once
#include <cstdint>

// Pixel layouts by depth: 8 = palette index; 16 = RGB 5-6-5 in a little-endian word; 24 = bytes
// blue, green, red; 32 = 0x00RRGGBB in a little-endian word.
struct ZR_SURFACE {
  uint8_t* pixels;
  int32_t width;
  int32_t height;
  int32_t pitch;  // bytes per row
  int32_t bpp;    // 8, 16, 24 or 32
};

// Starts the platform. Headless chooses the dummy video and audio drivers and shows no window
// (the disk audio driver instead when SDL_AUDIODRIVER=disk asks for the output in a file).
// Without headless and without a display, fails with a one-line reason (zr_platform_error).
int zr_platform_init(bool headless);
void zr_platform_quit();
bool zr_platform_is_headless();
bool zr_platform_is_started();
const char* zr_platform_error();

// Desktop work area in pixels (320 x 200 multiples are chosen from it).
void zr_platform_work_area(int* width, int* height);

// Opens the main window with the given client size; resizable.
int zr_window_open(const char* title, int clientWidth, int clientHeight);
// The same at a position (SDL_WINDOWPOS_CENTERED when x or y is negative).
int zr_window_open_at(const char* title, int x, int y, int clientWidth, int clientHeight);
void zr_window_close();
bool zr_window_is_open();
void zr_window_client_size(int* width, int* height);
void zr_window_set_title(const char* title);
// The smallest client area the user can size the window to.
void zr_window_set_minimum_size(int clientWidth, int clientHeight);
// The title given at opening (empty when no window was opened).
const char* zr_window_title();

int zr_surface_create(ZR_SURFACE* surface, int width, int height, int bpp);
void zr_surface_free(ZR_SURFACE* surface);
// Shows a surface in the window; palette (768 bytes) colours an 8-bit surface.
// Headless: converted, shown nowhere.
void zr_window_present(const ZR_SURFACE* surface, const uint8_t* palette);
// The last presented picture as converted for the screen (0xAARRGGBB per pixel, rows without
// padding), or nullptr before the first presentation.
const uint32_t* zr_window_last_picture(int* width, int* height);

// Where a picture of pictureWidth x pictureHeight lands in a client area: centred, at the largest
// integer factor that fits, or shrunk with its aspect kept when even factor 1 does not fit.
struct ZR_PLACEMENT {
  int x, y, width, height;
};
ZR_PLACEMENT zr_window_fit(int clientWidth, int clientHeight, int pictureWidth, int pictureHeight);

// With integerOnly the picture is shown only at whole factors (black borders around it). Without
// it, the largest whole factor is kept when it fills nine tenths of the client area's width or
// height; otherwise the picture is stretched to fill it (nearest neighbour), its aspect kept.
ZR_PLACEMENT zr_window_fit_scaled(int clientWidth, int clientHeight, int pictureWidth,
                                  int pictureHeight, bool integerOnly);
void zr_window_set_integer_scaling(bool integerOnly);
bool zr_window_integer_scaling();

// The display modes the desktop's screen offers (distinct sizes, in the order SDL lists them, at
// most max) and the desktop's own mode with its depth in bits. Returns the count. Without a
// screen (headless), the dummy driver's one mode.
struct ZR_DISPLAY_MODE {
  int width, height, refresh;
};
int zr_platform_display_modes(ZR_DISPLAY_MODE* modes, int max, ZR_DISPLAY_MODE* desktop,
                              int* desktopBpp);

// Full screen is the desktop's own mode (no mode switch): the window covers the screen and the
// picture is scaled into it. Leaving it gives the window its size and position back.
void zr_window_set_fullscreen(bool fullscreen);
bool zr_window_is_fullscreen();
// The window's client rectangle: where its client area stands on the desktop and its size, as the
// window is opened with, so that a saved rectangle opens the same window again.
void zr_window_get_rect(int* x, int* y, int* width, int* height);
void zr_window_set_rect(int x, int y, int width, int height);
// Brings the window to the front and gives it the keyboard (a second start asks for this).
void zr_window_raise();

// The largest integer factor (1 to maxFactor) at which a base-sized client area fits the work area.
int zr_window_factor_for(int workWidth, int workHeight, int baseWidth, int baseHeight,
                         int maxFactor);

// The splash window: borderless, on top, centred, showing an 8-bit picture with one line of text
// (UTF-8) in the given colour. Headless: nothing is shown.
struct ZR_SPLASH_PICTURE {
  const uint8_t* pixels;
  int width, height;
  const uint8_t* palette;  // 768 bytes
  const char* text;
  int textX, textY;
  int red, green, blue;
};
void zr_splash_window_open(const ZR_SPLASH_PICTURE* picture);
void zr_splash_window_close();

// The platform check: what SDL offers here. A platform that cannot run the game is refused.
struct ZR_PLATFORM_PROBE {
  int major, minor, patch;  // SDL's version (linked)
  bool video;               // a video driver started
  bool audio;               // an audio driver started (the game runs silent without)
  char videoDriver[32];
  char audioDriver[32];
  char renderer[32];  // the renderer the main window would get ("" headless)
};
void zr_platform_probe(ZR_PLATFORM_PROBE* probe);
// 1 when the probe finds SDL 2.0.10 or newer with a video driver; otherwise shows the refusal in
// the warning box and returns 0.
int zr_platform_check(ZR_PLATFORM_PROBE* probe);
