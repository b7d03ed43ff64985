// A scratch folder with the core modules started, and archives built in it.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core_services.h"
#include "core_support.h"
#include "engine/core/fileio.h"
#include "tools/zrpack/pack.h"

inline PackEntry make_entry(const std::string& name, const std::string& data) {
  PackEntry entry;
  entry.name = name;
  size_t slash = name.rfind('\\');
  entry.second = slash == std::string::npos ? name : name.substr(slash + 1);
  entry.data.assign(data.begin(), data.end());
  entry.key = pack_key(name);
  return entry;
}

inline std::string archive_bytes(const std::vector<PackEntry>& entries) {
  std::vector<uint8_t> bytes;
  std::string error;
  EXPECT_TRUE(pack_build(entries, bytes, error)) << error;
  return std::string(bytes.begin(), bytes.end());
}

class FileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zrtest::start_core_modules(&reportSwitch);
    config.reportSwitch = 0;
  }
  void TearDown() override {
    EXPECT_EQ(zr_io_open_count(), 0);
    zr_io_deinit();
    zr_io_confine_names(0);
    zr_io_allow_folder(nullptr);
  }
  // Writes the archive as VELDRAN.DAT and starts the file layer with it.
  int start(const std::string& archive) {
    write_file("VELDRAN.DAT", archive);
    std::strcpy(config.archiveName, "VELDRAN.DAT");
    return zr_io_init(&config);
  }
  int start(const std::vector<PackEntry>& entries) { return start(archive_bytes(entries)); }
  // Reads a whole file through the layer.
  std::string slurp(const char* name) {
    ZR_FILE* file = zr_io_fopen(name, "rb");
    if (file == nullptr) return "<none>";
    std::string text;
    char chunk[7];  // odd-sized reads cross every boundary
    size_t got;
    while ((got = zr_io_fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
    zr_io_fclose(file);
    return text;
  }
  std::vector<std::string> lines(const char* name, int length = 255) {
    std::vector<std::string> out;
    ZR_FILE* file = zr_io_fopen(name, "rb");
    if (file == nullptr) return out;
    std::vector<char> buffer(static_cast<size_t>(length));
    while (zr_io_fgets(buffer.data(), length, file) != nullptr) out.push_back(buffer.data());
    zr_io_fclose(file);
    return out;
  }

  zrtest::ScratchFolder dir{"zrcore"};
  BoxCapture capture;
  int32_t reportSwitch = 0;
  ZR_IO_CONFIG config{};
};
