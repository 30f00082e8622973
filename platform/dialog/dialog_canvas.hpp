// The pixels a dialog is drawn into: a 16-bit (5-5-5) DIB section selected
// into a memory context of the text service, so that captions are drawn
// with the text service's fonts, and a few line and box primitives.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/dialog/dialog_layout.hpp"

namespace platform::dialog {

constexpr std::uint16_t Rgb555(int red, int green, int blue) {
  return static_cast<std::uint16_t>(((red >> 3) << 10) | ((green >> 3) << 5) | (blue >> 3));
}

class DialogCanvas {
 public:
  DialogCanvas(int width, int height);
  ~DialogCanvas();
  DialogCanvas(const DialogCanvas&) = delete;
  DialogCanvas& operator=(const DialogCanvas&) = delete;

  bool valid() const { return pixels_ != nullptr; }
  int width() const { return width_; }
  int height() const { return height_; }
  int stride() const { return stride_; }  // pixels per row
  const std::uint16_t* pixels() const { return pixels_; }
  std::uint16_t At(int x, int y) const { return pixels_[y * stride_ + x]; }

  // Where drawing coordinates start on the canvas (0, 0 unless moved).
  void SetOrigin(int x, int y);

  void Pixel(int x, int y, std::uint16_t color);
  void Fill(const PixelRect& rect, std::uint16_t color);
  // Top and left edge in one colour, bottom and right edge in the other.
  void Bevel(const PixelRect& rect, std::uint16_t topLeft, std::uint16_t bottomRight);
  // Every other pixel of the rectangle's edge.
  void DottedFrame(const PixelRect& rect, std::uint16_t color);

  void SelectFont(HFONT font);
  int TextWidth(std::string_view text);
  void Text(int x, int y, std::string_view text, COLORREF color);

 private:
  int width_, height_, stride_ = 0;
  int originX_ = 0, originY_ = 0;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ stockBitmap_ = nullptr;
  std::uint16_t* pixels_ = nullptr;
};

PixelRect Inset(const PixelRect& rect, int by);

}  // namespace platform::dialog
