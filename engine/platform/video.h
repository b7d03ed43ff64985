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

// The largest integer factor (1 to maxFactor) at which a base-sized client area fits the work area.
int zr_window_factor_for(int workWidth, int workHeight, int baseWidth, int baseHeight,
                         int maxFactor);
