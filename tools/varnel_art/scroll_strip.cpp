#include "tools/varnel_art/scroll_strip.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace varnel_art {
namespace {

constexpr int kThumbCenter = 140, kThumbHalf = 13;

// Cylinder shading across the groove rows 2..16: 0 at the edges, 1 mid-way.
float Round(int y) {
  const float t = (static_cast<float>(y) - 9.0f) / 7.5f;
  return std::sqrt(std::max(0.0f, 1.0f - t * t));
}

Color Track(int x, int y) {
  Color c = Mix(Rgb(0x0E1118), Rgb(0x1C2230), Round(y));
  const bool major = x % 32 == 13, minor = x % 8 == 5;
  if ((major && y >= 11 && y <= 15) || (minor && y >= 14 && y <= 15)) c = Rgb(0x3A4458);
  return c;
}

Color Fill(int x, int y) {
  const float along = static_cast<float>(x) / kThumbCenter;
  const float glow = 0.3f + 0.7f * along * along;
  const Color hot = Mix(Rgb(0x8A3A08), Rgb(0xFFC050), Round(y));
  return Mix(Rgb(0x20140C), Mix(hot, Rgb(0xFFF0C0), Round(y) * Round(y) * 0.4f * along), glow);
}

Color Thumb(int x, int y) {
  const int dx = std::abs(x - kThumbCenter);
  Color c = Mix(Rgb(0x5A6270), Rgb(0xE8ECF4), Round(y) * 0.8f + (y < 8 ? 0.2f : 0.0f));
  if (dx <= 4 && dx % 2 == 0 && y >= 6 && y <= 13) c = Rgb(0x404652);  // grip
  if (dx == kThumbHalf) c = Scale(c, 0.6f);
  return c;
}

}  // namespace

Canvas MakeScrollStrip() {
  Canvas strip(kStripWidth, kStripHeight, Rgb(0x0A0C10));
  for (int y = 0; y < kStripHeight; ++y) {
    for (int x = 0; x < kStripWidth; ++x) {
      Color c;
      if (y == 0 || y == kStripHeight - 1) {
        c = Rgb(0x0A0C10);
      } else if (y == 1) {
        c = Rgb(0x06080C);  // shadow under the slot's upper lip
      } else if (y == kStripHeight - 2) {
        c = Rgb(0x2A303C);
      } else if (std::abs(x - kThumbCenter) <= kThumbHalf) {
        c = Thumb(x, y);
      } else {
        c = x < kThumbCenter ? Fill(x, y) : Track(x, y);
      }
      strip.Put(x, y, c);
    }
  }
  return strip;
}

}  // namespace varnel_art
