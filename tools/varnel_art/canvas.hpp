// The working image every generator paints into: floating-point RGB with a
// per-pixel flag for "drawn". Undrawn pixels leave the files as pure black,
// which the reader's keyed copy treats as transparent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace varnel_art {

struct Color {
  float r = 0, g = 0, b = 0;  // 0..255
  bool operator==(const Color&) const = default;
};

Color Rgb(uint32_t hex);  // 0xRRGGBB
Color Mix(Color a, Color b, float t);
Color Scale(Color c, float factor);
Color Add(Color a, Color b);
float Luminance(Color c);

struct Canvas {
  Canvas() = default;
  Canvas(int w, int h, Color fill, bool drawn = true);

  int width = 0;
  int height = 0;
  std::vector<Color> pixels;
  std::vector<uint8_t> solid;  // 1: drawn, 0: transparent

  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  Color& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
  const Color& At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  bool Solid(int x, int y) const {
    return Inside(x, y) && solid[static_cast<size_t>(y) * width + x];
  }
  // Sets a pixel and marks it drawn; outside the canvas nothing happens.
  void Put(int x, int y, Color c);
  // Mixes `c` over the pixel by `alpha` (0..1) and marks it drawn.
  void Blend(int x, int y, Color c, float alpha);
  void Clear(int x, int y);  // back to transparent black
};

enum class Dither {
  None,
  // Ordered 4 x 4 offsets below one 5-bit step, so that the reader's
  // truncation to 15-bit colour turns smooth ramps into fine patterns.
  For555,
};

// R, G, B bytes, rows from the top. Transparent pixels are (0, 0, 0); a drawn
// pixel darker than (8, 8, 8) is lifted to it so it never reads as a hole.
std::vector<uint8_t> ToRgb8(const Canvas& canvas, Dither dither);

}  // namespace varnel_art
