// Writing finished canvases in the three picture formats the reader loads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/common/gif_writer.hpp"
#include "tools/varnel_art/canvas.hpp"

namespace varnel_art {

// Up to 256 palette entries, entry 0 pure black for the transparent pixels;
// colours are reduced to the reader's 15 bits first, then by median cut.
tools::IndexedPicture Quantize(const Canvas& canvas);

// Smooth pictures (frames) are dithered for 15-bit colour; pixel art keeps
// its flat colours.
bool WritePngArt(const std::string& path, const Canvas& canvas, Dither dither, std::string* error);
bool WriteGifArt(const std::string& path, const Canvas& canvas, std::string* error);
bool WriteJpegArt(const std::string& path, const Canvas& canvas, int quality, std::string* error);
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error);

// Creates the folders above `path`.
bool MakeParentFolders(const std::string& path, std::string* error);

}  // namespace varnel_art
