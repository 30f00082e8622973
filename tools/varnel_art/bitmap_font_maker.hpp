// Makes the magazine's 8 x 16 bitmap font file from a real monospace face,
// laid out by code page 437, through the same text layer the reader uses.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varnel_art {

// 4096 bytes: 256 glyphs of 16 rows, bit 7 the leftmost pixel. Empty when
// the text layer has no font for it (error in *error).
std::vector<uint8_t> MakeBitmapFont(std::string* error);

}  // namespace varnel_art
