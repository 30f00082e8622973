// PNG files for the chip data tools: 8-bit grey, palette and RGB pictures in,
// grey and RGB pictures out, through the platform's PNG planes.
#pragma once

#include <string>

#include "platform/png/png_planes.hpp"

namespace chipdat {

using PlaneImage = platform::PngPlanes;

// The player's picture store: no picture it packs may decode to more.
constexpr uint64_t kMaxImageBytes = 6 * 1024 * 1024;

inline bool ReadPlanePng(const std::string& path, PlaneImage& image, std::string& error) {
  return platform::ReadPngPlanes(path, kMaxImageBytes, image, error);
}

inline bool WritePlanePng(const std::string& path, const PlaneImage& image, std::string& error) {
  return platform::WritePngPlanes(path, image, error);
}

}  // namespace chipdat
