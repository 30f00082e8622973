// The lit, textured, fogged programs the scenes are drawn with. Each
// combination of lights, fog, image and vertex colours is its own program:
// software rasterisers run straight code far faster than code that loops or
// branches on uniforms.
#pragma once

#include <epoxy/gl.h>

#include <string>

namespace kestrel {

constexpr int kMaxLights = 8;

// How a program shapes specular highlights. A count of 0 or more is an
// exponent of 2^count, reached by squaring: far cheaper on a software
// rasteriser than pow(), and what every LightWave glossiness step gives.
constexpr int kNoHighlight = -2;      // the surface has no specular part
constexpr int kAnyExponent = -1;      // pow() with the `exponent` uniform
constexpr int kMaxHighlightSquarings = 16;

// One letter per light, in order: 'd' distant, 'p' point, 's' spot.
struct ShaderVariant {
  std::string lights;  // at most kMaxLights letters
  bool fog = false;
  bool textured = false;
  bool vertexColors = false;
  int highlight = kAnyExponent;
  bool operator==(const ShaderVariant&) const = default;
};

// The highlight shape for a surface's specular level and glossiness.
int HighlightFor(float specular, float glossiness);
// Blinn-Phong exponent of a glossiness (0..1: 4 to 4096).
float HighlightExponent(float glossiness);

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
