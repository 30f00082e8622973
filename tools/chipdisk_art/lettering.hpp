// Lettering styles and small text shared by the disk's pictures.
#pragma once

#include <string>
#include <string_view>

#include "tools/varnel_art/canvas.hpp"
#include "tools/varnel_art/text_art.hpp"

namespace chipdisk_art {

varnel_art::LetteringStyle ChromeLogo();
varnel_art::LetteringStyle NeonPink();

// Anti-aliased text with its cell's top-left at (x, y), in one colour, with
// an optional one-pixel shadow. `alignRight` puts the text's end at x.
bool DrawText(varnel_art::Canvas* canvas, const varnel_art::FontRequest& font,
              std::string_view text, int x, int y, varnel_art::Color color, float shadow,
              bool alignRight, std::string* error);

}  // namespace chipdisk_art
