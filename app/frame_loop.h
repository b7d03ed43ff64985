// The frame loop: one window message per pass, then the overlay, then a frame when a tick is
// pending, with the fixed 10 ms game steps after it; the timer's tick callback; the
// application's message handler.
#pragma once
#include <cstdint>

// Most game steps caught up after one frame.
constexpr int32_t MAX_STEPS_PER_FRAME = 20;
constexpr double STEP_TIME = 0.3;
constexpr uint8_t HIGHLIGHT_LOW = 149;
constexpr uint8_t HIGHLIGHT_HIGH = 159;

// Window-menu commands of the application.
constexpr uint32_t CMD_BACK_TO_GAME = 40004;
constexpr uint32_t CMD_EXIT = 40005;
constexpr uint32_t CMD_HELP_TOPICS = 41001;
constexpr uint32_t CMD_ABOUT = 41002;

// Frame-timer callback (timer thread): counts a tick while the application is active and ready.
void TimerTick();

// Every window message comes here first; the result is the window procedure's.
intptr_t AppMessageHandler(uint32_t message, uintptr_t wParam, intptr_t lParam);

// One pass of the loop. Returns 0 when it took WM_QUIT (its wParam in *exitCode), else 1.
int FrameLoopPass(int* exitCode);
// Runs passes until WM_QUIT; returns its wParam.
int RunFrameLoop();

// The pieces of a pass.
bool FrameIsDue();
// Draws, presents and steps one frame. False when an attract step opened the overlay.
bool RunFrame();
void StepHighlight();
void RunGameSteps();

// Copies the frame buffer to the display.
void PresentFrame();
// Redraws the whole screen outside the loop (after display-mode changes).
void RedrawScreen();
// Binds player 1's controls for menus (a menu is shown or the attract list plays) or for play.
void SetControlBindings();
void BindControls(bool forMenus);

// The current menu's input code of this frame, from the last poll: open or back (Escape, or any
// key or button while the attract list plays under no shown menu and no Alt key was held),
// select (player 1's fourth or third button), then up, down, left, right; else none.
constexpr int MENU_NONE = 0;
constexpr int MENU_OPEN = 1;
constexpr int MENU_SELECT = 2;
constexpr int MENU_UP = 4;
constexpr int MENU_DOWN = 8;
constexpr int MENU_LEFT = 16;
constexpr int MENU_RIGHT = 32;
int MenuInputCode();

// After this many drawn frames WM_CLOSE is posted (0: no limit).
void SetFrameLimit(int64_t frames);
// Once the millisecond counter reaches `ms`, WM_CLOSE is posted (0: no limit).
void SetTimeLimit(uint32_t ms);
// With the virtual clock: the milliseconds a drawn frame costs (1 by default). Long headless runs
// draw fewer frames of the same game time with more; the game steps are the same.
void SetVirtualFrameCost(uint32_t ms);
