// Handles, memory device contexts, DIB sections, selection and the drawing
// state of a context.
#include "platform/text/gdi_objects.hpp"

#include <climits>
#include <cstdlib>
#include <unordered_map>

namespace platform {
namespace {

enum class Kind { Dc, Font, Bitmap };

// Every live handle; a handle not found here is refused.
std::unordered_map<const void*, Kind>& Handles() {
  static auto* handles = new std::unordered_map<const void*, Kind>;
  return *handles;
}

bool IsKind(const void* handle, Kind kind) {
  if (!handle) return false;
  const auto found = Handles().find(handle);
  return found != Handles().end() && found->second == kind;
}

constexpr int kMaxBitmapSide = 16384;

// What a new context holds before the program selects its own bitmap.
GdiBitmap* StockBitmap() {
  static GdiBitmap* stock = [] {
    auto* bitmap = new GdiBitmap;
    bitmap->width = 1;
    bitmap->height = 1;
    bitmap->stride = 2;
    bitmap->memory = std::make_unique<std::uint16_t[]>(2);
    bitmap->stock = true;
    Handles()[bitmap] = Kind::Bitmap;
    return bitmap;
  }();
  return stock;
}

void ReleaseFont(GdiFont* font) {
  if (!font || font->stock) return;
  if (--font->selections == 0 && font->deletePending) delete font;
}

void ReleaseBitmap(GdiBitmap* bitmap) {
  if (!bitmap || bitmap->stock) return;
  bitmap->selectedInto = nullptr;
  if (bitmap->deletePending) delete bitmap;
}

}  // namespace

GdiDc* FindDc(HDC hdc) { return IsKind(hdc, Kind::Dc) ? hdc : nullptr; }

GdiFont* FindFont(HGDIOBJ object) {
  return IsKind(object, Kind::Font) ? static_cast<GdiFont*>(object) : nullptr;
}

GdiBitmap* FindBitmap(HGDIOBJ object) {
  return IsKind(object, Kind::Bitmap) ? static_cast<GdiBitmap*>(object) : nullptr;
}

void RegisterFont(GdiFont* font) { Handles()[font] = Kind::Font; }
void ForgetFont(GdiFont* font) { Handles().erase(font); }

std::uint16_t PackRgb555(COLORREF color) {
  return static_cast<std::uint16_t>(((color & 0xF8) << 7) | ((color >> 6) & 0x3E0) |
                                    ((color >> 19) & 0x1F));
}

HDC CreateCompatibleDC(HDC) {
  auto* dc = new GdiDc;
  dc->font = StockFont();
  dc->bitmap = StockBitmap();
  Handles()[dc] = Kind::Dc;
  return dc;
}

BOOL DeleteDC(HDC hdc) {
  GdiDc* dc = FindDc(hdc);
  if (!dc) return 0;
  Handles().erase(dc);
  ReleaseFont(dc->font);
  ReleaseBitmap(dc->bitmap);
  delete dc;
  return 1;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT, void** bits, void* section, DWORD) {
  if (bits) *bits = nullptr;
  if (!info || section) return nullptr;
  const BITMAPINFOHEADER& header = info->bmiHeader;
  if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biPlanes != 1 || header.biBitCount != 16 ||
      header.biCompression != BI_RGB) {
    return nullptr;
  }
  const LONG width = header.biWidth;
  const LONG height = header.biHeight == INT_MIN ? 0 : std::abs(header.biHeight);
  if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide) {
    return nullptr;
  }
  auto* bitmap = new GdiBitmap;
  bitmap->width = width;
  bitmap->height = height;
  bitmap->stride = (width + 1) / 2 * 2;  // rows end on a 4-byte boundary
  bitmap->topDown = header.biHeight < 0;
  bitmap->memory = std::make_unique<std::uint16_t[]>(bitmap->stride * height);
  Handles()[bitmap] = Kind::Bitmap;
  if (bits) *bits = bitmap->memory.get();
  return bitmap;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
  GdiDc* dc = FindDc(hdc);
  if (!dc) return nullptr;
  if (GdiFont* font = FindFont(object)) {
    GdiFont* previous = dc->font;
    if (!font->stock) ++font->selections;
    dc->font = font;
    ReleaseFont(previous);
    return previous;
  }
  if (GdiBitmap* bitmap = FindBitmap(object)) {
    // The stock bitmap may stand in any number of contexts; others in one.
    if (!bitmap->stock && bitmap->selectedInto && bitmap->selectedInto != dc) return nullptr;
    GdiBitmap* previous = dc->bitmap;
    if (previous == bitmap) return previous;
    if (!bitmap->stock) bitmap->selectedInto = dc;
    dc->bitmap = bitmap;
    ReleaseBitmap(previous);
    return previous;
  }
  return nullptr;
}

BOOL DeleteObject(HGDIOBJ object) {
  if (GdiFont* font = FindFont(object)) {
    if (font->stock) return 1;
    ForgetFont(font);
    if (font->selections > 0) {
      font->deletePending = true;
    } else {
      delete font;
    }
    return 1;
  }
  if (GdiBitmap* bitmap = FindBitmap(object)) {
    if (bitmap->stock) return 1;
    Handles().erase(bitmap);
    if (bitmap->selectedInto) {
      bitmap->deletePending = true;
    } else {
      delete bitmap;
    }
    return 1;
  }
  return 0;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  GdiDc* dc = FindDc(hdc);
  if (!dc) return nullptr;
  if (type == OBJ_FONT) return dc->font;
  if (type == OBJ_BITMAP) return dc->bitmap;
  return nullptr;
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
  GdiDc* dc = FindDc(hdc);
  if (!dc) return CLR_INVALID;
  const COLORREF previous = dc->textColor;
  dc->textColor = color & 0xFFFFFF;
  return previous;
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
  GdiDc* dc = FindDc(hdc);
  if (!dc) return CLR_INVALID;
  const COLORREF previous = dc->backgroundColor;
  dc->backgroundColor = color & 0xFFFFFF;
  return previous;
}

int SetBkMode(HDC hdc, int mode) {
  GdiDc* dc = FindDc(hdc);
  if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  const int previous = dc->backgroundMode;
  dc->backgroundMode = mode;
  return previous;
}

int SetTextCharacterExtra(HDC hdc, int extra) {
  GdiDc* dc = FindDc(hdc);
  if (!dc) return INT_MIN;
  const int previous = dc->charExtra;
  dc->charExtra = extra;
  return previous;
}

BOOL SetTextJustification(HDC hdc, int breakExtra, int breakCount) {
  GdiDc* dc = FindDc(hdc);
  if (!dc) return 0;
  if (breakCount <= 0 || breakExtra == 0) {
    dc->breakExtra = 0;
    dc->breakRemainder = 0;
  } else {
    dc->breakExtra = breakExtra / breakCount;
    dc->breakRemainder = breakExtra % breakCount;
  }
  return 1;
}

}  // namespace platform
