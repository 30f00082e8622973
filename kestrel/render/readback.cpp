#include "kestrel/render/readback.hpp"

#include <png.h>

#include <cstring>

#include "kestrel/render/gl_context.hpp"
#include "kestrel/render/image.hpp"
#include "kestrel/render/log.hpp"

namespace kestrel {

Snapshot ReadPixels(const void* renderTarget) {
  ContextScope scope;
  if (!scope.ok()) return {};
  Snapshot snapshot;
  GLuint framebuffer = 0;
  if (renderTarget) {
    Image* image = FindImage(renderTarget);
    if (!image || !image->framebuffer) return {};
    framebuffer = image->framebuffer;
    snapshot.width = image->width;
    snapshot.height = image->height;
  } else {
    snapshot.width = ScreenWidth();
    snapshot.height = ScreenHeight();
  }
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  std::vector<uint8_t> bottomUp(size_t(snapshot.width) * snapshot.height * 4);
  glReadPixels(0, 0, snapshot.width, snapshot.height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
  const size_t row = size_t(snapshot.width) * 4;
  snapshot.rgba.resize(bottomUp.size());
  for (int y = 0; y < snapshot.height; ++y) {
    std::memcpy(&snapshot.rgba[y * row], &bottomUp[(snapshot.height - 1 - y) * row], row);
  }
  return snapshot;
}

bool WritePng(const std::string& path, const Snapshot& snapshot) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(snapshot.width);
  image.height = static_cast<png_uint_32>(snapshot.height);
  image.format = PNG_FORMAT_RGBA;
  if (!png_image_write_to_file(&image, path.c_str(), 0, snapshot.rgba.data(), 0, nullptr)) {
    Log("%s: %s", path.c_str(), image.message);
    return false;
  }
  return true;
}

}  // namespace kestrel
