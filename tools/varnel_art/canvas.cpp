#include "tools/varnel_art/canvas.hpp"

#include <algorithm>
#include <cmath>

namespace varnel_art {

Color Rgb(uint32_t hex) {
  return {static_cast<float>((hex >> 16) & 0xFF), static_cast<float>((hex >> 8) & 0xFF),
          static_cast<float>(hex & 0xFF)};
}

Color Mix(Color a, Color b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Color Scale(Color c, float factor) { return {c.r * factor, c.g * factor, c.b * factor}; }

Color Add(Color a, Color b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }

float Luminance(Color c) { return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b; }

Canvas::Canvas(int w, int h, Color fill, bool drawn)
    : width(w),
      height(h),
      pixels(static_cast<size_t>(w) * h, drawn ? fill : Color{}),
      solid(static_cast<size_t>(w) * h, drawn ? 1 : 0) {}

void Canvas::Put(int x, int y, Color c) {
  if (!Inside(x, y)) return;
  const size_t i = static_cast<size_t>(y) * width + x;
  pixels[i] = c;
  solid[i] = 1;
}

void Canvas::Blend(int x, int y, Color c, float alpha) {
  if (!Inside(x, y) || alpha <= 0) return;
  const size_t i = static_cast<size_t>(y) * width + x;
  pixels[i] = Mix(pixels[i], c, std::min(alpha, 1.0f));
  solid[i] = 1;
}

void Canvas::Clear(int x, int y) {
  if (!Inside(x, y)) return;
  const size_t i = static_cast<size_t>(y) * width + x;
  pixels[i] = Color{};
  solid[i] = 0;
}

namespace {

constexpr int kBayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

uint8_t ToByte(float value) {
  return static_cast<uint8_t>(std::clamp(static_cast<int>(std::floor(value)), 0, 255));
}

}  // namespace

std::vector<uint8_t> ToRgb8(const Canvas& canvas, Dither dither) {
  std::vector<uint8_t> rgb(static_cast<size_t>(canvas.width) * canvas.height * 3, 0);
  for (int y = 0; y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) {
      if (!canvas.Solid(x, y)) continue;
      const Color c = canvas.At(x, y);
      // Half a step for rounding plus the ordered offset, both below 8.
      const float offset = dither == Dither::For555 ? (kBayer4[y & 3][x & 3] + 0.5f) / 2.0f : 0.5f;
      uint8_t* out = &rgb[(static_cast<size_t>(y) * canvas.width + x) * 3];
      out[0] = ToByte(c.r + offset);
      out[1] = ToByte(c.g + offset);
      out[2] = ToByte(c.b + offset);
      if (out[0] < 8 && out[1] < 8 && out[2] < 8) out[0] = out[1] = out[2] = 8;
    }
  }
  return rgb;
}

}  // namespace varnel_art
