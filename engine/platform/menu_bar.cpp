#include "engine/platform/menu_bar.h"

#include <backends/imgui_impl_sdl.h>
#include <backends/imgui_impl_sdlrenderer.h>
#include <imgui.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/platform/imgui_host.h"
#include "engine/platform/messages.h"
#include "engine/platform/platform_internal.h"

namespace {

std::vector<ZR_MENU_ITEM> items;
ZR_MENU_SHOW show = ZR_MENU_ALWAYS;
bool reachedFor = false;  // full screen: the player asked for the bar
bool anyMenuOpen = false;
int barHeight = 0;  // in the renderer's pixels, as last drawn
int openRequest = -1;
bool altAlone = false;

// "&Game" -> "Game"; "E&xit\tAlt+F4" -> "Exit" and "Alt+F4". "&&" stands for "&".
void splitLabel(const char* text, std::string* label, std::string* shortcut) {
  label->clear();
  shortcut->clear();
  std::string* out = label;
  for (const char* c = text; *c; ++c) {
    if (*c == '\t') {
      out = shortcut;
    } else if (*c == '&' && c[1] == '&') {
      out->push_back('&');
      ++c;
    } else if (*c != '&') {
      out->push_back(*c);
    }
  }
}

std::string uniqueLabel(const ZR_MENU_ITEM& item, size_t index, std::string* shortcut) {
  std::string label;
  splitLabel(item.text, &label, shortcut);
  return label + "##" + std::to_string(item.id) + "_" + std::to_string(index);
}

// Draws items[index...] up to the matching end; returns the index after it.
size_t drawItems(size_t index, bool visible) {
  while (index < items.size()) {
    const ZR_MENU_ITEM& item = items[index];
    std::string shortcut;
    switch (item.kind) {
      case ZR_MENU_ITEM_END:
        return index + 1;
      case ZR_MENU_ITEM_SEPARATOR:
        if (visible) ImGui::Separator();
        ++index;
        break;
      case ZR_MENU_ITEM_SUBMENU: {
        const std::string label = uniqueLabel(item, index, &shortcut);
        bool open = visible && ImGui::BeginMenu(label.c_str(), item.enabled);
        index = drawItems(index + 1, open);
        if (open) ImGui::EndMenu();
        break;
      }
      default: {
        if (visible) {
          const std::string label = uniqueLabel(item, index, &shortcut);
          if (ImGui::MenuItem(label.c_str(), shortcut.empty() ? nullptr : shortcut.c_str(),
                              item.checked, item.enabled)) {
            zr_post_message(WM_COMMAND, item.id, 0);
          }
        }
        ++index;
        break;
      }
    }
  }
  return index;
}

void drawBar() {
  anyMenuOpen = false;
  if (!ImGui::BeginMainMenuBar()) return;
  size_t index = 0;
  int position = 0;
  while (index < items.size()) {
    const ZR_MENU_ITEM& item = items[index];
    if (item.kind != ZR_MENU_ITEM_SUBMENU) {
      ++index;
      continue;
    }
    std::string shortcut;
    const std::string label = uniqueLabel(item, index, &shortcut);
    if (openRequest == position) ImGui::OpenPopup(label.c_str());
    const bool open = ImGui::BeginMenu(label.c_str(), item.enabled);
    anyMenuOpen = anyMenuOpen || open;
    index = drawItems(index + 1, open);
    if (open) ImGui::EndMenu();
    ++position;
  }
  barHeight = int(ImGui::GetWindowSize().y * ImGui::GetIO().DisplayFramebufferScale.y + 0.5f);
  ImGui::EndMainMenuBar();
}

}  // namespace

void zr_menu_bar_set(const ZR_MENU_ITEM* newItems, int count) {
  items.assign(newItems, newItems + (count > 0 ? count : 0));
}

void zr_menu_bar_set_show(ZR_MENU_SHOW newShow) {
  show = newShow;
  reachedFor = false;
}

ZR_MENU_SHOW zr_menu_bar_show() {
  return show;
}

bool zr_menu_bar_visible() {
  if (items.empty()) return false;
  return show == ZR_MENU_ALWAYS || (show == ZR_MENU_ON_DEMAND && (reachedFor || anyMenuOpen));
}

int zr_menu_bar_height() {
  // Before the first drawing, the height of ImGui's default font and frame padding.
  return barHeight > 0 ? barHeight : 19;
}

int zr_menu_bar_reserved_height() {
  if (items.empty() || show != ZR_MENU_ALWAYS) return 0;
  return zr_menu_bar_height();
}

int zr_menu_bar_items(const ZR_MENU_ITEM** out) {
  if (out) *out = items.data();
  return int(items.size());
}

void zr_menu_bar_open(int position) {
  openRequest = position;
  if (show == ZR_MENU_ON_DEMAND) reachedFor = true;
}

bool zr_menu_bar_event(const SDL_Event& event) {
  if (items.empty()) return false;
  if (show == ZR_MENU_ON_DEMAND) {
    // Reaching for the bar: the mouse at the top edge, or Alt on its own.
    if (event.type == SDL_MOUSEMOTION) {
      // While the game owns the mouse (relative motion) the pointer stays put: its way up is
      // followed from the motion instead.
      static int pointerY = 100;
      pointerY = SDL_GetRelativeMouseMode() ? std::clamp(pointerY + event.motion.yrel, 0, 200)
                                            : event.motion.y;
      const bool atTop = pointerY <= 2;
      if (atTop)
        reachedFor = true;
      else if (reachedFor && !anyMenuOpen && event.motion.y > 40)
        reachedFor = false;
    }
    // Alt pressed and released on its own (not Alt+Enter, Alt+Tab).
    const bool isAlt = (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) &&
                       (event.key.keysym.sym == SDLK_LALT || event.key.keysym.sym == SDLK_RALT);
    if (event.type == SDL_KEYDOWN && isAlt && !event.key.repeat) altAlone = true;
    if (event.type == SDL_KEYDOWN && !isAlt) altAlone = false;
    if (event.type == SDL_KEYUP && isAlt && altAlone) {
      reachedFor = !reachedFor;
      altAlone = false;
    }
    if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE && reachedFor) {
      reachedFor = false;
    }
  }
  if (!zr_menu_bar_visible()) return false;
  // Until the bar is drawn once the backends are not attached; a dialog may have the context.
  if (zr_imgui_window() == nullptr || zr_imgui_window() != zr_sdl_window()) return false;
  ImGui_ImplSDL2_ProcessEvent(&event);
  const ImGuiIO& io = ImGui::GetIO();
  switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEWHEEL:
      return io.WantCaptureMouse;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      return anyMenuOpen && event.key.keysym.sym != SDLK_LALT && event.key.keysym.sym != SDLK_RALT;
    default:
      return false;
  }
}

void zr_menu_bar_draw(SDL_Window* window, SDL_Renderer* renderer) {
  if (!zr_menu_bar_visible()) return;
  zr_imgui_attach(window, renderer);
  if (zr_imgui_window() != window) return;
  ImGui_ImplSDLRenderer_NewFrame();
  ImGui_ImplSDL2_NewFrame();
  ImGui::NewFrame();
  drawBar();
  openRequest = -1;
  ImGui::Render();
  ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
}
