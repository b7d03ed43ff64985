// The data archive loader: the input is the archive. Starts the file layer with it, reads every
// loaded entry (whole, by line, by byte, with seeks), writes into one, and shuts down; every file
// must be closed and every tracked byte given back. It runs inside its scratch folder, which is
// the layer's start directory: an entry name that is not found in the archive falls through to
// the disk there, and names that would leave it are refused by the layer.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/core/fileio.h"
#include "engine/core/keyfile.h"
#include "fuzz/fuzz_support.h"

namespace {

void read_entry(const char* name) {
  ZR_FILE* file = zr_io_fopen(name, "rb");
  if (file == nullptr) return;
  char chunk[97];
  while (zr_io_fread(chunk, 1, sizeof chunk, file) > 0) {
  }
  zr_io_fseek(file, 0, SEEK_END);
  long size = zr_io_ftell(file);
  // The layer promises the end inside the archive; a C stream on disk sets it only once a read
  // meets the end.
  if (size < 0 || (file->entry != 0 && !zr_io_feof(file))) std::abort();
  zr_io_fseek(file, size / 2, SEEK_SET);
  zr_io_fgetc(file);
  zr_io_fseek(file, -3, SEEK_CUR);
  zr_io_rewind(file);
  if (zr_io_ftell(file) != 0) std::abort();
  char line[255];
  int lines = 0;
  while (zr_io_fgets(line, sizeof line, file) != nullptr && ++lines < 1000) {
  }
  zr_io_fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_start_core();
  FuzzInFolder inFolder;
  int32_t before = zr_mem_used();
  fuzz_write(fuzz_path("VELDRAN.DAT"), data, size);
  static ZR_IO_CONFIG config{};
  std::snprintf(config.archiveName, sizeof config.archiveName, "VELDRAN.DAT");
  zr_io_init(&config);

  int entries = zr_io_archive_entries();
  for (int i = 0; i < entries && i < 8; ++i) read_entry(zr_io_archive_name(i));
  if (entries > 0) {
    const char* first = zr_io_archive_name(0);
    if (ZR_FILE* file = zr_io_fopen(first, "wb")) {
      zr_io_fwrite("written", 1, 7, file);
      zr_io_fputc('!', file);
      zr_io_fclose(file);
    }
    char text[64];
    zr_io_get_string("A", "x", text, sizeof text, first);
    zr_io_replace_string("A", "x", "1", first);
  }
  read_entry("DATA\\TEXTS.TXT");

  if (zr_io_open_count() != 0) std::abort();
  zr_io_deinit();
  if (zr_mem_used() != before) std::abort();
  return 0;
}
