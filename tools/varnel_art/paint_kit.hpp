// Hard-edged drawing for pixel art: every pixel is inside a shape or not,
// judged at its centre, so pictures keep clean edges against the reader's
// transparent black.
#pragma once

#include <vector>

#include "tools/varnel_art/canvas.hpp"
#include "tools/varnel_art/draw.hpp"

namespace varnel_art {

Color Lighter(Color c, float amount);  // towards white

// Coordinates of a motif drawn for a design size, scaled to the picture.
struct DesignGrid {
  DesignGrid(const Canvas& canvas, float designWidth, float designHeight)
      : sx(static_cast<float>(canvas.width) / designWidth),
        sy(static_cast<float>(canvas.height) / designHeight) {}
  float sx, sy;
  float X(float x) const { return x * sx; }
  float Y(float y) const { return y * sy; }
  Point P(float x, float y) const { return {x * sx, y * sy}; }
  Box B(float x0, float y0, float x1, float y1) const;
};

void FillSolid(Canvas* canvas, Box bounds, const Region& inside, Color color);
void FillSolidPolygon(Canvas* canvas, const std::vector<Point>& points, Color color);
void FillRoundBox(Canvas* canvas, Box box, float radius, Color color);
void FillEllipse(Canvas* canvas, float cx, float cy, float rx, float ry, Color color);
// A stroke of `width` pixels with round ends.
void ThickLine(Canvas* canvas, Point a, Point b, float width, Color color);
// Joined strokes through the points.
void Polyline(Canvas* canvas, const std::vector<Point>& points, float width, Color color);

// Every drawn pixel within `width` of the picture's edge or of a transparent
// pixel takes `color`: a border that follows the shape.
void ShapeBorder(Canvas* canvas, int width, Color color);
// Transparent pixels next to drawn ones (4-neighbours) take `color`.
void OutlineOutside(Canvas* canvas, Color color);
// Every drawn pixel moved towards white by `amount`.
void Brighten(Canvas* canvas, float amount);

}  // namespace varnel_art
