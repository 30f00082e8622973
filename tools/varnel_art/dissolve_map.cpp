#include "tools/varnel_art/dissolve_map.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/varnel_art/random.hpp"

namespace varnel_art {
namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr int kBayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

double Plasma(int x, int y) {
  const double fx = x, fy = y;
  const double a = std::hypot(fx - 430, fy - 190), b = std::hypot(fx - 150, fy - 330);
  return std::sin(fx / 53.0) + std::sin(fy / 41.0 + 1.3) + std::sin((fx + fy) / 67.0 + 0.7) +
         std::sin(a / 29.0) + 0.6 * std::sin(b / 23.0 + 2.0);
}

}  // namespace

tools::IndexedPicture MakeDissolveMap() {
  const size_t count = static_cast<size_t>(kWidth) * kHeight;
  std::vector<double> values(count);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) values[static_cast<size_t>(y) * kWidth + x] = Plasma(x, y);
  // Rank of each value: equal shares of pixels per step.
  std::vector<double> sorted = values;
  std::sort(sorted.begin(), sorted.end());
  tools::IndexedPicture map;
  map.width = kWidth;
  map.height = kHeight;
  map.indices.resize(count);
  Random sparkle(HashText("dissolve"));
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const size_t i = static_cast<size_t>(y) * kWidth + x;
      const double rank =
          static_cast<double>(std::lower_bound(sorted.begin(), sorted.end(), values[i]) -
                              sorted.begin()) /
          static_cast<double>(count);
      const double dither = (kBayer4[y & 3][x & 3] + 0.5) / 16.0 - 0.5;
      const int level = static_cast<int>(std::floor(rank * kDissolveSteps + dither));
      map.indices[i] = static_cast<uint8_t>(std::clamp(level, 0, kDissolveSteps - 1));
      if (sparkle.Below(600) == 0) map.indices[i] = kDissolveSteps;
    }
  }
  for (int i = 0; i < 32; ++i) {
    const uint8_t grey =
        static_cast<uint8_t>(std::min(i, kDissolveSteps - 1) * 255 / (kDissolveSteps - 1));
    map.palette.insert(map.palette.end(), {grey, grey, grey});
  }
  return map;
}

}  // namespace varnel_art
