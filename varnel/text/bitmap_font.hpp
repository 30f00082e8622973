// The magazine's fixed 8 x 16 bitmap font: 256 glyphs, drawn straight into
// 16-bit images. Used for bitmap-mode article text, its hovered links and the
// page title.
//
// File format: no header, 256 glyphs in code order, 16 bytes each (one per
// row, top first), bit 7 the leftmost pixel; exactly 4096 bytes.
#pragma once

#include <cstdint>

namespace varnel {

constexpr int32_t kBitmapFontFileSize = 4096;
constexpr uint16_t kBoxedCellColour = 0x1DE0;  // dark green behind hovered glyphs

struct BitmapFont {
  int32_t glyphWidth;   // 8: the advance of every character
  int32_t glyphHeight;  // 16: the line height in bitmap mode
  uint8_t loaded;       // drawing does nothing until a file was read
  int32_t* glyphs[256];  // glyphHeight row values per glyph; low 8 bits used
};

// A 16-bit image: the text surface or any picture-sized buffer.
struct ImageRef {
  int32_t width;
  int32_t height;
  uint16_t* pixels;
};

// Reads the font through the archive; a file of any other size than 4096
// bytes is fatal: "ERROR IN *.FNT FILE !".
void LoadBitmapFont(BitmapFont* font, const char* fileName);
void ReleaseBitmapFont(BitmapFont* font);

// Draws a zero-terminated string from (x, y), the top-left of its first
// cell: ink only, or every cell opaque with the rest in kBoxedCellColour.
// Each glyph (or group of four) is drawn whole or not at all.
void DrawBitmapText(const BitmapFont* font, ImageRef image, const char* text, uint16_t colour,
                    int32_t x, int32_t y);
void DrawBitmapTextBoxed(const BitmapFont* font, ImageRef image, const char* text, uint16_t colour,
                         int32_t x, int32_t y);

// The steps of the above.
void DrawGlyph(const BitmapFont* font, ImageRef image, uint8_t code, uint16_t colour, int32_t x,
               int32_t y);
void DrawGlyphBoxed(const BitmapFont* font, ImageRef image, uint8_t code, uint16_t colour, int32_t x,
                    int32_t y);
void DrawGlyphs4(const BitmapFont* font, ImageRef image, const uint8_t* codes, uint16_t colour,
                 int32_t x, int32_t y);

}  // namespace varnel
