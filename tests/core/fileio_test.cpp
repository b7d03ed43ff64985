#include "engine/core/fileio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/core/keyfile.h"
#include "file_fixture.h"

namespace {

using Lines = std::vector<std::string>;

std::string every_byte(int repeats) {
  std::string bytes;
  for (int r = 0; r < repeats; ++r)
    for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
  return bytes;
}

TEST_F(FileTest, WithoutTheArchiveEverythingComesFromTheDisk) {
  write_file("data/texts.txt", "disk");
  EXPECT_EQ(start(std::string()), 0);  // an empty archive file is damaged
  std::filesystem::remove("VELDRAN.DAT");
  zr_io_deinit();
  std::strcpy(config.archiveName, "VELDRAN.DAT");
  EXPECT_EQ(zr_io_init(&config), 0);
  ASSERT_EQ(capture.boxes().size(), 1u);  // shown although the switch is off
  EXPECT_EQ(capture.boxes()[0].text, "In module File I/O \n\n Could not open file\n\nVELDRAN.DAT");
  EXPECT_EQ(capture.boxes()[0].caption, "Alert");
  EXPECT_EQ(slurp("DATA\\TEXTS.TXT"), "disk");
}

TEST_F(FileTest, ArchivedNamesMatchWholeInAnyCase) {
  write_file("data/texts.txt", "from disk");
  write_file("other.txt", "only on disk");
  ASSERT_EQ(start({make_entry("DATA\\TEXTS.TXT", "from archive"), make_entry("X.BIN", "x")}), 1);
  EXPECT_EQ(zr_io_archive_entries(), 2);
  EXPECT_EQ(slurp("data\\texts.txt"), "from archive");
  EXPECT_EQ(slurp("Texts.Txt"), "from archive");  // the second name
  EXPECT_EQ(slurp("SUB\\DATA\\TEXTS.TXT"), "<none>");
  EXPECT_EQ(slurp("DATA\\TEXTS"), "<none>");
  EXPECT_EQ(slurp("other.txt"), "only on disk");
  EXPECT_EQ(zr_io_exists("data\\texts.txt", ZR_IO_ARCHIVE | ZR_IO_DISK),
            ZR_IO_ARCHIVE | ZR_IO_DISK);
  EXPECT_EQ(zr_io_exists("other.txt", ZR_IO_ARCHIVE | ZR_IO_DISK), ZR_IO_DISK);
  EXPECT_EQ(zr_error_last_code(), 1);
  EXPECT_EQ(zr_io_exists("nowhere.txt", ZR_IO_ARCHIVE | ZR_IO_DISK), 0);
}

TEST_F(FileTest, SeekTellAndEndStayInsideTheEntry) {
  std::string data = every_byte(1).substr(0, 100);
  ASSERT_EQ(start({make_entry("A", "before"), make_entry("B", data), make_entry("C", "after")}), 1);
  ZR_FILE* file = zr_io_fopen("b", "rb");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->entry, 2);
  EXPECT_EQ(zr_io_ftell(file), 0);
  EXPECT_EQ(zr_io_feof(file), 0);
  EXPECT_EQ(zr_io_fseek(file, 0, SEEK_END), 0);
  EXPECT_EQ(zr_io_ftell(file), 100);
  EXPECT_NE(zr_io_feof(file), 0);
  EXPECT_EQ(zr_io_fgetc(file), EOF);
  char buffer[200];
  EXPECT_EQ(zr_io_fread(buffer, 1, sizeof buffer, file), 0u);
  EXPECT_EQ(zr_io_fseek(file, -4, SEEK_END), 0);
  EXPECT_EQ(zr_io_fread(buffer, 1, sizeof buffer, file), 4u);  // not into the next entry
  EXPECT_EQ(std::string(buffer, 4), data.substr(96));
  EXPECT_EQ(zr_io_fseek(file, 10, SEEK_SET), 0);
  EXPECT_EQ(zr_io_fgetc(file), 10);
  EXPECT_EQ(zr_io_fseek(file, 5, SEEK_CUR), 0);
  EXPECT_EQ(zr_io_ftell(file), 16);
  EXPECT_EQ(zr_io_fread(buffer, 4, 100, file), 21u);  // whole elements of what is left
  EXPECT_NE(zr_io_fseek(file, -1, SEEK_SET), 0);      // before the entry lie other files
  zr_io_rewind(file);
  EXPECT_EQ(zr_io_ftell(file), 0);
  EXPECT_EQ(zr_io_fgetc(file), 0);
  EXPECT_EQ(zr_io_fclose(file), 0);
}

TEST_F(FileTest, WritingAnArchivedFileUpdatesItInPlace) {
  ASSERT_EQ(
      start({make_entry("A", "first"), make_entry("B", "0123456789"), make_entry("C", "third")}),
      1);
  auto size = std::filesystem::file_size("VELDRAN.DAT");
  ZR_FILE* file = zr_io_fopen("B", "wb");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->entry, 2);
  char text[] = "WXYZ";
  EXPECT_EQ(zr_io_fwrite(text, 1, 4, file), 4u);
  EXPECT_STREQ(text, "WXYZ");  // the caller's bytes are left as they were
  EXPECT_EQ(zr_io_fputc('!', file), '!');
  EXPECT_EQ(zr_io_fputs("ab", file), 1);
  char tooLong[] = "0123456789";
  EXPECT_EQ(zr_io_fwrite(tooLong, 1, 10, file), 3u);  // the entry ends there
  EXPECT_EQ(zr_io_fputc('x', file), EOF);
  EXPECT_EQ(zr_io_fclose(file), 0);
  EXPECT_EQ(std::filesystem::file_size("VELDRAN.DAT"), size);
  EXPECT_EQ(slurp("B"), "WXYZ!ab012");
  EXPECT_EQ(slurp("A"), "first");
  EXPECT_EQ(slurp("C"), "third");
  file = zr_io_fopen("C", "w");  // any writing mode keeps the archive whole
  ASSERT_NE(file, nullptr);
  zr_io_fclose(file);
  EXPECT_EQ(std::filesystem::file_size("VELDRAN.DAT"), size);
  EXPECT_EQ(slurp("A"), "first");
}

TEST_F(FileTest, EveryByteSurvivesPackingAndReading) {
  std::string bytes = every_byte(5);
  write_file("src/Data/All.bin", bytes);
  write_file("src/Data/Sub/Empty.bin", "");
  write_file("src/odd.TXT", bytes.substr(7, 301));
  std::vector<PackEntry> entries;
  std::string error;
  ASSERT_TRUE(pack_collect("src", entries, error)) << error;
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "DATA\\ALL.BIN");
  EXPECT_EQ(entries[0].second, "ALL.BIN");
  EXPECT_EQ(entries[1].name, "DATA\\SUB\\EMPTY.BIN");
  EXPECT_NE(entries[0].key, entries[2].key);
  std::string built = archive_bytes(entries);

  std::string packer = std::string(ZR_BIN_DIR) + "/zrpack";
  if (std::filesystem::exists(packer)) {
    std::string command = packer + " create VELDRAN.DAT src > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(read_file("VELDRAN.DAT"), built);  // the same folder always gives the same bytes
    std::strcpy(config.archiveName, "VELDRAN.DAT");
    ASSERT_EQ(zr_io_init(&config), 1);
  } else {
    ASSERT_EQ(start(built), 1);
  }
  std::filesystem::remove_all("src");  // only the archive is left to read from
  EXPECT_EQ(slurp("data\\all.bin"), bytes);
  EXPECT_EQ(slurp("DATA\\SUB\\EMPTY.BIN"), "");
  EXPECT_EQ(slurp("ODD.TXT"), bytes.substr(7, 301));
  ZR_FILE* file = zr_io_fopen("ALL.BIN", "rb");
  ASSERT_NE(file, nullptr);
  std::string byByte;
  for (int c; (c = zr_io_fgetc(file)) != EOF;) byByte.push_back(static_cast<char>(c));
  zr_io_fclose(file);
  EXPECT_EQ(byByte, bytes);
}

TEST_F(FileTest, ZrpackRefusesBadInputWithOneLine) {
  std::string packer = std::string(ZR_BIN_DIR) + "/zrpack";
  if (!std::filesystem::exists(packer)) GTEST_SKIP() << "zrpack not built";
  write_file("junk.dat", "not an archive at all");
  std::filesystem::create_directory("empty");
  const char* commands[] = {" list junk.dat",        " list missing.dat",
                            " create out.dat empty", " create out.dat missing",
                            " extract junk.dat out", " bogus"};
  for (const char* command : commands) {
    std::string line = packer + command + " 2> err.txt";
    EXPECT_NE(std::system(line.c_str()), 0) << command;
    std::string err = read_file("err.txt");
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << command << ": " << err;
  }
  EXPECT_FALSE(std::filesystem::exists("out.dat"));
}

TEST_F(FileTest, ExtractRefusesNamesThatLeaveTheFolder) {
  std::string error;
  EXPECT_FALSE(pack_extract({make_entry("..\\ESCAPE.TXT", "x")}, "out", error));
  EXPECT_FALSE(pack_extract({make_entry("A\\\\B", "x")}, "out", error));
  EXPECT_TRUE(pack_extract({make_entry("DIR\\IN.TXT", "x")}, "out", error)) << error;
  EXPECT_EQ(read_file("out/DIR/IN.TXT"), "x");
  EXPECT_FALSE(std::filesystem::exists("ESCAPE.TXT"));
}

struct LineCase {
  const char* name;
  const char* end;
};

class LineEndTest : public FileTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(LineEndTest, ArchivedLinesEndAtAnyLineEnd) {
  std::string end = GetParam().end;
  std::string text = "one" + end + "two" + end + end + "three" + end + "last";
  ASSERT_EQ(start({make_entry("T.TXT", text), make_entry("U.TXT", "after")}), 1);
  EXPECT_EQ(lines("T.TXT"), (Lines{"one", "two", "", "three", "last"}));
}

INSTANTIATE_TEST_SUITE_P(Ends, LineEndTest,
                         ::testing::Values(LineCase{"LF", "\n"}, LineCase{"CR", "\r"},
                                           LineCase{"LFCR", "\n\r"}, LineCase{"CRLF", "\r\n"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileTest, AfterAnArchivedLineThePositionIsAtTheNextLine) {
  ASSERT_EQ(start({make_entry("T.TXT", "ab\ncd\r\nef\n")}), 1);
  ZR_FILE* file = zr_io_fopen("T.TXT", "rb");
  ASSERT_NE(file, nullptr);
  char line[255];
  ASSERT_NE(zr_io_fgets(line, sizeof line, file), nullptr);
  EXPECT_EQ(zr_io_ftell(file), 3);
  EXPECT_EQ(zr_io_fgetc(file), 'c');
  ASSERT_NE(zr_io_fgets(line, sizeof line, file), nullptr);
  EXPECT_STREQ(line, "d");
  EXPECT_EQ(zr_io_ftell(file), 7);
  ASSERT_NE(zr_io_fgets(line, 2, file), nullptr);  // room for one character
  EXPECT_STREQ(line, "e");
  ASSERT_NE(zr_io_fgets(line, sizeof line, file), nullptr);
  EXPECT_STREQ(line, "f");
  EXPECT_EQ(zr_io_fgets(line, sizeof line, file), nullptr);
  EXPECT_NE(zr_io_feof(file), 0);
  zr_io_fclose(file);
}

TEST_F(FileTest, DiskLinesLoseTheirLineEnds) {
  write_file("unix.txt", "one\ntwo\n\nlast");
  write_file("dos.txt", "one\r\ntwo\r\n\r\nlast");
  ASSERT_EQ(zr_io_init(&config), 1);
  EXPECT_EQ(lines("unix.txt"), (Lines{"one", "two", "", "last"}));
  EXPECT_EQ(lines("dos.txt"), (Lines{"one", "two", "", "last"}));
}

TEST_F(FileTest, LongLinesComeInPieces) {
  std::string text = std::string(300, 'a') + "\r\nb\r\n";
  write_file("long.txt", text);
  ASSERT_EQ(start({make_entry("LONG.TXT", text)}), 1);
  Lines expected{std::string(254, 'a'), std::string(46, 'a'), "b"};
  EXPECT_EQ(lines("LONG.TXT"), expected);
  std::filesystem::remove("VELDRAN.DAT");
  zr_io_deinit();
  config.archiveName[0] = '\0';
  ASSERT_EQ(zr_io_init(&config), 1);
  EXPECT_EQ(lines("long.txt"), expected);
}

// Damages a two-entry archive: f gets the archive and its table unscrambled and may change
// both; the table is scrambled again afterwards.
std::string damaged(void (*f)(std::string& archive, std::string& table)) {
  std::string archive = archive_bytes({make_entry("FIRST.TXT", "1111"), make_entry("B", "22")});
  size_t size = archive.size();
  uint8_t key = static_cast<uint8_t>(archive[size - 1]);
  size_t tableOffset = static_cast<uint8_t>(archive[size - 9]);
  std::string table = archive.substr(tableOffset, size - 13 - tableOffset);
  for (char& c : table) c = static_cast<char>(c ^ key);
  std::string trailer = archive.substr(size - 13);
  archive.resize(tableOffset);
  std::string all = archive + table + trailer;
  size_t tableSize = table.size();
  f(all, table);
  if (all.size() < tableOffset + tableSize) return all;  // replaced whole
  std::string rebuilt = all.substr(0, tableOffset);
  for (char c : table) rebuilt.push_back(static_cast<char>(c ^ key));
  return rebuilt + all.substr(tableOffset + tableSize);
}

void set_u32(std::string& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

struct DamageCase {
  const char* name;
  void (*damage)(std::string& archive, std::string& table);
};

// The first entry's fields follow "FIRST.TXT\0FIRST.TXT\0" (20 bytes) in the table.
const DamageCase kDamage[] = {
    {"TooShort", [](std::string& a, std::string&) { a = std::string("\xCE\xFA\xBE\xBA", 4); }},
    {"WrongMagic", [](std::string& a, std::string&) { a[a.size() - 13] ^= 1; }},
    {"TableAtTrailer",
     [](std::string& a, std::string&) {
       set_u32(a, a.size() - 9, static_cast<uint32_t>(a.size() - 13));
     }},
    {"TablePastEnd", [](std::string& a, std::string&) { set_u32(a, a.size() - 9, 0xFFFFFFF0u); }},
    {"TooManyEntries", [](std::string& a, std::string&) { set_u32(a, a.size() - 5, 1000000); }},
    {"ThirdEntryMissing", [](std::string& a, std::string&) { set_u32(a, a.size() - 5, 3); }},
    {"NameWithoutEnd",
     [](std::string&, std::string& t) {
       t.resize(t.size() - 15);
       t.append(2, 'N');
       t.append(13, 'N');
     }},
    {"FieldsCutShort", [](std::string&, std::string& t) { t.resize(t.size() - 1); }},
    {"OffsetPastEnd", [](std::string&, std::string& t) { set_u32(t, 20, 0x7FFFFFFF); }},
    {"SizePastEnd", [](std::string&, std::string& t) { set_u32(t, 24, 0xFFFFFFFF); }},
    {"SizeIntoTable", [](std::string&, std::string& t) { set_u32(t, 24, 7); }},
};

class DamagedArchiveTest : public FileTest, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedArchiveTest, IsRefusedAndTheDiskIsUsed) {
  write_file("first.txt", "disk");
  EXPECT_EQ(start(damaged(GetParam().damage)), 0);
  EXPECT_EQ(zr_io_archive_entries(), 0);
  EXPECT_STREQ(zr_error_module_name(zr_error_last_module()), "File I/O");
  EXPECT_EQ(zr_error_last_code(), 9);
  EXPECT_TRUE(capture.boxes().empty());
  EXPECT_EQ(slurp("FIRST.TXT"), "disk");
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedArchiveTest, ::testing::ValuesIn(kDamage),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileTest, UndamagedControlArchiveLoads) {
  EXPECT_EQ(start(damaged([](std::string&, std::string&) {})), 1);
  EXPECT_EQ(slurp("first.txt"), "1111");
  EXPECT_EQ(slurp("B"), "22");
}

TEST_F(FileTest, FilesLeftOpenAreReportedAndClosed) {
  write_file("a.txt", "a");
  config.reportSwitch = 1;
  ASSERT_EQ(zr_io_init(&config), 1);
  int32_t before = zr_mem_used();
  ZR_FILE* file = zr_io_fopen("a.txt", "rb");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(zr_io_open_count(), 1);
  EXPECT_EQ(zr_io_fopen("missing.txt", "rb"), nullptr);
  ASSERT_EQ(capture.boxes().size(), 1u);
  EXPECT_EQ(capture.boxes()[0].text, "In module File I/O \n\n Could not open file\n\nmissing.txt");
  zr_io_deinit();
  ASSERT_EQ(capture.boxes().size(), 3u);
  EXPECT_EQ(capture.boxes()[1].text,
            "In module File I/O \n\n One or more files were not closed\n\n");
  EXPECT_EQ(capture.boxes()[2].text, "Name: 'a.txt' File not closed.");
  EXPECT_EQ(capture.boxes()[2].caption, "File I/O Info");
  EXPECT_EQ(zr_io_open_count(), 0);
  EXPECT_LT(zr_mem_used(), before);  // the record, its name and the list are gone
  EXPECT_EQ(zr_io_fclose(nullptr), EOF);
}

TEST_F(FileTest, DirectoryPartOfAPath) {
  struct Case {
    const char* path;
    int size;
    const char* dir;
    int result;
  };
  const Case cases[] = {
      {"DATA\\FILE.TXT", 64, "DATA\\", 5}, {"FILE.TXT", 64, "", 0},
      {"\\FILE.TXT", 64, "", 0},           {"C:FILE", 64, "C:", 2},
      {"A\\B\\C.TXT", 64, "A\\B\\", 4},    {"DATA\\FILE.TXT", 5, "", -1},
      {"DATA\\FILE.TXT", 6, "DATA\\", 5},
  };
  for (const Case& c : cases) {
    char out[64] = "stale";
    EXPECT_EQ(zr_io_fgetdir(c.path, out, c.size), c.result) << c.path;
    EXPECT_STREQ(out, c.dir) << c.path;
  }
  EXPECT_EQ(zr_error_last_code(), 17);
  EXPECT_EQ(zr_io_fgetdir(nullptr, nullptr, 0), 0);
}

TEST_F(FileTest, DiskNamesAreFoundInAnyCase) {
  write_file("Data/Level/Map.TXT", "map");
  write_file("exact.txt", "lower");
  write_file("EXACT.TXT", "upper");
  ASSERT_EQ(zr_io_init(&config), 1);
  char path[ZR_PATH_MAX];
  zr_io_disk_path("DATA\\level\\map.txt", path, sizeof path);
  EXPECT_STREQ(path, "Data/Level/Map.TXT");
  zr_io_disk_path("data\\Level\\new.txt", path, sizeof path);
  EXPECT_STREQ(path, "Data/Level/new.txt");  // a new file keeps its given name
  zr_io_disk_path("Exact.txt", path, sizeof path);
  EXPECT_STREQ(path, "EXACT.TXT");  // the same choice whatever the folder's order
  EXPECT_EQ(slurp("data\\LEVEL\\MAP.txt"), "map");
  EXPECT_EQ(slurp("exact.txt"), "lower");
  EXPECT_EQ(slurp("EXACT.TXT"), "upper");
  std::string absolute = (dir.path / "DATA" / "LEVEL" / "MAP.TXT").string();
  EXPECT_EQ(slurp(absolute.c_str()), "map");
}

TEST_F(FileTest, StartDirectoryAndSettingsPath) {
  std::strcpy(config.settingsName, "zrsentry.ini");
  ASSERT_EQ(zr_io_init(&config), 1);
  std::string start = zr_io_start_dir();
  EXPECT_EQ(start, std::filesystem::current_path().string() + "\\");
  const char* settings = zr_io_settings_path();
  ASSERT_NE(settings, nullptr);
  EXPECT_EQ(std::string(settings), start + "zrsentry.ini");
  EXPECT_EQ(zr_io_settings_path(), settings);
  char path[ZR_PATH_MAX * 2];
  zr_io_disk_path(settings, path, sizeof path);
  EXPECT_EQ(std::string(path), (dir.path / "zrsentry.ini").string());
  zr_io_deinit();
  config.settingsName[0] = '\0';
  ASSERT_EQ(zr_io_init(&config), 1);
  EXPECT_EQ(zr_io_settings_path(), nullptr);
}

TEST_F(FileTest, CopyFileFromTheArchive) {
  ASSERT_EQ(start({make_entry("DATA\\SAVE.DAT", every_byte(2))}), 1);
  EXPECT_EQ(zr_io_copy_file("copy.bin", "data\\save.dat", ZR_IO_ARCHIVE), 1);
  EXPECT_EQ(read_file("copy.bin"), every_byte(2));
  EXPECT_EQ(zr_io_copy_file("copy2.bin", "data\\save.dat", ZR_IO_DISK), 0);
}

// With names confined (as in the game), a name that is absolute, names a drive or climbs out
// opens nothing and writes nothing, not even when the archive holds it; names inside the start
// directory or an allowed folder open as before.
TEST_F(FileTest, ConfinedNamesStayInsideTheGamesFolders) {
  write_file("game/inside.txt", "in");
  write_file("elsewhere/other.txt", "other");
  std::filesystem::current_path(dir.path / "game");
  ASSERT_EQ(start({make_entry("DATA\\A.TXT", "a"), make_entry("..\\UP.TXT", "up")}), 1);
  zr_io_confine_names(1);
  const std::string start = (dir.path / "game").string();
  const std::string other = (dir.path / "elsewhere").string();
  struct Case {
    std::string name;
    bool opens;
  };
  const Case cases[] = {
      {"inside.txt", true},
      {"data\\a.txt", true},
      {start + "/inside.txt", true},
      {start + "\\inside.txt", true},
      {"sub\\..\\inside.txt", false},
      {"..\\up.txt", false},
      {"../elsewhere/other.txt", false},
      {other + "/other.txt", false},
      {start + "/../elsewhere/other.txt", false},
      {"/etc/hostname", false},
      {"\\etc\\hostname", false},
      {"C:\\inside.txt", false},
      {"c:inside.txt", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(zr_io_name_allowed(c.name.c_str()), c.opens ? 1 : 0);
    ZR_FILE* file = zr_io_fopen(c.name.c_str(), "rb");
    EXPECT_EQ(file != nullptr, c.opens);
    if (file != nullptr) zr_io_fclose(file);
    if (!c.opens) {
      EXPECT_EQ(zr_error_last_code(), 1);
      EXPECT_EQ(zr_io_exists(c.name.c_str(), ZR_IO_ARCHIVE | ZR_IO_DISK), 0);
    }
  }
  // Writes that would land outside: nothing appears beside the game's folder.
  for (const char* name : {"..\\evil.txt", "../evil.txt"}) {
    EXPECT_EQ(zr_io_fopen(name, "wb"), nullptr) << name;
    EXPECT_EQ(zr_io_copy_file(name, "inside.txt", ZR_IO_DISK), 0) << name;
  }
  EXPECT_EQ(zr_io_fopen((other + "/new.txt").c_str(), "wb"), nullptr);
  EXPECT_FALSE(std::filesystem::exists(dir.path / "evil.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir.path / "elsewhere" / "new.txt"));

  // An allowed folder (the player's) opens; forgetting it closes it again.
  EXPECT_EQ(zr_io_allow_folder("relative"), 0);
  EXPECT_EQ(zr_io_allow_folder((start + "/../elsewhere").c_str()), 0);
  EXPECT_EQ(zr_io_allow_folder(other.c_str()), 1);
  EXPECT_EQ(slurp((other + "/other.txt").c_str()), "other");
  EXPECT_EQ(slurp((other + "/../game/inside.txt").c_str()), "<none>");
  zr_io_allow_folder(nullptr);
  EXPECT_EQ(slurp((other + "/other.txt").c_str()), "<none>");

  // Switched off (tools, tests), the user's own names open anywhere.
  zr_io_confine_names(0);
  EXPECT_EQ(slurp((other + "/other.txt").c_str()), "other");
  EXPECT_EQ(slurp("..\\elsewhere\\other.txt"), "other");
  std::filesystem::current_path(dir.path);
}

// A FLIC opens from the place its caller names: 1 the archive only, 2 the disk only.
TEST_F(FileTest, OpensFromTheNamedPlacesOnly) {
  write_file("loose.txt", "disk");
  ASSERT_EQ(start({make_entry("PACKED.TXT", "archive")}), 1);
  struct Case {
    const char* name;
    int places;
    bool opens;
  };
  const Case cases[] = {
      {"packed.txt", ZR_IO_ARCHIVE, true},
      {"packed.txt", ZR_IO_DISK, false},
      {"loose.txt", ZR_IO_ARCHIVE, false},
      {"loose.txt", ZR_IO_DISK, true},
      {"loose.txt", 3, true},
      {"packed.txt", 0, false},
  };
  for (const Case& c : cases) {
    ZR_FILE* file = zr_io_fopen_in(c.name, "rb", c.places);
    EXPECT_EQ(file != nullptr, c.opens) << c.name << " " << c.places;
    if (file != nullptr) zr_io_fclose(file);
  }
}

}  // namespace
