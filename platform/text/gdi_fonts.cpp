// Font objects: creation through the current driver, the per-font advance
// table and glyph cache, and the font queries of a context.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>

#include "platform/text/gdi_objects.hpp"

namespace platform {
namespace {

TextService* currentService = nullptr;
std::uint64_t glyphsRasterized = 0;

// Larger cells than this cannot be shown on any page and would only cost
// memory.
constexpr int kMaxFontPixels = 1024;

void CopyFaceName(char (&target)[LF_FACESIZE], const char* face) {
  std::memset(target, 0, sizeof target);
  if (face) std::strncpy(target, face, LF_FACESIZE - 1);
}

GdiFont* SelectedFont(HDC hdc) {
  GdiDc* dc = FindDc(hdc);
  return dc ? dc->font : nullptr;
}

// Turns a glyph image into runs of ink relative to the cell top.
void MakeGlyph(GdiFont& font, std::uint8_t byte) {
  const GlyphBitmap image = font.face->Rasterize(byte);
  ++glyphsRasterized;
  GlyphSlot& slot = font.glyphs[byte];
  slot.firstSpan = static_cast<std::uint32_t>(font.spans.size());
  const int topRow = font.face->Metrics().ascent - image.top;
  for (int row = 0; row < image.rows; ++row) {
    const std::uint8_t* ink = image.ink.data() + static_cast<std::size_t>(row) * image.width;
    for (int column = 0; column < image.width;) {
      if (!ink[column]) {
        ++column;
        continue;
      }
      const int start = column;
      while (column < image.width && ink[column]) ++column;
      font.spans.push_back({static_cast<std::int16_t>(image.left + start),
                            static_cast<std::int16_t>(topRow + row),
                            static_cast<std::int16_t>(column - start)});
    }
  }
  slot.spanCount = static_cast<std::uint32_t>(font.spans.size()) - slot.firstSpan;
  slot.ready = true;
}

}  // namespace

TextService& CurrentTextService() {
  return currentService ? *currentService : FreeTypeTextService();
}

void SetTextService(TextService* service) { currentService = service; }

const char* TextDriverName() { return CurrentTextService().DriverName(); }

std::uint64_t GlyphsRasterized() { return glyphsRasterized; }

HFONT CreateFontIndirectA(const LOGFONTA* logFont) {
  if (!logFont) return nullptr;
  const long long height = std::llabs(logFont->lfHeight);
  const long long width = std::llabs(logFont->lfWidth);
  if (height > kMaxFontPixels || width > kMaxFontPixels) return nullptr;
  FontRequest request;
  request.height = logFont->lfHeight;
  request.width = static_cast<int>(width);
  request.weight = logFont->lfWeight;
  request.italic = logFont->lfItalic != 0;
  request.charSet = logFont->lfCharSet;
  request.face.assign(logFont->lfFaceName, strnlen(logFont->lfFaceName, LF_FACESIZE - 1));
  std::unique_ptr<FontFace> face = CurrentTextService().OpenFont(request);
  if (!face) return nullptr;
  auto* font = new GdiFont;
  font->logFont = *logFont;
  font->logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
  font->face = std::move(face);
  RegisterFont(font);
  return font;
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, const char* faceName) {
  LOGFONTA logFont{};
  logFont.lfHeight = height;
  logFont.lfWidth = width;
  logFont.lfEscapement = escapement;
  logFont.lfOrientation = orientation;
  logFont.lfWeight = weight;
  logFont.lfItalic = static_cast<BYTE>(italic);
  logFont.lfUnderline = static_cast<BYTE>(underline);
  logFont.lfStrikeOut = static_cast<BYTE>(strikeOut);
  logFont.lfCharSet = static_cast<BYTE>(charSet);
  logFont.lfOutPrecision = static_cast<BYTE>(outPrecision);
  logFont.lfClipPrecision = static_cast<BYTE>(clipPrecision);
  logFont.lfQuality = static_cast<BYTE>(quality);
  logFont.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
  CopyFaceName(logFont.lfFaceName, faceName);
  return CreateFontIndirectA(&logFont);
}

GdiFont* StockFont() {
  static std::map<const TextService*, GdiFont*> stockFonts;
  GdiFont*& font = stockFonts[&CurrentTextService()];
  if (!font) {
    font = CreateFontA(16, 8, 0, 0, FW_BOLD, 0, 0, 0, OEM_CHARSET, 0, 0, 0, 0, nullptr);
    if (font) font->stock = true;
  }
  return font;
}

const std::array<int, 256>& Advances(GdiFont& font) {
  if (!font.advancesReady) {
    for (int byte = 0; byte < 256; ++byte) {
      font.advances[byte] = font.face->Advance(static_cast<std::uint8_t>(byte));
    }
    font.advancesReady = true;
  }
  return font.advances;
}

const GlyphSlot& Glyph(GdiFont& font, std::uint8_t byte) {
  if (!font.glyphs[byte].ready) MakeGlyph(font, byte);
  return font.glyphs[byte];
}

int GetObjectA(HGDIOBJ object, int size, void* buffer) {
  GdiFont* font = FindFont(object);
  if (!font) return 0;
  if (!buffer) return sizeof(LOGFONTA);
  const int copied = std::clamp(size, 0, static_cast<int>(sizeof(LOGFONTA)));
  std::memcpy(buffer, &font->logFont, copied);
  return copied;
}

BOOL GetCharWidthA(HDC hdc, UINT first, UINT last, int* widths) {
  GdiFont* font = SelectedFont(hdc);
  if (!font || !widths || first > last || last > 255) return 0;
  const std::array<int, 256>& advances = Advances(*font);
  std::copy(advances.begin() + first, advances.begin() + last + 1, widths);
  return 1;
}

BOOL GetTextMetricsA(HDC hdc, TEXTMETRICA* metrics) {
  GdiFont* font = SelectedFont(hdc);
  if (!font || !metrics) return 0;
  const FaceMetrics& face = font->face->Metrics();
  const LOGFONTA& logFont = font->logFont;
  *metrics = TEXTMETRICA{};
  metrics->tmHeight = face.ascent + face.descent;
  metrics->tmAscent = face.ascent;
  metrics->tmDescent = face.descent;
  metrics->tmInternalLeading = face.internalLeading;
  metrics->tmAveCharWidth = face.averageWidth;
  metrics->tmMaxCharWidth = face.maxWidth;
  metrics->tmWeight = face.weight;
  metrics->tmDigitizedAspectX = 96;
  metrics->tmDigitizedAspectY = 96;
  metrics->tmLastChar = 255;
  metrics->tmDefaultChar = ' ';
  metrics->tmBreakChar = ' ';
  metrics->tmItalic = logFont.lfItalic ? 1 : 0;
  metrics->tmUnderlined = logFont.lfUnderline ? 1 : 0;
  metrics->tmStruckOut = logFont.lfStrikeOut ? 1 : 0;
  // The low bit set means variable pitch; 0x06: a scalable outline face.
  metrics->tmPitchAndFamily = (face.fixedPitch ? 0 : 1) | 0x06;
  metrics->tmCharSet = logFont.lfCharSet;
  return 1;
}

int GetTextFaceA(HDC hdc, int count, char* faceName) {
  GdiFont* font = SelectedFont(hdc);
  if (!font) return 0;
  const std::string& family = font->face->Metrics().family;
  if (!faceName) return static_cast<int>(family.size()) + 1;
  if (count <= 0) return 0;
  const std::size_t copied = std::min(family.size(), static_cast<std::size_t>(count) - 1);
  std::memcpy(faceName, family.data(), copied);
  faceName[copied] = '\0';
  return static_cast<int>(copied) + 1;
}

}  // namespace platform
