// Tracked memory. Each block handed out has a record (block, size, name) in the tracking list, and
// the total counts block sizes plus 12 bytes per record, name copies and list bookkeeping.
//
// The tracking list itself is created on first use, so the allocator works before zr_mem_init.
// Its header and nodes are the records' own bookkeeping: they are not counted again.
#include "engine/core/memory.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/core/error.h"
#include "engine/core/list.h"
#include "engine/platform/message_box.h"

namespace {

constexpr const char* kMemoryMessages[] = {
    "Tried to free a NULL pointer!",
    "malloc() failed!",
    "ZR INTERNAL ERROR:  couldn't malloc ZR_MEM_ELE",
    "calloc failed!",
    "passed NULL pointer to realloc!",
    "Tried to malloc a zero length buffer",
};
constexpr int kMemFreeNull = 0;
constexpr int kMemMallocFailed = 1;
constexpr int kMemNoRecord = 2;
constexpr int kMemCallocFailed = 3;
constexpr int kMemReallocNull = 4;

// The largest block whose size, with its record, the 32-bit total can count.
constexpr size_t kLargestBlock = INT32_MAX - ZR_MEM_RECORD_SIZE;

int g_module = -1;
int32_t* g_reportSwitch = nullptr;
int32_t g_total = 0;
int32_t g_internalSize = 0;
ZR_LIST* g_records = nullptr;
// Set while the tracker works on its own list: those internal blocks are not counted.
bool g_inTracker = false;

bool report_on() {
  return g_reportSwitch != nullptr && *g_reportSwitch != 0;
}

bool ensure_records() {
  if (g_records != nullptr) return true;
  g_inTracker = true;
  zr_list_create(&g_records);
  g_inTracker = false;
  return g_records != nullptr;
}

ZR_MEM_ELE* find_record(const void* block) {
  if (g_records == nullptr) return nullptr;
  for (ZR_LIST_NODE* node = g_records->first; node != nullptr; node = node->next) {
    auto* record = static_cast<ZR_MEM_ELE*>(node->element);
    if (record->block == block) return record;
  }
  return nullptr;
}

bool add_record(ZR_MEM_ELE* record) {
  g_inTracker = true;
  int added = zr_list_append(g_records, record);
  g_inTracker = false;
  return added != 0;
}

void drop_record(ZR_MEM_ELE* record) {
  g_inTracker = true;
  zr_list_remove(g_records, record);
  g_inTracker = false;
  std::free(record);
}

void free_name(ZR_MEM_ELE* record) {
  if (record->name == nullptr) return;
  int32_t length = static_cast<int32_t>(std::strlen(record->name)) + 1;
  int32_t saved = g_internalSize;
  g_internalSize = length;
  zr_mem_free(record->name);
  g_internalSize = saved;
  record->name = nullptr;
}

// Allocates a block with its record; calloc selects the zero-filling platform call.
void* tracked_alloc(size_t size, bool zeroed) {
  if (size > kLargestBlock) {
    // A block the 32-bit total cannot count is refused like a failed platform allocation.
    zr_error_report(g_module, zeroed ? kMemCallocFailed : kMemMallocFailed);
    return nullptr;
  }
  if (!ensure_records()) {
    zr_error_report(g_module, kMemNoRecord);
    return nullptr;
  }
  auto* record = static_cast<ZR_MEM_ELE*>(std::malloc(sizeof(ZR_MEM_ELE)));
  if (record == nullptr) {
    zr_error_report(g_module, kMemNoRecord);
    return nullptr;
  }
  void* block = zeroed ? std::calloc(size, 1) : std::malloc(size);
  if (block == nullptr) {
    std::free(record);
    zr_error_report(g_module, zeroed ? kMemCallocFailed : kMemMallocFailed);
    return nullptr;
  }
  record->block = block;
  record->size = static_cast<int32_t>(size);
  record->name = nullptr;
  if (!add_record(record)) {
    std::free(record);
    std::free(block);
    zr_error_report(g_module, kMemNoRecord);
    return nullptr;
  }
  g_total += record->size + ZR_MEM_RECORD_SIZE;
  return block;
}

}  // namespace

int zr_mem_init(int32_t* report_switch) {
  g_module = zr_error_add_module("Memory", kMemoryMessages, report_switch);
  g_reportSwitch = report_switch;
  ensure_records();
  return 1;
}

void* zr_mem_malloc(size_t size) {
  if (g_internalSize == 0) return tracked_alloc(size, false);
  void* block = std::malloc(size);
  if (block == nullptr) {
    zr_error_report(g_module, kMemMallocFailed);
    return nullptr;
  }
  if (!g_inTracker) g_total += g_internalSize;
  return block;
}

void* zr_mem_calloc(size_t count, size_t size) {
  if (size != 0 && count > SIZE_MAX / size) {
    zr_error_report(g_module, kMemCallocFailed);
    return nullptr;
  }
  return tracked_alloc(count * size, true);
}

void* zr_mem_realloc(void* block, size_t size) {
  if (block == nullptr) {
    zr_error_report(g_module, kMemReallocNull);
    return nullptr;
  }
  ZR_MEM_ELE* record = find_record(block);
  if (record == nullptr) {
    // An address the tracker never handed out may not come from the platform at all, and
    // resizing such an address is undefined: the caller keeps its block as it was.
    zr_error_alert("Trying to zr_mem_realloc() something that did not add with zr_mem_malloc()");
    return nullptr;
  }
  if (size > kLargestBlock) {
    zr_error_report(g_module, kMemMallocFailed);  // the block stays as it was, still tracked
    return nullptr;
  }
  // A size of 0 would make the platform free the block; keep a minimal block instead.
  void* resized = std::realloc(block, size != 0 ? size : 1);
  if (resized == nullptr) {
    g_total -= record->size + ZR_MEM_RECORD_SIZE;
    free_name(record);
    drop_record(record);
    zr_error_report(g_module, kMemMallocFailed);
    return nullptr;
  }
  g_total += static_cast<int32_t>(size) - record->size;
  record->block = resized;
  record->size = static_cast<int32_t>(size);
  return resized;
}

int zr_mem_free(void* block) {
  if (block == nullptr) {
    zr_error_report(g_module, kMemFreeNull);
    return 1;
  }
  if (g_internalSize != 0) {
    std::free(block);
    if (!g_inTracker) g_total -= g_internalSize;
    return 0;
  }
  ZR_MEM_ELE* record = find_record(block);
  if (record == nullptr) {
    // Handing an unknown address to the platform's free is undefined; warn and leave it alone.
    zr_error_alert("Warning, did not add with zr_malloc()");
    return 0;
  }
  free_name(record);
  g_total -= record->size + ZR_MEM_RECORD_SIZE;
  drop_record(record);
  std::free(block);
  return 0;
}

int zr_mem_name(void* block, const char* name) {
  ZR_MEM_ELE* record = find_record(block);
  if (record == nullptr) return 1;
  free_name(record);
  if (name == nullptr) return 1;
  size_t length = std::strlen(name) + 1;
  int32_t saved = g_internalSize;
  g_internalSize = static_cast<int32_t>(length);
  auto* copy = static_cast<char*>(zr_mem_malloc(length));
  g_internalSize = saved;
  if (copy != nullptr) {
    std::memcpy(copy, name, length);
    record->name = copy;
  }
  return 1;
}

int32_t zr_mem_used() {
  return g_total;
}

void* zr_mem_set(void* block, int value, size_t size) {
  return std::memset(block, value, size);
}

void* zr_mem_copy(void* destination, const void* source, size_t size) {
  return std::memmove(destination, source, size);
}

int zr_mem_compare(const void* a, const void* b, size_t size) {
  return std::memcmp(a, b, size);
}

int zr_mem_deinit() {
  if (g_records != nullptr) {
    for (ZR_LIST_NODE* node = g_records->first; node != nullptr; node = node->next) {
      auto* record = static_cast<ZR_MEM_ELE*>(node->element);
      if (report_on()) {
        char text[512];
        std::snprintf(text, sizeof text, "Pointer not freed before exit! Name: '%s' Size: '%d'",
                      record->name != nullptr ? record->name : "(null)", record->size);
        zr_message_box(text, "Memory Info", MB_OK);
      }
      // The records and name copies go with the list; the blocks stay the owners' leak, and their
      // sizes (with the name copies) stay in the balance reported below.
      std::free(record->name);
      std::free(record);
    }
    g_inTracker = true;
    zr_list_destroy(g_records);
    g_inTracker = false;
    g_records = nullptr;
  }
  int32_t total = g_total;
  g_total = 0;
  if (total > 0 && report_on()) {
    char text[128];
    std::snprintf(text, sizeof text, "Memory not all freed: %ld bytes left",
                  static_cast<long>(total));
    zr_error_alert(text);
  } else if (total < 0 && report_on()) {
    char text[128];
    std::snprintf(text, sizeof text, "More memory freed with zr_mem than allocated: %ld bytes",
                  static_cast<long>(total));
    zr_error_alert(text);
  }
  return total == 0 ? 1 : 0;
}

void zr_mem_set_internal_size(int32_t size) {
  g_internalSize = size;
}
int32_t zr_mem_internal_size() {
  return g_internalSize;
}

int zr_mem_block_count() {
  return g_records != nullptr ? g_records->count : 0;
}
