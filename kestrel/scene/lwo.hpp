// LightWave object files (LWO2 and LWOB) read into meshes.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kestrel/scene/model.hpp"

namespace kestrel {

// An object file's layers before triangulation.
struct ObjectLayer {
  int number = 0;
  int parent = -1;
  std::string name;
  Vec3 pivot;
  std::vector<Vec3> points;
  struct Polygon {
    uint32_t firstCorner = 0;  // into `corners`
    uint32_t cornerCount = 0;
    int surface = 0;           // index into ObjectFile::surfaces
  };
  std::vector<Polygon> polygons;
  std::vector<uint32_t> corners;  // point indices of all polygons, in order
  std::span<const uint32_t> Corners(const Polygon& polygon) const {
    return {corners.data() + polygon.firstCorner, polygon.cornerCount};
  }
  // Per-point maps (VMAP) and per-polygon-corner overrides (VMAD).
  struct PointMap {
    std::string name;
    uint32_t type = 0;  // 'TXUV', 'RGB ', 'RGBA'
    int dimension = 0;
    std::vector<uint32_t> points;
    std::vector<float> values;  // dimension floats per entry
  };
  struct CornerMap {
    std::string name;
    uint32_t type = 0;
    int dimension = 0;
    std::vector<uint32_t> points;
    std::vector<uint32_t> polygons;
    std::vector<float> values;
  };
  std::vector<PointMap> pointMaps;
  std::vector<CornerMap> cornerMaps;
};

struct ObjectFile {
  std::vector<ObjectLayer> layers;
  std::vector<Surface> surfaces;
  std::string vertexColorMap;  // the first surface's VCOL map name, if any
};

// Parses LWO2 or LWOB bytes. Image names stay unresolved. On failure
// returns null and stores a message in `error`.
std::unique_ptr<ObjectFile> ParseObject(std::span<const uint8_t> bytes, std::string* error);

// Reads and parses an object from the data files and resolves its image
// paths from the object's folder (LightWave's content-directory rule).
std::unique_ptr<ObjectFile> LoadObjectFile(std::string_view path, std::string* error);

// Triangulated, smoothed, textured mesh of one layer (layer number as in
// the file), or of every layer merged when `layer` is 0.
Mesh BuildMesh(const ObjectFile& object, int layer);

}  // namespace kestrel
