// The lit, textured, fogged programs the scenes are drawn with. Each
// combination of lights, fog, image and vertex colours is its own program:
// software rasterisers run straight code far faster than code that loops or
// branches on uniforms.
#pragma once

#include <epoxy/gl.h>

#include <string>

namespace kestrel {

constexpr int kMaxLights = 8;

// One letter per light, in order: 'd' distant, 'p' point, 's' spot.
struct ShaderVariant {
  std::string lights;  // at most kMaxLights letters
  bool fog = false;
  bool textured = false;
  bool vertexColors = false;
  bool operator==(const ShaderVariant&) const = default;
};

struct SceneProgram {
  GLuint program = 0;
  GLint world, viewProjection, normalMatrix, cameraPosition;
  GLint lightPosition, lightColor, lightDirection, lightCone, ambient;
  GLint color, diffuse, specular, exponent, luminosity, alpha, imageOpacity;
  GLint fogRange, fogAmount, fogColor;
};

// Built on first use (context current); null program when it fails.
const SceneProgram& SceneShader(const ShaderVariant& variant);
void ReleaseSceneShader();

}  // namespace kestrel
