// Writes pictures as PNG files for people to look at.
#pragma once

#include <cstdint>
#include <string>

#include "varnel/media/picture.hpp"

namespace tools {

// 8-bit RGB rows, width * 3 bytes each, top first.
bool WritePngRgb(const std::string& path, int32_t width, int32_t height, const uint8_t* rgb,
                 std::string* error);

// A 15-bit picture, each 5-bit channel widened as (v << 3) | (v >> 2).
bool WritePngPicture(const std::string& path, const varnel::Picture& picture, std::string* error);

}  // namespace tools
