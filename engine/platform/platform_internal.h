// Shared between the platform's own sources only (SDL types allowed here).
#pragma once
#include <SDL2/SDL.h>

#include <cstdint>

// The main window, or nullptr.
SDL_Window* zr_sdl_window();

// Gives an event to the menu bar first; true when the bar took it (the game does not see it).
bool zr_menu_bar_event(const SDL_Event& event);
// Draws the menu bar into the main window's renderer (between the picture and the present).
void zr_menu_bar_draw(SDL_Window* window, SDL_Renderer* renderer);

// Moves the platform's pending events into the message queue.
void zr_events_pump();

// Translates one key event of the keyboard into state and a message.
void zr_events_key(SDL_Scancode scancode, bool down, bool repeat, bool altHeld);

// A pad was plugged in (SDL's device index) or unplugged (its instance).
void zr_devices_pad_added(int deviceIndex);
void zr_devices_pad_removed(int32_t instanceId);

// SIGINT and SIGTERM close the program through WM_CLOSE.
void zr_signals_install();
void zr_signals_restore();
