// File layer: every data file opens from the data archive first, then from the disk. Keeps a list
// of open files (reported at shut-down) and offers stream operations that behave alike for both.
//
// On disk, the data's '\' separators become '/', and a path component that does not exist with
// its exact case is looked up case-insensitively.
//
// Confined names (zr_io_confine_names, which the game switches on at start-up): a name then opens
// or is written only when it is relative and never climbs with "..", or when it lies inside the
// start directory or a folder allowed with zr_io_allow_folder. Names read from data files are
// relative to the start directory; the program's own paths (the settings path, snapshots) are
// built on it. Tools and tests that open files named by their user leave it off.
#pragma once
#include <cstdint>
#include <cstdio>

constexpr uint32_t ZR_ARCHIVE_MAGIC = 0xBABEFACE;
constexpr int ZR_ARCHIVE_TRAILER_SIZE = 13;
constexpr int ZR_PATH_MAX = 260;

// Where a file may be found (zr_io_exists).
constexpr int ZR_IO_ARCHIVE = 1;
constexpr int ZR_IO_DISK = 2;

struct ZR_IO_CONFIG {
  int32_t reportSwitch;
  char archiveName[56];   // empty: no archive
  char settingsName[56];  // the INIFile value, filled by the application after start-up
};

struct ZR_FILE {
  FILE* stream;
  char* name;  // a string of the string module
  int32_t open;
  int32_t entry;  // 0 for a disk file, else the archive entry's index + 1
};

int zr_io_init(ZR_IO_CONFIG* config);
int zr_io_deinit();

ZR_FILE* zr_io_fopen(const char* name, const char* mode);
// Opens name only from the places given (ZR_IO_ARCHIVE, ZR_IO_DISK or both, archive first).
ZR_FILE* zr_io_fopen_in(const char* name, const char* mode, int places);
int zr_io_fclose(ZR_FILE* file);
size_t zr_io_fread(void* buffer, size_t size, size_t count, ZR_FILE* file);
size_t zr_io_fwrite(const void* buffer, size_t size, size_t count, ZR_FILE* file);
int zr_io_fgetc(ZR_FILE* file);
int zr_io_fputc(int byte, ZR_FILE* file);
int zr_io_fputs(const char* text, ZR_FILE* file);
char* zr_io_fgets(char* buffer, int length, ZR_FILE* file);
int zr_io_fseek(ZR_FILE* file, long offset, int origin);
long zr_io_ftell(ZR_FILE* file);
int zr_io_feof(ZR_FILE* file);
void zr_io_rewind(ZR_FILE* file);
int zr_io_fflush(ZR_FILE* file);

int zr_io_fgetdir(const char* path, char* out, int size);
// 1 when name is relative, names no drive ("C:") and has no ".." component; else 0.
int zr_io_name_confined(const char* name);
// 1 when the layer lets name be opened or written (see above); else 0.
int zr_io_name_allowed(const char* name);
// Switches the confinement of names on (1) or off (0) for the rest of the program.
void zr_io_confine_names(int on);
// Allows names inside folder (an absolute path, such as the player's folder) besides the start
// directory, for the rest of the program; nullptr forgets every allowed folder. 0 when refused.
int zr_io_allow_folder(const char* folder);
// Makes a new or rewritten file durable: flushes stream to the disk (fsync). 0 on failure.
int zr_io_sync_stream(FILE* stream);
// Makes a rename or creation inside the folder of path durable (fsync of the folder).
int zr_io_sync_folder_of(const char* path);
int zr_io_exists(const char* name, int places);
int zr_io_copy_file(const char* destination, const char* source, int places);

// The start directory, ending in '\' (captured at start-up).
const char* zr_io_start_dir();
// Number of files open through the layer.
int zr_io_open_count();
// The module number of "File I/O" with the error service (the keyed-text reader reports there).
int zr_io_module();
// Number of archive entries loaded (0 when no archive).
int zr_io_archive_entries();
// The first name of archive entry index (0-based, upper case), or nullptr.
const char* zr_io_archive_name(int index);

// Turns a data path ('\' separators, any case) into a path for the disk: '/' separators, each
// component matched case-insensitively when the exact name does not exist. Plain C file functions
// outside the layer (rename, remove) use it too.
void zr_io_disk_path(const char* name, char* out, int size);

// The player's own files (settings, high scores, snapshots, Warning.txt) go to the player folder:
// the start directory when it is writable, so that a portable folder keeps everything together,
// else the platform's per-user folder. Chosen by zr_io_init.
//
// The player folder, ending in a separator: the start directory ('\') or the per-user folder ('/');
// "" (the current directory) while the layer is not started.
const char* zr_io_player_dir();
// 1 when the player folder is the start directory (the player's files are the data's own).
int zr_io_player_dir_is_start();
// The name under which the player's file `name` (a data path such as SCRFile) is read: its copy in
// the player folder when there is one, else name itself (archive first, then the start directory).
// 0 when out is too small.
int zr_io_player_read_name(const char* name, char* out, int size);
// The name under which it is written: name itself when the player folder is the start directory,
// else its copy in the player folder, which a file that so far exists only in the data (archive or
// start directory) becomes first. 0 when the copy fails or out is too small.
int zr_io_player_write_name(const char* name, char* out, int size);

// Whether a folder (a disk path) takes new files. Tests replace the check (a folder that is not
// writable stays writable for root); nullptr restores it.
using ZR_IO_WRITABLE_CHECK = int (*)(const char* folder);
void zr_io_set_writable_check(ZR_IO_WRITABLE_CHECK check);
