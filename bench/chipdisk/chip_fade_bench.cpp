// One fade step of the chip player: a darkened 640 x 480 picture written in
// the 32-bit desktop format, by the plain and the SIMD path, beside a plain
// copy of the 1,228,800-byte frame it produces. Goal: a fade step at most
// twice the copy.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "chipdisk/screen/chip_pixels.hpp"

namespace {

constexpr size_t kPixels = 640 * 480;
constexpr size_t kFrameBytes = kPixels * 4;  // 1,228,800

std::vector<uint8_t> Picture() {
  std::vector<uint8_t> bgr(kPixels * 3);
  for (size_t i = 0; i < bgr.size(); ++i) bgr[i] = static_cast<uint8_t>(i * 13 + i / 1920);
  return bgr;
}

void BM_ChipFrameMemcpy(benchmark::State& state) {
  std::vector<uint8_t> source(kFrameBytes, 7), frame(kFrameBytes);
  for (auto _ : state) {
    std::memcpy(frame.data(), source.data(), kFrameBytes);
    benchmark::DoNotOptimize(frame.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFrameBytes));
}
BENCHMARK(BM_ChipFrameMemcpy);

// Argument: 0 plain, 1 SIMD.
void BM_ChipFade(benchmark::State& state) {
  const std::vector<uint8_t> picture = Picture();
  std::vector<uint8_t> frame(kFrameBytes);
  const auto darken = state.range(0) ? chipdisk::DarkenTo32Simd : chipdisk::DarkenTo32Plain;
  uint8_t level = 0;
  for (auto _ : state) {
    darken(picture.data(), frame.data(), kPixels, level);
    level = static_cast<uint8_t>(level + 1);
    benchmark::DoNotOptimize(frame.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFrameBytes));
  state.SetLabel(state.range(0) ? "simd" : "plain");
}
BENCHMARK(BM_ChipFade)->Arg(0)->Arg(1);

}  // namespace
