// The about box (a modal dialog drawn with Dear ImGui in a window of its own over the main
// window) and opening a page in the user's web browser.
#pragma once
#include <cstdint>

// The about box's texts, UTF-8: the caption and the static items 101 to 107.
constexpr int ZR_ABOUT_FIRST_ITEM = 101;
constexpr int ZR_ABOUT_ITEMS = 7;
struct ZR_ABOUT_BOX {
  const char* caption;
  const char* items[ZR_ABOUT_ITEMS];  // items[i] is the text of item 101 + i
};

// Shows the about box until OK, Escape, Enter or its close button; returns IDOK (1). Headless,
// or when no window can be made, the box is answered at once without being shown.
int zr_about_box(const ZR_ABOUT_BOX* box);

// Tests replace the dialog: the hook gets the box and answers it.
using ZR_ABOUT_BOX_HOOK = int (*)(const ZR_ABOUT_BOX* box);
void zr_about_box_set_hook(ZR_ABOUT_BOX_HOOK hook);

// Opens url in the user's browser: `xdg-open URL` is started and its exit status tells whether a
// browser took the page (a launcher still running after three seconds has started one); when it
// cannot be started, SDL_OpenURL is asked instead. Returns 1 when the page was handed to a
// browser; 0 at once when headless.
int zr_open_url(const char* url);

// Tests replace the opener (nullptr brings the real one back).
using ZR_OPEN_URL_HOOK = int (*)(const char* url);
void zr_open_url_set_hook(ZR_OPEN_URL_HOOK hook);
