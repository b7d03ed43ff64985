// Menu files: the input is the menu file, loaded as section "M" (and the section the file names
// first, when it differs). The menu is laid out, opened, driven by every event with the virtual
// clock moving between them (delay and time-out), and drawn in both modes with a notify function
// that sets shown indexes out of range and rewrites texts; then freed. Every file must be closed
// and every tracked byte given back.
#include "engine/ui/menu.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/fileio.h"
#include "engine/platform/clock.h"
#include "fuzz/fuzz_support.h"

namespace {

void Notify(ZR_MENU*, ZR_MENU_LINE* line, int32_t value, int32_t, int32_t, void*) {
  if (line == nullptr) return;
  line->shown = value % 5 - 1;
  if (line->textCount > 0) std::memset(line->texts[0].text, 'W', ZR_MENU_TEXT_ROOM);
}

void Drive(const char* path, const char* section) {
  ZR_MENU menu{};
  if (zr_menu_load(&menu, path, section, nullptr, Notify, nullptr)) {
    std::vector<uint8_t> pixels(320 * 200, 0);
    ZR_BITMAP target{};
    target.width = target.w = 320;
    target.height = target.h = 200;
    target.bpp = 8;
    target.pixels = pixels.data();
    zr_menu_open(&menu, 1);
    const int events[] = {8, 8, 4, 2, 16, 32, 0, 1, 1, 4, 8, 0};
    for (int event : events) {
      zr_clock_advance(event == 0 ? 20000 : 600);
      zr_menu_event(&menu, event);
      zr_menu_draw(&menu, nullptr, &target, ZR_MENU_DRAW_FRAME, 150);
      zr_menu_draw(&menu, nullptr, &target, ZR_MENU_DRAW_TRANSPARENT, 150);
    }
  }
  zr_menu_free(&menu);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_start_core();
  static ZR_IO_CONFIG config{};
  static bool started = false;
  static int32_t reportSwitch = 1;
  static int32_t fullScreen = 0, transparency = 0;
  if (!started) {
    started = true;
    zr_io_init(&config);
    zr_clock_use_virtual(true);
    ZR_MENU_CONFIG menuConfig = {&reportSwitch, 320, 200, &fullScreen, &transparency, nullptr};
    zr_menu_init(&menuConfig);
  }
  if (size > 64 * 1024) return 0;
  static const std::string path = fuzz_path("m.txt");
  fuzz_write(path, data, size);
  fullScreen = size % 2;

  const int32_t before = zr_mem_used();
  Drive(path.c_str(), "M");
  // The first section the file names, whatever it is.
  std::string text(reinterpret_cast<const char*>(data), size);
  size_t open = text.find('['), close = text.find(']', open == std::string::npos ? 0 : open);
  if (open != std::string::npos && close != std::string::npos && close > open + 1 &&
      close - open < 64) {
    Drive(path.c_str(), text.substr(open + 1, close - open - 1).c_str());
  }
  if (zr_mem_used() != before || zr_io_open_count() != 0) std::abort();
  return 0;
}
