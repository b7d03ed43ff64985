// Shared by the replay tests: the built program run in a scratch folder that holds the game's
// archive, and the trace lines it writes.
#pragma once
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace replay {

// A scratch folder with the built game's data archive, made current for its lifetime.
class GameFolder {
 public:
  GameFolder() {
    char pattern[] = "/tmp/zr_replay_XXXXXX";
    path_ = ::mkdtemp(pattern) ? pattern : "";
    char buffer[PATH_MAX];
    previous_ = ::getcwd(buffer, sizeof buffer) ? buffer : "/";
    if (path_.empty()) return;
    std::error_code error;
    std::filesystem::create_symlink(ZR_GAME_DIR "/VELDRAN.DAT", path_ + "/VELDRAN.DAT", error);
    if (error || ::chdir(path_.c_str()) != 0) path_.clear();
  }
  ~GameFolder() {
    if (::chdir(previous_.c_str()) != 0) return;
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::string previous_;
};

struct Run {
  int status = -1;
  std::string out;  // standard output and standard error
};

inline Run RunGame(const std::string& args) {
  Run run;
  std::string command = ZR_GAME_DIR "/zrsentry " + args + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[512];
  while (size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) run.out.append(buffer, got);
  int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// One line of a trace: "STEP CHECKSUM level=L score=S lives=N lane=K x=X y=Y z=Z".
struct TraceRow {
  long step = 0;
  unsigned checksum = 0;
  int level = 0, score = 0, lives = 0, lane = 0;
  long x = 0, y = 0, z = 0;
};

inline std::vector<TraceRow> ParseTrace(const std::string& text) {
  std::vector<TraceRow> rows;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    TraceRow row;
    if (std::sscanf(line.c_str(), "%ld %x level=%d score=%d lives=%d lane=%d x=%ld y=%ld z=%ld",
                    &row.step, &row.checksum, &row.level, &row.score, &row.lives, &row.lane, &row.x,
                    &row.y, &row.z) != 9) {
      return {};  // a malformed trace reads as none
    }
    rows.push_back(row);
  }
  return rows;
}

}  // namespace replay
