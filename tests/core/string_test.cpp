#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>

#include "engine/core/error.h"
#include "engine/core/memory.h"
#include "engine/core/zr_string.h"

namespace {

class StringTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zr_error_init(&reportSwitch);
    zr_string_init(&reportSwitch);
  }
  int32_t reportSwitch = 0;
};

TEST_F(StringTest, CapacityIsTheCurrentLength) {
  char* s = nullptr;
  ASSERT_EQ(zr_string_create(&s, "abc", 0), 1);
  EXPECT_EQ(zr_string_set(s, "abcd"), 0);
  EXPECT_EQ(zr_error_last_code(), 1);
  EXPECT_STREQ(s, "abc");
  EXPECT_EQ(zr_string_set(s, "ab"), 1);
  EXPECT_STREQ(s, "ab");
  EXPECT_EQ(zr_string_set(s, "abc"), 0);
  EXPECT_EQ(zr_string_append(s, "x"), 0);
  EXPECT_EQ(zr_string_append(s, ""), 1);
  EXPECT_EQ(zr_string_length(s), 2);
  EXPECT_EQ(zr_string_destroy(s), 1);
}

TEST_F(StringTest, CreateWithRoomAndWithoutText) {
  int32_t before = zr_mem_used();
  char* s = nullptr;
  ASSERT_EQ(zr_string_create(&s, "abcdef", 3), 1);
  EXPECT_STREQ(s, "abc");
  EXPECT_EQ(zr_mem_used(), before + 4 + ZR_MEM_RECORD_SIZE);
  zr_string_destroy(s);
  ASSERT_EQ(zr_string_create(&s, nullptr, 5), 1);
  EXPECT_STREQ(s, "");
  zr_string_destroy(s);
  s = reinterpret_cast<char*>(1);
  EXPECT_EQ(zr_string_create(&s, nullptr, 0), 0);
  EXPECT_EQ(s, nullptr);
  EXPECT_EQ(zr_mem_used(), before);
}

TEST_F(StringTest, EditingHelpers) {
  char text[] = "  Mixed Case  ";
  zr_string_trim(text);
  EXPECT_STREQ(text, "Mixed Case");
  zr_string_upper(text);
  EXPECT_STREQ(text, "MIXED CASE");
  zr_string_lower(text);
  EXPECT_STREQ(text, "mixed case");
  EXPECT_EQ(zr_string_find(text, "case"), 6);
  EXPECT_EQ(zr_string_find(text, "nope"), -1);
  EXPECT_EQ(zr_string_compare(text, "mixed case"), 0);
  EXPECT_LT(zr_string_compare(text, "z"), 0);
  char blanks[] = "    ";
  zr_string_trim(blanks);
  EXPECT_STREQ(blanks, "");
}

TEST_F(StringTest, NumbersAreFormattedPerType) {
  char buffer[64];
  struct Case {
    int written;
    const char* text;
  };
  const Case cases[] = {
      {zr_string_from_number(buffer, static_cast<short>(-7)), "-7"},
      {zr_string_from_number(buffer + 8, static_cast<unsigned short>(65535)), "65535"},
      {zr_string_from_number(buffer + 16, -123456), "-123456"},
      {zr_string_from_number(buffer + 24, 4000000000u), "4000000000"},
      {zr_string_from_number(buffer + 36, 1.5f), "1.500000"},
      {zr_string_from_number(buffer + 48, 'Z'), "Z"},
  };
  const int offsets[] = {0, 8, 16, 24, 36, 48};
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_STREQ(buffer + offsets[i], cases[i].text);
    EXPECT_EQ(cases[i].written, static_cast<int>(std::strlen(cases[i].text)));
  }
}

TEST_F(StringTest, MissingStringsAreReported) {
  EXPECT_EQ(zr_string_destroy(nullptr), 0);
  EXPECT_EQ(zr_error_last_code(), 2);
  EXPECT_EQ(zr_string_set(nullptr, "x"), 0);
  EXPECT_EQ(zr_error_last_code(), 3);
  EXPECT_STREQ(zr_error_module_name(zr_error_last_module()), "String");
  EXPECT_EQ(zr_string_length(nullptr), 0);
}

}  // namespace
