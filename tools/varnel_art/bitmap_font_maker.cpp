#include "tools/varnel_art/bitmap_font_maker.hpp"

#include "platform/text/text_service.hpp"

namespace varnel_art {

using namespace platform;

std::vector<uint8_t> MakeBitmapFont(std::string* error) {
  // One cell per glyph, drawn white on black in a 16 x 16 image.
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 16;
  info.bmiHeader.biHeight = -16;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 16;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  // The reader's default font: 16 x 8, bold, OEM character set.
  HFONT font = CreateFontA(16, 8, 0, 0, FW_BOLD, 0, 0, 0, OEM_CHARSET, 0, 0, 0, 0, nullptr);
  std::vector<uint8_t> file;
  if (!dc || !bitmap || !font) {
    *error = "no monospace face for the bitmap font";
  } else {
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    auto* pixels = static_cast<uint16_t*>(bits);
    for (int code = 0; code < 256; ++code) {
      for (int i = 0; i < 16 * 16; ++i) pixels[i] = 0;
      const char byte = static_cast<char>(code);
      TextOutA(dc, 0, 0, &byte, 1);
      for (int row = 0; row < 16; ++row) {
        uint8_t value = 0;
        for (int column = 0; column < 8; ++column)
          if (pixels[row * 16 + column] != 0) value |= static_cast<uint8_t>(0x80 >> column);
        file.push_back(value);
      }
    }
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
  }
  if (font) DeleteObject(font);
  if (bitmap) DeleteObject(bitmap);
  if (dc) DeleteDC(dc);
  return file;
}

}  // namespace varnel_art
