#include "kestrel/render/draw2d.hpp"

#include <algorithm>

#include "kestrel/render/log.hpp"
#include "kestrel/render/shader.hpp"

namespace kestrel {
namespace {

constexpr const char* kVertexSource = R"(#version 330 core
uniform vec4 rect;      // centre x, y, half-extent x, y
uniform vec2 uvScale;
uniform bool flipV;
out vec2 uv;
void main() {
  vec2 corner = vec2(gl_VertexID & 1, gl_VertexID >> 1);  // 0..1, y up
  gl_Position = vec4(rect.xy + (corner * 2.0 - 1.0) * rect.zw, 0.0, 1.0);
  float v = flipV ? corner.y : 1.0 - corner.y;
  uv = vec2(corner.x, v) * uvScale;
}
)";

// Two programs rather than one branching on a uniform: a software
// rasteriser runs straight code far faster, and takes its quick path for a
// texture times a colour.
constexpr const char* kTexturedSource = R"(#version 330 core
uniform sampler2D picture;
uniform vec4 colour;
in vec2 uv;
out vec4 fragment;
void main() { fragment = texture(picture, uv) * colour; }
)";

constexpr const char* kPlainSource = R"(#version 330 core
uniform vec4 colour;
in vec2 uv;
out vec4 fragment;
void main() { fragment = colour; }
)";

struct Program2d {
  GLuint id = 0;
  GLint rect = -1, uvScale = -1, flipV = -1, colour = -1;
};

struct Renderer2d {
  Program2d textured;
  Program2d plain;
  GLuint vertexArray = 0;
  bool failed = false;
};

Renderer2d& State() {
  static Renderer2d renderer;
  return renderer;
}

bool Build(Program2d& program, const char* fragmentSource, const char* name) {
  program.id = BuildProgram(kVertexSource, fragmentSource, name);
  if (!program.id) return false;
  program.rect = glGetUniformLocation(program.id, "rect");
  program.uvScale = glGetUniformLocation(program.id, "uvScale");
  program.flipV = glGetUniformLocation(program.id, "flipV");
  program.colour = glGetUniformLocation(program.id, "colour");
  return true;
}

bool Ready() {
  Renderer2d& s = State();
  if (s.vertexArray) return true;
  if (s.failed) return false;
  if (!Build(s.textured, kTexturedSource, "2D textured") || !Build(s.plain, kPlainSource, "2D")) {
    if (s.textured.id) glDeleteProgram(s.textured.id);
    s.textured = Program2d{};
    s.failed = true;
    return false;
  }
  glGenVertexArrays(1, &s.vertexArray);
  return true;
}

float Clamp01(float value) { return std::clamp(value, 0.0f, 1.0f); }

}  // namespace

bool GlBlendFactor(int direct3dFactor, GLenum& glFactor) {
  static constexpr GLenum kFactors[] = {
      GL_ZERO,                 // 1 zero
      GL_ONE,                  // 2 one
      GL_SRC_COLOR,            // 3 source colour
      GL_ONE_MINUS_SRC_COLOR,  // 4 inverse source colour
      GL_SRC_ALPHA,            // 5 source alpha
      GL_ONE_MINUS_SRC_ALPHA,  // 6 inverse source alpha
      GL_DST_ALPHA,            // 7 destination alpha
      GL_ONE_MINUS_DST_ALPHA,  // 8 inverse destination alpha
      GL_DST_COLOR,            // 9 destination colour
      GL_ONE_MINUS_DST_COLOR,  // 10 inverse destination colour
  };
  constexpr int kCount = sizeof kFactors / sizeof kFactors[0];
  if (direct3dFactor < 1 || direct3dFactor > kCount) return false;
  glFactor = kFactors[direct3dFactor - 1];
  return true;
}

void Apply2dDefaults() {
  glDisable(GL_DEPTH_TEST);
  glDepthMask(GL_TRUE);
  glDisable(GL_CULL_FACE);
  glDisable(GL_BLEND);
}

void DrawQuad(const Quad2d& quad, Image* image) {
  GLenum src, dst;
  if (!GlBlendFactor(quad.src, src) || !GlBlendFactor(quad.dst, dst)) {
    Log("unknown blend factors %d, %d", quad.src, quad.dst);
    return;
  }
  if (!Ready()) return;
  if (image && !UploadImage(*image)) return;  // an empty texture draws nothing
  Renderer2d& s = State();
  const Program2d& p = image ? s.textured : s.plain;
  glUseProgram(p.id);
  glBindVertexArray(s.vertexArray);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glEnable(GL_BLEND);
  glBlendFunc(src, dst);
  glUniform4f(p.rect, quad.x, quad.y, quad.sx, quad.sy);
  glUniform2f(p.uvScale, quad.su, quad.sv);
  glUniform1i(p.flipV, image && image->bottomUp);
  glUniform4f(p.colour, Clamp01(quad.r), Clamp01(quad.g), Clamp01(quad.b), Clamp01(quad.alpha));
  if (image) {
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, image->texture);
  }
  glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  glBindVertexArray(0);
}

void Release2d() {
  Renderer2d& s = State();
  if (s.textured.id) glDeleteProgram(s.textured.id);
  if (s.plain.id) glDeleteProgram(s.plain.id);
  if (s.vertexArray) glDeleteVertexArrays(1, &s.vertexArray);
  s = Renderer2d{};
}

}  // namespace kestrel
