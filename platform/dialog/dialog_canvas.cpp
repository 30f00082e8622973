#include "platform/dialog/dialog_canvas.hpp"

namespace platform::dialog {

PixelRect Inset(const PixelRect& rect, int by) {
  return {rect.x + by, rect.y + by, rect.width - 2 * by, rect.height - 2 * by};
}

DialogCanvas::DialogCanvas(int width, int height) : width_(width), height_(height) {
  if (width <= 0 || height <= 0) return;
  dc_ = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 16, BI_RGB};
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dc_ || !bitmap_) return;
  stockBitmap_ = SelectObject(dc_, bitmap_);
  SetBkMode(dc_, TRANSPARENT);
  stride_ = (width + 1) / 2 * 2;
  pixels_ = static_cast<std::uint16_t*>(bits);
}

DialogCanvas::~DialogCanvas() {
  if (stockBitmap_) SelectObject(dc_, stockBitmap_);
  if (bitmap_) DeleteObject(bitmap_);
  if (dc_) DeleteDC(dc_);
}

void DialogCanvas::SetOrigin(int x, int y) {
  originX_ = x;
  originY_ = y;
}

void DialogCanvas::Pixel(int x, int y, std::uint16_t color) {
  x += originX_;
  y += originY_;
  if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[y * stride_ + x] = color;
}

void DialogCanvas::Fill(const PixelRect& rect, std::uint16_t color) {
  for (int y = rect.y; y < rect.y + rect.height; ++y) {
    for (int x = rect.x; x < rect.x + rect.width; ++x) Pixel(x, y, color);
  }
}

void DialogCanvas::Bevel(const PixelRect& rect, std::uint16_t topLeft, std::uint16_t bottomRight) {
  if (rect.width <= 0 || rect.height <= 0) return;
  const int right = rect.x + rect.width - 1;
  const int bottom = rect.y + rect.height - 1;
  Fill({rect.x, rect.y, rect.width, 1}, topLeft);
  Fill({rect.x, rect.y, 1, rect.height}, topLeft);
  Fill({rect.x, bottom, rect.width, 1}, bottomRight);
  Fill({right, rect.y, 1, rect.height}, bottomRight);
}

void DialogCanvas::DottedFrame(const PixelRect& rect, std::uint16_t color) {
  const int right = rect.x + rect.width - 1;
  const int bottom = rect.y + rect.height - 1;
  for (int x = rect.x; x <= right; ++x) {
    if ((x - rect.x) % 2 == 0) {
      Pixel(x, rect.y, color);
      Pixel(x, bottom, color);
    }
  }
  for (int y = rect.y; y <= bottom; ++y) {
    if ((y - rect.y) % 2 == 0) {
      Pixel(rect.x, y, color);
      Pixel(right, y, color);
    }
  }
}

void DialogCanvas::SelectFont(HFONT font) {
  if (dc_ && font) SelectObject(dc_, font);
}

int DialogCanvas::TextWidth(std::string_view text) {
  SIZE size{};
  if (!GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size)) return 0;
  return size.cx;
}

void DialogCanvas::Text(int x, int y, std::string_view text, COLORREF color) {
  SetTextColor(dc_, color);
  TextOutA(dc_, x + originX_, y + originY_, text.data(), static_cast<int>(text.size()));
}

}  // namespace platform::dialog
