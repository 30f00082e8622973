#include "tools/varnel_art/text_art.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/text/text_service.hpp"

namespace varnel_art {

using namespace platform;

namespace {

// A memory context with the font selected, released on destruction.
class FontContext {
 public:
  explicit FontContext(const FontRequest& font) {
    dc_ = CreateCompatibleDC(nullptr);
    font_ = CreateFontA(font.height * font.supersample, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL,
                        font.italic ? 1 : 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, font.face);
    if (dc_ && font_) oldFont_ = SelectObject(dc_, font_);
  }
  ~FontContext() {
    if (dc_ && oldBitmap_) SelectObject(dc_, oldBitmap_);
    if (dc_ && oldFont_) SelectObject(dc_, oldFont_);
    if (bitmap_) DeleteObject(bitmap_);
    if (font_) DeleteObject(font_);
    if (dc_) DeleteDC(dc_);
  }
  FontContext(const FontContext&) = delete;
  FontContext& operator=(const FontContext&) = delete;

  bool Ok() const { return dc_ && font_; }
  HDC dc() const { return dc_; }

  // A zeroed 16-bit top-down section selected into the context.
  uint16_t* Section(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 16;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap_) return nullptr;
    oldBitmap_ = SelectObject(dc_, bitmap_);
    return static_cast<uint16_t*>(bits);
  }

 private:
  HDC dc_ = nullptr;
  HFONT font_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldFont_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
};

std::string NoFont(const FontRequest& font) {
  return std::string("the text layer has no font for \"") + font.face + "\"";
}

}  // namespace

LetteringStyle SoftLettering(Color fill, Color outline) {
  LetteringStyle style;
  style.fill = {fill};
  style.outline = outline;
  style.outlineWidth = 1;
  style.shadowOffset = 3;
  style.shadowStrength = 0.6f;
  style.rimStrength = 0.2f;
  return style;
}

bool MeasureText(const FontRequest& font, std::string_view text, TextSize* size,
                 std::string* error) {
  FontContext context(font);
  SIZE extent{};
  if (!context.Ok() ||
      !GetTextExtentPoint32A(context.dc(), text.data(), static_cast<int>(text.size()), &extent)) {
    *error = NoFont(font);
    return false;
  }
  size->width = extent.cx / font.supersample;
  size->height = extent.cy / font.supersample;
  return true;
}

bool FitFont(FontRequest* font, std::string_view text, int maxWidth, std::string* error) {
  TextSize size;
  while (true) {
    if (!MeasureText(*font, text, &size, error)) return false;
    if (size.width <= maxWidth || font->height <= 12) return true;
    font->height -= std::max(1, font->height / 16);
  }
}

bool RenderText(const FontRequest& font, std::string_view text, int width, int height, int x, int y,
                Mask* mask, std::string* error) {
  const int s = font.supersample;
  FontContext context(font);
  uint16_t* pixels = context.Ok() ? context.Section(width * s, height * s) : nullptr;
  if (!pixels) {
    *error = NoFont(font);
    return false;
  }
  SetBkMode(context.dc(), TRANSPARENT);
  SetTextColor(context.dc(), RGB(255, 255, 255));
  TextOutA(context.dc(), x * s, y * s, text.data(), static_cast<int>(text.size()));
  const int stride = ((width * s + 1) / 2) * 2;  // pixels per row
  *mask = Mask(width, height);
  const float norm = 1.0f / static_cast<float>(s * s);
  for (int my = 0; my < height; ++my)
    for (int mx = 0; mx < width; ++mx) {
      int ink = 0;
      for (int sy = 0; sy < s; ++sy)
        for (int sx = 0; sx < s; ++sx)
          ink += pixels[static_cast<size_t>(my * s + sy) * stride + mx * s + sx] != 0;
      mask->Ref(mx, my) = static_cast<float>(ink) * norm;
    }
  return true;
}

bool InkBounds(const Mask& mask, Box* box) {
  *box = {mask.width, mask.height, 0, 0};
  for (int y = 0; y < mask.height; ++y)
    for (int x = 0; x < mask.width; ++x)
      if (mask.At(x, y) > 0) {
        box->x0 = std::min(box->x0, x), box->y0 = std::min(box->y0, y);
        box->x1 = std::max(box->x1, x + 1), box->y1 = std::max(box->y1, y + 1);
      }
  return box->x1 > box->x0;
}

Color Ramp(const std::vector<Color>& stops, float t) {
  if (stops.empty()) return {};
  if (stops.size() == 1) return stops[0];
  const float scaled = std::clamp(t, 0.0f, 1.0f) * static_cast<float>(stops.size() - 1);
  const size_t i = std::min(static_cast<size_t>(scaled), stops.size() - 2);
  return Mix(stops[i], stops[i + 1], scaled - static_cast<float>(i));
}

void PaintLettering(Canvas* canvas, const Mask& letters, const LetteringStyle& style, int top,
                    int bottom) {
  const Mask outline = Dilate(letters, style.outlineWidth);
  if (style.shadowStrength > 0) {
    const Mask shadow = BoxBlur(Shift(outline, style.shadowOffset, style.shadowOffset), 2);
    PaintMask(canvas, shadow, 0, 0, style.shadow, style.shadowStrength);
  }
  PaintMask(canvas, outline, 0, 0, style.outline);
  const float span = static_cast<float>(std::max(1, bottom - top));
  for (int y = 0; y < letters.height; ++y) {
    const Color fill = Ramp(style.fill, static_cast<float>(y - top) / span);
    for (int x = 0; x < letters.width; ++x) {
      const float ink = letters.At(x, y);
      if (ink <= 0) continue;
      // Light comes from above: edges with no ink above them catch it.
      const float rim = std::max(0.0f, ink - letters.At(x, y - 2)) * style.rimStrength;
      canvas->Blend(x, y, Mix(fill, style.rim, rim), ink);
    }
  }
}

bool DrawCenteredLettering(Canvas* canvas, const FontRequest& font, std::string_view text,
                           int centerX, int y, const LetteringStyle& style, std::string* error) {
  TextSize size;
  Mask letters;
  if (!MeasureText(font, text, &size, error)) return false;
  const int x = centerX - size.width / 2;
  if (!RenderText(font, text, canvas->width, canvas->height, x, y, &letters, error)) return false;
  // The fill spans the ink actually drawn, not the whole cell.
  Box ink;
  if (InkBounds(letters, &ink)) PaintLettering(canvas, letters, style, ink.y0, ink.y1 - 1);
  return true;
}

}  // namespace varnel_art
