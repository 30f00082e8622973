#include "varnel/text/bitmap_font.hpp"

#include <cstdlib>
#include <cstring>

#include "varnel/media/picture.hpp"
#include "varnel/failure/fatal_error.hpp"

namespace varnel {

namespace {

// A cell of `width` x glyphHeight fits the image entirely.
bool Fits(const BitmapFont* font, ImageRef image, int32_t x, int32_t y, int32_t width) {
  return font->loaded && x >= 0 && y >= 0 &&
         static_cast<int64_t>(x) + width <= image.width &&
         static_cast<int64_t>(y) + font->glyphHeight <= image.height;
}

}  // namespace

void LoadBitmapFont(BitmapFont* font, const char* fileName) {
  font->glyphWidth = 8;
  font->glyphHeight = 16;
  for (auto& glyph : font->glyphs) glyph = AllocZeroedArray<int32_t>(font->glyphHeight);
  int32_t size = 0;
  uint8_t* bytes = LoadBinaryFile(fileName, &size);
  if (size != font->glyphWidth * font->glyphHeight * 256 / 8) FatalError("ERROR IN *.FNT FILE !");
  const uint8_t* next = bytes;
  for (auto& glyph : font->glyphs)
    for (int32_t r = 0; r < font->glyphHeight; ++r) glyph[r] = *next++;
  std::free(bytes);
  font->loaded = 1;
}

void ReleaseBitmapFont(BitmapFont* font) {
  if (!font->loaded) return;
  for (auto& glyph : font->glyphs) {
    std::free(glyph);
    glyph = nullptr;
  }
  font->loaded = 0;
}

void DrawGlyph(const BitmapFont* font, ImageRef image, uint8_t code, uint16_t colour, int32_t x,
               int32_t y) {
  if (!Fits(font, image, x, y, font->glyphWidth)) return;
  for (int32_t r = 0; r < font->glyphHeight; ++r) {
    uint16_t* row = image.pixels + static_cast<size_t>(y + r) * image.width + x;
    const unsigned bits = static_cast<unsigned>(font->glyphs[code][r]);
    for (int32_t k = 0; k < font->glyphWidth; ++k)
      if (bits & (0x80u >> k)) row[k] = colour;
  }
}

void DrawGlyphBoxed(const BitmapFont* font, ImageRef image, uint8_t code, uint16_t colour, int32_t x,
                    int32_t y) {
  if (!Fits(font, image, x, y, font->glyphWidth)) return;
  for (int32_t r = 0; r < font->glyphHeight; ++r) {
    uint16_t* row = image.pixels + static_cast<size_t>(y + r) * image.width + x;
    const unsigned bits = static_cast<unsigned>(font->glyphs[code][r]);
    for (int32_t k = 0; k < font->glyphWidth; ++k)
      row[k] = (bits & (0x80u >> k)) ? colour : kBoxedCellColour;
  }
}

void DrawGlyphs4(const BitmapFont* font, ImageRef image, const uint8_t* codes, uint16_t colour,
                 int32_t x, int32_t y) {
  // The group is four 8-pixel glyphs of 16 rows, whatever the font says.
  if (!Fits(font, image, x, y, 4 * font->glyphWidth)) return;
  for (int32_t r = 0; r < 16; ++r) {
    // First glyph in bits 7-0, then the second, third and fourth from bit 31
    // down: rotating left by one visits them in drawing order.
    uint32_t word = (static_cast<uint32_t>(font->glyphs[codes[0]][r]) & 0xFF) |
                    (static_cast<uint32_t>(font->glyphs[codes[1]][r]) & 0xFF) << 24 |
                    (static_cast<uint32_t>(font->glyphs[codes[2]][r]) & 0xFF) << 16 |
                    (static_cast<uint32_t>(font->glyphs[codes[3]][r]) & 0xFF) << 8;
    uint16_t* row = image.pixels + static_cast<size_t>(y + r) * image.width + x;
    for (int k = 0; k < 32; ++k) {
      if (word & 0x80) row[k] = colour;
      word = (word << 1) | (word >> 31);
    }
  }
}

void DrawBitmapText(const BitmapFont* font, ImageRef image, const char* text, uint16_t colour,
                    int32_t x, int32_t y) {
  const auto* codes = reinterpret_cast<const uint8_t*>(text);
  size_t n = std::strlen(text);
  for (; n >= 4; n -= 4, codes += 4, x += 4 * font->glyphWidth)
    DrawGlyphs4(font, image, codes, colour, x, y);
  for (; n > 0; --n, ++codes, x += font->glyphWidth) DrawGlyph(font, image, *codes, colour, x, y);
}

void DrawBitmapTextBoxed(const BitmapFont* font, ImageRef image, const char* text, uint16_t colour,
                         int32_t x, int32_t y) {
  for (const auto* code = reinterpret_cast<const uint8_t*>(text); *code; ++code, x += font->glyphWidth)
    DrawGlyphBoxed(font, image, *code, colour, x, y);
}

}  // namespace varnel
