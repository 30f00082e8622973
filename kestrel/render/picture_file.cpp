#include "kestrel/render/picture_file.hpp"

#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "kestrel/archive/archive.hpp"
#include "kestrel/render/log.hpp"
#include "platform/jpeg/jpeg_service.hpp"

namespace kestrel {
namespace {

constexpr int kMaxSide = 16384;

bool IsPng(std::span<const uint8_t> bytes) {
  return bytes.size() >= 8 && png_sig_cmp(bytes.data(), 0, 8) == 0;
}

bool IsJpeg(std::span<const uint8_t> bytes) {
  return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

std::optional<Picture> DecodePng(std::span<const uint8_t> bytes, std::string_view name) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
    Log("%.*s: %s", int(name.size()), name.data(), image.message);
    return std::nullopt;
  }
  if (image.width == 0 || image.height == 0 || image.width > kMaxSide || image.height > kMaxSide) {
    Log("%.*s: picture size out of range", int(name.size()), name.data());
    png_image_free(&image);
    return std::nullopt;
  }
  image.format = PNG_FORMAT_RGBA;
  Picture picture;
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  picture.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, picture.rgba.data(), 0, nullptr)) {
    Log("%.*s: %s", int(name.size()), name.data(), image.message);
    png_image_free(&image);
    return std::nullopt;
  }
  return picture;
}

// The JPEG service reads files: the bytes go through a temporary file.
std::optional<Picture> DecodeJpeg(std::span<const uint8_t> bytes, std::string_view name) {
  char path[] = "/tmp/kestrel-jpeg-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) {
    Log("%.*s: no temporary file for decoding", int(name.size()), name.data());
    return std::nullopt;
  }
  const bool written = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  close(fd);
  std::optional<Picture> result;
  platform::JpegHeader header{};
  int status = written ? platform::Jpeg().ReadHeader(path, &header) : platform::kJpegCannotOpen;
  if (status == platform::kJpegOk && (header.width <= 0 || header.height <= 0 ||
                                      header.width > kMaxSide || header.height > kMaxSide)) {
    status = platform::kJpegUnsupported;
  }
  if (status == platform::kJpegOk) {
    std::vector<uint8_t> bgr(size_t(header.width) * header.height * 3);
    const platform::JpegColor colour =
        header.channels == 1 ? platform::JpegColor::Grey : platform::JpegColor::YCbCr;
    status = platform::Jpeg().Decode(path, {colour, header.width, header.height, 0, bgr.data()});
    if (status == platform::kJpegOk) {
      Picture picture;
      picture.width = header.width;
      picture.height = header.height;
      picture.rgba.resize(size_t(header.width) * header.height * 4);
      for (size_t i = 0, n = size_t(header.width) * header.height; i < n; ++i) {
        picture.rgba[i * 4 + 0] = bgr[i * 3 + 2];
        picture.rgba[i * 4 + 1] = bgr[i * 3 + 1];
        picture.rgba[i * 4 + 2] = bgr[i * 3 + 0];
        picture.rgba[i * 4 + 3] = 255;
      }
      result = std::move(picture);
    }
  }
  if (!result) Log("%.*s: JPEG cannot be decoded (%d)", int(name.size()), name.data(), status);
  unlink(path);
  return result;
}

}  // namespace

std::optional<Picture> DecodePicture(std::span<const uint8_t> bytes, std::string_view name) {
  if (IsPng(bytes)) return DecodePng(bytes, name);
  if (IsJpeg(bytes)) return DecodeJpeg(bytes, name);
  Log("%.*s: not a JPEG or PNG picture", int(name.size()), name.data());
  return std::nullopt;
}

std::optional<Picture> LoadPicture(std::string_view name) {
  std::optional<std::vector<uint8_t>> bytes = ReadDataFile(name);
  if (!bytes) {
    Log("%.*s: picture not found", int(name.size()), name.data());
    return std::nullopt;
  }
  return DecodePicture(*bytes, name);
}

}  // namespace kestrel
