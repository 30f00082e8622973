// PNG files for the chip data tools: 8-bit grey, palette and RGB pictures in,
// grey and RGB pictures out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace chipdat {

// An image as the packer codes it: one plane (grey values or palette
// indices) or three (red, green, blue per pixel, interleaved).
struct PlaneImage {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t planes = 0;           // 1 or 3
  std::vector<uint8_t> pixels;   // width * height * planes, rows top first
  std::vector<uint8_t> palette;  // 768 bytes RGB for one-plane images
};

// Reads an 8-bit grey, palette (any depth up to 8) or 8-bit RGB PNG.
// Anything else (alpha, 16 bits, grey below 8 bits) fails with a message.
bool ReadPlanePng(const std::string& path, PlaneImage& image, std::string& error);

// Writes one plane as 8-bit grey, three planes as 8-bit RGB.
bool WritePlanePng(const std::string& path, const PlaneImage& image, std::string& error);

}  // namespace chipdat
