#include "kestrel/render/image.hpp"

#include <map>

#include "kestrel/render/log.hpp"

namespace kestrel {
namespace {

std::map<const void*, Image*>& Registry() {
  static std::map<const void*, Image*> images;
  return images;
}

bool AnyTranslucent(const Picture& picture) {
  for (size_t i = 3; i < picture.rgba.size(); i += 4) {
    if (picture.rgba[i] != 255) return true;
  }
  return false;
}

}  // namespace

void SetPicture(Image& image, Picture picture) {
  image.hasAlpha = AnyTranslucent(picture);
  image.width = picture.width;
  image.height = picture.height;
  image.bottomUp = false;
  image.pixels = std::move(picture);
  image.pixelsChanged = true;
}

bool UploadImage(Image& image) {
  if (image.pixelsChanged && !image.pixels.rgba.empty()) {
    if (!image.texture) glGenTextures(1, &image.texture);
    glBindTexture(GL_TEXTURE_2D, image.texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image.pixels.width, image.pixels.height, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, image.pixels.rgba.data());
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    image.pixelsChanged = false;
  }
  return image.texture != 0;
}

void EvictImage(Image& image) {
  if (image.texture && !image.pixelsChanged) image.pixels = Picture{};
}

void ReleaseImage(Image& image) {
  if (image.framebuffer) glDeleteFramebuffers(1, &image.framebuffer);
  if (image.depth) glDeleteRenderbuffers(1, &image.depth);
  if (image.texture) glDeleteTextures(1, &image.texture);
  image.framebuffer = image.depth = image.texture = 0;
}

bool MakeRenderTarget(Image& image, int width, int height) {
  ReleaseImage(image);
  image.width = width;
  image.height = height;
  image.bottomUp = true;
  image.hasAlpha = false;
  glGenTextures(1, &image.texture);
  glBindTexture(GL_TEXTURE_2D, image.texture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glGenRenderbuffers(1, &image.depth);
  glBindRenderbuffer(GL_RENDERBUFFER, image.depth);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
  glGenFramebuffers(1, &image.framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, image.framebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, image.texture, 0);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, image.depth);
  const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  if (complete) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  if (!complete) {
    Log("render target %dx%d is not complete", width, height);
    ReleaseImage(image);
  }
  return complete;
}

void RegisterImage(const void* address, Image* image) { Registry()[address] = image; }
void UnregisterImage(const void* address) { Registry().erase(address); }

Image* FindImage(const void* address) {
  auto it = Registry().find(address);
  return it == Registry().end() ? nullptr : it->second;
}

}  // namespace kestrel
