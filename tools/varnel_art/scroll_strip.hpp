// The scroll-bar strip: the reader shows a 140-pixel window of it that slides
// from column 141 (top of the article) to column 0 (its end).
#pragma once

#include "tools/varnel_art/canvas.hpp"

namespace varnel_art {

constexpr int kStripWidth = 282, kStripHeight = 19;
constexpr int kStripWindow = 140;

// A dark ruled track; left of column 141 a glowing fill that brightens
// towards a metal thumb centred on the boundary, so the thumb enters at the
// window's left edge and leaves at its right one.
Canvas MakeScrollStrip();

}  // namespace varnel_art
