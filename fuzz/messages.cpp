// Messages files: the input is the file. Loads the table, draws every message (17 and 18 through
// their formats) into the frame buffer with the level and lives at their extremes, frees the
// table, and checks that every file was closed and every tracked byte given back.
#include "app/messages.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/app_state.h"
#include "engine/core/fileio.h"
#include "engine/display/display.h"
#include "fuzz/fuzz_support.h"
#include "game/game_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_start_core();
  static bool displayStarted = false;
  if (!displayStarted) {
    displayStarted = true;
    if (!zr_dsp_init()) std::abort();  // the frame buffer and the registered rectangles' list
    frameBuffer = *zr_dsp_frame_buffer();
  }
  static ZR_IO_CONFIG config{};
  zr_io_init(&config);
  const int32_t before = zr_mem_used();
  static const std::string path = fuzz_path("msg.txt");
  fuzz_write(path, data, size);

  MessageTable* table = LoadMessages(path.c_str());
  if (table) {
    for (int32_t value : {INT_MIN, -1, 0, 7, INT_MAX}) {
      level = value;
      lives = value;
      for (int n = 0; n <= table->count + 1; ++n) DrawMessage(table, n);
    }
  }
  FreeMessages(table);

  if (zr_io_open_count() != 0 || zr_mem_used() != before) std::abort();
  zr_io_deinit();
  return 0;
}
