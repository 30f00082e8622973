// Images: everything the 2D calls draw and the scene's surfaces map. An
// image holds RGBA pixels until they go to the graphics memory, then an
// OpenGL texture. Render targets are images with a framebuffer of their own.
#pragma once

#include <epoxy/gl.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;  // rows from the top
};

struct Image {
  std::string name;
  Picture pixels;           // CPU copy, dropped once uploaded and evicted
  bool pixelsChanged = false;
  GLuint texture = 0;
  int width = 0, height = 0;
  bool bottomUp = false;    // rows from the bottom (render targets)
  bool hasAlpha = false;
  // Render targets only.
  GLuint framebuffer = 0;
  GLuint depth = 0;
};

// Replaces the image's picture; it goes to the graphics memory on upload.
void SetPicture(Image& image, Picture picture);
// Sends a changed picture to its texture (context current). True when the
// image has a texture afterwards.
bool UploadImage(Image& image);
// Drops the CPU copy of an uploaded picture.
void EvictImage(Image& image);
// Frees the OpenGL objects (context current).
void ReleaseImage(Image& image);
// Makes `image` a render target of width x height. False on failure.
bool MakeRenderTarget(Image& image, int width, int height);

// The images the 2D calls accept, by the address the caller holds.
void RegisterImage(const void* address, Image* image);
void UnregisterImage(const void* address);
Image* FindImage(const void* address);

}  // namespace kestrel
