// Builds small LightWave objects and ZIP archives byte by byte for tests.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace lw_builder {

using Bytes = std::vector<uint8_t>;

void U2(Bytes& b, uint16_t v);
void U4(Bytes& b, uint32_t v);
void F4(Bytes& b, float v);
void Id(Bytes& b, const char* id);
void S0(Bytes& b, const std::string& s);  // zero-terminated, padded to even
// Chunk with a 32-bit size (top level) or 16-bit size (sub-chunk).
Bytes Chunk(const char* id, const Bytes& body);
Bytes SubChunk(const char* id, const Bytes& body);
// FORM <type> around chunks.
Bytes Form(const char* type, const std::vector<Bytes>& chunks);

struct Point {
  float x, y, z;
};
// LWOB: one surface, the given points and polygons.
Bytes Lwob(const std::string& surface, const std::vector<Point>& points,
           const std::vector<std::vector<uint16_t>>& polygons, const Bytes& surfaceBody = {});

// ZIP archive of (name, content) entries, written to `path`.
void WriteZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries);

}  // namespace lw_builder
