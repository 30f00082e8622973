// PNG pictures through libpng. Every valid colour type and bit depth loads as
// 8-bit R, G, B: palettes and grey below 8 bits are expanded, 16-bit channels
// keep their high byte, alpha and tRNS transparency are dropped, and libpng
// puts interlaced files together.
//
// libpng reports errors by calling our handler, which jumps back to a
// recovery point inside this file; FatalError is called only from the
// loader's own frame, after libpng's state is released.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include "varnel/media/picture.hpp"
#include "varnel/media/picture_limits.hpp"
#include "varnel/media/pixel_packing.hpp"
#include "varnel/media/resource_archive.hpp"
#include "varnel/failure/fatal_error.hpp"

namespace varnel {

namespace {

constexpr int kSignatureBytes = 8;

// Everything libpng's calls touch lives here, in the loader's frame, so it
// is intact after a jump back from an error.
struct PngReading {
  FILE* file;
  png_structp png;
  png_infop info;
  png_infop endInfo;
  png_uint_32 width;
  png_uint_32 height;
  bool interlaced;
  size_t rowBytes;
  uint8_t* rows;  // one row, or the whole picture when interlaced
  png_bytep* rowPointers;
  uint16_t* pixels;
  char message[160];  // libpng's text of the error
};

void OnPngError(png_structp png, png_const_charp message) {
  auto* reading = static_cast<PngReading*>(png_get_error_ptr(png));
  std::snprintf(reading->message, sizeof reading->message, "%s", message);
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Asks libpng for 8-bit R, G, B whatever the file holds.
void RequestRgb8(PngReading* r) {
  png_set_expand(r->png);  // palette to RGB, grey below 8 bits to 8, tRNS to alpha
  png_set_strip_16(r->png);
  png_set_strip_alpha(r->png);
  png_set_gray_to_rgb(r->png);
  r->interlaced = png_set_interlace_handling(r->png) > 1;
  png_read_update_info(r->png, r->info);
}

// Creates libpng's state and reads up to the first picture data. False when
// libpng failed; its message is in r->message.
bool ReadPngInfo(PngReading* r) {
  r->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, r, OnPngError, OnPngWarning);
  if (!r->png) return false;
  if (setjmp(png_jmpbuf(r->png))) return false;
  r->info = png_create_info_struct(r->png);
  r->endInfo = png_create_info_struct(r->png);
  if (!r->info || !r->endInfo) png_error(r->png, "out of memory");
#ifdef SUITE_FUZZING
  // Let the fuzzer reach past the checksums it cannot forge.
  png_set_crc_action(r->png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
  png_set_option(r->png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
  png_init_io(r->png, r->file);
  png_set_sig_bytes(r->png, kSignatureBytes);
  png_read_info(r->png, r->info);
  r->width = png_get_image_width(r->png, r->info);
  r->height = png_get_image_height(r->png, r->info);
  if (!PictureSizeAcceptable(r->width, r->height)) return true;  // the caller refuses it
  RequestRgb8(r);
  r->rowBytes = png_get_rowbytes(r->png, r->info);
  return true;
}

bool IsRgb8(const PngReading& r) {
  return png_get_channels(r.png, r.info) == 3 && png_get_bit_depth(r.png, r.info) == 8 &&
         r.rowBytes == static_cast<size_t>(r.width) * 3;
}

// Reads the picture data into r->pixels and the chunks after it.
bool ReadPngPixels(PngReading* r) {
  if (setjmp(png_jmpbuf(r->png))) return false;
  if (r->interlaced) {
    png_read_image(r->png, r->rowPointers);
    for (png_uint_32 y = 0; y < r->height; ++y)
      PackRgbPixels(r->rowPointers[y], r->pixels + static_cast<size_t>(r->width) * y,
                    static_cast<int32_t>(r->width));
  } else {
    for (png_uint_32 y = 0; y < r->height; ++y) {
      png_read_row(r->png, r->rows, nullptr);
      PackRgbPixels(r->rows, r->pixels + static_cast<size_t>(r->width) * y,
                    static_cast<int32_t>(r->width));
    }
  }
  png_read_end(r->png, r->endInfo);
  return true;
}

void AllocateRows(PngReading* r) {
  const png_uint_32 rowCount = r->interlaced ? r->height : 1;
  r->rows = static_cast<uint8_t*>(AllocZeroed(static_cast<int32_t>(r->rowBytes * rowCount)));
  if (!r->interlaced) return;
  r->rowPointers = AllocZeroedArray<png_bytep>(static_cast<int32_t>(r->height));
  for (png_uint_32 y = 0; y < r->height; ++y) r->rowPointers[y] = r->rows + r->rowBytes * y;
}

void ReleaseReading(PngReading* r) {
  png_destroy_read_struct(&r->png, &r->info, &r->endInfo);
  std::free(r->rowPointers);
  std::free(r->rows);
  std::fclose(r->file);
}

// Releases everything, then ends the program with `message`.
[[noreturn]] void FailReading(PngReading* r, char* fileName, const char* message) {
  ReleaseReading(r);
  std::free(r->pixels);
  std::free(fileName);
  FatalError(message);
}

[[noreturn]] void FailWithLibpngError(PngReading* r, char* fileName, const char* name) {
  char message[sizeof r->message + kResourceNameField + 32];
  std::snprintf(message, sizeof message, "PNG - data error ! (%s: %s)", name,
                r->message[0] ? r->message : "out of memory");
  FailReading(r, fileName, message);
}

[[noreturn]] void FailAsTooLarge(PngReading* r, char* fileName, const char* name) {
  char message[kResourceNameField + 64];
  std::snprintf(message, sizeof message, "PNG - picture too large ! (%s: %u x %u)", name, r->width,
                r->height);
  FailReading(r, fileName, message);
}

}  // namespace

void LoadPngPicture(const char* name, Picture* picture) {
  char* fileName = ExtractResource(name);
  PngReading reading{};
  reading.file = std::fopen(fileName, "rb");
  if (!reading.file) {
    std::free(fileName);
    FatalErrorFormat("Load PNG Error - file: %s ", name);
  }
  png_byte signature[kSignatureBytes];
  if (std::fread(signature, 1, kSignatureBytes, reading.file) != kSignatureBytes ||
      png_sig_cmp(signature, 0, kSignatureBytes) != 0) {
    std::fclose(reading.file);
    std::free(fileName);
    FatalError("PNG - format error !");
  }

  if (!ReadPngInfo(&reading)) FailWithLibpngError(&reading, fileName, name);
  if (!PictureSizeAcceptable(reading.width, reading.height))
    FailAsTooLarge(&reading, fileName, name);
  if (!IsRgb8(reading)) FailReading(&reading, fileName, "Unsupported PNG (alpha).");

  AllocateRows(&reading);
  reading.pixels = AllocZeroedArray<uint16_t>(static_cast<int32_t>(reading.width * reading.height));
  if (!ReadPngPixels(&reading)) FailWithLibpngError(&reading, fileName, name);

  ReleaseReading(&reading);
  DeleteExtracted(fileName);
  std::free(fileName);
  picture->width = static_cast<int32_t>(reading.width);
  picture->height = static_cast<int32_t>(reading.height);
  picture->pixels = reading.pixels;
}

}  // namespace varnel
