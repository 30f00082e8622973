#include "kestrel/render/scene_shader.hpp"

#include "kestrel/render/shader.hpp"

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

constexpr const char* kFragmentSource = R"(#version 330 core
const int kMaxLights = 8;
uniform vec3 cameraPosition;
uniform int lightCount;
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
  vec3 base = color;
  float a = alpha;
  if (textured) {
    vec4 texel = texture(picture, uv);
    base = mix(base, texel.rgb, imageOpacity);
    a *= texel.a;
  }
  if (vertexColors) { base *= tint.rgb; a *= tint.a; }
  vec3 toEye = normalize(cameraPosition - worldPosition);
  vec3 lit = ambient;
  vec3 shine = vec3(0.0);
  for (int i = 0; i < lightCount; ++i) {
    vec3 l;
    float strength = 1.0;
    if (lightPosition[i].w == 0.0) {
      l = -lightPosition[i].xyz;
    } else {
      l = normalize(lightPosition[i].xyz - worldPosition);
      if (lightCone[i].x >= -1.0)
        strength = smoothstep(lightCone[i].x, lightCone[i].y, dot(-l, lightDirection[i]));
    }
    float nl = max(dot(n, l), 0.0);
    lit += lightColor[i] * (diffuse * nl * strength);
    if (specular > 0.0 && nl > 0.0) {
      vec3 h = normalize(l + toEye);
      shine += lightColor[i] * (specular * strength * pow(max(dot(n, h), 0.0), exponent));
    }
  }
  vec3 result = base * (lit + luminosity) + shine;
  if (fogOn) {
    float d = length(worldPosition - cameraPosition);
    float t = clamp((d - fogRange.x) / max(fogRange.y - fogRange.x, 1e-6), 0.0, 1.0);
    result = mix(result, fogColor, mix(fogAmount.x, fogAmount.y, t));
  }
  fragment = vec4(result, a);
}
)";

SceneProgram program;
bool failed = false;

}  // namespace

const SceneProgram& SceneShader() {
  if (program.program || failed) return program;
  GLuint id = BuildProgram(kVertexSource, kFragmentSource, "scene");
  if (!id) {
    failed = true;
    return program;
  }
  auto at = [&](const char* name) { return glGetUniformLocation(id, name); };
  program = SceneProgram{id,
                         at("world"), at("viewProjection"), at("normalMatrix"),
                         at("cameraPosition"), at("lightCount"), at("lightPosition"),
                         at("lightColor"), at("lightDirection"), at("lightCone"), at("ambient"),
                         at("color"), at("diffuse"), at("specular"), at("exponent"),
                         at("luminosity"), at("alpha"), at("textured"), at("imageOpacity"),
                         at("vertexColors"), at("fogOn"), at("fogRange"), at("fogAmount"),
                         at("fogColor")};
  return program;
}

void ReleaseSceneShader() {
  if (program.program) glDeleteProgram(program.program);
  program = SceneProgram{};
  failed = false;
}

}  // namespace kestrel
