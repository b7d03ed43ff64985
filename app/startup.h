// Start-up in its fixed order, and the orderly shut-down on WM_CLOSE.
#pragma once
#include <cstdint>

struct StartOptions {
  bool headless = false;
  bool virtualClock = false;
};

// The name of the data archive (the program's string resource 101).
constexpr const char* ARCHIVE_NAME = "VELDRAN.DAT";
constexpr const char* TEXTS_FILE = "DATA\\TEXTS.TXT";
// The window opens at the largest multiple of the base size that fits, at most this one.
constexpr int MAX_WINDOW_FACTOR = 4;

// Brings every module up. Returns 1 when the frame loop may begin, else 0 with a one-line
// reason in StartUpError().
int StartUp(const StartOptions& options);
const char* StartUpError();
// The last start-up stopped because another copy runs (it was brought to the front).
bool StartUpFoundOtherCopy();
// Between start-up and shut-down.
bool ServicesRunning();
// From a shut-down to the next start-up: the modules are gone and get no more messages.
bool ShutDownDone();

// Releases everything in order; a second call does nothing.
void ShutDown();
// After a failed start-up: nothing is saved, only the timer, window and platform are let go.
void AbandonStartUp();

// What the last shut-down found left over.
struct ShutDownReport {
  bool done = false;
  int filesOpen = 0;
  int memoryBlocks = 0;
  int32_t memoryBytes = 0;
};
const ShutDownReport& LastShutDown();
