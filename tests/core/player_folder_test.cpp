// The player's own files: the start directory when it is writable, else the per-user folder
// ($XDG_DATA_HOME/zrsentry/), with the data's high-score file copied there on its first write.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "engine/core/fileio.h"
#include "engine/core/keyfile.h"
#include "file_fixture.h"

namespace {

namespace fs = std::filesystem;

int nothing_writable(const char*) {
  return 0;
}

// Points XDG_DATA_HOME somewhere for the test's lifetime.
struct DataHome {
  std::optional<std::string> old;
  explicit DataHome(const std::string& path) {
    if (const char* value = std::getenv("XDG_DATA_HOME")) old = value;
    ::setenv("XDG_DATA_HOME", path.c_str(), 1);
  }
  ~DataHome() {
    if (old)
      ::setenv("XDG_DATA_HOME", old->c_str(), 1);
    else
      ::unsetenv("XDG_DATA_HOME");
  }
};

class PlayerFolderTest : public FileTest {
 protected:
  void TearDown() override {
    FileTest::TearDown();
    zr_io_set_writable_check(nullptr);
  }
  // A warning written as the headless program writes it (no box hook).
  static void log_warning(const char* text) {
    zr_message_box_set_hook(nullptr);
    zr_message_box(text, "Test", MB_OK);
    zr_message_box_set_hook(capture_box);
  }
  std::string disk(const char* name) {
    char path[ZR_PATH_MAX * 2];
    zr_io_disk_path(name, path, sizeof path);
    return path;
  }
  std::string read_name(const char* name) {
    char out[ZR_PATH_MAX * 2];
    EXPECT_EQ(zr_io_player_read_name(name, out, sizeof out), 1);
    return out;
  }
  std::string write_name(const char* name) {
    char out[ZR_PATH_MAX * 2];
    EXPECT_EQ(zr_io_player_write_name(name, out, sizeof out), 1);
    return out;
  }
};

constexpr const char* kScores = "DATA\\SCORES.TXT";
constexpr const char* kTable = "[High-Scores]\r\nNbScores=1\r\nName_01=     ACE\r\n";

TEST_F(PlayerFolderTest, WritableStartDirectoryKeepsEverythingTogether) {
  DataHome home((dir.path / "xdg").string());
  std::strcpy(config.settingsName, "zrsentry.ini");
  ASSERT_EQ(start({make_entry(kScores, kTable)}), 1);
  EXPECT_EQ(zr_io_player_dir_is_start(), 1);
  EXPECT_STREQ(zr_io_player_dir(), zr_io_start_dir());
  EXPECT_EQ(disk(zr_io_settings_path()), (dir.path / "zrsentry.ini").string());
  // The data's own file is read and written in place, as the portable folder has always done.
  EXPECT_EQ(read_name(kScores), kScores);
  EXPECT_EQ(write_name(kScores), kScores);
  log_warning("here");
  EXPECT_EQ(read_file((dir.path / "Warning.txt").string()), "Test: here\n");
  EXPECT_FALSE(fs::exists(dir.path / "xdg"));  // no per-user folder was made
}

TEST_F(PlayerFolderTest, ReadOnlyStartDirectorySendsWritesToTheUserFolder) {
  DataHome home((dir.path / "xdg").string());
  zr_io_set_writable_check(nothing_writable);
  std::strcpy(config.settingsName, "zrsentry.ini");
  ASSERT_EQ(start({make_entry(kScores, kTable)}), 1);
  fs::path user = dir.path / "xdg" / "zrsentry";
  EXPECT_EQ(zr_io_player_dir_is_start(), 0);
  EXPECT_EQ(std::string(zr_io_player_dir()), user.string() + "/");
  EXPECT_TRUE(fs::is_directory(user));

  ASSERT_NE(zr_io_settings_path(), nullptr);
  EXPECT_EQ(disk(zr_io_settings_path()), (user / "zrsentry.ini").string());
  EXPECT_EQ(zr_io_put_int("Setup", "Maps", 1, zr_io_settings_path()), 1);
  EXPECT_TRUE(fs::exists(user / "zrsentry.ini"));
  EXPECT_FALSE(fs::exists(dir.path / "zrsentry.ini"));

  log_warning("there");
  EXPECT_EQ(read_file((user / "Warning.txt").string()), "Test: there\n");
  EXPECT_FALSE(fs::exists(dir.path / "Warning.txt"));
}

TEST_F(PlayerFolderTest, HighScoresAreCopiedFromTheDataOnTheFirstWrite) {
  DataHome home((dir.path / "xdg").string());
  zr_io_set_writable_check(nothing_writable);
  // Once from the archive, once from a loose file of the start directory.
  for (bool archived : {true, false}) {
    SCOPED_TRACE(archived ? "archive" : "loose file");
    fs::remove_all(dir.path / "xdg");
    if (archived) {
      ASSERT_EQ(start({make_entry(kScores, kTable)}), 1);
    } else {
      fs::remove(dir.path / "VELDRAN.DAT");
      config.archiveName[0] = '\0';
      write_file("data/scores.txt", kTable);
      ASSERT_EQ(zr_io_init(&config), 1);
    }
    fs::path copy = dir.path / "xdg" / "zrsentry" / "SCORES.TXT";
    EXPECT_EQ(read_name(kScores), kScores);  // nothing copied for reading
    EXPECT_FALSE(fs::exists(copy));

    std::string name = write_name(kScores);
    EXPECT_EQ(disk(name.c_str()), copy.string());
    EXPECT_EQ(read_file(copy.string()), kTable);
    ASSERT_EQ(zr_io_put_string("High-Scores", "Name_01", "     BOB", name.c_str()), 1);

    // From now on the player's copy is read; the data keeps its own table.
    EXPECT_EQ(read_name(kScores), name);
    char value[32];
    zr_io_get_string("High-Scores", "Name_01", value, sizeof value, read_name(kScores).c_str());
    EXPECT_STREQ(value, "     BOB");
    zr_io_get_string("High-Scores", "Name_01", value, sizeof value, kScores);
    EXPECT_STREQ(value, "     ACE");
    // A second write does not copy over the player's table.
    EXPECT_EQ(write_name(kScores), name);
    EXPECT_NE(read_file(copy.string()).find("BOB"), std::string::npos);
    zr_io_deinit();
  }
}

TEST_F(PlayerFolderTest, WithoutAUserFolderTheStartDirectoryStays) {
  write_file("blocker", "a file, so nothing can be made below it");
  DataHome home((dir.path / "blocker" / "data").string());
  zr_io_set_writable_check(nothing_writable);
  std::strcpy(config.settingsName, "zrsentry.ini");
  ASSERT_EQ(zr_io_init(&config), 1);
  EXPECT_EQ(zr_io_player_dir_is_start(), 1);
  EXPECT_STREQ(zr_io_player_dir(), zr_io_start_dir());
  EXPECT_EQ(read_name(kScores), kScores);
  EXPECT_EQ(write_name(kScores), kScores);
}

TEST_F(PlayerFolderTest, ConfinedNamesStillReachThePlayersFolder) {
  DataHome home((dir.path / "xdg").string());
  zr_io_set_writable_check(nothing_writable);
  fs::create_directories(dir.path /
                         "game");  // the per-user folder lies outside the start directory
  fs::current_path(dir.path / "game");
  std::strcpy(config.settingsName, "zrsentry.ini");
  ASSERT_EQ(start({make_entry(kScores, kTable)}), 1);
  zr_io_confine_names(1);
  EXPECT_EQ(zr_io_put_int("Setup", "Maps", 1, zr_io_settings_path()), 1);
  std::string name = write_name(kScores);
  EXPECT_EQ(zr_io_put_string("High-Scores", "Name_01", "     BOB", name.c_str()), 1);
  char value[32];
  zr_io_get_string("High-Scores", "Name_01", value, sizeof value, read_name(kScores).c_str());
  EXPECT_STREQ(value, "     BOB");
  EXPECT_TRUE(fs::exists(dir.path / "xdg" / "zrsentry" / "zrsentry.ini"));
  std::string outside = (dir.path / "xdg" / "other.txt").string();
  EXPECT_EQ(zr_io_name_allowed(outside.c_str()), 0);
  zr_io_confine_names(0);
}

}  // namespace
