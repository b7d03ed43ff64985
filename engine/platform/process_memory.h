// The process's own memory as the system sees it, beside the tracked blocks that the engine
// counts itself: what a long run watches to tell a leak outside the tracked blocks.
#pragma once
#include <cstdint>

// Resident size of this process in bytes (Linux: /proc/self/statm); -1 when it cannot be read.
int64_t zr_process_resident_bytes();
