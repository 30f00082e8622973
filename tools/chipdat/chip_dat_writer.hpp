// Writing the chip player's data file: pictures run-length coded as PCX,
// gathered in a container whose bytes are rotated right by 2.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/chipdat/png_io.hpp"

namespace chipdat {

// The largest width or height the 16-bit PCX header can give the reader.
inline constexpr uint32_t kMaxPcxSide = 65535;

// Checks that the player could load `image` once coded; empty when it can.
std::string WhyUnloadable(const PlaneImage& image);

// A PCX picture: 128-byte header, then each row's planes (red, green, blue
// for three) coded in runs that stay inside the plane's row. One-plane
// pictures end with the 256-colour palette.
std::vector<uint8_t> EncodePcx(const PlaneImage& image);

// Count, directory {offset, size}, then every entry rotated right by 2.
std::vector<uint8_t> BuildContainer(const std::vector<std::vector<uint8_t>>& entries);

}  // namespace chipdat
