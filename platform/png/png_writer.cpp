// PNG files written through libpng, for the authors' tools and tests.
#include <png.h>

#include <csetjmp>
#include <cstdio>

#include "platform/png/png_service.hpp"

namespace platform {
namespace {

constexpr int kFastLevel = 1;  // zlib's quickest

void QuietWarning(png_structp, png_const_charp) {}

void JumpOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

}  // namespace

int WritePngFile(const char* path, int32_t width, int32_t height, const uint8_t* rgb,
                 PngCompression compression) {
  FILE* file = std::fopen(path, "wb");
  if (!file) return kPngCannotOpen;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, QuietWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  if (png && info && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (compression == PngCompression::Fast) {
      png_set_compression_level(png, kFastLevel);
      png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    }
    png_write_info(png, info);
    for (int32_t y = 0; y < height; ++y)
      png_write_row(png, rgb + static_cast<size_t>(y) * static_cast<size_t>(width) * 3);
    png_write_end(png, info);
    ok = true;
  }
  png_destroy_write_struct(&png, &info);
  if (std::fclose(file) != 0) ok = false;
  if (!ok) std::remove(path);
  return ok ? kPngOk : kPngBadData;
}

}  // namespace platform
