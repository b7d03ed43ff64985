#include "app/startup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/frame_loop.h"
#include "app/game_shell.h"
#include "app/messages.h"
#include "engine/core/error.h"
#include "engine/core/fileio.h"
#include "engine/core/keyfile.h"
#include "engine/core/list.h"
#include "engine/core/memory.h"
#include "engine/core/random.h"
#include "engine/core/zr_string.h"
#include "engine/display/display.h"
#include "engine/display/palette.h"
#include "engine/display/timer.h"
#include "engine/input/input.h"
#include "engine/input/player.h"
#include "engine/platform/clock.h"
#include "engine/platform/message_box.h"
#include "engine/platform/messages.h"
#include "engine/platform/video.h"
#include "engine/sound/music.h"
#include "engine/sound/sound.h"
#include "engine/ui/font.h"
#include "game/game.h"
#include "world/frame_target.h"
#include "world/world_error.h"

namespace {

std::string startUpError;
bool servicesStarted = false;
ShutDownReport lastShutDown;
ZR_INPUT_CONFIG inputConfig;
bool inputTakenByBox = false;

// The warning box gives the devices back while it is shown (the user needs the cursor to
// answer it) and takes them again afterwards if the game had them.
void ReleaseInputForBox() {
  inputTakenByBox = zr_input_is_active() != 0;
  zr_input_activate(0);
}

void RetakeInputForBox() {
  if (inputTakenByBox) zr_input_activate(1);
}

// Step 12: player 1 drives playerControls, with the eight default keys in configuration 1.
void CreatePlayerControls() {
  constexpr int32_t kDefaultKeys[ZR_PLAY_CONTROLS] = {200, 208, 203, 205, 23, 24, 57, 28};
  zr_play_add(playerControls);
  zr_play_setup(playerControls, 1, kDefaultKeys);
}

int Fail(const std::string& reason) {
  startUpError = reason;
  return 0;
}

void ReadAppText(const char* key, char* buffer, int size) {
  zr_io_get_string("Application", key, buffer, size, TEXTS_FILE);
}

// Names of DATA\TEXTS.TXT that the game writes to or hands to the shell stay in its folder: one
// that is absolute, names a drive or climbs with ".." is cut to its bare file name (or dropped),
// and one warning at the end of start-up lists them.
std::string leavingNames;

void ConfineAppName(const char* key, char* name, size_t size) {
  if (name[0] == '\0' || zr_io_name_confined(name)) return;
  std::string bare = name;
  size_t cut = bare.find_last_of("\\/:");
  if (cut != std::string::npos) bare.erase(0, cut + 1);
  if (bare == "..") bare.clear();
  leavingNames += std::string(leavingNames.empty() ? "" : ", ") + key + "=" + name;
  std::snprintf(name, size, "%s", bare.c_str());
}

void WarnAboutLeavingNames() {
  if (leavingNames.empty()) return;
  std::string text =
      "These file names in " + std::string(TEXTS_FILE) +
      " lead outside the game's folder; only their bare names are used: " + leavingNames;
  zr_message_box(text.c_str(), "Warning", MB_OK | MB_ICONEXCLAMATION);
  leavingNames.clear();
}

// Step 13: the window at the largest multiple of 320 x 200 that fits the work area (4x at
// most; a title bar's height is left free), and the display in it.
int OpenWindowAndDisplay() {
  int workWidth = 0, workHeight = 0;
  zr_platform_work_area(&workWidth, &workHeight);
  constexpr int kTitleBarAllowance = 40;
  int factor = zr_window_factor_for(workWidth, workHeight - kTitleBarAllowance, ZR_DSP_BASE_WIDTH,
                                    ZR_DSP_BASE_HEIGHT, MAX_WINDOW_FACTOR);
  const char* windowTitle = title[0] ? title : "ZRSENTRY";
  if (!zr_window_open(windowTitle, ZR_DSP_BASE_WIDTH * factor, ZR_DSP_BASE_HEIGHT * factor)) {
    return Fail(zr_platform_error());
  }
  zr_window_set_minimum_size(ZR_DSP_BASE_WIDTH, ZR_DSP_BASE_HEIGHT);
  if (!zr_dsp_init()) return Fail("cannot create the frame buffer");
  ZR_DSP_START start = {};
  start.frameBuffer = &frameBuffer;
  start.displayReady = &displayReady;
  start.appActive = &appActive;
  if (!zr_dsp_start(&start)) return Fail("cannot start the display");
  return 1;
}

// A failure of the world engine ends the program once its warning box is answered. The world
// engine would end it with status 0, as if all were well: the program ends with 1 and the reason
// on one line instead.
[[noreturn]] void WorldFailed(int) {
  std::string reason = world_last_error();
  for (char& c : reason) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  while (!reason.empty() && reason.back() == ' ') reason.pop_back();
  std::fprintf(stderr, "zrsentry: %s\n", reason.c_str());
  std::exit(1);
}

// Step 11: the application owns the six integers that the sound module keeps up to date.
void StartSound() {
  ZR_SOUND_CONFIG config = {};
  config.report = &soundReport;
  config.appActive = &appActive;
  config.musicOn = &musicOn;
  config.effectsOn = &effectsOn;
  config.musicVolume = &musicVolume;
  config.effectsVolume = &effectsVolume;
  config.quality = &musicQuality;
  config.soundMenuPosition = 2;
  config.qualityMenuPosition = 3;
  zr_sound_init(&config);
}

}  // namespace

int StartUp(const StartOptions& options) {
  startUpError.clear();
  leavingNames.clear();
  lastShutDown = ShutDownReport{};
  ResetAppState();

  // 1. AppMessageHandler receives every message of the frame loop (no handler to store).
  world_set_exit_handler(WorldFailed);
  // 2. Platform check.
  zr_clock_use_virtual(options.virtualClock);
  if (!zr_platform_init(options.headless)) return Fail(zr_platform_error());

  // 3. The service modules.
  zr_error_init(&errorReport);
  zr_list_init(&listReport);
  zr_mem_init(&memoryReport);
  zr_string_init(&stringReport);
  servicesStarted = true;

  // 4. String resource 101: the data archive's name.
  std::snprintf(ioConfig.archiveName, sizeof ioConfig.archiveName, "%s", ARCHIVE_NAME);

  // 5. The file module (a missing archive is reported, and loose files are read instead).
  zr_io_init(&ioConfig);
  zr_io_confine_names(1);  // names from the data never lead outside the game's folders
  zr_font_init(&fontReport);

  // 6. Font names, then the five fonts and the menu module.
  ReadAppText("FNTFile", fntFile, sizeof fntFile);
  ReadAppText("MAPFile", mapFile, sizeof mapFile);
  ReadAppText("MAPFileT", mapFileT, sizeof mapFileT);
  ReadAppText("MAPTrans", mapTrans, sizeof mapTrans);
  ReadAppText("MAPShips", mapShips, sizeof mapShips);
  // A font that does not load leaves its slot empty, which draws nothing.
  zr_font_load(&mainFont, fntFile, ZR_FONT_TRIM);
  zr_font_load(&mapFont, mapFile, ZR_FONT_TRIM);
  zr_font_load(&mapTitleFont, mapFileT, ZR_FONT_TRIM);
  zr_font_load(&mapTransFont, mapTrans, ZR_FONT_TRIM);
  zr_font_load(&shipsFont, mapShips, ZR_FONT_TRIM);
  // Menus: the menu module registers here once it exists.

  // 7. Splash, settings and language names.
  ReadAppText("StartSplash", startSplash, sizeof startSplash);
  ReadAppText("INIFile", iniFile, sizeof iniFile);
  ConfineAppName("INIFile", iniFile, sizeof iniFile);
  std::snprintf(ioConfig.settingsName, sizeof ioConfig.settingsName, "%s", iniFile);
  ReadAppText("LNGFile", lngFile, sizeof lngFile);
  // The current language's messages (the language list will reload them on every change).
  LoadLanguageMessages();
  // Languages: the language list loads from lngFile here once the window part exists.
  // Splash: the splash screen of section "<StartSplash>_<language>" opens here once it exists.

  // 8. Window names and help file.
  ReadAppText("Title", title, sizeof title);
  ReadAppText("Class", className, sizeof className);
  ReadAppText("HLPFile", hlpFile, sizeof hlpFile);
  ConfineAppName("HLPFile", hlpFile, sizeof hlpFile);

  // 9. Single instance: a second running copy is refused here once the window part exists.
  // 10. Input and players. SDL reaches the pads without a window, so they start here; the
  // keyboard and mouse become the game's only when the window (step 13) is activated. A failure
  // is never fatal.
  inputConfig = ZR_INPUT_CONFIG{&inputReport, 0};
  zr_input_init(&inputConfig);
  zr_play_init(&playerReport);
  zr_message_box_set_steps(ReleaseInputForBox, RetakeInputForBox);
  // 11. Sound: the device and the [Sound] settings (without a device the game runs silent).
  StartSound();
  // 12. Player 1's controls, bound for menus (menu 0 opens at the end of start-up); then the
  // joystick calibration test.
  CreatePlayerControls();
  BindControls(true);
  zr_input_check_joystick();

  // 13. The main window and the display.
  if (!OpenWindowAndDisplay()) return 0;

  // 14. The palette.
  ReadAppText("PALFile", palFile, sizeof palFile);
  palette = palFile[0] ? zr_pal_load(palFile) : nullptr;
  if (!palette) {
    return Fail(std::string("cannot load the palette '") + palFile + "' (PALFile in " + TEXTS_FILE +
                ")");
  }

  // 15. and 16. High scores and the attract list load here from SCRFile and DMOFile once they
  // exist.
  ReadAppText("SCRFile", scrFile, sizeof scrFile);
  ConfineAppName("SCRFile", scrFile, sizeof scrFile);
  ReadAppText("DMOFile", dmoFile, sizeof dmoFile);
  WarnAboutLeavingNames();

  // 17. The frame timer.
  timerId = zr_timer_start(TimerTick, 10);
  if (timerId == 0) return Fail("Timer Init failed");

  // 18. to 20.
  if (redrawPending) RedrawScreen();
  set_frame_target(frameBuffer.pixels, frameBuffer.width - 1, frameBuffer.height - 1);
  zr_srand(zr_get_tick_count() & 0xFFFF);

  // 21. Game set-up: the editing font, [Setup] keys and the game's sounds.
  InstallGameShellHooks();
  SetupGame(frameBuffer.width - 1, frameBuffer.height - 1);

  // 22. Splash: the splash screen closes here. The loaded palette is selected.
  zr_pal_set(palette);

  // 23. Ready; menu 0 opens here once menus exist.
  appReady = 1;
  menuSound = zr_sound_load("snd\\menu.wav");
  return 1;
}

const char* StartUpError() {
  return startUpError.c_str();
}

void ShutDown() {
  if (!servicesStarted) return;
  servicesStarted = false;

  // 1. Nothing is drawn any more. (The C library checks its heap on every release.)
  displayReady = 0;

  // 2. High scores: saved to SCRFile and freed here; the attract list is freed here.
  // 3. The display's surfaces; the overlay picture is released here once it exists.
  zr_dsp_release();

  // 4. The frame timer.
  zr_timer_stop(&timerId);
  tickCount = 0;

  // 5. Music, [Setup] keys, game sounds, menuSound, message table and the sound device.
  zr_music_stop(zr_music_current());
  StopGame();
  SaveSetup();
  zr_sound_free(menuSound);
  menuSound = nullptr;
  FreeLanguageMessages();
  zr_sound_deinit();

  // 6. Palette; menus are freed here; the fonts in load order; the language list is freed here;
  // the display mode is restored.
  zr_pal_free(palette);
  palette = nullptr;
  for (ZR_FONT* font : {&mainFont, &mapFont, &mapTitleFont, &mapTransFont, &shipsFont}) {
    zr_font_free(font);
  }
  zr_dsp_stop();
  zr_dsp_free();

  // 7. Players, input, then the services, memory and errors last.
  zr_play_deinit();
  zr_input_deinit();
  zr_message_box_set_steps(nullptr, nullptr);
  lastShutDown.filesOpen = zr_io_open_count();
  zr_io_deinit();
  zr_string_deinit();
  lastShutDown.memoryBlocks = zr_mem_block_count();
  lastShutDown.memoryBytes = zr_mem_used();
  zr_mem_deinit();
  zr_list_deinit();
  zr_error_deinit();
  zr_platform_quit();
  lastShutDown.done = true;

  // 8. The help viewer is closed here once help exists.
}

void AbandonStartUp() {
  zr_timer_stop(&timerId);
  zr_sound_release();
  zr_play_deinit();
  zr_input_deinit();
  zr_message_box_set_steps(nullptr, nullptr);
  zr_platform_quit();
  servicesStarted = false;
}

const ShutDownReport& LastShutDown() {
  return lastShutDown;
}
