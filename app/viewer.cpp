#include "app/viewer.h"

#include <cstdio>

int RunLevelViewer(const ViewerOptions& options) {
  std::fprintf(stderr, "zrsentry: the level viewer cannot show %s yet\n", options.levelFile.c_str());
  return 1;
}
