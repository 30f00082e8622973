// Pattern rows of a score: one text line per row, one cell per channel.
#pragma once

#include <string_view>
#include <vector>

#include "tools/chiptune/song.hpp"

namespace chiptune {

// A row line: cells separated by '|', each "NOTE INSTRUMENT VOLUME EFFECT"
// with trailing fields left out or written as dots. A line of dots alone is
// an empty row. Instruments are kept as written (0 when absent); throws
// ScoreError for `line`.
std::vector<Cell> ParseRow(std::string_view text, int channels, int line);

// "C-4", "F#2", "===" or a placeholder; returns false when `text` is none of them.
bool ParseNote(std::string_view text, int* note);

}  // namespace chiptune
