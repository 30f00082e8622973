// Machined-metal pieces shared by the frames and buttons: brushed plates,
// polished rails, screws and recessed slots.
#pragma once

#include <cstdint>

#include "tools/varnel_art/canvas.hpp"
#include "tools/varnel_art/draw.hpp"

namespace varnel_art {

struct Metal {
  Color light, base, dark;  // sheen, body, lower shade
  uint32_t seed = 1;
};

// Horizontal brushing over a gradient from a sheen near the top of `box`
// down to the dark shade.
void BrushedPlate(Canvas* canvas, Box box, const Metal& metal);
// A rounded rail across `box`: bright along its upper third.
void PolishedRail(Canvas* canvas, Box box, const Metal& metal);
void Screw(Canvas* canvas, int cx, int cy, const Metal& metal);
// A slot sunk into the plate: shadowed rim, dark floor.
void Recess(Canvas* canvas, Box box, int rim, Color floor);

}  // namespace varnel_art
