// Core services: the tracked allocator against the platform's (its records are searched linearly),
// and reading one key from a keyed text file on disk and inside the data archive.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/core/error.h"
#include "engine/core/fileio.h"
#include "engine/core/keyfile.h"
#include "engine/core/list.h"
#include "engine/core/memory.h"
#include "engine/core/zr_string.h"
#include "engine/platform/message_box.h"

namespace {

int32_t g_switch = 0;

void start_core() {
  static bool started = false;
  if (started) return;
  started = true;
  zr_message_box_set_hook([](const char*, const char*, uint32_t) { return IDOK; });
  zr_error_init(&g_switch);
  zr_list_init(&g_switch);
  zr_mem_init(&g_switch);
  zr_string_init(&g_switch);
}

// Allocates n blocks and frees them newest first (as loaders unwind) or oldest first.
void BM_TrackedBlocks(benchmark::State& state) {
  start_core();
  auto n = static_cast<size_t>(state.range(0));
  bool newestFirst = state.range(1) != 0;
  std::vector<void*> blocks(n);
  for (auto _ : state) {
    for (size_t i = 0; i < n; ++i) blocks[i] = zr_mem_malloc(64);
    for (size_t i = 0; i < n; ++i) zr_mem_free(blocks[newestFirst ? n - 1 - i : i]);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * n));
}
BENCHMARK(BM_TrackedBlocks)->ArgsProduct({{100, 1000, 5000}, {0, 1}});

void BM_PlatformBlocks(benchmark::State& state) {
  auto n = static_cast<size_t>(state.range(0));
  std::vector<void*> blocks(n);
  for (auto _ : state) {
    for (size_t i = 0; i < n; ++i) blocks[i] = std::malloc(64);
    for (size_t i = 0; i < n; ++i) std::free(blocks[n - 1 - i]);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * n));
}
BENCHMARK(BM_PlatformBlocks)->Arg(100)->Arg(1000)->Arg(5000);

// A texts file of 40 sections of 25 keys; the key asked for is in the last section.
std::string texts_file() {
  std::string text;
  for (int s = 0; s < 40; ++s) {
    text += "[Section" + std::to_string(s) + "]\r\n";
    for (int k = 0; k < 25; ++k)
      text += "Line_" + std::to_string(k) + "=Some text of a message number " + std::to_string(k) +
              "\r\n";
  }
  return text;
}

// Writes text as the one stored file DATA\\TEXTS.TXT of an archive at path, laid out as the
// packer does (entry key 0x5A, table key 0x33).
void write_archive(const std::string& path, const std::string& text) {
  std::string archive;
  for (char c : text) archive.push_back(static_cast<char>(c ^ 0x5A));
  std::string table = "DATA\\TEXTS.TXT";
  table.push_back('\0');
  table += "TEXTS.TXT";
  table.push_back('\0');
  auto put = [](std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
  };
  put(table, 0);
  put(table, static_cast<uint32_t>(text.size()));
  put(table, 0);
  table.push_back(0x5A);
  auto tableOffset = static_cast<uint32_t>(archive.size());
  for (char c : table) archive.push_back(static_cast<char>(c ^ 0x33));
  put(archive, ZR_ARCHIVE_MAGIC);
  put(archive, tableOffset);
  put(archive, 1);
  archive.push_back(0x33);
  FILE* out = std::fopen(path.c_str(), "wb");
  std::fwrite(archive.data(), 1, archive.size(), out);
  std::fclose(out);
}

// A scratch folder with the texts file on disk or in an archive, and the file layer started.
struct TextsFixture {
  std::string dir;
  std::string name;
  ZR_IO_CONFIG config{};
  explicit TextsFixture(bool archived) {
    start_core();
    char folder[] = "/tmp/zrbench.XXXXXX";
    dir = ::mkdtemp(folder);
    std::string text = texts_file();
    if (archived) {
      std::string path = dir + "/V.DAT";
      write_archive(path, text);
      std::snprintf(config.archiveName, sizeof config.archiveName, "%s", path.c_str());
      name = "DATA\\TEXTS.TXT";
    } else {
      name = dir + "/texts.txt";
      FILE* out = std::fopen(name.c_str(), "wb");
      std::fwrite(text.data(), 1, text.size(), out);
      std::fclose(out);
    }
    zr_io_init(&config);
  }
  ~TextsFixture() {
    zr_io_deinit();
    std::filesystem::remove_all(dir);
  }
};

void BM_KeyRead(benchmark::State& state) {
  TextsFixture texts(state.range(0) != 0);
  char value[256];
  for (auto _ : state) {
    int length = zr_io_get_string("Section39", "Line_24", value, sizeof value, texts.name.c_str());
    if (length == 0) state.SkipWithError("key not found");
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(BM_KeyRead)->Arg(0)->Arg(1)->ArgName("archived");

// The whole file byte by byte, as the level definition reader takes its lines.
void BM_ByteRead(benchmark::State& state) {
  TextsFixture texts(state.range(0) != 0);
  int64_t bytes = 0;
  for (auto _ : state) {
    ZR_FILE* file = zr_io_fopen(texts.name.c_str(), "rb");
    int c;
    while ((c = zr_io_fgetc(file)) != EOF) ++bytes;
    zr_io_fclose(file);
  }
  state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_ByteRead)->Arg(0)->Arg(1)->ArgName("archived");

}  // namespace
