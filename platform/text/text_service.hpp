// Text service: the desktop graphics calls the reader measures and draws text
// with, kept under their usual names and meanings. Fonts, memory device
// contexts and 16-bit DIB sections; text is drawn straight into the
// section's pixels without anti-aliasing.
//
// Differences from the desktop's own library, all deliberate:
// - Only memory contexts exist; the context given to CreateCompatibleDC is
//   not looked at. The only bitmaps are 16-bit uncompressed (5-5-5) DIB
//   sections; a new context holds a 1 x 1 stock bitmap and the stock font.
// - No mapping modes, alignment, clipping regions or escapement: (x, y) of
//   TextOutA is the top-left of the first character cell.
// - GetCharWidthA reports the font's advances only; character extra and
//   justification are added by GetTextExtentPoint32A and TextOutA.
// - Justification set by SetTextJustification applies in full to every
//   following TextOutA and GetTextExtentPoint32A: each break character gets
//   extra / count pixels and the first (extra % count) breaks of the string
//   one pixel more. The remainder is not used up by drawing, so the same
//   call draws the same pixels every time.
// - Deleting a selected font or bitmap succeeds; the object goes away when
//   it is deselected or its context is deleted, and its handle is invalid at
//   once.
// - Fonts larger than 1024 pixels, bitmaps larger than 16384 x 16384 and a
//   file-mapping section for CreateDIBSection are refused (null handle).
//
// Everything here belongs to one thread (the reader's magazine thread).
//
// One font driver is current for the whole process (see drivers.hpp): the
// real one resolves face names through fontconfig and rasterises with
// FreeType; the fake one gives fixed metrics (see FakeTextService below).
#pragma once

#include <cstdint>

namespace platform {

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = unsigned int;
using COLORREF = std::uint32_t;  // 0x00BBGGRR

struct GdiDc;
struct GdiFont;
struct GdiBitmap;
using HDC = GdiDc*;
using HFONT = GdiFont*;
using HBITMAP = GdiBitmap*;
using HGDIOBJ = void*;

inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;
inline constexpr UINT DIB_RGB_COLORS = 0;
inline constexpr DWORD BI_RGB = 0;
inline constexpr int FW_NORMAL = 400;
inline constexpr int FW_BOLD = 700;
inline constexpr DWORD ANSI_CHARSET = 0;
inline constexpr DWORD OEM_CHARSET = 255;  // bytes map through code page 437
inline constexpr UINT OBJ_FONT = 6;
inline constexpr UINT OBJ_BITMAP = 7;
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
inline constexpr int LF_FACESIZE = 32;

constexpr COLORREF RGB(BYTE red, BYTE green, BYTE blue) {
  return COLORREF{red} | (COLORREF{green} << 8) | (COLORREF{blue} << 16);
}

struct SIZE {
  LONG cx;
  LONG cy;
};

struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;  // negative: top-down rows
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};

struct RGBQUAD {
  BYTE rgbBlue, rgbGreen, rgbRed, rgbReserved;
};

struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};

struct LOGFONTA {
  LONG lfHeight;  // > 0: cell height (ascent + descent); < 0: em height
  LONG lfWidth;   // average character width; 0: the face's own aspect
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;
  BYTE lfItalic, lfUnderline, lfStrikeOut, lfCharSet;
  BYTE lfOutPrecision, lfClipPrecision, lfQuality, lfPitchAndFamily;
  char lfFaceName[LF_FACESIZE];
};

struct TEXTMETRICA {
  LONG tmHeight, tmAscent, tmDescent, tmInternalLeading, tmExternalLeading;
  LONG tmAveCharWidth, tmMaxCharWidth, tmWeight, tmOverhang;
  LONG tmDigitizedAspectX, tmDigitizedAspectY;
  BYTE tmFirstChar, tmLastChar, tmDefaultChar, tmBreakChar;
  BYTE tmItalic, tmUnderlined, tmStruckOut, tmPitchAndFamily, tmCharSet;
};

// Contexts and bitmaps.
HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);
// 16 bits per pixel, BI_RGB only; `*bits` receives zeroed pixel memory with
// rows of ((width + 1) / 2) * 4 bytes, top row first when biHeight < 0.
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, void* section,
                         DWORD offset);

// Fonts. A face name longer than LF_FACESIZE - 1 bytes is cut there.
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, const char* faceName);
HFONT CreateFontIndirectA(const LOGFONTA* font);

// Objects: returns the previously selected object of the same kind, or null.
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);
// Fonts only: copies the LOGFONTA the font was made from; returns bytes copied.
int GetObjectA(HGDIOBJ object, int size, void* buffer);

// Drawing state. Defaults: text black, background white, mode OPAQUE (the
// cells behind the text are filled with the background colour).
COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF SetBkColor(HDC hdc, COLORREF color);
int SetBkMode(HDC hdc, int mode);
int SetTextCharacterExtra(HDC hdc, int extra);  // 0x80000000 on failure
BOOL SetTextJustification(HDC hdc, int breakExtra, int breakCount);

// Measuring. Codes 0..255 only.
BOOL GetCharWidthA(HDC hdc, UINT first, UINT last, int* widths);
BOOL GetTextExtentPoint32A(HDC hdc, const char* text, int length, SIZE* size);
BOOL GetTextMetricsA(HDC hdc, TEXTMETRICA* metrics);
// The family the selected font resolved to (for example "Liberation Sans"
// for "Arial"); returns the characters copied including the terminator.
int GetTextFaceA(HDC hdc, int count, char* faceName);

// Drawing into the selected bitmap, clipped to it.
BOOL TextOutA(HDC hdc, int x, int y, const char* text, int length);

// Font drivers.
class TextService;
TextService& FreeTypeTextService();  // fontconfig and FreeType, monochrome hinted glyphs
// Fixed metrics for tests: every advance is |width| (8 for width 0), the cell
// |height| (16 for height 0) with ascent a = cell - cell / 4. Drawn at (x, y),
// each glyph but 0x00 and 0x20 is a solid box over rows y + 1 to y + a - 1
// and columns from the pen on, advance - 1 wide (advance when bold); the
// underline is row y + a, the strike-out row y + a - a / 2. The face name is
// the one asked for, or "Fake".
TextService& FakeTextService();
void SetTextService(TextService* service);  // null: the FreeType driver
TextService& CurrentTextService();
const char* TextDriverName();

// Glyph images made since the program started, over all fonts; each font
// makes each of its 256 glyphs at most once.
std::uint64_t GlyphsRasterized();

}  // namespace platform
