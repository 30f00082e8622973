#include "kestrel/render/scene_shader.hpp"

#include "kestrel/render/shader.hpp"

#include <string>

namespace kestrel {
namespace {

constexpr const char* kVertexSource = R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 texCoord;
layout(location = 3) in vec4 vertexColor;
uniform mat4 world;
uniform mat4 viewProjection;
uniform mat3 normalMatrix;
out vec3 worldPosition;
out vec3 worldNormal;
out vec2 uv;
out vec4 tint;
void main() {
  vec4 p = world * vec4(position, 1.0);
  worldPosition = p.xyz;
  worldNormal = normalMatrix * normal;
  uv = texCoord;
  tint = vertexColor;
  gl_Position = viewProjection * p;
}
)";

// LIGHT_COUNT is defined in front: a loop of known length unrolls into
// plain code, which software rasterisers run far faster than a loop over a
// uniform count.
constexpr const char* kFragmentSource = R"(
const int kMaxLights = 8;
uniform vec3 cameraPosition;
uniform vec4 lightPosition[kMaxLights];   // w = 0: distant light, xyz its direction
uniform vec3 lightColor[kMaxLights];      // colour x intensity
uniform vec3 lightDirection[kMaxLights];  // spot lights
uniform vec2 lightCone[kMaxLights];       // cosines of outer and inner angle; x < -1: no cone
uniform vec3 ambient;
uniform vec3 color;
uniform float diffuse, specular, exponent, luminosity, alpha;
uniform bool textured, vertexColors;
uniform float imageOpacity;
uniform sampler2D picture;
uniform bool fogOn;
uniform vec2 fogRange, fogAmount;
uniform vec3 fogColor;
in vec3 worldPosition;
in vec3 worldNormal;
in vec2 uv;
in vec4 tint;
out vec4 fragment;
void main() {
  vec3 n = normalize(worldNormal);
  if (!gl_FrontFacing) n = -n;
  // Sampled outside any branch: implicit mip levels need uniform control flow.
  vec4 texel = texture(picture, uv);
  float coverage = textured ? imageOpacity : 0.0;
  vec3 base = mix(color, texel.rgb, coverage);
  float a = alpha * mix(1.0, texel.a, textured ? 1.0 : 0.0);
  // Selections instead of branches: the rasteriser shades many fragments
  // in lock step and pays for every branch.
  float tinted = vertexColors ? 1.0 : 0.0;
  base *= mix(vec3(1.0), tint.rgb, tinted);
  a *= mix(1.0, tint.a, tinted);
  vec3 toEye = normalize(cameraPosition - worldPosition);
  vec3 lit = ambient;
  vec3 shine = vec3(0.0);
  for (int i = 0; i < LIGHT_COUNT; ++i) {
    vec4 at = lightPosition[i];
    vec3 l = normalize(at.w == 0.0 ? -at.xyz : at.xyz - worldPosition);
    float cone = smoothstep(lightCone[i].x, lightCone[i].y, dot(-l, lightDirection[i]));
    float strength = lightCone[i].x < -1.0 ? 1.0 : cone;
    float nl = max(dot(n, l), 0.0);
    vec3 h = normalize(l + toEye);
    float highlight = nl > 0.0 ? pow(max(dot(n, h), 0.0), exponent) : 0.0;
    lit += lightColor[i] * (diffuse * nl * strength);
    shine += lightColor[i] * (specular * strength * highlight);
  }
  vec3 result = base * (lit + luminosity) + shine;
  float d = length(worldPosition - cameraPosition);
  float t = clamp((d - fogRange.x) / max(fogRange.y - fogRange.x, 1e-6), 0.0, 1.0);
  float fog = fogOn ? mix(fogAmount.x, fogAmount.y, t) : 0.0;
  result = mix(result, fogColor, fog);
  fragment = vec4(result, a);
}
)";

SceneProgram programs[kMaxLights + 1];
bool failed[kMaxLights + 1] = {};

}  // namespace

const SceneProgram& SceneShader(int lightCount) {
  const int count = lightCount < 0 ? 0 : lightCount > kMaxLights ? kMaxLights : lightCount;
  SceneProgram& program = programs[count];
  if (program.program || failed[count]) return program;
  const std::string fragment =
      "#version 330 core\n#define LIGHT_COUNT " + std::to_string(count) + "\n" + kFragmentSource;
  GLuint id = BuildProgram(kVertexSource, fragment.c_str(), "scene");
  if (!id) {
    failed[count] = true;
    return program;
  }
  auto at = [&](const char* name) { return glGetUniformLocation(id, name); };
  program = SceneProgram{id,
                         at("world"), at("viewProjection"), at("normalMatrix"),
                         at("cameraPosition"), at("lightPosition"),
                         at("lightColor"), at("lightDirection"), at("lightCone"), at("ambient"),
                         at("color"), at("diffuse"), at("specular"), at("exponent"),
                         at("luminosity"), at("alpha"), at("textured"), at("imageOpacity"),
                         at("vertexColors"), at("fogOn"), at("fogRange"), at("fogAmount"),
                         at("fogColor")};
  return program;
}

void ReleaseSceneShader() {
  for (int i = 0; i <= kMaxLights; ++i) {
    if (programs[i].program) glDeleteProgram(programs[i].program);
    programs[i] = SceneProgram{};
    failed[i] = false;
  }
}

}  // namespace kestrel
