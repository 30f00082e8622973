#include "varnel/text/text_surface.hpp"

#include "varnel/failure/fatal_error.hpp"

namespace varnel {

using namespace platform;

TextSurface textSurface = {};

void CreateTextSurface(HDC windowDC) {
  textSurface.defaultFont = CreateFontA(16, 8, 0, 0, FW_BOLD, 0, 0, 0, OEM_CHARSET, 0, 0, 0, 0, nullptr);
  textSurface.CompatibleHDC = CreateCompatibleDC(windowDC);
  if (!textSurface.CompatibleHDC) FatalError("CompatibleHDC == NULL !");
  SelectObject(textSurface.CompatibleHDC, textSurface.defaultFont);

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = platform::kScreenWidth;
  info.bmiHeader.biHeight = -platform::kScreenHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 16;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  textSurface.font_bitmap =
      CreateDIBSection(textSurface.CompatibleHDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!textSurface.font_bitmap) FatalError("font_bitmap == NULL");
  textSurface.pixels = static_cast<uint16_t*>(bits);

  textSurface.initialBitmap = SelectObject(textSurface.CompatibleHDC, textSurface.font_bitmap);
  SetBkColor(textSurface.CompatibleHDC, 0);
  SetBkMode(textSurface.CompatibleHDC, TRANSPARENT);
  SetTextColor(textSurface.CompatibleHDC, RGB(0, 0, 255));
}

void ReleaseTextSurface() {
  if (!textSurface.CompatibleHDC) return;
  // Deselect before deleting so nothing is deleted while in use.
  if (textSurface.initialBitmap) SelectObject(textSurface.CompatibleHDC, textSurface.initialBitmap);
  DeleteObject(textSurface.font_bitmap);
  DeleteDC(textSurface.CompatibleHDC);
  DeleteObject(textSurface.defaultFont);
  textSurface = {};
}

FontHandle CreateArticleFont(const char* face, int32_t underline, int32_t bold, int32_t italic,
                             int32_t width, int32_t height) {
  FontHandle font = CreateFontA(height, width, 0, 0, bold == 1 ? FW_BOLD : FW_NORMAL,
                                static_cast<DWORD>(italic), static_cast<DWORD>(underline), 0,
                                OEM_CHARSET, 0, 0, 0, 0, face);
  if (!font) FatalError("WinAPI->CreateFont FAILED !");
  return font;
}

}  // namespace varnel
