// Reading back what the engine drew, for the viewer and for tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel {

struct Snapshot {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;  // rows from the top

  // Pixel (x, y) from the top-left corner, RGBA.
  const uint8_t* At(int x, int y) const { return &rgba[(size_t(y) * width + x) * 4]; }
};

// The pixels of a render-target record, or of the screen when null. Empty
// when there is no display or no such target.
Snapshot ReadPixels(const void* renderTarget);

// Writes an RGBA snapshot as a PNG file; false (logged) on failure.
bool WritePng(const std::string& path, const Snapshot& snapshot);

}  // namespace kestrel
