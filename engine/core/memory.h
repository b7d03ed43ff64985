// Tracked memory: every block of the engine and the game, with its size and optional name, and a
// running total (block sizes plus 12 bytes per tracking record) reported at exit.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int32_t ZR_MEM_RECORD_SIZE = 12;  // accounted size of one tracking record

// One tracking record per block handed out.
struct ZR_MEM_ELE {
  void* block;
  int32_t size;
  char* name;  // a copy of the block's name, or none
};

int zr_mem_init(int32_t* report_switch);
void* zr_mem_malloc(size_t size);
void* zr_mem_calloc(size_t count, size_t size);
void* zr_mem_realloc(void* block, size_t size);
int zr_mem_free(void* block);  // 1 for a missing block, else 0
int zr_mem_name(void* block, const char* name);
int32_t zr_mem_used();
void* zr_mem_set(void* block, int value, size_t size);
void* zr_mem_copy(void* destination, const void* source, size_t size);
int zr_mem_compare(const void* a, const void* b, size_t size);
int zr_mem_deinit();  // 1 when the total is 0 at the end

// Bookkeeping blocks (list headers and nodes, name copies) are allocated with the internal size
// set: they count in the total but get no tracking record.
void zr_mem_set_internal_size(int32_t size);
int32_t zr_mem_internal_size();
// Number of tracked blocks still held (for the exit check of tests).
int zr_mem_block_count();
