// The music disk's six pictures, painted from code.
#pragma once

#include <string>
#include <vector>

#include "tools/varnel_art/canvas.hpp"

namespace chipdisk_art {

struct DiskInfo {
  std::string name = "CORVANE";
};

bool PaintTitle(const DiskInfo& disk, varnel_art::Canvas* canvas, std::string* error);
// The main screen with every tune line plain or every line lit.
bool PaintMainScreen(const DiskInfo& disk, bool lit, varnel_art::Canvas* canvas,
                     std::string* error);
bool PaintFirstClosing(const DiskInfo& disk, varnel_art::Canvas* canvas, std::string* error);
bool PaintLastClosing(const DiskInfo& disk, varnel_art::Canvas* canvas, std::string* error);

// One code per screen pixel: 251 - t on tune t's line, 252 to 255 on the
// buttons, 0 elsewhere.
std::vector<uint8_t> HotspotCodes();

}  // namespace chipdisk_art
