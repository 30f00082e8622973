#include "tests/kestrel/scene/lw_builder.hpp"

#include <zip.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace lw_builder {

void U2(Bytes& b, uint16_t v) {
  b.push_back(uint8_t(v >> 8));
  b.push_back(uint8_t(v));
}
void U4(Bytes& b, uint32_t v) {
  U2(b, uint16_t(v >> 16));
  U2(b, uint16_t(v));
}
void F4(Bytes& b, float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, 4);
  U4(b, bits);
}
void Id(Bytes& b, const char* id) { b.insert(b.end(), id, id + 4); }
void S0(Bytes& b, const std::string& s) {
  b.insert(b.end(), s.begin(), s.end());
  b.push_back(0);
  if ((s.size() + 1) & 1) b.push_back(0);
}
Bytes Chunk(const char* id, const Bytes& body) {
  Bytes b;
  Id(b, id);
  U4(b, uint32_t(body.size()));
  b.insert(b.end(), body.begin(), body.end());
  if (body.size() & 1) b.push_back(0);
  return b;
}
Bytes SubChunk(const char* id, const Bytes& body) {
  Bytes b;
  Id(b, id);
  U2(b, uint16_t(body.size()));
  b.insert(b.end(), body.begin(), body.end());
  if (body.size() & 1) b.push_back(0);
  return b;
}
Bytes Form(const char* type, const std::vector<Bytes>& chunks) {
  Bytes body;
  Id(body, type);
  for (const auto& c : chunks) body.insert(body.end(), c.begin(), c.end());
  return Chunk("FORM", body);
}

Bytes Lwob(const std::string& surface, const std::vector<Point>& points,
           const std::vector<std::vector<uint16_t>>& polygons, const Bytes& surfaceBody) {
  Bytes srfs, pnts, pols, surf;
  S0(srfs, surface);
  for (const auto& p : points) {
    F4(pnts, p.x);
    F4(pnts, p.y);
    F4(pnts, p.z);
  }
  for (const auto& polygon : polygons) {
    U2(pols, uint16_t(polygon.size()));
    for (uint16_t i : polygon) U2(pols, i);
    U2(pols, 1);
  }
  S0(surf, surface);
  surf.insert(surf.end(), surfaceBody.begin(), surfaceBody.end());
  return Form("LWOB", {Chunk("SRFS", srfs), Chunk("PNTS", pnts), Chunk("POLS", pols), Chunk("SURF", surf)});
}

void WriteZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries) {
  int error = 0;
  zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!zip) throw std::runtime_error("cannot create zip");
  for (const auto& [name, content] : entries) {
    // libzip reads the copy at zip_close and frees it then; an empty entry
    // needs no buffer (libzip would not free one of length 0).
    zip_source_t* source = nullptr;
    if (content.empty()) {
      source = zip_source_buffer(zip, nullptr, 0, 0);
    } else {
      char* copy = static_cast<char*>(std::malloc(content.size()));
      std::memcpy(copy, content.data(), content.size());
      source = zip_source_buffer(zip, copy, content.size(), 1);
    }
    if (!source || zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8) < 0)
      throw std::runtime_error("cannot add zip entry");
  }
  if (zip_close(zip) != 0) throw std::runtime_error("cannot write zip");
}

}  // namespace lw_builder
