// Object layers to render-ready meshes: polygons triangulated (concave ones
// by ear clipping), normals smoothed within each surface's smoothing angle,
// texture coordinates from UV maps or the image map's projection, vertex
// colours from RGB/RGBA maps.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>

#include "kestrel/scene/lwo.hpp"

namespace kestrel {
namespace {

constexpr uint32_t kTxuv = 0x54585556;  // 'TXUV'
constexpr uint32_t kRgb = 0x52474220;   // 'RGB '
constexpr uint32_t kRgba = 0x52474241;  // 'RGBA'
constexpr double kTwoPi = 2 * std::numbers::pi;

Vec3 Sub(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 Add(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 Normalized(Vec3 v) {
  const float length = std::sqrt(Dot(v, v));
  if (length <= 0) return {0, 1, 0};
  return {v.x / length, v.y / length, v.z / length};
}

// Newell's normal: robust for concave and slightly non-planar polygons.
Vec3 PolygonNormal(const std::vector<Vec3>& points, std::span<const uint32_t> corners) {
  if (corners.size() == 3) {
    const Vec3 a = points[corners[0]], b = points[corners[1]], c = points[corners[2]];
    const Vec3 u = Sub(b, a), v = Sub(c, a);
    return Normalized({u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x});
  }
  Vec3 n;
  for (size_t i = 0; i < corners.size(); ++i) {
    const Vec3 a = points[corners[i]];
    const Vec3 b = points[corners[i + 1 == corners.size() ? 0 : i + 1]];
    n.x += (a.y - b.y) * (a.z + b.z);
    n.y += (a.z - b.z) * (a.x + b.x);
    n.z += (a.x - b.x) * (a.y + b.y);
  }
  return Normalized(n);
}

struct Point2 {
  double x, y;
};

double Cross(Point2 o, Point2 a, Point2 b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }

bool InTriangle(Point2 p, Point2 a, Point2 b, Point2 c, double orientation) {
  return Cross(a, b, p) * orientation >= 0 && Cross(b, c, p) * orientation >= 0 &&
         Cross(c, a, p) * orientation >= 0;
}

bool SamePoint(Point2 a, Point2 b) { return a.x == b.x && a.y == b.y; }

// Triangles as positions within the polygon's corner list, in its winding.
struct TriangulationScratch {
  std::vector<Point2> flat;
  std::vector<uint32_t> left;
};

void Triangulate(const std::vector<Vec3>& points, std::span<const uint32_t> corners, Vec3 normal,
                 TriangulationScratch& scratch, std::vector<uint32_t>* out) {
  const size_t n = corners.size();
  if (n < 3) return;
  if (n == 3) {
    out->insert(out->end(), {0, 1, 2});
    return;
  }
  // Project on the plane of the two axes the normal points least along.
  const float ax = std::fabs(normal.x), ay = std::fabs(normal.y), az = std::fabs(normal.z);
  std::vector<Point2>& flat = scratch.flat;
  flat.resize(n);
  for (size_t i = 0; i < n; ++i) {
    const Vec3 p = points[corners[i]];
    if (ax >= ay && ax >= az)
      flat[i] = {p.y, p.z};
    else if (ay >= az)
      flat[i] = {p.z, p.x};
    else
      flat[i] = {p.x, p.y};
  }
  double area = 0;
  for (size_t i = 0; i < n; ++i) {
    const Point2 a = flat[i], b = flat[i + 1 == n ? 0 : i + 1];
    area += a.x * b.y - b.x * a.y;
  }
  const double orientation = area >= 0 ? 1 : -1;
  // Convex polygons (most of them) are fanned at once.
  bool convex = true;
  for (size_t i = 0; convex && i < n; ++i)
    convex = Cross(flat[i], flat[i + 1 < n ? i + 1 : i + 1 - n], flat[i + 2 < n ? i + 2 : i + 2 - n]) * orientation > 0;
  if (convex) {
    for (uint32_t i = 1; i + 1 < n; ++i) out->insert(out->end(), {0, i, i + 1});
    return;
  }
  std::vector<uint32_t>& left = scratch.left;
  left.resize(n);
  for (size_t i = 0; i < n; ++i) left[i] = uint32_t(i);
  size_t guard = 0;
  size_t i = 0;
  while (left.size() > 3) {
    const size_t m = left.size();
    const uint32_t a = left[(i + m - 1) % m], b = left[i % m], c = left[(i + 1) % m];
    bool ear = Cross(flat[a], flat[b], flat[c]) * orientation > 0;
    for (size_t k = 0; ear && k < m; ++k) {
      const uint32_t p = left[k];
      if (p == a || p == b || p == c) continue;
      // Keyhole polygons repeat the bridge's corners; a repeat of a
      // corner of the ear does not block it.
      if (SamePoint(flat[p], flat[a]) || SamePoint(flat[p], flat[b]) || SamePoint(flat[p], flat[c])) continue;
      if (InTriangle(flat[p], flat[a], flat[b], flat[c], orientation)) ear = false;
    }
    if (ear) {
      out->insert(out->end(), {a, b, c});
      left.erase(left.begin() + long(i % m));
      guard = 0;
      if (i >= left.size()) i = 0;
      continue;
    }
    i = (i + 1) % m;
    // No ear in a whole round: self-intersecting or degenerate; fan the rest.
    if (++guard > m) {
      for (size_t k = 1; k + 1 < left.size(); ++k) out->insert(out->end(), {left[0], left[k], left[k + 1]});
      return;
    }
  }
  out->insert(out->end(), {left[0], left[1], left[2]});
}

// Texture coordinates of a point by a projection; (0, 0) is the picture's
// top-left corner.
Vec2 Project(const ImageMap& map, Vec3 p) {
  const Vec3 d = Sub(p, map.center);
  auto safe = [](float s) { return std::fabs(s) > 1e-12f ? s : 1.0f; };
  const Vec3 size{safe(map.size.x), safe(map.size.y), safe(map.size.z)};
  // Planar coordinates across the axis: horizontal u, upward v.
  float u, v, su, sv;
  switch (map.axis) {
    case 0: u = d.z; v = d.y; su = size.z; sv = size.y; break;
    case 2: u = d.x; v = d.y; su = size.x; sv = size.y; break;
    default: u = d.x; v = d.z; su = size.x; sv = size.z; break;  // top view: +z up
  }
  switch (map.projection) {
    case Projection::Cylindrical: {
      const double lon = map.axis == 1 ? std::atan2(d.x, d.z) : map.axis == 0 ? std::atan2(d.z, d.y) : std::atan2(d.x, d.y);
      const float s = float((lon / kTwoPi + 0.5) * map.wrapWidth);
      const float along = map.axis == 1 ? d.y / size.y : map.axis == 0 ? d.x / size.x : d.z / size.z;
      return {s, 0.5f - along};
    }
    case Projection::Spherical: {
      const float r = std::sqrt(Dot(d, d));
      const float along = map.axis == 1 ? d.y : map.axis == 0 ? d.x : d.z;
      const double lon = map.axis == 1 ? std::atan2(d.x, d.z) : map.axis == 0 ? std::atan2(d.z, d.y) : std::atan2(d.x, d.y);
      const double lat = r > 0 ? std::asin(std::clamp(along / r, -1.0f, 1.0f)) : 0.0;
      return {float((lon / kTwoPi + 0.5) * map.wrapWidth), float((0.5 - lat / std::numbers::pi) * map.wrapHeight)};
    }
    default:  // planar (also stands in for cubic and front projection)
      return {u / su + 0.5f, 0.5f - v / sv};
  }
}

struct CornerAttributes {
  Vec3 normal;
  Vec2 uv;
  Vec4 color{1, 1, 1, 1};
};

bool Same(const CornerAttributes& x, const CornerAttributes& y) {
  return x.normal.x == y.normal.x && x.normal.y == y.normal.y && x.normal.z == y.normal.z && x.uv.x == y.uv.x &&
         x.uv.y == y.uv.y && x.color.x == y.color.x && x.color.y == y.color.y && x.color.z == y.color.z &&
         x.color.w == y.color.w;
}

const ObjectLayer::PointMap* FindPointMap(const ObjectLayer& layer, uint32_t type, const std::string& name) {
  for (const auto& map : layer.pointMaps) {
    const bool typeMatches = type == kTxuv ? map.type == kTxuv : (map.type == kRgb || map.type == kRgba);
    if (typeMatches && (name.empty() || map.name == name)) return &map;
  }
  return nullptr;
}

const ObjectLayer::CornerMap* FindCornerMap(const ObjectLayer& layer, uint32_t type, const std::string& name) {
  for (const auto& map : layer.cornerMaps) {
    const bool typeMatches = type == kTxuv ? map.type == kTxuv : (map.type == kRgb || map.type == kRgba);
    if (typeMatches && (name.empty() || map.name == name)) return &map;
  }
  return nullptr;
}

// Per-point and per-corner values of one vertex map, for quick lookup.
struct MapLookup {
  int dimension = 0;
  std::vector<int32_t> byPoint;                            // entry per point, -1 none
  std::vector<std::vector<std::pair<uint32_t, uint32_t>>> corners;  // per point: (polygon, entry)
  const std::vector<float>* pointValues = nullptr;
  const std::vector<float>* cornerValues = nullptr;

  bool Get(uint32_t point, uint32_t polygon, float* out) const {
    if (cornerValues && point < corners.size()) {
      for (const auto& [poly, entry] : corners[point]) {
        if (poly == polygon) {
          std::copy_n(cornerValues->begin() + long(entry) * dimension, dimension, out);
          return true;
        }
      }
    }
    if (pointValues && point < byPoint.size() && byPoint[point] >= 0) {
      std::copy_n(pointValues->begin() + long(byPoint[point]) * dimension, dimension, out);
      return true;
    }
    return false;
  }
};

MapLookup MakeLookup(const ObjectLayer& layer, const ObjectLayer::PointMap* pointMap,
                     const ObjectLayer::CornerMap* cornerMap) {
  MapLookup lookup;
  if (pointMap) {
    lookup.dimension = pointMap->dimension;
    lookup.pointValues = &pointMap->values;
    lookup.byPoint.assign(layer.points.size(), -1);
    for (size_t e = 0; e < pointMap->points.size(); ++e) lookup.byPoint[pointMap->points[e]] = int32_t(e);
  }
  if (cornerMap && (!pointMap || cornerMap->dimension == pointMap->dimension)) {
    lookup.dimension = cornerMap->dimension;
    lookup.cornerValues = &cornerMap->values;
    lookup.corners.resize(layer.points.size());
    for (size_t e = 0; e < cornerMap->points.size(); ++e)
      lookup.corners[cornerMap->points[e]].push_back({cornerMap->polygons[e], uint32_t(e)});
  }
  return lookup;
}

void AppendLayer(const ObjectFile& object, const ObjectLayer& layer, Mesh& mesh, bool withColors,
                 std::vector<std::vector<uint32_t>>& batchIndices) {
  const auto& points = layer.points;
  const size_t polygonCount = layer.polygons.size();
  std::vector<Vec3> faceNormals(polygonCount);
  // Polygons around each point, as one flat list with offsets per point.
  std::vector<uint32_t> aroundStart(points.size() + 1, 0);
  for (size_t p = 0; p < polygonCount; ++p) {
    const auto& polygon = layer.polygons[p];
    if (polygon.cornerCount < 3) continue;
    faceNormals[p] = PolygonNormal(points, layer.Corners(polygon));
    for (uint32_t c : layer.Corners(polygon)) ++aroundStart[c + 1];
  }
  for (size_t i = 0; i < points.size(); ++i) aroundStart[i + 1] += aroundStart[i];
  std::vector<uint32_t> around(aroundStart.back());
  {
    std::vector<uint32_t> fill(aroundStart.begin(), aroundStart.end() - 1);
    for (size_t p = 0; p < polygonCount; ++p) {
      if (layer.polygons[p].cornerCount < 3) continue;
      for (uint32_t c : layer.Corners(layer.polygons[p])) around[fill[c]++] = uint32_t(p);
    }
  }

  // Maps per surface (UV map by name) and the colour map.
  std::vector<MapLookup> uvBySurface(object.surfaces.size());
  std::vector<bool> uvReady(object.surfaces.size(), false);
  std::vector<float> surfaceCos(object.surfaces.size(), 2.0f);  // 2: not yet computed
  MapLookup colors;
  if (withColors) {
    colors = MakeLookup(layer, FindPointMap(layer, kRgb, object.vertexColorMap),
                        FindCornerMap(layer, kRgb, object.vertexColorMap));
    if (!colors.pointValues && !colors.cornerValues)
      colors = MakeLookup(layer, FindPointMap(layer, kRgb, ""), FindCornerMap(layer, kRgb, ""));
  }

  // Vertices made for each point: a chain through `nextOfPoint`.
  std::vector<uint32_t> firstOfPoint(points.size(), UINT32_MAX);
  std::vector<uint32_t> nextOfPoint;
  std::vector<CornerAttributes> made;
  const uint32_t base = uint32_t(mesh.positions.size());
  mesh.positions.reserve(mesh.positions.size() + points.size());
  mesh.normals.reserve(mesh.normals.size() + points.size());
  made.reserve(points.size());
  nextOfPoint.reserve(points.size());
  std::vector<uint32_t> triangles;
  std::vector<uint32_t> cornerVertex;
  TriangulationScratch scratch;
  for (size_t p = 0; p < polygonCount; ++p) {
    const auto& polygon = layer.polygons[p];
    if (polygon.cornerCount < 3) continue;
    const auto corners = layer.Corners(polygon);
    const size_t surfaceIndex = size_t(polygon.surface);
    const Surface& surface = object.surfaces[surfaceIndex];
    if (surfaceCos[surfaceIndex] > 1) surfaceCos[surfaceIndex] = std::cos(surface.smoothingAngle);
    const float cosLimit = surfaceCos[surfaceIndex];
    const bool smooth = surface.smoothingAngle > 0;
    const bool textured = surface.hasImage;
    const bool uvProjection = textured && surface.image.projection == Projection::Uv;
    if (uvProjection && !uvReady[surfaceIndex]) {
      uvBySurface[surfaceIndex] = MakeLookup(layer, FindPointMap(layer, kTxuv, surface.image.uvMap),
                                             FindCornerMap(layer, kTxuv, surface.image.uvMap));
      uvReady[surfaceIndex] = true;
    }
    cornerVertex.resize(corners.size());
    for (size_t k = 0; k < corners.size(); ++k) {
      const uint32_t point = corners[k];
      CornerAttributes a;
      a.normal = faceNormals[p];
      if (smooth) {
        Vec3 sum;
        for (uint32_t k2 = aroundStart[point]; k2 < aroundStart[point + 1]; ++k2) {
          const uint32_t q = around[k2];
          if (layer.polygons[q].surface != polygon.surface) continue;
          if (Dot(faceNormals[q], faceNormals[p]) >= cosLimit - 1e-6f) sum = Add(sum, faceNormals[q]);
        }
        a.normal = Normalized(sum);
      }
      if (uvProjection) {
        float uv[2] = {0, 0};
        if (uvBySurface[surfaceIndex].Get(point, uint32_t(p), uv)) a.uv = {uv[0], 1.0f - uv[1]};
      } else if (textured) {
        a.uv = Project(surface.image, points[point]);
      }
      if (withColors) {
        float c[4] = {1, 1, 1, 1};
        if (colors.Get(point, uint32_t(p), c)) a.color = {c[0], c[1], c[2], colors.dimension == 4 ? c[3] : 1.0f};
      }
      uint32_t index = UINT32_MAX;
      for (uint32_t e = firstOfPoint[point]; e != UINT32_MAX; e = nextOfPoint[e]) {
        if (Same(made[e], a)) {
          index = base + e;
          break;
        }
      }
      if (index == UINT32_MAX) {
        index = uint32_t(mesh.positions.size());
        mesh.positions.push_back(points[point]);
        mesh.normals.push_back(a.normal);
        mesh.uvs.push_back(a.uv);
        if (withColors) mesh.colors.push_back(a.color);
        nextOfPoint.push_back(firstOfPoint[point]);
        firstOfPoint[point] = uint32_t(made.size());
        made.push_back(a);
      }
      cornerVertex[k] = index;
    }
    triangles.clear();
    Triangulate(points, corners, faceNormals[p], scratch, &triangles);
    auto& batch = batchIndices[surfaceIndex];
    for (uint32_t t : triangles) batch.push_back(cornerVertex[t]);
  }
}

}  // namespace

Mesh BuildMesh(const ObjectFile& object, int layer) {
  Mesh mesh;
  mesh.surfaces = object.surfaces;
  std::vector<const ObjectLayer*> chosen;
  if (layer <= 0) {
    for (const auto& l : object.layers) chosen.push_back(&l);
  } else {
    // Scene layer numbers count from 1; the file's from 0.
    for (const auto& l : object.layers)
      if (l.number == layer - 1) chosen.push_back(&l);
    if (chosen.empty() && size_t(layer) <= object.layers.size()) chosen.push_back(&object.layers[size_t(layer - 1)]);
  }
  if (chosen.size() == 1) mesh.pivot = chosen.front()->pivot;
  bool withColors = false;
  bool textured = false;
  for (const auto* l : chosen) {
    for (const auto& m : l->pointMaps) withColors |= m.type == kRgb || m.type == kRgba;
    for (const auto& m : l->cornerMaps) withColors |= m.type == kRgb || m.type == kRgba;
  }
  for (const auto& s : object.surfaces) textured |= s.hasImage;
  std::vector<std::vector<uint32_t>> batchIndices(object.surfaces.size());
  for (const auto* l : chosen) AppendLayer(object, *l, mesh, withColors, batchIndices);
  for (size_t s = 0; s < batchIndices.size(); ++s) {
    if (batchIndices[s].empty()) continue;
    mesh.batches.push_back({int(s), std::move(batchIndices[s])});
  }
  if (!textured) mesh.uvs.clear();
  return mesh;
}

}  // namespace kestrel
