#include "engine/platform/dialog.h"

#include <backends/imgui_impl_sdl.h>
#include <backends/imgui_impl_sdlrenderer.h>
#include <imgui.h>
#include <spawn.h>
#include <sys/wait.h>

#include <vector>

#include "engine/platform/message_box.h"
#include "engine/platform/platform_internal.h"
#include "engine/platform/video.h"

extern char** environ;

namespace {

ZR_ABOUT_BOX_HOOK aboutHook = nullptr;
ZR_OPEN_URL_HOOK urlHook = nullptr;

constexpr uint32_t kOpenerWait = 3000;  // ms given to xdg-open to report
constexpr uint32_t kOpenerPoll = 20;
std::vector<pid_t> pendingOpeners;  // launchers still running, collected when they end

void reapOpeners() {
  for (size_t i = 0; i < pendingOpeners.size();) {
    int status = 0;
    if (waitpid(pendingOpeners[i], &status, WNOHANG) == 0) {
      ++i;
    } else {
      pendingOpeners.erase(pendingOpeners.begin() + long(i));
    }
  }
}

constexpr int kBoxWidth = 440;
constexpr int kBoxHeight = 250;

// Left and top of the box centred over the main window, raised to 0 when negative.
void centreOverMain(int* x, int* y) {
  *x = SDL_WINDOWPOS_CENTERED;
  *y = SDL_WINDOWPOS_CENTERED;
  SDL_Window* main = zr_sdl_window();
  if (main == nullptr) return;
  int mx = 0, my = 0, mw = 0, mh = 0;
  SDL_GetWindowPosition(main, &mx, &my);
  SDL_GetWindowSize(main, &mw, &mh);
  *x = mx + ((mw - kBoxWidth) >> 1);
  *y = my + ((mh - kBoxHeight) >> 1);
  if (*x < 0) *x = 0;
  if (*y < 0) *y = 0;
}

const char* item(const ZR_ABOUT_BOX* box, int id) {
  const char* text = box->items[id - ZR_ABOUT_FIRST_ITEM];
  return text ? text : "";
}

// One frame of the dialog; true once OK was pressed.
bool drawBox(const ZR_ABOUT_BOX* box) {
  ImGui::SetNextWindowPos(ImVec2(0, 0));
  ImGui::SetNextWindowSize(ImGui::GetIO().DisplaySize);
  ImGui::Begin(
      "about", nullptr,
      ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings);
  ImGui::TextUnformatted(item(box, 101));  // title
  ImGui::TextUnformatted(item(box, 102));  // version
  ImGui::Separator();
  ImGui::TextUnformatted(item(box, 104));  // copyright lines
  ImGui::TextUnformatted(item(box, 105));
  ImGui::TextUnformatted(item(box, 106));  // rights reserved
  ImGui::Spacing();
  ImGui::TextWrapped("%s", item(box, 103));  // licence
  ImGui::Spacing();
  ImGui::TextUnformatted(item(box, 107));  // memory in use
  ImGui::Spacing();
  bool ok = ImGui::Button("OK", ImVec2(80, 0));
  ImGui::SetItemDefaultFocus();
  ImGui::End();
  return ok;
}

int runBox(const ZR_ABOUT_BOX* box) {
  int x = 0, y = 0;
  centreOverMain(&x, &y);
  SDL_Window* window =
      SDL_CreateWindow(box->caption ? box->caption : "", x, y, kBoxWidth, kBoxHeight, 0);
  if (window == nullptr) return IDOK;
  SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
  if (renderer == nullptr) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  if (renderer == nullptr) {
    SDL_DestroyWindow(window);
    return IDOK;
  }
  IMGUI_CHECKVERSION();
  ImGui::CreateContext();
  ImGui::GetIO().IniFilename = nullptr;
  ImGui::StyleColorsDark();
  ImGui_ImplSDL2_InitForSDLRenderer(window);
  ImGui_ImplSDLRenderer_Init(renderer);

  const uint32_t boxId = SDL_GetWindowID(window);
  bool done = false, quitAsked = false;
  while (!done) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
      // Modal: the main window's input waits; a request to quit is kept for after the box.
      if (event.type == SDL_QUIT) {
        quitAsked = true;
        done = true;
      }
      if (event.type == SDL_WINDOWEVENT && event.window.windowID == boxId &&
          event.window.event == SDL_WINDOWEVENT_CLOSE)
        done = true;
      if (event.type == SDL_KEYDOWN && event.key.windowID == boxId &&
          (event.key.keysym.sym == SDLK_ESCAPE || event.key.keysym.sym == SDLK_RETURN))
        done = true;
      ImGui_ImplSDL2_ProcessEvent(&event);
    }
    ImGui_ImplSDLRenderer_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    ImGui::NewFrame();
    if (drawBox(box)) done = true;
    ImGui::Render();
    SDL_SetRenderDrawColor(renderer, 30, 30, 40, 255);
    SDL_RenderClear(renderer);
    ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
    SDL_RenderPresent(renderer);
    SDL_Delay(10);
  }

  ImGui_ImplSDLRenderer_Shutdown();
  ImGui_ImplSDL2_Shutdown();
  ImGui::DestroyContext();
  SDL_DestroyRenderer(renderer);
  SDL_DestroyWindow(window);
  // Without a window manager the main window would not get the keyboard back by itself.
  if (SDL_Window* main = zr_sdl_window()) {
    SDL_RaiseWindow(main);
    SDL_SetWindowInputFocus(main);
  }
  if (quitAsked) {
    SDL_Event quit = {};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
  }
  return IDOK;
}

}  // namespace

int zr_about_box(const ZR_ABOUT_BOX* box) {
  if (box == nullptr) return IDOK;
  if (aboutHook) return aboutHook(box);
  if (!zr_platform_is_started() || zr_platform_is_headless()) return IDOK;
  return runBox(box);
}

void zr_about_box_set_hook(ZR_ABOUT_BOX_HOOK hook) {
  aboutHook = hook;
}

int zr_open_url(const char* url) {
  if (url == nullptr || url[0] == '\0') return 0;
  if (urlHook) return urlHook(url);
  if (zr_platform_is_headless()) return 0;
  reapOpeners();
  // SDL_OpenURL reports success even when no browser started: xdg-open's status is the answer.
  pid_t child = 0;
  char program[] = "xdg-open";
  char* argv[] = {program, const_cast<char*>(url), nullptr};
  if (posix_spawnp(&child, program, nullptr, nullptr, argv, environ) != 0)
    return SDL_OpenURL(url) == 0 ? 1 : 0;
  // Without a desktop, xdg-open may run the browser itself and only return when it closes: a
  // launcher still running after a while has started one, and is collected later.
  for (uint32_t waited = 0; waited < kOpenerWait; waited += kOpenerPoll) {
    int status = 0;
    pid_t done = waitpid(child, &status, WNOHANG);
    if (done == child) return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 1 : 0;
    if (done < 0) return 0;
    SDL_Delay(kOpenerPoll);
  }
  pendingOpeners.push_back(child);
  return 1;
}

void zr_open_url_set_hook(ZR_OPEN_URL_HOOK hook) {
  urlHook = hook;
}
