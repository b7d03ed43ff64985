// zrtool: looks inside the game's pictures.
//   zrtool pcx-info FILE              header fields of a PCX file
//   zrtool pcx-to-png FILE OUT.png    decoded as the world engine decodes it, with the file's
//   palette zrtool png-to-pcx IN.png OUT.pcx  an 8-bit paletted PNG written as the game's PCX
//   zrtool flic-frames FILE OUTDIR    every frame of a FLIC as frameNNNN.png
// A file it cannot read gives a one-line message on standard error and exit status 1.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/core/memory.h"
#include "engine/display/bitmap.h"
#include "engine/display/flic.h"
#include "engine/display/snapshot.h"
#include "engine/platform/message_box.h"
#include "tools/zrtool/png_file.h"
#include "world/pcx.h"
#include "world/world_error.h"

namespace {

int fail(const std::string& message) {
  std::fprintf(stderr, "zrtool: %s\n", message.c_str());
  return 1;
}

int usage() {
  std::fprintf(stderr,
               "usage: zrtool pcx-info FILE\n"
               "       zrtool pcx-to-png FILE OUT.png\n"
               "       zrtool png-to-pcx IN.png OUT.pcx\n"
               "       zrtool flic-frames FILE OUTDIR\n");
  return 2;
}

std::vector<uint8_t> read_all(const std::string& path, bool* ok) {
  std::ifstream in(path, std::ios::binary);
  *ok = static_cast<bool>(in);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

int u16(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8);
}
int i16(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<int16_t>(u16(b, at));
}

// The palette that ends a 256-colour PCX, or nullptr when the file has none.
const uint8_t* pcx_palette(const std::vector<uint8_t>& b) {
  if (b.size() < 128 + 769 || b[b.size() - 769] != 0x0C) return nullptr;
  return b.data() + b.size() - 768;
}

int pcx_info(const std::string& path) {
  bool ok = false;
  const std::vector<uint8_t> b = read_all(path, &ok);
  if (!ok) return fail("cannot open " + path);
  if (b.size() < 128) return fail(path + " is too short for a PCX header");
  const int xmin = i16(b, 4), ymin = i16(b, 6), xmax = i16(b, 8), ymax = i16(b, 10);
  std::printf("file: %s (%zu bytes)\n", path.c_str(), b.size());
  std::printf("manufacturer: %d%s\n", b[0], b[0] == 10 ? "" : " (not 10: not a PCX file?)");
  std::printf("version: %d\n", b[1]);
  std::printf("encoding: %d%s\n", b[2], b[2] == 1 ? " (run-length)" : "");
  std::printf("bits per pixel: %d\n", b[3]);
  std::printf("planes: %d\n", b[65]);
  std::printf("window: %d,%d - %d,%d\n", xmin, ymin, xmax, ymax);
  std::printf("size: %d x %d\n", xmax - xmin + 1, ymax - ymin + 1);
  std::printf("bytes per line: %d\n", i16(b, 66));
  std::printf("resolution: %d x %d\n", u16(b, 12), u16(b, 14));
  std::printf("palette kind: %d\n", u16(b, 68));
  std::printf("256-colour palette: %s\n", pcx_palette(b) ? "yes" : "no");
  const bool game = b[0] == 10 && b[2] == 1 && b[3] == 8 && b[65] == 1 && xmax >= xmin &&
                    ymax >= ymin && xmax - xmin < PCX_MAX_SIDE && ymax - ymin < PCX_MAX_SIDE &&
                    i16(b, 66) >= xmax - xmin + 1;
  std::printf("readable by the game: %s\n", game ? "yes" : "no");
  return 0;
}

// The world engine's reader ends the program on a bad file; here its report becomes the tool's
// one-line message instead.
struct WorldFailure {};
[[noreturn]] void throw_on_exit(int) {
  throw WorldFailure{};
}
int quiet_box(const char*, const char*, uint32_t) {
  return IDOK;
}

int pcx_to_png(const std::string& path, const std::string& out) {
  bool ok = false;
  const std::vector<uint8_t> bytes = read_all(path, &ok);
  if (!ok) return fail("cannot open " + path);
  zr_message_box_set_hook(quiet_box);
  world_set_exit_handler(throw_on_exit);
  Picture picture{};
  try {
    load_pcx_file(path.c_str(), 236, 10, 10, &picture);
  } catch (const WorldFailure&) {
    std::string message = world_last_error();
    if (message.rfind("Error: ", 0) == 0) message.erase(0, 7);
    return fail(message);
  }
  PalettedImage image;
  image.width = picture.width;
  image.height = picture.height;
  image.pixels.assign(picture.pixels,
                      picture.pixels + static_cast<size_t>(picture.width) * picture.height);
  zr_mem_free(picture.pixels);
  const uint8_t* palette = pcx_palette(bytes);
  if (palette) {
    image.palette.assign(palette, palette + 768);
  } else {
    // No palette in the file: a grey ramp shows the indices.
    image.palette.resize(768);
    for (int i = 0; i < 768; ++i) image.palette[i] = static_cast<uint8_t>(i / 3);
  }
  const std::string error = png_write_paletted(out, image);
  return error.empty() ? 0 : fail(error);
}

int png_to_pcx(const std::string& path, const std::string& out) {
  PalettedImage image;
  const std::string error = png_read_paletted(path, &image);
  if (!error.empty()) return fail(error);
  ZR_BITMAP bitmap{};
  bitmap.width = bitmap.w = static_cast<int16_t>(image.width);
  bitmap.height = bitmap.h = static_cast<int16_t>(image.height);
  bitmap.bpp = 8;
  bitmap.pixels = image.pixels.data();
  bitmap.palette = image.palette.data();
  if (!zr_bitmap_save_pcx(&bitmap, out.c_str(), nullptr)) return fail("cannot write " + out);
  return 0;
}

int flic_frames(const std::string& path, const std::string& outDir) {
  ZR_ANIM anim{};
  if (!zr_anim_load(&anim, path.c_str(), 2)) return fail(path + " is not a FLIC file it can read");
  std::error_code ec;
  std::filesystem::create_directories(outDir, ec);
  if (ec) {
    zr_anim_free(&anim);
    return fail("cannot create " + outDir);
  }
  PalettedImage image;
  image.width = anim.width;
  image.height = anim.height;
  for (int k = 1; k <= anim.frames; ++k) {
    zr_anim_next(&anim, 1);
    image.pixels.assign(anim.pixels, anim.pixels + anim.size);
    image.palette.assign(anim.palette, anim.palette + 768);
    char name[32];
    std::snprintf(name, sizeof name, "frame%04d.png", k);
    const std::string error =
        png_write_paletted((std::filesystem::path(outDir) / name).string(), image);
    if (!error.empty()) {
      zr_anim_free(&anim);
      return fail(error);
    }
  }
  std::printf("%d frames of %d x %d written to %s\n", anim.frames, anim.width, anim.height,
              outDir.c_str());
  zr_anim_free(&anim);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  const std::string command = argv[1];
  if (command == "pcx-info" && argc == 3) return pcx_info(argv[2]);
  if (command == "pcx-to-png" && argc == 4) return pcx_to_png(argv[2], argv[3]);
  if (command == "png-to-pcx" && argc == 4) return png_to_pcx(argv[2], argv[3]);
  if (command == "flic-frames" && argc == 4) return flic_frames(argv[2], argv[3]);
  return usage();
}
