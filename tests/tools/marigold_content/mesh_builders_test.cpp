#include <gtest/gtest.h>

#include <cmath>

#include "tools/marigold_content/mesh_builders.hpp"

namespace {

using demotools::Mesh;
using demotools::Vec3;

Vec3 Normal(const Mesh& m, size_t polygon) {
  const auto& p = m.polygons[polygon];
  Vec3 n{};
  for (size_t i = 0; i < p.size(); ++i) {
    const Vec3 a = m.points[p[i]], b = m.points[p[(i + 1) % p.size()]];
    n = n + Vec3{(a.y - b.y) * (a.z + b.z), (a.z - b.z) * (a.x + b.x), (a.x - b.x) * (a.y + b.y)};
  }
  return n;
}

Vec3 Centroid(const Mesh& m, size_t polygon) {
  Vec3 c{};
  for (uint32_t i : m.polygons[polygon]) c = c + m.points[i];
  return c * (1.0f / static_cast<float>(m.polygons[polygon].size()));
}

// Every face of a solid centred on the origin faces away from it.
void ExpectOutward(const Mesh& m) {
  for (size_t i = 0; i < m.polygons.size(); ++i) {
    ASSERT_GT(demotools::Dot(Normal(m, i), Centroid(m, i)), 0) << "polygon " << i;
  }
}

void ExpectWellFormed(const Mesh& m) {
  ASSERT_EQ(m.uvs.size(), m.points.size());
  ASSERT_EQ(m.polygonSurface.size(), m.polygons.size());
  for (const auto& p : m.polygons) {
    ASSERT_GE(p.size(), 3u);
    for (uint32_t c : p) ASSERT_LT(c, m.points.size());
  }
}

TEST(MeshBuilders, ClosedSolidsFaceOutward) {
  for (const Mesh& m : {demotools::Sphere(2, 16, 8), demotools::Box({1, 2, 3}), demotools::Cylinder(1, 3, 12, true)}) {
    ExpectWellFormed(m);
    ExpectOutward(m);
  }
}

TEST(MeshBuilders, TorusFacesAwayFromItsCoreCircle) {
  const Mesh m = demotools::Torus(3, 0.5f, 24, 8);
  ExpectWellFormed(m);
  for (size_t i = 0; i < m.polygons.size(); ++i) {
    const Vec3 c = Centroid(m, i);
    const float r = std::sqrt(c.x * c.x + c.z * c.z);
    const Vec3 core{c.x / r * 3, 0, c.z / r * 3};
    ASSERT_GT(demotools::Dot(Normal(m, i), c - core), 0) << "polygon " << i;
  }
}

TEST(MeshBuilders, SphereHasTrianglesAtThePolesOnly) {
  const Mesh m = demotools::Sphere(1, 12, 6);
  size_t triangles = 0;
  for (const auto& p : m.polygons) triangles += p.size() == 3;
  EXPECT_EQ(triangles, 24u);
  EXPECT_EQ(m.polygons.size(), 72u);
  for (const Vec3& p : m.points) EXPECT_NEAR(std::sqrt(demotools::Dot(p, p)), 1.0f, 1e-5f);
}

TEST(MeshBuilders, TerrainAndRingFaceUp) {
  for (const Mesh& m : {demotools::Terrain(10, 8, 2, 1), demotools::Ring(1, 2, 16)}) {
    ExpectWellFormed(m);
    for (size_t i = 0; i < m.polygons.size(); ++i) ASSERT_GT(Normal(m, i).y, 0);
  }
  EXPECT_EQ(demotools::Terrain(10, 8, 2, 1).colors.size(), 81u);
}

TEST(MeshBuilders, ExtrusionOfAConcaveOutlineIsClosedAndOutward) {
  // An L shape, counter-clockwise.
  const std::vector<demotools::Vec2> outline = {{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}};
  Mesh m = demotools::Extrude(outline, 1);
  ExpectWellFormed(m);
  EXPECT_EQ(m.polygons.size(), 8u);
  EXPECT_LT(Normal(m, 0).z, 0);  // front cap looks toward -z
  EXPECT_GT(Normal(m, 1).z, 0);
  // The side on the x = 2 edge faces +x; the inner corner's side faces +y.
  EXPECT_GT(Normal(m, 3).x, 0);
  EXPECT_GT(Normal(m, 4).y, 0);
}

TEST(MeshBuilders, BlockTextMakesOneCubePerLitCell) {
  const Mesh i = demotools::BlockText("I", 1, 0.2f);
  EXPECT_EQ(i.polygons.size(), 13u * 6u);  // "I" lights 13 cells
  EXPECT_TRUE(demotools::BlockText("?", 1, 0.2f).polygons.empty());
}

TEST(MeshBuilders, AppendShiftsIndicesAndSurfaces) {
  Mesh a = demotools::Box({1, 1, 1});
  const Mesh b = demotools::Box({1, 1, 1});
  a.Append(b, 2);
  EXPECT_EQ(a.points.size(), 48u);
  EXPECT_EQ(a.polygons[6][0], b.polygons[0][0] + 24);
  EXPECT_EQ(a.polygonSurface[6], 2);
  EXPECT_EQ(a.uvs.size(), 48u);
}

}  // namespace
