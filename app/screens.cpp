#include "app/screens.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/app_state.h"
#include "app/attract.h"
#include "app/frame_loop.h"
#include "app/game_shell.h"
#include "app/help.h"
#include "app/texts.h"
#include "engine/display/display.h"
#include "engine/display/palette.h"
#include "engine/display/video_mode.h"
#include "engine/platform/messages.h"
#include "engine/sound/sound.h"
#include "game/game.h"
#include "game/game_state.h"
#include "game/play_state.h"

ZR_MENU gameMenus[GAME_MENUS] = {};
int32_t currentMenu = MENU_MAIN;
HighScoreTable* highScores = nullptr;
HighScoreEntry* entryRecord = nullptr;
int32_t entryCursor = -1;
int32_t menuTransparency = 0;

namespace {

int32_t menuReport = 0;
int32_t boundForMenus = -1;  // menuShown when the bindings were last set

// The notification ids of the menus' options.
enum Notification : int32_t {
  N_START_OR_LEAVE = 1001,
  N_OPTIONS = 1002,
  N_HIGH_SCORES = 1003,
  N_HELP = 1004,
  N_DISPLAY = 1005,
  N_SOUND = 1006,
  N_BACKGROUND = 2001,
  N_MAPS = 2002,
  N_LIVES = 2003,
  N_MAIN_MENU = 2004,
  N_MUSIC_VOLUME = 3001,
  N_EFFECTS_VOLUME = 3002,
  N_FULL_SCREEN = 3003,
  N_FULL_SCREEN_LOW = 3004,
  N_FULL_SCREEN_HIGH = 3005,
  N_BACK_FROM_DISPLAY = 3006,
  N_QUIT = 4001,
  N_BACK_FROM_4002 = 4002,
  N_SCORE_LINE_1 = 5001,
  N_SCORE_LINE_5 = 5005,
  N_BACK_FROM_SCORES = 5006,
  N_BACK_FROM_6005 = 6005,
  N_END_GAME = 7001,
  N_KEEP_PLAYING = 7002,
  N_NAME_ENTRY = 8001,
};

// Text variants of the volume options.
constexpr int kVolumeBar = 0, kVolumeSilent = 1, kVolumeOff = 2, kVolumeNoDevice = 3;

ZR_MENU* CurrentMenu() {
  return &gameMenus[std::clamp<int32_t>(currentMenu, 0, GAME_MENUS - 1)];
}

void Toggle(int32_t* flag) {
  *flag = *flag ? 0 : 1;
}

// The display-mode commands, as the window's Display menu gives them: the toggle goes through
// Alt+Enter so that it runs between frames, like the menu bar's and the keyboard's.
void RunDisplayModeCommand(int32_t id) {
  if (id == N_FULL_SCREEN_LOW) {
    zr_dsp_low_res();
  } else if (id == N_FULL_SCREEN_HIGH) {
    zr_dsp_high_res();
  } else {
    zr_post_message(WM_SYSKEYDOWN, VK_RETURN, 0);
    zr_post_message(WM_LBUTTONDOWN, 0, 0);
  }
}

void ChangeVolume(int32_t id, int input) {
  const bool music = id == N_MUSIC_VOLUME;
  bool toggle = false;
  int32_t volume = SteppedVolume(music ? musicVolume : effectsVolume, input, &toggle);
  if (toggle) {
    // Off: the input turns the part back on; without a device nothing changes.
    if (music) {
      zr_sound_toggle_music();
    } else {
      zr_sound_toggle_effects();
    }
    return;
  }
  if (music) {
    zr_sound_set_music_volume(volume);
  } else {
    zr_sound_set_effects_volume(volume);
  }
}

void FinishNameEntry() {
  entryCursor = -1;
  entryRecord = nullptr;
  OpenMenu(MENU_HIGH_SCORES);
  StartAttractSequence();
}

void NameEntry(int input) {
  if (entryRecord == nullptr || entryRecord->name == nullptr || highScores == nullptr ||
      entryCursor < 0) {
    // Nothing is being named (the menu was reached some other way): leave it.
    FinishNameEntry();
    return;
  }
  const int32_t last = std::max<int32_t>(highScores->maxSizeName - 1, 0);
  entryCursor = std::clamp<int32_t>(entryCursor, 0, last);
  char& c = entryRecord->name[entryCursor];
  switch (input) {
    case ZR_MENU_PREVIOUS:
      c = NextNameCharacter(c);
      break;
    case ZR_MENU_NEXT:
      c = PreviousNameCharacter(c);
      break;
    case ZR_MENU_LEFT:
      entryCursor = std::max<int32_t>(entryCursor - 1, 0);
      break;
    case ZR_MENU_RIGHT:
      entryCursor = std::min<int32_t>(entryCursor + 1, last);
      break;
    default:
      FinishNameEntry();
      break;
  }
}

void SetText(ZR_MENU_LINE* line, const char* text) {
  if (line->textCount < 1) return;
  std::snprintf(line->texts[0].text, sizeof line->texts[0].text, "%s", text);
}

}  // namespace

void InitGameMenus() {
  ZR_MENU_CONFIG config = {};
  config.report = &menuReport;
  config.screenWidth = ZR_DSP_BASE_WIDTH;
  config.screenHeight = ZR_DSP_BASE_HEIGHT;
  config.fullScreen = &fullscreenFlag;
  config.transparency = &menuTransparency;
  config.titleFont = &titleFont;
  zr_menu_init(&config);
  currentMenu = MENU_MAIN;
  entryRecord = nullptr;
  entryCursor = -1;
  menuTransparency = 0;
  boundForMenus = -1;
}

int LoadGameMenus(const char* file) {
  int loaded = 0;
  for (int k = 0; k < GAME_MENUS; ++k) {
    char section[16];
    std::snprintf(section, sizeof section, "Menu_%d", k);
    loaded += zr_menu_load(&gameMenus[k], file, section, &mainFont, GameMenuCallback, nullptr);
  }
  return loaded;
}

void FreeGameMenus() {
  for (ZR_MENU& menu : gameMenus) zr_menu_free(&menu);
}

void ReloadGameMenus(const char* file) {
  const bool shown = CurrentMenuShown();
  FreeGameMenus();
  LoadGameMenus(file);
  zr_menu_open(CurrentMenu(), shown ? 1 : 0);
  SyncMenuShown();
}

void HideCurrentMenu() {
  zr_menu_open(CurrentMenu(), 0);
  SyncMenuShown();
}

void OpenMenu(int k) {
  if (k < 0 || k >= GAME_MENUS) return;
  zr_menu_open(&gameMenus[k], 1);
  currentMenu = k;
  SyncMenuShown();
}

bool CurrentMenuShown() {
  return CurrentMenu()->shown != 0;
}

void SyncMenuShown() {
  // Without menus (no menu file) the flag and the bindings stay as the rest of the program set
  // them.
  if (CurrentMenu()->lines == nullptr) return;
  menuShown = CurrentMenuShown() ? 1 : 0;
  // Whatever showed or hid the menu (a key, a time-out, an option), the controls follow it.
  if (boundForMenus != menuShown) {
    boundForMenus = menuShown;
    SetControlBindings();
  }
}

void MenuNotify(int32_t id, int input) {
  switch (id) {
    case N_START_OR_LEAVE:
      if (StartScreenShowing()) {
        StartGameFromMenu();
      } else {
        OpenMenu(MENU_LEAVE_GAME);
      }
      break;
    case N_OPTIONS:
      OpenMenu(MENU_OPTIONS);
      break;
    case N_HIGH_SCORES:
      OpenMenu(MENU_HIGH_SCORES);
      break;
    case N_HELP:
      OpenHelp(HELP_CONTEXT_TOPICS);
      break;
    case N_DISPLAY:
      OpenMenu(MENU_DISPLAY);
      break;
    case N_SOUND:
      OpenMenu(MENU_SOUND);
      break;
    case N_BACKGROUND:
      Toggle(&backgroundOn);
      break;
    case N_MAPS:
      Toggle(&hideMaps);
      break;
    case N_LIVES:
      Toggle(&sevenLives);
      break;
    case N_MAIN_MENU:
    case N_BACK_FROM_DISPLAY:
    case N_BACK_FROM_4002:
    case N_BACK_FROM_SCORES:
    case N_BACK_FROM_6005:
    case N_KEEP_PLAYING:
      OpenMenu(MENU_MAIN);
      break;
    case N_MUSIC_VOLUME:
    case N_EFFECTS_VOLUME:
      ChangeVolume(id, input);
      break;
    case N_FULL_SCREEN:
    case N_FULL_SCREEN_LOW:
    case N_FULL_SCREEN_HIGH:
      RunDisplayModeCommand(id);
      break;
    case N_QUIT:
      zr_post_message(WM_CLOSE, 0, 0);
      break;
    case N_END_GAME:
      OpenMenu(MENU_MAIN);
      // The game is over for good: nothing of it stays running under the start screen.
      StopGame();
      paused = 0;
      StartAttractSequence();
      break;
    case N_NAME_ENTRY:
      NameEntry(input);
      break;
    default:
      break;
  }
}

void MenuValue(ZR_MENU_LINE* option) {
  if (option == nullptr) return;
  switch (option->value) {
    case N_START_OR_LEAVE:
      option->shown = StartScreenShowing() ? 1 : 0;
      break;
    case N_BACKGROUND:
      option->shown = backgroundOn ? 0 : 1;
      break;
    case N_MAPS:
      option->shown = hideMaps ? 1 : 0;
      break;
    case N_LIVES:
      option->shown = sevenLives ? 1 : 0;
      break;
    case N_MUSIC_VOLUME:
    case N_EFFECTS_VOLUME: {
      int32_t volume = option->value == N_MUSIC_VOLUME ? musicVolume : effectsVolume;
      if (volume > 0) {
        option->shown = kVolumeBar;
        if (option->textCount > 0) WriteVolumeBar(option->texts[0].text, volume);
      } else if (volume == 0) {
        option->shown = kVolumeSilent;
      } else if (volume == ZR_SOUND_VOLUME_OFF) {
        option->shown = kVolumeOff;
      } else {
        option->shown = kVolumeNoDevice;
      }
      break;
    }
    case N_FULL_SCREEN:
      option->shown = fullscreenFlag ? 0 : 1;
      break;
    case N_NAME_ENTRY:
      if (entryRecord != nullptr && entryRecord->name != nullptr)
        SetText(option, entryRecord->name);
      break;
    default:
      if (option->value >= N_SCORE_LINE_1 && option->value <= N_SCORE_LINE_5 && highScores &&
          option->textCount > 0) {
        const int32_t index = option->value - N_SCORE_LINE_1;
        if (index < highScores->count && highScores->entries[index] != nullptr) {
          char line[ZR_MENU_TEXT_ROOM];
          SetText(option, FormatHighScoreLine(highScores, index, line, sizeof line));
        }
      }
      break;
  }
}

void GameMenuCallback(ZR_MENU*, ZR_MENU_LINE* line, int32_t value, int32_t event, int32_t, void*) {
  if (line != nullptr) {
    MenuValue(line);
  } else {
    MenuNotify(value, event);
  }
}

void FeedMenuInput(int code) {
  if (zr_menu_event(CurrentMenu(), code) && code != ZR_MENU_NONE) {
    zr_sound_play(menuSound, 0);
    if (code == ZR_MENU_ESCAPE) SetControlBindings();
  }
  SyncMenuShown();
}

void DrawCurrentMenu() {
  zr_menu_draw(CurrentMenu(), &mainFont, &frameBuffer, ZR_MENU_DRAW_FRAME, highlightColour);
}

bool StartScreenShowing() {
  return attractPlaying || !gameRunning;
}

void StartGameFromMenu() {
  HideCurrentMenu();
  DrawTextMessage(1);
  PresentFrame();
  zr_dsp_flip();
  StopAttractSequence();
  StartGameAtLevel(1);
}

int OfferScore(uint16_t score) {
  int32_t at = InsertHighScore(highScores, score);
  if (at < 0) return 0;
  entryRecord = highScores->entries[at];
  entryCursor = 0;
  OpenMenu(MENU_NAME_ENTRY);
  SetControlBindings();
  return 1;
}

void EndOfGame(uint16_t score) {
  StopGame();
  paused = 0;
  if (!OfferScore(score)) StartAttractSequence();
}

void StopAttractSequence() {
  StopAttract(attractList);
  attractPlaying = 0;
  attractEntryType = 0;
  SetControlBindings();
}

void StartAttractSequence() {
  StartAttract(attractList);
  SetControlBindings();
}

char NextNameCharacter(char c) {
  return (c < ' ' || c >= 'Z') ? ' ' : char(c + 1);
}

char PreviousNameCharacter(char c) {
  return (c <= ' ' || c > 'Z') ? 'Z' : char(c - 1);
}

int32_t SteppedVolume(int32_t volume, int input, bool* toggle) {
  if (toggle) *toggle = false;
  if (volume < 0) {
    // Off (-2) or no device (-1): the bar stays where it is.
    if (toggle) *toggle = true;
    return volume;
  }
  if (input == ZR_MENU_RIGHT || input == ZR_MENU_SELECT) return std::min(volume + 10, 100);
  if (input == ZR_MENU_LEFT) return std::max(volume - 10, 0);
  return volume;
}

void WriteVolumeBar(char* text, int32_t volume) {
  if (text == nullptr) return;
  const size_t length = std::strlen(text);
  size_t bar = length;  // without a space or point there is a label and no bar
  for (size_t i = 0; i < length; ++i) {
    if (text[i] == ' ' || text[i] == '.') bar = i + 1;
  }
  for (size_t i = bar; i < length; ++i) {
    if (text[i] == '*') text[i] = '-';
  }
  if (bar >= length) return;  // a label without a bar
  size_t at = volume > 10 ? size_t(volume / 10 - 1) : 0;
  text[std::min(bar + at, length - 1)] = '*';
}

// ---- The overlay picture --------------------------------------------------------------------

namespace {

ZR_BITMAP overlayPicture = {};
uint8_t overlayPalette[ZR_PALETTE_SIZE];  // the palette on show while the picture opens and fades
bool overlayOpening = false;
constexpr uint8_t kOpeningStep = 16;
constexpr uint8_t kFadeFirst = 10, kFadeCount = 236, kFadeStep = 10;

void ShowOverlay() {
  if (overlayPicture.pixels != nullptr && frameBuffer.pixels != nullptr) {
    ZR_RECT from = {0, 0, overlayPicture.width, overlayPicture.height};
    ZR_RECT to = {0, 0, frameBuffer.width, frameBuffer.height};
    zr_bitmap_blit(&frameBuffer, &overlayPicture, &from, &to, ZR_BLIT_STRETCH);
  }
  PresentFrame();
  zr_dsp_flip();
}

// One step of the opening: every colour moves toward the picture's own. False once all are there.
bool AdvanceOpening() {
  int changed = 0;
  for (int i = 0; i < 256; ++i) {
    changed += zr_pal_fade_step(overlayPalette, uint8_t(i), 1, &overlayPicture.palette[3 * i],
                                kOpeningStep);
  }
  zr_pal_set(overlayPalette);
  return changed != 0;
}

}  // namespace

int OpenOverlay(const char* pictureFile) {
  overlayState = 0;
  zr_bitmap_free(&overlayPicture);
  overlayPicture = ZR_BITMAP{};
  if (pictureFile == nullptr ||
      !zr_bitmap_load(&overlayPicture, pictureFile, ZR_BITMAP_LOAD_PALETTE) ||
      overlayPicture.palette == nullptr) {
    zr_bitmap_free(&overlayPicture);
    overlayPicture = ZR_BITMAP{};
    return overlayState;
  }
  overlayState = 1;
  // The picture opens from black.
  std::memset(overlayPalette, 0, sizeof overlayPalette);
  zr_pal_set(overlayPalette);
  overlayOpening = true;
  ShowOverlay();
  return overlayState;
}

int OverlayStep(int state) {
  // Without a picture there is nothing to fade: the overlay stays until a key asks it to close.
  if (overlayPicture.pixels == nullptr) return state == 2 ? 0 : state;
  int result = 0;
  if (state == 1) {
    if (overlayOpening) {
      if (!AdvanceOpening()) {
        overlayOpening = false;
        std::memcpy(overlayPalette, overlayPicture.palette, sizeof overlayPalette);
        zr_pal_set(overlayPalette);
      }
      result = 1;
    } else {
      // Then it fades to black, all but the first ten colours and the last ten.
      constexpr uint8_t kBlack[3] = {0, 0, 0};
      result = zr_pal_fade_step(overlayPalette, kFadeFirst, kFadeCount, kBlack, kFadeStep) ? 1 : 0;
      zr_pal_set(overlayPalette);
    }
  }
  ShowOverlay();
  return result;
}

void ReleaseOverlay() {
  zr_bitmap_free(&overlayPicture);
  overlayPicture = ZR_BITMAP{};
  overlayOpening = false;
  overlayState = 0;
}

void CloseOverlay() {
  ReleaseOverlay();
  if (frameBuffer.pixels != nullptr) zr_bitmap_clear(&frameBuffer, nullptr);
  PresentFrame();
  if (palette != nullptr) zr_pal_set(palette);
}
