// zrpack: builds, lists and unpacks the game's data archive.
//   zrpack create OUT.DAT DIR
//   zrpack list ARCHIVE
//   zrpack extract ARCHIVE DIR
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/zrpack/pack.h"

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: zrpack create OUT.DAT DIR | zrpack list ARCHIVE | "
               "zrpack extract ARCHIVE DIR\n");
  return 2;
}

int fail(const std::string& error) {
  std::fprintf(stderr, "zrpack: %s\n", error.c_str());
  return 1;
}

bool read_archive(const char* path, std::vector<PackEntry>& entries, std::string& error) {
  std::vector<uint8_t> bytes;
  if (!pack_load_file(path, bytes, error)) return false;
  if (!pack_read(bytes, entries, error)) {
    error = std::string(path) + ": " + error;
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  std::string error;
  std::vector<PackEntry> entries;
  const char* command = argv[1];
  if (std::strcmp(command, "create") == 0 && argc == 4) {
    std::vector<uint8_t> archive;
    if (!pack_collect(argv[3], entries, error) || !pack_build(entries, archive, error) ||
        !pack_save_file(argv[2], archive, error))
      return fail(error);
    std::printf("%zu files, %zu bytes\n", entries.size(), archive.size());
    return 0;
  }
  if (std::strcmp(command, "list") == 0 && argc == 3) {
    if (!read_archive(argv[2], entries, error)) return fail(error);
    for (const PackEntry& entry : entries)
      std::printf("%10zu  %s  %s\n", entry.data.size(), entry.name.c_str(), entry.second.c_str());
    return 0;
  }
  if (std::strcmp(command, "extract") == 0 && argc == 4) {
    if (!read_archive(argv[2], entries, error) || !pack_extract(entries, argv[3], error))
      return fail(error);
    return 0;
  }
  return usage();
}
