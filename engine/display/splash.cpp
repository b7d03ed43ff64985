#include "engine/display/splash.h"

#include <cstdlib>
#include <cstring>

#include "engine/core/keyfile.h"
#include "engine/display/bitmap.h"
#include "engine/display/main_window.h"
#include "engine/platform/video.h"

namespace {

ZR_BITMAP g_picture{};
bool g_open = false;
char g_text[256] = "";

int32_t read_number(const char* section, const char* key, const char* file) {
  char text[32] = "";
  zr_io_get_string(section, key, text, sizeof text, file);
  return static_cast<int32_t>(std::strtol(text, nullptr, 10));
}

}  // namespace

int zr_splash_open(const char* section, const char* file) {
  if (g_open || g_picture.pixels) zr_splash_close();
  char path[261] = "";
  if (!zr_io_get_string(section, "Bitmap", path, sizeof path, file) || path[0] == '\0') return 0;
  if (!zr_bitmap_load(&g_picture, path, 1)) return 0;
  g_text[0] = '\0';
  zr_io_get_string(section, "Text", g_text, sizeof g_text, file);
  ZR_SPLASH_PICTURE picture{};
  picture.pixels = g_picture.pixels;
  picture.width = g_picture.width;
  picture.height = g_picture.height;
  picture.palette = g_picture.palette;
  char utf8[512];
  zr_latin1_to_utf8(g_text, utf8, sizeof utf8);
  picture.text = utf8;
  picture.textX = read_number(section, "PosX", file);
  picture.textY = read_number(section, "PosY", file);
  picture.red = read_number(section, "ColorR", file);
  picture.green = read_number(section, "ColorG", file);
  picture.blue = read_number(section, "ColorB", file);
  zr_splash_window_open(&picture);
  g_open = true;
  return 1;
}

void zr_splash_close() {
  zr_splash_window_close();
  zr_bitmap_free(&g_picture);
  g_picture = ZR_BITMAP{};
  g_text[0] = '\0';
  g_open = false;
}

bool zr_splash_is_open() {
  return g_open;
}

const char* zr_splash_text() {
  return g_text;
}
