// Data archive writing and reading for the packer.
#include "tools/zrpack/pack.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kMagic = 0xBABEFACE;
constexpr size_t kTrailerSize = 13;
constexpr size_t kEntryDataSize = 13;
constexpr size_t kEntryMinSize = 2 + kEntryDataSize;
constexpr size_t kNameMax = 259;  // the longest name the file layer compares

void put_u32(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint32_t get_u32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

std::string upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

}  // namespace

uint8_t pack_key(const std::string& text) {
  uint32_t hash = 2166136261u;  // FNV-1a
  for (unsigned char c : text) hash = (hash ^ c) * 16777619u;
  auto key = static_cast<uint8_t>(hash ^ hash >> 8 ^ hash >> 16 ^ hash >> 24);
  return key != 0 ? key : 0x5A;
}

bool pack_collect(const std::string& folder, std::vector<PackEntry>& entries, std::string& error) {
  entries.clear();
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    error = "not a folder: " + folder;
    return false;
  }
  fs::recursive_directory_iterator it(folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    std::string relative = fs::relative(it->path(), folder, ec).generic_string();
    PackEntry entry;
    entry.name = upper(relative);
    std::replace(entry.name.begin(), entry.name.end(), '/', '\\');
    entry.second = upper(it->path().filename().string());
    if (entry.name.size() > kNameMax) {
      error = "name too long: " + relative;
      return false;
    }
    entry.key = pack_key(entry.name);
    if (!pack_load_file(it->path().string(), entry.data, error)) return false;
    entries.push_back(std::move(entry));
  }
  if (ec) {
    error = "cannot read folder " + folder + ": " + ec.message();
    return false;
  }
  if (entries.empty()) {
    error = "no files in " + folder;
    return false;
  }
  std::sort(entries.begin(), entries.end(),
            [](const PackEntry& a, const PackEntry& b) { return a.name < b.name; });
  for (size_t i = 1; i < entries.size(); ++i) {
    if (entries[i].name == entries[i - 1].name) {
      error = "two files differ only in case: " + entries[i].name;
      return false;
    }
  }
  return true;
}

bool pack_build(const std::vector<PackEntry>& entries, std::vector<uint8_t>& archive,
                std::string& error) {
  archive.clear();
  std::vector<uint8_t> table;
  std::string allNames;
  for (const PackEntry& entry : entries) {
    if (archive.size() + entry.data.size() > UINT32_MAX) {
      error = "archive would be larger than 4 GiB";
      return false;
    }
    auto offset = static_cast<uint32_t>(archive.size());
    for (uint8_t byte : entry.data) archive.push_back(byte ^ entry.key);
    table.insert(table.end(), entry.name.begin(), entry.name.end());
    table.push_back(0);
    table.insert(table.end(), entry.second.begin(), entry.second.end());
    table.push_back(0);
    put_u32(table, offset);
    put_u32(table, static_cast<uint32_t>(entry.data.size()));
    put_u32(table, 0);  // not used by the game
    table.push_back(entry.key);
    allNames += entry.name;
  }
  if (archive.size() + table.size() + kTrailerSize > UINT32_MAX) {
    error = "archive would be larger than 4 GiB";
    return false;
  }
  uint8_t tableKey = pack_key(allNames);
  auto tableOffset = static_cast<uint32_t>(archive.size());
  for (uint8_t byte : table) archive.push_back(byte ^ tableKey);
  put_u32(archive, kMagic);
  put_u32(archive, tableOffset);
  put_u32(archive, static_cast<uint32_t>(entries.size()));
  archive.push_back(tableKey);
  return true;
}

bool pack_read(const std::vector<uint8_t>& archive, std::vector<PackEntry>& entries,
               std::string& error) {
  entries.clear();
  if (archive.size() < kTrailerSize) {
    error = "too short for an archive";
    return false;
  }
  const uint8_t* trailer = archive.data() + archive.size() - kTrailerSize;
  if (get_u32(trailer) != kMagic) {
    error = "not an archive (wrong magic number)";
    return false;
  }
  size_t tableOffset = get_u32(trailer + 4);
  uint32_t count = get_u32(trailer + 8);
  uint8_t tableKey = trailer[12];
  if (tableOffset >= archive.size() - kTrailerSize) {
    error = "table of contents lies past the end";
    return false;
  }
  size_t tableSize = archive.size() - kTrailerSize - tableOffset;
  if (count > tableSize / kEntryMinSize) {
    error = "more entries than the table can hold";
    return false;
  }
  std::vector<uint8_t> table(archive.begin() + static_cast<long>(tableOffset),
                             archive.begin() + static_cast<long>(tableOffset + tableSize));
  for (uint8_t& byte : table) byte ^= tableKey;
  size_t at = 0;
  for (uint32_t i = 0; i < count; ++i) {
    PackEntry entry;
    for (std::string* name : {&entry.name, &entry.second}) {
      auto nul = std::find(table.begin() + static_cast<long>(at), table.end(), 0);
      if (nul == table.end()) {
        error = "entry " + std::to_string(i) + ": name without its end";
        return false;
      }
      name->assign(table.begin() + static_cast<long>(at), nul);
      *name = upper(*name);
      at = static_cast<size_t>(nul - table.begin()) + 1;
    }
    if (tableSize - at < kEntryDataSize) {
      error = "entry " + std::to_string(i) + ": table ends inside the entry";
      return false;
    }
    uint64_t offset = get_u32(&table[at]);
    uint64_t size = get_u32(&table[at + 4]);
    entry.key = table[at + 12];
    at += kEntryDataSize;
    if (offset + size > tableOffset) {
      error = "entry " + entry.name + ": stored bytes lie past the end";
      return false;
    }
    entry.data.assign(archive.begin() + static_cast<long>(offset),
                      archive.begin() + static_cast<long>(offset + size));
    for (uint8_t& byte : entry.data) byte ^= entry.key;
    entries.push_back(std::move(entry));
  }
  return true;
}

bool pack_load_file(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
  bytes.clear();
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) {
    error = "not a file: " + path;
    return false;
  }
  FILE* in = std::fopen(path.c_str(), "rb");
  if (in == nullptr) {
    error = "cannot open " + path;
    return false;
  }
  uint8_t chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0)
    bytes.insert(bytes.end(), chunk, chunk + got);
  bool failed = std::ferror(in) != 0;
  std::fclose(in);
  if (failed) {
    error = "cannot read " + path;
    return false;
  }
  return true;
}

bool pack_save_file(const std::string& path, const std::vector<uint8_t>& bytes,
                    std::string& error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

bool pack_extract(const std::vector<PackEntry>& entries, const std::string& folder,
                  std::string& error) {
  for (const PackEntry& entry : entries) {
    fs::path target = folder;
    size_t at = 0;
    const std::string& name = entry.name;
    while (true) {
      size_t end = name.find('\\', at);
      std::string part = name.substr(at, end == std::string::npos ? std::string::npos : end - at);
      if (part.empty() || part == "." || part == ".." || part.find('/') != std::string::npos ||
          part.find(':') != std::string::npos) {
        error = "refusing to extract the name " + name;
        return false;
      }
      target /= part;
      if (end == std::string::npos) break;
      at = end + 1;
    }
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    if (ec) {
      error = "cannot create " + target.parent_path().string() + ": " + ec.message();
      return false;
    }
    if (!pack_save_file(target.string(), entry.data, error)) return false;
  }
  return true;
}
