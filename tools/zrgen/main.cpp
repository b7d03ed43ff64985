// zrgen OUTDIR [CONTENTDIR]: draws and writes every data file of the game as loose files under
// OUTDIR with the game's own paths (DATA\TEXTS.TXT, data\..., level\...). The hand-written files of
// CONTENTDIR (default: the source tree's content folder) are copied over first. The same bytes
// come out on every run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/zrgen/attract_pictures.h"
#include "tools/zrgen/backgrounds.h"
#include "tools/zrgen/canvas.h"
#include "tools/zrgen/font.h"
#include "tools/zrgen/fonts.h"
#include "tools/zrgen/levels.h"
#include "tools/zrgen/music.h"
#include "tools/zrgen/palette.h"
#include "tools/zrgen/scenery.h"
#include "tools/zrgen/sounds.h"
#include "tools/zrgen/splash.h"
#include "tools/zrgen/sprites.h"
#include "tools/zrgen/tables.h"
#include "tools/zrgen/textures.h"

namespace fs = std::filesystem;

// Until the game's sprites are linked in, levels are generated without them.
__attribute__((weak)) std::string generate_sprites(const fs::path&) {
  return {};
}

namespace {

// Copies every file of the content folder except its build rules, in name order.
void copy_content(const fs::path& from, const fs::path& to) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(from))
    if (entry.is_regular_file() && entry.path().filename() != "CMakeLists.txt")
      files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    const fs::path target = to / fs::relative(file, from);
    fs::create_directories(target.parent_path());
    fs::copy_file(file, target, fs::copy_options::overwrite_existing);
  }
}

// The level reader ends lines at carriage returns only: give every line a CR LF ending.
std::string crlf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  if (!out.empty() && out.back() != '\n') out += "\r\n";
  return out;
}

// The palette file: a 16 x 16 swatch of every entry, 8 pixels each.
void write_palette_file(const fs::path& dataDir) {
  Canvas c(128, 128);
  for (int y = 0; y < 128; ++y)
    for (int x = 0; x < 128; ++x) c.set(x, y, uint8_t((y / 8) * 16 + x / 8));
  write_pcx(dataDir / "pal.pcx", c, pal::game_palette());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: zrgen OUTDIR [CONTENTDIR]\n");
    return 2;
  }
  const auto started = std::chrono::steady_clock::now();
  try {
    const fs::path out = argv[1];
    const fs::path content = argc > 2 ? fs::path(argv[2]) : fs::path(ZRGEN_CONTENT_DIR);
    const fs::path data = out / "data";
    fs::create_directories(data);
    if (fs::exists(content)) copy_content(content, out);
    write_palette_file(data);
    write_transparency_tables(data, pal::game_palette());
    write_editing_font(data);
    write_fonts(data);
    write_splash(data);
    const auto textures = generate_textures(data);
    const std::string sprites = crlf(generate_sprites(data));
    const std::string scenery = crlf(generate_scenery(data));
    generate_levels(out, textures, sprites, scenery);
    generate_sounds(out);
    generate_music(out);
    write_attract_pictures(data);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zrgen: %s\n", e.what());
    return 1;
  }
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
  std::printf("zrgen: content written in %.0f ms\n", ms);
  return 0;
}
