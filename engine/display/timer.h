// The frame timer: the periodic tick that paces the game. The callback runs every period ms on
// a thread of its own (or, with the virtual clock, when the program moves time on).
#pragma once
#include <cstdint>

#include "engine/platform/clock.h"

// Returns the timer identifier, 0 on failure (after the fatal message: a box captioned with the
// window title, then WM_CLOSE posted).
uint32_t zr_timer_start(ZR_TIMER_CALLBACK callback, uint32_t period);
// Stops the timer named by *identifier when it is non-zero; *identifier is 0 afterwards.
void zr_timer_stop(uint32_t* identifier);
