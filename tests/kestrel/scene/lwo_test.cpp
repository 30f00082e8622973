// Object reader and mesh building: surfaces, layers, vertex maps,
// triangulation, smoothing and projections; damaged files.
#include <gtest/gtest.h>

#include <cmath>

#include "kestrel/scene/lwo.hpp"
#include "tests/kestrel/scene/lw_builder.hpp"
#include "tests/support/scratch_dir.hpp"

namespace kestrel {
namespace {

using lw_builder::Bytes;

std::unique_ptr<ObjectFile> Load(const std::string& relative) {
  const std::string path = testing_support::TestDataPath("lightwave/" + relative);
  if (path.empty()) return nullptr;
  std::string error;
  auto object = LoadObjectFile(path, &error);
  EXPECT_TRUE(object) << relative << ": " << error;
  return object;
}

#define REQUIRE_OBJECT(var, relative)                  \
  REQUIRE_TESTDATA(var##_path, "lightwave/" relative); \
  const auto var = Load(relative);                     \
  ASSERT_TRUE(var)

const Surface& SurfaceNamed(const ObjectFile& object, const std::string& name) {
  for (const auto& s : object.surfaces)
    if (s.name == name) return s;
  ADD_FAILURE() << "no surface " << name;
  return object.surfaces.front();
}

double TriangleArea(Vec3 a, Vec3 b, Vec3 c) {
  const Vec3 u{b.x - a.x, b.y - a.y, b.z - a.z}, v{c.x - a.x, c.y - a.y, c.z - a.z};
  const double x = u.y * v.z - u.z * v.y, y = u.z * v.x - u.x * v.z, z = u.x * v.y - u.y * v.x;
  return 0.5 * std::sqrt(x * x + y * y + z * z);
}

double MeshArea(const Mesh& mesh) {
  double area = 0;
  for (const auto& b : mesh.batches)
    for (size_t i = 0; i + 2 < b.indices.size(); i += 3)
      area += TriangleArea(mesh.positions[b.indices[i]], mesh.positions[b.indices[i + 1]],
                           mesh.positions[b.indices[i + 2]]);
  return area;
}

TEST(ObjectReader, Lwo2SurfaceFields) {
  REQUIRE_OBJECT(object, "LWO2/transparency.lwo");
  const Surface& s = SurfaceNamed(*object, "Default");
  EXPECT_FLOAT_EQ(s.color.x, 1);
  EXPECT_NEAR(s.color.y, 0.502, 1e-3);
  EXPECT_FLOAT_EQ(s.transparency, 0.5f);
  EXPECT_FLOAT_EQ(s.specular, 1);
  EXPECT_NEAR(s.glossiness, 0.6, 1e-6);
  EXPECT_NEAR(s.smoothingAngle, 1.5625, 1e-6);
  EXPECT_TRUE(s.doubleSided);
}

TEST(ObjectReader, LwobSurfaceFieldsAndGlossLevels) {
  REQUIRE_OBJECT(low, "LWOB/sphere_with_mat_gloss_10pc.lwo");
  REQUIRE_OBJECT(high, "LWOB/sphere_with_mat_gloss_50pc.lwo");
  const Surface& s = low->surfaces.at(0);
  EXPECT_FLOAT_EQ(s.color.x, 1);
  EXPECT_NEAR(s.color.y, 128 / 255.0, 1e-6);
  EXPECT_FLOAT_EQ(s.diffuse, 1);
  EXPECT_NEAR(s.glossiness, 0.2, 1e-6);  // GLOS 16, as its LWO2 twin says
  EXPECT_NEAR(high->surfaces.at(0).glossiness, 0.6, 1e-6);
  EXPECT_GT(s.smoothingAngle, 1.5f);
  REQUIRE_OBJECT(twin, "LWO2/sphere_with_mat_gloss_10pc.lwo");
  EXPECT_NEAR(twin->surfaces.at(0).glossiness, s.glossiness, 1e-6);
}

TEST(ObjectReader, SmoothSphereNormalsPointOutward) {
  for (const char* file : {"LWO2/sphere_with_mat_gloss_10pc.lwo", "LWOB/sphere_with_mat_gloss_10pc.lwo"}) {
    REQUIRE_TESTDATA(path, std::string("lightwave/") + file);
    const auto object = Load(file);
    ASSERT_TRUE(object);
    const Mesh mesh = BuildMesh(*object, 0);
    Vec3 centre;
    for (const auto& p : mesh.positions) {
      centre.x += p.x / float(mesh.positions.size());
      centre.y += p.y / float(mesh.positions.size());
      centre.z += p.z / float(mesh.positions.size());
    }
    for (size_t i = 0; i < mesh.positions.size(); ++i) {
      Vec3 d{mesh.positions[i].x - centre.x, mesh.positions[i].y - centre.y, mesh.positions[i].z - centre.z};
      const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
      const Vec3 n = mesh.normals[i];
      // Smoothed normals of a sphere point along its radius.
      EXPECT_GT((n.x * d.x + n.y * d.y + n.z * d.z) / length, 0.95f) << file << " vertex " << i;
    }
    // Smoothing shares vertices between the polygons around a point.
    size_t points = 0;
    for (const auto& l : object->layers) points += l.points.size();
    EXPECT_EQ(mesh.positions.size(), points) << file;
  }
}

TEST(ObjectReader, ConcavePolygonsKeepTheirArea) {
  for (const char* file : {"LWO2/concave_polygon.lwo", "LWOB/ConcavePolygon.lwo"}) {
    REQUIRE_TESTDATA(path, std::string("lightwave/") + file);
    const auto object = Load(file);
    ASSERT_TRUE(object);
    const ObjectLayer& layer = object->layers.at(0);
    ASSERT_EQ(layer.polygons.size(), 1u);
    // Area by the shoelace rule in the polygon's plane (Newell).
    const auto corners = layer.Corners(layer.polygons[0]);
    double nx = 0, ny = 0, nz = 0;
    for (size_t i = 0; i < corners.size(); ++i) {
      const Vec3 a = layer.points[corners[i]], b = layer.points[corners[(i + 1) % corners.size()]];
      nx += (a.y - b.y) * (a.z + b.z);
      ny += (a.z - b.z) * (a.x + b.x);
      nz += (a.x - b.x) * (a.y + b.y);
    }
    const double area = 0.5 * std::sqrt(nx * nx + ny * ny + nz * nz);
    const Mesh mesh = BuildMesh(*object, 0);
    EXPECT_EQ(mesh.TriangleCount(), corners.size() - 2) << file;
    EXPECT_NEAR(MeshArea(mesh), area, area * 1e-4) << file;
  }
}

TEST(ObjectReader, LayersKeepNumbersNamesParentsAndPivots) {
  REQUIRE_OBJECT(object, "LWO2/hierarchy_smoothed.lwo");
  ASSERT_EQ(object->layers.size(), 4u);
  EXPECT_EQ(object->layers[0].number, 3);
  EXPECT_EQ(object->layers[0].name, "ChildOfRoot0");
  EXPECT_EQ(object->layers[0].parent, 4);
  EXPECT_EQ(object->layers[1].name, "RootOfHierarchy");
  EXPECT_FLOAT_EQ(object->layers[2].pivot.x, 3.25f);
  // Scene layer 4 is the file's layer 3.
  const Mesh one = BuildMesh(*object, 4);
  EXPECT_EQ(one.TriangleCount(), 12u);
  EXPECT_FLOAT_EQ(one.pivot.x, object->layers[0].pivot.x);
  const Mesh all = BuildMesh(*object, 0);
  size_t sum = 0;
  for (int layer : {2, 3, 4, 5}) sum += BuildMesh(*object, layer).TriangleCount();
  EXPECT_EQ(all.TriangleCount(), sum);
}

TEST(ObjectReader, UvMapTexturesResolveTheirImage) {
  REQUIRE_OBJECT(object, "LWO2/boxuv.lwo");
  const Surface& s = object->surfaces.at(0);
  ASSERT_TRUE(s.hasImage);
  EXPECT_EQ(s.image.projection, Projection::Uv);
  EXPECT_EQ(s.image.uvMap, "Texture");
  EXPECT_EQ(s.image.imageName, "boxuv.png");
  EXPECT_NE(s.image.imagePath.find("LWO2/boxuv.png"), std::string::npos);
  const Mesh mesh = BuildMesh(*object, 0);
  ASSERT_EQ(mesh.uvs.size(), mesh.positions.size());
  bool someNonZero = false;
  for (const auto& uv : mesh.uvs) {
    EXPECT_GE(uv.x, -1e-6f);
    EXPECT_LE(uv.x, 1 + 1e-6f);
    someNonZero |= uv.x > 0.1f;
  }
  EXPECT_TRUE(someNonZero);
}

TEST(ObjectReader, CornerUvsSplitVertices) {
  REQUIRE_OBJECT(object, "LWO2/box_2uv_1unused.lwo");
  const Mesh mesh = BuildMesh(*object, 0);
  // Eight points; VMAD gives some corners their own UVs, so more vertices.
  EXPECT_EQ(object->layers[0].points.size(), 8u);
  EXPECT_GT(mesh.positions.size(), 8u);
  EXPECT_EQ(mesh.surfaces.at(size_t(mesh.batches.at(0).surface)).image.uvMap, "testUV0");
}

TEST(ObjectReader, VertexColoursComeFromTheSurfaceMap) {
  REQUIRE_OBJECT(object, "LWO2/box_2vc_1unused.lwo");
  EXPECT_EQ(object->vertexColorMap, "Vertex Color 0");
  const Mesh mesh = BuildMesh(*object, 0);
  ASSERT_EQ(mesh.colors.size(), mesh.positions.size());
  bool coloured = false;
  for (const auto& c : mesh.colors) coloured |= c.x < 0.99f || c.y < 0.99f || c.z < 0.99f;
  EXPECT_TRUE(coloured);
}

TEST(ObjectReader, UnresolvedImagesAreKeptByName) {
  REQUIRE_OBJECT(object, "LWO2/UglyVertexColors.lwo");
  const Surface& s = SurfaceNamed(*object, "Textured");
  ASSERT_TRUE(s.hasImage);
  EXPECT_EQ(s.image.imageName, "C:Users/Alex/Desktop/ConcreteBunker0058_1_L.jpg");
  EXPECT_TRUE(s.image.imagePath.empty());
}

Bytes PlanarSurface(uint16_t axisFlags) {
  using namespace lw_builder;
  Bytes body, ctex, timg, tflg, tsiz;
  S0(ctex, "Planar Image Map");
  S0(timg, "Images/wall.png");
  U2(tflg, axisFlags);
  F4(tsiz, 2);
  F4(tsiz, 2);
  F4(tsiz, 2);
  for (const auto& c : {SubChunk("CTEX", ctex), SubChunk("TIMG", timg), SubChunk("TFLG", tflg),
                        SubChunk("TSIZ", tsiz)})
    body.insert(body.end(), c.begin(), c.end());
  return body;
}

TEST(ObjectReader, LwobPlanarImageMapProjectsUvs) {
  // A quad in the z = 0 plane, 2 x 2 around the origin, mapped along z.
  const Bytes bytes = lw_builder::Lwob("Wall", {{-1, -1, 0}, {-1, 1, 0}, {1, 1, 0}, {1, -1, 0}}, {{0, 1, 2, 3}},
                                       PlanarSurface(1 << 2));
  std::string error;
  const auto object = ParseObject(bytes, &error);
  ASSERT_TRUE(object) << error;
  const Surface& s = object->surfaces.at(0);
  ASSERT_TRUE(s.hasImage);
  EXPECT_EQ(s.image.projection, Projection::Planar);
  EXPECT_EQ(s.image.axis, 2);
  EXPECT_EQ(s.image.imageName, "Images/wall.png");
  const Mesh mesh = BuildMesh(*object, 0);
  ASSERT_EQ(mesh.uvs.size(), 4u);
  // (-1, 1) is the picture's top-left, (1, -1) its bottom-right.
  for (size_t i = 0; i < 4; ++i) {
    const Vec3 p = mesh.positions[i];
    EXPECT_FLOAT_EQ(mesh.uvs[i].x, (p.x + 1) / 2);
    EXPECT_FLOAT_EQ(mesh.uvs[i].y, (1 - p.y) / 2);
  }
  EXPECT_EQ(mesh.TriangleCount(), 2u);
}

TEST(ObjectReader, DetailPolygonsAreRead) {
  using namespace lw_builder;
  Bytes pnts, pols, srfs, surf;
  for (float v : {0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 1.f, 0.f, 1.f, 1.f, 0.f}) F4(pnts, v);
  S0(srfs, "A");
  S0(surf, "A");
  // Triangle with surface -1 and one detail triangle.
  for (uint16_t v : {3, 0, 1, 2}) U2(pols, v);
  U2(pols, uint16_t(-1));
  U2(pols, 1);
  for (uint16_t v : {3, 1, 3, 2, 1}) U2(pols, v);
  const Bytes bytes = Form("LWOB", {Chunk("SRFS", srfs), Chunk("PNTS", pnts), Chunk("POLS", pols), Chunk("SURF", surf)});
  std::string error;
  const auto object = ParseObject(bytes, &error);
  ASSERT_TRUE(object) << error;
  EXPECT_EQ(object->layers.at(0).polygons.size(), 2u);
}

TEST(ObjectReader, DamagedObjectsFailWithAMessage) {
  const Bytes good = lw_builder::Lwob("S", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}});
  std::string error;
  ASSERT_TRUE(ParseObject(good, &error)) << error;
  // Every truncation either parses a prefix or fails cleanly.
  for (size_t n = 0; n < good.size(); ++n) {
    const std::span<const uint8_t> part(good.data(), n);
    (void)ParseObject(part, &error);
  }
  EXPECT_FALSE(ParseObject(Bytes{'R', 'I', 'F', 'F'}, &error));
  EXPECT_NE(error.find("FORM"), std::string::npos);
  Bytes badType = good;
  badType[8] = 'X';
  EXPECT_FALSE(ParseObject(badType, &error));
  EXPECT_NE(error.find("not a LightWave object"), std::string::npos);
  const Bytes badPoint = lw_builder::Lwob("S", {{0, 0, 0}}, {{0, 1, 2}});
  EXPECT_FALSE(ParseObject(badPoint, &error));
  EXPECT_NE(error.find("missing point"), std::string::npos);
}

TEST(ObjectReader, MissingFileIsReported) {
  std::string error;
  EXPECT_FALSE(LoadObjectFile("/nonexistent/object.lwo", &error));
  EXPECT_EQ(error, "not found");
}

}  // namespace
}  // namespace kestrel
