#include "tools/chipdisk_art/lettering.hpp"

#include "tools/varnel_art/draw.hpp"

namespace chipdisk_art {

using namespace varnel_art;

LetteringStyle ChromeLogo() {
  LetteringStyle style;
  style.fill = {Rgb(0xFFFFFF), Rgb(0xC0E4FF), Rgb(0x4070C8),
                Rgb(0x0C1438), Rgb(0xF070C0), Rgb(0xFFE0F4)};
  style.outline = Rgb(0x060418);
  style.outlineWidth = 3;
  style.shadow = Rgb(0x000000);
  style.shadowOffset = 6;
  return style;
}

LetteringStyle NeonPink() {
  LetteringStyle style;
  style.fill = {Rgb(0xFFF0FA), Rgb(0xFF80D0), Rgb(0xC02890), Rgb(0xFF9AE0)};
  style.outline = Rgb(0x1A0418);
  style.outlineWidth = 2;
  style.shadow = Rgb(0x000000);
  style.shadowOffset = 3;
  return style;
}

bool DrawText(Canvas* canvas, const FontRequest& font, std::string_view text, int x, int y,
              Color color, float shadow, bool alignRight, std::string* error) {
  TextSize size;
  if (!MeasureText(font, text, &size, error)) return false;
  Mask mask;
  const int left = alignRight ? x - size.width : x;
  if (!RenderText(font, text, canvas->width, canvas->height, left, y, &mask, error)) return false;
  if (shadow > 0) PaintMask(canvas, Shift(mask, 1, 1), 0, 0, Color{}, shadow);
  PaintMask(canvas, mask, 0, 0, color);
  return true;
}

}  // namespace chipdisk_art
