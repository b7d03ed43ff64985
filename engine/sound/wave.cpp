#include "engine/sound/wave.h"

#include <cstdio>
#include <cstring>

#include "engine/core/error.h"
#include "engine/core/fileio.h"
#include "engine/core/memory.h"

namespace {

uint16_t u16(const uint8_t* p) {
  return uint16_t(p[0] | (p[1] << 8));
}

uint32_t u32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

int fail(ZR_FILE* file, const char* name, int module, int code) {
  if (file) zr_io_fclose(file);
  zr_error_set_detail("%s", name);
  zr_error_report(module, code);
  return 0;
}

// Bytes from the current position to the end of the file (an archive entry ends with its entry).
long bytesLeft(ZR_FILE* file) {
  long here = zr_io_ftell(file);
  if (here < 0 || zr_io_fseek(file, 0, SEEK_END) != 0) return 0;
  long end = zr_io_ftell(file);
  zr_io_fseek(file, here, SEEK_SET);
  return end > here ? end - here : 0;
}

}  // namespace

int zr_wave_load(const char* name, ZR_WAVE* wave, int module) {
  if (!name || !wave) return 0;
  *wave = ZR_WAVE{};
  ZR_FILE* file = zr_io_fopen(name, "rb");
  if (!file) return fail(nullptr, name, module, ZR_WAVE_CANNOT_OPEN);

  uint8_t header[16];
  if (zr_io_fread(header, 1, sizeof header, file) != sizeof header ||
      std::memcmp(header, "RIFF", 4) != 0) {
    return fail(file, name, module, ZR_WAVE_NOT_RIFF);
  }
  if (std::memcmp(header + 8, "WAVEfmt ", 8) != 0) {
    return fail(file, name, module, ZR_WAVE_NOT_WAVE_FMT);
  }

  uint8_t format[20];  // the chunk size, then the 16 bytes of PCM format
  if (zr_io_fread(format, 1, sizeof format, file) != sizeof format || u16(format + 4) != 1) {
    return fail(file, name, module, ZR_WAVE_NOT_PCM);
  }
  const uint32_t formatSize = u32(format);
  wave->format.formatTag = u16(format + 4);
  wave->format.channels = u16(format + 6);
  wave->format.samplesPerSec = u32(format + 8);
  wave->format.avgBytesPerSec = u32(format + 12);
  wave->format.blockAlign = u16(format + 16);
  wave->format.bitsPerSample = u16(format + 18);

  uint8_t data[8];
  if (zr_io_fseek(file, long(20) + long(formatSize), SEEK_SET) != 0 ||
      zr_io_fread(data, 1, sizeof data, file) != sizeof data || std::memcmp(data, "data", 4) != 0) {
    return fail(file, name, module, ZR_WAVE_NO_DATA);
  }

  // The stated size is only believed as far as the file goes.
  uint32_t size = u32(data + 4);
  const long present = bytesLeft(file);
  if (uint64_t(size) > uint64_t(present)) size = uint32_t(present);
  uint8_t* samples = static_cast<uint8_t*>(zr_mem_malloc(size > 0 ? size : 1));
  if (!samples) return fail(file, name, module, ZR_WAVE_NO_MEMORY);
  size = uint32_t(zr_io_fread(samples, 1, size, file));
  zr_io_fclose(file);
  wave->samples = samples;
  wave->size = size;
  return 1;
}
