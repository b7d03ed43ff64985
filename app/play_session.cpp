#include "app/play_session.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/app_state.h"
#include "app/game_shell.h"
#include "app/recorder.h"
#include "engine/core/fileio.h"
#include "engine/display/snapshot.h"
#include "engine/input/player.h"
#include "game/game.h"
#include "game/game_state.h"
#include "game/play_state.h"

namespace {

PlayOptions session;
bool sessionOpen = false;
std::vector<ControlsStep> controlsSteps;
size_t controlsUsed = 0;
std::FILE* trace = nullptr;
int64_t stepsTraced = 0;
bool writeFailed = false;

constexpr const char* kLineFormat = "seven flags 0 or 1 (fire right left up down b1 b2)";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// One line without its end: seven flags separated by blanks, blanks allowed around them.
bool ParseControlsLine(std::string_view line, ControlsStep* step) {
  ControlsStep flags = 0;
  size_t at = 0;
  for (int flag = 0; flag < CF_COUNT; ++flag) {
    size_t start = at;
    while (at < line.size() && IsBlank(line[at])) ++at;
    if (flag > 0 && at == start) return false;  // flags must be apart
    if (at == line.size() || (line[at] != '0' && line[at] != '1')) return false;
    if (line[at] == '1') flags |= ControlsStep(1u << flag);
    ++at;
  }
  while (at < line.size() && IsBlank(line[at])) ++at;
  if (at != line.size()) return false;
  *step = flags;
  return true;
}

void ReplaceControlsFromFile(uint8_t* controls) {
  // After the file's last line every control is released.
  ControlsStep step = controlsUsed < controlsSteps.size() ? controlsSteps[controlsUsed] : 0;
  if (controlsUsed < controlsSteps.size()) ++controlsUsed;
  ApplyControlsStep(step, controls);
}

// Paths given on the command line are relative to where the program was started, not to the
// start directory that it moves to.
std::string FromStartingDirectory(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char buffer[PATH_MAX];
  if (!::getcwd(buffer, sizeof buffer)) return path;
  return std::string(buffer) + "/" + path;
}

// The picture named on the command line is the user's: its folder is allowed to the file layer,
// which keeps the names from the data inside the game's folder.
std::string AllowedShotFile(const std::string& path) {
  if (path.empty()) return path;
  std::filesystem::path full = std::filesystem::path(path).lexically_normal();
  zr_io_allow_folder(full.parent_path().c_str());
  return full.string();
}

int ReadWholeFile(const std::string& path, std::string* text, std::string* error) {
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) {
    *error = "cannot read the controls file '" + path + "': " + std::strerror(errno);
    return 0;
  }
  text->clear();
  char buffer[4096];
  while (size_t got = std::fread(buffer, 1, sizeof buffer, in)) {
    text->append(buffer, got);
    if (long(text->size()) > MAX_CONTROLS_FILE) {
      std::fclose(in);
      *error = "the controls file '" + path + "' is larger than " +
               std::to_string(MAX_CONTROLS_FILE >> 20) + " MB";
      return 0;
    }
  }
  // A folder opens but cannot be read.
  int readError = std::ferror(in) ? errno : 0;
  std::fclose(in);
  if (readError) {
    *error = "cannot read the controls file '" + path + "': " + std::strerror(readError);
    return 0;
  }
  return 1;
}

}  // namespace

int ParseControlsText(std::string_view text, std::vector<ControlsStep>* steps, std::string* error) {
  steps->clear();
  size_t lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ControlsStep step = 0;
    if (line.size() > MAX_CONTROLS_LINE || !ParseControlsLine(line, &step)) {
      *error = "line " + std::to_string(lineNumber) + ": expected " + kLineFormat;
      return 0;
    }
    if (steps->size() == MAX_CONTROLS_STEPS) {
      *error = "more than " + std::to_string(MAX_CONTROLS_STEPS) + " lines";
      return 0;
    }
    steps->push_back(step);
  }
  return 1;
}

void ApplyControlsStep(ControlsStep step, uint8_t* controls) {
  auto flag = [step](ControlsFlag f) { return uint8_t((step >> f) & 1u); };
  controls[ZR_BUTTON4] = flag(CF_FIRE);
  controls[ZR_RIGHT] = flag(CF_RIGHT);
  controls[ZR_LEFT] = flag(CF_LEFT);
  controls[ZR_UP] = flag(CF_UP);
  controls[ZR_DOWN] = flag(CF_DOWN);
  controls[ZR_BUTTON1] = flag(CF_BUTTON1);
  controls[ZR_BUTTON2] = flag(CF_BUTTON2);
  controls[ZR_BUTTON3] = 0;
}

int OpenPlaySession(const PlayOptions& options, std::string* error) {
  ClosePlaySession();
  session = options;
  session.shotFile = AllowedShotFile(FromStartingDirectory(options.shotFile));
  controlsSteps.clear();
  controlsUsed = 0;
  stepsTraced = 0;
  writeFailed = false;
  if (!options.inputFile.empty()) {
    std::string text;
    if (!ReadWholeFile(options.inputFile, &text, error)) return 0;
    std::string reason;
    if (!ParseControlsText(text, &controlsSteps, &reason)) {
      *error = "bad controls file '" + options.inputFile + "': " + reason;
      return 0;
    }
  }
  if (!options.traceFile.empty()) {
    trace = std::fopen(options.traceFile.c_str(), "w");
    if (!trace) {
      *error = "cannot write the trace file '" + options.traceFile + "': " + std::strerror(errno);
      return 0;
    }
  }
  sessionOpen = true;
  return 1;
}

void StartPlaySession() {
  if (!sessionOpen) return;
  StartGameAtLevel(session.level);
  if (!session.inputFile.empty()) SetPlayControlsSource(ReplaceControlsFromFile);
}

void UsePlaySessionInputForDemo() {
  if (sessionOpen && !session.inputFile.empty()) SetDemoOverride(ReplaceControlsFromFile);
}

std::string TraceLine(int64_t step) {
  char line[160];
  // Rounded to whole units, and with +0 for -0, so that the line reads the same everywhere.
  auto whole = [](double value) { return std::round(value) + 0.0; };
  std::snprintf(line, sizeof line,
                "%lld %08x level=%d score=%u lives=%d lane=%d x=%.0f y=%.0f z=%.0f",
                static_cast<long long>(step), GameStateChecksum(), level, unsigned(score), lives,
                lane, whole(shipX), whole(shipY), whole(shipZ));
  return line;
}

void TracePlayStep() {
  if (!trace) return;
  ++stepsTraced;
  std::string line = TraceLine(stepsTraced);
  line += '\n';
  std::fputs(line.c_str(), trace);
}

void SaveFinalFrame() {
  if (!sessionOpen || session.shotFile.empty() || !frameBuffer.pixels) return;
  if (!zr_bitmap_save_pcx(&frameBuffer, session.shotFile.c_str(), nullptr)) {
    std::fprintf(stderr, "zrsentry: cannot write %s\n", session.shotFile.c_str());
    writeFailed = true;
  }
  session.shotFile.clear();  // once, at the first request to close
}

int ClosePlaySession() {
  if (trace) {
    bool failed = std::ferror(trace) != 0;
    if (std::fclose(trace) != 0) failed = true;
    if (failed) {
      std::fprintf(stderr, "zrsentry: cannot write the trace file '%s'\n",
                   session.traceFile.c_str());
      writeFailed = true;
    }
    trace = nullptr;
  }
  if (PlayControlsSource() == ReplaceControlsFromFile) SetPlayControlsSource(nullptr);
  SetDemoOverride(nullptr);
  sessionOpen = false;
  int ok = writeFailed ? 0 : 1;
  writeFailed = false;
  return ok;
}
