// Article pictures from their descriptions: the words choose a painter, the
// colours written in the description replace the painter's own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/varnel_art/canvas.hpp"
#include "tools/varnel_art/description.hpp"
#include "tools/varnel_art/manifest.hpp"

namespace varnel_art {

struct PictureJob {
  int width = 0, height = 0;
  PictureFormat format = PictureFormat::Png;
  Description look;       // the picture's own description, or its base's for a hover variant
  Description hoverLook;  // a hover variant's own description
  bool hover = false;
  uint64_t seed = 0;  // from the base picture's path: both variants agree
  std::string title;  // the title, for lettering a description does not give

  // Colour `index` of the description that applies: the variant's own when
  // hovered, else the picture's.
  Color Colour(size_t index, uint32_t fallback) const {
    return (hover ? hoverLook : look).At(index, fallback);
  }
};

// The job for a manifest line; a hover variant takes its look and seed from
// the picture it belongs to.
PictureJob JobFor(const ManifestEntry& entry, const std::vector<ManifestEntry>& all,
                  const std::string& title);

// The name of the painter a job goes to, for the listing and the tests.
const char* PainterName(const PictureJob& job);

// Paints the picture. JPEG pictures are opaque everywhere and kept clear of
// the darkest levels, so that compression never makes a transparent hole.
bool MakePicture(const PictureJob& job, Canvas* picture, std::string* error);

}  // namespace varnel_art
