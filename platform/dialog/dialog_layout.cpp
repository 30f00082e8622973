#include "platform/dialog/dialog_layout.hpp"

#include <strings.h>

namespace platform::dialog {
namespace {

constexpr int kScreenDpi = 96;

// The desktop's old dialog faces and the families that stand in for them.
struct FaceSubstitute {
  const char* name;
  const char* substitute;
};
constexpr FaceSubstitute kFaceSubstitutes[] = {
    {"Helv", "Helvetica"},
    {"MS Sans Serif", "Helvetica"},
    {"MS Shell Dlg", "Helvetica"},
};

const char* SubstituteFace(const char* faceName) {
  if (!faceName) return "";
  for (const FaceSubstitute& entry : kFaceSubstitutes) {
    if (strcasecmp(entry.name, faceName) == 0) return entry.substitute;
  }
  return faceName;
}

// Rounds like the desktop's MulDiv: to the nearest, halves away from zero.
int MulDiv(int number, int numerator, int denominator) {
  const long long product = static_cast<long long>(number) * numerator;
  const long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator
                                       : (product - half) / denominator);
}

}  // namespace

int PointsToPixels(int pointSize) { return MulDiv(pointSize, kScreenDpi, 72); }

DialogFont::DialogFont(const char* faceName, int pointSize) {
  font_ = CreateFontA(-PointsToPixels(pointSize), 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0,
                      0, 0, SubstituteFace(faceName));
}

DialogFont::~DialogFont() {
  if (font_) DeleteObject(font_);
}

bool ComputeDialogLayout(const DialogTemplate& dialogTemplate, HFONT font, DialogLayout* layout) {
  static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return false;
  SelectObject(dc, font);
  SIZE extent{};
  TEXTMETRICA metrics{};
  const bool measured =
      font && GetTextExtentPoint32A(dc, kLetters, 52, &extent) && GetTextMetricsA(dc, &metrics);
  DeleteDC(dc);
  if (!measured) return false;

  layout->baseX = (extent.cx / 26 + 1) / 2;
  layout->baseY = metrics.tmHeight;
  layout->textHeight = metrics.tmHeight;
  const auto toX = [layout](int units) { return MulDiv(units, layout->baseX, 4); };
  const auto toY = [layout](int units) { return MulDiv(units, layout->baseY, 8); };
  layout->x = toX(dialogTemplate.rect.x);
  layout->y = toY(dialogTemplate.rect.y);
  layout->width = toX(dialogTemplate.rect.cx);
  layout->height = toY(dialogTemplate.rect.cy);
  const bool framed =
      (dialogTemplate.style & DS_MODALFRAME) && (dialogTemplate.style & WS_CAPTION) != WS_CAPTION;
  layout->frame = framed ? kModalFrameWidth : 0;
  layout->items.clear();
  for (const DialogItemTemplate& item : dialogTemplate.items) {
    layout->items.push_back(
        {toX(item.rect.x), toY(item.rect.y), toX(item.rect.cx), toY(item.rect.cy)});
  }
  return layout->baseX > 0 && layout->baseY > 0;
}

}  // namespace platform::dialog
