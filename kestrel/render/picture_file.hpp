// Pictures for textures: JPEG (through the platform's JPEG service) and PNG
// files from the data files, decoded to RGBA.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "kestrel/render/image.hpp"

namespace kestrel {

// Decodes picture bytes; nothing (logged with `name`) for other formats or
// damaged data.
std::optional<Picture> DecodePicture(std::span<const uint8_t> bytes, std::string_view name);
// Reads and decodes data file `name`.
std::optional<Picture> LoadPicture(std::string_view name);

}  // namespace kestrel
