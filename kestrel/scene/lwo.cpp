// LightWave object reader: LWO2 (layers, vertex maps, polygon tags,
// surfaces with image-map blocks, clips) and LWOB (surfaces with texture
// sub-chunks). Every read is bounds-checked; damage ends the parse.
#include "kestrel/scene/lwo.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <optional>

#include "kestrel/archive/archive.hpp"
#include "kestrel/render/log.hpp"

namespace kestrel {
namespace {

constexpr uint32_t Id(const char (&s)[5]) {
  return uint32_t(uint8_t(s[0])) << 24 | uint32_t(uint8_t(s[1])) << 16 | uint32_t(uint8_t(s[2])) << 8 |
         uint32_t(uint8_t(s[3]));
}

// The surface's specular highlight level.
constexpr char kSpecularityId[5] = {'S', 'P', 'E', 'C', '\0'};

constexpr uint32_t kVxLongMarker = 0xff;
constexpr uint32_t kVxIndexMask = 0x00ffffff;
constexpr uint16_t kLwo2CornerCountMask = 0x03ff;
constexpr float kLwobFixedOne = 256.0f;  // LWOB percentages: 256 = 100 %
constexpr uint16_t kLwobFlagSmoothing = 1 << 2;
constexpr uint16_t kLwobFlagDoubleSided = 1 << 8;
constexpr uint16_t kLwobFlagAdditive = 1 << 9;
constexpr uint16_t kLwobTextureNegative = 1 << 4;
constexpr float kLwobDefaultSmoothing = 1.5625f;  // 89.5 degrees
constexpr uint16_t kSideDouble = 3;

struct DamagedError {
  std::string message;
};

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  size_t Left() const { return size_ - pos_; }
  size_t Pos() const { return pos_; }
  bool AtEnd() const { return pos_ >= size_; }
  void Need(size_t n) const {
    if (n > Left()) throw DamagedError{"truncated data"};
  }
  uint8_t U1() {
    Need(1);
    return data_[pos_++];
  }
  uint16_t U2() {
    Need(2);
    const uint16_t v = uint16_t(data_[pos_] << 8 | data_[pos_ + 1]);
    pos_ += 2;
    return v;
  }
  uint32_t U4() {
    Need(4);
    const uint32_t v = uint32_t(data_[pos_]) << 24 | uint32_t(data_[pos_ + 1]) << 16 |
                       uint32_t(data_[pos_ + 2]) << 8 | uint32_t(data_[pos_ + 3]);
    pos_ += 4;
    return v;
  }
  float F4() {
    const uint32_t bits = U4();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return std::isfinite(f) ? f : 0.0f;
  }
  Vec3 Vec() {
    const float x = F4(), y = F4();
    return {x, y, F4()};
  }
  // Variable-length index: two bytes, or four when the first is 0xFF.
  uint32_t Vx() {
    Need(1);
    if (data_[pos_] == kVxLongMarker) return U4() & kVxIndexMask;
    return U2();
  }
  // Zero-terminated string padded to an even length.
  std::string S0() {
    const size_t start = pos_;
    while (pos_ < size_ && data_[pos_] != 0) ++pos_;
    if (pos_ >= size_) throw DamagedError{"unterminated name"};
    std::string s(reinterpret_cast<const char*>(data_ + start), pos_ - start);
    ++pos_;
    if ((pos_ - start) & 1) {
      if (pos_ < size_) ++pos_;
    }
    return s;
  }
  Reader Sub(size_t n) {
    Need(n);
    Reader r(data_ + pos_, n);
    pos_ += n;
    return r;
  }
  void Skip(size_t n) {
    Need(n);
    pos_ += n;
  }
  void SkipPad(size_t n) {
    if ((n & 1) && pos_ < size_) ++pos_;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// Surfaces in the order the object names them, found by name.
struct SurfaceTable {
  std::vector<Surface>* surfaces;
  std::map<std::string, int> byName;
  int Find(const std::string& name) {
    auto it = byName.find(name);
    if (it != byName.end()) return it->second;
    Surface surface;
    surface.name = name;
    surfaces->push_back(surface);
    const int index = int(surfaces->size() - 1);
    byName[name] = index;
    return index;
  }
};

// ---- LWO2 -----------------------------------------------------------------

struct ImageBlock {
  bool colorChannel = false;
  bool enabled = true;
  uint32_t clip = 0;
  bool hasClip = false;
  ImageMap map;
};

void ReadTextureMap(Reader r, ImageMap* map) {
  while (r.Left() >= 6) {
    const uint32_t id = r.U4();
    const uint16_t size = r.U2();
    Reader sub = r.Sub(size);
    r.SkipPad(size);
    if (id == Id("CNTR")) map->center = sub.Vec();
    if (id == Id("SIZE")) map->size = sub.Vec();
    if (id == Id("ROTA")) map->rotation = sub.Vec();
  }
}

ImageBlock ReadBlock(Reader r) {
  ImageBlock block;
  // Header sub-chunk: IMAP with ordinal string and its own sub-chunks.
  const uint32_t headerId = r.U4();
  const uint16_t headerSize = r.U2();
  Reader header = r.Sub(headerSize);
  r.SkipPad(headerSize);
  if (headerId != Id("IMAP")) return block;
  header.S0();
  while (header.Left() >= 6) {
    const uint32_t id = header.U4();
    const uint16_t size = header.U2();
    Reader sub = header.Sub(size);
    header.SkipPad(size);
    if (id == Id("CHAN")) block.colorChannel = sub.U4() == Id("COLR");
    if (id == Id("ENAB")) block.enabled = sub.U2() != 0;
    if (id == Id("NEGA")) block.map.negative = sub.U2() != 0;
    if (id == Id("OPAC")) {
      sub.U2();
      block.map.opacity = sub.F4();
    }
  }
  while (r.Left() >= 6) {
    const uint32_t id = r.U4();
    const uint16_t size = r.U2();
    Reader sub = r.Sub(size);
    r.SkipPad(size);
    if (id == Id("TMAP")) ReadTextureMap(sub, &block.map);
    if (id == Id("PROJ")) {
      const uint16_t p = sub.U2();
      block.map.projection = p <= uint16_t(Projection::Uv) ? Projection(p) : Projection::Planar;
    }
    if (id == Id("AXIS")) block.map.axis = sub.U2() % 3;
    if (id == Id("IMAG")) {
      block.clip = sub.Vx();
      block.hasClip = true;
    }
    if (id == Id("WRAP")) block.map.repeat = sub.U2() != 0;
    if (id == Id("WRPW")) block.map.wrapWidth = sub.F4();
    if (id == Id("WRPH")) block.map.wrapHeight = sub.F4();
    if (id == Id("VMAP")) block.map.uvMap = sub.S0();
  }
  return block;
}

struct PendingImage {
  int surface;
  uint32_t clip;
};

void ReadSurfaceLwo2(Reader r, SurfaceTable& table, std::vector<PendingImage>& pending,
                     std::string* vertexColorMap) {
  const std::string name = r.S0();
  r.S0();  // source surface
  const int index = table.Find(name);
  Surface& s = (*table.surfaces)[size_t(index)];
  while (r.Left() >= 6) {
    const uint32_t id = r.U4();
    const uint16_t size = r.U2();
    Reader sub = r.Sub(size);
    r.SkipPad(size);
    if (id == Id("COLR")) s.color = sub.Vec();
    else if (id == Id("DIFF")) s.diffuse = sub.F4();
    else if (id == Id("LUMI")) s.luminosity = sub.F4();
    else if (id == Id(kSpecularityId)) s.specular = sub.F4();
    else if (id == Id("GLOS")) s.glossiness = sub.F4();
    else if (id == Id("TRAN")) s.transparency = sub.F4();
    else if (id == Id("SMAN")) s.smoothingAngle = sub.F4();
    else if (id == Id("SIDE")) s.doubleSided = sub.U2() == kSideDouble;
    else if (id == Id("VCOL")) {
      sub.F4();
      sub.Vx();
      sub.U4();
      const std::string map = sub.S0();
      if (vertexColorMap->empty()) *vertexColorMap = map;
    } else if (id == Id("BLOK")) {
      ImageBlock block = ReadBlock(sub);
      if (block.colorChannel && block.enabled && block.hasClip && !s.hasImage) {
        s.hasImage = true;
        s.image = block.map;
        pending.push_back({index, block.clip});
      }
    }
  }
}

std::string ReadClipName(Reader r, uint32_t* index) {
  *index = r.U4();
  while (r.Left() >= 6) {
    const uint32_t id = r.U4();
    const uint16_t size = r.U2();
    Reader sub = r.Sub(size);
    r.SkipPad(size);
    if (id == Id("STIL")) return sub.S0();
  }
  return "";
}

struct LayerState {
  size_t polygonBase = 0;  // first polygon of the latest POLS chunk
  bool polygonsKept = false;
  std::vector<uint32_t> tags;  // per polygon of the layer: tag index (SURF)
};

void ParseLwo2(Reader& r, ObjectFile& object) {
  std::vector<std::string> tags;
  SurfaceTable table{&object.surfaces, {}};
  std::vector<PendingImage> pending;
  std::map<uint32_t, std::string> clips;
  std::vector<LayerState> states;
  auto layer = [&]() -> ObjectLayer& {
    if (object.layers.empty()) {
      object.layers.emplace_back();
      states.emplace_back();
    }
    return object.layers.back();
  };

  while (r.Left() >= 8) {
    const uint32_t id = r.U4();
    const uint32_t size = r.U4();
    if (size > r.Left()) throw DamagedError{"chunk runs past the end of the file"};
    Reader c = r.Sub(size);
    r.SkipPad(size);
    if (id == Id("TAGS")) {
      while (!c.AtEnd()) tags.push_back(c.S0());
    } else if (id == Id("LAYR")) {
      ObjectLayer next;
      next.number = c.U2();
      c.U2();
      next.pivot = c.Vec();
      next.name = c.S0();
      if (c.Left() >= 2) next.parent = int16_t(c.U2());
      object.layers.push_back(std::move(next));
      states.emplace_back();
    } else if (id == Id("PNTS")) {
      auto& points = layer().points;
      if (!points.empty()) throw DamagedError{"second point list in one layer"};
      points.reserve(c.Left() / 12);
      while (c.Left() >= 12) points.push_back(c.Vec());
    } else if (id == Id("POLS")) {
      ObjectLayer& l = layer();
      LayerState& state = states.back();
      const uint32_t type = c.U4();
      state.polygonBase = l.polygons.size();
      state.polygonsKept = type == Id("FACE") || type == Id("PTCH");
      if (!state.polygonsKept) continue;
      l.corners.reserve(l.corners.size() + c.Left() / 2);
      while (!c.AtEnd()) {
        const uint16_t count = c.U2() & kLwo2CornerCountMask;
        ObjectLayer::Polygon polygon;
        polygon.firstCorner = uint32_t(l.corners.size());
        polygon.cornerCount = count;
        for (uint16_t i = 0; i < count; ++i) {
          const uint32_t point = c.Vx();
          if (point >= l.points.size()) throw DamagedError{"polygon names a missing point"};
          l.corners.push_back(point);
        }
        l.polygons.push_back(polygon);
      }
      state.tags.resize(l.polygons.size(), UINT32_MAX);
    } else if (id == Id("PTAG")) {
      LayerState& state = (layer(), states.back());
      if (c.U4() != Id("SURF") || !state.polygonsKept) continue;
      while (!c.AtEnd()) {
        const size_t polygon = state.polygonBase + c.Vx();
        const uint16_t tag = c.U2();
        if (polygon < state.tags.size()) state.tags[polygon] = tag;
      }
    } else if (id == Id("VMAP") || id == Id("VMAD")) {
      ObjectLayer& l = layer();
      LayerState& state = states.back();
      const uint32_t type = c.U4();
      const uint16_t dimension = c.U2();
      const std::string name = c.S0();
      const bool wanted = (type == Id("TXUV") && dimension == 2) ||
                          (type == Id("RGB ") && dimension == 3) || (type == Id("RGBA") && dimension == 4);
      if (!wanted) continue;
      if (id == Id("VMAP")) {
        ObjectLayer::PointMap map{name, type, dimension, {}, {}};
        while (!c.AtEnd()) {
          const uint32_t point = c.Vx();
          for (int d = 0; d < dimension; ++d) map.values.push_back(c.F4());
          if (point >= l.points.size()) throw DamagedError{"vertex map names a missing point"};
          map.points.push_back(point);
        }
        l.pointMaps.push_back(std::move(map));
      } else {
        ObjectLayer::CornerMap map{name, type, dimension, {}, {}, {}};
        while (!c.AtEnd()) {
          const uint32_t point = c.Vx();
          const uint32_t polygon = uint32_t(state.polygonBase) + c.Vx();
          for (int d = 0; d < dimension; ++d) map.values.push_back(c.F4());
          if (point >= l.points.size() || polygon >= l.polygons.size())
            throw DamagedError{"vertex map names a missing polygon"};
          map.points.push_back(point);
          map.polygons.push_back(polygon);
        }
        l.cornerMaps.push_back(std::move(map));
      }
    } else if (id == Id("SURF")) {
      ReadSurfaceLwo2(c, table, pending, &object.vertexColorMap);
    } else if (id == Id("CLIP")) {
      uint32_t index = 0;
      std::string name = ReadClipName(c, &index);
      if (!name.empty()) clips[index] = std::move(name);
    }
  }

  // Polygon tags become surface indices, each tag looked up once.
  std::vector<int> tagSurface(tags.size(), -1);
  int untagged = -1;
  for (size_t n = 0; n < object.layers.size(); ++n) {
    ObjectLayer& l = object.layers[n];
    for (size_t p = 0; p < l.polygons.size(); ++p) {
      const uint32_t tag = p < states[n].tags.size() ? states[n].tags[p] : UINT32_MAX;
      int& surface = tag < tags.size() ? tagSurface[tag] : untagged;
      if (surface < 0) surface = table.Find(tag < tags.size() ? tags[tag] : std::string("Default"));
      l.polygons[p].surface = surface;
    }
  }
  for (const auto& image : pending) {
    Surface& s = object.surfaces[size_t(image.surface)];
    auto clip = clips.find(image.clip);
    if (clip == clips.end()) {
      s.hasImage = false;
    } else {
      s.image.imageName = clip->second;
    }
  }
}

// ---- LWOB -----------------------------------------------------------------

float Fixed(uint16_t value) { return float(value) / kLwobFixedOne; }

void ReadSurfaceLwob(Reader r, SurfaceTable& table) {
  const std::string name = r.S0();
  Surface& s = (*table.surfaces)[size_t(table.Find(name))];
  uint16_t flags = 0;
  bool smoothingGiven = false;
  bool inColorTexture = false;
  bool colorTextureTaken = false;
  while (r.Left() >= 6) {
    const uint32_t id = r.U4();
    const uint16_t size = r.U2();
    Reader sub = r.Sub(size);
    r.SkipPad(size);
    if (id == Id("COLR")) {
      const float red = sub.U1(), green = sub.U1(), blue = sub.U1();
      s.color = {red / 255.0f, green / 255.0f, blue / 255.0f};
    } else if (id == Id("FLAG")) flags = sub.U2();
    else if (id == Id("LUMI")) s.luminosity = Fixed(sub.U2());
    else if (id == Id("DIFF")) s.diffuse = Fixed(sub.U2());
    else if (id == Id(kSpecularityId)) s.specular = Fixed(sub.U2());
    else if (id == Id("TRAN")) s.transparency = Fixed(sub.U2());
    else if (id == Id("VLUM")) s.luminosity = sub.F4();
    else if (id == Id("VDIF")) s.diffuse = sub.F4();
    else if (id == Id("VSPC")) s.specular = sub.F4();
    else if (id == Id("VTRN")) s.transparency = sub.F4();
    else if (id == Id("GLOS")) {
      // 16, 64, 256, 1024 (low to maximum) become 0.2 to 0.8.
      const uint16_t g = sub.U2();
      s.glossiness = g > 0 ? std::clamp((std::log2(float(g)) - 2.0f) / 10.0f, 0.0f, 1.0f) : 0.0f;
    } else if (id == Id("SMAN")) {
      s.smoothingAngle = sub.F4();
      smoothingGiven = true;
    } else if (id == Id("CTEX") || id == Id("DTEX") || id == Id("STEX") || id == Id("RTEX") ||
               id == Id("TTEX") || id == Id("LTEX") || id == Id("BTEX")) {
      inColorTexture = false;
      if (id != Id("CTEX") || colorTextureTaken) continue;
      const std::string type = sub.S0();
      std::optional<Projection> projection;
      if (type.find("Planar") != std::string::npos) projection = Projection::Planar;
      if (type.find("Cylindrical") != std::string::npos) projection = Projection::Cylindrical;
      if (type.find("Spherical") != std::string::npos) projection = Projection::Spherical;
      if (type.find("Cubic") != std::string::npos) projection = Projection::Cubic;
      if (type.find("Front") != std::string::npos) projection = Projection::FrontProjection;
      if (!projection) continue;
      inColorTexture = true;
      colorTextureTaken = true;
      s.image = ImageMap{};
      s.image.projection = *projection;
    } else if (inColorTexture) {
      if (id == Id("TIMG")) {
        const std::string image = sub.S0();
        if (!image.empty() && image != "(none)") {
          s.image.imageName = image;
          s.hasImage = true;
        }
      } else if (id == Id("TFLG")) {
        const uint16_t t = sub.U2();
        s.image.axis = (t & 1) ? 0 : (t & 2) ? 1 : 2;
        s.image.negative = (t & kLwobTextureNegative) != 0;
      } else if (id == Id("TSIZ")) {
        s.image.size = sub.Vec();
      } else if (id == Id("TCTR")) {
        s.image.center = sub.Vec();
      } else if (id == Id("TWRP")) {
        s.image.repeat = sub.U2() != 0;
      }
    }
  }
  if (!(flags & kLwobFlagSmoothing))
    s.smoothingAngle = 0;
  else if (!smoothingGiven)
    s.smoothingAngle = kLwobDefaultSmoothing;
  s.doubleSided = (flags & kLwobFlagDoubleSided) != 0;
  s.additive = (flags & kLwobFlagAdditive) != 0;
}

void ParseLwob(Reader& r, ObjectFile& object) {
  SurfaceTable table{&object.surfaces, {}};
  object.layers.emplace_back();
  ObjectLayer& l = object.layers.back();
  std::vector<int> surfaceOrder;  // SRFS order -> surface index
  std::vector<int> polygonSurface;  // 1-based SRFS numbers
  while (r.Left() >= 8) {
    const uint32_t id = r.U4();
    const uint32_t size = r.U4();
    if (size > r.Left()) throw DamagedError{"chunk runs past the end of the file"};
    Reader c = r.Sub(size);
    r.SkipPad(size);
    if (id == Id("SRFS")) {
      while (!c.AtEnd()) surfaceOrder.push_back(table.Find(c.S0()));
    } else if (id == Id("PNTS")) {
      if (!l.points.empty()) throw DamagedError{"second point list"};
      while (c.Left() >= 12) l.points.push_back(c.Vec());
    } else if (id == Id("POLS")) {
      while (!c.AtEnd()) {
        const uint16_t count = c.U2();
        ObjectLayer::Polygon polygon;
        polygon.firstCorner = uint32_t(l.corners.size());
        polygon.cornerCount = count;
        for (uint16_t i = 0; i < count; ++i) {
          const uint16_t point = c.U2();
          if (point >= l.points.size()) throw DamagedError{"polygon names a missing point"};
          l.corners.push_back(point);
        }
        int surface = int16_t(c.U2());
        // A negative surface announces detail polygons, which follow as
        // ordinary polygons.
        if (surface < 0) {
          surface = -surface;
          c.U2();
        }
        polygonSurface.push_back(surface);
        l.polygons.push_back(polygon);
      }
    } else if (id == Id("SURF")) {
      ReadSurfaceLwob(c, table);
    }
  }
  for (size_t p = 0; p < l.polygons.size(); ++p) {
    const int number = polygonSurface[p];
    if (number >= 1 && size_t(number) <= surfaceOrder.size())
      l.polygons[p].surface = surfaceOrder[size_t(number - 1)];
    else
      l.polygons[p].surface = table.Find("Default");
  }
}

}  // namespace

std::unique_ptr<ObjectFile> ParseObject(std::span<const uint8_t> bytes, std::string* error) {
  Reader file(bytes.data(), bytes.size());
  try {
    if (file.Left() < 12 || file.U4() != Id("FORM")) throw DamagedError{"not an IFF FORM file"};
    const uint32_t formSize = file.U4();
    const uint32_t type = file.U4();
    // Some writers round the FORM size; the chunks decide.
    const size_t body = std::min<size_t>(formSize >= 4 ? formSize - 4 : 0, file.Left());
    Reader r = file.Sub(body);
    auto object = std::make_unique<ObjectFile>();
    if (type == Id("LWO2"))
      ParseLwo2(r, *object);
    else if (type == Id("LWOB") || type == Id("LWLO"))
      ParseLwob(r, *object);
    else
      throw DamagedError{"not a LightWave object (LWO2 or LWOB)"};
    return object;
  } catch (const DamagedError& damage) {
    if (error) *error = damage.message;
    return nullptr;
  }
}

std::unique_ptr<ObjectFile> LoadObjectFile(std::string_view path, std::string* error) {
  const auto bytes = ReadDataFile(path);
  if (!bytes) {
    if (error) *error = "not found";
    return nullptr;
  }
  auto object = ParseObject(*bytes, error);
  if (!object) return nullptr;
  const std::string folder = DataDirectory(path);
  for (Surface& s : object->surfaces) {
    if (!s.hasImage) continue;
    s.image.imagePath = ResolveDataPath(folder, s.image.imageName);
    if (s.image.imagePath.empty())
      Log("object \"%.*s\": image \"%s\" not found", int(path.size()), path.data(), s.image.imageName.c_str());
  }
  return object;
}

}  // namespace kestrel
