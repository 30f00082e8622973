// Dialog units to pixels, from the dialog font as the desktop does it: the
// horizontal base unit is the font's average character width (the 52 Latin
// letters, halved and rounded), the vertical one its character height; a
// dialog unit is a quarter of the first and an eighth of the second.
#pragma once

#include <vector>

#include "platform/dialog/dialog_template.hpp"

namespace platform::dialog {

struct PixelRect {
  int x, y, width, height;
  bool Contains(int px, int py) const {
    return px >= x && py >= y && px < x + width && py < y + height;
  }
};

// The template's face at its point size on a 96-dpi screen, normal weight.
// Faces of the old desktop's dialogs map to the sans face they stood for.
class DialogFont {
 public:
  DialogFont(const char* faceName, int pointSize);
  ~DialogFont();
  DialogFont(const DialogFont&) = delete;
  DialogFont& operator=(const DialogFont&) = delete;

  HFONT handle() const { return font_; }

 private:
  HFONT font_ = nullptr;
};

// The em height in pixels of a point size at 96 dpi, rounded.
int PointsToPixels(int pointSize);

// Width of the raised border of a modal frame without caption.
inline constexpr int kModalFrameWidth = 3;

struct DialogLayout {
  int baseX = 0, baseY = 0;   // pixels per 4 horizontal / 8 vertical units
  int textHeight = 0;         // the font's cell height
  int x = 0, y = 0;           // the template's position of the window
  int width = 0, height = 0;  // client area
  int frame = 0;              // border drawn around it by the dialog manager
  int windowWidth() const { return width + 2 * frame; }
  int windowHeight() const { return height + 2 * frame; }
  std::vector<PixelRect> items;
};

// False when the font cannot be measured.
bool ComputeDialogLayout(const DialogTemplate& dialogTemplate, HFONT font, DialogLayout* layout);

}  // namespace platform::dialog
