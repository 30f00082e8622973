// A small music disk for the player's tests: six pictures whose hotspot map
// follows the tune table, written as "data/chip.dat", and the 19 tune files.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace chipdisk_test {

using Bytes = std::vector<uint8_t>;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// Where the test disk puts the four buttons (next, stop, play, previous).
struct ButtonRect {
  int x, y, width, height;
  uint8_t code;
};
extern const ButtonRect kButtons[4];

struct DiskPictures {
  Bytes map;                 // 640 x 480 codes
  std::array<Bytes, 6> rgb;  // slots 1..5: 640 x 480 x 3, blue-green-red; slot 0 unused
};

// Distinct pictures: each slot its own pattern; the highlighted main screen
// differs from the plain one on every tune line.
DiskPictures MakePictures();

// The container with the six pictures coded as the player reads them.
Bytes EncodeChipDat(const DiskPictures& pictures);

// Writes `dir`/data/chip.dat and the 19 tunes: copies of `module` when
// given, else tiny placeholder files.
void WriteDisk(const std::string& dir, const DiskPictures& pictures,
               const std::string& module = "");

// A pixel of a 24-bit picture.
inline const uint8_t* PixelAt(const Bytes& rgb, int x, int y) {
  return &rgb[static_cast<size_t>((y * kWidth + x) * 3)];
}

}  // namespace chipdisk_test
