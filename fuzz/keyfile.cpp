// Keyed text files: the input is the file. Reads a few keys, writes one, and checks that every
// file was closed and every tracked byte given back.
#include "engine/core/keyfile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/core/fileio.h"
#include "fuzz/fuzz_support.h"

namespace {

// Short lines with LF or CR LF ends and no NUL: there the reader and the writer see the same lines,
// so a value just written must read back.
bool plain_text(const uint8_t* data, size_t size) {
  size_t lineLength = 0;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) return false;
    if (data[i] == '\r' && (i + 1 == size || data[i + 1] != '\n')) return false;
    lineLength = data[i] == '\n' ? 0 : lineLength + 1;
    if (lineLength > 200) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_start_core();
  FuzzInFolder inFolder;  // the rewrite's temporary file lies beside the file
  static ZR_IO_CONFIG config{};
  zr_io_init(&config);
  int32_t before = zr_mem_used();
  static const std::string path = fuzz_path("fuzz.ini");
  const char* file = path.c_str();
  fuzz_write(path, data, size);

  const char* keys[][2] = {{"Sound", "Volume"}, {"A", "x"}, {"", ""}, {"[", "="}, {"S", "K"}};
  char text[256];
  char tiny[3];
  int32_t number = 0;
  float value = 0;
  for (const auto& key : keys) {
    zr_io_get_string(key[0], key[1], text, sizeof text, file);
    zr_io_get_string(key[0], key[1], tiny, sizeof tiny, file);
    zr_io_get_int(key[0], key[1], &number, file);
    zr_io_get_float(key[0], key[1], &value, file);
  }
  zr_io_replace_string("A", "x", "22", file);
  zr_io_put_string("A", "x", "fuzz", file);
  zr_io_put_int("Sound", "Volume", 80, file);
  zr_io_get_string("A", "x", text, sizeof text, file);
  if (plain_text(data, size) && std::strcmp(text, "fuzz") != 0) std::abort();

  if (zr_io_open_count() != 0 || zr_mem_used() != before) std::abort();
  zr_io_deinit();
  return 0;
}
