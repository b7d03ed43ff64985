#include "app/command_line.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/startup.h"

// The installed data folder, seen from the program's folder (set by the build to match the
// install layout).
#ifndef ZR_DATA_FROM_PROGRAM
#define ZR_DATA_FROM_PROGRAM "../share/zrsentry"
#endif

namespace {

bool ParseCount(const char* text, int64_t* value) {
  if (!text || !*text) return false;
  char* end = nullptr;
  errno = 0;
  long long number = std::strtoll(text, &end, 10);
  if (errno != 0 || *end != '\0' || number < 0) return false;
  *value = number;
  return true;
}

// A level number 1-20 (digits only).
bool ParseLevel(const char* text, int* level) {
  int64_t number = 0;
  if (!ParseCount(text, &number) || number < FIRST_LEVEL || number > LAST_LEVEL) return false;
  *level = int(number);
  return true;
}

bool ParseCamera(const char* text, ViewerOptions* viewer) {
  double x, y, z;
  char rest;
  if (!text || std::sscanf(text, "%lf,%lf,%lf%c", &x, &y, &z, &rest) != 3) return false;
  viewer->hasCamera = true;
  viewer->cameraX = x;
  viewer->cameraY = y;
  viewer->cameraZ = z;
  return true;
}

// The entry of `directory` named `name` in any case, or "" when there is none.
std::string FindNoCase(const std::string& directory, const char* name) {
  std::string exact = directory + "/" + name;
  struct stat info;
  if (::stat(exact.c_str(), &info) == 0) return exact;
  DIR* dir = ::opendir(directory.c_str());
  if (!dir) return "";
  std::string found;
  while (dirent* entry = ::readdir(dir)) {
    if (::strcasecmp(entry->d_name, name) == 0) {
      found = directory + "/" + entry->d_name;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

std::string CurrentDirectory() {
  char buffer[PATH_MAX];
  return ::getcwd(buffer, sizeof buffer) ? buffer : ".";
}

}  // namespace

std::string ProgramDirectory() {
  char buffer[PATH_MAX];
  ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return "";
  buffer[length] = '\0';
  char* slash = std::strrchr(buffer, '/');
  if (!slash) return "";
  *slash = '\0';
  return buffer[0] ? buffer : "/";
}

int ParseCommandLine(int argc, const char* const* argv, CommandLine* out, std::string* error) {
  *out = CommandLine{};
  std::string shotPath;
  bool shot = false;
  bool statsEvery = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
    auto needValue = [&](const char* what) {
      if (next) return true;
      *error = arg + " needs " + what;
      return false;
    };
    if (arg == "--help" || arg == "-h") {
      out->help = true;
    } else if (arg == "--version") {
      out->version = true;
    } else if (arg == "--headless") {
      out->headless = true;
    } else if (arg == "--virtual-clock") {
      out->virtualClock = true;
    } else if (arg == "--frames") {
      if (!needValue("a number of frames")) return 0;
      if (!ParseCount(next, &out->frames)) {
        *error = std::string("--frames needs a number of frames, not '") + next + "'";
        return 0;
      }
      ++i;
    } else if (arg == "--frame-ms") {
      if (!needValue("a number of milliseconds")) return 0;
      if (!ParseCount(next, &out->frameMs) || out->frameMs < 1 || out->frameMs > 10) {
        *error = std::string("--frame-ms needs a number of milliseconds from 1 to 10, not '") +
                 next + "'";
        return 0;
      }
      ++i;
    } else if (arg == "--minutes") {
      if (!needValue("a number of minutes")) return 0;
      if (!ParseCount(next, &out->minutes) || out->minutes < 1 || out->minutes > MAX_RUN_MINUTES) {
        *error = "--minutes needs a number of minutes from 1 to " +
                 std::to_string(MAX_RUN_MINUTES) + ", not '" + next + "'";
        return 0;
      }
      ++i;
    } else if (arg == "--stats") {
      if (!needValue("an output file")) return 0;
      out->statsFile = next;
      ++i;
    } else if (arg == "--stats-every") {
      int64_t ms = 0;
      if (!needValue("a number of milliseconds")) return 0;
      if (!ParseCount(next, &ms) || ms < 1 || ms > INT32_MAX) {
        *error = std::string("--stats-every needs a number of milliseconds, not '") + next + "'";
        return 0;
      }
      out->statsEvery = uint32_t(ms);
      statsEvery = true;
      ++i;
    } else if (arg == "--data") {
      if (!needValue("a folder")) return 0;
      out->dataDir = next;
      ++i;
    } else if (arg == "--view") {
      if (!needValue("a level file")) return 0;
      out->view = true;
      out->viewer.levelFile = next;
      ++i;
    } else if (arg == "--shot") {
      if (!needValue("an output file")) return 0;
      shot = true;
      shotPath = next;
      ++i;
    } else if (arg == "--play") {
      out->play = true;
      // The level is optional: a following word that is not an option is the level.
      if (next && std::strncmp(next, "--", 2) != 0) {
        if (!ParseLevel(next, &out->game.level)) {
          *error = std::string("--play needs a level from 1 to 20, not '") + next + "'";
          return 0;
        }
        ++i;
      }
    } else if (arg == "--input") {
      if (!needValue("a controls file")) return 0;
      out->game.inputFile = next;
      ++i;
    } else if (arg == "--trace") {
      if (!needValue("an output file")) return 0;
      out->game.traceFile = next;
      ++i;
    } else if (arg == "--record") {
      if (!needValue("an output file")) return 0;
      out->recordFile = next;
      ++i;
    } else if (arg == "--autopilot") {
      out->autopilot = true;
    } else if (arg == "--invulnerable") {
      out->autopilotOptions.invulnerable = true;
    } else if (arg == "--one-level") {
      out->autopilotOptions.oneLevel = true;
    } else if (arg == "--demo") {
      if (!needValue("a level") || !ParseLevel(next, &out->demoLevel)) {
        *error = std::string("--demo needs a level from 1 to 20") +
                 (next ? std::string(", not '") + next + "'" : "");
        return 0;
      }
      ++i;
    } else if (arg == "--at") {
      if (!needValue("a position X,Y,Z")) return 0;
      if (!ParseCamera(next, &out->viewer)) {
        *error = std::string("--at needs a position X,Y,Z, not '") + next + "'";
        return 0;
      }
      ++i;
    } else {
      *error = "unknown option '" + arg + "' (try --help)";
      return 0;
    }
  }
  if (statsEvery && out->statsFile.empty()) {
    *error = "--stats-every goes with --stats";
    return 0;
  }
  if (out->view && out->play) {
    *error = "--view and --play do not go together";
    return 0;
  }
  if ((out->autopilotOptions.invulnerable || out->autopilotOptions.oneLevel) && !out->autopilot) {
    *error = "--invulnerable and --one-level go with --autopilot";
    return 0;
  }
  if (out->demoLevel && (out->play || out->view)) {
    *error = "--demo goes with neither --play nor --view";
    return 0;
  }
  if (out->view && (out->autopilot || !out->recordFile.empty())) {
    *error = "--autopilot and --record do not go with --view";
    return 0;
  }
  if (out->viewer.hasCamera && !out->view) {
    *error = "--at goes with --view";
    return 0;
  }
  if (shot && !out->view && !out->play && !out->demoLevel) {
    *error = "--shot goes with --view, --play or --demo";
    return 0;
  }
  if ((!out->game.inputFile.empty() || !out->game.traceFile.empty()) && !out->play &&
      !out->demoLevel) {
    *error = "--input and --trace go with --play or --demo";
    return 0;
  }
  if (shot && shotPath.empty()) {
    *error = "--shot needs an output file";
    return 0;
  }
  (out->view ? out->viewer.shotPath : out->game.shotFile) = shotPath;
  out->viewer.headless = out->headless;
  return 1;
}

std::string UsageText() {
  return "Usage: zrsentry [options]\n"
         "  --help              show this text and exit\n"
         "  --version           show the version and exit\n"
         "  --data DIR          run with DIR as the start directory (the game data)\n"
         "  --headless          run without a window (no video or audio device)\n"
         "  --virtual-clock     time moves only with the frame loop (repeatable runs)\n"
         "  --frames N          close after N drawn frames\n"
         "  --frame-ms N        with --virtual-clock: a drawn frame costs N ms (1 to 10,\n"
         "                      default 1); game steps stay the same, fewer frames are drawn\n"
         "  --minutes N         close after N minutes of the clock (of game time with\n"
         "                      --virtual-clock), 1 to 30000\n"
         "  --stats FILE        write the memory held to FILE every minute of the clock:\n"
         "                      ms=T frames=F blocks=B bytes=Y rss=R (the clock, frames\n"
         "                      drawn, tracked blocks and bytes, resident size in bytes)\n"
         "  --stats-every MS    with --stats: a line every MS milliseconds instead\n"
         "  --view LEVELFILE    fly over one level instead of playing\n"
         "  --shot OUT.pcx      with --view --headless: draw one frame into OUT.pcx and exit\n"
         "  --at X,Y,Z          with --view: start the camera there\n"
         "  --play [LEVEL]      start a game at LEVEL (1-20, default 1) at once\n"
         "  --input FILE        with --play: player 1's controls from FILE, one line per game\n"
         "                      step: fire right left up down b1 b2, each 0 or 1\n"
         "  --trace FILE        with --play: write one line per game step to FILE\n"
         "  --shot OUT.pcx      with --play: write the last frame to OUT.pcx at the end\n"
         "  --record FILE       write player 1's controls of every step of play to FILE, in\n"
         "                      the form of --input and of the demo recordings\n"
         "  --autopilot         the autopilot plays (with --play, or the games of the menu)\n"
         "  --invulnerable      with --autopilot: the ship cannot be hit; the hits it would\n"
         "                      have taken are counted\n"
         "  --one-level         with --autopilot: close after the first level\n"
         "  --demo LEVEL        play the gameplay demo of LEVEL as the attract sequence does\n"
         "                      (its recording, or --input FILE or --autopilot in its place)\n"
         "The files of --input, --trace, --stats and --play's --shot are named from the\n"
         "folder where the program was started.\n"
         "\n"
         "Files:\n"
         "  The game data (VELDRAN.DAT and/or DATA/TEXTS.TXT) is read from DIR of --data,\n"
         "  else from the first of: the current directory, the program's own folder,\n"
         "  " ZR_DATA_FROM_PROGRAM
         " from the program's folder (an installed game).\n"
         "  The settings (zrsentry.ini), the high scores, snapshots (SnapNNNN.pcx) and\n"
         "  Warning.txt go to that data folder when it is writable, else to\n"
         "  $XDG_DATA_HOME/zrsentry/ (~/.local/share/zrsentry/ when XDG_DATA_HOME is unset);\n"
         "  the high scores start there as a copy of the data's table.\n";
}

std::string VersionText() {
  return "zrsentry " ZR_VERSION "\n";
}

bool HoldsGameData(const std::string& directory) {
  if (!FindNoCase(directory, ARCHIVE_NAME).empty()) return true;
  std::string data = FindNoCase(directory, "DATA");
  return !data.empty() && !FindNoCase(data, "TEXTS.TXT").empty();
}

std::string FindDataDirectory(const std::string& currentDir, const std::string& programDir) {
  std::vector<std::string> folders = {currentDir};
  if (!programDir.empty()) {
    folders.push_back(programDir);
    folders.push_back(programDir + "/" + ZR_DATA_FROM_PROGRAM);
  }
  for (const std::string& folder : folders)
    if (HoldsGameData(folder)) return folder;
  return "";
}

int ChooseStartDirectory(const std::string& dataDir, std::string* error) {
  std::string folder = dataDir;
  if (folder.empty()) folder = FindDataDirectory(".", ProgramDirectory());
  if (folder.empty()) {
    *error = "no game data in '" + CurrentDirectory() + "', beside the program or in " +
             ZR_DATA_FROM_PROGRAM + " from it (neither " + ARCHIVE_NAME + " nor " + TEXTS_FILE +
             "); use --data DIR";
    return 0;
  }
  if (::chdir(folder.c_str()) != 0) {
    *error = "cannot use the data folder '" + folder + "': " + std::strerror(errno);
    return 0;
  }
  if (!HoldsGameData(".")) {
    *error = "no game data in '" + CurrentDirectory() + "' (neither " + ARCHIVE_NAME + " nor " +
             TEXTS_FILE + "); use --data DIR";
    return 0;
  }
  return 1;
}
