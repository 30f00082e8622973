// Matrix helpers the renderer needs beyond the scene model's.
#pragma once

#include <array>

#include "kestrel/scene/model.hpp"

namespace kestrel {

// General inverse; identity for a singular matrix.
Mat4 Inverse(const Mat4& matrix);
// OpenGL perspective projection; vertical field of view in radians.
Mat4 Perspective(float fieldOfView, float aspect, float nearDistance, float farDistance);
// LightWave's left-handed view space into OpenGL's right-handed one.
Mat4 FlipZ();
// Inverse transpose of the upper 3 x 3, column-major.
std::array<float, 9> NormalMatrix(const Mat4& world);

}  // namespace kestrel
