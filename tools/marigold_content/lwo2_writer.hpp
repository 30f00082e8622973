// LightWave object (LWO2) writer: one layer of points and polygons with
// per-point UVs and optional vertex colours, surfaces with an optional image
// map, and the still-image clips those maps name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/marigold_content/iff_writer.hpp"

namespace demotools {

struct Vec2 {
  float u = 0, v = 0;
};
struct Vec3 {
  float x = 0, y = 0, z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Image projections as LWO2 numbers them.
enum class Projection : uint16_t { Planar = 0, Cylindrical = 1, Spherical = 2, Cubic = 3, Front = 4, Uv = 5 };
enum class Axis : uint16_t { X = 0, Y = 1, Z = 2 };

struct ImageMap {
  std::string image;  // clip file name, e.g. "images/metal.jpg"
  Projection projection = Projection::Uv;
  Axis axis = Axis::Y;
  Vec3 center{};
  Vec3 size{1, 1, 1};
  float wrapWidth = 1, wrapHeight = 1;  // repeats around cylinder and sphere
  float opacity = 1;
};

struct Surface {
  std::string name;
  Vec3 color{0.8f, 0.8f, 0.8f};
  float diffuse = 1;
  float luminosity = 0;
  float specular = 0;
  float glossiness = 0.4f;
  float transparency = 0;
  bool doubleSided = false;
  float smoothingDegrees = 0;  // 0: faceted
  bool hasImage = false;
  ImageMap map;
};

struct Mesh {
  std::vector<Vec3> points;
  std::vector<std::vector<uint32_t>> polygons;
  std::vector<uint16_t> polygonSurface;  // index into the object's surfaces
  std::vector<Vec2> uvs;                 // empty or one per point
  std::vector<Vec3> colors;              // empty or one per point

  // Appends `other`, its surface indices moved by `surfaceOffset`.
  void Append(const Mesh& other, uint16_t surfaceOffset = 0);
  void Translate(Vec3 by);
  void Scale(Vec3 by);
  void SetSurface(uint16_t surface);
};

struct ObjectFile {
  std::string layerName = "Layer";
  std::vector<Surface> surfaces;
  Mesh mesh;
};

inline constexpr const char* kUvMapName = "UVMap";
inline constexpr const char* kColorMapName = "Colors";

// Whole LWO2 file bytes. Throws std::invalid_argument on inconsistent input
// (a polygon naming a missing point or surface, UVs not one per point).
Bytes WriteLwo2(const ObjectFile& object);

}  // namespace demotools
