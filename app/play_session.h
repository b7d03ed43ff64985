// A game started from the command line (`--play`): player 1's controls read from a file, one
// trace line per game step, and the last frame saved at the end. Runs are repeatable with
// --headless --virtual-clock, which is what the replay tests rely on.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr int FIRST_LEVEL = 1;
constexpr int LAST_LEVEL = 20;

struct PlayOptions {
  int level = FIRST_LEVEL;  // --play [LEVEL]
  std::string inputFile;    // --input FILE: controls instead of the devices
  std::string traceFile;    // --trace FILE: one line per game step
  std::string shotFile;     // --shot OUT.pcx: the last frame at the end
};

// One game step of a controls file: the seven flags of a line, in the file's order.
enum ControlsFlag { CF_FIRE, CF_RIGHT, CF_LEFT, CF_UP, CF_DOWN, CF_BUTTON1, CF_BUTTON2, CF_COUNT };
using ControlsStep = uint8_t;  // bit n set: flag n is 1

// A controls file longer than this is refused (more than five hours of play).
constexpr size_t MAX_CONTROLS_STEPS = 2'000'000;
// A controls file larger than this is refused before it is read whole.
constexpr long MAX_CONTROLS_FILE = 64L << 20;
// The longest line accepted, as in the demo recordings.
constexpr size_t MAX_CONTROLS_LINE = 255;

// Reads the text of a controls file: one line per game step, seven flags 0 or 1 separated by
// blanks ("fire right left up down b1 b2"), LF or CR LF ends. Returns 0 with a one-line reason
// naming the line in *error for anything else.
int ParseControlsText(std::string_view text, std::vector<ControlsStep>* steps, std::string* error);

// Writes one step's flags into player 1's eight control bytes (1 for a flag that is set);
// button 3 is not part of a line and stays released.
void ApplyControlsStep(ControlsStep step, uint8_t* controls);

// Before start-up (paths are still relative to where the program was started): reads the
// controls file and opens the trace. Returns 0 with a one-line reason on failure.
int OpenPlaySession(const PlayOptions& options, std::string* error);
// After start-up: the game starts at the chosen level, with the controls file in charge of
// player 1 when one was given.
void StartPlaySession();
// After every game step of the loop: the trace line.
void TracePlayStep();
// When the program is asked to close: the frame buffer goes to the --shot file.
void SaveFinalFrame();
// Closes the trace. Returns 0 when a file of the session could not be written.
int ClosePlaySession();

// The trace line of one step: step number, the game's checksum and readable values.
std::string TraceLine(int64_t step);
