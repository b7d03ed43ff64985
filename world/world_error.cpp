#include "world/world_error.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "engine/core/memory.h"
#include "engine/platform/message_box.h"
#include "engine/platform/messages.h"

namespace {

char last_report[WORLD_ERROR_SIZE];
int report_count = 0;
WorldExitHandler exit_handler = nullptr;

void show_report(const char* format, va_list args) {
  int prefix = std::snprintf(last_report, sizeof last_report, "Error: ");
  std::vsnprintf(last_report + prefix, sizeof last_report - prefix, format, args);
  ++report_count;
  zr_message_box(last_report, "Error", MB_OK | MB_ICONEXCLAMATION);
  zr_post_message(WM_CLOSE, 0, 0);
}

}  // namespace

void world_error(const char* format, ...) {
  va_list args;
  va_start(args, format);
  show_report(format, args);
  va_end(args);
}

void world_fatal(int status, const char* format, ...) {
  va_list args;
  va_start(args, format);
  show_report(format, args);
  va_end(args);
  world_exit(status);
}

void* world_malloc(size_t size) {
  void* block = zr_mem_malloc(size);
  if (block == nullptr) world_error("Can't allocate more memory");
  return block;
}

void* world_calloc(size_t count, size_t size) {
  void* block = zr_mem_calloc(count, size);
  if (block == nullptr) world_error("Can't allocate more memory");
  return block;
}

void world_exit(int status) {
  if (exit_handler) exit_handler(status);
  std::exit(status);
}

void world_set_exit_handler(WorldExitHandler handler) {
  exit_handler = handler;
}

const char* world_last_error() {
  return last_report;
}

int world_error_count() {
  return report_count;
}
