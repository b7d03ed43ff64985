// The program's one Dear ImGui context and the SDL backends, attached to one window at a time:
// the main window's menu bar, or a dialog's own window while it is shown.
#pragma once
#include <SDL2/SDL.h>

// Attaches the backends to the window and its renderer (the context is made on first use).
void zr_imgui_attach(SDL_Window* window, SDL_Renderer* renderer);
// Lets the backends go from the window they were attached to (if it is that one, or any with null).
void zr_imgui_detach(SDL_Window* window);
SDL_Window* zr_imgui_window();
// At the platform's end.
void zr_imgui_destroy();
