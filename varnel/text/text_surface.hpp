// The one off-screen 640 x 480 15-bit image that article text is measured
// and drawn with, its device context, default font and article fonts.
#pragma once

#include <cstdint>

#include "platform/screen_size.hpp"
#include "platform/text/text_service.hpp"

namespace varnel {

using FontHandle = platform::HFONT;

struct TextSurface {
  platform::HDC CompatibleHDC;      // measuring and drawing
  platform::HBITMAP font_bitmap;    // 640 x 480, 5-5-5, top-down, rows of 1280 bytes
  uint16_t* pixels;                 // the page image, also written directly
  platform::HFONT defaultFont;      // 16 x 8 bold OEM, the text before any font tag
  platform::HGDIOBJ initialBitmap;  // what the context held before font_bitmap
};

extern TextSurface textSurface;

// Builds the surface: default font, memory context, DIB section, drawing
// mode (transparent, text blue). Failures are fatal.
void CreateTextSurface(platform::HDC windowDC);
void ReleaseTextSurface();

// A font for an article's tags; never null ("WinAPI->CreateFont FAILED !").
FontHandle CreateArticleFont(const char* face, int32_t underline, int32_t bold, int32_t italic,
                             int32_t width, int32_t height);

}  // namespace varnel
