// Procedural pictures for the demo: title cards with glowing block letters,
// plasma and metal textures, a star field; written as JPEG.
#pragma once

#include <cstdint>
#include <string>

#include "platform/jpeg/jpeg_reference.hpp"

namespace demotools {

using Picture = platform::RgbPicture;

// Glowing block letters (A-Z, space) centred on a dark gradient.
// `hue` picks the glow colour in 0..1; without `background` the card is
// black outside the letters' glow (for additive overlays).
Picture TitleCard(int width, int height, const std::string& text, float hue, bool stars, bool background = true);
// A colourful plasma, tiling seamlessly.
Picture Plasma(int size, float hue);
// Brushed, ringed metal with a warm tint, tiling.
Picture Metal(int size);
// A flower-like medallion on black (for additive flybys).
Picture Medallion(int size, float hue);

// Soft coloured clouds with stars, tiling horizontally (for sky domes).
Picture Nebula(int width, int height, float hue);

// Writes `picture` as a JPEG file; false with `error` set on failure.
bool WriteJpeg(const std::string& path, const Picture& picture, std::string* error);

}  // namespace demotools
