#include "tools/varnel_art/metal.hpp"

#include <algorithm>
#include <cmath>

#include "tools/varnel_art/random.hpp"

namespace varnel_art {

void BrushedPlate(Canvas* canvas, Box box, const Metal& metal) {
  const float height = static_cast<float>(std::max(1, box.y1 - box.y0));
  for (int y = box.y0; y < box.y1; ++y) {
    const float t = static_cast<float>(y - box.y0) / height;
    // A soft sheen a fifth of the way down, falling off to the dark shade.
    const float sheen = std::exp(-(t - 0.2f) * (t - 0.2f) * 18.0f);
    const Color row = Mix(Mix(metal.base, metal.dark, t * t), metal.light, sheen * 0.55f);
    for (int x = box.x0; x < box.x1; ++x) {
      const float streak =
          FractalNoise(static_cast<float>(x) / 90.0f, static_cast<float>(y) * 0.7f, 3, metal.seed);
      const float grain =
          ValueNoise(static_cast<float>(x) * 0.9f, static_cast<float>(y) * 3.1f, metal.seed + 7);
      canvas->Put(x, y, Scale(row, 0.86f + 0.22f * streak + 0.06f * grain));
    }
  }
}

void PolishedRail(Canvas* canvas, Box box, const Metal& metal) {
  const float height = static_cast<float>(std::max(1, box.y1 - box.y0 - 1));
  for (int y = box.y0; y < box.y1; ++y) {
    const float t = static_cast<float>(y - box.y0) / height;
    const float shine = std::exp(-(t - 0.3f) * (t - 0.3f) * 14.0f);
    const Color c = Mix(Mix(metal.base, metal.dark, t), Rgb(0xFFFFFF), shine * 0.6f);
    for (int x = box.x0; x < box.x1; ++x) canvas->Put(x, y, c);
  }
}

void Screw(Canvas* canvas, int cx, int cy, const Metal& metal) {
  const float x = static_cast<float>(cx), y = static_cast<float>(cy);
  FillDisc(canvas, x + 1, y + 1.5f, 5.5f, Rgb(0x000000), 0.5f);
  FillDisc(canvas, x, y, 5.0f, Scale(metal.dark, 0.8f));
  FillDisc(canvas, x - 0.5f, y - 0.5f, 4.2f, Mix(metal.base, metal.light, 0.5f));
  FillDisc(canvas, x - 1.5f, y - 1.5f, 2.0f, Rgb(0xFFFFFF), 0.35f);
  FillPolygon(
      canvas,
      {{x - 3.5f, y + 2.5f}, {x + 2.5f, y - 3.5f}, {x + 3.5f, y - 2.5f}, {x - 2.5f, y + 3.5f}},
      Scale(metal.dark, 0.5f));
}

void Recess(Canvas* canvas, Box box, int rim, Color floor) {
  for (int y = box.y0; y < box.y1; ++y) {
    const float t =
        static_cast<float>(y - box.y0) / static_cast<float>(std::max(1, box.y1 - box.y0));
    for (int x = box.x0; x < box.x1; ++x) canvas->Put(x, y, Scale(floor, 0.8f + 0.4f * t));
  }
  // The upper and left rims lie in shadow, the lower and right catch light.
  Bevel(canvas, box, rim, Rgb(0x000000), Rgb(0xFFFFFF), 0.55f);
  Bevel(canvas, {box.x0 - 1, box.y0 - 1, box.x1 + 1, box.y1 + 1}, 1, Rgb(0x000000), Rgb(0xFFFFFF),
        0.3f);
}

}  // namespace varnel_art
