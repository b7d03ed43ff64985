// The language list file: the input is the file (and, after a marker line, the settings file with
// its remembered language). Loads it, walks every slot, selects, saves and frees, and checks that
// every file was closed and every tracked byte given back.
#include "engine/display/language.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/core/fileio.h"
#include "engine/core/keyfile.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_start_core();
  static ZR_IO_CONFIG config{};
  static const std::string list = fuzz_path("language.txt");
  static const std::string settings = fuzz_path("zrsentry.ini");
  // The settings file lies in the start directory, taken from the current one at the file
  // layer's start: the scratch folder is current only for that moment, so that libFuzzer's
  // relative corpus paths keep working.
  static char home[4096] = "";
  if (home[0] == '\0') {
    std::strncpy(config.settingsName, "zrsentry.ini", sizeof config.settingsName - 1);
    if (::getcwd(home, sizeof home) == nullptr) std::abort();
  }
  if (::chdir(fuzz_folder()) != 0) std::abort();
  zr_io_init(&config);
  if (::chdir(home) != 0) std::abort();
  zr_io_settings_path();  // kept by the file layer until its deinit
  const int32_t before = zr_mem_used();

  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find("\n====\n");
  const std::string head = split == std::string::npos ? input : input.substr(0, split);
  const std::string tail = split == std::string::npos ? "" : input.substr(split + 6);
  fuzz_write(list, reinterpret_cast<const uint8_t*>(head.data()), head.size());
  fuzz_write(settings, reinterpret_cast<const uint8_t*>(tail.data()), tail.size());

  if (ZR_LANGUAGES* languages = zr_lang_load(list.c_str())) {
    if (languages->count < 0 || languages->count > ZR_LANG_MAX) std::abort();
    const ZR_LANGUAGE* current = zr_lang_current(languages);
    if (languages->current >= 0 && current == nullptr) std::abort();
    for (int32_t slot = -1; slot <= languages->count; ++slot) {
      if (const ZR_LANGUAGE* entry = zr_lang_entry(languages, slot)) {
        const size_t lengths = std::strlen(entry->name) + std::strlen(entry->abbreviation) +
                               std::strlen(entry->fullscreen) + std::strlen(entry->window);
        if (lengths > 4 * ZR_LANG_TEXT_MAX) std::abort();
        if (zr_lang_select(languages, entry->number) != 1) std::abort();
      }
    }
    zr_lang_select(languages, -7);
    zr_lang_save(languages);
    zr_lang_free(languages);
  }

  if (zr_io_open_count() != 0 || zr_mem_used() != before) std::abort();
  zr_io_deinit();
  return 0;
}
