// The font driver interface behind the text service: a driver opens faces for
// font requests; a face reports its metrics and advances and makes glyph
// images, one byte value at a time. Caching, drawing and the device context
// state live above it (gdi_objects.hpp).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

struct FontRequest {
  int height;  // > 0 cell height, < 0 em height, 0 default
  int width;   // average character width, 0 natural
  int weight;  // 0 default, 400 normal, 700 bold
  bool italic;
  int charSet;       // 255: bytes are code page 437, otherwise code page 1252
  std::string face;  // empty: the default face for the character set
};

// Pixel metrics. Vertical offsets are rows below the baseline (negative
// above it).
struct FaceMetrics {
  int ascent;
  int descent;
  int internalLeading;  // cell height less the em height
  int averageWidth;
  int maxWidth;
  int weight;
  bool italic;
  bool fixedPitch;
  int underlineTop;
  int underlineThickness;
  int strikeoutTop;
  int strikeoutThickness;
  std::string family;
};

// A one-bit glyph image: ink[row * width + column] != 0 marks an inked pixel.
// Its top-left pixel lies `left` pixels right of the pen and `top` rows above
// the baseline.
struct GlyphBitmap {
  int left = 0;
  int top = 0;
  int width = 0;
  int rows = 0;
  std::vector<std::uint8_t> ink;
};

class FontFace {
 public:
  virtual ~FontFace() = default;
  virtual const FaceMetrics& Metrics() const = 0;
  virtual int Advance(std::uint8_t byte) = 0;
  virtual GlyphBitmap Rasterize(std::uint8_t byte) = 0;
};

class TextService {
 public:
  virtual ~TextService() = default;
  virtual const char* DriverName() const = 0;
  // Null when no face can be had for the request.
  virtual std::unique_ptr<FontFace> OpenFont(const FontRequest& request) = 0;
};

}  // namespace platform
