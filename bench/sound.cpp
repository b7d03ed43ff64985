// The sound's share of a core: one second of output at 44100 Hz, 16-bit stereo, with a level's
// music and four effects playing (our mixer and libxmp filling the stream as the frame timer
// would, in 100 ticks), beside libxmp mixing the same module alone.
//
// An iteration is one second of sound: its CPU time over a second is the share of a core (5 ms
// would be 0.5 %).
//
// The module is level 1's music from the game folder's archive when it is there, else a module
// of other software (ZR_PEER_CASES, or ../shared/peer-cases beside the source).
#include "engine/sound/sound.h"

#include <benchmark/benchmark.h>
#include <unistd.h>
#include <xmp.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/core/error.h"
#include "engine/core/fileio.h"
#include "engine/core/keyfile.h"
#include "engine/core/list.h"
#include "engine/core/memory.h"
#include "engine/core/zr_string.h"
#include "engine/platform/audio.h"
#include "engine/platform/message_box.h"
#include "engine/sound/music.h"

namespace {

constexpr int kRate = 44100;

int quietBox(const char*, const char*, uint32_t) {
  return IDOK;
}

std::string peerModule() {
  const char* env = std::getenv("ZR_PEER_CASES");
  std::string folder = env ? env : std::string(ZR_SOURCE_DIR) + "/../shared/peer-cases";
  return folder + "/s3m/libxmp_pattern_loop_st301.s3m";
}

void put16(std::string& out, uint32_t value) {
  out += char(value & 0xFF);
  out += char((value >> 8) & 0xFF);
}
void put32(std::string& out, uint32_t value) {
  put16(out, value & 0xFFFF);
  put16(out, value >> 16);
}

// A wave of one second of a tone in the given format.
void writeWave(const std::string& path, int channels, int bits, int rate) {
  std::string samples;
  for (int i = 0; i < rate; ++i) {
    double value = std::sin(i * 0.05) * 0.5;
    for (int c = 0; c < channels; ++c) {
      if (bits == 8) {
        samples += char(128 + int(value * 120));
      } else {
        put16(samples, uint16_t(int16_t(value * 30000)));
      }
    }
  }
  const int block = channels * bits / 8;
  std::string body = "WAVEfmt ";
  put32(body, 16);
  put16(body, 1);
  put16(body, uint16_t(channels));
  put32(body, uint32_t(rate));
  put32(body, uint32_t(rate * block));
  put16(body, uint16_t(block));
  put16(body, uint16_t(bits));
  body += "data";
  put32(body, uint32_t(samples.size()));
  body += samples;
  std::string file = "RIFF";
  put32(file, uint32_t(body.size()));
  std::ofstream(path, std::ios::binary) << file << body;
}

// The core modules with the game folder's archive (when there is one) and a scratch folder of
// effects; returns the music file to load.
std::string startCore(std::filesystem::path* scratch) {
  static int32_t report = 0;
  zr_message_box_set_hook(quietBox);
  zr_error_init(&report);
  zr_list_init(&report);
  zr_mem_init(&report);
  zr_string_init(&report);
  char pattern[] = "/tmp/zrbench.XXXXXX";
  *scratch = ::mkdtemp(pattern);
  std::filesystem::current_path(ZR_GAME_DIR);
  static ZR_IO_CONFIG io{};
  std::snprintf(io.archiveName, sizeof io.archiveName, "VELDRAN.DAT");
  zr_io_init(&io);
  char level[64] = "", music[64] = "";
  if (zr_io_get_string("Level", "Music", music, sizeof music, "level\\level1.txt") &&
      zr_io_exists(music, ZR_IO_ARCHIVE | ZR_IO_DISK)) {
    (void)level;
    return music;
  }
  return peerModule();
}

void stopCore(const std::filesystem::path& scratch) {
  zr_io_deinit();
  zr_string_deinit();
  zr_mem_deinit();
  zr_list_deinit();
  zr_error_deinit();
  std::error_code ignored;
  std::filesystem::remove_all(scratch, ignored);
}

void BM_MixSecondMusicAndFourEffects(benchmark::State& state) {
  std::filesystem::path scratch;
  const std::string musicFile = startCore(&scratch);
  const ZR_AUDIO_MANUAL device = {16, 2, true, true, true};
  zr_audio_set_manual(&device);
  int32_t active = 1, musicOn = 1, effectsOn = 1, musicVolume = 70, effectsVolume = 80,
          quality = int32_t(state.range(0));
  ZR_SOUND_CONFIG config = {nullptr,        &active,  &musicOn, &effectsOn, &musicVolume,
                            &effectsVolume, &quality, 2,        3};
  if (!zr_sound_init(&config)) {
    state.SkipWithError("no device");
    return;
  }
  const int formats[4][3] = {{1, 16, 22050}, {2, 16, 44100}, {1, 8, 11025}, {2, 8, 22050}};
  std::vector<ZR_SOUND*> effects;
  for (int i = 0; i < 4; ++i) {
    const std::string path = (scratch / ("fx" + std::to_string(i) + ".wav")).string();
    writeWave(path, formats[i][0], formats[i][1], formats[i][2]);
    effects.push_back(zr_sound_load(path.c_str()));
  }
  ZR_MUSIC* music = zr_music_load(musicFile.c_str());
  if (!music || !zr_music_play(music)) {
    state.SkipWithError(("cannot play " + musicFile).c_str());
    return;
  }
  for (ZR_SOUND* effect : effects) zr_sound_play(effect, 1);
  std::vector<uint8_t> out(kRate / 100 * 4);
  for (auto _ : state) {
    // One second as the device and the frame timer would take it: 100 ticks of 10 ms.
    for (int tick = 0; tick < 100; ++tick) {
      zr_audio_render(out.data(), uint32_t(out.size()));
      zr_music_update();
    }
    benchmark::DoNotOptimize(out.data());
  }
  zr_music_free(music);
  zr_sound_deinit();
  zr_audio_set_manual(nullptr);
  stopCore(scratch);
}
BENCHMARK(BM_MixSecondMusicAndFourEffects)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond);

// libxmp alone: the same module, one second into one buffer.
void BM_XmpAloneSecond(benchmark::State& state) {
  std::filesystem::path scratch;
  const std::string musicFile = startCore(&scratch);
  std::vector<char> bytes;
  if (ZR_FILE* in = zr_io_fopen(musicFile.c_str(), "rb")) {
    zr_io_fseek(in, 0, SEEK_END);
    bytes.resize(size_t(zr_io_ftell(in)));
    zr_io_fseek(in, 0, SEEK_SET);
    zr_io_fread(bytes.data(), 1, bytes.size(), in);
    zr_io_fclose(in);
  }
  xmp_context context = xmp_create_context();
  if (bytes.empty() ||
      xmp_load_module_from_memory(context, bytes.data(), long(bytes.size())) != 0) {
    state.SkipWithError(("cannot load " + musicFile).c_str());
    xmp_free_context(context);
    stopCore(scratch);
    return;
  }
  xmp_start_player(context, kRate, 0);
  xmp_set_player(context, XMP_PLAYER_INTERP,
                 state.range(0) == 8 ? XMP_INTERP_SPLINE : XMP_INTERP_LINEAR);
  std::vector<uint8_t> out(kRate * 4);
  for (auto _ : state) {
    xmp_play_buffer(context, out.data(), int(out.size()), 0);
    benchmark::DoNotOptimize(out.data());
  }
  xmp_end_player(context);
  xmp_release_module(context);
  xmp_free_context(context);
  stopCore(scratch);
}
BENCHMARK(BM_XmpAloneSecond)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace
