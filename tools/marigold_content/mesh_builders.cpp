#include "tools/marigold_content/mesh_builders.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace demotools {

namespace {

constexpr float kTau = 6.28318530718f;

Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

// Deterministic hash noise in 0..1.
float Hash(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return static_cast<float>(x & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

float Lattice(int x, int z, uint32_t seed) {
  return Hash(static_cast<uint32_t>(x) * 73856093U ^ static_cast<uint32_t>(z) * 19349663U ^ seed);
}

float SmoothNoise(float x, float z, uint32_t seed) {
  const int x0 = static_cast<int>(std::floor(x)), z0 = static_cast<int>(std::floor(z));
  const float fx = x - static_cast<float>(x0), fz = z - static_cast<float>(z0);
  const float sx = fx * fx * (3 - 2 * fx), sz = fz * fz * (3 - 2 * fz);
  const float a = Lattice(x0, z0, seed), b = Lattice(x0 + 1, z0, seed);
  const float c = Lattice(x0, z0 + 1, seed), d = Lattice(x0 + 1, z0 + 1, seed);
  return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sz;
}

void AddPolygon(Mesh* m, std::vector<uint32_t> polygon, Vec3 outward) {
  OrientPolygon(m->points, &polygon, outward);
  m->polygons.push_back(std::move(polygon));
  m->polygonSurface.push_back(0);
}

uint32_t AddPoint(Mesh* m, Vec3 p, Vec2 uv) {
  m->points.push_back(p);
  m->uvs.push_back(uv);
  return static_cast<uint32_t>(m->points.size() - 1);
}

}  // namespace

void OrientPolygon(const std::vector<Vec3>& points, std::vector<uint32_t>* polygon, Vec3 outward) {
  Vec3 n{};
  const size_t count = polygon->size();
  for (size_t i = 0; i < count; ++i) {
    const Vec3 a = points[(*polygon)[i]], b = points[(*polygon)[(i + 1) % count]];
    n = n + Vec3{(a.y - b.y) * (a.z + b.z), (a.z - b.z) * (a.x + b.x), (a.x - b.x) * (a.y + b.y)};
  }
  if (Dot(n, outward) < 0) std::reverse(polygon->begin(), polygon->end());
}

Mesh Sphere(float radius, int segments, int rings) {
  Mesh m;
  for (int r = 0; r <= rings; ++r) {
    const float v = static_cast<float>(r) / static_cast<float>(rings);
    const float phi = v * kTau / 2;
    for (int s = 0; s <= segments; ++s) {
      const float u = static_cast<float>(s) / static_cast<float>(segments);
      const float theta = u * kTau;
      AddPoint(&m, {radius * std::sin(phi) * std::cos(theta), radius * std::cos(phi), radius * std::sin(phi) * std::sin(theta)},
               {u, 1 - v});
    }
  }
  const auto at = [&](int r, int s) { return static_cast<uint32_t>(r * (segments + 1) + s); };
  for (int r = 0; r < rings; ++r) {
    for (int s = 0; s < segments; ++s) {
      std::vector<uint32_t> p;
      if (r == 0) {
        p = {at(r, s), at(r + 1, s), at(r + 1, s + 1)};
      } else if (r == rings - 1) {
        p = {at(r, s), at(r + 1, s), at(r, s + 1)};
      } else {
        p = {at(r, s), at(r + 1, s), at(r + 1, s + 1), at(r, s + 1)};
      }
      Vec3 centre{};
      for (uint32_t c : p) centre = centre + m.points[c];
      AddPolygon(&m, p, centre);
    }
  }
  return m;
}

Mesh Torus(float majorRadius, float minorRadius, int segments, int sides) {
  Mesh m;
  for (int i = 0; i <= segments; ++i) {
    const float u = static_cast<float>(i) / static_cast<float>(segments);
    const float a = u * kTau;
    for (int j = 0; j <= sides; ++j) {
      const float v = static_cast<float>(j) / static_cast<float>(sides);
      const float b = v * kTau;
      const float ring = majorRadius + minorRadius * std::cos(b);
      AddPoint(&m, {ring * std::cos(a), minorRadius * std::sin(b), ring * std::sin(a)}, {u * 4, v});
    }
  }
  const auto at = [&](int i, int j) { return static_cast<uint32_t>(i * (sides + 1) + j); };
  for (int i = 0; i < segments; ++i) {
    for (int j = 0; j < sides; ++j) {
      std::vector<uint32_t> p = {at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)};
      const float a = (static_cast<float>(i) + 0.5f) / static_cast<float>(segments) * kTau;
      const Vec3 axis{majorRadius * std::cos(a), 0, majorRadius * std::sin(a)};
      Vec3 centre{};
      for (uint32_t c : p) centre = centre + m.points[c] * 0.25f;
      AddPolygon(&m, p, centre - axis);
    }
  }
  return m;
}

Mesh Box(Vec3 size) {
  Mesh m;
  const Vec3 h = size * 0.5f;
  const std::array<Vec3, 6> normals = {{{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}}};
  for (const Vec3& n : normals) {
    // Two axes across the face.
    const Vec3 a = std::fabs(n.y) > 0 ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
    const Vec3 b = Cross(n, a);
    std::vector<uint32_t> p;
    const std::array<Vec2, 4> corners = {{{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}};
    for (const Vec2& c : corners) {
      const Vec3 q = n + a * c.u + b * c.v;
      p.push_back(AddPoint(&m, {q.x * h.x, q.y * h.y, q.z * h.z}, {(c.u + 1) / 2, (c.v + 1) / 2}));
    }
    AddPolygon(&m, p, n);
  }
  return m;
}

Mesh Cylinder(float radius, float height, int segments, bool capped) {
  Mesh m;
  for (int i = 0; i <= segments; ++i) {
    const float u = static_cast<float>(i) / static_cast<float>(segments);
    const float a = u * kTau;
    AddPoint(&m, {radius * std::cos(a), -height / 2, radius * std::sin(a)}, {u, 0});
    AddPoint(&m, {radius * std::cos(a), height / 2, radius * std::sin(a)}, {u, 1});
  }
  for (int i = 0; i < segments; ++i) {
    const auto b = static_cast<uint32_t>(2 * i);
    Vec3 centre = (m.points[b] + m.points[b + 3]) * 0.5f;
    AddPolygon(&m, {b, b + 2, b + 3, b + 1}, {centre.x, 0, centre.z});
  }
  if (capped) {
    for (int side = 0; side < 2; ++side) {
      std::vector<uint32_t> cap;
      const float y = side == 0 ? -height / 2 : height / 2;
      for (int i = 0; i < segments; ++i) {
        const float a = static_cast<float>(i) / static_cast<float>(segments) * kTau;
        cap.push_back(AddPoint(&m, {radius * std::cos(a), y, radius * std::sin(a)},
                               {0.5f + 0.5f * std::cos(a), 0.5f + 0.5f * std::sin(a)}));
      }
      AddPolygon(&m, cap, {0, y, 0});
    }
  }
  return m;
}

Mesh Ring(float innerRadius, float outerRadius, int segments) {
  Mesh m;
  for (int i = 0; i <= segments; ++i) {
    const float u = static_cast<float>(i) / static_cast<float>(segments);
    const float a = u * kTau;
    AddPoint(&m, {innerRadius * std::cos(a), 0, innerRadius * std::sin(a)}, {u * 8, 0});
    AddPoint(&m, {outerRadius * std::cos(a), 0, outerRadius * std::sin(a)}, {u * 8, 1});
  }
  for (int i = 0; i < segments; ++i) {
    const auto b = static_cast<uint32_t>(2 * i);
    AddPolygon(&m, {b, b + 1, b + 3, b + 2}, {0, 1, 0});
  }
  return m;
}

Mesh Terrain(float size, int cells, float height, uint32_t seed) {
  Mesh m;
  const float step = size / static_cast<float>(cells);
  for (int z = 0; z <= cells; ++z) {
    for (int x = 0; x <= cells; ++x) {
      const float fx = static_cast<float>(x) / static_cast<float>(cells);
      const float fz = static_cast<float>(z) / static_cast<float>(cells);
      const float n = 0.6f * SmoothNoise(fx * 4, fz * 4, seed) + 0.3f * SmoothNoise(fx * 9, fz * 9, seed + 1) +
                      0.1f * SmoothNoise(fx * 20, fz * 20, seed + 2);
      const float y = (n - 0.45f) * height;
      AddPoint(&m, {-size / 2 + static_cast<float>(x) * step, y, -size / 2 + static_cast<float>(z) * step},
               {fx * 6, fz * 6});
      // Deep violet valleys to hot orange ridges.
      const float t = std::clamp(n, 0.0f, 1.0f);
      m.colors.push_back({0.25f + 0.75f * t, 0.1f + 0.5f * t * t, 0.55f - 0.4f * t});
    }
  }
  const auto at = [&](int x, int z) { return static_cast<uint32_t>(z * (cells + 1) + x); };
  for (int z = 0; z < cells; ++z)
    for (int x = 0; x < cells; ++x) AddPolygon(&m, {at(x, z), at(x + 1, z), at(x + 1, z + 1), at(x, z + 1)}, {0, 1, 0});
  return m;
}

Mesh Extrude(const std::vector<Vec2>& outline, float depth) {
  Mesh m;
  const auto n = static_cast<uint32_t>(outline.size());
  std::vector<uint32_t> front, back;
  for (const Vec2& p : outline) front.push_back(AddPoint(&m, {p.u, p.v, -depth / 2}, {p.u, p.v}));
  for (const Vec2& p : outline) back.push_back(AddPoint(&m, {p.u, p.v, depth / 2}, {p.u, p.v}));
  AddPolygon(&m, front, {0, 0, -1});
  AddPolygon(&m, back, {0, 0, 1});
  for (uint32_t i = 0; i < n; ++i) {
    const uint32_t j = (i + 1) % n;
    const Vec2 a = outline[i], b = outline[j];
    const uint32_t p0 = AddPoint(&m, {a.u, a.v, -depth / 2}, {0, 0});
    const uint32_t p1 = AddPoint(&m, {b.u, b.v, -depth / 2}, {1, 0});
    const uint32_t p2 = AddPoint(&m, {b.u, b.v, depth / 2}, {1, 1});
    const uint32_t p3 = AddPoint(&m, {a.u, a.v, depth / 2}, {0, 1});
    // The side faces away from the outline's inside: for a counter-clockwise
    // outline (seen from -Z, x right, y up) that is the edge turned right.
    float area = 0;
    for (uint32_t k = 0; k < n; ++k) {
      const Vec2 c = outline[k], d = outline[(k + 1) % n];
      area += c.u * d.v - d.u * c.v;
    }
    const Vec3 edge{b.u - a.u, b.v - a.v, 0};
    const Vec3 right = area >= 0 ? Vec3{edge.y, -edge.x, 0} : Vec3{-edge.y, edge.x, 0};
    AddPolygon(&m, {p0, p1, p2, p3}, right);
  }
  return m;
}

Mesh BlockText(const std::string& text, float height, float depth) {
  // 5 x 5 block glyphs, rows from the top.
  static const std::map<char, std::array<const char*, 5>> glyphs = {
      {'A', {".###.", "#...#", "#####", "#...#", "#...#"}}, {'B', {"####.", "#...#", "####.", "#...#", "####."}},
      {'D', {"####.", "#...#", "#...#", "#...#", "####."}}, {'E', {"#####", "#....", "####.", "#....", "#####"}},
      {'G', {".####", "#....", "#.###", "#...#", ".###."}}, {'H', {"#...#", "#...#", "#####", "#...#", "#...#"}},
      {'I', {"#####", "..#..", "..#..", "..#..", "#####"}}, {'K', {"#...#", "#..#.", "###..", "#..#.", "#...#"}},
      {'L', {"#....", "#....", "#....", "#....", "#####"}}, {'M', {"#...#", "##.##", "#.#.#", "#...#", "#...#"}},
      {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#"}}, {'O', {".###.", "#...#", "#...#", "#...#", ".###."}},
      {'R', {"####.", "#...#", "####.", "#..#.", "#...#"}}, {'S', {".####", "#....", ".###.", "....#", "####."}},
      {'T', {"#####", "..#..", "..#..", "..#..", "..#.."}}, {'X', {"#...#", ".#.#.", "..#..", ".#.#.", "#...#"}},
      {'Y', {"#...#", ".#.#.", "..#..", "..#..", "..#.."}}, {'Z', {"#####", "...#.", "..#..", ".#...", "#####"}},
  };
  constexpr int kGlyphSize = 5;
  constexpr int kAdvance = 6;
  const float cell = height / kGlyphSize;
  const float width = static_cast<float>(text.size() * kAdvance - 1) * cell;
  Mesh m;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto found = glyphs.find(text[i]);
    if (found == glyphs.end()) continue;
    for (int row = 0; row < kGlyphSize; ++row) {
      for (int col = 0; col < kGlyphSize; ++col) {
        if (found->second[size_t(row)][col] != '#') continue;
        Mesh cube = Box({cell * 0.96f, cell * 0.96f, depth});
        cube.Translate({-width / 2 + (static_cast<float>(i * kAdvance + size_t(col)) + 0.5f) * cell,
                        height / 2 - (static_cast<float>(row) + 0.5f) * cell, 0});
        m.Append(cube);
      }
    }
  }
  return m;
}

Mesh ParticleCloud(int count, float innerRadius, float outerRadius, float particleSize, uint32_t seed) {
  Mesh m;
  for (int i = 0; i < count; ++i) {
    const auto k = static_cast<uint32_t>(i) * 4 + seed * 7919U;
    const float theta = Hash(k) * kTau;
    const float y = Hash(k + 1) * 2 - 1;
    const float r = innerRadius + (outerRadius - innerRadius) * Hash(k + 2);
    const float s = std::sqrt(1 - y * y);
    const Vec3 c{r * s * std::cos(theta), r * y, r * s * std::sin(theta)};
    const float spin = Hash(k + 3) * kTau;
    const Vec3 a{std::cos(spin) * particleSize, std::sin(spin) * particleSize, 0};
    const Vec3 b{-std::sin(spin) * particleSize, std::cos(spin) * particleSize, particleSize * 0.3f};
    const uint32_t p0 = AddPoint(&m, c - a - b, {0, 0});
    const uint32_t p1 = AddPoint(&m, c + a - b, {1, 0});
    const uint32_t p2 = AddPoint(&m, c + a + b, {1, 1});
    const uint32_t p3 = AddPoint(&m, c - a + b, {0, 1});
    AddPolygon(&m, {p0, p1, p2, p3}, c * -1.0f);
  }
  return m;
}

}  // namespace demotools
