// Drawing on a Canvas: boxes, bevels, anti-aliased shapes and coverage masks.
#pragma once

#include <functional>
#include <vector>

#include "tools/varnel_art/canvas.hpp"

namespace varnel_art {

struct Box {
  int x0, y0, x1, y1;  // x1, y1 exclusive
};

struct Point {
  float x, y;
};

void FillBox(Canvas* canvas, Box box, Color color);
void VerticalGradient(Canvas* canvas, Box box, Color top, Color bottom);
// Light top and left edges, dark bottom and right ones (swap them for a
// recess), `thickness` pixels wide, mixed in by `strength`.
void Bevel(Canvas* canvas, Box box, int thickness, Color light, Color dark, float strength);

// Coverage of each pixel of `bounds` by `inside`, from 4 x 4 samples.
using Region = std::function<bool(float x, float y)>;
void FillRegion(Canvas* canvas, Box bounds, const Region& inside, Color color, float alpha = 1);
void FillDisc(Canvas* canvas, float cx, float cy, float radius, Color color, float alpha = 1);
void FillPolygon(Canvas* canvas, const std::vector<Point>& points, Color color, float alpha = 1);
bool InsidePolygon(const std::vector<Point>& points, float x, float y);

// A grey-level mask: coverage or strength per pixel, 0..1.
struct Mask {
  Mask() = default;
  Mask(int w, int h) : width(w), height(h), values(static_cast<size_t>(w) * h, 0.0f) {}
  int width = 0, height = 0;
  std::vector<float> values;
  float At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    return values[static_cast<size_t>(y) * width + x];
  }
  float& Ref(int x, int y) { return values[static_cast<size_t>(y) * width + x]; }
};

Mask Dilate(const Mask& mask, int radius);  // maximum over a disc
Mask BoxBlur(const Mask& mask, int radius);
Mask Shift(const Mask& mask, int dx, int dy);
// Mixes `color` into the canvas where the mask is set, offset by (x, y).
void PaintMask(Canvas* canvas, const Mask& mask, int x, int y, Color color, float strength = 1);

}  // namespace varnel_art
