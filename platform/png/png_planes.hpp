// PNG pictures as planes of bytes, for tools that keep palette indices or
// grey values as they are (the PNG service expands everything to RGB).
// Failures come back as false with a message; nothing here ends the process.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// One plane (grey values or palette indices) or three (R, G, B per pixel,
// interleaved), rows top first.
struct PngPlanes {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t planes = 0;           // 1 or 3
  std::vector<uint8_t> pixels;   // width * height * planes
  std::vector<uint8_t> palette;  // 768 bytes RGB for one-plane pictures (grey ramp for grey)
};

// Reads an 8-bit grey, palette (any depth up to 8) or 8-bit RGB PNG of at
// most `maxBytes` decoded bytes. Alpha, 16-bit channels and grey below 8 bits
// fail with a message naming the file.
bool ReadPngPlanes(const std::string& path, uint64_t maxBytes, PngPlanes& image,
                   std::string& error);

// Writes one plane as 8-bit grey, three planes as 8-bit RGB; a failed write
// leaves no file behind.
bool WritePngPlanes(const std::string& path, const PngPlanes& image, std::string& error);

}  // namespace platform
