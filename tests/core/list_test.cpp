#include "engine/core/list.h"

#include <gtest/gtest.h>

#include <vector>

#include "core_support.h"
#include "engine/core/error.h"
#include "engine/core/memory.h"

namespace {

class ListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zr_error_init(&reportSwitch);
    zr_mem_init(&reportSwitch);
    zr_list_init(&reportSwitch);
    ASSERT_EQ(zr_list_create(&list), 1);
  }
  void TearDown() override {
    if (list != nullptr) zr_list_destroy(list);
  }
  std::vector<int*> contents() {
    std::vector<int*> out;
    zr_list_rewind(list);
    while (zr_list_more(list)) out.push_back(static_cast<int*>(zr_list_next(list)));
    return out;
  }
  int32_t reportSwitch = 0;
  ZR_LIST* list = nullptr;
  int a = 1, b = 2, c = 3;
};

TEST_F(ListTest, AddsAndTakesAtBothEnds) {
  zr_list_append(list, &b);
  zr_list_append(list, &c);
  zr_list_push(list, &a);
  EXPECT_EQ(contents(), (std::vector<int*>{&a, &b, &c}));
  EXPECT_EQ(zr_list_first(list), &a);
  EXPECT_EQ(zr_list_last(list), &c);
  EXPECT_EQ(zr_list_pop_back(list), &c);
  EXPECT_EQ(zr_list_last(list), &b);
  zr_list_append(list, &c);
  EXPECT_EQ(zr_list_pop_front(list), &a);
  EXPECT_EQ(contents(), (std::vector<int*>{&b, &c}));
  EXPECT_EQ(zr_list_count(list), 2);
  zr_list_pop_back(list);
  zr_list_pop_back(list);
  EXPECT_EQ(zr_list_pop_front(list), nullptr);
  EXPECT_EQ(zr_list_pop_back(list), nullptr);
  EXPECT_EQ(zr_list_count(list), 0);
  EXPECT_EQ(zr_list_first(list), nullptr);
  zr_list_append(list, &a);  // the end is found again after emptying
  EXPECT_EQ(contents(), (std::vector<int*>{&a}));
}

TEST_F(ListTest, ReverseAndCopyKeepTheElements) {
  for (int* e : {&a, &b, &c}) zr_list_append(list, e);
  zr_list_reverse(list);
  EXPECT_EQ(contents(), (std::vector<int*>{&c, &b, &a}));
  EXPECT_EQ(zr_list_count(list), 3);
  zr_list_append(list, &a);
  EXPECT_EQ(zr_list_last(list), &a);
  ZR_LIST* copy = nullptr;
  zr_list_create(&copy);
  zr_list_append(copy, &b);
  zr_list_copy(list, copy);
  EXPECT_EQ(zr_list_count(copy), 4);
  EXPECT_EQ(zr_list_first(copy), &c);
  zr_list_destroy(copy);
}

TEST_F(ListTest, RemoveTakesOnlyTheFirstNodeOfAnElement) {
  for (int* e : {&a, &b, &a, &c}) zr_list_append(list, e);
  EXPECT_EQ(zr_list_remove(list, &a), 1);
  EXPECT_EQ(contents(), (std::vector<int*>{&b, &a, &c}));
  EXPECT_EQ(zr_list_remove(list, &c), 1);
  EXPECT_EQ(zr_list_last(list), &a);
  int absent = 0;
  EXPECT_EQ(zr_list_remove(list, &absent), 0);
  EXPECT_STREQ(zr_error_module_name(zr_error_last_module()), "Linked List");
  EXPECT_EQ(zr_error_last_code(), 2);
}

TEST_F(ListTest, RemovingTheElementJustReturnedIsSafe) {
  for (int* e : {&a, &b, &c}) zr_list_append(list, e);
  std::vector<int*> seen;
  zr_list_rewind(list);
  while (zr_list_more(list)) {
    auto* e = static_cast<int*>(zr_list_next(list));
    seen.push_back(e);
    zr_list_remove(list, e);
  }
  EXPECT_EQ(seen, (std::vector<int*>{&a, &b, &c}));
  EXPECT_EQ(zr_list_count(list), 0);
}

TEST_F(ListTest, AccountingAndOwnedElements) {
  zr_list_destroy(list);
  list = nullptr;
  int32_t before = zr_mem_used();
  int lists = zr_list_live_count();
  ASSERT_EQ(zr_list_create(&list), 1);
  EXPECT_EQ(zr_list_live_count(), lists + 1);
  EXPECT_EQ(zr_mem_used(), before + ZR_LIST_HEADER_SIZE);
  void* owned = zr_mem_malloc(30);
  zr_list_append(list, owned);
  zr_list_append(list, &a);
  EXPECT_EQ(zr_mem_used(), before + 20 + 42 + 2 * ZR_LIST_NODE_SIZE);
  zr_list_set_owned(list, 1);
  zr_list_remove(list, &a);  // a stack element must never be freed
  zr_list_clear(list);       // frees the owned block with its node
  EXPECT_EQ(zr_mem_used(), before + 20);
  zr_list_destroy(list);
  list = nullptr;
  EXPECT_EQ(zr_mem_used(), before);
  EXPECT_EQ(zr_list_live_count(), lists);
}

TEST_F(ListTest, MissingListIsReported) {
  EXPECT_EQ(zr_list_count(nullptr), -1);
  EXPECT_EQ(zr_error_last_code(), 3);
  EXPECT_EQ(zr_list_append(nullptr, &a), 0);
  EXPECT_EQ(zr_list_next(nullptr), nullptr);
  EXPECT_EQ(zr_list_more(nullptr), 0);
  EXPECT_EQ(zr_list_create(nullptr), 0);
}

}  // namespace
