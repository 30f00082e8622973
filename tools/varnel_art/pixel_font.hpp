// Tiny block fonts for pixel-art lettering: 5 x 7 capitals and digits, and
// 3 x 5 digits and signs.
#pragma once

#include <string_view>

#include "tools/varnel_art/canvas.hpp"

namespace varnel_art {

enum class BlockFont { Font5x7, Font3x5 };

struct BlockLettering {
  BlockFont font = BlockFont::Font5x7;
  int dot = 1;    // each set cell is a dot x dot square
  int pitch = 1;  // distance between cells (dot plus gap)
  int gap = 1;    // pixels between letters
};

int BlockTextWidth(const BlockLettering& style, std::string_view text);
int BlockTextHeight(const BlockLettering& style);
// Letters without a glyph are drawn as blanks.
void DrawBlockText(Canvas* canvas, const BlockLettering& style, std::string_view text, int x, int y,
                   Color color);

}  // namespace varnel_art
