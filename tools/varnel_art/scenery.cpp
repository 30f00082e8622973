#include "tools/varnel_art/scenery.hpp"

#include <algorithm>
#include <cmath>

#include "tools/varnel_art/draw.hpp"
#include "tools/varnel_art/random.hpp"
#include "tools/varnel_art/text_art.hpp"

namespace varnel_art {

void BandedSky(Canvas* canvas, int top, int bottom, const std::vector<Color>& stops, int band) {
  for (int y = top; y < bottom; ++y) {
    const int stepped = top + (y - top) / band * band;
    const Color c =
        Ramp(stops, static_cast<float>(stepped - top) / static_cast<float>(bottom - top));
    for (int x = 0; x < canvas->width; ++x) canvas->Put(x, y, c);
  }
}

void Stars(Canvas* canvas, int top, int fadeRow, int count, uint64_t seed) {
  Random random(seed);
  for (int i = 0; i < count; ++i) {
    const int x = random.Below(canvas->width);
    const int y = top + random.Below(std::max(1, fadeRow - top));
    const float fade = 1.0f - static_cast<float>(y - top) / static_cast<float>(fadeRow - top);
    const float bright = random.Range(0.3f, 1.0f) * fade;
    const Color tint =
        Mix(Rgb(0xFFFFFF), random.Unit() < 0.5f ? Rgb(0xA0C0FF) : Rgb(0xFFE0B0), 0.4f);
    canvas->Blend(x, y, tint, bright);
    if (random.Below(14) == 0) {
      for (int d = 1; d <= 3; ++d) {
        const float arm = bright * 0.5f / static_cast<float>(d);
        canvas->Blend(x - d, y, tint, arm), canvas->Blend(x + d, y, tint, arm);
        canvas->Blend(x, y - d, tint, arm), canvas->Blend(x, y + d, tint, arm);
      }
    }
  }
}

void RasterBar(Canvas* canvas, int top, int height, Color color, float alpha) {
  for (int i = 0; i < height; ++i) {
    const float t = (static_cast<float>(i) + 0.5f) / static_cast<float>(height);
    const float shine = std::sin(3.14159f * t);
    const Color c =
        Mix(Scale(color, 0.3f), Mix(color, Rgb(0xFFFFFF), 0.5f * shine * shine * shine), shine);
    for (int x = 0; x < canvas->width; ++x) {
      const float fade = std::min(
          1.0f, std::min(static_cast<float>(x), static_cast<float>(canvas->width - 1 - x)) / 80.0f);
      canvas->Blend(x, top + i, c, alpha * fade);
    }
  }
}

void Glow(Canvas* canvas, float cx, float cy, float radius, Color color, float strength) {
  const int x0 = std::max(0, static_cast<int>(cx - radius)),
            x1 = std::min(canvas->width, static_cast<int>(cx + radius) + 1);
  const int y0 = std::max(0, static_cast<int>(cy - radius)),
            y1 = std::min(canvas->height, static_cast<int>(cy + radius) + 1);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const float d = std::hypot(static_cast<float>(x) - cx, static_cast<float>(y) - cy) / radius;
      if (d < 1) canvas->Blend(x, y, color, strength * (1 - d) * (1 - d));
    }
}

void SlitSun(Canvas* canvas, float cx, float horizon, float radius, Color top, Color bottom) {
  Glow(canvas, cx, horizon - radius * 0.5f, radius * 2.0f, Mix(top, bottom, 0.6f), 0.25f);
  const float topY = horizon - radius;
  const Box bounds{static_cast<int>(cx - radius), static_cast<int>(topY),
                   static_cast<int>(cx + radius) + 1, static_cast<int>(horizon)};
  for (int y = bounds.y0; y < bounds.y1; ++y) {
    const float t = (static_cast<float>(y) - topY) / (2 * radius);
    // Slits from the middle down: each band 10 rows, its gap widening.
    const float below = (static_cast<float>(y) - (horizon - radius * 0.55f)) / (radius * 0.55f);
    if (below > 0) {
      const int phase = static_cast<int>(static_cast<float>(y) - topY) % 10;
      if (static_cast<float>(phase) < 1.0f + below * 6.0f) continue;
    }
    const Color c = Mix(top, bottom, t * 2);
    FillRegion(
        canvas, {bounds.x0, y, bounds.x1, y + 1},
        [=](float px, float py) {
          return (px - cx) * (px - cx) + (py - horizon) * (py - horizon) <= radius * radius;
        },
        c);
  }
}

void CheckerFloor(Canvas* canvas, int horizon, Color dark, Color light, Color fog) {
  const float eye = 60.0f, tile = 40.0f;
  for (int y = horizon; y < canvas->height; ++y) {
    for (int x = 0; x < canvas->width; ++x) {
      float lit = 0;
      for (int s = 0; s < 16; ++s) {
        const float py = static_cast<float>(y) + (static_cast<float>(s / 4) + 0.5f) / 4 -
                         static_cast<float>(horizon);
        const float px =
            static_cast<float>(x) + (static_cast<float>(s % 4) + 0.5f) / 4 - canvas->width / 2.0f;
        const float depth = eye * 240.0f / std::max(py, 0.25f);
        const int u = static_cast<int>(std::floor(px * depth / 240.0f / tile));
        const int v = static_cast<int>(std::floor(depth / tile));
        lit += ((u + v) & 1) ? 1.0f : 0.0f;
      }
      const float distance = std::clamp(static_cast<float>(y - horizon) / 120.0f, 0.0f, 1.0f);
      const Color tileColour = Mix(dark, light, lit / 16);
      canvas->Put(x, y, Mix(fog, tileColour, std::pow(distance, 0.6f)));
    }
  }
}

void Moon(Canvas* canvas, float cx, float cy, float radius, uint64_t seed) {
  Glow(canvas, cx, cy, radius * 3.0f, Rgb(0x8090C0), 0.35f);
  FillDisc(canvas, cx, cy, radius, Rgb(0xF0ECDC));
  Random random(seed);
  for (int i = 0; i < 9; ++i) {
    const float a = random.Range(0, 6.283f), d = random.Range(0, radius * 0.7f);
    const float r = random.Range(radius * 0.06f, radius * 0.2f);
    FillDisc(canvas, cx + std::cos(a) * d, cy + std::sin(a) * d, r, Rgb(0xB8B4A8), 0.5f);
  }
  // The unlit side.
  FillRegion(
      canvas,
      {static_cast<int>(cx - radius), static_cast<int>(cy - radius),
       static_cast<int>(cx + radius) + 1, static_cast<int>(cy + radius) + 1},
      [=](float x, float y) {
        const float r2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
        const float sx = x - cx + radius * 0.45f, sy = y - cy - radius * 0.1f;
        return r2 <= radius * radius && sx * sx + sy * sy > radius * radius;
      },
      Rgb(0x1C2450), 0.8f);
}

void Sea(Canvas* canvas, int horizon, Color near, Color far, float lightX, Color light,
         uint64_t seed) {
  const uint32_t noiseSeed = static_cast<uint32_t>(seed);
  for (int y = horizon; y < canvas->height; ++y) {
    const float t = static_cast<float>(y - horizon) / static_cast<float>(canvas->height - horizon);
    const float spread = 8.0f + 90.0f * t;
    for (int x = 0; x < canvas->width; ++x) {
      const float swell = ValueNoise(static_cast<float>(x) / (20.0f + 60.0f * t),
                                     static_cast<float>(y) * 0.45f, noiseSeed);
      Color c = Mix(far, near, std::sqrt(t));
      c = Scale(c, 0.8f + 0.4f * swell);
      const float off = (static_cast<float>(x) - lightX) / spread;
      const float glade =
          std::exp(-off * off) * std::pow(std::max(0.0f, swell * 1.6f - 0.55f), 1.5f);
      canvas->Put(x, y, Mix(c, light, std::min(1.0f, glade)));
    }
  }
}

void Lighthouse(Canvas* canvas, float x, int horizon, float height) {
  const float base = static_cast<float>(horizon) + 6, top = base - height;
  const Color beam = Rgb(0xFFF0C0);
  // Beams: a cone each way, fading with distance.
  for (int py = 0; py < horizon; ++py)
    for (int px = 0; px < canvas->width; ++px) {
      const float dx = std::abs(static_cast<float>(px) - x),
                  dy = static_cast<float>(py) - (top + 7);
      const float spread = (dy + dx * 0.04f) / (4.0f + dx * 0.09f);
      if (dx < 6 || std::abs(spread) > 1) continue;
      const float fade = std::pow(std::max(0.0f, 1 - dx / 460.0f), 1.6f) * (1 - spread * spread);
      canvas->Blend(px, py, beam, 0.22f * fade);
    }
  FillPolygon(canvas,
              {{x - 60, base + 4},
               {x - 34, base - 16},
               {x + 12, base - 22},
               {x + 48, base - 10},
               {x + 70, base + 4}},
              Rgb(0x0A0C18));
  FillPolygon(canvas,
              {{x - 9, base - 14}, {x - 6, top + 12}, {x + 6, top + 12}, {x + 9, base - 14}},
              Rgb(0x1A1E30));
  for (int band = 1; band < 4; ++band) {
    const float y = base - 14 - (height - 26) * static_cast<float>(band) / 4.0f;
    FillBox(canvas,
            {static_cast<int>(x - 8), static_cast<int>(y), static_cast<int>(x + 8),
             static_cast<int>(y + 5)},
            Rgb(0x5A2028));
  }
  FillBox(canvas,
          {static_cast<int>(x - 7), static_cast<int>(top + 2), static_cast<int>(x + 8),
           static_cast<int>(top + 12)},
          Rgb(0x14182A));
  Glow(canvas, x, top + 7, 34, beam, 0.6f);
  FillDisc(canvas, x, top + 7, 4, Rgb(0xFFFFF0));
  FillPolygon(canvas, {{x - 9, top + 2}, {x, top - 6}, {x + 9, top + 2}}, Rgb(0x101424));
}

}  // namespace varnel_art
