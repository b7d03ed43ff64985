// The music stream: one S3M module at a time, mixed by libxmp into a one-second looping stream
// in ten chunks that the frame timer's thread refills. The settings (music on, volume, quality)
// belong to the sound module.
#pragma once
#include <cstdint>

// A loaded music module.
struct ZR_MUSIC;

// Loads a module through the file layer; it becomes the current music (the music it replaces is
// freed). None on failure (after the message box; the previous music stays current) or without
// a device.
ZR_MUSIC* zr_music_load(const char* file);
// Starts the music from its beginning (device, music on, nothing playing); 1 when it plays.
int zr_music_play(ZR_MUSIC* music);
// The refill step (frame-timer thread).
void zr_music_update();
// Silence flows on in the stream.
int zr_music_stop(ZR_MUSIC* music);
// Stops and frees; a music already replaced by a later load is left alone.
void zr_music_free(ZR_MUSIC* music);

// The stream, opened by the sound module with the device and closed with it.
int zr_music_open(int32_t channels, int32_t bits, int32_t rate, int32_t report);
void zr_music_close();
// Window activation: the stream buffer stops while the window is inactive.
void zr_music_stream_play(bool on);
// 0 to 131072; applies at once while music plays.
void zr_music_set_volume(int32_t mixerVolume);
// 0, 4 or 8; applies at once while music plays.
void zr_music_set_quality(int32_t quality);
bool zr_music_is_loaded();
bool zr_music_is_playing();
ZR_MUSIC* zr_music_current();
// The chunk to be refilled next (0 to 9).
int zr_music_next_chunk();

// The mixer's volume for a music volume of 0 to 100.
constexpr int32_t zr_music_mixer_volume(int32_t musicVolume) {
  return musicVolume * 131072 / 100;
}
// The mixer's mode: 0x11 for 16-bit output, 2 for stereo, plus the quality.
constexpr int32_t zr_music_mode(int32_t bits, int32_t channels, int32_t quality) {
  return (bits == 16 ? 0x11 : 0) | (channels == 2 ? 2 : 0) | quality;
}
// libxmp's volume (100 is unity gain) and interpolation for ours.
int zr_music_xmp_volume(int32_t mixerVolume);
int zr_music_xmp_interpolation(int32_t quality);

// The stream's chunks: ten per buffer. A chunk is a tenth of the buffer rounded down to whole
// sample frames; the last chunk also takes the bytes left over at the end.
constexpr int ZR_MUSIC_CHUNKS = 10;
uint32_t zr_music_chunk_size(uint32_t bufferBytes, uint32_t blockAlign);
// The chunk that holds a play position.
int zr_music_chunk_of(uint32_t position, uint32_t chunkSize);
// Chunks to refill now: from next up to the play chunk, or up to the buffer's end when the
// cursor has wrapped (the rest on the following call).
int zr_music_chunks_due(int playChunk, int nextChunk);
struct ZR_MUSIC_SPAN {
  uint32_t offset;
  uint32_t bytes;
};
ZR_MUSIC_SPAN zr_music_chunk_span(int first, int count, uint32_t chunkSize, uint32_t bufferBytes);
