// File layer: the open-file list, the data archive's table of contents, stream operations that
// behave alike for disk files and archived files, and the mapping of data paths onto the disk.
#include "engine/core/fileio.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/core/error.h"
#include "engine/core/list.h"
#include "engine/core/memory.h"
#include "engine/core/zr_string.h"
#include "engine/platform/message_box.h"
#include "engine/platform/user_folder.h"

namespace {

constexpr const char* kFileMessages[] = {
    "malloc failed",
    "Could not open file",
    "Could not write to file",
    "Could not read from file",
    "Could not close file",
    "Could not rename file",
    "Could not remove file",
    "Passed NULL file pointer to zr_io_file_deinit",
    "One or more files were not closed",
    "Could not initialize the resource file",
    "Not enough memory for the resource table of content",
    "Could not open file in the resource",
    "",
    "Can't find the section in the string file",
    "Can't find the key in the string file",
    "Size of the key in the string file is greater than the size of the buffer",
    "Not enough free memory",
    "Buffer passed to this function is too small",
};

// One table entry: the two names (upper case) and the 13 bytes that follow them.
struct ZR_IO_ENTRY {
  char* name;
  char* second;
  uint8_t* data;
};

constexpr int kEntryDataSize = 13;
constexpr int kEntryMinSize = 2 + kEntryDataSize;  // two empty names and the binary fields

int g_module = -1;
ZR_IO_CONFIG* g_config = nullptr;
ZR_LIST* g_files = nullptr;
int g_openCount = 0;
char g_startDir[ZR_PATH_MAX + 2] = "";
char* g_settingsPath = nullptr;
char g_playerDir[ZR_PATH_MAX * 2] = "";
bool g_playerIsStart = true;

// The loaded table of contents.
uint8_t* g_table = nullptr;
ZR_IO_ENTRY* g_entries = nullptr;
int g_entryCount = 0;
std::string g_archivePath;  // the archive on disk, fixed at start-up

// Folders besides the start directory where names may lie, with '/' separators and a '/' at
// the end (the player's folder).
constexpr int kAllowedFolders = 4;
std::array<std::string, kAllowedFolders> g_allowed;
int g_allowedCount = 0;
bool g_confine = false;

uint32_t read_u32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

struct EntryInfo {
  long offset;
  long size;
  uint8_t key;
};

EntryInfo entry_info(int entry) {
  const uint8_t* data = g_entries[entry - 1].data;
  return {static_cast<long>(read_u32(data)), static_cast<long>(read_u32(data + 4)), data[12]};
}

bool in_archive(const ZR_FILE* file) {
  return file->entry > 0 && file->entry <= g_entryCount && g_entries != nullptr;
}

void scramble(uint8_t* bytes, size_t count, uint8_t key) {
  for (size_t i = 0; i < count; ++i) bytes[i] ^= key;
}

void upper_ascii(char* text) {
  for (; *text != '\0'; ++text)
    if (*text >= 'a' && *text <= 'z') *text = static_cast<char>(*text - 'a' + 'A');
}

bool ensure_file_list() {
  if (g_files == nullptr) zr_list_create(&g_files);
  return g_files != nullptr;
}

void free_table() {
  if (g_table != nullptr) zr_mem_free(g_table);
  if (g_entries != nullptr) zr_mem_free(g_entries);
  g_table = nullptr;
  g_entries = nullptr;
  g_entryCount = 0;
  g_archivePath.clear();
}

// Reads and checks the archive's trailer and table. Every entry is checked while walking, so
// that nothing later reads outside the table or outside the archive.
bool load_table(FILE* archive) {
  if (std::fseek(archive, 0, SEEK_END) != 0) return false;
  long fileSize = std::ftell(archive);
  if (fileSize < ZR_ARCHIVE_TRAILER_SIZE) return false;
  uint8_t trailer[ZR_ARCHIVE_TRAILER_SIZE];
  if (std::fseek(archive, fileSize - ZR_ARCHIVE_TRAILER_SIZE, SEEK_SET) != 0) return false;
  if (std::fread(trailer, 1, sizeof trailer, archive) != sizeof trailer) return false;
  uint32_t magic = read_u32(trailer);
  long tableOffset = static_cast<long>(read_u32(trailer + 4));
  uint32_t count = read_u32(trailer + 8);
  uint8_t key = trailer[12];
  if (magic != ZR_ARCHIVE_MAGIC) return false;
  if (tableOffset >= fileSize - ZR_ARCHIVE_TRAILER_SIZE) return false;
  long tableSize = fileSize - tableOffset - ZR_ARCHIVE_TRAILER_SIZE;
  if (count > static_cast<uint32_t>(tableSize / kEntryMinSize)) return false;

  g_table = static_cast<uint8_t*>(zr_mem_malloc(static_cast<size_t>(tableSize)));
  g_entries = static_cast<ZR_IO_ENTRY*>(zr_mem_calloc(count + 1, sizeof(ZR_IO_ENTRY)));
  if (g_table == nullptr || g_entries == nullptr) {
    zr_error_report(g_module, 10);
    return false;
  }
  zr_mem_name(g_table, "archive table of contents");
  if (std::fseek(archive, tableOffset, SEEK_SET) != 0) return false;
  if (std::fread(g_table, 1, static_cast<size_t>(tableSize), archive) !=
      static_cast<size_t>(tableSize))
    return false;
  scramble(g_table, static_cast<size_t>(tableSize), key);

  long at = 0;
  for (uint32_t i = 0; i < count; ++i) {
    char* names[2];
    for (char*& name : names) {
      const void* end = std::memchr(g_table + at, '\0', static_cast<size_t>(tableSize - at));
      if (end == nullptr) return false;
      name = reinterpret_cast<char*>(g_table + at);
      upper_ascii(name);
      at = static_cast<const uint8_t*>(end) - g_table + 1;
    }
    if (tableSize - at < kEntryDataSize) return false;
    uint8_t* data = g_table + at;
    at += kEntryDataSize;
    uint64_t offset = read_u32(data);
    uint64_t size = read_u32(data + 4);
    if (offset + size > static_cast<uint64_t>(tableOffset)) return false;
    g_entries[i] = {names[0], names[1], data};
  }
  g_entryCount = static_cast<int>(count);
  return true;
}

std::string with_slashes(std::string_view name) {
  std::string path(name);
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

bool is_separator(char c) {
  return c == '/' || c == '\\';
}

bool has_climb(std::string_view name) {
  size_t at = 0;
  while (at <= name.size()) {
    size_t end = at;
    while (end < name.size() && !is_separator(name[end])) ++end;
    if (name.substr(at, end - at) == "..") return true;
    at = end + 1;
  }
  return false;
}

bool confined(std::string_view name) {
  if (name.empty() || is_separator(name[0])) return false;
  bool letter = (name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z');
  if (name.size() >= 2 && letter && name[1] == ':') return false;
  return !has_climb(name);
}

// Whether name is a path below folder ('/' separators, ending in '/') that does not climb out.
bool inside(const std::string& folder, const std::string& name) {
  return folder.size() > 1 && name.size() > folder.size() &&
         name.compare(0, folder.size(), folder) == 0 &&
         confined(std::string_view(name).substr(folder.size()));
}

bool allowed(const char* name) {
  if (name == nullptr) return false;
  if (!g_confine || g_startDir[0] == '\0') return true;
  if (confined(name)) return true;
  std::string path = with_slashes(name);
  if (inside(with_slashes(g_startDir), path)) return true;
  // The player's own folder, when the start directory cannot take the player's files.
  if (!g_playerIsStart && inside(with_slashes(g_playerDir), path)) return true;
  for (int i = 0; i < g_allowedCount; ++i)
    if (inside(g_allowed[i], path)) return true;
  return false;
}

// Whether a path exists on the disk as it is written.
bool disk_exists(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0;
}

// The name in folder that equals component apart from case; the smallest such name when there
// are several, so that the choice does not depend on the order of the folder.
std::string case_match(const std::string& folder, const std::string& component) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return component;
  std::string best;
  while (const dirent* entry = ::readdir(dir)) {
    if (::strcasecmp(entry->d_name, component.c_str()) != 0) continue;
    if (best.empty() || std::strcmp(entry->d_name, best.c_str()) < 0) best = entry->d_name;
  }
  ::closedir(dir);
  return best.empty() ? component : best;
}

std::string disk_path(const char* name) {
  std::string path = with_slashes(name);
  if (path.empty() || disk_exists(path)) return path;
  std::string result;
  size_t at = 0;
  if (path[0] == '/') {
    result = "/";
    at = 1;
  }
  while (at <= path.size()) {
    size_t end = path.find('/', at);
    if (end == std::string::npos) end = path.size();
    std::string component = path.substr(at, end - at);
    if (!component.empty()) {
      std::string folder = result;
      std::string candidate = result + component;
      if (component != "." && component != ".." && !disk_exists(candidate))
        candidate = result + case_match(folder, component);
      result = candidate;
    }
    if (end < path.size()) result += '/';
    at = end + 1;
  }
  return result;
}

// The mode for the archive file: reading modes read; any mode that would create, truncate or
// append opens the archive for update instead, so that it is never cut short. Nothing for a mode
// that is none of these.
const char* archive_mode(const char* mode) {
  if (mode[0] != 'r' && mode[0] != 'w' && mode[0] != 'a') return nullptr;
  bool readOnly = mode[0] == 'r' && std::strchr(mode, '+') == nullptr;
  return readOnly ? "rb" : "r+b";
}

// Index + 1 of the first entry named name (either of its names), searching from entry start.
int find_entry(const char* upperName, int start) {
  for (int i = start; i < g_entryCount; ++i)
    if (std::strcmp(g_entries[i].name, upperName) == 0 ||
        std::strcmp(g_entries[i].second, upperName) == 0)
      return i + 1;
  return 0;
}

void upper_copy(const char* name, char* out) {
  std::snprintf(out, ZR_PATH_MAX, "%s", name);
  upper_ascii(out);
}

bool open_in_archive(ZR_FILE* file, const char* name, const char* mode) {
  const char* archiveMode = archive_mode(mode);
  if (g_entries == nullptr || archiveMode == nullptr) return false;
  char upper[ZR_PATH_MAX];
  upper_copy(name, upper);
  for (int entry = find_entry(upper, 0); entry != 0; entry = find_entry(upper, entry)) {
    FILE* stream = std::fopen(g_archivePath.c_str(), archiveMode);
    if (stream == nullptr) {
      zr_error_report(g_module, 11);
      continue;
    }
    if (std::fseek(stream, entry_info(entry).offset, SEEK_SET) != 0) {
      std::fclose(stream);
      zr_error_report(g_module, 11);
      continue;
    }
    file->stream = stream;
    file->entry = entry;
    return true;
  }
  return false;
}

bool open_on_disk(ZR_FILE* file, const char* name, const char* mode) {
  file->stream = std::fopen(disk_path(name).c_str(), mode);
  file->entry = 0;
  return file->stream != nullptr;
}

void release_record(ZR_FILE* file) {
  zr_list_remove(g_files, file);
  if (file->name != nullptr) zr_string_destroy(file->name);
  zr_mem_free(file);
}

// Opens name from the archive and/or the disk, in that order.
ZR_FILE* open_file(const char* name, const char* mode, bool archive, bool disk) {
  if (name == nullptr || name[0] == '\0' || mode == nullptr) {
    zr_error_set_detail("(null)");
    zr_error_report(g_module, 1);
    return nullptr;
  }
  if (!allowed(name)) {
    // A name that would reach outside the game's folders opens nothing, not even in the archive.
    zr_error_set_detail("%s", name);
    zr_error_report(g_module, 1);
    return nullptr;
  }
  if (!ensure_file_list()) {
    zr_error_report(g_module, 0);
    return nullptr;
  }
  auto* file = static_cast<ZR_FILE*>(zr_mem_calloc(1, sizeof(ZR_FILE)));
  if (file == nullptr) {
    zr_error_report(g_module, 0);
    return nullptr;
  }
  zr_list_append(g_files, file);
  zr_string_create(&file->name, name, 0);
  bool opened =
      (archive && open_in_archive(file, name, mode)) || (disk && open_on_disk(file, name, mode));
  if (!opened) {
    zr_error_set_detail("%s", file->name != nullptr ? file->name : name);
    zr_error_report(g_module, 1);
    release_record(file);
    return nullptr;
  }
  file->open = 1;
  g_openCount++;
  return file;
}

bool is_listed(const ZR_FILE* file) {
  if (g_files == nullptr) return false;
  for (ZR_LIST_NODE* node = g_files->first; node != nullptr; node = node->next)
    if (node->element == file) return true;
  return false;
}

// Position inside the entry, and the bytes left before its end (0 past it).
long entry_position(ZR_FILE* file) {
  return std::ftell(file->stream) - entry_info(file->entry).offset;
}

long entry_left(ZR_FILE* file) {
  long left = entry_info(file->entry).size - entry_position(file);
  return left > 0 ? left : 0;
}

// A stream open for update must be positioned between reading and writing.
void before_write(ZR_FILE* file) {
  std::fseek(file->stream, 0, SEEK_CUR);
}
void after_write(ZR_FILE* file) {
  std::fflush(file->stream);
}

int folder_writable(const char* folder) {
  return ::access(folder, W_OK) == 0 ? 1 : 0;
}

ZR_IO_WRITABLE_CHECK g_writable = folder_writable;

// The start directory when it takes new files, else the per-user folder; the start directory
// again when there is none (writes then fail there as they would anyway).
void choose_player_dir() {
  g_playerIsStart = true;
  std::snprintf(g_playerDir, sizeof g_playerDir, "%s", g_startDir);
  std::string start = disk_path(g_startDir);
  if (!g_writable(start.c_str())) {
    char folder[sizeof g_playerDir];
    if (zr_platform_user_folder(folder, sizeof folder)) {
      std::snprintf(g_playerDir, sizeof g_playerDir, "%s", folder);
      g_playerIsStart = false;
    }
  }
  zr_message_box_set_log_folder(disk_path(g_playerDir).c_str());
}

// The player folder's copy of a data path: the folder and the path's last component.
bool player_copy_path(const char* name, char* out, int size) {
  const char* bare = name;
  for (const char* c = name; *c != '\0'; ++c)
    if (*c == '\\' || *c == '/') bare = c + 1;
  int length = std::snprintf(out, static_cast<size_t>(size), "%s%s", g_playerDir, bare);
  return length >= 0 && length < size && bare[0] != '\0';
}

bool copy_name(const char* name, char* out, int size) {
  int length = std::snprintf(out, static_cast<size_t>(size), "%s", name);
  return length >= 0 && length < size;
}

}  // namespace

int zr_io_module() {
  return g_module;
}

int zr_io_init(ZR_IO_CONFIG* config) {
  g_module = zr_error_add_module("File I/O", kFileMessages,
                                 config != nullptr ? &config->reportSwitch : nullptr);
  g_config = config;
  ensure_file_list();
  g_openCount = g_files != nullptr ? zr_list_count(g_files) : 0;

  char cwd[ZR_PATH_MAX + 1];
  if (::getcwd(cwd, sizeof cwd) != nullptr && std::strlen(cwd) < static_cast<size_t>(ZR_PATH_MAX))
    std::snprintf(g_startDir, sizeof g_startDir, "%s", cwd);
  else
    std::snprintf(g_startDir, sizeof g_startDir, ".");  // too long to keep: stay relative
  size_t length = std::strlen(g_startDir);
  if (length == 0 || g_startDir[length - 1] != '\\') std::strcat(g_startDir, "\\");

  choose_player_dir();

  free_table();
  if (config == nullptr || config->archiveName[0] == '\0') return 1;
  std::string path = disk_path(config->archiveName);
  FILE* archive = std::fopen(path.c_str(), "rb");
  if (archive == nullptr) {
    zr_error_set_detail("%s", config->archiveName);
    zr_error_report(g_module, 1);
    zr_error_show();
    return 0;
  }
  bool loaded = load_table(archive);
  std::fclose(archive);
  if (!loaded) {
    free_table();
    zr_error_report(g_module, 9);
    return 0;
  }
  // Kept absolute, so that archived files still open after the current directory changes.
  g_archivePath = path[0] == '/' ? path : disk_path(g_startDir) + path;
  return 1;
}

int zr_io_deinit() {
  if (g_files != nullptr) {
    if (g_openCount > 0) zr_error_report(g_module, 8);
    bool show = g_config != nullptr && g_config->reportSwitch != 0;
    while (auto* file = static_cast<ZR_FILE*>(zr_list_first(g_files))) {
      char text[ZR_PATH_MAX + 64];
      std::snprintf(text, sizeof text, "Name: '%s' File not closed.",
                    file->name != nullptr ? file->name : "");
      if (show) zr_message_box(text, "File I/O Info", MB_OK);
      if (zr_io_fclose(file) != 0) release_record(file);
    }
    zr_list_destroy(g_files);
    g_files = nullptr;
  }
  g_openCount = 0;
  free_table();
  if (g_settingsPath != nullptr) zr_mem_free(g_settingsPath);
  g_settingsPath = nullptr;
  g_config = nullptr;
  g_playerDir[0] = '\0';
  g_playerIsStart = true;
  zr_message_box_set_log_folder(nullptr);
  return 1;
}

ZR_FILE* zr_io_fopen(const char* name, const char* mode) {
  return open_file(name, mode, true, true);
}

ZR_FILE* zr_io_fopen_in(const char* name, const char* mode, int places) {
  return open_file(name, mode, (places & ZR_IO_ARCHIVE) != 0, (places & ZR_IO_DISK) != 0);
}

int zr_io_fclose(ZR_FILE* file) {
  if (file == nullptr || !is_listed(file)) {
    zr_error_report(g_module, 7);
    return EOF;
  }
  int result = file->stream != nullptr ? std::fclose(file->stream) : 0;
  // The stream is gone either way; a failed close keeps the record for the shut-down report.
  file->stream = nullptr;
  if (file->open) g_openCount--;
  file->open = 0;
  if (result != 0) {
    zr_error_report(g_module, 4);
    return result;
  }
  release_record(file);
  return 0;
}

size_t zr_io_fread(void* buffer, size_t size, size_t count, ZR_FILE* file) {
  if (file == nullptr || file->stream == nullptr || buffer == nullptr) return 0;
  if (!in_archive(file)) return std::fread(buffer, size, count, file->stream);
  if (size == 0 || count == 0) return 0;
  // Reading stops at the entry's end: the bytes after it belong to other files.
  size_t wanted = count > SIZE_MAX / size ? SIZE_MAX : size * count;
  size_t left = static_cast<size_t>(entry_left(file));
  size_t bytes = std::fread(buffer, 1, wanted < left ? wanted : left, file->stream);
  scramble(static_cast<uint8_t*>(buffer), bytes, entry_info(file->entry).key);
  return bytes / size;
}

size_t zr_io_fwrite(const void* buffer, size_t size, size_t count, ZR_FILE* file) {
  if (file == nullptr || file->stream == nullptr || buffer == nullptr) return 0;
  if (!in_archive(file)) {
    size_t written = std::fwrite(buffer, size, count, file->stream);
    if (written != count) zr_error_report(g_module, 2);
    return written;
  }
  if (size == 0 || count == 0) return 0;
  // Writing stops at the entry's end, so that the neighbouring files stay intact.
  size_t wanted = count > SIZE_MAX / size ? SIZE_MAX : size * count;
  size_t left = static_cast<size_t>(entry_left(file));
  size_t bytes = (wanted < left ? wanted : left) / size * size;
  uint8_t key = entry_info(file->entry).key;
  const auto* source = static_cast<const uint8_t*>(buffer);
  uint8_t chunk[4096];
  size_t done = 0;
  before_write(file);
  while (done < bytes) {
    size_t piece = bytes - done < sizeof chunk ? bytes - done : sizeof chunk;
    std::memcpy(chunk, source + done, piece);
    scramble(chunk, piece, key);
    size_t written = std::fwrite(chunk, 1, piece, file->stream);
    done += written;
    if (written != piece) break;
  }
  after_write(file);
  if (done != wanted) zr_error_report(g_module, 2);
  return done / size;
}

int zr_io_fgetc(ZR_FILE* file) {
  if (file == nullptr || file->stream == nullptr) return EOF;
  if (!in_archive(file)) return std::fgetc(file->stream);
  if (entry_left(file) <= 0) return EOF;
  int byte = std::fgetc(file->stream);
  return byte == EOF ? EOF : (byte ^ entry_info(file->entry).key);
}

int zr_io_fputc(int byte, ZR_FILE* file) {
  if (file == nullptr || file->stream == nullptr) return EOF;
  int result = EOF;
  if (!in_archive(file)) {
    result = std::fputc(byte, file->stream);
  } else if (entry_left(file) > 0) {
    before_write(file);
    int written = std::fputc((byte & 0xFF) ^ entry_info(file->entry).key, file->stream);
    after_write(file);
    result = written == EOF ? EOF : (byte & 0xFF);
  }
  if (result != (byte & 0xFF)) zr_error_report(g_module, 2);
  return result;
}

int zr_io_fputs(const char* text, ZR_FILE* file) {
  if (file == nullptr || file->stream == nullptr || text == nullptr) return EOF;
  if (!in_archive(file)) {
    int result = std::fputs(text, file->stream);
    if (result == EOF) zr_error_report(g_module, 2);
    return result;
  }
  for (const char* c = text; *c != '\0'; ++c)
    if (zr_io_fputc(static_cast<unsigned char>(*c), file) == EOF) return EOF;
  return 1;
}

char* zr_io_fgets(char* buffer, int length, ZR_FILE* file) {
  if (file == nullptr || file->stream == nullptr || buffer == nullptr || length <= 0)
    return nullptr;
  if (!in_archive(file)) {
    if (std::fgets(buffer, length, file->stream) == nullptr) return nullptr;
    size_t end = std::strlen(buffer);
    while (end > 0 && (buffer[end - 1] == '\n' || buffer[end - 1] == '\r')) buffer[--end] = '\0';
    return buffer;
  }
  long left = entry_left(file);
  if (left <= 0) return nullptr;
  uint8_t key = entry_info(file->entry).key;
  int stored = 0;
  // A last line without its line end is still a line.
  while (stored < length - 1 && left > 0) {
    int raw = std::getc(file->stream);
    if (raw == EOF) break;
    --left;
    int byte = raw ^ key;
    if (byte == '\n' || byte == '\r') {
      // LF CR and CR LF are one line end as well; any other byte is put back.
      int pair = byte == '\n' ? '\r' : '\n';
      int next = left > 0 ? std::getc(file->stream) : EOF;
      if (next != EOF && (next ^ key) != pair) std::ungetc(next, file->stream);
      break;
    }
    buffer[stored++] = static_cast<char>(byte);
  }
  buffer[stored] = '\0';
  return buffer;
}

int zr_io_fseek(ZR_FILE* file, long offset, int origin) {
  if (file == nullptr || file->stream == nullptr) return -1;
  if (!in_archive(file)) return std::fseek(file->stream, offset, origin);
  EntryInfo info = entry_info(file->entry);
  long target;
  if (origin == SEEK_SET)
    target = info.offset + offset;
  else if (origin == SEEK_END)
    target = info.offset + info.size + offset;
  else if (origin == SEEK_CUR)
    target = std::ftell(file->stream) + offset;
  else
    return -1;
  if (target < info.offset) return -1;  // before the entry lie other files
  return std::fseek(file->stream, target, SEEK_SET);
}

long zr_io_ftell(ZR_FILE* file) {
  if (file == nullptr || file->stream == nullptr) return -1;
  if (!in_archive(file)) return std::ftell(file->stream);
  return entry_position(file);
}

int zr_io_feof(ZR_FILE* file) {
  if (file == nullptr || file->stream == nullptr) return 1;
  if (!in_archive(file)) return std::feof(file->stream);
  return entry_left(file) <= 0 ? 1 : 0;
}

void zr_io_rewind(ZR_FILE* file) {
  if (file == nullptr || file->stream == nullptr) return;
  if (!in_archive(file)) {
    std::rewind(file->stream);
    return;
  }
  std::fseek(file->stream, entry_info(file->entry).offset, SEEK_SET);
  std::clearerr(file->stream);
}

int zr_io_fflush(ZR_FILE* file) {
  if (file == nullptr || file->stream == nullptr) return EOF;
  return std::fflush(file->stream);
}

int zr_io_fgetdir(const char* path, char* out, int size) {
  if (path == nullptr || out == nullptr) return 0;
  int length = 0;
  for (int i = static_cast<int>(std::strlen(path)) - 1; i >= 1; --i) {
    if (path[i] == '\\' || path[i] == ':' || path[i] == '/') {
      length = i + 1;
      break;
    }
  }
  if (length >= size) {
    if (size > 0) out[0] = '\0';
    zr_error_set_detail("zr_io_fgetdir (%s)", path);
    zr_error_report(g_module, 17);
    return -1;
  }
  std::memcpy(out, path, static_cast<size_t>(length));
  out[length] = '\0';
  return length;
}

int zr_io_name_confined(const char* name) {
  return name != nullptr && confined(name) ? 1 : 0;
}

int zr_io_name_allowed(const char* name) {
  return allowed(name) ? 1 : 0;
}

void zr_io_confine_names(int on) {
  g_confine = on != 0;
}

int zr_io_allow_folder(const char* folder) {
  if (folder == nullptr) {
    g_allowedCount = 0;
    return 1;
  }
  std::string path = with_slashes(folder);
  if (path.empty() || path[0] != '/' || has_climb(path) || g_allowedCount >= kAllowedFolders)
    return 0;
  if (path.back() != '/') path += '/';
  g_allowed[g_allowedCount++] = path;
  return 1;
}

int zr_io_sync_stream(FILE* stream) {
  if (stream == nullptr || std::fflush(stream) != 0) return 0;
  return ::fsync(::fileno(stream)) == 0 ? 1 : 0;
}

int zr_io_sync_folder_of(const char* path) {
  if (path == nullptr) return 0;
  std::string folder(path);
  size_t slash = folder.rfind('/');
  folder = slash == std::string::npos ? "." : slash == 0 ? "/" : folder.substr(0, slash);
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return 0;
  int synced = ::fsync(fd);
  ::close(fd);
  return synced == 0 ? 1 : 0;
}

int zr_io_exists(const char* name, int places) {
  if (name == nullptr || name[0] == '\0' || !allowed(name)) return 0;
  int found = 0;
  if (places & ZR_IO_ARCHIVE) {
    char upper[ZR_PATH_MAX];
    upper_copy(name, upper);
    if (g_entries != nullptr && find_entry(upper, 0) != 0) {
      found |= ZR_IO_ARCHIVE;
    } else {
      zr_error_set_detail("%s", name);
      zr_error_report(g_module, 1);
    }
  }
  if ((places & ZR_IO_DISK) && disk_exists(disk_path(name))) found |= ZR_IO_DISK;
  return found;
}

int zr_io_copy_file(const char* destination, const char* source, int places) {
  if (destination == nullptr || source == nullptr) return 0;
  if (!allowed(destination)) {
    zr_error_set_detail("%s", destination);
    zr_error_report(g_module, 1);
    return 0;
  }
  ZR_FILE* in = nullptr;
  if (places & ZR_IO_ARCHIVE) in = open_file(source, "rb", true, false);
  if (in == nullptr && (places & ZR_IO_DISK)) in = open_file(source, "rb", false, true);
  if (in == nullptr) return 0;
  FILE* out = std::fopen(disk_path(destination).c_str(), "wb");
  if (out == nullptr) {
    zr_error_set_detail("%s", destination);
    zr_error_report(g_module, 1);
    zr_io_fclose(in);
    return 0;
  }
  char chunk[4096];
  bool ok = true;
  size_t got;
  while ((got = zr_io_fread(chunk, 1, sizeof chunk, in)) > 0) {
    if (std::fwrite(chunk, 1, got, out) != got) {
      zr_error_report(g_module, 2);
      ok = false;
      break;
    }
  }
  if (std::fclose(out) != 0) ok = false;
  zr_io_fclose(in);
  return ok ? 1 : 0;
}

const char* zr_io_start_dir() {
  return g_startDir;
}

int zr_io_open_count() {
  return g_openCount;
}

int zr_io_archive_entries() {
  return g_entryCount;
}

const char* zr_io_archive_name(int index) {
  return index >= 0 && index < g_entryCount ? g_entries[index].name : nullptr;
}

void zr_io_disk_path(const char* name, char* out, int size) {
  if (out == nullptr || size <= 0) return;
  std::snprintf(out, static_cast<size_t>(size), "%s",
                name != nullptr ? disk_path(name).c_str() : "");
}

const char* zr_io_settings_path() {
  if (g_settingsPath != nullptr) return g_settingsPath;
  if (g_config == nullptr || g_config->settingsName[0] == '\0') return nullptr;
  size_t length = std::strlen(g_playerDir) + std::strlen(g_config->settingsName) + 1;
  g_settingsPath = static_cast<char*>(zr_mem_malloc(length));
  if (g_settingsPath == nullptr) {
    zr_error_report(g_module, 16);
    return nullptr;
  }
  std::snprintf(g_settingsPath, length, "%s%s", g_playerDir, g_config->settingsName);
  return g_settingsPath;
}

const char* zr_io_player_dir() {
  return g_playerDir;
}

int zr_io_player_dir_is_start() {
  return g_playerIsStart ? 1 : 0;
}

int zr_io_player_read_name(const char* name, char* out, int size) {
  if (name == nullptr || out == nullptr || size <= 0) return 0;
  char copy[ZR_PATH_MAX * 2];
  if (!g_playerIsStart && player_copy_path(name, copy, sizeof copy) && disk_exists(disk_path(copy)))
    return copy_name(copy, out, size) ? 1 : 0;
  return copy_name(name, out, size) ? 1 : 0;
}

int zr_io_player_write_name(const char* name, char* out, int size) {
  if (name == nullptr || out == nullptr || size <= 0) return 0;
  if (g_playerIsStart) return copy_name(name, out, size) ? 1 : 0;
  char copy[ZR_PATH_MAX * 2];
  if (!player_copy_path(name, copy, sizeof copy) || !copy_name(copy, out, size)) return 0;
  if (disk_exists(disk_path(copy))) return 1;
  // First write: the player's copy starts as the data's file, so that an update keeps the rest.
  if (!zr_io_exists(name, ZR_IO_ARCHIVE | ZR_IO_DISK)) return 1;
  return zr_io_copy_file(copy, name, ZR_IO_ARCHIVE | ZR_IO_DISK);
}

void zr_io_set_writable_check(ZR_IO_WRITABLE_CHECK check) {
  g_writable = check != nullptr ? check : folder_writable;
}
