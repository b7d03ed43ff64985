// Keyed text files: values are read by scanning the file from the top for the section header and
// the key. A write builds the whole new file beside the old one, makes it durable and puts it in
// the old one's place with one rename, so that a crash at any instant leaves the old file or the
// new one, whole (inside the archive a value is overwritten in place).
#include "engine/core/keyfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/core/error.h"
#include "engine/core/fileio.h"

namespace {

constexpr int kOpenFailed = 1;
constexpr int kWriteFailed = 2;
constexpr int kRenameFailed = 5;
constexpr int kNoSection = 13;
constexpr int kNoKey = 14;
constexpr int kValueTooBig = 15;

constexpr int kPiece = ZR_KEYFILE_LINE_MAX + 1;  // a line piece and its NUL

void report(int code) {
  zr_error_report(zr_io_module(), code);
}

bool starts_with(const char* line, const char* prefix) {
  return std::strncmp(line, prefix, std::strlen(prefix)) == 0;
}

bool is_header_of(const char* line, const char* section) {
  return line[0] == '[' && starts_with(line + 1, section);
}

// Reads the next line through the file layer, whole. The layer gives a long line in pieces of
// 254 characters; they are joined, so that the rest of a long line is never taken for a line of
// its own (the writer sees lines the same way). False at the end of the file.
bool next_line(ZR_FILE* file, std::string& line) {
  char piece[kPiece];
  if (zr_io_fgets(piece, kPiece, file) == nullptr) return false;
  line.assign(piece);
  size_t length = line.size();
  while (length == static_cast<size_t>(ZR_KEYFILE_LINE_MAX) &&
         zr_io_fgets(piece, kPiece, file) != nullptr) {
    length = std::strlen(piece);
    line.append(piece, length);
  }
  return true;
}

// Reads lines until the section's header. False at the end.
bool find_section(ZR_FILE* file, const char* section, std::string& line) {
  while (next_line(file, line))
    if (is_header_of(line.c_str(), section)) return true;
  return false;
}

// The value text of a key line: one character after the key, or empty when the line is the key.
const char* value_of(const char* line, const char* key) {
  size_t keyLength = std::strlen(key);
  return std::strlen(line) > keyLength ? line + keyLength + 1 : line + std::strlen(line);
}

bool ends_line(const char* piece) {
  size_t length = std::strlen(piece);
  return length > 0 && (piece[length - 1] == '\n' || piece[length - 1] == '\r');
}

// Reads the next raw piece of the old file, line end kept; atStart says whether it begins a line.
struct PieceReader {
  FILE* in;
  char piece[kPiece];
  bool atStart = true;  // the piece just read begins a line
  bool nextAtStart = true;

  bool next() {
    if (std::fgets(piece, sizeof piece, in) == nullptr) return false;
    atStart = nextAtStart;
    nextAtStart = ends_line(piece) || std::feof(in);
    size_t length = std::strlen(piece);
    if (length > 0 && piece[length - 1] == '\r') {
      // A full piece may end between the CR and the LF of one line end.
      int after = std::fgetc(in);
      if (after == '\n') nextAtStart = false;
      if (after != EOF) std::ungetc(after, in);
    }
    return true;
  }
};

// Writes the whole file anew from the old one with the key set. False when a write failed.
bool rewrite(FILE* in, FILE* out, const char* section, const char* key, const char* value) {
  PieceReader reader{in, {}};
  bool lastEnded = true;  // whether the text written so far ends with a line end
  auto copy = [&](const char* text) {
    std::fputs(text, out);
    lastEnded = ends_line(text);
  };

  bool found = false;
  while (reader.next()) {
    copy(reader.piece);
    if (reader.atStart && is_header_of(reader.piece, section)) {
      found = true;
      break;
    }
  }
  if (!found) {
    std::fprintf(out, "\n[%s]\n%s=%s\n", section, key, value);
    return std::ferror(out) == 0;
  }

  // Copy the section's first block of lines up to an empty line, a header or the key's line.
  bool more = false;
  while ((more = reader.next())) {
    if (!reader.atStart) {
      copy(reader.piece);
      continue;
    }
    const char* piece = reader.piece;
    if (piece[0] == '\n' || piece[0] == '\r' || piece[0] == '[' || starts_with(piece, key)) break;
    copy(piece);
  }
  if (!lastEnded) std::fputc('\n', out);  // a last line without its line end stays a line
  std::fprintf(out, "%s=%s\n", key, value);
  lastEnded = true;
  if (more) {
    if (starts_with(reader.piece, key) && reader.piece[0] != '[' && reader.piece[0] != '\n' &&
        reader.piece[0] != '\r') {
      // Drop the old key line, all of its pieces.
      while (!reader.nextAtStart && reader.next()) {
      }
    } else {
      copy(reader.piece);
    }
    while (reader.next()) copy(reader.piece);
  }
  return std::ferror(out) == 0;
}

}  // namespace

int zr_io_get_string(const char* section, const char* key, char* buffer, int size,
                     const char* file) {
  if (buffer != nullptr && size > 0) buffer[0] = '\0';
  if (section == nullptr || key == nullptr || buffer == nullptr || size <= 0 || file == nullptr)
    return 0;
  ZR_FILE* in = zr_io_fopen(file, "rb");
  if (in == nullptr) return 0;
  std::string line;
  if (!find_section(in, section, line)) {
    zr_error_set_detail("%s,[%s]%s", file, section, key);
    report(kNoSection);
    zr_io_fclose(in);
    return 0;
  }
  bool found = false;
  while (next_line(in, line) && line[0] != '[') {
    if (starts_with(line.c_str(), key)) {
      found = true;
      break;
    }
  }
  zr_io_fclose(in);
  if (!found) {
    zr_error_set_detail("%s,[%s]%s", file, section, key);
    report(kNoKey);
    return 0;
  }
  const char* value = value_of(line.c_str(), key);
  int length = static_cast<int>(std::strlen(value));
  if (length < size) {
    std::memcpy(buffer, value, static_cast<size_t>(length) + 1);
    return length;
  }
  std::memcpy(buffer, value, static_cast<size_t>(size) - 1);
  buffer[size - 1] = '\0';
  zr_error_set_detail("[%s]%s=%s", section, key, value);
  report(kValueTooBig);
  return size - 1;
}

int zr_io_get_int(const char* section, const char* key, int32_t* value, const char* file) {
  char text[256];
  int length = zr_io_get_string(section, key, text, sizeof text, file);
  if (value == nullptr) return length;
  if (length == 0) {
    *value = 0;
    return 0;
  }
  errno = 0;
  long number = std::strtol(text, nullptr, 10);
  if (number > INT32_MAX) number = INT32_MAX;
  if (number < INT32_MIN) number = INT32_MIN;
  *value = static_cast<int32_t>(number);
  return length;
}

int zr_io_get_float(const char* section, const char* key, float* value, const char* file) {
  char text[256];
  int length = zr_io_get_string(section, key, text, sizeof text, file);
  if (length > 0 && value != nullptr) std::sscanf(text, "%f", value);
  return length;
}

int zr_io_put_string(const char* section, const char* key, const char* value, const char* file) {
  if (section == nullptr || key == nullptr || value == nullptr || file == nullptr) return 0;
  if (!zr_io_name_allowed(file)) {
    zr_error_set_detail("%s", file);
    report(kOpenFailed);
    return 0;
  }
  if (ZR_FILE* existing = zr_io_fopen(file, "rb")) {
    bool archived = existing->entry != 0;
    zr_io_fclose(existing);
    if (archived) return zr_io_replace_string(section, key, value, file);
  }

  // Resolved once, so that the new file takes the place (and the name's case) of the old one.
  char path[ZR_PATH_MAX * 2];
  zr_io_disk_path(file, path, sizeof path);
  FILE* in = std::fopen(path, "r");
  if (in == nullptr && errno != ENOENT) {
    // A file that is there but cannot be read would be lost by writing it anew.
    zr_error_set_detail("%s", file);
    report(kOpenFailed);
    return 0;
  }
  struct stat old;
  bool keepMode = in != nullptr && ::fstat(::fileno(in), &old) == 0;

  // The new contents go to a file of their own in the same folder; the old file stays untouched
  // until the rename puts the new one in its place.
  std::string temporary = std::string(path) + ".tmp";
  int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  if (fd >= 0 && keepMode) ::fchmod(fd, old.st_mode & 07777);
  FILE* out = fd >= 0 ? ::fdopen(fd, "w") : nullptr;
  if (out == nullptr) {
    if (fd >= 0) ::close(fd);
    if (in != nullptr) std::fclose(in);
    zr_error_set_detail("%s", file);
    report(kOpenFailed);
    return 0;
  }
  bool written = in != nullptr ? rewrite(in, out, section, key, value)
                               : std::fprintf(out, "[%s]\n%s=%s\n", section, key, value) > 0;
  if (in != nullptr) std::fclose(in);
  written = zr_io_sync_stream(out) && written;
  if (std::fclose(out) != 0) written = false;
  if (!written) {
    std::remove(temporary.c_str());
    zr_error_set_detail("%s", file);
    report(kWriteFailed);
    return 0;
  }
  if (std::rename(temporary.c_str(), path) != 0) {
    std::remove(temporary.c_str());
    zr_error_set_detail("%s", file);
    report(kRenameFailed);
    return 0;
  }
  zr_io_sync_folder_of(path);  // the rename itself survives a power cut
  return 1;
}

int zr_io_put_int(const char* section, const char* key, int32_t value, const char* file) {
  char text[256];
  std::snprintf(text, sizeof text, "%d", value);
  return zr_io_put_string(section, key, text, file);
}

int zr_io_put_float(const char* section, const char* key, float value, const char* file) {
  char text[256];
  std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
  return zr_io_put_string(section, key, text, file);
}

int zr_io_replace_string(const char* section, const char* key, const char* value,
                         const char* file) {
  if (section == nullptr || key == nullptr || value == nullptr || file == nullptr) return 0;
  ZR_FILE* io = zr_io_fopen(file, "r+");
  if (io == nullptr) {
    zr_error_set_detail("%s", file);
    report(kOpenFailed);
    return 0;
  }
  std::string line;
  if (!find_section(io, section, line)) {
    zr_error_set_detail("%s, [%s]", file, section);
    report(kNoSection);
    zr_io_fclose(io);
    return 0;
  }
  long start = zr_io_ftell(io);
  bool found = false;
  while (next_line(io, line) && line[0] != '[') {
    if (starts_with(line.c_str(), key)) {
      found = true;
      break;
    }
    start = zr_io_ftell(io);
  }
  if (!found) {
    zr_error_set_detail("%s, [%s]%s", file, section, key);
    report(kNoKey);
    zr_io_fclose(io);
    return 0;
  }
  char text[256];
  int length = std::snprintf(text, sizeof text, "%s=%s", key, value);
  if (length < 0 || length >= static_cast<int>(sizeof text) ||
      static_cast<size_t>(length) != line.size()) {
    zr_error_set_detail("%s, [%s]%s=%s", file, section, key, value);
    report(kValueTooBig);
    zr_io_fclose(io);
    return 0;
  }
  bool written = zr_io_fseek(io, start, SEEK_SET) == 0 && zr_io_fputs(text, io) != EOF;
  zr_io_fclose(io);
  return written ? 1 : 0;
}
