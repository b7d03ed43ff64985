#include "engine/sound/music.h"

#include <xmp.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "engine/core/fileio.h"
#include "engine/core/memory.h"
#include "engine/platform/audio.h"
#include "engine/platform/message_box.h"
#include "engine/sound/sound.h"

// A loaded module: libxmp's player context with the module in it.
struct ZR_MUSIC {
  xmp_context context;
  bool started;  // the player runs (between xmp_start_player and xmp_end_player)
};

namespace {

// Guards the stream against the refill on the timer thread: load, play, stop, free, volume and
// quality changes and the refill each hold it.
std::mutex g_lock;
bool g_open = false;
ZR_AUDIO_FORMAT g_format{};
ZR_AUDIO_BUFFER* g_stream = nullptr;
uint8_t* g_output = nullptr;  // "DAM output buffer": the mixer's output, one second
uint32_t g_bufferBytes = 0;
uint32_t g_chunkSize = 0;
int g_nextChunk = 0;
int32_t g_mode = 0;
std::atomic<bool> g_playing{false};
std::atomic<ZR_MUSIC*> g_current{nullptr};
int g_musicCount = 0;  // music records held (checked at close)

void showBox(const char* format, const char* file) {
  char text[ZR_PATH_MAX + 64];
  std::snprintf(text, sizeof text, format, file);
  zr_message_box(text, nullptr, MB_OK);
}

int formatFlags() {
  int flags = 0;
  if (g_format.bits == 8) flags |= XMP_FORMAT_8BIT | XMP_FORMAT_UNSIGNED;
  if (g_format.channels == 1) flags |= XMP_FORMAT_MONO;
  return flags;
}

uint8_t silence() {
  return g_format.bits == 8 ? 0x80 : 0;
}

// Copies bytes of the output buffer into the stream at the same offset.
bool writeStream(uint32_t offset, uint32_t bytes) {
  void* part1 = nullptr;
  void* part2 = nullptr;
  uint32_t size1 = 0, size2 = 0;
  if (!zr_audio_buffer_lock(g_stream, offset, bytes, &part1, &size1, &part2, &size2)) return false;
  std::memcpy(part1, g_output + offset, size1);
  if (part2 && size2) std::memcpy(part2, g_output + offset + size1, size2);
  return zr_audio_buffer_unlock(g_stream) != 0;
}

// Rewinds the stream and lets it play (looping) while the window is active.
void restartStream() {
  g_nextChunk = 0;
  zr_audio_buffer_set_position(g_stream, 0);
  if (zr_sound_window_active()) zr_audio_buffer_play(g_stream, true);
}

void applyParameters(ZR_MUSIC* music) {
  xmp_set_player(music->context, XMP_PLAYER_VOLUME,
                 zr_music_xmp_volume(zr_music_mixer_volume(zr_sound_music_volume())));
  xmp_set_player(music->context, XMP_PLAYER_INTERP, zr_music_xmp_interpolation(g_mode & 0x0C));
}

void stopLocked(ZR_MUSIC* music) {
  if (!g_playing) return;
  g_playing = false;
  zr_audio_buffer_stop(g_stream);
  std::memset(g_output, silence(), g_bufferBytes);
  writeStream(0, g_bufferBytes);
  restartStream();
  if (music && music->started) {
    xmp_end_player(music->context);
    music->started = false;
  }
}

void releaseMusic(ZR_MUSIC* music) {
  if (music->started) xmp_end_player(music->context);
  xmp_release_module(music->context);
  xmp_free_context(music->context);
  zr_mem_free(music);
  --g_musicCount;
}

// The whole file in tracked memory, or nullptr after the box.
uint8_t* readFile(const char* file, long* size) {
  ZR_FILE* in = zr_io_fopen(file, "rb");
  if (!in) {
    showBox("Could not open file %s", file);
    return nullptr;
  }
  long length = 0;
  if (zr_io_fseek(in, 0, SEEK_END) == 0) length = zr_io_ftell(in);
  zr_io_fseek(in, 0, SEEK_SET);
  uint8_t* data = length > 0 ? static_cast<uint8_t*>(zr_mem_malloc(size_t(length))) : nullptr;
  if (data) length = long(zr_io_fread(data, 1, size_t(length), in));
  zr_io_fclose(in);
  if (!data || length <= 0) {
    if (data) zr_mem_free(data);
    showBox("Could not load %s", file);
    return nullptr;
  }
  *size = length;
  return data;
}

}  // namespace

int zr_music_xmp_volume(int32_t mixerVolume) {
  // libxmp amplifies above 100 (and clips): the full mixer volume is its unity gain.
  return int((std::clamp<int32_t>(mixerVolume, 0, 131072) * 100 + 65536) / 131072);
}

int zr_music_xmp_interpolation(int32_t quality) {
  switch (quality) {
    case 8:
      return XMP_INTERP_SPLINE;
    case 4:
      return XMP_INTERP_LINEAR;
    default:
      return XMP_INTERP_NEAREST;
  }
}

uint32_t zr_music_chunk_size(uint32_t bufferBytes, uint32_t blockAlign) {
  if (blockAlign == 0) blockAlign = 1;
  return bufferBytes / ZR_MUSIC_CHUNKS / blockAlign * blockAlign;
}

int zr_music_chunk_of(uint32_t position, uint32_t chunkSize) {
  if (chunkSize == 0) return 0;
  return int(std::min<uint32_t>(position / chunkSize, ZR_MUSIC_CHUNKS - 1));
}

int zr_music_chunks_due(int playChunk, int nextChunk) {
  if (playChunk == nextChunk) return 0;
  int count = playChunk - nextChunk;
  return count < 0 ? ZR_MUSIC_CHUNKS - nextChunk : count;
}

ZR_MUSIC_SPAN zr_music_chunk_span(int first, int count, uint32_t chunkSize, uint32_t bufferBytes) {
  const uint32_t offset = uint32_t(first) * chunkSize;
  const int last = first + count;
  const uint32_t end = last >= ZR_MUSIC_CHUNKS ? bufferBytes : uint32_t(last) * chunkSize;
  return ZR_MUSIC_SPAN{offset, end > offset ? end - offset : 0};
}

int zr_music_open(int32_t channels, int32_t bits, int32_t rate, int32_t report) {
  std::lock_guard<std::mutex> lock(g_lock);
  if (g_open) return 1;
  g_format = ZR_AUDIO_FORMAT{channels, bits, rate};
  g_bufferBytes = uint32_t(zr_audio_block_align(g_format) * rate);
  g_chunkSize = zr_music_chunk_size(g_bufferBytes, uint32_t(zr_audio_block_align(g_format)));
  g_mode = zr_music_mode(bits, channels, zr_sound_quality());
  g_output = static_cast<uint8_t*>(zr_mem_malloc(g_bufferBytes));
  if (!g_output) return 0;
  if (report) zr_mem_name(g_output, "DAM output buffer");
  std::memset(g_output, silence(), g_bufferBytes);
  g_stream = zr_audio_buffer_create(g_format, g_bufferBytes);
  if (!g_stream) {
    zr_mem_free(g_output);
    g_output = nullptr;
    return 0;
  }
  g_open = true;
  g_playing = false;
  restartStream();
  return 1;
}

void zr_music_close() {
  zr_music_free(g_current);
  std::lock_guard<std::mutex> lock(g_lock);
  if (!g_open) return;
  g_open = false;
  zr_audio_buffer_stop(g_stream);
  zr_mem_free(g_output);
  g_output = nullptr;
  if (g_musicCount != 0) zr_message_box("Not all memory was freed.", "ERROR", MB_OK);
  zr_audio_buffer_release(g_stream);
  g_stream = nullptr;
}

ZR_MUSIC* zr_music_load(const char* file) {
  if (!zr_sound_device_present() || !g_open || !file) return nullptr;
  long size = 0;
  uint8_t* data = readFile(file, &size);
  if (!data) return nullptr;
  auto* music = static_cast<ZR_MUSIC*>(zr_mem_calloc(1, sizeof(ZR_MUSIC)));
  xmp_context context = music ? xmp_create_context() : nullptr;
  const bool loaded = context && xmp_load_module_from_memory(context, data, size) == 0;
  zr_mem_free(data);
  if (!loaded) {
    if (context) xmp_free_context(context);
    if (music) zr_mem_free(music);
    showBox("Could not load %s", file);
    return nullptr;
  }
  music->context = context;
  ++g_musicCount;
  // The music it replaces goes, so that no level change leaves a module behind.
  zr_music_free(g_current);
  g_current = music;
  return music;
}

int zr_music_play(ZR_MUSIC* music) {
  if (!zr_sound_device_present() || !zr_sound_music_on() || !music) return 0;
  std::lock_guard<std::mutex> lock(g_lock);
  if (!g_open || g_playing || music != g_current) return 0;
  if (!music->started) {
    if (xmp_start_player(music->context, g_format.rate, formatFlags()) != 0) return 0;
    music->started = true;
  }
  g_mode = zr_music_mode(g_format.bits, g_format.channels, zr_sound_quality());
  // After the start, which puts libxmp's player parameters back to its defaults.
  applyParameters(music);
  xmp_play_buffer(music->context, g_output, int(g_bufferBytes), 0);
  zr_audio_buffer_stop(g_stream);
  writeStream(0, g_bufferBytes);
  restartStream();
  g_playing = true;
  return 1;
}

void zr_music_update() {
  std::lock_guard<std::mutex> lock(g_lock);
  ZR_MUSIC* music = g_current;
  if (!g_open || !g_playing || !music || !zr_sound_device_present()) return;
  const int playChunk = zr_music_chunk_of(zr_audio_buffer_position(g_stream), g_chunkSize);
  const int count = zr_music_chunks_due(playChunk, g_nextChunk);
  if (count == 0) return;
  const ZR_MUSIC_SPAN span = zr_music_chunk_span(g_nextChunk, count, g_chunkSize, g_bufferBytes);
  xmp_play_buffer(music->context, g_output + span.offset, int(span.bytes), 0);
  writeStream(span.offset, span.bytes);
  g_nextChunk += count;
  if (g_nextChunk > ZR_MUSIC_CHUNKS - 1) g_nextChunk = 0;
}

int zr_music_stop(ZR_MUSIC*) {
  if (!zr_sound_device_present()) return 0;
  std::lock_guard<std::mutex> lock(g_lock);
  if (!g_open || !g_playing) return 0;
  // Only the current music can be playing.
  stopLocked(g_current);
  return 1;
}

void zr_music_free(ZR_MUSIC* music) {
  if (!music) return;
  {
    std::lock_guard<std::mutex> lock(g_lock);
    if (music != g_current) return;
    stopLocked(music);
    g_current = nullptr;
  }
  releaseMusic(music);
}

void zr_music_stream_play(bool on) {
  std::lock_guard<std::mutex> lock(g_lock);
  if (!g_open) return;
  if (on) {
    zr_audio_buffer_play(g_stream, true);
  } else {
    zr_audio_buffer_stop(g_stream);
  }
}

void zr_music_set_volume(int32_t mixerVolume) {
  std::lock_guard<std::mutex> lock(g_lock);
  ZR_MUSIC* music = g_current;
  if (g_playing && music && music->started) {
    xmp_set_player(music->context, XMP_PLAYER_VOLUME, zr_music_xmp_volume(mixerVolume));
  }
}

void zr_music_set_quality(int32_t quality) {
  std::lock_guard<std::mutex> lock(g_lock);
  g_mode = (g_mode & ~0x0C) | (quality & 0x0C);
  ZR_MUSIC* music = g_current;
  if (g_playing && music && music->started) {
    xmp_set_player(music->context, XMP_PLAYER_INTERP, zr_music_xmp_interpolation(quality));
  }
}

bool zr_music_is_loaded() {
  return g_current.load() != nullptr;
}

bool zr_music_is_playing() {
  return g_playing;
}

ZR_MUSIC* zr_music_current() {
  return g_current;
}

int zr_music_next_chunk() {
  std::lock_guard<std::mutex> lock(g_lock);
  return g_nextChunk;
}
