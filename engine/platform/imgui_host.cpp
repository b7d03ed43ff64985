#include "engine/platform/imgui_host.h"

#include <backends/imgui_impl_sdl.h>
#include <backends/imgui_impl_sdlrenderer.h>
#include <imgui.h>

namespace {

SDL_Window* attached = nullptr;

}  // namespace

void zr_imgui_attach(SDL_Window* window, SDL_Renderer* renderer) {
  if (window == nullptr || renderer == nullptr || window == attached) return;
  zr_imgui_detach(nullptr);
  if (ImGui::GetCurrentContext() == nullptr) {
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGui::GetIO().IniFilename = nullptr;
    ImGui::StyleColorsDark();
  }
  ImGui_ImplSDL2_InitForSDLRenderer(window);
  ImGui_ImplSDLRenderer_Init(renderer);
  attached = window;
}

void zr_imgui_detach(SDL_Window* window) {
  if (attached == nullptr || (window != nullptr && window != attached)) return;
  ImGui_ImplSDLRenderer_Shutdown();
  ImGui_ImplSDL2_Shutdown();
  attached = nullptr;
}

SDL_Window* zr_imgui_window() {
  return attached;
}

void zr_imgui_destroy() {
  zr_imgui_detach(nullptr);
  if (ImGui::GetCurrentContext()) ImGui::DestroyContext();
}
