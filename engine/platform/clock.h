// The millisecond counter and the periodic timer. With the virtual clock, time moves only when
// the program advances it, and timer callbacks then fire on schedule on the caller's thread, so
// that runs are repeatable.
#pragma once
#include <cstdint>

// Milliseconds since the platform started (the role of GetTickCount).
uint32_t zr_get_tick_count();

void zr_clock_use_virtual(bool on);
bool zr_clock_is_virtual();
// Virtual clock only: moves time on by ms, firing every timer callback that falls due.
void zr_clock_advance(uint32_t ms);
// Virtual clock only: milliseconds until the next timer callback falls due, 0 when none is set.
uint32_t zr_clock_next_due();

// Periodic timer: the callback runs every period ms, on a thread of its own paced by absolute
// deadlines (or, with the virtual clock, from zr_clock_advance). Returns an identifier, 0 on
// failure.
using ZR_TIMER_CALLBACK = void (*)();
uint32_t zr_platform_timer_start(ZR_TIMER_CALLBACK callback, uint32_t period);
// Stops the timer and waits until its callback can no longer run.
void zr_platform_timer_stop(uint32_t id);

// Sleeps on the real clock; moves the virtual clock instead when it is in use.
void zr_sleep_ms(uint32_t ms);
