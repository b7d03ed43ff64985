// Shared by the application tests: a temporary game folder (made current for the test's
// lifetime) with a minimal DATA/TEXTS.TXT and palette.
#pragma once
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <string>

class TempGameDir {
 public:
  explicit TempGameDir(bool withData = true) {
    char pattern[] = "/tmp/zr_app_XXXXXX";
    path_ = ::mkdtemp(pattern) ? pattern : "";
    char buffer[PATH_MAX];
    previous_ = ::getcwd(buffer, sizeof buffer) ? buffer : "/";
    if (path_.empty()) return;
    if (withData) WriteData();
    if (::chdir(path_.c_str()) != 0) path_.clear();
  }
  ~TempGameDir() {
    if (::chdir(previous_.c_str()) != 0) return;
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

  std::string Read(const std::string& name) const {
    std::ifstream in(path_ + "/" + name);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 private:
  // The data mixes cases: the program must find "DATA\TEXTS.TXT" in "data/texts.txt".
  void WriteData() {
    std::filesystem::create_directories(path_ + "/data");
    std::ofstream texts(path_ + "/data/texts.txt", std::ios::binary);
    texts << "[Application]\r\nTitle=ZRSENTRY Test\r\nINIFile=zrsentry.ini\r\n"
             "PALFile=DATA\\GAME.PAL\r\n";
    std::ofstream palette(path_ + "/data/game.pal", std::ios::binary);
    for (int i = 0; i < 768; ++i) palette.put(char(i / 3));
    // The game's set-up needs the editing font: 224 blank glyphs of 7 rows.
    std::ofstream font(path_ + "/data/font.dat", std::ios::binary);
    font << std::string(224 * 7, '\0');
  }

  std::string path_;
  std::string previous_;
};
