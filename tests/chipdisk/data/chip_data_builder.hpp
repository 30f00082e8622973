// Hand-made data files for the reader's tests: PCX headers with any coded
// bytes behind them, and containers with any directory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace chipdisk_test {

using Bytes = std::vector<uint8_t>;

// A 128-byte PCX header for a width x height picture of `planes` planes,
// followed by `coded`.
Bytes Pcx(uint32_t width, uint32_t height, uint8_t planes, const Bytes& coded);

// `value` repeated `count` times in runs of at most 63.
Bytes Runs(uint8_t value, uint64_t count);

// Count, directory and entries rotated right by 2.
Bytes Container(const std::vector<Bytes>& entries);

void PutLe32(Bytes& bytes, std::size_t at, uint32_t value);

// The six pictures the player needs: an w x h map filled with `mapCode`,
// then five 640 x 480 pictures of one colour each.
std::vector<Bytes> PlayerPictures(uint32_t mapWidth = 640, uint32_t mapHeight = 480,
                                  uint8_t mapCode = 0);

}  // namespace chipdisk_test
