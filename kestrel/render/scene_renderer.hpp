// Draws a loaded scene at a fractional frame into the current target.
#pragma once

#include "kestrel/render/scene_resources.hpp"

namespace kestrel {

struct FrameSettings {
  double frame = 0;
  float nearDistance = 0.1f;
  float farDistance = 1000;
  bool clear = true;  // colour (the backdrop) and depth first
  bool fog = false;   // the scene's fog
};

// Context current, target bound.
void DrawScene(LoadedScene& loaded, const FrameSettings& settings);

}  // namespace kestrel
