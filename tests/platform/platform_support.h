// Shared by the platform tests: a temporary directory made current for a test's lifetime.
#pragma once
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>

class ScopedTempDir {
 public:
  ScopedTempDir() {
    char pattern[] = "/tmp/zr_platform_XXXXXX";
    path_ = ::mkdtemp(pattern) ? pattern : "";
    char buffer[PATH_MAX];
    previous_ = ::getcwd(buffer, sizeof buffer) ? buffer : "/";
    if (!path_.empty() && ::chdir(path_.c_str()) != 0) path_.clear();
  }
  ~ScopedTempDir() {
    if (::chdir(previous_.c_str()) != 0) return;
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::string previous_;
};
