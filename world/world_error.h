// The world engine's error report. Every failure of the world engine is shown to the user with the
// prefix "Error: " in the warning box captioned "Error", and the main window is asked to close.
// Most reports then end the program; the ending goes through world_exit so that tests can stop
// a load at the point of failure instead of leaving the process.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int WORLD_ERROR_SIZE = 500;  // the formatted report, prefix included

// Shows the report and asks the main window to close; the caller goes on.
void world_error(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Shows the report, asks the main window to close and ends the program with the given status.
[[noreturn]] void world_fatal(int status, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
// The world engine's allocations: tracked blocks. A failure first reports "Can't allocate more
// memory", then the caller reports what it was for.
void* world_malloc(size_t size);
void* world_calloc(size_t count, size_t size);

// Ends the program with the given status through the exit handler.
[[noreturn]] void world_exit(int status);

// The handler must not return (it throws or jumps); nullptr restores the default (std::exit).
// If a handler returns anyway, std::exit ends the program.
using WorldExitHandler = void (*)(int status);
void world_set_exit_handler(WorldExitHandler handler);

// The last report as shown ("Error: ..."), and the number of reports so far (for tests).
const char* world_last_error();
int world_error_count();
