#include "app/startup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/attract.h"
#include "app/credits.h"
#include "app/frame_loop.h"
#include "app/game_shell.h"
#include "app/high_scores.h"
#include "app/messages.h"
#include "app/screens.h"
#include "app/texts.h"
#include "engine/core/error.h"
#include "engine/core/fileio.h"
#include "engine/core/keyfile.h"
#include "engine/core/list.h"
#include "engine/core/memory.h"
#include "engine/core/random.h"
#include "engine/core/zr_string.h"
#include "engine/display/display.h"
#include "engine/display/language.h"
#include "engine/display/main_window.h"
#include "engine/display/palette.h"
#include "engine/display/splash.h"
#include "engine/display/timer.h"
#include "engine/display/video_mode.h"
#include "engine/input/input.h"
#include "engine/input/player.h"
#include "engine/platform/clock.h"
#include "engine/platform/instance.h"
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
bool otherCopyRunning = false;
bool shutDownDone = false;  // from a shut-down to the next start-up
ZR_WINDOW_SETUP windowSetup;
ZR_VIDEO_MODE currentMode;
ShutDownReport lastShutDown;
ZR_INPUT_CONFIG inputConfig;
ZR_PLATFORM_PROBE platformProbe;
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

// After every menu rebuild: the Sound menu's ticks and grey as the sound module keeps them.
void MenuBarCommandCallback() {
  const ZR_SOUND_MENU sound = zr_sound_menu();
  for (uint32_t id : {ZR_CMD_MUSIC, ZR_CMD_EFFECTS, ZR_CMD_QUALITY_LOW, ZR_CMD_QUALITY_MEDIUM,
                      ZR_CMD_QUALITY_HIGH}) {
    zr_menubar_enable(id, sound.enabled);
  }
  zr_menubar_check(ZR_CMD_MUSIC, sound.musicChecked);
  zr_menubar_check(ZR_CMD_EFFECTS, sound.effectsChecked);
  zr_menubar_check(ZR_CMD_QUALITY_LOW, sound.qualityLowChecked);
  zr_menubar_check(ZR_CMD_QUALITY_MEDIUM, sound.qualityMediumChecked);
  zr_menubar_check(ZR_CMD_QUALITY_HIGH, sound.qualityHighChecked);
}

// The frame buffer changed size (high-res, keys 1 to 4): the world engine draws into the new one.
void FrameResized() {
  RedrawScreen();
}

// Step 13: the window (by default the largest multiple of 320 x 200 that fits the work area, 4x
// at most, a title bar's height left free; else as the settings keep it) and the display in it,
// in the mode and window or full-screen state of the settings.
int OpenWindowAndDisplay() {
  int workWidth = 0, workHeight = 0;
  zr_platform_work_area(&workWidth, &workHeight);
  constexpr int kTitleBarAllowance = 40;
  int factor = zr_window_factor_for(workWidth, workHeight - kTitleBarAllowance, ZR_DSP_BASE_WIDTH,
                                    ZR_DSP_BASE_HEIGHT, MAX_WINDOW_FACTOR);
  windowSetup = ZR_WINDOW_SETUP{};
  windowSetup.className = className[0] ? className : "zrsentry";
  windowSetup.title = title[0] ? title : "ZRSENTRY";
  windowSetup.baseWidth = ZR_DSP_BASE_WIDTH;
  windowSetup.baseHeight = ZR_DSP_BASE_HEIGHT;
  windowSetup.clientWidth = static_cast<int16_t>(ZR_DSP_BASE_WIDTH * factor);
  windowSetup.clientHeight = static_cast<int16_t>(ZR_DSP_BASE_HEIGHT * factor);
  windowSetup.languages = languages;
  windowSetup.command = MenuBarCommandCallback;
  windowSetup.languageChanged = ReloadTexts;
  windowSetup.flags = ZR_DSP_FLAGS{&fullscreenFlag, &lowResFlag, &highResFlag, &currentMode};
  bool otherCopy = false;
  if (!zr_main_window_open(&windowSetup, &otherCopy)) {
    otherCopyRunning = otherCopy;
    return Fail(zr_main_window_error());
  }
  if (!zr_dsp_init()) return Fail("cannot create the frame buffer");
  ZR_DSP_START start = {};
  start.mode = &currentMode;
  start.frameBuffer = &frameBuffer;
  start.resize = FrameResized;
  start.displayReady = &displayReady;
  start.appActive = &appActive;
  if (!zr_dsp_start(&start) || !zr_dsp_set_mode()) {
    zr_main_window_fatal("Error switching mode, Quitting!");
    return Fail("cannot start the display");
  }
  return 1;
}

// Step 9: one running copy. Headless runs check only with a runtime directory of their own
// (ZR_RUNTIME_DIR), so that tests running the program side by side never meet.
int ClaimSingleInstance(bool headless) {
  if (headless && std::getenv("ZR_RUNTIME_DIR") == nullptr) return 1;
  if (zr_instance_claim(className[0] ? className : "zrsentry")) return 1;
  otherCopyRunning = true;
  return Fail("another copy is running; it was brought to the front");
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
  otherCopyRunning = false;
  shutDownDone = false;
  leavingNames.clear();
  lastShutDown = ShutDownReport{};
  ResetAppState();

  // 1. AppMessageHandler receives every message of the frame loop (no handler to store).
  world_set_exit_handler(WorldFailed);
  // 2. Platform check.
  zr_clock_use_virtual(options.virtualClock);
  if (!zr_platform_init(options.headless)) return Fail(zr_platform_error());
  if (!zr_platform_check(&platformProbe)) {
    return Fail("the platform cannot run the game (SDL 2.0.10 or newer and a video driver)");
  }

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

  // 6. Font names, then the five fonts, the menus' animated title font and the menu module.
  ReadAppText("FNTFile", fntFile, sizeof fntFile);
  ReadAppText("MAPFile", mapFile, sizeof mapFile);
  ReadAppText("MAPFileT", mapFileT, sizeof mapFileT);
  ReadAppText("MAPTrans", mapTrans, sizeof mapTrans);
  ReadAppText("MAPShips", mapShips, sizeof mapShips);
  ReadAppText("TitleFont", titleFontFile, sizeof titleFontFile);
  // A font that does not load leaves its slot empty, which draws nothing.
  zr_font_load(&mainFont, fntFile, ZR_FONT_TRIM);
  zr_font_load(&mapFont, mapFile, ZR_FONT_TRIM);
  zr_font_load(&mapTitleFont, mapFileT, ZR_FONT_TRIM);
  zr_font_load(&mapTransFont, mapTrans, ZR_FONT_TRIM);
  zr_font_load(&shipsFont, mapShips, ZR_FONT_TRIM);
  // Without it the title lines are drawn with the main font.
  zr_font_load(&titleFont, titleFontFile, ZR_FONT_TRIM | ZR_FONT_ANIMATED);
  InitGameMenus();

  // 7. Splash, settings and language names.
  ReadAppText("StartSplash", startSplash, sizeof startSplash);
  ReadAppText("INIFile", iniFile, sizeof iniFile);
  ConfineAppName("INIFile", iniFile, sizeof iniFile);
  std::snprintf(ioConfig.settingsName, sizeof ioConfig.settingsName, "%s", iniFile);
  ReadAppText("LNGFile", lngFile, sizeof lngFile);
  // The language list (none: English texts and no Language menu), then the splash screen of
  // section "<StartSplash>_<language>".
  languages = lngFile[0] ? zr_lang_load(lngFile) : nullptr;
  // The current language's messages (the language list reloads them on every change).
  LoadLanguageMessages();
  if (startSplash[0]) {
    char section[64];
    std::snprintf(section, sizeof section, "%s_%s", startSplash, CurrentLanguageAbbreviation());
    zr_splash_open(section, TEXTS_FILE);
  }

  // 8. Window names and help file.
  ReadAppText("Title", title, sizeof title);
  ReadAppText("Class", className, sizeof className);
  ReadAppText("HLPFile", hlpFile, sizeof hlpFile);
  ConfineAppName("HLPFile", hlpFile, sizeof hlpFile);

  // 9. Single instance: a second running copy brings the first to the front and stops.
  if (!ClaimSingleInstance(options.headless)) return 0;
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

  // 15. The high-score table (none without SCRFile). 16. The attract list from DMOFile (none
  // without the key), playing from now on.
  ReadAppText("SCRFile", scrFile, sizeof scrFile);
  // The table is read from the player's own copy once one exists, else from the data.
  char scoresRead[ZR_PATH_MAX * 2] = {};
  if (scrFile[0] && zr_io_player_read_name(scrFile, scoresRead, sizeof scoresRead)) {
    highScores = LoadHighScores(scoresRead, HIGH_SCORES_SECTION);
  } else {
    highScores = nullptr;
  }
  ReadAppText("DMOFile", dmoFile, sizeof dmoFile);
  LoadProgramAttractList(dmoFile);
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

  // 22. The splash screen closes; the loaded palette is selected.
  zr_splash_close();
  zr_pal_set(palette);

  // 23. Ready: the texts of the current language (messages, menus, credits), then menu 0 opens
  // as the current menu.
  appReady = 1;
  ReloadTexts();
  OpenMenu(MENU_MAIN);
  menuSound = zr_sound_load("snd\\menu.wav");
  return 1;
}

const char* StartUpError() {
  return startUpError.c_str();
}

bool StartUpFoundOtherCopy() {
  return otherCopyRunning;
}

bool ServicesRunning() {
  return servicesStarted;
}

bool ShutDownDone() {
  return shutDownDone;
}

void ShutDown() {
  // Once only: a second WM_CLOSE finds nothing left to release.
  if (!servicesStarted) return;
  servicesStarted = false;
  shutDownDone = true;

  // 1. Nothing is drawn any more. (The C library checks its heap on every release.)
  displayReady = 0;

  // 2. High scores: saved to SCRFile and freed; the attract list is freed.
  if (highScores != nullptr) {
    // Saved where the player's files go: the start directory, or the player's folder, where the
    // table is copied from the data on its first save.
    char scoresWrite[ZR_PATH_MAX * 2] = {};
    if (zr_io_player_write_name(scrFile, scoresWrite, sizeof scoresWrite)) {
      SaveHighScores(highScores, scoresWrite, HIGH_SCORES_SECTION);
    }
    FreeHighScores(highScores);
    highScores = nullptr;
  }
  FreeProgramAttractList();
  // 3. The [Display] keys and the language are written while the display still knows its state
  // (releasing the surfaces clears display-ready, after which the display's stop writes
  // nothing); then the display's surfaces and the overlay picture.
  if (zr_dsp_is_ready()) {
    zr_dsp_write_settings();
    zr_dsp_write_language();
  }
  zr_dsp_release();
  ReleaseOverlay();

  // 4. The frame timer.
  zr_timer_stop(&timerId);
  tickCount = 0;

  // 5. Music, [Setup] keys, game sounds, menuSound, message table and the sound device.
  zr_music_stop(zr_music_current());
  StopGame();
  SaveSetup();
  zr_sound_free(menuSound);
  menuSound = nullptr;
  FreeMessageTable();
  zr_sound_deinit();

  // 6. Palette; the seven menus and the credits; the fonts in load order; the language list is
  // freed here; the display mode is restored.
  zr_pal_free(palette);
  palette = nullptr;
  FreeGameMenus();
  FreeCredits();
  for (ZR_FONT* font :
       {&mainFont, &mapFont, &mapTitleFont, &mapTransFont, &shipsFont, &titleFont}) {
    zr_font_free(font);
  }
  windowSetup.languages = nullptr;
  zr_lang_free(languages);
  languages = nullptr;
  zr_splash_close();
  zr_dsp_stop();
  zr_dsp_free();
  zr_main_window_release();

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
  zr_splash_close();
  zr_main_window_release();
  zr_instance_release();
  zr_play_deinit();
  zr_input_deinit();
  zr_message_box_set_steps(nullptr, nullptr);
  zr_platform_quit();
  servicesStarted = false;
}

const ShutDownReport& LastShutDown() {
  return lastShutDown;
}
