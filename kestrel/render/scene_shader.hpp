// The lit, textured, fogged program the scenes are drawn with.
#pragma once

#include <epoxy/gl.h>

namespace kestrel {

constexpr int kMaxLights = 8;

struct SceneProgram {
  GLuint program = 0;
  GLint world, viewProjection, normalMatrix, cameraPosition;
  GLint lightPosition, lightColor, lightDirection, lightCone, ambient;
  GLint color, diffuse, specular, exponent, luminosity, alpha;
  GLint textured, imageOpacity, vertexColors;
  GLint fogOn, fogRange, fogAmount, fogColor;
};

// The program for `lightCount` lights (0 to kMaxLights), built on first use
// (context current); null program when it fails.
const SceneProgram& SceneShader(int lightCount);
void ReleaseSceneShader();

}  // namespace kestrel
