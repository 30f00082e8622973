// Landscape pieces for covers and photo-like pictures. Every function paints
// the whole width of the canvas within the rows it is given.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/varnel_art/canvas.hpp"

namespace varnel_art {

// A sky through the `stops` from `top` to `bottom`, in bands of `band` rows,
// the way raster-bar skies were made.
void BandedSky(Canvas* canvas, int top, int bottom, const std::vector<Color>& stops, int band);
// Stars fading out towards `fadeRow`; a few large ones with a glint.
void Stars(Canvas* canvas, int top, int fadeRow, int count, uint64_t seed);
// A setting sun on the horizon, its lower half cut by widening slits.
void SlitSun(Canvas* canvas, float cx, float horizon, float radius, Color top, Color bottom);
// A raster bar across the width: `height` rows shaded like a polished rod.
void RasterBar(Canvas* canvas, int top, int height, Color color, float alpha);
void Glow(Canvas* canvas, float cx, float cy, float radius, Color color, float strength);
// A checkerboard plane from the horizon down, fogged into `fog` far away.
void CheckerFloor(Canvas* canvas, int horizon, Color dark, Color light, Color fog);
void Moon(Canvas* canvas, float cx, float cy, float radius, uint64_t seed);
// Night water from the horizon down with a glade of light below `lightX`.
void Sea(Canvas* canvas, int horizon, Color near, Color far, float lightX, Color light,
         uint64_t seed);
// A lighthouse on rocks standing on the horizon, its beams sweeping both ways.
void Lighthouse(Canvas* canvas, float x, int horizon, float height);

}  // namespace varnel_art
