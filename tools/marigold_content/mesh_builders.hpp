// Procedural meshes with UVs, every polygon facing outward (its normal by
// LightWave's rule, the first corner's edges crossed, points away from the
// solid). All meshes use surface 0; callers renumber.
#pragma once

#include <cstdint>
#include <string>

#include "tools/marigold_content/lwo2_writer.hpp"

namespace demotools {

Mesh Sphere(float radius, int segments, int rings);
Mesh Torus(float majorRadius, float minorRadius, int segments, int sides);
Mesh Box(Vec3 size);
Mesh Cylinder(float radius, float height, int segments, bool capped);
// A flat ring in the XZ plane facing up, inner to outer radius.
Mesh Ring(float innerRadius, float outerRadius, int segments);
// A terrain grid in the XZ plane: `cells` squares per side, heights from a
// smooth deterministic noise of amplitude `height`, coloured by height.
Mesh Terrain(float size, int cells, float height, uint32_t seed);
// A polygon outline in the XY plane extruded along Z, front and back caps
// included (the outline counter-clockwise seen from -Z, may be concave).
Mesh Extrude(const std::vector<Vec2>& outline, float depth);
// Block letters of `text` (A-Z, 0-9 and space) extruded to `depth`,
// `height` tall, centred on the origin.
Mesh BlockText(const std::string& text, float height, float depth);
// Small double-sided quads scattered in a shell between two radii.
Mesh ParticleCloud(int count, float innerRadius, float outerRadius, float particleSize, uint32_t seed);

// Reverses any polygon whose normal points against `outward(point)`.
void OrientPolygon(const std::vector<Vec3>& points, std::vector<uint32_t>* polygon, Vec3 outward);

}  // namespace demotools
