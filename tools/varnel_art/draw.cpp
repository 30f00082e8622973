#include "tools/varnel_art/draw.hpp"

#include <algorithm>
#include <cmath>

namespace varnel_art {

void FillBox(Canvas* canvas, Box box, Color color) {
  for (int y = box.y0; y < box.y1; ++y)
    for (int x = box.x0; x < box.x1; ++x) canvas->Put(x, y, color);
}

void VerticalGradient(Canvas* canvas, Box box, Color top, Color bottom) {
  const float span = static_cast<float>(std::max(1, box.y1 - box.y0 - 1));
  for (int y = box.y0; y < box.y1; ++y) {
    const Color c = Mix(top, bottom, static_cast<float>(y - box.y0) / span);
    for (int x = box.x0; x < box.x1; ++x) canvas->Put(x, y, c);
  }
}

void Bevel(Canvas* canvas, Box box, int thickness, Color light, Color dark, float strength) {
  for (int i = 0; i < thickness; ++i) {
    const float fade =
        strength * (1.0f - static_cast<float>(i) / static_cast<float>(thickness + 1));
    for (int x = box.x0 + i; x < box.x1 - i; ++x) {
      canvas->Blend(x, box.y0 + i, light, fade);
      canvas->Blend(x, box.y1 - 1 - i, dark, fade);
    }
    for (int y = box.y0 + i + 1; y < box.y1 - i - 1; ++y) {
      canvas->Blend(box.x0 + i, y, light, fade);
      canvas->Blend(box.x1 - 1 - i, y, dark, fade);
    }
  }
}

void FillRegion(Canvas* canvas, Box bounds, const Region& inside, Color color, float alpha) {
  const int x0 = std::max(bounds.x0, 0), y0 = std::max(bounds.y0, 0);
  const int x1 = std::min(bounds.x1, canvas->width), y1 = std::min(bounds.y1, canvas->height);
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      int hits = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx)
          hits += inside(static_cast<float>(x) + (sx + 0.5f) / 4,
                         static_cast<float>(y) + (sy + 0.5f) / 4);
      if (hits) canvas->Blend(x, y, color, alpha * static_cast<float>(hits) / 16.0f);
    }
  }
}

void FillDisc(Canvas* canvas, float cx, float cy, float radius, Color color, float alpha) {
  const Box bounds{
      static_cast<int>(std::floor(cx - radius)), static_cast<int>(std::floor(cy - radius)),
      static_cast<int>(std::ceil(cx + radius)) + 1, static_cast<int>(std::ceil(cy + radius)) + 1};
  const float r2 = radius * radius;
  FillRegion(
      canvas, bounds,
      [=](float x, float y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r2; }, color,
      alpha);
}

bool InsidePolygon(const std::vector<Point>& points, float x, float y) {
  bool inside = false;
  for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
    const Point a = points[i], b = points[j];
    if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) inside = !inside;
  }
  return inside;
}

void FillPolygon(Canvas* canvas, const std::vector<Point>& points, Color color, float alpha) {
  if (points.size() < 3) return;
  float minX = points[0].x, maxX = points[0].x, minY = points[0].y, maxY = points[0].y;
  for (const Point p : points) {
    minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
  }
  const Box bounds{static_cast<int>(std::floor(minX)), static_cast<int>(std::floor(minY)),
                   static_cast<int>(std::ceil(maxX)) + 1, static_cast<int>(std::ceil(maxY)) + 1};
  FillRegion(
      canvas, bounds, [&](float x, float y) { return InsidePolygon(points, x, y); }, color, alpha);
}

Mask Dilate(const Mask& mask, int radius) {
  Mask out(mask.width, mask.height);
  for (int y = 0; y < mask.height; ++y) {
    for (int x = 0; x < mask.width; ++x) {
      float best = 0;
      for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
          if (dx * dx + dy * dy <= radius * radius + radius)
            best = std::max(best, mask.At(x + dx, y + dy));
      out.Ref(x, y) = best;
    }
  }
  return out;
}

Mask BoxBlur(const Mask& mask, int radius) {
  // Rows, then columns: two running sums.
  Mask rows(mask.width, mask.height), out(mask.width, mask.height);
  const float norm = 1.0f / static_cast<float>(2 * radius + 1);
  for (int y = 0; y < mask.height; ++y) {
    float sum = 0;
    for (int x = -radius; x <= radius; ++x) sum += mask.At(x, y);
    for (int x = 0; x < mask.width; ++x) {
      rows.Ref(x, y) = sum * norm;
      sum += mask.At(x + radius + 1, y) - mask.At(x - radius, y);
    }
  }
  for (int x = 0; x < mask.width; ++x) {
    float sum = 0;
    for (int y = -radius; y <= radius; ++y) sum += rows.At(x, y);
    for (int y = 0; y < mask.height; ++y) {
      out.Ref(x, y) = sum * norm;
      sum += rows.At(x, y + radius + 1) - rows.At(x, y - radius);
    }
  }
  return out;
}

Mask Shift(const Mask& mask, int dx, int dy) {
  Mask out(mask.width, mask.height);
  for (int y = 0; y < mask.height; ++y)
    for (int x = 0; x < mask.width; ++x) out.Ref(x, y) = mask.At(x - dx, y - dy);
  return out;
}

void PaintMask(Canvas* canvas, const Mask& mask, int x, int y, Color color, float strength) {
  for (int my = 0; my < mask.height; ++my)
    for (int mx = 0; mx < mask.width; ++mx) {
      const float v = mask.values[static_cast<size_t>(my) * mask.width + mx];
      if (v > 0) canvas->Blend(x + mx, y + my, color, v * strength);
    }
}

}  // namespace varnel_art
