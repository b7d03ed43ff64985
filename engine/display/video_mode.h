// Display settings and video modes. The mode table holds the program's preferred sizes and the
// desktop's display modes, each at 8, 16, 24 and 32 bits. A mode is the size and depth of the
// surface the frame is converted into: in a window only its depth matters (the window keeps its
// own size); on a full screen (the desktop's full screen, never a hardware mode switch) the frame
// lies in a surface of the mode's size, which is shown scaled to the screen with its aspect kept.
//
// The settings file's [Display] keys: Resolution ("%dx%dx%d"), WindowPosition and FullPosition
// ("%d,%d,%d,%d": left, top, width, height), Fullscreen (0 or 1) and IntegerScaling (1: the
// picture is only ever scaled by whole factors).
#pragma once
#include <cstdint>

#include "engine/display/bitmap.h"

struct ZR_VIDEO_MODE {
  int32_t width;
  int32_t height;
  int16_t bpp;
  int16_t reserved;
  int32_t refresh;  // Hz as reported, 0 = default
  int32_t kind;     // 0 ordinary (the only kind on this platform)
};

constexpr int ZR_MODE_MAX = 100;

// The application's preferred sizes; the list ends with a width of 0.
constexpr int16_t ZR_SIZE_LOW_RES = 1;
constexpr int16_t ZR_SIZE_HIGH_RES = 2;
struct ZR_PREFERRED_SIZE {
  int16_t width, height, flags;
};
constexpr ZR_PREFERRED_SIZE ZR_PREFERRED_SIZES[] = {{320, 200, ZR_SIZE_LOW_RES},
                                                    {640, 480, ZR_SIZE_HIGH_RES},
                                                    {800, 600, 0},
                                                    {1024, 768, 0},
                                                    {0, 0, 0}};

// The desktop as the mode table sees it (the platform's, or a test's).
struct ZR_DESKTOP {
  int32_t count;
  struct {
    int32_t width, height, refresh;
  } modes[ZR_MODE_MAX];
  int32_t width, height, bpp, refresh;  // the desktop's own mode
};
using ZR_DESKTOP_SOURCE = void (*)(ZR_DESKTOP* desktop);
// Tests replace the platform's desktop (nullptr brings it back).
void zr_dsp_set_desktop_source(ZR_DESKTOP_SOURCE source);

// The flags the display keeps for the application (each may be null).
struct ZR_DSP_FLAGS {
  int32_t* fullscreen;
  int32_t* lowRes;
  int32_t* highRes;
  ZR_VIDEO_MODE* mode;  // the application's copy of the current mode
};
void zr_dsp_set_flags(const ZR_DSP_FLAGS* flags);

// Reads the [Display] keys (before the window exists). The window's default rectangle is the
// given one (outer left, top, width, height); negative left or top means centred.
void zr_dsp_read_settings(int32_t left, int32_t top, int32_t width, int32_t height);
// Writes Fullscreen, Resolution, WindowPosition, FullPosition and IntegerScaling in that order.
void zr_dsp_write_settings();
// The window rectangle from the settings (or the default).
void zr_dsp_window_rect(int32_t* left, int32_t* top, int32_t* width, int32_t* height);

// Builds the mode table and picks the start mode: the configured Resolution when the table has
// it, else the desktop's. 1, or 0 when no mode could be chosen.
int zr_dsp_enum_modes();
// Index of the first mode of that size and depth, or -1.
int zr_dsp_find_mode(int32_t width, int32_t height, int32_t bpp);
int zr_dsp_mode_count();
const ZR_VIDEO_MODE* zr_dsp_mode(int index);
int zr_dsp_current_mode();
int zr_dsp_desktop_mode();
int zr_dsp_window_mode();
int zr_dsp_full_mode();

// Switches to the current mode in the current window/full-screen state. 1 on success.
int zr_dsp_set_mode();
// Remembers index as the last window or full-screen mode, makes it current and switches; on
// failure falls back to the desktop mode in a window.
void zr_dsp_change_mode(int index);
// The Display menu's commands.
void zr_dsp_low_res();
void zr_dsp_high_res();
void zr_dsp_toggle_fullscreen();
void zr_dsp_toggle_256_colours();
// The 8-bit mode of preferred size i (the resolution list).
void zr_dsp_preferred_size(int index);
bool zr_dsp_256_colours();
int zr_dsp_low_res_mode();  // index of the 8-bit low-res mode, or -1
int zr_dsp_high_res_mode();

// At exit: when the current mode is not the desktop's and the desktop is wider than 639 or taller
// than 479, the desktop mode is made current in a window. Returns 1 when it switched.
int zr_dsp_restore_desktop();

// Called after every mode switch (the window part refreshes its Display menu marks).
using ZR_DSP_MODE_CALLBACK = void (*)();
void zr_dsp_set_mode_callback(ZR_DSP_MODE_CALLBACK callback);
// The window part writes the current language with the display settings at exit.
void zr_dsp_set_language_writer(ZR_DSP_MODE_CALLBACK writer);
void zr_dsp_write_language();
