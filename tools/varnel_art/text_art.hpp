// Lettering through the reader's own text layer (real fonts, drawn into a
// 16-bit DIB section), turned into coverage masks and dressed up as cover
// and panel artwork.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/varnel_art/canvas.hpp"
#include "tools/varnel_art/draw.hpp"

namespace varnel_art {

struct FontRequest {
  const char* face = "Arial";
  int height = 16;  // cell height in pixels
  bool bold = true;
  bool italic = false;
  int supersample = 1;  // drawn this many times larger and averaged down
};

struct TextSize {
  int width = 0, height = 0;
};

// Size of `text` in the font; false (and *error) when the text layer has no font.
bool MeasureText(const FontRequest& font, std::string_view text, TextSize* size,
                 std::string* error);

// The font, made smaller step by step until `text` is at most `maxWidth` wide.
bool FitFont(FontRequest* font, std::string_view text, int maxWidth, std::string* error);

// Coverage of `text` drawn with its first cell's top-left at (x, y) on a
// `width` x `height` mask.
bool RenderText(const FontRequest& font, std::string_view text, int width, int height, int x, int y,
                Mask* mask, std::string* error);

// The look of large lettering: a fill that runs through `fill` stops from the
// top of the letters to their bottom, an outline, a soft drop shadow and a
// bright rim on the upper edges.
struct LetteringStyle {
  std::vector<Color> fill;
  Color outline{};
  int outlineWidth = 2;
  Color shadow{};
  int shadowOffset = 4;
  float shadowStrength = 0.7f;
  Color rim{255, 255, 255};
  float rimStrength = 0.5f;
};

// Small plain lettering: one fill, a thin outline, a short faint shadow.
LetteringStyle SoftLettering(Color fill, Color outline);

// Paints the masked letters; `top` and `bottom` are the rows the fill spans.
void PaintLettering(Canvas* canvas, const Mask& letters, const LetteringStyle& style, int top,
                    int bottom);

// The box around the mask's ink; false for an empty mask.
bool InkBounds(const Mask& mask, Box* box);

// Colour at t (0..1) along evenly spaced stops.
Color Ramp(const std::vector<Color>& stops, float t);

// Centres `text` horizontally with its cell's top at `y`, renders and paints it.
bool DrawCenteredLettering(Canvas* canvas, const FontRequest& font, std::string_view text,
                           int centerX, int y, const LetteringStyle& style, std::string* error);

}  // namespace varnel_art
