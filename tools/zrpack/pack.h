// Data archive writing and reading for the packer: stored files scrambled each with a key of
// its own, then the scrambled table of contents, then the 13-byte trailer.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct PackEntry {
  std::string name;    // relative path, upper case, '\' separators
  std::string second;  // the bare file name, upper case
  std::vector<uint8_t> data;
  uint8_t key = 0;  // every stored byte is exclusive-ored with it
};

// The key of an entry and of a table, derived from names so that the same input always gives
// the same archive; never 0, so that everything stored is scrambled.
uint8_t pack_key(const std::string& text);

// Collects every regular file under folder (recursively) as entries, sorted by name. Returns
// false with a one-line reason when the folder cannot be read, holds no file, or two files would
// get the same name.
bool pack_collect(const std::string& folder, std::vector<PackEntry>& entries, std::string& error);

// The archive bytes for the entries, in their order. False when it would pass 4 GiB.
bool pack_build(const std::vector<PackEntry>& entries, std::vector<uint8_t>& archive,
                std::string& error);

// Reads an archive's entries (data unscrambled), checking the trailer and every entry the way
// the game's file layer does. False with a one-line reason for a damaged archive.
bool pack_read(const std::vector<uint8_t>& archive, std::vector<PackEntry>& entries,
               std::string& error);

// Whole-file helpers.
bool pack_load_file(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);
bool pack_save_file(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

// Writes every entry below folder, its name's '\' becoming folders. Names that would leave the
// folder (absolute, "..", empty parts) are refused.
bool pack_extract(const std::vector<PackEntry>& entries, const std::string& folder,
                  std::string& error);
