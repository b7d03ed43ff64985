// Helpers for the display tests: a scratch directory to run in, PCX files built byte by byte,
// and a check for python3 with PIL.
#pragma once
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace zrtest {

// Runs a test inside a fresh temporary directory and returns to the old one afterwards.
class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = std::filesystem::current_path();
    char pattern[] = "/tmp/zr_display_XXXXXX";
    dir_ = mkdtemp(pattern);
    std::filesystem::current_path(dir_);
  }
  void TearDown() override {
    std::filesystem::current_path(old_);
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }

  std::filesystem::path old_;
  std::filesystem::path dir_;
};

inline void put16(std::vector<uint8_t>& v, size_t at, int value) {
  v[at] = static_cast<uint8_t>(value & 0xFF);
  v[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

// A 128-byte header of an 8-bit, one-plane, run-length PCX.
inline std::vector<uint8_t> pcx_header(int xmin, int ymin, int xmax, int ymax, int bytesPerLine) {
  std::vector<uint8_t> h(128, 0);
  h[0] = 0x0A;
  h[1] = 5;
  h[2] = 1;
  h[3] = 8;
  put16(h, 4, xmin);
  put16(h, 6, ymin);
  put16(h, 8, xmax);
  put16(h, 10, ymax);
  h[65] = 1;
  put16(h, 66, bytesPerLine);
  put16(h, 68, 1);
  return h;
}

// Header + encoded data + 0x0C + palette (entry i = (i, 255 - i, i / 2)).
inline std::vector<uint8_t> pcx_file(const std::vector<uint8_t>& header,
                                     const std::vector<uint8_t>& data) {
  std::vector<uint8_t> f = header;
  f.insert(f.end(), data.begin(), data.end());
  f.push_back(0x0C);
  for (int i = 0; i < 256; ++i) {
    f.push_back(static_cast<uint8_t>(i));
    f.push_back(static_cast<uint8_t>(255 - i));
    f.push_back(static_cast<uint8_t>(i / 2));
  }
  return f;
}

inline void write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline bool have_pil() {
  static const int ok =
      std::system("python3 -c 'import PIL.Image' >/dev/null 2>&1") == 0 ? 1 : 0;
  return ok == 1;
}

inline int run(const std::string& command) { return std::system(command.c_str()); }

}  // namespace zrtest
