// Helpers for the display tests: a scratch directory to run in, PCX files built byte by byte,
// and a check for python3 with PIL.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "pcx_fixture.h"

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
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The Python that has PIL (Debian's python3-pil sits beside the system Python, which may not
// be the first python3 on the path), or "" when none has it.
inline const std::string& pil_python() {
  static const std::string found = [] {
    for (const char* candidate : {"/usr/bin/python3", "python3"}) {
      const std::string probe = std::string(candidate) + " -c 'import PIL.Image' >/dev/null 2>&1";
      if (std::system(probe.c_str()) == 0) return std::string(candidate);
    }
    return std::string();
  }();
  return found;
}
inline bool have_pil() {
  return !pil_python().empty();
}

inline int run(const std::string& command) {
  return std::system(command.c_str());
}

}  // namespace zrtest

namespace zrtest {

// Writes what PIL decodes from an image file: raw pixel bytes, the palette (768 bytes) and the
// mode and size as text ("P 10 10"). Returns false when PIL cannot open it.
inline bool pil_decode(const std::string& image, const std::string& pixels,
                       const std::string& palette, std::string* description) {
  const std::string script = "pil_decode.py";
  {
    std::ofstream py(script);
    py << "import sys, PIL.Image as I\n"
          "im = I.open(sys.argv[1]); im.load()\n"
          "open(sys.argv[2], 'wb').write(im.tobytes())\n"
          "p = (im.getpalette() or []) + [0] * 768\n"
          "open(sys.argv[3], 'wb').write(bytes(p[:768]))\n"
          "open(sys.argv[4], 'w').write('%s %d %d' % (im.mode, im.size[0], im.size[1]))\n";
  }
  const std::string command = pil_python() + " " + script + " '" + image + "' '" + pixels + "' '" +
                              palette + "' pil_mode.txt 2>/dev/null";
  if (std::system(command.c_str()) != 0) return false;
  if (description) {
    std::ifstream in("pil_mode.txt");
    std::getline(in, *description);
  }
  return true;
}

// Has PIL write an 8-bit paletted image (raw indices and a 768-byte palette) in a format named
// by the output's extension.
inline bool pil_encode(int width, int height, const std::vector<uint8_t>& indices,
                       const std::vector<uint8_t>& palette, const std::string& out) {
  write_file("pil_in.raw", indices);
  write_file("pil_in.pal", palette);
  {
    std::ofstream py("pil_encode.py");
    py << "import sys, PIL.Image as I\n"
          "w, h = int(sys.argv[1]), int(sys.argv[2])\n"
          "im = I.frombytes('P', (w, h), open('pil_in.raw', 'rb').read())\n"
          "im.putpalette(open('pil_in.pal', 'rb').read())\n"
          "im.save(sys.argv[3])\n";
  }
  const std::string command = pil_python() + " pil_encode.py " + std::to_string(width) + " " +
                              std::to_string(height) + " '" + out + "' 2>/dev/null";
  return std::system(command.c_str()) == 0;
}

}  // namespace zrtest
