#include "kestrel/render/scene_shader.hpp"

#include "kestrel/render/shader.hpp"

#include <algorithm>
#include <cmath>
#include <map>
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

// FOG, TEXTURED and VERTEX_COLORS are defined in front; LIGHTS becomes the
// code of each light.
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
uniform float imageOpacity;
uniform sampler2D picture;
uniform vec2 fogRange, fogAmount;
uniform vec3 fogColor;
in vec3 worldPosition;
in vec3 worldNormal;
in vec2 uv;
in vec4 tint;
out vec4 fragment;
float Highlight(float x) {
  HIGHLIGHT
}
void main() {
  vec3 n = normalize(worldNormal);
  if (!gl_FrontFacing) n = -n;
  vec3 base = color;
  float a = alpha;
#if TEXTURED
  vec4 texel = texture(picture, uv);
  base = mix(base, texel.rgb, imageOpacity);
  a *= texel.a;
#endif
#if VERTEX_COLORS
  base *= tint.rgb;
  a *= tint.a;
#endif
  vec3 toEye = normalize(cameraPosition - worldPosition);
  vec3 lit = ambient;
  vec3 shine = vec3(0.0);
  LIGHTS
  vec3 result = base * (lit + luminosity) + shine;
#if FOG
  float d = length(worldPosition - cameraPosition);
  float t = clamp((d - fogRange.x) / max(fogRange.y - fogRange.x, 1e-6), 0.0, 1.0);
  result = mix(result, fogColor, mix(fogAmount.x, fogAmount.y, t));
#endif
  fragment = vec4(result, a);
}
)";

// The body of Highlight(x) for a variant's highlight shape.
std::string HighlightCode(int highlight) {
  if (highlight < 0) return "return pow(x, exponent);";
  std::string code;
  for (int i = 0; i < highlight; ++i) code += "x *= x; ";
  return code + "return x;";
}

// The shading code of light `i` of kind `kind`.
std::string LightCode(int i, char kind, bool highlight) {
  const std::string at = "[" + std::to_string(i) + "]";
  std::string code = "  {\n";
  if (kind == 'd') {
    code += "    vec3 l = -lightPosition" + at + ".xyz;\n    float strength = 1.0;\n";
  } else {
    code += "    vec3 l = normalize(lightPosition" + at + ".xyz - worldPosition);\n";
    if (kind == 's') {
      code += "    float strength = smoothstep(lightCone" + at + ".x, lightCone" + at +
              ".y, dot(-l, lightDirection" + at + "));\n";
    } else {
      code += "    float strength = 1.0;\n";
    }
  }
  code += "    float nl = max(dot(n, l), 0.0);\n"
          "    lit += lightColor" + at + " * (diffuse * nl * strength);\n";
  if (highlight) {
    code += "    vec3 h = normalize(l + toEye);\n"
            "    float highlight = nl > 0.0 ? Highlight(max(dot(n, h), 0.0)) : 0.0;\n"
            "    shine += lightColor" + at + " * (specular * strength * highlight);\n";
  }
  return code + "  }\n";
}

std::string Key(const ShaderVariant& v) {
  std::string key = v.lights;
  key += v.fog ? 'F' : '-';
  key += v.textured ? 'T' : '-';
  key += v.vertexColors ? 'C' : '-';
  key += char('a' + v.highlight - kNoHighlight);
  return key;
}

void Replace(std::string& text, const std::string& marker, const std::string& with) {
  text.replace(text.find(marker), marker.size(), with);
}

std::map<std::string, SceneProgram>& Programs() {
  static std::map<std::string, SceneProgram> programs;
  return programs;
}

}  // namespace

float HighlightExponent(float glossiness) { return std::exp2(10 * glossiness + 2); }

int HighlightFor(float specular, float glossiness) {
  if (specular == 0) return kNoHighlight;
  const float squarings = 10 * glossiness + 2;
  const float whole = std::round(squarings);
  if (std::fabs(squarings - whole) > 1e-3f || whole < 0 || whole > kMaxHighlightSquarings) {
    return kAnyExponent;
  }
  return static_cast<int>(whole);
}

const SceneProgram& SceneShader(const ShaderVariant& variant) {
  const std::string key = Key(variant);
  auto found = Programs().find(key);
  if (found != Programs().end()) return found->second;
  SceneProgram& program = Programs()[key];  // a failed build stays empty
  const int highlight = std::min(variant.highlight, kMaxHighlightSquarings);
  std::string lights;
  for (size_t i = 0; i < variant.lights.size() && i < size_t(kMaxLights); ++i) {
    lights += LightCode(static_cast<int>(i), variant.lights[i], highlight != kNoHighlight);
  }
  std::string fragment = kFragmentSource;
  Replace(fragment, "  LIGHTS\n", lights);
  Replace(fragment, "HIGHLIGHT", HighlightCode(highlight));
  fragment = "#version 330 core\n#define FOG " + std::to_string(variant.fog) +
             "\n#define TEXTURED " + std::to_string(variant.textured) +
             "\n#define VERTEX_COLORS " + std::to_string(variant.vertexColors) + "\n" + fragment;
  GLuint id = BuildProgram(kVertexSource, fragment.c_str(), "scene");
  if (!id) return program;
  auto at = [&](const char* name) { return glGetUniformLocation(id, name); };
  program = SceneProgram{id,
                         at("world"), at("viewProjection"), at("normalMatrix"),
                         at("cameraPosition"), at("lightPosition"), at("lightColor"),
                         at("lightDirection"), at("lightCone"), at("ambient"),
                         at("color"), at("diffuse"), at("specular"), at("exponent"),
                         at("luminosity"), at("alpha"), at("imageOpacity"),
                         at("fogRange"), at("fogAmount"), at("fogColor")};
  return program;
}

void ReleaseSceneShader() {
  for (auto& [key, program] : Programs()) {
    if (program.program) glDeleteProgram(program.program);
  }
  Programs().clear();
}

}  // namespace kestrel
