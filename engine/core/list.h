// Singly linked list of element addresses with a built-in cursor.
#pragma once
#include <cstdint>

struct ZR_LIST_NODE {
  int32_t ownsElement;
  void* element;
  ZR_LIST_NODE* next;
};

struct ZR_LIST {
  ZR_LIST_NODE* first;
  int32_t count;
  ZR_LIST_NODE* cursor;
  ZR_LIST_NODE* last;  // kept so that appending does not walk the list
};

constexpr int32_t ZR_LIST_HEADER_SIZE = 20;  // accounted sizes in the memory total
constexpr int32_t ZR_LIST_NODE_SIZE = 12;

int zr_list_init(int32_t* report_switch);
int zr_list_deinit();
int zr_list_create(ZR_LIST** list);
int zr_list_destroy(ZR_LIST* list);
int zr_list_clear(ZR_LIST* list);
int32_t zr_list_count(ZR_LIST* list);
void* zr_list_first(ZR_LIST* list);
void* zr_list_last(ZR_LIST* list);
int zr_list_append(ZR_LIST* list, void* element);
int zr_list_push(ZR_LIST* list, void* element);
void* zr_list_pop_front(ZR_LIST* list);
void* zr_list_pop_back(ZR_LIST* list);
int zr_list_remove(ZR_LIST* list, void* element);
int zr_list_copy(ZR_LIST* source, ZR_LIST* destination);
int zr_list_reverse(ZR_LIST* list);
int zr_list_set_owned(ZR_LIST* list, int32_t flag);
int zr_list_rewind(ZR_LIST* list);
int zr_list_more(ZR_LIST* list);
void* zr_list_next(ZR_LIST* list);
int zr_list_live_count();
