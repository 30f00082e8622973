// Helpers for the artwork tests: the real font and JPEG drivers, a folder
// painted once per suite, and pictures read back with the reader's loaders.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/varnel_art/issue_art.hpp"
#include "varnel/media/picture.hpp"

namespace art_testing {

// Selects the FreeType and libjpeg drivers for the scope (tests start on fakes).
class RealDrivers {
 public:
  RealDrivers();
  ~RealDrivers();
};

// A picture from the reader's loaders, freed with the object.
struct Loaded {
  int width = 0, height = 0;
  std::vector<uint16_t> pixels;
  uint16_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
Loaded LoadWith(void (*loader)(const char*, varnel::Picture*), const std::string& path);
Loaded LoadAny(const std::string& path);  // by extension, as articles do
std::vector<uint8_t> LoadIndexed(const std::string& path, int* width, int* height,
                                 std::vector<uint8_t>* palette);

// 0..255 luminance of a 15-bit pixel.
double Luminance(uint16_t pixel);

// A new empty folder under the temporary directory, removed by the caller.
std::string MakeTempFolder();
void RemoveFolder(const std::string& path);
void WriteText(const std::string& path, const std::string& text);

// Paints an issue into `folder` (pictures from `manifestText`, if any);
// fails the current test on error.
void PaintIssue(const std::string& folder, const std::string& manifestText);

}  // namespace art_testing
