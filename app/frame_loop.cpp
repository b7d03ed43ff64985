#include "app/frame_loop.h"

#include <algorithm>

#include "app/app_state.h"
#include "app/attract.h"
#include "app/help.h"
#include "app/memory_stats.h"
#include "app/messages.h"
#include "app/play_session.h"
#include "app/screens.h"
#include "app/startup.h"
#include "app/texts.h"
#include "app/window_proc.h"
#include "engine/display/display.h"
#include "engine/display/palette.h"
#include "engine/input/input.h"
#include "engine/input/player.h"
#include "engine/platform/clock.h"
#include "engine/platform/messages.h"
#include "engine/sound/music.h"
#include "engine/sound/sound.h"
#include "game/game.h"
#include "game/status.h"
#include "world/frame_target.h"

namespace {

int64_t frameLimit = 0;
uint32_t timeLimit = 0;
// Virtual milliseconds that a drawn frame costs.
uint32_t virtualFrameMs = 1;
bool timeLimitPosted = false;

// The parts of the game that are not built yet; each names what will fill it.

// Alt keys (scan codes 56 and 184) as they were at the last poll, before they were cleared: the
// menu input opens no menu on "any key" while Alt is held (Alt+Enter, Alt+Tab).
bool altHeldAtPoll = false;

// The devices are read once per drawn frame, before the frame and its game steps, and never
// between the steps of one frame: every step of a frame sees the same controls, and those are
// decided only by the input taken before the frame, so a run replays the same from the same
// input. Alt is cleared right after the poll, so that it is never a game control nor "any key".
void PollDevicesAndClearAlt() {
  zr_input_poll();
  altHeldAtPoll = zr_input_get_key(56) != 0 || zr_input_get_key(184) != 0;
  zr_input_set_key(56, 0);
  zr_input_set_key(184, 0);
}

void PollInputDevices() {
  PollDevicesAndClearAlt();
  zr_play_update();
}

constexpr int kEscapeKey = 1;

void DrawGameFrameOrTestCard() {
  if (gameRunning) {
    DrawGameFrame();  // the world, the status display and the game's messages
    return;
  }
  // No game and nothing else to show (the start screen's pictures and menus are not there yet):
  // the palette test card.
  if (frameBuffer.pixels) zr_dsp_draw_test_card(&frameBuffer, zr_pal_current());
}

void RunAttractStep() {
  AttractStep(attractList);
}

void RunGameStep() {
  GameStep();
  TracePlayStep();
}

void OverlayPass() {
  if (!appActive || !appReady || !displayReady || overlayState == 0) return;
  PollDevicesAndClearAlt();
  if (zr_input_any()) overlayState = 2;
  overlayState = OverlayStep(overlayState);
  if (overlayState == 0) CloseOverlay();
}

void HandleKey(uintptr_t virtualKey) {
  switch (virtualKey) {
    case 'P':
      if (!attractPlaying) paused = paused ? 0 : 1;
      break;
    case VK_F1:
      OpenHelp(HELP_CONTEXT_TOPICS);
      break;
    case 'I':
      if (zr_key_is_down(VK_CONTROL) && zr_key_is_down(VK_SHIFT)) ToggleInvulnerability();
      break;
    case 'L':
      if (zr_key_is_down(VK_CONTROL) && zr_key_is_down(VK_SHIFT)) EndLevelNow();
      break;
    default:
      break;
  }
}

void HandleCommand(uint32_t command) {
  switch (command) {
    case CMD_BACK_TO_GAME:
      zr_post_message(WM_LBUTTONDOWN, 0, 0);
      break;
    case CMD_EXIT:
      zr_post_message(WM_CLOSE, 0, 0);
      break;
    case CMD_HELP_TOPICS:
      OpenHelp(HELP_CONTEXT_TOPICS);
      break;
    case CMD_ABOUT:
      ShowAboutBox();
      break;
    default:
      break;
  }
}

void InputWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  zr_input_window_message(message, wParam, lParam);
}

void SoundWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  zr_sound_window_message(message, wParam, lParam);
}

// Time that a pass spends when it takes no message. With the virtual clock a drawn frame costs
// 1 ms and an idle pass jumps to the next tick, so runs are fast and repeatable. On the real
// clock an idle pass sleeps 1 ms instead of spinning a core at full load.
void IdleWait(bool drew) {
  if (zr_clock_is_virtual()) {
    uint32_t due = drew ? virtualFrameMs : zr_clock_next_due();
    zr_clock_advance(std::max<uint32_t>(due, 1));
  } else if (!drew) {
    zr_sleep_ms(1);
  }
}

}  // namespace

void TimerTick() {
  if (appActive && appReady) ++tickCount;
  // Music: the stream's refill while music is on, the window active and a music loaded.
  if (zr_sound_music_on() && zr_sound_window_active() && zr_music_is_loaded()) zr_music_update();
}

intptr_t AppMessageHandler(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case WM_CLOSE:
      // WM_CLOSE may come twice (the close button and --frames, say): the second finds the
      // program already shut down.
      if (!ShutDownDone()) {
        SaveFinalFrame();
        ShutDown();
      }
      break;
    case WM_KEYDOWN:
      HandleKey(wParam);
      break;
    case WM_COMMAND:
      HandleCommand(uint32_t(wParam & 0xFFFF));
      break;
    default:
      break;
  }
  // Once shut down, the input and sound modules are gone: only the window sees what still comes.
  if (!ShutDownDone()) {
    InputWindowMessage(message, wParam, lParam);
    SoundWindowMessage(message, wParam, lParam);
  }
  return WindowProcedure(message, wParam, lParam);
}

bool FrameIsDue() {
  return appActive && appReady && tickCount != 0 && displayReady && overlayState == 0;
}

void StepHighlight() {
  if (highlightRising) {
    if (highlightColour >= HIGHLIGHT_HIGH) {
      highlightRising = 0;
    } else {
      ++highlightColour;
    }
  } else {
    if (highlightColour <= HIGHLIGHT_LOW) {
      highlightRising = 1;
    } else {
      --highlightColour;
    }
  }
}

void RunGameSteps() {
  if (overlayState != 0) return;
  // The attract list plays no steps, except in its gameplay demos (entry type 4).
  if (attractPlaying && attractEntryType != 4) return;
  tickCount = std::clamp<int32_t>(tickCount, 0, MAX_STEPS_PER_FRAME);
  while (tickCount > 0 && gameRunning) {
    stepTime = STEP_TIME;
    RunGameStep();
    --tickCount;
    ++stepsRun;
  }
}

bool RunFrame() {
  ++framesDrawn;
  if (frameLimit > 0 && framesDrawn == frameLimit) zr_post_message(WM_CLOSE, 0, 0);
  if (timeLimit > 0 && !timeLimitPosted && zr_get_tick_count() >= timeLimit) {
    timeLimitPosted = true;
    zr_post_message(WM_CLOSE, 0, 0);
  }
  SampleMemoryStats();
  PollInputDevices();
  if (!attractPlaying) {
    DrawGameFrameOrTestCard();
  } else {
    RunAttractStep();
    if (overlayState != 0) return false;
  }
  if (attractPlaying && !CurrentMenuShown()) {
    DrawTextMessage(4);
    DrawTextMessage(5);
  }
  FeedMenuInput(MenuInputCode());
  DrawCurrentMenu();
  StepHighlight();
  PresentFrame();
  zr_dsp_flip();
  RunGameSteps();
  return true;
}

int FrameLoopPass(int* exitCode) {
  ZR_MSG msg;
  uint32_t flags = PM_REMOVE | (appActive ? PM_NOYIELD : 0);
  bool took = zr_peek_message(&msg, flags) != 0;
  if (took) {
    if (msg.message == WM_QUIT) {
      if (exitCode) *exitCode = int(msg.wParam);
      return 0;
    }
    AppMessageHandler(msg.message, msg.wParam, msg.lParam);
  }
  OverlayPass();
  bool drew = FrameIsDue() && RunFrame();
  if (!took) IdleWait(drew);
  return 1;
}

int RunFrameLoop() {
  int exitCode = 0;
  while (FrameLoopPass(&exitCode)) {
  }
  return exitCode;
}

void PresentFrame() {
  if (zr_dsp_is_started()) zr_dsp_copy(&frameBuffer, 0);
}

void RedrawScreen() {
  if (frameBuffer.pixels) {
    set_frame_target(frameBuffer.pixels, frameBuffer.width - 1, frameBuffer.height - 1);
  }
  if (gameRunning && overlayState == 0) {
    DrawGameFrameOrTestCard();
    redrawPending = 0;
  } else {
    redrawPending = 1;
  }
}

// Player 1's bindings: keyboard, mouse and joystick rows of up, down, left, right, buttons 1-4.
constexpr int32_t kMenuBindings[3][ZR_PLAY_CONTROLS] = {
    {200, 208, 203, 205, 23, 24, 57, 28},
    {400, 401, 402, 403, 23, 24, 406, 407},
    {500, 501, 502, 503, 23, 24, 506, 507},
};
constexpr int32_t kPlayBindings[3][ZR_PLAY_CONTROLS] = {
    {200, 208, 203, 205, 30, 44, 48, 57},
    {400, 401, 402, 403, 30, 44, 407, 406},
    {500, 501, 502, 503, 508, 506, 506, 507},
};

void BindControls(bool forMenus) {
  const auto& rows = forMenus ? kMenuBindings : kPlayBindings;
  for (const int32_t* row : rows) zr_play_setup(playerControls, 1, row);
}

void SetControlBindings() {
  BindControls(menuShown || attractPlaying);
}

int MenuInputCode() {
  bool anyKey = !altHeldAtPoll && !menuShown && attractPlaying && zr_input_any();
  if (zr_input_get_key(kEscapeKey) || anyKey) return MENU_OPEN;
  if (playerControls[ZR_BUTTON4] || playerControls[ZR_BUTTON3]) return MENU_SELECT;
  constexpr struct {
    int control, code;
  } kDirections[] = {
      {ZR_UP, MENU_UP}, {ZR_DOWN, MENU_DOWN}, {ZR_LEFT, MENU_LEFT}, {ZR_RIGHT, MENU_RIGHT}};
  for (const auto& direction : kDirections) {
    if (playerControls[direction.control]) return direction.code;
  }
  return MENU_NONE;
}

void SetFrameLimit(int64_t frames) {
  frameLimit = frames;
}

void SetVirtualFrameCost(uint32_t ms) {
  virtualFrameMs = ms < 1 ? 1 : ms;
}

void SetTimeLimit(uint32_t ms) {
  timeLimit = ms;
  timeLimitPosted = false;
}
