// Measuring and drawing strings: advances, character extra, justification,
// and the glyph runs written into the selected bitmap's 5-5-5 pixels.
#include <algorithm>

#include "platform/text/gdi_objects.hpp"

namespace platform {
namespace {

constexpr std::uint8_t kBreakChar = ' ';

// Hands out the justification pixels of a context to the break characters
// of one string: each gets the even share, the first ones the remainder.
class BreakSpreader {
 public:
  explicit BreakSpreader(const GdiDc& dc) : share_(dc.breakExtra), remainder_(dc.breakRemainder) {}

  int Next() {
    if (remainder_ > 0) {
      --remainder_;
      return share_ + 1;
    }
    if (remainder_ < 0) {
      ++remainder_;
      return share_ - 1;
    }
    return share_;
  }

 private:
  int share_;
  int remainder_;
};

struct TextTarget {
  GdiDc* dc;
  GdiFont* font;
};

bool Find(HDC hdc, const char* text, int length, TextTarget* target) {
  target->dc = FindDc(hdc);
  target->font = target->dc ? target->dc->font : nullptr;
  return target->font && length >= 0 && (text || length == 0);
}

long long TextWidth(const GdiDc& dc, GdiFont& font, const std::uint8_t* text, int length) {
  const std::array<int, 256>& advances = Advances(font);
  BreakSpreader breaks(dc);
  long long width = 0;
  for (int i = 0; i < length; ++i) {
    width += advances[text[i]] + dc.charExtra;
    if (text[i] == kBreakChar) width += breaks.Next();
  }
  return width;
}

void FillRect(GdiBitmap& bitmap, long long left, long long top, long long right, long long bottom,
              std::uint16_t color) {
  left = std::max(left, 0LL);
  top = std::max(top, 0LL);
  right = std::min(right, static_cast<long long>(bitmap.width));
  bottom = std::min(bottom, static_cast<long long>(bitmap.height));
  for (long long y = top; y < bottom; ++y) {
    std::uint16_t* row = bitmap.Row(static_cast<int>(y));
    std::fill(row + left, row + std::max(left, right), color);
  }
}

void DrawGlyph(GdiBitmap& bitmap, const GdiFont& font, const GlyphSlot& glyph, long long penX,
               long long cellTop, std::uint16_t color) {
  const GlyphSpan* span = font.spans.data() + glyph.firstSpan;
  const GlyphSpan* const end = span + glyph.spanCount;
  for (; span < end; ++span) {
    const long long y = cellTop + span->dy;
    if (y < 0 || y >= bitmap.height) continue;
    const long long left = std::max(penX + span->dx, 0LL);
    const long long right =
        std::min(penX + span->dx + span->length, static_cast<long long>(bitmap.width));
    if (left >= right) continue;
    std::uint16_t* row = bitmap.Row(static_cast<int>(y));
    std::fill(row + left, row + right, color);
  }
}

}  // namespace

BOOL GetTextExtentPoint32A(HDC hdc, const char* text, int length, SIZE* size) {
  TextTarget target;
  if (!Find(hdc, text, length, &target) || !size) return 0;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text);
  const FaceMetrics& metrics = target.font->face->Metrics();
  size->cx = static_cast<LONG>(TextWidth(*target.dc, *target.font, bytes, length));
  size->cy = metrics.ascent + metrics.descent;
  return 1;
}

BOOL TextOutA(HDC hdc, int x, int y, const char* text, int length) {
  TextTarget target;
  if (!Find(hdc, text, length, &target) || !target.dc->bitmap) return 0;
  GdiDc& dc = *target.dc;
  GdiFont& font = *target.font;
  GdiBitmap& bitmap = *dc.bitmap;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text);
  const FaceMetrics& metrics = font.face->Metrics();
  const long long cellBottom = static_cast<long long>(y) + metrics.ascent + metrics.descent;
  if (dc.backgroundMode == OPAQUE) {
    FillRect(bitmap, x, y, x + TextWidth(dc, font, bytes, length), cellBottom,
             PackRgb555(dc.backgroundColor));
  }
  const std::uint16_t color = PackRgb555(dc.textColor);
  const std::array<int, 256>& advances = Advances(font);
  BreakSpreader breaks(dc);
  long long penX = x;
  for (int i = 0; i < length; ++i) {
    const std::uint8_t byte = bytes[i];
    const GlyphSlot& glyph = Glyph(font, byte);
    DrawGlyph(bitmap, font, glyph, penX, y, color);
    penX += advances[byte] + dc.charExtra;
    if (byte == kBreakChar) penX += breaks.Next();
  }
  const long long baseline = static_cast<long long>(y) + metrics.ascent;
  if (font.logFont.lfUnderline) {
    const long long top = baseline + metrics.underlineTop;
    FillRect(bitmap, x, top, penX, top + metrics.underlineThickness, color);
  }
  if (font.logFont.lfStrikeOut) {
    const long long top = baseline + metrics.strikeoutTop;
    FillRect(bitmap, x, top, penX, top + metrics.strikeoutThickness, color);
  }
  return 1;
}

}  // namespace platform
