#include "kestrel/render/shader.hpp"

#include <string>

#include "kestrel/render/log.hpp"

namespace kestrel {
namespace {

GLuint Compile(GLenum stage, const char* source, const char* what) {
  GLuint shader = glCreateShader(stage);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char text[1024] = {};
    glGetShaderInfoLog(shader, sizeof text, nullptr, text);
    Log("%s shader: %s", what, text);
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

}  // namespace

GLuint BuildProgram(const char* vertexSource, const char* fragmentSource, const char* what) {
  GLuint vertex = Compile(GL_VERTEX_SHADER, vertexSource, what);
  GLuint fragment = Compile(GL_FRAGMENT_SHADER, fragmentSource, what);
  if (!vertex || !fragment) {
    if (vertex) glDeleteShader(vertex);
    if (fragment) glDeleteShader(fragment);
    return 0;
  }
  GLuint program = glCreateProgram();
  glAttachShader(program, vertex);
  glAttachShader(program, fragment);
  glLinkProgram(program);
  glDeleteShader(vertex);
  glDeleteShader(fragment);
  GLint ok = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &ok);
  if (!ok) {
    char text[1024] = {};
    glGetProgramInfoLog(program, sizeof text, nullptr, text);
    Log("%s program: %s", what, text);
    glDeleteProgram(program);
    return 0;
  }
  return program;
}

}  // namespace kestrel
