// Fixed-seed randomness and smooth noise, so that every run paints the same
// pixels.
#pragma once

#include <cstdint>
#include <string_view>

namespace varnel_art {

// 64-bit FNV-1a of the bytes; seeds a generator from a file name.
uint64_t HashText(std::string_view text);

class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next();  // splitmix64
  float Unit();     // [0, 1)
  float Range(float lo, float hi);
  int Below(int count);  // [0, count)

 private:
  uint64_t state_;
};

// Lattice value noise in [0, 1], smooth between integer points.
float ValueNoise(float x, float y, uint32_t seed);
// Sum of `octaves` noise layers, each twice the frequency and half the weight.
float FractalNoise(float x, float y, int octaves, uint32_t seed);

}  // namespace varnel_art
