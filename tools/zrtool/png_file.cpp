#include "tools/zrtool/png_file.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

std::string png_write_paletted(const std::string& path, const PalettedImage& image) {
  if (image.width <= 0 || image.height <= 0 || image.palette.size() < 768 ||
      image.pixels.size() < static_cast<size_t>(image.width) * image.height) {
    return "nothing to write";
  }
  File file(std::fopen(path.c_str(), "wb"));
  if (!file) return "cannot create " + path;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, &info);
    return "libpng could not start";
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return "cannot write " + path;
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
               static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_PALETTE,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_color colours[256];
  for (int i = 0; i < 256; ++i) {
    colours[i].red = image.palette[3 * i];
    colours[i].green = image.palette[3 * i + 1];
    colours[i].blue = image.palette[3 * i + 2];
  }
  png_set_PLTE(png, info, colours, 256);
  png_write_info(png, info);
  for (int y = 0; y < image.height; ++y) {
    png_write_row(png, image.pixels.data() + static_cast<size_t>(y) * image.width);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  if (std::fflush(file.get()) != 0) return "cannot write " + path;
  return "";
}

std::string png_read_paletted(const std::string& path, PalettedImage* image) {
  File file(std::fopen(path.c_str(), "rb"));
  if (!file) return "cannot open " + path;
  uint8_t signature[8] = {};
  if (std::fread(signature, 1, 8, file.get()) != 8 || png_sig_cmp(signature, 0, 8) != 0) {
    return path + " is not a PNG file";
  }
  std::vector<png_bytep> rows;  // declared before setjmp: a long jump must not skip it
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_read_struct(&png, &info, nullptr);
    return "libpng could not start";
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return path + " is damaged";
  }
  png_init_io(png, file.get());
  png_set_sig_bytes(png, 8);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  const int colourType = png_get_color_type(png, info);
  const int depth = png_get_bit_depth(png, info);
  png_colorp colours = nullptr;
  int count = 0;
  if (colourType != PNG_COLOR_TYPE_PALETTE || depth > 8 ||
      !png_get_PLTE(png, info, &colours, &count)) {
    png_destroy_read_struct(&png, &info, nullptr);
    return path + " is not an 8-bit paletted PNG";
  }
  if (width > 16384 || height > 16384) {
    png_destroy_read_struct(&png, &info, nullptr);
    return path + " is larger than 16384 x 16384";
  }
  if (png_get_interlace_type(png, info) != PNG_INTERLACE_NONE) png_set_interlace_handling(png);
  if (depth < 8) png_set_packing(png);  // one index per byte
  png_read_update_info(png, info);
  image->width = static_cast<int>(width);
  image->height = static_cast<int>(height);
  image->pixels.assign(static_cast<size_t>(width) * height, 0);
  image->palette.assign(768, 0);
  for (int i = 0; i < count && i < 256; ++i) {
    image->palette[3 * i] = colours[i].red;
    image->palette[3 * i + 1] = colours[i].green;
    image->palette[3 * i + 2] = colours[i].blue;
  }
  rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) rows[y] = image->pixels.data() + y * width;
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return "";
}
