// Player 1's controls in the steps of play: where they come from (the devices, a controls file,
// the autopilot, or a gameplay demo's recording) and the recording of them that --record writes,
// in the form of the demo recordings, so that any game can become a demo.
#pragma once
#include <cstdint>
#include <string>

// Fills player 1's eight control bytes for one step of play.
using ControlsSource = void (*)(uint8_t* controls);

// Who steers a game outside the attract sequence: null leaves the devices in charge.
void SetPlayControlsSource(ControlsSource source);
ControlsSource PlayControlsSource();
// Who steers a gameplay demo: the attract sequence installs its recording's replay here; a
// source given with SetDemoOverride (the autopilot or a controls file) takes its place.
void SetDemoControlsSource(ControlsSource source);
void SetDemoOverride(ControlsSource source);

// The game's replaceControls hook: the source in charge fills the controls, then the step's
// controls are recorded when a recording is open.
void FeedControls(uint8_t* controls);

// --record FILE: one line per step of play from now on. Returns 0 with a one-line reason.
int OpenRecording(const std::string& path, std::string* error);
// Returns 0 when the recording could not be written whole.
int CloseRecording();
bool RecordingOpen();

// The line of a recording for one step: the seven flags fire, right, left, up, down, button 1
// and button 2, each 0 or 1 followed by one space.
std::string RecordingLine(const uint8_t* controls);
