// The language list: slots, holes, the default and the remembered language.
#include "engine/display/language.h"

#include <gtest/gtest.h>

#include "engine/core/keyfile.h"
#include "window_support.h"

namespace {

using zrwindow::boxes;
using zrwindow::read_text;
using zrwindow::write_text;
using LanguageTest = zrwindow::CoreTest;

std::string Section(const char* name, const char* abbreviation, int number) {
  return std::string("[") + name + "]\r\nName=" + name + "\r\nAbbreviation=" + abbreviation +
         "\r\nFullscreen=&Full\r\nWindow=&Win\r\nNumber=" + std::to_string(number) + "\r\n";
}

TEST_F(LanguageTest, TheCurrentLanguageFollowsDefaultHolesAndTheSettings) {
  const std::string sections =
      Section("English", "EN", 1) + Section("French", "FR", 2) + Section("German", "DE", 4);
  struct Case {
    const char* what;
    std::string head;      // the [Languages] section
    std::string settings;  // zrsentry.ini
    int count, current;    // -1: none
    const char* abbreviation;
  } cases[] = {
      {"Default names slot 2", "NbLanguages=3\r\nMultiLanguages=1\r\nDefault=2\r\n", "", 3, 1,
       "FR"},
      {"no Default: the first present, not the empty slot 0",
       "NbLanguages=3\r\nMultiLanguages=1\r\nIncluded_01=0\r\n", "", 3, 1, "FR"},
      {"Default on an empty slot: the first present",
       "NbLanguages=3\r\nMultiLanguages=1\r\nDefault=1\r\nIncluded_01=0\r\n", "", 3, 1, "FR"},
      {"Default out of range", "NbLanguages=3\r\nMultiLanguages=1\r\nDefault=9\r\n", "", 3, 0,
       "EN"},
      {"no languages at all", "NbLanguages=0\r\nMultiLanguages=1\r\n", "", 0, -1, nullptr},
      {"the settings' Language by number", "NbLanguages=3\r\nMultiLanguages=1\r\nDefault=1\r\n",
       "[Application]\r\nLanguage=4\r\n", 3, 2, "DE"},
      {"the settings ignored without MultiLanguages", "NbLanguages=3\r\nDefault=1\r\n",
       "[Application]\r\nLanguage=4\r\n", 3, 0, "EN"},
      {"an unknown remembered number keeps the default",
       "NbLanguages=3\r\nMultiLanguages=1\r\nDefault=1\r\n", "[Application]\r\nLanguage=77\r\n", 3,
       0, "EN"},
  };
  for (const Case& c : cases) {
    std::string included;
    for (int i = 1; i <= 3; ++i) {
      const std::string n = "0" + std::to_string(i);
      if (c.head.find("Included_" + n) == std::string::npos) included += "Included_" + n + "=1\r\n";
    }
    write_text("LANGUAGE.TXT", "[Languages]\r\n" + c.head + included +
                                   "Language_01=English\r\nLanguage_02=French\r\n"
                                   "Language_03=German\r\n" +
                                   sections);
    write_text("zrsentry.ini", c.settings);
    ZR_LANGUAGES* list = zr_lang_load("LANGUAGE.TXT");
    ASSERT_NE(list, nullptr) << c.what;
    EXPECT_EQ(list->count, c.count) << c.what;
    EXPECT_EQ(list->current, c.current) << c.what;
    const ZR_LANGUAGE* current = zr_lang_current(list);
    if (c.abbreviation) {
      ASSERT_NE(current, nullptr) << c.what;
      EXPECT_STREQ(current->abbreviation, c.abbreviation) << c.what;
    } else {
      EXPECT_EQ(current, nullptr) << c.what;
    }
    zr_lang_free(list);
  }
  EXPECT_TRUE(boxes().empty());
}

TEST_F(LanguageTest, AMissingSectionKeyLeavesAHoleAndSaysSo) {
  write_text("LANGUAGE.TXT",
             "[Languages]\r\nNbLanguages=3\r\nMultiLanguages=1\r\nIncluded_01=1\r\n"
             "Language_01=English\r\nIncluded_02=1\r\nIncluded_03=1\r\nLanguage_03=German\r\n" +
                 Section("English", "EN", 1) + Section("German", "DE", 4));
  ZR_LANGUAGES* list = zr_lang_load("LANGUAGE.TXT");
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0], "Sorry, I can't find language Language_02 in LANGUAGE.TXT");
  EXPECT_NE(zr_lang_entry(list, 0), nullptr);
  EXPECT_EQ(zr_lang_entry(list, 1), nullptr);
  ASSERT_NE(zr_lang_entry(list, 2), nullptr);
  EXPECT_EQ(zr_lang_entry(list, 2)->characters, 1);  // missing Characters reads as 1
  EXPECT_EQ(zr_lang_select(list, 4), 1);
  EXPECT_EQ(list->current, 2);
  EXPECT_EQ(zr_lang_select(list, 2), 0);  // French is not in the list
  EXPECT_EQ(list->current, 2);
  zr_lang_free(list);
}

TEST_F(LanguageTest, WithoutNbLanguagesNothingLoads) {
  write_text("LANGUAGE.TXT", "[Languages]\r\nMultiLanguages=1\r\n");
  EXPECT_EQ(zr_lang_load("LANGUAGE.TXT"), nullptr);
  EXPECT_EQ(zr_lang_load("MISSING.TXT"), nullptr);
}

TEST_F(LanguageTest, TheCurrentNumberIsSavedOnlyForSeveralLanguages) {
  const std::string body =
      "Included_01=1\r\nLanguage_01=English\r\nIncluded_02=1\r\n"
      "Language_02=French\r\nDefault=1\r\n" +
      Section("English", "EN", 1) + Section("French", "FR", 2);
  write_text("LANGUAGE.TXT", "[Languages]\r\nNbLanguages=2\r\nMultiLanguages=1\r\n" + body);
  ZR_LANGUAGES* list = zr_lang_load("LANGUAGE.TXT");
  ASSERT_NE(list, nullptr);
  zr_lang_select(list, 2);
  zr_lang_save(list);
  zr_lang_free(list);
  EXPECT_NE(read_text("zrsentry.ini").find("Language=2"), std::string::npos);

  write_text("zrsentry.ini", "");
  write_text("LANGUAGE.TXT", "[Languages]\r\nNbLanguages=2\r\n" + body);
  list = zr_lang_load("LANGUAGE.TXT");
  ASSERT_NE(list, nullptr);
  zr_lang_save(list);
  zr_lang_free(list);
  EXPECT_EQ(read_text("zrsentry.ini").find("Language"), std::string::npos);
}

// The game's own list: six languages, each with its menu labels, English first.
TEST_F(LanguageTest, TheGamesListHasSixLanguagesWithTheirLabels) {
  write_text("LANGUAGE.TXT", read_text(ZR_SOURCE_DIR "/content/DATA/LANGUAGE.TXT"));
  ZR_LANGUAGES* list = zr_lang_load("LANGUAGE.TXT");
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->count, 6);
  EXPECT_EQ(list->multi, 1);
  const char* abbreviations[] = {"EN", "FR", "ES", "DE", "IT", "PT"};
  for (int i = 0; i < 6; ++i) {
    const ZR_LANGUAGE* language = zr_lang_entry(list, i);
    ASSERT_NE(language, nullptr);
    EXPECT_STREQ(language->abbreviation, abbreviations[i]);
    EXPECT_EQ(language->number, i + 1);
    EXPECT_NE(std::string(language->fullscreen).find('&'), std::string::npos);
    EXPECT_NE(std::string(language->window).find('&'), std::string::npos);
  }
  EXPECT_STREQ(zr_lang_current(list)->abbreviation, "EN");
  zr_lang_free(list);
}

}  // namespace
