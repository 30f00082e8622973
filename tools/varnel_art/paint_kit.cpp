#include "tools/varnel_art/paint_kit.hpp"

#include <algorithm>
#include <cmath>

namespace varnel_art {

Color Lighter(Color c, float amount) { return Mix(c, Rgb(0xFFFFFF), amount); }

Box DesignGrid::B(float x0, float y0, float x1, float y1) const {
  return {static_cast<int>(std::lround(x0 * sx)), static_cast<int>(std::lround(y0 * sy)),
          static_cast<int>(std::lround(x1 * sx)), static_cast<int>(std::lround(y1 * sy))};
}

void FillSolid(Canvas* canvas, Box bounds, const Region& inside, Color color) {
  const int x0 = std::max(bounds.x0, 0), y0 = std::max(bounds.y0, 0);
  const int x1 = std::min(bounds.x1, canvas->width), y1 = std::min(bounds.y1, canvas->height);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (inside(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f))
        canvas->Put(x, y, color);
}

void FillSolidPolygon(Canvas* canvas, const std::vector<Point>& points, Color color) {
  FillSolid(
      canvas, {0, 0, canvas->width, canvas->height},
      [&](float x, float y) { return InsidePolygon(points, x, y); }, color);
}

void FillRoundBox(Canvas* canvas, Box box, float radius, Color color) {
  const float x0 = static_cast<float>(box.x0), y0 = static_cast<float>(box.y0);
  const float x1 = static_cast<float>(box.x1), y1 = static_cast<float>(box.y1);
  FillSolid(
      canvas, box,
      [=](float x, float y) {
        const float dx = std::max({x0 + radius - x, 0.0f, x - (x1 - radius)});
        const float dy = std::max({y0 + radius - y, 0.0f, y - (y1 - radius)});
        return dx * dx + dy * dy <= radius * radius;
      },
      color);
}

void FillEllipse(Canvas* canvas, float cx, float cy, float rx, float ry, Color color) {
  FillSolid(
      canvas,
      {static_cast<int>(cx - rx) - 1, static_cast<int>(cy - ry) - 1, static_cast<int>(cx + rx) + 2,
       static_cast<int>(cy + ry) + 2},
      [=](float x, float y) {
        const float u = (x - cx) / rx, v = (y - cy) / ry;
        return u * u + v * v <= 1.0f;
      },
      color);
}

void ThickLine(Canvas* canvas, Point a, Point b, float width, Color color) {
  const float half = width / 2;
  const Box bounds{static_cast<int>(std::min(a.x, b.x) - half) - 1,
                   static_cast<int>(std::min(a.y, b.y) - half) - 1,
                   static_cast<int>(std::max(a.x, b.x) + half) + 2,
                   static_cast<int>(std::max(a.y, b.y) + half) + 2};
  const float dx = b.x - a.x, dy = b.y - a.y, length2 = std::max(dx * dx + dy * dy, 1e-6f);
  FillSolid(
      canvas, bounds,
      [=](float x, float y) {
        const float t = std::clamp(((x - a.x) * dx + (y - a.y) * dy) / length2, 0.0f, 1.0f);
        const float px = a.x + dx * t - x, py = a.y + dy * t - y;
        return px * px + py * py <= half * half;
      },
      color);
}

void Polyline(Canvas* canvas, const std::vector<Point>& points, float width, Color color) {
  for (size_t i = 1; i < points.size(); ++i)
    ThickLine(canvas, points[i - 1], points[i], width, color);
}

void ShapeBorder(Canvas* canvas, int width, Color color) {
  const Canvas before = *canvas;
  for (int y = 0; y < canvas->height; ++y)
    for (int x = 0; x < canvas->width; ++x) {
      if (!before.Solid(x, y)) continue;
      bool edge = false;
      for (int dy = -width; dy <= width && !edge; ++dy)
        for (int dx = -width; dx <= width && !edge; ++dx) edge = !before.Solid(x + dx, y + dy);
      if (edge) canvas->Put(x, y, color);
    }
}

void OutlineOutside(Canvas* canvas, Color color) {
  const Canvas before = *canvas;
  for (int y = 0; y < canvas->height; ++y)
    for (int x = 0; x < canvas->width; ++x)
      if (!before.Solid(x, y) && (before.Solid(x - 1, y) || before.Solid(x + 1, y) ||
                                  before.Solid(x, y - 1) || before.Solid(x, y + 1)))
        canvas->Put(x, y, color);
}

void Brighten(Canvas* canvas, float amount) {
  for (size_t i = 0; i < canvas->pixels.size(); ++i)
    if (canvas->solid[i]) canvas->pixels[i] = Lighter(canvas->pixels[i], amount);
}

}  // namespace varnel_art
