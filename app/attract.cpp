#include "app/attract.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/credits.h"
#include "app/frame_loop.h"
#include "app/messages.h"
#include "app/recorder.h"
#include "app/screens.h"
#include "app/startup.h"
#include "engine/core/fileio.h"
#include "engine/core/keyfile.h"
#include "engine/core/memory.h"
#include "engine/display/bitmap.h"
#include "engine/display/palette.h"
#include "engine/input/player.h"
#include "engine/platform/clock.h"
#include "engine/platform/message_box.h"
#include "engine/platform/messages.h"
#include "engine/sound/music.h"
#include "game/game.h"
#include "game/game_state.h"
#include "game/play_state.h"
#include "game/status.h"

AttractList* attractList = nullptr;
AttractScreenHooks attractScreenHooks = {OpenOverlay, ReleaseOverlay};

namespace {

constexpr const char* kDemosSection = "Demos";
constexpr int kLoadingMessage = 1;
constexpr int kEndlessMs = 0x7FFFFFFF;

// The state of the entry that runs: its picture, its demo's recording and level.
ZR_BITMAP picture = {};
DemoRecording recording = {};
int demoLevelNumber = 0;
bool demoLevelOver = false;
bool closeAtDemoEnd = false;
ZR_MUSIC* music = nullptr;

// The credits line that shows next during a demo, and when.
int creditNext = 0;
uint32_t creditNextTime = 0;

void Warn(const char* text) {
  zr_message_box(text, "Warning", MB_OK | MB_ICONEXCLAMATION);
}

AttractEntry* Entry(const AttractList* list, int index) {
  return index >= 0 && index < list->count ? list->entries[index] : nullptr;
}

void Advance(AttractList* list) {
  list->current = list->current + 1 >= list->count ? 0 : list->current + 1;
}

// ---- Credits --------------------------------------------------------------------------------

// The next line when the last has had its time; only while the demo's game runs.
void CreditsStep() {
  if (creditCount <= 0) return;
  const uint32_t now = zr_get_tick_count();
  if (int32_t(now - creditNextTime) < 0) return;
  ShowCreditLine(CreditLine(creditNext), CREDIT_LINE_TIME);
  creditNextTime = now + CREDIT_LINE_TIME;
  creditNext = creditNext + 1 >= creditCount ? 0 : creditNext + 1;
}

// ---- Music ----------------------------------------------------------------------------------

void PlayMusic(const char* name) {
  zr_music_stop(zr_music_current());
  music = zr_music_load(name);
  zr_music_play(music);
}

// ---- Demo -----------------------------------------------------------------------------------

void ReplayLoaded(uint8_t* controls) {
  ReplayDemoStep(recording, stepCounter, controls);
}

int DemoLevel() {
  return demoLevelNumber;
}

void DemoLevelEnded() {
  demoLevelOver = true;
}

bool LoadRecording(const char* name) {
  recording.lines = 0;
  for (auto& flags : recording.flags) flags.fill(0);
  ZR_FILE* file = zr_io_fopen(name, "rb");
  if (!file) return false;
  std::string text;
  char buffer[4096];
  // More than the lines that are read is never needed.
  while (size_t got = zr_io_fread(buffer, 1, sizeof buffer, file)) {
    text.append(buffer, got);
    if (text.size() > size_t(DEMO_LINES + 1) * DEMO_LINE_SIZE) break;
  }
  zr_io_fclose(file);
  ParseDemoRecording(text, &recording);
  return true;
}

// Both the level and its recording come from the entry: a game between two demos cannot make
// them disagree.
void StartDemo(const AttractEntry& entry) {
  demoLevelNumber = LevelNumberOfFile(entry.name);
  if (demoLevelNumber < 1 || demoLevelNumber > 20) demoLevelNumber = demoLevelToggle ? 8 : 9;
  char name[64];
  DemoRecordingName(demoLevelNumber, name, sizeof name);
  LoadRecording(name);
  demoLevelOver = false;
  // Every second UFO shot flies away from the ship, counted since start-up: a demo counts from
  // its own start, so that its recording meets the same shots every time it plays.
  ufoShotsFired = 0;
  creditNext = 0;
  creditNextTime = zr_get_tick_count();
  SetDemoControlsSource(ReplayLoaded);
  gameShellHooks.demoLevel = DemoLevel;
  gameShellHooks.demoLevelEnded = DemoLevelEnded;
  StartLevel(entry.name, frameBuffer.width - 1, frameBuffer.height - 1);
  // The ship's state as a new game leaves it, but the arrival stays: the demo's ship does not
  // react to its recording in its first 300 steps either.
  shipExploding = 0;
  laneChange = 0;
  laneChangeTimer = 0.0;
  warping = 0;
  if (redrawPending) RedrawScreen();
}

// ---- Entries --------------------------------------------------------------------------------

void ShowLoading() {
  DrawMessage(messageTable, kLoadingMessage);
  PresentFrame();
}

// Starts an entry; false when it cannot run now and the next should start instead.
bool StartEntry(AttractList* list, const AttractEntry& entry) {
  attractEntryType = entry.type;
  switch (entry.type) {
    case ATTRACT_MUSIC:
      if (!list->hasMusic || std::strcmp(list->currentMusic, entry.name) != 0) {
        PlayMusic(entry.name);
        std::snprintf(list->currentMusic, sizeof list->currentMusic, "%s", entry.name);
        list->hasMusic = 1;
      }
      return true;
    case ATTRACT_PICTURE:
      ShowLoading();
      if (zr_bitmap_load(&picture, entry.name, ZR_BITMAP_LOAD_PALETTE) && picture.palette)
        zr_pal_set(picture.palette);
      return true;
    case ATTRACT_OVERLAY:
      ShowLoading();
      if (menuShown || !attractScreenHooks.openOverlay) return false;
      attractScreenHooks.openOverlay(entry.name);
      return true;
    case ATTRACT_DEMO:
      ShowLoading();
      StartDemo(entry);
      return true;
    default:
      Warn("Invalid demo type");
      return true;
  }
}

void EndEntry(const AttractEntry& entry) {
  switch (entry.type) {
    case ATTRACT_MUSIC:
      break;
    case ATTRACT_PICTURE:
      zr_bitmap_free(&picture);
      picture = ZR_BITMAP{};
      // The picture brought its own colours: the game's come back with it.
      if (palette) zr_pal_set(palette);
      break;
    case ATTRACT_OVERLAY:
      if (overlayState != 0 && attractScreenHooks.closeOverlay) attractScreenHooks.closeOverlay();
      overlayState = 0;
      break;
    case ATTRACT_DEMO:
      StopGame();
      SetDemoControlsSource(nullptr);
      ShowCreditLine("", 0);
      demoLevelOver = false;
      break;
    default:
      Warn("Invalid demo type");
      break;
  }
}

void EndCurrent(AttractList* list) {
  if (!list->started) return;
  list->started = 0;
  if (const AttractEntry* entry = Entry(list, list->current)) EndEntry(*entry);
}

// Starts the current entry, or the first after it that can run; absent entries and overlays
// that cannot show are passed over, at most once round the list.
void StartCurrent(AttractList* list, uint32_t now) {
  for (int tries = 0; tries < list->count; ++tries) {
    const AttractEntry* entry = Entry(list, list->current);
    if (entry && StartEntry(list, *entry)) {
      list->started = 1;
      list->startTime = now;
      return;
    }
    Advance(list);
  }
  attractEntryType = 0;
}

void EveryFrame(const AttractEntry& entry) {
  switch (entry.type) {
    case ATTRACT_MUSIC:
    case ATTRACT_OVERLAY:
      break;
    case ATTRACT_PICTURE:
      if (picture.pixels && frameBuffer.pixels) {
        const bool fits =
            picture.width == frameBuffer.width && picture.height == frameBuffer.height;
        zr_bitmap_blit(&frameBuffer, &picture, nullptr, nullptr, fits ? 0 : ZR_BLIT_STRETCH);
      }
      break;
    case ATTRACT_DEMO:
      if (!menuShown && !paused) CreditsStep();
      DrawGameFrame();
      break;
    default:
      Warn("Invalid demo type");
      break;
  }
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

AttractList* LoadAttractList(const char* file, const char* section) {
  if (!file || !section || !file[0] || !section[0] ||
      !zr_io_exists(file, ZR_IO_ARCHIVE | ZR_IO_DISK))
    return nullptr;
  int32_t count = 0;
  if (zr_io_get_int(section, "NbDemos", &count, file) <= 0) return nullptr;
  if (count < 0) count = 0;
  if (count > ATTRACT_ENTRIES_MAX) count = ATTRACT_ENTRIES_MAX;
  auto* list = static_cast<AttractList*>(zr_mem_calloc(1, sizeof(AttractList)));
  if (!list) return nullptr;
  list->count = count;
  if (count > 0) {
    list->entries =
        static_cast<AttractEntry**>(zr_mem_calloc(size_t(count), sizeof(AttractEntry*)));
    if (!list->entries) list->count = 0;
  }
  for (int n = 1; n <= list->count; ++n) {
    char key[32];
    std::snprintf(key, sizeof key, "Demo_%02d", n);
    char name[ATTRACT_NAME_SIZE + 1] = "";
    if (zr_io_get_string(section, key, name, sizeof name, file) <= 0) {
      char text[400];
      std::snprintf(text, sizeof text, "Sorry, I can't find key %s in %s", key, file);
      Warn(text);
      continue;
    }
    auto* entry = static_cast<AttractEntry*>(zr_mem_calloc(1, sizeof(AttractEntry)));
    if (!entry) continue;
    std::snprintf(entry->name, sizeof entry->name, "%s", name);
    std::snprintf(key, sizeof key, "Type_%02d", n);
    zr_io_get_int(section, key, &entry->type, file);
    std::snprintf(key, sizeof key, "Time_%02d", n);
    zr_io_get_int(section, key, &entry->time, file);
    list->entries[n - 1] = entry;
    list->playing = 1;
  }
  return list;
}

void FreeAttractList(AttractList* list) {
  if (!list) return;
  EndCurrent(list);
  for (int i = 0; i < list->count; ++i) zr_mem_free(list->entries[i]);
  zr_mem_free(list->entries);
  zr_mem_free(list);
  zr_music_free(music);
  music = nullptr;
}

void AttractStep(AttractList* list) {
  if (!list || !list->playing || list->count <= 0) return;
  const uint32_t now = zr_get_tick_count();
  const AttractEntry* entry = Entry(list, list->current);
  const int32_t time = entry && entry->time > 0 ? entry->time : 0;
  const bool over = !list->started || !entry || uint32_t(now - list->startTime) > uint32_t(time) ||
                    (entry->type == ATTRACT_DEMO && demoLevelOver);
  if (over) {
    if (list->started) {
      const bool demoDone = entry && entry->type == ATTRACT_DEMO && demoLevelOver;
      EndCurrent(list);
      if (demoDone && closeAtDemoEnd) {
        zr_post_message(WM_CLOSE, 0, 0);
        return;
      }
      Advance(list);
    }
    StartCurrent(list, now);
  }
  if (list->started) {
    if (const AttractEntry* running = Entry(list, list->current)) EveryFrame(*running);
  }
}

void StartAttract(AttractList* list) {
  if (!list) return;
  list->playing = 1;
  attractPlaying = 1;
  if (list->hasMusic) PlayMusic(list->currentMusic);
  // A game that ended with its last ship brings the list back to its first entry, which then
  // starts afresh; otherwise the entry that the game interrupted starts again.
  if (gameOver && !list->started) list->current = 0;
  AttractStep(list);
  SetControlBindings();
}

void StopAttract(AttractList* list) {
  if (!list) return;
  if (list->hasMusic) zr_music_stop(zr_music_current());
  EndCurrent(list);
  list->playing = 0;
  attractPlaying = 0;
  attractEntryType = 0;
  SetControlBindings();
}

void LoadProgramAttractList(const char* dmoFile) {
  attractList = LoadAttractList(dmoFile, kDemosSection);
  attractPlaying = attractList && attractList->playing ? 1 : 0;
}

void FreeProgramAttractList() {
  FreeAttractList(attractList);
  attractList = nullptr;
  attractPlaying = 0;
  attractEntryType = 0;
  gameShellHooks.demoLevel = nullptr;
  gameShellHooks.demoLevelEnded = nullptr;
}

void StartDemoOnly(int levelNumber) {
  FreeAttractList(attractList);
  attractList = nullptr;
  auto* list = static_cast<AttractList*>(zr_mem_calloc(1, sizeof(AttractList)));
  auto* entries = static_cast<AttractEntry**>(zr_mem_calloc(1, sizeof(AttractEntry*)));
  auto* entry = static_cast<AttractEntry*>(zr_mem_calloc(1, sizeof(AttractEntry)));
  if (!list || !entries || !entry) {
    zr_mem_free(list);
    zr_mem_free(entries);
    zr_mem_free(entry);
    return;
  }
  std::snprintf(entry->name, sizeof entry->name, "level\\level%d.txt", levelNumber);
  entry->type = ATTRACT_DEMO;
  entry->time = kEndlessMs;
  entries[0] = entry;
  list->count = 1;
  list->entries = entries;
  attractList = list;
  closeAtDemoEnd = true;
  HideCurrentMenu();  // a shown menu would hold the demo's game still
  StartAttract(list);
}

// ---- Recordings -----------------------------------------------------------------------------

void ParseDemoRecording(std::string_view text, DemoRecording* out) {
  out->lines = 0;
  for (auto& flags : out->flags) flags.fill(0);
  int line = 0;
  while (!text.empty() && line < DEMO_LINES) {
    // As a line reader with a buffer of 256 characters: a longer line comes in pieces.
    size_t end = text.find('\n');
    size_t take = end == std::string_view::npos ? text.size() : end + 1;
    if (take > DEMO_LINE_SIZE - 1) take = DEMO_LINE_SIZE - 1;
    char buffer[DEMO_LINE_SIZE];
    std::memcpy(buffer, text.data(), take);
    buffer[take] = '\0';
    text.remove_prefix(take);
    ++line;
    int v[DEMO_FLAGS] = {};
    if (std::sscanf(buffer, "%d %d %d %d %d %d %d", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5],
                    &v[6]) != DEMO_FLAGS)
      continue;
    for (int f = 0; f < DEMO_FLAGS; ++f) out->flags[size_t(f)][size_t(line)] = v[f] != 0 ? 1 : 0;
  }
  out->lines = line;
}

void ReplayDemoStep(const DemoRecording& rec, int32_t step, uint8_t* controls) {
  // Past the recording's end (the step counter runs on to 32 000) every control is released.
  const bool recorded = step >= 1 && step <= rec.lines && step < DEMO_STEPS;
  auto flag = [&](int f) { return recorded ? rec.flags[size_t(f)][size_t(step)] : uint8_t(0); };
  controls[ZR_BUTTON4] = flag(0);
  controls[ZR_RIGHT] = flag(1);
  controls[ZR_LEFT] = flag(2);
  controls[ZR_UP] = flag(3);
  controls[ZR_DOWN] = flag(4);
  controls[ZR_BUTTON1] = flag(5);
  controls[ZR_BUTTON2] = flag(6);
  controls[ZR_BUTTON3] = 0;
}

void DemoRecordingName(int levelNumber, char* out, int size) {
  std::snprintf(out, size_t(size), "data\\deml%d.txt", levelNumber == 9 ? 1 : levelNumber);
}

int LevelNumberOfFile(std::string_view levelFile) {
  size_t slash = levelFile.find_last_of("\\/");
  std::string_view base = slash == std::string_view::npos ? levelFile : levelFile.substr(slash + 1);
  size_t dot = base.find('.');
  if (dot != std::string_view::npos) base = base.substr(0, dot);
  size_t digits = base.size();
  while (digits > 0 && IsDigit(base[digits - 1])) --digits;
  if (digits == base.size() || base.size() - digits > 3) return 0;
  int number = 0;
  for (size_t i = digits; i < base.size(); ++i) number = number * 10 + (base[i] - '0');
  return number;
}
