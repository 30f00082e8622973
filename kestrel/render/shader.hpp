// Compiling and linking GLSL 3.30 programs.
#pragma once

#include <epoxy/gl.h>

namespace kestrel {

// The linked program, or 0 (logged) when a stage fails.
GLuint BuildProgram(const char* vertexSource, const char* fragmentSource, const char* what);

}  // namespace kestrel
