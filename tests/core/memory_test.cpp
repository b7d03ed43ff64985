#include "engine/core/memory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "core_support.h"
#include "engine/core/error.h"

namespace {

class MemoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zr_error_init(&reportSwitch);
    zr_mem_init(&reportSwitch);
  }
  int32_t reportSwitch = 0;
  BoxCapture capture;
};

TEST_F(MemoryTest, BlocksCountTheirSizeAndTwelveBytesOfRecord) {
  int32_t before = zr_mem_used();
  int blocks = zr_mem_block_count();
  void* block = zr_mem_malloc(100);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(zr_mem_used(), before + 112);
  EXPECT_EQ(zr_mem_block_count(), blocks + 1);
  void* zeroed = zr_mem_calloc(10, 4);
  ASSERT_NE(zeroed, nullptr);
  EXPECT_EQ(zr_mem_used(), before + 112 + 52);
  EXPECT_EQ(std::memcmp(zeroed, std::string(40, '\0').data(), 40), 0);
  EXPECT_EQ(zr_mem_free(block), 0);
  EXPECT_EQ(zr_mem_free(zeroed), 0);
  EXPECT_EQ(zr_mem_used(), before);
  EXPECT_EQ(zr_mem_block_count(), blocks);
  EXPECT_TRUE(capture.boxes().empty());
}

TEST_F(MemoryTest, NamesCountTheirCopy) {
  void* block = zr_mem_malloc(8);
  int32_t unnamed = zr_mem_used();
  zr_mem_name(block, "hello");
  EXPECT_EQ(zr_mem_used(), unnamed + 6);
  zr_mem_name(block, "abc");
  EXPECT_EQ(zr_mem_used(), unnamed + 4);
  zr_mem_free(block);
  EXPECT_EQ(zr_mem_used(), unnamed - 20);
}

TEST_F(MemoryTest, ResizingKeepsOneRecordWithTheNewSize) {
  auto* block = static_cast<char*>(zr_mem_malloc(16));
  std::memcpy(block, "0123456789abcdef", 16);
  int32_t before = zr_mem_used();
  int blocks = zr_mem_block_count();
  auto* bigger = static_cast<char*>(zr_mem_realloc(block, 4096));
  ASSERT_NE(bigger, nullptr);
  EXPECT_EQ(std::memcmp(bigger, "0123456789abcdef", 16), 0);
  EXPECT_EQ(zr_mem_used(), before - 16 + 4096);
  EXPECT_EQ(zr_mem_block_count(), blocks);
  EXPECT_EQ(zr_mem_free(bigger), 0);
  EXPECT_EQ(zr_mem_used(), before - 28);
  EXPECT_TRUE(capture.boxes().empty());
}

TEST_F(MemoryTest, UnknownAndMissingBlocksAreRefusedSafely) {
  char notTracked[16];
  int32_t before = zr_mem_used();
  EXPECT_EQ(zr_mem_free(notTracked), 0);
  EXPECT_EQ(zr_mem_realloc(notTracked, 32), nullptr);
  ASSERT_EQ(capture.boxes().size(), 2u);  // shown whatever the switch says
  EXPECT_EQ(capture.boxes()[0].text, "Warning, did not add with zr_malloc()");
  EXPECT_EQ(capture.boxes()[0].caption, "Alert");
  EXPECT_EQ(capture.boxes()[1].text,
            "Trying to zr_mem_realloc() something that did not add with zr_mem_malloc()");
  EXPECT_EQ(zr_mem_used(), before);

  EXPECT_EQ(zr_mem_free(nullptr), 1);
  EXPECT_STREQ(zr_error_module_name(zr_error_last_module()), "Memory");
  EXPECT_EQ(zr_error_last_code(), 0);
  EXPECT_EQ(zr_mem_realloc(nullptr, 8), nullptr);
  EXPECT_EQ(zr_error_last_code(), 4);
}

// The total is a 32-bit count: a block it could not count is refused as a failed allocation,
// and a resize to such a size leaves the block as it was, still tracked.
TEST_F(MemoryTest, BlocksTooLargeToCountAreRefused) {
  int32_t before = zr_mem_used();
  int blocks = zr_mem_block_count();
  EXPECT_EQ(zr_mem_malloc(size_t{INT32_MAX}), nullptr);
  EXPECT_EQ(zr_error_last_code(), 1);
  EXPECT_EQ(zr_mem_calloc(size_t{1} << 20, size_t{1} << 12), nullptr);
  EXPECT_EQ(zr_error_last_code(), 3);
  EXPECT_EQ(zr_mem_used(), before);
  EXPECT_EQ(zr_mem_block_count(), blocks);
  auto* block = static_cast<char*>(zr_mem_malloc(8));
  ASSERT_NE(block, nullptr);
  block[7] = 'x';
  EXPECT_EQ(zr_mem_realloc(block, size_t{INT32_MAX}), nullptr);
  EXPECT_EQ(zr_mem_used(), before + 20);
  EXPECT_EQ(block[7], 'x');
  EXPECT_EQ(zr_mem_free(block), 0);
  EXPECT_EQ(zr_mem_used(), before);
  EXPECT_TRUE(capture.boxes().empty());
}

TEST_F(MemoryTest, ShutDownReportsEveryBlockStillHeld) {
  zr_mem_deinit();  // start from an empty tracker
  reportSwitch = 1;
  zr_mem_init(&reportSwitch);
  void* block = zr_mem_malloc(64);
  zr_mem_name(block, "ghost");
  EXPECT_EQ(zr_mem_deinit(), 0);
  ASSERT_EQ(capture.boxes().size(), 2u);
  EXPECT_EQ(capture.boxes()[0].text, "Pointer not freed before exit! Name: 'ghost' Size: '64'");
  EXPECT_EQ(capture.boxes()[0].caption, "Memory Info");
  EXPECT_EQ(capture.boxes()[0].type, MB_OK);
  EXPECT_EQ(capture.boxes()[1].text, "Memory not all freed: 82 bytes left");
  std::free(block);  // the tracker no longer knows it

  captured_boxes().clear();
  zr_mem_init(&reportSwitch);
  void* clean = zr_mem_malloc(5);
  zr_mem_free(clean);
  EXPECT_EQ(zr_mem_deinit(), 1);
  EXPECT_TRUE(capture.boxes().empty());
  reportSwitch = 0;
}

TEST_F(MemoryTest, ThousandsOfBlocksComeAndGo) {
  std::vector<void*> blocks;
  int32_t before = zr_mem_used();
  for (int i = 0; i < 5000; ++i) blocks.push_back(zr_mem_malloc(static_cast<size_t>(i % 7)));
  EXPECT_EQ(zr_mem_block_count() >= 5000, true);
  for (size_t i = 0; i < blocks.size(); i += 2) zr_mem_free(blocks[i]);
  for (size_t i = 1; i < blocks.size(); i += 2) zr_mem_free(blocks[i]);
  EXPECT_EQ(zr_mem_used(), before);
  EXPECT_TRUE(capture.boxes().empty());
}

}  // namespace
