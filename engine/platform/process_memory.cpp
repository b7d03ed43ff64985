#include "engine/platform/process_memory.h"

#include <unistd.h>

#include <cstdio>

int64_t zr_process_resident_bytes() {
  // statm: total program size, then the resident set, both in pages.
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (!statm) return -1;
  long long size = 0, resident = 0;
  const bool read = std::fscanf(statm, "%lld %lld", &size, &resident) == 2;
  std::fclose(statm);
  const long page = ::sysconf(_SC_PAGESIZE);
  if (!read || page <= 0) return -1;
  return int64_t(resident) * page;
}
