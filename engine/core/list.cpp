// Singly linked list of element addresses with a built-in cursor. Headers and nodes are tracked
// memory allocated with the internal size set, so they count in the total without records.
#include "engine/core/list.h"

#include "engine/core/error.h"
#include "engine/core/memory.h"

namespace {

constexpr const char* kListMessages[] = {
    "Could not malloc list",
    "Could not free list",
    "Could not remove from list",
    "Passed NULL list pointer to list function",
};
constexpr int kListNoMemory = 0;
constexpr int kListNotRemoved = 2;
constexpr int kListNull = 3;

int g_module = -1;
int g_liveLists = 0;

void* internal_alloc(size_t size, int32_t accounted) {
  int32_t saved = zr_mem_internal_size();
  zr_mem_set_internal_size(accounted);
  void* block = zr_mem_malloc(size);
  zr_mem_set_internal_size(saved);
  return block;
}

void internal_free(void* block, int32_t accounted) {
  int32_t saved = zr_mem_internal_size();
  zr_mem_set_internal_size(accounted);
  zr_mem_free(block);
  zr_mem_set_internal_size(saved);
}

bool missing(const ZR_LIST* list) {
  if (list != nullptr) return false;
  zr_error_report(g_module, kListNull);
  return true;
}

ZR_LIST_NODE* new_node(void* element) {
  auto* node = static_cast<ZR_LIST_NODE*>(internal_alloc(sizeof(ZR_LIST_NODE), ZR_LIST_NODE_SIZE));
  if (node == nullptr) {
    zr_error_report(g_module, kListNoMemory);
    return nullptr;
  }
  node->ownsElement = 0;
  node->element = element;
  node->next = nullptr;
  return node;
}

// Takes node off the list, given the node before it (or none when it is the first).
void unlink(ZR_LIST* list, ZR_LIST_NODE* previous, ZR_LIST_NODE* node) {
  if (previous != nullptr)
    previous->next = node->next;
  else
    list->first = node->next;
  if (list->last == node) list->last = previous;
  if (list->cursor == node) list->cursor = node->next;
  list->count--;
  internal_free(node, ZR_LIST_NODE_SIZE);
}

}  // namespace

int zr_list_init(int32_t* report_switch) {
  g_module = zr_error_add_module("Linked List", kListMessages, report_switch);
  return 1;
}

int zr_list_deinit() {
  return 1;
}

int zr_list_create(ZR_LIST** list) {
  if (list == nullptr) {
    zr_error_report(g_module, kListNull);
    return 0;
  }
  auto* header = static_cast<ZR_LIST*>(internal_alloc(sizeof(ZR_LIST), ZR_LIST_HEADER_SIZE));
  if (header == nullptr) {
    *list = nullptr;
    zr_error_report(g_module, kListNoMemory);
    return 0;
  }
  header->first = nullptr;
  header->count = 0;
  header->cursor = nullptr;
  header->last = nullptr;
  *list = header;
  g_liveLists++;
  return 1;
}

int zr_list_destroy(ZR_LIST* list) {
  if (missing(list)) return 0;
  zr_list_clear(list);
  internal_free(list, ZR_LIST_HEADER_SIZE);
  g_liveLists--;
  return 1;
}

int zr_list_clear(ZR_LIST* list) {
  if (missing(list)) return 0;
  ZR_LIST_NODE* node = list->first;
  while (node != nullptr) {
    ZR_LIST_NODE* next = node->next;
    if (node->ownsElement && node->element != nullptr) zr_mem_free(node->element);
    internal_free(node, ZR_LIST_NODE_SIZE);
    node = next;
  }
  list->first = nullptr;
  list->last = nullptr;
  list->cursor = nullptr;
  list->count = 0;
  return 1;
}

int32_t zr_list_count(ZR_LIST* list) {
  if (missing(list)) return -1;
  return list->count;
}

void* zr_list_first(ZR_LIST* list) {
  if (missing(list) || list->first == nullptr) return nullptr;
  return list->first->element;
}

void* zr_list_last(ZR_LIST* list) {
  if (missing(list) || list->last == nullptr) return nullptr;
  return list->last->element;
}

int zr_list_append(ZR_LIST* list, void* element) {
  if (missing(list)) return 0;
  ZR_LIST_NODE* node = new_node(element);
  if (node == nullptr) return 0;
  if (list->last != nullptr)
    list->last->next = node;
  else
    list->first = node;
  list->last = node;
  list->count++;
  return 1;
}

int zr_list_push(ZR_LIST* list, void* element) {
  if (missing(list)) return 0;
  ZR_LIST_NODE* node = new_node(element);
  if (node == nullptr) return 0;
  node->next = list->first;
  list->first = node;
  if (list->last == nullptr) list->last = node;
  list->count++;
  return 1;
}

void* zr_list_pop_front(ZR_LIST* list) {
  if (missing(list) || list->first == nullptr) return nullptr;
  void* element = list->first->element;
  unlink(list, nullptr, list->first);
  return element;
}

void* zr_list_pop_back(ZR_LIST* list) {
  if (missing(list) || list->first == nullptr) return nullptr;
  ZR_LIST_NODE* previous = nullptr;
  ZR_LIST_NODE* node = list->first;
  while (node->next != nullptr) {
    previous = node;
    node = node->next;
  }
  void* element = node->element;
  unlink(list, previous, node);
  return element;
}

int zr_list_remove(ZR_LIST* list, void* element) {
  if (missing(list)) return 0;
  ZR_LIST_NODE* previous = nullptr;
  for (ZR_LIST_NODE* node = list->first; node != nullptr; node = node->next) {
    if (node->element == element) {
      unlink(list, previous, node);
      return 1;
    }
    previous = node;
  }
  zr_error_report(g_module, kListNotRemoved);
  return 0;
}

int zr_list_copy(ZR_LIST* source, ZR_LIST* destination) {
  if (missing(source) || missing(destination)) return 0;
  if (source == destination) return 1;
  zr_list_clear(destination);
  for (ZR_LIST_NODE* node = source->first; node != nullptr; node = node->next)
    if (!zr_list_append(destination, node->element)) return 0;
  return 1;
}

int zr_list_reverse(ZR_LIST* list) {
  if (missing(list)) return 0;
  // Relinking in place keeps every node with its owns-element flag and cannot run out of memory.
  ZR_LIST_NODE* reversed = nullptr;
  ZR_LIST_NODE* node = list->first;
  list->last = node;
  while (node != nullptr) {
    ZR_LIST_NODE* next = node->next;
    node->next = reversed;
    reversed = node;
    node = next;
  }
  list->first = reversed;
  list->cursor = nullptr;
  return 1;
}

int zr_list_set_owned(ZR_LIST* list, int32_t flag) {
  if (missing(list)) return 0;
  for (ZR_LIST_NODE* node = list->first; node != nullptr; node = node->next)
    node->ownsElement = flag;
  return 1;
}

int zr_list_rewind(ZR_LIST* list) {
  if (missing(list)) return 0;
  list->cursor = list->first;
  return 1;
}

int zr_list_more(ZR_LIST* list) {
  if (missing(list)) return 0;
  return list->cursor != nullptr ? 1 : 0;
}

void* zr_list_next(ZR_LIST* list) {
  if (missing(list) || list->cursor == nullptr) return nullptr;
  void* element = list->cursor->element;
  list->cursor = list->cursor->next;
  return element;
}

int zr_list_live_count() {
  return g_liveLists;
}
