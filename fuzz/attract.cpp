// Attract lists and demo recordings: the input is the file, read both ways. The list loads with
// at most its entries, each name ending within its buffer, and frees with every file closed and
// every tracked byte given back; the recording fills only its lines, and replays 0 or 1 for
// every control at every step the game's counter can reach.
#include "app/attract.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/core/fileio.h"
#include "fuzz/fuzz_support.h"

namespace {

void CheckList(const AttractList* list) {
  if (!list) return;
  if (list->count < 0 || list->count > ATTRACT_ENTRIES_MAX) std::abort();
  bool any = false;
  for (int i = 0; i < list->count; ++i) {
    const AttractEntry* entry = list->entries[i];
    if (!entry) continue;
    any = true;
    if (std::memchr(entry->name, '\0', sizeof entry->name) == nullptr) std::abort();
  }
  if (list->playing != (any ? 1 : 0) || list->started) std::abort();
}

void CheckRecording(std::string_view text) {
  static DemoRecording recording;
  ParseDemoRecording(text, &recording);
  if (recording.lines < 0 || recording.lines > DEMO_LINES) std::abort();
  for (int32_t step : {-1, 0, 1, 2, recording.lines, recording.lines + 1, DEMO_STEPS - 1,
                       DEMO_STEPS, 32000, INT32_MAX}) {
    uint8_t controls[8];
    std::memset(controls, 7, sizeof controls);
    ReplayDemoStep(recording, step, controls);
    for (uint8_t c : controls)
      if (c > 1) std::abort();
    if (step > recording.lines || step < 1) {
      for (uint8_t c : controls)
        if (c != 0) std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_start_core();
  static ZR_IO_CONFIG config{};
  zr_io_init(&config);
  const int32_t before = zr_mem_used();
  static const std::string path = fuzz_path("demos.txt");
  fuzz_write(path, data, size);

  AttractList* list = LoadAttractList(path.c_str(), "Demos");
  CheckList(list);
  FreeAttractList(list);
  if (zr_io_open_count() != 0 || zr_mem_used() != before) std::abort();
  zr_io_deinit();

  CheckRecording(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
