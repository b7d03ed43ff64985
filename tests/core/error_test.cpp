#include "engine/core/error.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core_support.h"

namespace {

constexpr const char* kMessages[] = {"First failure", "Second failure"};

class ErrorTest : public ::testing::Test {
 protected:
  void SetUp() override { zr_error_init(&errorSwitch); }
  int32_t errorSwitch = 0;
  int32_t moduleSwitch = 1;
  BoxCapture capture;
};

TEST_F(ErrorTest, FullRegistryRefusesTheNextModuleAndKeepsTheOthers) {
  errorSwitch = 1;
  static std::vector<std::string> names;  // the registry keeps the name copies, not the texts
  names.clear();
  for (int i = 1; i < ZR_ERROR_MAX_MODULES; ++i) names.push_back("Module" + std::to_string(i));
  for (int i = 1; i < ZR_ERROR_MAX_MODULES; ++i)
    ASSERT_EQ(zr_error_add_module(names[i - 1].c_str(), kMessages, &moduleSwitch), i);
  EXPECT_EQ(zr_error_add_module("One too many", kMessages, &moduleSwitch), -1);
  EXPECT_EQ(zr_error_last_module(), 0);
  EXPECT_EQ(zr_error_last_code(), 0);
  ASSERT_EQ(capture.boxes().size(), 1u);
  EXPECT_EQ(capture.boxes()[0].text,
            "In module Error \n\n Warning!  Too many modules in zr_error\n\n");
  EXPECT_STREQ(zr_error_module_name(0), "Error");
  EXPECT_STREQ(zr_error_module_name(1), "Module1");
  EXPECT_STREQ(zr_error_module_name(99), "Module99");
  EXPECT_EQ(zr_error_module_name(100), nullptr);
}

TEST_F(ErrorTest, OverlongNameIsCutToFortyCharacters) {
  std::string name(41, 'n');
  name[40] = 'X';
  int module = zr_error_add_module(name.c_str(), kMessages, &moduleSwitch);
  ASSERT_EQ(module, 1);
  EXPECT_EQ(std::string(zr_error_module_name(module)), std::string(40, 'n'));
  EXPECT_EQ(zr_error_last_module(), 0);
  EXPECT_EQ(zr_error_last_code(), 1);
  EXPECT_TRUE(capture.boxes().empty());  // the service's own switch is off
}

TEST_F(ErrorTest, MessagesNameTheModuleAndNeverRepeatAnOldDetail) {
  int module = zr_error_add_module("Test", kMessages, &moduleSwitch);
  zr_error_set_detail("%s,[%s]", "file.txt", "Section");
  zr_error_report(module, 1);
  zr_error_report(module, 0);
  ASSERT_EQ(capture.boxes().size(), 2u);
  EXPECT_EQ(capture.boxes()[0].text, "In module Test \n\n Second failure\n\nfile.txt,[Section]");
  EXPECT_EQ(capture.boxes()[0].caption, "Alert");
  EXPECT_EQ(capture.boxes()[0].type, MB_ICONEXCLAMATION);
  EXPECT_EQ(capture.boxes()[1].text, "In module Test \n\n First failure\n\n");
  EXPECT_STREQ(zr_error_detail(), "");
}

TEST_F(ErrorTest, SwitchOffRecordsSilentlyUntilShown) {
  moduleSwitch = 0;
  int module = zr_error_add_module("Quiet", kMessages, &moduleSwitch);
  zr_error_report(module, 1);
  EXPECT_TRUE(capture.boxes().empty());
  EXPECT_EQ(zr_error_last_module(), module);
  EXPECT_EQ(zr_error_last_code(), 1);
  moduleSwitch = 1;  // read at every error
  zr_error_report(module, 0);
  zr_error_show();
  ASSERT_EQ(capture.boxes().size(), 2u);
  EXPECT_EQ(capture.boxes()[1].text, "In module Quiet \n\n First failure\n\n");
  zr_error_alert("Free text");
  EXPECT_EQ(capture.boxes()[2].text, "Free text");
  EXPECT_EQ(capture.boxes()[2].caption, "Alert");
}

TEST_F(ErrorTest, AModuleStartedTwiceKeepsItsNumber) {
  int first = zr_error_add_module("Again", kMessages, &moduleSwitch);
  int32_t other = 0;
  EXPECT_EQ(zr_error_add_module("Again", kMessages, &other), first);
  zr_error_report(first, 0);
  EXPECT_TRUE(capture.boxes().empty());  // the later switch counts
}

}  // namespace
