// The level viewer: `zrsentry --view LEVELFILE` flies a camera over one level.
#pragma once
#include <string>

struct ViewerOptions {
  std::string levelFile;  // a level file such as "level\level1.txt"
  bool headless = false;
  std::string shotPath;    // with headless: draw one frame, write it here as PCX, exit
  bool hasCamera = false;  // --at X,Y,Z given
  double cameraX = 0, cameraY = 0, cameraZ = 0;
};

// Runs the viewer after the program's start-up; returns the process exit status.
int RunLevelViewer(const ViewerOptions& options);
