#include "platform/dialog/dialog_painter.hpp"

#include <cstdlib>
#include <string_view>

namespace platform::dialog {
namespace {

using namespace palette;

constexpr COLORREF kTextColor = RGB(0, 0, 0);

// clang-format off
// The tick of a checked box, placed in its 9 x 9 white square.
constexpr const char* kTick[] = {
    "......#",
    ".....##",
    "#...###",
    "##.###.",
    "#####..",
    ".###...",
    "..#....",
};

// Radio button: outer ring (O), inner ring (I), inside (W). The rings are
// shadowed above the diagonal from bottom-left to top-right, lit below it.
constexpr const char* kRadio[kRadioSize] = {
    "....OOOO....",
    "..OOIIIIOO..",
    ".OIIWWWWIIO.",
    ".OIWWWWWWIO.",
    "OIWWWWWWWWIO",
    "OIWWWWWWWWIO",
    "OIWWWWWWWWIO",
    "OIWWWWWWWWIO",
    ".OIWWWWWWIO.",
    ".OIIWWWWIIO.",
    "..OOIIIIOO..",
    "....OOOO....",
};
// clang-format on

struct ItemLook {
  const DialogItemTemplate& item;
  std::string_view text;
  PixelRect rect;
  bool checked;
  bool focused;
  bool pushed;
};

// The icon an icon control names as "#<resource id>".
const DialogIcon* IconOf(std::string_view name) {
  if (name.size() < 2 || name[0] != '#') return nullptr;
  return FindDialogIcon(std::atoi(std::string(name.substr(1)).c_str()));
}

// The icon over the dialog face, blended by its alpha.
void DrawIcon(DialogCanvas& canvas, const ItemLook& look) {
  const DialogIcon* icon = IconOf(look.text);
  if (!icon || !icon->pixels) return;
  for (int row = 0; row < icon->height; ++row) {
    for (int column = 0; column < icon->width; ++column) {
      const std::uint32_t argb = icon->pixels[row * icon->width + column];
      const int alpha = static_cast<int>(argb >> 24);
      if (alpha == 0) continue;
      const auto mix = [alpha](int channel, int face) {
        return (channel * alpha + face * (255 - alpha) + 127) / 255;
      };
      canvas.Pixel(look.rect.x + column, look.rect.y + row,
                   Rgb555(mix((argb >> 16) & 0xFF, kFaceLevel), mix((argb >> 8) & 0xFF, kFaceLevel),
                          mix(argb & 0xFF, kFaceLevel)));
    }
  }
}

void DrawStaticText(DialogCanvas& canvas, const ItemLook& look) {
  int x = look.rect.x;
  if (look.item.style & SS_CENTER) x += (look.rect.width - canvas.TextWidth(look.text)) / 2;
  canvas.Text(x, look.rect.y, look.text, kTextColor);
}

// The desktop's raised window edge, then a line of face.
void DrawModalFrame(DialogCanvas& canvas, int width, int height) {
  const PixelRect outer{0, 0, width, height};
  canvas.Bevel(outer, kLight, kDarkShadow);
  canvas.Bevel(Inset(outer, 1), kHighlight, kShadow);
  canvas.Bevel(Inset(outer, 2), kFace, kFace);
}

void DrawFocus(DialogCanvas& canvas, const PixelRect& rect) {
  canvas.DottedFrame(rect, kDarkShadow);
}

void DrawPushButton(DialogCanvas& canvas, const ItemLook& look, bool isDefault, int textHeight) {
  canvas.Fill(look.rect, kFace);
  PixelRect edge = look.rect;
  if (isDefault || look.pushed) {
    canvas.Bevel(edge, kDarkShadow, kDarkShadow);
    edge = Inset(edge, 1);
  }
  if (look.pushed) {
    canvas.Bevel(edge, kShadow, kShadow);
  } else {
    canvas.Bevel(edge, kHighlight, kDarkShadow);
    canvas.Bevel(Inset(edge, 1), kLight, kShadow);
  }
  const std::string_view caption = look.text;
  const int shift = look.pushed ? 1 : 0;
  const int x = look.rect.x + (look.rect.width - canvas.TextWidth(caption)) / 2 + shift;
  const int y = look.rect.y + (look.rect.height - textHeight) / 2 + shift;
  canvas.Text(x, y, caption, kTextColor);
  if (look.focused) DrawFocus(canvas, Inset(look.rect, 4));
}

void DrawCheckMark(DialogCanvas& canvas, int left, int top) {
  for (int row = 0; row < 7; ++row) {
    for (int column = 0; column < 7; ++column) {
      if (kTick[row][column] == '#') canvas.Pixel(left + column, top + row, kMark);
    }
  }
}

void DrawCheckBox(DialogCanvas& canvas, const PixelRect& box, bool checked, bool pushed) {
  canvas.Bevel(box, kShadow, kHighlight);
  canvas.Bevel(Inset(box, 1), kDarkShadow, kLight);
  canvas.Fill(Inset(box, 2), pushed ? kFace : kWindow);
  if (checked) DrawCheckMark(canvas, box.x + 3, box.y + 3);
}

void DrawRadio(DialogCanvas& canvas, int left, int top, bool checked, bool pushed) {
  for (int row = 0; row < kRadioSize; ++row) {
    for (int column = 0; column < kRadioSize; ++column) {
      const char part = kRadio[row][column];
      const bool shadowSide = row + column <= kRadioSize - 2;
      std::uint16_t color;
      if (part == 'O') {
        color = shadowSide ? kShadow : kHighlight;
      } else if (part == 'I') {
        color = shadowSide ? kDarkShadow : kLight;
      } else if (part == 'W') {
        const bool dot = row >= 4 && row <= 7 && column >= 4 && column <= 7 &&
                         (row == 5 || row == 6 || column == 5 || column == 6);
        color = checked && dot ? kMark : (pushed ? kFace : kWindow);
      } else {
        continue;
      }
      canvas.Pixel(left + column, top + row, color);
    }
  }
}

void DrawButtonWithCaption(DialogCanvas& canvas, const ItemLook& look, int textHeight) {
  const bool radio = look.item.kind == ControlKind::RadioButton;
  const PixelRect& rect = look.rect;
  const int markSize = radio ? kRadioSize : kCheckBoxSize;
  const int markTop = rect.y + (rect.height - markSize) / 2;
  if (radio) {
    DrawRadio(canvas, rect.x, markTop, look.checked, look.pushed);
  } else {
    DrawCheckBox(canvas, {rect.x, markTop, markSize, markSize}, look.checked, look.pushed);
  }
  const std::string_view caption = look.text;
  const int x = rect.x + kCaptionOffset;
  const int y = rect.y + (rect.height - textHeight) / 2;
  canvas.Text(x, y, caption, kTextColor);
  if (look.focused)
    DrawFocus(canvas, {x - 2, y - 1, canvas.TextWidth(caption) + 4, textHeight + 2});
}

void DrawGroupBox(DialogCanvas& canvas, const ItemLook& look, int textHeight) {
  const PixelRect& rect = look.rect;
  const int top = rect.y + textHeight / 2;
  const int height = rect.height - (top - rect.y);
  canvas.Bevel({rect.x + 1, top + 1, rect.width - 1, height - 1}, kHighlight, kHighlight);
  canvas.Bevel({rect.x, top, rect.width - 1, height - 1}, kShadow, kShadow);
  const std::string_view caption = look.text;
  if (caption.empty()) return;
  const int x = rect.x + 8;
  canvas.Fill({x - 2, top, canvas.TextWidth(caption) + 4, 2}, kFace);
  canvas.Text(x, rect.y, caption, kTextColor);
}

}  // namespace

void PaintDialog(const DialogSession& session, DialogCanvas& canvas) {
  const DialogLayout& layout = session.layout();
  canvas.SetOrigin(0, 0);
  canvas.Fill({0, 0, canvas.width(), canvas.height()}, kFace);
  if (layout.frame > 0) DrawModalFrame(canvas, canvas.width(), canvas.height());
  canvas.SetOrigin(layout.frame, layout.frame);
  canvas.SelectFont(session.font());
  const int defaultButton = session.defaultButton();
  for (int i = 0; i < session.count(); ++i) {
    const ItemLook look{session.item(i),    session.text(i),      layout.items[i],
                        session.checked(i), session.focus() == i, session.pushedDown() == i};
    switch (look.item.kind) {
      case ControlKind::PushButton:
        DrawPushButton(canvas, look, i == defaultButton, layout.textHeight);
        break;
      case ControlKind::CheckBox:
      case ControlKind::RadioButton:
        DrawButtonWithCaption(canvas, look, layout.textHeight);
        break;
      case ControlKind::GroupBox:
        DrawGroupBox(canvas, look, layout.textHeight);
        break;
      case ControlKind::StaticText:
        DrawStaticText(canvas, look);
        break;
      case ControlKind::Icon:
        DrawIcon(canvas, look);
        break;
    }
  }
}

}  // namespace platform::dialog
