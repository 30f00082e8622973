#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "tests/tools/marigold_content/iff_walk.hpp"
#include "tools/marigold_content/content.hpp"
#include "tools/marigold_content/mesh_builders.hpp"

namespace {

using demotools::Bytes;
using demotools::ObjectFile;
using demotools_test::IffChunk;
using demotools_test::ReadU2;
using demotools_test::ReadU4;
using demotools_test::Walk;

std::vector<IffChunk> TopChunks(const Bytes& bytes) {
  EXPECT_GE(bytes.size(), 12u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "FORM");
  EXPECT_EQ(ReadU4(bytes, 4), bytes.size() - 8);
  EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 12), "LWO2");
  std::vector<IffChunk> chunks;
  EXPECT_TRUE(Walk(bytes, 12, bytes.size(), false, &chunks));
  return chunks;
}

std::vector<std::string> Ids(const std::vector<IffChunk>& chunks) {
  std::vector<std::string> ids;
  for (const auto& c : chunks) ids.push_back(c.id);
  return ids;
}

ObjectFile TexturedBox() {
  ObjectFile o;
  demotools::Surface s;
  s.name = "Odd";  // 3 characters + NUL: no pad byte
  s.hasImage = true;
  s.map.image = "images/metal.jpg";
  o.surfaces.push_back(s);
  demotools::Surface plain;
  plain.name = "Even";  // 4 + NUL: padded
  o.surfaces.push_back(plain);
  o.mesh = demotools::Box({1, 2, 3});
  o.mesh.polygonSurface[5] = 1;
  o.mesh.colors.assign(o.mesh.points.size(), {1, 0.5f, 0});
  return o;
}

TEST(Lwo2Writer, ChunksInOrderWithSizesThatAddUp) {
  const Bytes bytes = demotools::WriteLwo2(TexturedBox());
  const auto chunks = TopChunks(bytes);
  EXPECT_EQ(Ids(chunks), (std::vector<std::string>{"TAGS", "LAYR", "PNTS", "BBOX", "VMAP", "VMAP", "POLS", "PTAG",
                                                   "CLIP", "SURF", "SURF"}));
  EXPECT_EQ(bytes.size() % 2, 0u);
  // TAGS: "Odd\0" then "Even\0\0".
  EXPECT_EQ(chunks[0].size, 10u);
  EXPECT_EQ(chunks[2].size, 24u * 12u);  // six faces of four points
  // POLS: FACE, then per face a count and four 2-byte indices.
  EXPECT_EQ(chunks[6].size, 4u + 6u * (2u + 4u * 2u));
  EXPECT_EQ(ReadU2(bytes, chunks[6].offset + 4), 4);
  // PTAG: the sixth polygon carries the second tag.
  EXPECT_EQ(ReadU2(bytes, chunks[7].offset + 4 + 5 * 4 + 2), 1);
}

TEST(Lwo2Writer, BoundingBoxHoldsTheExtent) {
  const Bytes bytes = demotools::WriteLwo2(TexturedBox());
  const auto chunks = TopChunks(bytes);
  auto f = [&](size_t at) { return std::bit_cast<float>(ReadU4(bytes, at)); };
  const size_t b = chunks[3].offset;
  EXPECT_FLOAT_EQ(f(b), -0.5f);
  EXPECT_FLOAT_EQ(f(b + 4), -1.0f);
  EXPECT_FLOAT_EQ(f(b + 8), -1.5f);
  EXPECT_FLOAT_EQ(f(b + 12), 0.5f);
  EXPECT_FLOAT_EQ(f(b + 16), 1.0f);
  EXPECT_FLOAT_EQ(f(b + 20), 1.5f);
}

TEST(Lwo2Writer, SurfaceSubChunksAndImageBlockWalkToTheEnd) {
  const Bytes bytes = demotools::WriteLwo2(TexturedBox());
  const auto chunks = TopChunks(bytes);
  const IffChunk& surf = chunks[9];
  // Name "Odd\0", empty source "\0\0".
  const size_t subStart = surf.offset + 4 + 2;
  std::vector<IffChunk> subs;
  ASSERT_TRUE(Walk(bytes, subStart, surf.offset + surf.size, true, &subs));
  EXPECT_EQ(Ids(subs), (std::vector<std::string>{"COLR", "DIFF", "LUMI", "SPEC", "GLOS", "TRAN", "SIDE", "SMAN",
                                                 "VCOL", "BLOK"}));
  std::vector<IffChunk> block;
  ASSERT_TRUE(Walk(bytes, subs.back().offset, subs.back().offset + subs.back().size, true, &block));
  EXPECT_EQ(Ids(block), (std::vector<std::string>{"IMAP", "TMAP", "PROJ", "AXIS", "IMAG", "WRAP", "WRPW", "WRPH",
                                                  "VMAP"}));
  // IMAP: ordinal "\x80\0", then its own header sub-chunks.
  std::vector<IffChunk> header;
  ASSERT_TRUE(Walk(bytes, block[0].offset + 2, block[0].offset + block[0].size, true, &header));
  EXPECT_EQ(Ids(header), (std::vector<std::string>{"CHAN", "OPAC", "ENAB"}));
  std::vector<IffChunk> tmap;
  ASSERT_TRUE(Walk(bytes, block[1].offset, block[1].offset + block[1].size, true, &tmap));
  EXPECT_EQ(Ids(tmap), (std::vector<std::string>{"CNTR", "SIZE", "ROTA", "OREF", "CSYS"}));
  EXPECT_EQ(ReadU2(bytes, block[2].offset), 5);  // UV projection
  EXPECT_EQ(ReadU2(bytes, block[4].offset), 1);  // the first clip
  // CLIP 1 names the picture.
  const IffChunk& clip = chunks[8];
  EXPECT_EQ(ReadU4(bytes, clip.offset), 1u);
  EXPECT_EQ(std::string(bytes.begin() + long(clip.offset) + 4, bytes.begin() + long(clip.offset) + 8), "STIL");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[clip.offset + 10])), "images/metal.jpg");
}

TEST(Lwo2Writer, LargeIndicesTakeFourBytes) {
  demotools::IffBuffer b;
  b.Vx(0xFEFF);
  b.Vx(0xFF00);
  EXPECT_EQ(b.bytes(), (Bytes{0xFE, 0xFF, 0xFF, 0x00, 0xFF, 0x00}));
}

TEST(Lwo2Writer, ObjectWithMoreThan65280PointsIndexesThemAll) {
  ObjectFile o;
  o.surfaces.resize(1);
  o.surfaces[0].name = "Dust";
  o.mesh = demotools::ParticleCloud(17000, 1, 2, 0.01f, 3);  // 68000 points
  const Bytes bytes = demotools::WriteLwo2(o);
  const auto chunks = TopChunks(bytes);
  const auto pols = std::find_if(chunks.begin(), chunks.end(), [](const IffChunk& c) { return c.id == "POLS"; });
  ASSERT_NE(pols, chunks.end());
  // The last polygon's first corner is past 0xFF00: four bytes, high byte 0xFF.
  const size_t lastPolygon = pols->offset + pols->size - 2 - 4 * 4;
  EXPECT_EQ(ReadU2(bytes, lastPolygon), 4);
  EXPECT_EQ(ReadU4(bytes, lastPolygon + 2), 0xFF000000u | (68000u - 4u));
}

TEST(Lwo2Writer, RejectsInconsistentMeshes) {
  ObjectFile o = TexturedBox();
  o.mesh.polygons[0][0] = 999;
  EXPECT_THROW(demotools::WriteLwo2(o), std::invalid_argument);
  o = TexturedBox();
  o.mesh.polygonSurface[0] = 7;
  EXPECT_THROW(demotools::WriteLwo2(o), std::invalid_argument);
  o = TexturedBox();
  o.mesh.uvs.pop_back();
  EXPECT_THROW(demotools::WriteLwo2(o), std::invalid_argument);
}

TEST(Lwo2Writer, EveryDemoObjectIsWellFormed) {
  for (const auto& [name, object] : demotools::DemoObjects()) {
    SCOPED_TRACE(name);
    const Bytes bytes = demotools::WriteLwo2(object);
    const auto chunks = TopChunks(bytes);
    const auto ids = Ids(chunks);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), "SURF"), long(object.surfaces.size()));
    EXPECT_FALSE(object.mesh.polygons.empty());
  }
}

}  // namespace
