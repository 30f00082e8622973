#include "tools/marigold_content/lwo2_writer.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace demotools {

namespace {

// The surface's specular highlight level.
constexpr char kSpecularityId[] = {'S', 'P', 'E', 'C', '\0'};


constexpr uint16_t kMaxPolygonCorners = 0x03FF;
constexpr uint16_t kSideBoth = 3;
constexpr uint16_t kSideFront = 1;
constexpr uint16_t kWrapRepeat = 1;
constexpr float kPi = 3.14159265358979f;

void Check(const ObjectFile& object) {
  const Mesh& m = object.mesh;
  if (m.polygons.size() != m.polygonSurface.size())
    throw std::invalid_argument("every polygon needs a surface");
  if (!m.uvs.empty() && m.uvs.size() != m.points.size())
    throw std::invalid_argument("UVs must be one per point");
  if (!m.colors.empty() && m.colors.size() != m.points.size())
    throw std::invalid_argument("colours must be one per point");
  for (size_t i = 0; i < m.polygons.size(); ++i) {
    const auto& p = m.polygons[i];
    if (p.empty() || p.size() > kMaxPolygonCorners) throw std::invalid_argument("bad polygon size");
    for (uint32_t c : p)
      if (c >= m.points.size()) throw std::invalid_argument("polygon names a missing point");
    if (m.polygonSurface[i] >= object.surfaces.size())
      throw std::invalid_argument("polygon names a missing surface");
  }
}

Bytes Tags(const ObjectFile& object) {
  IffBuffer b;
  for (const Surface& s : object.surfaces) b.Str(s.name);
  return b.bytes();
}

Bytes Layer(const ObjectFile& object) {
  IffBuffer b;
  b.U2(0);  // layer number
  b.U2(0);  // flags
  b.Vec(0, 0, 0);
  b.Str(object.layerName);
  return b.bytes();
}

Bytes Points(const Mesh& m) {
  IffBuffer b;
  for (const Vec3& p : m.points) b.Vec(p.x, p.y, p.z);
  return b.bytes();
}

Bytes Bounds(const Mesh& m) {
  Vec3 lo{}, hi{};
  if (!m.points.empty()) lo = hi = m.points[0];
  for (const Vec3& p : m.points) {
    lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
    hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
  }
  IffBuffer b;
  b.Vec(lo.x, lo.y, lo.z);
  b.Vec(hi.x, hi.y, hi.z);
  return b.bytes();
}

Bytes UvMap(const Mesh& m) {
  IffBuffer b;
  b.Id("TXUV");
  b.U2(2);
  b.Str(kUvMapName);
  for (size_t i = 0; i < m.uvs.size(); ++i) {
    b.Vx(static_cast<uint32_t>(i));
    b.F4(m.uvs[i].u);
    b.F4(m.uvs[i].v);
  }
  return b.bytes();
}

Bytes ColorMap(const Mesh& m) {
  IffBuffer b;
  b.Id("RGB ");
  b.U2(3);
  b.Str(kColorMapName);
  for (size_t i = 0; i < m.colors.size(); ++i) {
    b.Vx(static_cast<uint32_t>(i));
    b.Vec(m.colors[i].x, m.colors[i].y, m.colors[i].z);
  }
  return b.bytes();
}

Bytes Polygons(const Mesh& m) {
  IffBuffer b;
  b.Id("FACE");
  for (const auto& p : m.polygons) {
    b.U2(static_cast<uint16_t>(p.size()));
    for (uint32_t c : p) b.Vx(c);
  }
  return b.bytes();
}

Bytes PolygonTags(const Mesh& m) {
  IffBuffer b;
  b.Id("SURF");
  for (size_t i = 0; i < m.polygons.size(); ++i) {
    b.Vx(static_cast<uint32_t>(i));
    b.U2(m.polygonSurface[i]);
  }
  return b.bytes();
}

Bytes Clip(uint32_t index, const std::string& file) {
  IffBuffer name;
  name.Str(file);
  IffBuffer b;
  b.U4(index);
  b.Append(SubChunk("STIL", name.bytes()));
  return b.bytes();
}

Bytes FloatWithEnvelope(float v) {
  IffBuffer b;
  b.F4(v);
  b.Vx(0);
  return b.bytes();
}

Bytes VecWithEnvelope(Vec3 v) {
  IffBuffer b;
  b.Vec(v.x, v.y, v.z);
  b.Vx(0);
  return b.bytes();
}

Bytes U2Body(uint16_t v) {
  IffBuffer b;
  b.U2(v);
  return b.bytes();
}

Bytes ImageBlock(const ImageMap& map, uint32_t clip) {
  IffBuffer header;
  header.Str("\x80");  // ordinal
  IffBuffer chan;
  chan.Id("COLR");
  header.Append(SubChunk("CHAN", chan.bytes()));
  IffBuffer opac;
  opac.U2(0);  // normal blending
  opac.F4(map.opacity);
  opac.Vx(0);
  header.Append(SubChunk("OPAC", opac.bytes()));
  header.Append(SubChunk("ENAB", U2Body(1)));

  IffBuffer tmap;
  tmap.Append(SubChunk("CNTR", VecWithEnvelope(map.center)));
  tmap.Append(SubChunk("SIZE", VecWithEnvelope(map.size)));
  tmap.Append(SubChunk("ROTA", VecWithEnvelope({})));
  IffBuffer oref;
  oref.Str("(none)");
  tmap.Append(SubChunk("OREF", oref.bytes()));
  tmap.Append(SubChunk("CSYS", U2Body(0)));

  IffBuffer b;
  b.Append(SubChunk("IMAP", header.bytes()));
  b.Append(SubChunk("TMAP", tmap.bytes()));
  b.Append(SubChunk("PROJ", U2Body(static_cast<uint16_t>(map.projection))));
  b.Append(SubChunk("AXIS", U2Body(static_cast<uint16_t>(map.axis))));
  IffBuffer imag;
  imag.Vx(clip);
  b.Append(SubChunk("IMAG", imag.bytes()));
  IffBuffer wrap;
  wrap.U2(kWrapRepeat);
  wrap.U2(kWrapRepeat);
  b.Append(SubChunk("WRAP", wrap.bytes()));
  b.Append(SubChunk("WRPW", FloatWithEnvelope(map.wrapWidth)));
  b.Append(SubChunk("WRPH", FloatWithEnvelope(map.wrapHeight)));
  if (map.projection == Projection::Uv) {
    IffBuffer vmap;
    vmap.Str(kUvMapName);
    b.Append(SubChunk("VMAP", vmap.bytes()));
  }
  return b.bytes();
}

Bytes SurfaceBody(const Surface& s, uint32_t clip, bool hasColors) {
  IffBuffer b;
  b.Str(s.name);
  b.Str("");  // no parent surface
  b.Append(SubChunk("COLR", VecWithEnvelope(s.color)));
  b.Append(SubChunk("DIFF", FloatWithEnvelope(s.diffuse)));
  b.Append(SubChunk("LUMI", FloatWithEnvelope(s.luminosity)));
  b.Append(SubChunk(kSpecularityId, FloatWithEnvelope(s.specular)));
  b.Append(SubChunk("GLOS", FloatWithEnvelope(s.glossiness)));
  b.Append(SubChunk("TRAN", FloatWithEnvelope(s.transparency)));
  b.Append(SubChunk("SIDE", U2Body(s.doubleSided ? kSideBoth : kSideFront)));
  IffBuffer sman;
  sman.F4(s.smoothingDegrees * kPi / 180.0f);
  b.Append(SubChunk("SMAN", sman.bytes()));
  if (hasColors) {
    IffBuffer vcol;
    vcol.F4(1.0f);
    vcol.Vx(0);
    vcol.Id("RGB ");
    vcol.Str(kColorMapName);
    b.Append(SubChunk("VCOL", vcol.bytes()));
  }
  if (s.hasImage) b.Append(SubChunk("BLOK", ImageBlock(s.map, clip)));
  return b.bytes();
}

}  // namespace

void Mesh::Append(const Mesh& other, uint16_t surfaceOffset) {
  const auto base = static_cast<uint32_t>(points.size());
  points.insert(points.end(), other.points.begin(), other.points.end());
  uvs.resize(base);
  if (other.uvs.empty()) {
    uvs.resize(points.size());
  } else {
    uvs.insert(uvs.end(), other.uvs.begin(), other.uvs.end());
  }
  if (!colors.empty() || !other.colors.empty()) {
    colors.resize(base, Vec3{1, 1, 1});
    if (other.colors.empty()) {
      colors.resize(points.size(), Vec3{1, 1, 1});
    } else {
      colors.insert(colors.end(), other.colors.begin(), other.colors.end());
    }
  }
  for (size_t i = 0; i < other.polygons.size(); ++i) {
    std::vector<uint32_t> p = other.polygons[i];
    for (uint32_t& c : p) c += base;
    polygons.push_back(std::move(p));
    polygonSurface.push_back(static_cast<uint16_t>(other.polygonSurface[i] + surfaceOffset));
  }
}

void Mesh::Translate(Vec3 by) {
  for (Vec3& p : points) p = p + by;
}

void Mesh::Scale(Vec3 by) {
  for (Vec3& p : points) p = {p.x * by.x, p.y * by.y, p.z * by.z};
}

void Mesh::SetSurface(uint16_t surface) { std::fill(polygonSurface.begin(), polygonSurface.end(), surface); }

Bytes WriteLwo2(const ObjectFile& object) {
  Check(object);
  const Mesh& m = object.mesh;
  IffBuffer form;
  form.Id("LWO2");
  form.Append(Chunk("TAGS", Tags(object)));
  form.Append(Chunk("LAYR", Layer(object)));
  form.Append(Chunk("PNTS", Points(m)));
  form.Append(Chunk("BBOX", Bounds(m)));
  if (!m.uvs.empty()) form.Append(Chunk("VMAP", UvMap(m)));
  if (!m.colors.empty()) form.Append(Chunk("VMAP", ColorMap(m)));
  form.Append(Chunk("POLS", Polygons(m)));
  form.Append(Chunk("PTAG", PolygonTags(m)));

  std::vector<std::string> clips;
  std::vector<uint32_t> surfaceClip(object.surfaces.size(), 0);
  for (size_t i = 0; i < object.surfaces.size(); ++i) {
    const Surface& s = object.surfaces[i];
    if (!s.hasImage) continue;
    auto found = std::find(clips.begin(), clips.end(), s.map.image);
    if (found == clips.end()) {
      clips.push_back(s.map.image);
      found = clips.end() - 1;
    }
    surfaceClip[i] = static_cast<uint32_t>(found - clips.begin()) + 1;
  }
  for (size_t i = 0; i < clips.size(); ++i)
    form.Append(Chunk("CLIP", Clip(static_cast<uint32_t>(i + 1), clips[i])));
  for (size_t i = 0; i < object.surfaces.size(); ++i)
    form.Append(Chunk("SURF", SurfaceBody(object.surfaces[i], surfaceClip[i], !m.colors.empty())));
  return Chunk("FORM", form.bytes());
}

}  // namespace demotools
