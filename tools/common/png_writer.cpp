#include "tools/common/png_writer.hpp"

#include <vector>

#include "platform/png/png_service.hpp"

using namespace varnel;

namespace tools {
namespace {

uint8_t Widen5(unsigned v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); }

}  // namespace

bool WritePngRgb(const std::string& path, int32_t width, int32_t height, const uint8_t* rgb,
                 std::string* error) {
  const int status = platform::WritePngFile(path.c_str(), width, height, rgb);
  if (status == platform::kPngCannotOpen) *error = "cannot create " + path;
  if (status != platform::kPngOk && status != platform::kPngCannotOpen) *error = "cannot write " + path;
  return status == platform::kPngOk;
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
