// The frame buffer and its presentation. All drawing goes into the 8-bit frame buffer; once per
// frame the application copies it to the back surface (zr_dsp_copy(&frame, 0), PresentFrame) and
// shows it (zr_dsp_flip(), end of frame). Until video modes exist the back surface is a pixel
// buffer of the frame's size at 32 bits; the platform shows it scaled in the window.
//
// Order of use:
//   zr_dsp_init()                  when the window is created (frame buffer 320 x 200, zeroed)
//   zr_dsp_start(&start)           stores the application's frame-buffer copy, displayReady and
//                                  appActive flags and the resize callback; builds the surface
//   zr_pal_load / zr_pal_set       the PALFile palette
//   loop: draw into appFrame.pixels; zr_dsp_copy(&appFrame, 0); zr_dsp_flip()
//   zr_dsp_stop(); zr_dsp_free()   at shut-down
// zr_dsp_frame_buffer() gives the display's own record at any time; the application's copy is
// rewritten on every resize.
#pragma once
#include <cstdint>

#include "engine/display/bitmap.h"
#include "engine/platform/video.h"

constexpr int16_t ZR_DSP_BASE_WIDTH = 320;
constexpr int16_t ZR_DSP_BASE_HEIGHT = 200;
constexpr int32_t ZR_DSP_SCRATCH_START = 3000;

using ZR_DSP_CALLBACK = void (*)();

struct ZR_VIDEO_MODE;  // the video-mode table comes with the display settings

// The display-start record the application passes to zr_dsp_start.
struct ZR_DSP_START {
  int32_t messageLog;      // 0 here
  ZR_VIDEO_MODE* mode;     // the application's copy of the current mode; may be null
  ZR_BITMAP* frameBuffer;  // the application's copy of the frame-buffer record
  ZR_DSP_CALLBACK resize;  // called after every resize while the display is started
  int32_t renderer;        // 0 here
  int32_t* displayReady;   // the application's displayReady flag (may be null)
  int32_t* appActive;      // the application's appActive flag (may be null)
};

int zr_dsp_init();
// Marks the display started and builds the back surface (the mode switch): displayReady and
// surfaces-exist set, the application's copies written. Returns 1 on success.
int zr_dsp_start(const ZR_DSP_START* start);
void zr_dsp_stop();
// Depth of the back surface (8, 16 with 5-6-5 masks, 24 or 32; 32 at start). Rebuilds it.
int zr_dsp_set_depth(int bpp);

ZR_BITMAP* zr_dsp_frame_buffer();
// The back surface the frame is converted into (null while no surfaces exist).
const ZR_SURFACE* zr_dsp_back_surface();

// Option bit 0 re-centres the bitmap against the client area before converting.
constexpr int ZR_DSP_COPY_CENTRE = 1;
void zr_dsp_copy(ZR_BITMAP* bitmap, int options);
int zr_dsp_flip();
void zr_dsp_repaint();
int zr_dsp_clear();
// Grows or shrinks the frame by dw, dh (refused per axis below 320 x 200 or beyond the screen);
// rectOut (4 x int32: left, top, right, bottom) may be null.
void zr_dsp_resize(ZR_BITMAP* frame, int32_t* rectOut, int dw, int dh);
void zr_dsp_release();
void zr_dsp_free();
void zr_dsp_set_active(int active);

int zr_rect_register(ZR_RECT* rect);
int zr_rect_unregister(ZR_RECT* rect);

// Flags of the display module.
bool zr_dsp_is_started();
bool zr_dsp_is_ready();
bool zr_dsp_surfaces_exist();
bool zr_dsp_is_active();
// The mode switch: the back surface at the depth, of the frame's size in a window or of the mode's
// size (width x height) on a full screen, where the frame lies centred (or at the full-screen
// position). The window goes to or leaves the desktop's full screen. 1 on success.
int zr_dsp_switch(int width, int height, int bpp, bool fullscreen);
bool zr_dsp_is_fullscreen();
// Where the frame lies on a full screen (left, top, width, height; null or a rectangle that does
// not fit the mode: centred).
void zr_dsp_set_full_position(const ZR_RECT* rect);

// Largest frame size accepted by zr_dsp_resize (the "screen"): the desktop work area unless set.
void zr_dsp_set_screen_size(int width, int height);

// Draws the 256 colours of the palette as a 16 x 16 grid and a few bitmap operations (stretch,
// double size with scanlines, masked copy) into the frame; shown until the game draws its own.
void zr_dsp_draw_test_card(ZR_BITMAP* frame, const uint8_t* palette);
