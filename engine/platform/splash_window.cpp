// The splash window and the platform check.
#include <backends/imgui_impl_sdl.h>
#include <backends/imgui_impl_sdlrenderer.h>
#include <imgui.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/platform/imgui_host.h"
#include "engine/platform/message_box.h"
#include "engine/platform/platform_internal.h"
#include "engine/platform/video.h"

namespace {

SDL_Window* splashWindow = nullptr;
SDL_Renderer* splashRenderer = nullptr;

void drawSplash(const ZR_SPLASH_PICTURE& picture) {
  std::vector<uint32_t> argb(size_t(picture.width) * picture.height);
  for (size_t i = 0; i < argb.size(); ++i) {
    const uint8_t* c = picture.palette + 3 * picture.pixels[i];
    argb[i] = 0xFF000000u | (uint32_t(c[0]) << 16) | (uint32_t(c[1]) << 8) | c[2];
  }
  SDL_Texture* texture = SDL_CreateTexture(splashRenderer, SDL_PIXELFORMAT_ARGB8888,
                                           SDL_TEXTUREACCESS_STATIC, picture.width, picture.height);
  if (texture == nullptr) return;
  SDL_UpdateTexture(texture, nullptr, argb.data(), picture.width * 4);
  SDL_RenderClear(splashRenderer);
  SDL_RenderCopy(splashRenderer, texture, nullptr, nullptr);
  if (picture.text && picture.text[0]) {
    // The text with ImGui's font, attached to the splash window for this one drawing.
    zr_imgui_attach(splashWindow, splashRenderer);
    if (zr_imgui_window() == splashWindow) {
      ImGui_ImplSDLRenderer_NewFrame();
      ImGui_ImplSDL2_NewFrame();
      ImGui::NewFrame();
      ImGui::GetForegroundDrawList()->AddText(
          ImVec2(float(picture.textX), float(picture.textY)),
          IM_COL32(picture.red & 255, picture.green & 255, picture.blue & 255, 255), picture.text);
      ImGui::Render();
      ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
      zr_imgui_detach(splashWindow);
    }
  }
  SDL_RenderPresent(splashRenderer);
  SDL_DestroyTexture(texture);
}

}  // namespace

void zr_splash_window_open(const ZR_SPLASH_PICTURE* picture) {
  zr_splash_window_close();
  if (picture == nullptr || picture->pixels == nullptr || picture->palette == nullptr) return;
  if (!zr_platform_is_started() || zr_platform_is_headless()) return;
  splashWindow = SDL_CreateWindow("Splash Screen", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                  picture->width, picture->height,
                                  SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP |
                                      SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_SHOWN);
  if (splashWindow == nullptr) return;
  splashRenderer = SDL_CreateRenderer(splashWindow, -1, SDL_RENDERER_SOFTWARE);
  if (splashRenderer == nullptr) {
    zr_splash_window_close();
    return;
  }
  // The first picture may go to a window not yet mapped: drawn again once the window system has
  // had its events.
  for (int round = 0; round < 3; ++round) {
    drawSplash(*picture);
    SDL_PumpEvents();
    SDL_Delay(15);
  }
}

void zr_splash_window_close() {
  zr_imgui_detach(splashWindow);
  if (splashRenderer) SDL_DestroyRenderer(splashRenderer);
  if (splashWindow) SDL_DestroyWindow(splashWindow);
  splashRenderer = nullptr;
  splashWindow = nullptr;
}

void zr_platform_probe(ZR_PLATFORM_PROBE* probe) {
  if (probe == nullptr) return;
  *probe = ZR_PLATFORM_PROBE{};
  SDL_version linked;
  SDL_GetVersion(&linked);
  probe->major = linked.major;
  probe->minor = linked.minor;
  probe->patch = linked.patch;
  probe->video = SDL_WasInit(SDL_INIT_VIDEO) != 0 && SDL_GetCurrentVideoDriver() != nullptr;
  if (probe->video) {
    std::snprintf(probe->videoDriver, sizeof probe->videoDriver, "%s", SDL_GetCurrentVideoDriver());
  }
  // Audio is probed by starting the subsystem (the sound module opens the device later).
  const bool audioWasUp = SDL_WasInit(SDL_INIT_AUDIO) != 0;
  if (audioWasUp || SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
    probe->audio = SDL_GetCurrentAudioDriver() != nullptr;
    if (probe->audio) {
      std::snprintf(probe->audioDriver, sizeof probe->audioDriver, "%s",
                    SDL_GetCurrentAudioDriver());
    }
    if (!audioWasUp) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  if (!zr_platform_is_headless() && SDL_GetNumRenderDrivers() > 0) {
    SDL_RendererInfo info;
    if (SDL_GetRenderDriverInfo(0, &info) == 0 && info.name) {
      std::snprintf(probe->renderer, sizeof probe->renderer, "%s", info.name);
    }
  }
}

int zr_platform_check(ZR_PLATFORM_PROBE* probe) {
  ZR_PLATFORM_PROBE own;
  if (probe == nullptr) probe = &own;
  zr_platform_probe(probe);
  const int version = probe->major * 10000 + probe->minor * 100 + probe->patch;
  if (version >= 20010 && probe->video) return 1;
  zr_message_box(
      "Sorry, but this program requires SDL 2.0.10 or newer with a working video driver to be "
      "installed. Click Ok to exit.",
      nullptr, MB_OK);
  return 0;
}
