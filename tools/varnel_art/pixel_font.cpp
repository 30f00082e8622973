#include "tools/varnel_art/pixel_font.hpp"

#include <cctype>
#include <cstdint>

namespace varnel_art {
namespace {

struct Glyph {
  char code;
  uint8_t rows[7];  // bit 4 (or bit 2) is the leftmost cell
};

constexpr Glyph k5x7[] = {
    {'A', {14, 17, 17, 31, 17, 17, 17}}, {'B', {30, 17, 17, 30, 17, 17, 30}},
    {'C', {14, 17, 16, 16, 16, 17, 14}}, {'D', {30, 17, 17, 17, 17, 17, 30}},
    {'E', {31, 16, 16, 30, 16, 16, 31}}, {'F', {31, 16, 16, 30, 16, 16, 16}},
    {'G', {14, 17, 16, 23, 17, 17, 15}}, {'H', {17, 17, 17, 31, 17, 17, 17}},
    {'I', {14, 4, 4, 4, 4, 4, 14}},      {'J', {7, 2, 2, 2, 2, 18, 12}},
    {'K', {17, 18, 20, 24, 20, 18, 17}}, {'L', {16, 16, 16, 16, 16, 16, 31}},
    {'M', {17, 27, 21, 21, 17, 17, 17}}, {'N', {17, 17, 25, 21, 19, 17, 17}},
    {'O', {14, 17, 17, 17, 17, 17, 14}}, {'P', {30, 17, 17, 30, 16, 16, 16}},
    {'Q', {14, 17, 17, 17, 21, 18, 13}}, {'R', {30, 17, 17, 30, 20, 18, 17}},
    {'S', {15, 16, 16, 14, 1, 1, 30}},   {'T', {31, 4, 4, 4, 4, 4, 4}},
    {'U', {17, 17, 17, 17, 17, 17, 14}}, {'V', {17, 17, 17, 17, 17, 10, 4}},
    {'W', {17, 17, 17, 21, 21, 21, 10}}, {'X', {17, 17, 10, 4, 10, 17, 17}},
    {'Y', {17, 17, 17, 10, 4, 4, 4}},    {'Z', {31, 1, 2, 4, 8, 16, 31}},
    {'0', {14, 17, 19, 21, 25, 17, 14}}, {'1', {4, 12, 4, 4, 4, 4, 14}},
    {'2', {14, 17, 1, 2, 4, 8, 31}},     {'3', {31, 2, 4, 2, 1, 17, 14}},
    {'4', {2, 6, 10, 18, 31, 2, 2}},     {'5', {31, 16, 30, 1, 1, 17, 14}},
    {'6', {6, 8, 16, 30, 17, 17, 14}},   {'7', {31, 1, 2, 4, 8, 8, 8}},
    {'8', {14, 17, 17, 14, 17, 17, 14}}, {'9', {14, 17, 17, 15, 1, 2, 12}},
    {'<', {2, 4, 8, 16, 8, 4, 2}},       {'#', {10, 10, 31, 10, 31, 10, 10}},
    {'>', {8, 4, 2, 1, 2, 4, 8}},        {'?', {14, 17, 1, 2, 4, 0, 4}},
    {'-', {0, 0, 0, 31, 0, 0, 0}},       {'.', {0, 0, 0, 0, 0, 12, 12}},
};

constexpr Glyph k3x5[] = {
    {'0', {7, 5, 5, 5, 7}}, {'1', {2, 6, 2, 2, 7}}, {'2', {7, 1, 7, 4, 7}}, {'3', {7, 1, 7, 1, 7}},
    {'4', {5, 5, 7, 1, 1}}, {'5', {7, 4, 7, 1, 7}}, {'6', {7, 4, 7, 5, 7}}, {'7', {7, 1, 1, 1, 1}},
    {'8', {7, 5, 7, 5, 7}}, {'9', {7, 5, 7, 1, 7}}, {'<', {1, 2, 4, 2, 1}}, {'#', {5, 7, 5, 7, 5}},
    {'>', {4, 2, 1, 2, 4}}, {'-', {0, 0, 7, 0, 0}}, {'C', {7, 4, 4, 4, 7}}, {'D', {6, 5, 5, 5, 6}},
    {'E', {7, 4, 6, 4, 7}}, {'F', {7, 4, 6, 4, 4}}, {'G', {7, 4, 5, 5, 7}}, {'A', {7, 5, 7, 5, 5}},
    {'B', {6, 5, 6, 5, 6}},
};

int Columns(BlockFont font) { return font == BlockFont::Font5x7 ? 5 : 3; }
int Rows(BlockFont font) { return font == BlockFont::Font5x7 ? 7 : 5; }

const Glyph* Find(BlockFont font, char code) {
  code = static_cast<char>(std::toupper(static_cast<unsigned char>(code)));
  if (font == BlockFont::Font5x7) {
    for (const Glyph& glyph : k5x7)
      if (glyph.code == code) return &glyph;
  } else {
    for (const Glyph& glyph : k3x5)
      if (glyph.code == code) return &glyph;
  }
  return nullptr;
}

int LetterWidth(const BlockLettering& style) {
  return (Columns(style.font) - 1) * style.pitch + style.dot;
}

}  // namespace

int BlockTextWidth(const BlockLettering& style, std::string_view text) {
  if (text.empty()) return 0;
  return static_cast<int>(text.size()) * (LetterWidth(style) + style.gap) - style.gap;
}

int BlockTextHeight(const BlockLettering& style) {
  return (Rows(style.font) - 1) * style.pitch + style.dot;
}

void DrawBlockText(Canvas* canvas, const BlockLettering& style, std::string_view text, int x, int y,
                   Color color) {
  const int columns = Columns(style.font);
  for (const char code : text) {
    if (const Glyph* glyph = Find(style.font, code)) {
      for (int row = 0; row < Rows(style.font); ++row)
        for (int column = 0; column < columns; ++column)
          if (glyph->rows[row] & (1 << (columns - 1 - column)))
            for (int dy = 0; dy < style.dot; ++dy)
              for (int dx = 0; dx < style.dot; ++dx)
                canvas->Put(x + column * style.pitch + dx, y + row * style.pitch + dy, color);
    }
    x += LetterWidth(style) + style.gap;
  }
}

}  // namespace varnel_art
