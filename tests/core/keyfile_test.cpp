#include "engine/core/keyfile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "file_fixture.h"

namespace {

// Joins lines with a line end; the last line gets none.
std::string text_of(std::initializer_list<std::string> lines, const std::string& end) {
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : end) + line;
  return text;
}

std::string sample(const std::string& end) {
  return text_of({"Orphan=0", "[Sound]", "MusicVolume=80", "Key = 5", "Empty=", " Blank=1",
                  "Name_1=A", "Name_10=B", "[Sounds]", "Other=1", "[Order]", "Name_10=B",
                  "Name_1=A", "[Long]", std::string(254, 'x') + "Hidden=7", std::string(254, 'e'),
                  "Exact=" + std::string(248, 'v'), "Wide=" + std::string(300, 'w'), "Tail=last"},
                 end);
}

struct Where {
  const char* name;
  const char* end;
  bool archived;
};

class KeyReadTest : public FileTest, public ::testing::WithParamInterface<Where> {
 protected:
  void SetUp() override {
    FileTest::SetUp();
    std::string text = sample(GetParam().end);
    if (GetParam().archived) {
      ASSERT_EQ(start({make_entry("DATA\\TEXTS.TXT", text), make_entry("Z", "z")}), 1);
    } else {
      write_file("Data/Texts.txt", text);
      ASSERT_EQ(zr_io_init(&config), 1);
    }
  }
};

TEST_P(KeyReadTest, ValuesAreFoundByPrefixAsTheFormatSays) {
  struct Case {
    const char* section;
    const char* key;
    int result;
    const char* value;
    int code;  // the recorded error when the result is 0
  };
  // A long line is one line, as the writer sees it: its rest never matches, and a long value is
  // read whole (cut to the buffer).
  const std::string exact(248, 'v');
  const std::string wide(63, 'w');  // what a buffer of 64 holds of the 300 characters
  char exactBuffer[300];
  ASSERT_EQ(zr_io_get_string("Long", "Exact", exactBuffer, sizeof exactBuffer, "DATA\\TEXTS.TXT"),
            248);
  EXPECT_EQ(exactBuffer, exact);
  const Case cases[] = {
      {"Sound", "MusicVolume", 2, "80", 0}, {"Sou", "MusicVolume", 2, "80", 0},
      {"Sound", "Key", 3, "= 5", 0},        {"Sound", "Empty", 0, "", 0},
      {"Sound", "Blank", 0, "", 14},        {"Sound", "Name_1", 1, "A", 0},
      {"Sound", "Name_10", 1, "B", 0},      {"Order", "Name_10", 1, "B", 0},
      {"Order", "Name_1", 2, "=B", 0},  // one character after the key is skipped unseen
      {"Sound", "Other", 0, "", 14},        {"Sounds", "Other", 1, "1", 0},
      {"Sound", "Orphan", 0, "", 14},       {"Nowhere", "Orphan", 0, "", 13},
      {"sound", "MusicVolume", 0, "", 13},  {"Long", "Hidden", 0, "", 14},
      {"Long", "Tail", 4, "last", 0},       {"Long", "Wide", 63, wide.c_str(), 15},
  };
  for (const Case& c : cases) {
    char buffer[64] = "stale";
    EXPECT_EQ(zr_io_get_string(c.section, c.key, buffer, sizeof buffer, "DATA\\TEXTS.TXT"),
              c.result)
        << c.section << "/" << c.key;
    EXPECT_STREQ(buffer, c.value) << c.section << "/" << c.key;
    if (c.code != 0) {
      EXPECT_EQ(zr_error_last_code(), c.code) << c.section << "/" << c.key;
    }
  }
  EXPECT_EQ(zr_io_open_count(), 0);
}

TEST_P(KeyReadTest, SmallBufferGetsTheStartOfTheValue) {
  char buffer[2];
  EXPECT_EQ(zr_io_get_string("Sound", "MusicVolume", buffer, 2, "data\\texts.txt"), 1);
  EXPECT_STREQ(buffer, "8");
  EXPECT_EQ(zr_error_last_code(), 15);
  EXPECT_STREQ(zr_error_detail(), "[Sound]MusicVolume=80");
}

INSTANTIATE_TEST_SUITE_P(Files, KeyReadTest,
                         ::testing::Values(Where{"DiskLF", "\n", false},
                                           Where{"DiskCRLF", "\r\n", false},
                                           Where{"ArchiveLFCR", "\n\r", true},
                                           Where{"ArchiveCR", "\r", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileTest, NumbersFromValues) {
  write_file("n.txt", "[N]\nInt=  -42abc\nBig=99999999999\nFloat=2.5\nWord=abc\n");
  int32_t number = 5;
  EXPECT_EQ(zr_io_get_int("N", "Int", &number, "n.txt"), 8);
  EXPECT_EQ(number, -42);
  EXPECT_EQ(zr_io_get_int("N", "Big", &number, "n.txt"), 11);
  EXPECT_EQ(number, INT32_MAX);
  EXPECT_EQ(zr_io_get_int("N", "Word", &number, "n.txt"), 3);
  EXPECT_EQ(number, 0);
  number = 5;
  EXPECT_EQ(zr_io_get_int("N", "Missing", &number, "n.txt"), 0);
  EXPECT_EQ(number, 0);
  float value = 1.25f;
  EXPECT_EQ(zr_io_get_float("N", "Float", &value, "n.txt"), 3);
  EXPECT_EQ(value, 2.5f);
  value = 1.25f;
  EXPECT_EQ(zr_io_get_float("N", "Missing", &value, "n.txt"), 0);
  EXPECT_EQ(value, 1.25f);
  EXPECT_EQ(zr_io_get_int("N", "Int", &number, "missing.txt"), 0);
  EXPECT_EQ(zr_error_last_code(), 1);
}

struct WriteCase {
  const char* name;
  const char* before;  // nullptr: no file yet
  const char* section;
  const char* key;
  const char* value;
  const char* after;
};

const WriteCase kWrites[] = {
    {"NewFile", nullptr, "S", "K", "V", "[S]\nK=V\n"},
    {"NewSection", "[A]\nx=1\n", "B", "k", "v", "[A]\nx=1\n\n[B]\nk=v\n"},
    {"NewKeyBeforeEmptyLine", "[A]\nx=1\n\n[B]\ny=2\n", "A", "z", "3",
     "[A]\nx=1\nz=3\n\n[B]\ny=2\n"},
    {"NewKeyBeforeHeader", "[A]\nx=1\n[B]\n", "A", "z", "3", "[A]\nx=1\nz=3\n[B]\n"},
    {"ExistingKey", "[A]\nx=1\ny=2\nx=9\n[B]\nx=0\n", "A", "x", "5",
     "[A]\nx=5\ny=2\nx=9\n[B]\nx=0\n"},
    {"KeyOfLaterSection", "[A]\nx=1\n[B]\nx=0\n", "B", "x", "7", "[A]\nx=1\n[B]\nx=7\n"},
    {"LastLineWithoutEnd", "[A]\nx=1", "A", "y", "2", "[A]\nx=1\ny=2\n"},
    {"CRLFFile", "[A]\r\nx=1\r\ny=2\r\n", "A", "x", "3", "[A]\r\nx=3\ny=2\r\n"},
};

class KeyWriteTest : public FileTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(KeyWriteTest, RewritesTheFileThroughABackup) {
  const WriteCase& c = GetParam();
  ASSERT_EQ(zr_io_init(&config), 1);
  if (c.before != nullptr) write_file("cfg.ini", c.before);
  EXPECT_EQ(zr_io_put_string(c.section, c.key, c.value, "cfg.ini"), 1);
  EXPECT_EQ(read_file("cfg.ini"), c.after);
  EXPECT_FALSE(std::filesystem::exists("cfg.ini.bak"));
  char buffer[32];
  EXPECT_EQ(zr_io_get_string(c.section, c.key, buffer, sizeof buffer, "cfg.ini"),
            static_cast<int>(std::strlen(c.value)));
  EXPECT_STREQ(buffer, c.value);
}

INSTANTIATE_TEST_SUITE_P(Cases, KeyWriteTest, ::testing::ValuesIn(kWrites),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileTest, LongLinesPassThroughARewriteWhole) {
  ASSERT_EQ(zr_io_init(&config), 1);
  std::string longText = std::string(300, 'a');
  std::string longKey = "x=" + std::string(298, '[');
  write_file("cfg.ini", "[A]\n" + longText + "\n" + longKey + "\ny=1\n[B]\n" + longText);
  EXPECT_EQ(zr_io_put_string("A", "x", "2", "cfg.ini"), 1);
  EXPECT_EQ(read_file("cfg.ini"), "[A]\n" + longText + "\nx=2\ny=1\n[B]\n" + longText);
  EXPECT_EQ(zr_io_put_string("B", "k", "v", "cfg.ini"), 1);
  EXPECT_EQ(read_file("cfg.ini"), "[A]\n" + longText + "\nx=2\ny=1\n[B]\n" + longText + "\nk=v\n");
}

TEST_F(FileTest, NumbersAreWrittenAndReadBack) {
  ASSERT_EQ(zr_io_init(&config), 1);
  EXPECT_EQ(zr_io_put_int("Setup", "Lives", -7, "cfg.ini"), 1);
  EXPECT_EQ(zr_io_put_float("Setup", "Speed", 1.5f, "cfg.ini"), 1);
  EXPECT_EQ(read_file("cfg.ini"), "[Setup]\nLives=-7\nSpeed=1.500000\n");
  int32_t lives = 0;
  float speed = 0;
  zr_io_get_int("Setup", "Lives", &lives, "cfg.ini");
  zr_io_get_float("Setup", "Speed", &speed, "cfg.ini");
  EXPECT_EQ(lives, -7);
  EXPECT_EQ(speed, 1.5f);
}

TEST_F(FileTest, RewriteKeepsTheNameOfTheFileOnDisk) {
  ASSERT_EQ(zr_io_init(&config), 1);
  write_file("Settings.INI", "[A]\nx=1\n");
  EXPECT_EQ(zr_io_put_string("A", "x", "2", "settings.ini"), 1);
  EXPECT_EQ(read_file("Settings.INI"), "[A]\nx=2\n");
  EXPECT_FALSE(std::filesystem::exists("settings.ini"));
}

TEST_F(FileTest, ArchivedKeysChangeOnlyInPlace) {
  std::string text = "[A]\r\nKey=12\r\nNext=1\r\n";
  ASSERT_EQ(start({make_entry("DATA\\CFG.TXT", text), make_entry("OTHER", "other")}), 1);
  auto size = std::filesystem::file_size("VELDRAN.DAT");
  EXPECT_EQ(zr_io_put_string("A", "Key", "34", "data\\cfg.txt"), 1);
  EXPECT_EQ(slurp("DATA\\CFG.TXT"), "[A]\r\nKey=34\r\nNext=1\r\n");
  EXPECT_EQ(zr_io_put_string("A", "Key", "345", "data\\cfg.txt"), 0);
  EXPECT_EQ(zr_error_last_code(), 15);
  EXPECT_EQ(zr_io_put_string("A", "Gone", "1", "data\\cfg.txt"), 0);
  EXPECT_EQ(zr_error_last_code(), 14);
  EXPECT_EQ(zr_io_put_string("B", "Key", "1", "data\\cfg.txt"), 0);
  EXPECT_EQ(zr_error_last_code(), 13);
  EXPECT_EQ(slurp("DATA\\CFG.TXT"), "[A]\r\nKey=34\r\nNext=1\r\n");
  EXPECT_EQ(slurp("OTHER"), "other");
  EXPECT_EQ(std::filesystem::file_size("VELDRAN.DAT"), size);
  EXPECT_FALSE(std::filesystem::exists("data"));
}

TEST_F(FileTest, ReplaceOnDiskNeedsTheSameLength) {
  ASSERT_EQ(zr_io_init(&config), 1);
  write_file("cfg.ini", "[A]\nx=1\ny=22\n");
  EXPECT_EQ(zr_io_replace_string("A", "y", "33", "cfg.ini"), 1);
  EXPECT_EQ(zr_io_replace_string("A", "x", "10", "cfg.ini"), 0);
  EXPECT_EQ(read_file("cfg.ini"), "[A]\nx=1\ny=33\n");
  EXPECT_EQ(zr_io_replace_string("A", "x", "1", "missing.ini"), 0);
  EXPECT_EQ(zr_error_last_code(), 1);
}

TEST_F(FileTest, RewriteKeepsTheModeOfTheFile) {
  ASSERT_EQ(zr_io_init(&config), 1);
  write_file("cfg.ini", "[A]\nx=1\n");
  std::filesystem::permissions(
      "cfg.ini", std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_EQ(zr_io_put_string("A", "x", "2", "cfg.ini"), 1);
  EXPECT_EQ(std::filesystem::status("cfg.ini").permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_FALSE(std::filesystem::exists("cfg.ini.tmp"));
}

// A save killed at any instant leaves the old file or the new one, whole: a child saves in a
// loop, flipping one long value, and is killed at random instants.
TEST_F(FileTest, SavesSurviveAKillAtAnyInstant) {
  ASSERT_EQ(zr_io_init(&config), 1);
  const std::string values[2] = {std::string(3000, 'a'), std::string(3000, 'b')};
  for (int i = 0; i < 40; ++i)
    ASSERT_EQ(zr_io_put_int("Scores", ("Score" + std::to_string(i)).c_str(), i * 1000, "s.ini"), 1);
  std::string texts[2];
  for (int v = 1; v >= 0; --v) {
    ASSERT_EQ(zr_io_put_string("Setup", "Flip", values[v].c_str(), "s.ini"), 1);
    texts[v] = read_file("s.ini");
  }
  // How long one save takes here, so that the kills fall before, inside and after saves.
  auto begin = std::chrono::steady_clock::now();
  for (int i = 0; i < 10; ++i) zr_io_put_string("Setup", "Flip", values[i % 2].c_str(), "s.ini");
  auto save = (std::chrono::steady_clock::now() - begin) / 10;
  auto limit = std::chrono::duration_cast<std::chrono::microseconds>(save * 3).count() + 200;

  std::mt19937 random(7);
  int seen[2] = {0, 0};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  int kills = 0;
  for (; kills < 300 && std::chrono::steady_clock::now() < deadline; ++kills) {
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 1;; ++i) zr_io_put_string("Setup", "Flip", values[i % 2].c_str(), "s.ini");
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % limit));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    std::string text = read_file("s.ini");
    ASSERT_TRUE(text == texts[0] || text == texts[1])
        << "after kill " << kills << " the file holds " << text.size() << " bytes";
    ++seen[text == texts[1] ? 1 : 0];
  }
  EXPECT_GE(kills, 50) << "kills in 3 s";
  EXPECT_GT(seen[0], 0);
  EXPECT_GT(seen[1], 0);  // the kills did fall after finished saves
}

}  // namespace
