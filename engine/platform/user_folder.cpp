#include "engine/platform/user_folder.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

int zr_platform_user_folder(char* out, int size) {
  if (out == nullptr || size <= 0) return 0;
  out[0] = '\0';
  // No organisation: the folder is named for the game alone. SDL creates it (mode 0700).
  char* path = SDL_GetPrefPath("", "zrsentry");
  if (path == nullptr) return 0;
  bool fits = std::strlen(path) < static_cast<size_t>(size);
  if (fits) std::snprintf(out, static_cast<size_t>(size), "%s", path);
  SDL_free(path);
  return fits ? 1 : 0;
}
