// Wave files: the input is the file. The reader either loads samples no larger than the file or
// refuses with one of its codes; a loaded wave then goes through the sound module into a buffer
// of the manual device and is mixed, whatever its format says.
#include "engine/sound/wave.h"

#include <cstdint>
#include <cstdlib>

#include "engine/core/error.h"
#include "engine/core/fileio.h"
#include "engine/platform/audio.h"
#include "engine/sound/sound.h"
#include "fuzz/fuzz_support.h"

namespace {

void start_sound() {
  static bool started = false;
  if (started) return;
  started = true;
  static ZR_IO_CONFIG io{};
  zr_io_init(&io);
  static const ZR_AUDIO_MANUAL device = {16, 2, true, true, true};
  zr_audio_set_manual(&device);
  static int32_t reportSwitch = 1, active = 1, musicOn = 1, effectsOn = 1, musicVolume = 70,
                 effectsVolume = 100, quality = 4;
  static ZR_SOUND_CONFIG config = {&reportSwitch,  &active,  &musicOn, &effectsOn, &musicVolume,
                                   &effectsVolume, &quality, 2,        3};
  if (!zr_sound_init(&config)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_start_core();
  start_sound();
  const int blocks = zr_mem_block_count();
  static const std::string path = fuzz_path("in.wav");
  fuzz_write(path, data, size);

  ZR_WAVE wave{};
  if (zr_wave_load(path.c_str(), &wave, zr_sound_module())) {
    if (wave.size > size || (wave.size > 0 && !wave.samples)) std::abort();
    zr_mem_free(wave.samples);
  } else {
    const int code = zr_error_last_code();
    const bool known =
        code == ZR_WAVE_NO_MEMORY || (code >= ZR_WAVE_CANNOT_OPEN && code <= ZR_WAVE_NO_DATA);
    if (!known || wave.samples) std::abort();
  }

  if (ZR_SOUND* sound = zr_sound_load(path.c_str())) {
    if (!zr_sound_play(sound, size % 2)) std::abort();
    static uint8_t out[4 * 2048];
    zr_audio_render(out, sizeof out);
    zr_sound_stop(sound);
    zr_audio_render(out, sizeof out);
    zr_sound_free(sound);
  }
  if (zr_io_open_count() != 0 || zr_mem_block_count() != blocks) std::abort();
  return 0;
}
