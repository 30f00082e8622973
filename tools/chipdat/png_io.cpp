#include "tools/chipdat/png_io.hpp"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>

namespace chipdat {
namespace {

constexpr int kPaletteEntries = 256;
constexpr int kPngSignatureSize = 8;
constexpr uint64_t kMaxImageBytes = 6 * 1024 * 1024;  // the player's picture store

struct PngFailure {
  char text[256] = {};
};

void StoreError(png_structp png, png_const_charp message) {
  auto* failure = static_cast<PngFailure*>(png_get_error_ptr(png));
  std::snprintf(failure->text, sizeof failure->text, "%s", message);
  png_longjmp(png, 1);
}

void QuietWarning(png_structp, png_const_charp) {}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// Checks the decoded layout; returns an empty string when it can be packed.
std::string Unsupported(int colorType, int depth) {
  if (colorType == PNG_COLOR_TYPE_PALETTE) return {};
  const std::string wanted = "; only 8-bit grey, palette or RGB pictures can be packed";
  if (depth != 8) return "has " + std::to_string(depth) + "-bit channels" + wanted;
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_RGB) return {};
  return "has an alpha channel" + wanted;
}

// The libpng steps run in functions of their own whose locals need no
// destructor, so an error's long jump skips nothing.
bool ReadHeader(png_structp png, png_infop info, std::FILE* file) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_init_io(png, file);
  png_set_sig_bytes(png, kPngSignatureSize);
  png_read_info(png, info);
  if (png_get_color_type(png, info) == PNG_COLOR_TYPE_PALETTE) png_set_packing(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  return true;
}

bool ReadRows(png_structp png, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_read_image(png, rows);
  png_read_end(png, nullptr);
  return true;
}

void CopyPalette(png_structp png, png_infop info, int colorType, std::vector<uint8_t>& palette) {
  palette.assign(3 * kPaletteEntries, 0);
  png_colorp colours = nullptr;
  int count = 0;
  if (colorType == PNG_COLOR_TYPE_PALETTE &&
      png_get_PLTE(png, info, &colours, &count) == PNG_INFO_PLTE) {
    for (int i = 0; i < count && i < kPaletteEntries; ++i) {
      palette[3 * i] = colours[i].red;
      palette[3 * i + 1] = colours[i].green;
      palette[3 * i + 2] = colours[i].blue;
    }
    return;
  }
  for (int i = 0; i < kPaletteEntries; ++i)
    palette[3 * i] = palette[3 * i + 1] = palette[3 * i + 2] = static_cast<uint8_t>(i);
}

bool WriteRows(png_structp png, png_infop info, std::FILE* file, const PlaneImage& image) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, image.width, image.height, 8,
               image.planes == 1 ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const std::size_t rowBytes = std::size_t(image.width) * image.planes;
  for (uint32_t y = 0; y < image.height; ++y)
    png_write_row(png, image.pixels.data() + y * rowBytes);
  png_write_end(png, info);
  return true;
}

}  // namespace

bool ReadPlanePng(const std::string& path, PlaneImage& image, std::string& error) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    error = "cannot open " + path;
    return false;
  }
  png_byte signature[kPngSignatureSize];
  if (std::fread(signature, 1, sizeof signature, file.get()) != sizeof signature ||
      png_sig_cmp(signature, 0, sizeof signature) != 0) {
    error = path + " is not a PNG file";
    return false;
  }
  PngFailure failure;
  png_structp png =
      png_create_read_struct(PNG_LIBPNG_VER_STRING, &failure, StoreError, QuietWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = png && info && ReadHeader(png, info, file.get());
  if (ok) {
    const int colorType = png_get_color_type(png, info);
    std::string why = Unsupported(colorType, png_get_bit_depth(png, info));
    if (!why.empty()) {
      error = path + " " + why;
      png_destroy_read_struct(&png, &info, nullptr);
      return false;
    }
    image.width = png_get_image_width(png, info);
    image.height = png_get_image_height(png, info);
    image.planes = colorType == PNG_COLOR_TYPE_RGB ? 3 : 1;
    if (uint64_t(image.width) * image.height * image.planes > kMaxImageBytes) {
      error = path + " is " + std::to_string(image.width) + " x " + std::to_string(image.height) +
              ", larger than any picture the player can hold";
      png_destroy_read_struct(&png, &info, nullptr);
      return false;
    }
    CopyPalette(png, info, colorType, image.palette);
    const std::size_t rowBytes = std::size_t(image.width) * image.planes;
    image.pixels.assign(rowBytes * image.height, 0);
    std::vector<png_bytep> rows(image.height);
    for (uint32_t y = 0; y < image.height; ++y) rows[y] = image.pixels.data() + y * rowBytes;
    ok = ReadRows(png, rows.data());
  }
  if (!ok) error = path + ": " + (failure.text[0] ? failure.text : "cannot read the picture");
  png_destroy_read_struct(&png, &info, nullptr);
  return ok;
}

bool WritePlanePng(const std::string& path, const PlaneImage& image, std::string& error) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    error = "cannot create " + path;
    return false;
  }
  PngFailure failure;
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, &failure, StoreError, QuietWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = png && info && WriteRows(png, info, file, image);
  png_destroy_write_struct(&png, &info);
  if (std::fclose(file) != 0) ok = false;
  if (!ok) {
    std::remove(path.c_str());
    error = "cannot write " + path + (failure.text[0] ? std::string(": ") + failure.text : "");
  }
  return ok;
}

}  // namespace chipdat
