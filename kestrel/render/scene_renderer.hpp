// Draws a loaded scene at a fractional frame into the current target.
#pragma once

#include <string>

#include "kestrel/render/scene_resources.hpp"

namespace kestrel {

struct FrameSettings {
  double frame = 0;
  float nearDistance = 0.1f;
  float farDistance = 1000;
  bool clear = true;  // colour (the backdrop) and depth first
  bool fog = false;   // the scene's fog
};

// The scene's lights as the shader variants name them (see ShaderVariant).
std::string LightKinds(const Scene& scene);

// Builds the programs the scene's surfaces need (context current), so
// that the first frames do not wait for them.
void PrepareScenePrograms(LoadedScene& loaded);

// Context current, target bound.
void DrawScene(LoadedScene& loaded, const FrameSettings& settings);

}  // namespace kestrel
