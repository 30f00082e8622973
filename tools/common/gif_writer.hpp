// Writes 8-bit indexed pictures as GIF files in the plain layout the reader
// decodes: header, global colour table, one image, LZW data, trailer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

struct IndexedPicture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> indices;  // width * height, rows from the top
  std::vector<uint8_t> palette;  // R, G, B per entry; 2 to 256 entries
};

// The file's bytes; fails for sizes beyond 65535 or a palette that is not
// 2 to 256 entries or an index beyond the palette.
bool EncodeGif(const IndexedPicture& picture, std::vector<uint8_t>* out, std::string* error);
bool WriteGif(const std::string& path, const IndexedPicture& picture, std::string* error);

}  // namespace tools
