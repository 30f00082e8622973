// The dissolve map of page turns: one byte per screen pixel telling at which
// of the 16 steps it changes (16 and above: only when the new page is shown
// whole).
#pragma once

#include "tools/common/gif_writer.hpp"

namespace varnel_art {

constexpr int kDissolveSteps = 16;

// 640 x 480: a plasma of sines, levelled so every step turns about the same
// number of pixels, with an ordered dither at the band edges and a sprinkle
// of late pixels. The palette is a grey ramp, so the file can be looked at.
tools::IndexedPicture MakeDissolveMap();

}  // namespace varnel_art
