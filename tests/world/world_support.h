// Shared helpers of the world tests: a fixture that runs each test in a scratch folder with the
// core services up, the warning box captured, the world engine's exit turned into an exception
// and the map reader's pauses off; it frees the level afterwards and checks that no tracked block
// is left. Also small writers for definition files and PCX pictures.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core_services.h"
#include "engine/core/fileio.h"
#include "engine/platform/message_box.h"
#include "engine/platform/messages.h"
#include "pcx_fixture.h"
#include "world/background.h"
#include "world/edit_font.h"
#include "world/level_def.h"
#include "world/map.h"
#include "world/transparency.h"
#include "world/world_error.h"

namespace wtest {

struct WorldExit {
  int status;
};

[[noreturn]] inline void throw_exit(int status) {
  throw WorldExit{status};
}

inline std::vector<std::string>& boxes() {
  static std::vector<std::string> list;
  return list;
}

inline int capture_box(const char* text, const char* caption, uint32_t) {
  boxes().push_back(std::string(caption ? caption : "") + "|" + (text ? text : ""));
  return IDOK;
}

// Engine parameters as at program start.
inline void reset_parameters() {
  reset_engine_parameters();
}

inline void write_bytes(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

inline void write_text(const std::string& name, const std::string& text) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out << text;
}

// Lines joined with carriage return and line feed, as the definition files are written.
inline std::string crlf(std::initializer_list<std::string> lines) {
  std::string text;
  for (const auto& l : lines) text += l + "\r\n";
  return text;
}

using zrtest::pcx_header;
using zrtest::put16;

// Encodes rows of bpl bytes (the picture padded with pad_value) as PCX runs, plus a palette.
inline std::vector<uint8_t> pcx_bytes(int w, int h, const std::vector<uint8_t>& pixels, int bpl = 0,
                                      uint8_t pad_value = 0, uint8_t palette_seed = 0) {
  if (bpl == 0) bpl = w;
  std::vector<uint8_t> out = pcx_header(0, 0, w - 1, h - 1, bpl);
  for (int y = 0; y < h; ++y) {
    std::vector<uint8_t> line(bpl, pad_value);
    for (int x = 0; x < w; ++x) line[x] = pixels[static_cast<size_t>(y) * w + x];
    for (int x = 0; x < bpl;) {
      int run = 1;
      while (x + run < bpl && run < 63 && line[x + run] == line[x]) ++run;
      if (run > 1 || line[x] >= 0xC0) out.push_back(static_cast<uint8_t>(0xC0 | run));
      out.push_back(line[x]);
      x += run;
    }
  }
  out.push_back(12);
  for (int i = 0; i < 768; ++i) out.push_back(static_cast<uint8_t>(i * 7 + palette_seed));
  return out;
}

inline void write_pcx(const std::string& name, int w, int h, uint8_t value) {
  write_bytes(name, pcx_bytes(w, h, std::vector<uint8_t>(static_cast<size_t>(w) * h, value)));
}

inline void write_pcx(const std::string& name, int w, int h, const std::vector<uint8_t>& pixels) {
  write_bytes(name, pcx_bytes(w, h, pixels));
}

class WorldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zrtest::start_core_services(&switch_, &config_);
    boxes().clear();
    zr_message_box_set_hook(capture_box);
    zr_clear_messages();
    world_set_exit_handler(throw_exit);
    world_set_pauses(false);
    reset_parameters();
    blocks_ = zr_mem_block_count();
  }

  void TearDown() override {
    free_level();
    free_transparency_tables();
    free_editing_font();
    zrtest::expect_nothing_left(blocks_);
    world_set_exit_handler(nullptr);
    zr_message_box_set_hook(nullptr);
    zr_clear_messages();
    reset_parameters();
  }

  // Runs f; returns the exit status it ended with, or -1 when it returned.
  template <typename F>
  int exit_status(F&& f) {
    try {
      f();
    } catch (const WorldExit& e) {
      return e.status;
    }
    return -1;
  }

  // Loads "level.def" and "level.map"; the exit status, or -1 when the load returned.
  int load(const std::string& definition, int add_animated = 1) {
    write_text("level.def", definition);
    return exit_status([&] { Load_Level("level.def", "level.map", add_animated); });
  }

  static std::string last_error() { return world_last_error(); }

  zrtest::ScratchFolder folder_{"zrworld"};
  int32_t switch_ = 0;
  ZR_IO_CONFIG config_{};
  int blocks_ = 0;
};

// Tile sizes that every bitmap line needs first.
inline const std::string kSizes = "@d 32\r\n@e 32\r\n@f 256\r\n";

}  // namespace wtest
