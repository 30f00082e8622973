// 2D drawing: textured or plain rectangles in normalised device coordinates
// with Direct3D-style blend factors, into the current target.
#pragma once

#include "kestrel/render/image.hpp"

namespace kestrel {

struct Quad2d {
  float x = 0, y = 0, sx = 1, sy = 1;  // centre and half-extents
  float r = 1, g = 1, b = 1, alpha = 1;
  float su = 1, sv = 1;                // texture coordinate scales
  int src = 2, dst = 1;                // Direct3D blend factors
};

// The OpenGL factor of a Direct3D blend factor; false for unknown numbers.
bool GlBlendFactor(int direct3dFactor, GLenum& glFactor);

// Draws the quad with `image` (null: plain colour). Context current.
void DrawQuad(const Quad2d& quad, Image* image);
// Puts the drawing state to the 2D defaults: no depth test, no culling,
// no blending.
void Apply2dDefaults();
// Frees the 2D program and buffers (context current).
void Release2d();

}  // namespace kestrel
