#include "tools/common/png_writer.hpp"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

using namespace varnel;

namespace tools {
namespace {

void QuietWarning(png_structp, png_const_charp) {}

void JumpOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

uint8_t Widen5(unsigned v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); }

}  // namespace

bool WritePngRgb(const std::string& path, int32_t width, int32_t height, const uint8_t* rgb,
                 std::string* error) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    *error = "cannot create " + path;
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, QuietWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  if (png && info && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int32_t y = 0; y < height; ++y)
      png_write_row(png, rgb + static_cast<size_t>(y) * static_cast<size_t>(width) * 3);
    png_write_end(png, info);
    ok = true;
  }
  png_destroy_write_struct(&png, &info);
  if (std::fclose(file) != 0) ok = false;
  if (!ok) {
    std::remove(path.c_str());
    *error = "cannot write " + path;
  }
  return ok;
}

bool WritePngPicture(const std::string& path, const Picture& picture, std::string* error) {
  std::vector<uint8_t> rgb(static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height) * 3);
  for (size_t i = 0; i < rgb.size() / 3; ++i) {
    const uint16_t pixel = picture.pixels[i];
    rgb[3 * i] = Widen5((pixel >> 10) & 31);
    rgb[3 * i + 1] = Widen5((pixel >> 5) & 31);
    rgb[3 * i + 2] = Widen5(pixel & 31);
  }
  return WritePngRgb(path, picture.width, picture.height, rgb.data(), error);
}

}  // namespace tools
