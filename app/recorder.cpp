#include "app/recorder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine/input/player.h"
#include "game/play_state.h"

namespace {

ControlsSource playSource = nullptr;
ControlsSource demoSource = nullptr;
ControlsSource demoOverride = nullptr;
std::FILE* recording = nullptr;
bool recordingFailed = false;

// The order of the flags in a line of a recording.
constexpr int kLineOrder[] = {ZR_BUTTON4, ZR_RIGHT,   ZR_LEFT,   ZR_UP,
                              ZR_DOWN,    ZR_BUTTON1, ZR_BUTTON2};

void Record(const uint8_t* controls) {
  if (!recording) return;
  if (std::fputs(RecordingLine(controls).c_str(), recording) < 0) recordingFailed = true;
}

}  // namespace

void SetPlayControlsSource(ControlsSource source) {
  playSource = source;
}

ControlsSource PlayControlsSource() {
  return playSource;
}

void SetDemoControlsSource(ControlsSource source) {
  demoSource = source;
}

void SetDemoOverride(ControlsSource source) {
  demoOverride = source;
}

void FeedControls(uint8_t* controls) {
  ControlsSource source = attractPlaying ? (demoOverride ? demoOverride : demoSource) : playSource;
  if (source) source(controls);
  Record(controls);
}

int OpenRecording(const std::string& path, std::string* error) {
  CloseRecording();
  recording = std::fopen(path.c_str(), "w");
  if (!recording) {
    *error = "cannot write the recording '" + path + "': " + std::strerror(errno);
    return 0;
  }
  recordingFailed = false;
  return 1;
}

int CloseRecording() {
  if (recording && std::fclose(recording) != 0) recordingFailed = true;
  recording = nullptr;
  int ok = recordingFailed ? 0 : 1;
  recordingFailed = false;
  return ok;
}

bool RecordingOpen() {
  return recording != nullptr;
}

std::string RecordingLine(const uint8_t* controls) {
  std::string line;
  for (int control : kLineOrder) {
    line += controls[control] ? '1' : '0';
    line += ' ';
  }
  line += '\n';
  return line;
}
