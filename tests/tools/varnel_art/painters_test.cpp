// Every painter, driven by the sample issue's own picture list.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "tests/tools/varnel_art/art_test_support.hpp"
#include "tools/varnel_art/manifest.hpp"
#include "tools/varnel_art/picture_art.hpp"

using namespace varnel;

using namespace varnel_art;

namespace {

size_t DistinctColours(const Canvas& canvas) {
  std::set<std::tuple<int, int, int>> colours;
  for (const Color& c : canvas.pixels)
    colours.insert({static_cast<int>(c.r), static_cast<int>(c.g), static_cast<int>(c.b)});
  return colours.size();
}

TEST(PaintersTest, EverySamplePictureIsPaintedAsListed) {
  std::vector<ManifestEntry> entries;
  std::string error;
  ASSERT_TRUE(ReadManifest(VARNEL_SAMPLE_MANIFEST, &entries, &error)) << error;
  ASSERT_FALSE(entries.empty());
  const art_testing::RealDrivers drivers;
  std::map<std::string, const Canvas*> painted;
  std::vector<Canvas> canvases(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    const ManifestEntry& entry = entries[i];
    const PictureJob job = JobFor(entry, entries, "SALTGLASS");
    Canvas& canvas = canvases[i];
    ASSERT_TRUE(MakePicture(job, &canvas, &error)) << entry.path << ": " << error;
    EXPECT_EQ(canvas.width, entry.width) << entry.path;
    EXPECT_EQ(canvas.height, entry.height) << entry.path;
    EXPECT_GE(DistinctColours(canvas), 2u) << entry.path << " looks blank";
    if (entry.format == PictureFormat::Jpeg) {
      EXPECT_EQ(std::count(canvas.solid.begin(), canvas.solid.end(), 0), 0) << entry.path;
    } else if (job.look.Has("(transparent)") && job.look.Has("background")) {
      EXPECT_FALSE(canvas.Solid(0, 0)) << entry.path;
    }
    painted[entry.path] = &canvas;
  }
  // A hover variant differs from its picture but keeps its size.
  for (const ManifestEntry& entry : entries) {
    if (!IsHoverEntry(entry)) continue;
    const ManifestEntry* base = FindHoverBase(entry, entries);
    ASSERT_NE(base, nullptr) << entry.path;
    EXPECT_NE(painted[entry.path]->pixels, painted[base->path]->pixels) << entry.path;
  }
}

}  // namespace
