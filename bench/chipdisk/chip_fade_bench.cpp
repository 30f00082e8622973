// One fade step of the chip player: a darkened 640 x 480 picture written in
// the 32-bit desktop format, by the plain and the SIMD path, beside a plain
// copy of the 1,228,800-byte frame it produces. Goal: a fade step at most
// twice the copy. Both write into the same frame buffer, and each runs once
// before timing so that both start with warm caches and mapped pages.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "chipdisk/screen/chip_pixels.hpp"

namespace {

constexpr size_t kPixels = 640 * 480;
constexpr size_t kFrameBytes = kPixels * 4;  // 1,228,800

struct Buffers {
  std::vector<uint8_t> picture;     // 24-bit source of the fade
  std::vector<uint8_t> copySource;  // a finished frame, source of the copy
  std::vector<uint8_t> frame;       // destination of both
  Buffers() : picture(kPixels * 3), copySource(kFrameBytes), frame(kFrameBytes, 1) {
    for (size_t i = 0; i < picture.size(); ++i) {
      picture[i] = static_cast<uint8_t>(i * 13 + i / 1920);
    }
    chipdisk::DarkenTo32Plain(picture.data(), copySource.data(), kPixels, 0);
  }
};

Buffers& Shared() {
  static Buffers buffers;
  return buffers;
}

void BM_ChipFrameMemcpy(benchmark::State& state) {
  Buffers& b = Shared();
  std::memcpy(b.frame.data(), b.copySource.data(), kFrameBytes);
  for (auto _ : state) {
    std::memcpy(b.frame.data(), b.copySource.data(), kFrameBytes);
    benchmark::DoNotOptimize(b.frame.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFrameBytes));
}
BENCHMARK(BM_ChipFrameMemcpy);

// Argument: 0 plain, 1 SIMD.
void BM_ChipFade(benchmark::State& state) {
  Buffers& b = Shared();
  const auto darken = state.range(0) ? chipdisk::DarkenTo32Simd : chipdisk::DarkenTo32Plain;
  darken(b.picture.data(), b.frame.data(), kPixels, 0);
  uint8_t level = 0;
  for (auto _ : state) {
    darken(b.picture.data(), b.frame.data(), kPixels, level);
    level = static_cast<uint8_t>(level + 1);
    benchmark::DoNotOptimize(b.frame.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFrameBytes));
  state.SetLabel(state.range(0) ? "simd" : "plain");
}
BENCHMARK(BM_ChipFade)->Arg(0)->Arg(1);

}  // namespace
