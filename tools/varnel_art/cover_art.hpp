// The opening and closing covers, 640 x 480, saved as JPEG.
#pragma once

#include <string>

#include "tools/varnel_art/canvas.hpp"
#include "tools/varnel_art/panel_art.hpp"

namespace varnel_art {

// A raster-bar sunset over a checkerboard plain, stars above, the title in
// chrome and the issue number in copper.
bool MakeOpeningCover(const IssueInfo& issue, Canvas* cover, std::string* error);

// Night over the harbour: moon, lighthouse, a glade on the water and a
// farewell line.
bool MakeClosingCover(const IssueInfo& issue, Canvas* cover, std::string* error);

}  // namespace varnel_art
