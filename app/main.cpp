// Entry point: the command line, the start directory, start-up, the frame loop.
#include <cstdio>
#include <string>

#include "app/app_state.h"
#include "app/attract.h"
#include "app/autopilot_run.h"
#include "app/command_line.h"
#include "app/frame_loop.h"
#include "app/memory_stats.h"
#include "app/play_session.h"
#include "app/recorder.h"
#include "app/startup.h"
#include "app/viewer.h"

int main(int argc, char** argv) {
  CommandLine line;
  std::string error;
  if (!ParseCommandLine(argc, argv, &line, &error)) {
    std::fprintf(stderr, "zrsentry: %s\n", error.c_str());
    return 2;
  }
  if (line.help) {
    std::fputs(UsageText().c_str(), stdout);
    return 0;
  }
  if (line.version) {
    std::fputs(VersionText().c_str(), stdout);
    return 0;
  }
  // The controls file and the trace are named from here, before the start directory is chosen.
  const bool session = line.play || line.demoLevel;
  if (session && !OpenPlaySession(line.game, &error)) {
    std::fprintf(stderr, "zrsentry: %s\n", error.c_str());
    return 1;
  }
  if (!line.recordFile.empty() && !OpenRecording(line.recordFile, &error)) {
    std::fprintf(stderr, "zrsentry: %s\n", error.c_str());
    ClosePlaySession();
    return 1;
  }
  if (!line.statsFile.empty() && !OpenMemoryStats(line.statsFile, line.statsEvery, &error)) {
    std::fprintf(stderr, "zrsentry: %s\n", error.c_str());
    ClosePlaySession();
    CloseRecording();
    return 1;
  }
  if (!ChooseStartDirectory(line.dataDir, &error)) {
    std::fprintf(stderr, "zrsentry: %s\n", error.c_str());
    ClosePlaySession();
    CloseRecording();
    CloseMemoryStats();
    return 1;
  }

  StartOptions options;
  options.headless = line.headless;
  options.virtualClock = line.virtualClock;
  if (!StartUp(options)) {
    std::fprintf(stderr, "zrsentry: %s\n", StartUpError());
    const bool otherCopy = StartUpFoundOtherCopy();
    AbandonStartUp();
    ClosePlaySession();
    CloseRecording();
    CloseMemoryStats();
    // A second start that brought the first copy forward has done what was asked of it.
    return otherCopy ? 0 : 1;
  }

  if (line.view) {
    int status = RunLevelViewer(line.viewer);
    ShutDown();
    CloseMemoryStats();
    return status;
  }

  if (line.play) StartPlaySession();
  if (line.demoLevel) {
    StartDemoOnly(line.demoLevel);
    UsePlaySessionInputForDemo();
  }
  if (line.autopilot) {
    StartAutopilot(line.autopilotOptions);
    if (line.demoLevel) SetDemoOverride(AutopilotSource);
  }
  SetFrameLimit(line.frames);
  SetTimeLimit(uint32_t(line.minutes * 60000));
  SetVirtualFrameCost(uint32_t(line.frameMs));
  int status = RunFrameLoop();
  StopAutopilot();
  if (session && !ClosePlaySession()) status = status ? status : 1;
  if (!CloseRecording()) {
    std::fprintf(stderr, "zrsentry: cannot write the recording %s\n", line.recordFile.c_str());
    status = status ? status : 1;
  }
  if (!CloseMemoryStats()) {
    std::fprintf(stderr, "zrsentry: cannot write the stats file %s\n", line.statsFile.c_str());
    status = status ? status : 1;
  }
  const ShutDownReport& report = LastShutDown();
  if (line.headless) {
    std::printf(
        "zrsentry: shut down after %lld frames and %lld steps: %d files left open, "
        "%d memory blocks (%d bytes) left\n",
        static_cast<long long>(framesDrawn), static_cast<long long>(stepsRun), report.filesOpen,
        report.memoryBlocks, static_cast<int>(report.memoryBytes));
  }
  if (!report.done) {
    std::fprintf(stderr, "zrsentry: the frame loop ended without a shut-down\n");
    return 1;
  }
  return status;
}
