// What one present costs: PresentFrame's copy into a locked surface, as it is
// (5-5-5) and converted to 5-6-5 on both paths, beside a plain memcpy of a
// frame. The fake display driver keeps no frames, so no window is needed.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "platform/display/display_service.hpp"
#include "platform/display/fake_display_service.hpp"
#include "varnel/shell/display.hpp"
#include "varnel/shell/settings.hpp"

using namespace varnel;

namespace {

constexpr size_t kFramePixels = 640 * 480;
constexpr size_t kFrameBytes = kFramePixels * 2;

std::vector<uint16_t> RandomFrame() {
  std::mt19937 random(7);
  std::vector<uint16_t> frame(kFramePixels);
  for (uint16_t& pixel : frame) pixel = static_cast<uint16_t>(random() & 0x7FFF);
  return frame;
}

void RunPresent(benchmark::State& state, bool only565, int32_t useMmx) {
  platform::FakeDisplayService& fake = platform::FakeDisplay();
  fake.Reset();
  fake.keepFrames = false;
  fake.refuse15Bit = only565;
  platform::SetDisplayService(&fake);
  settings = {};
  settings.useMmx = useMmx;
  {
    std::lock_guard lock(displayLock);
    displayInitialised = 1;
    CreateDisplay(reinterpret_cast<platform::WindowHandle>(1));
  }
  const std::vector<uint16_t> frame = RandomFrame();
  for (auto _ : state) {
    PresentFrame(frame.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kFrameBytes);
  ReleaseDisplay();
  if (fake.flips != static_cast<int>(state.iterations())) state.SkipWithError("frames dropped");
}

void BM_PresentFrame555(benchmark::State& state) { RunPresent(state, false, 0); }
void BM_PresentFrame565(benchmark::State& state) { RunPresent(state, true, 0); }
void BM_PresentFrame565Simd(benchmark::State& state) { RunPresent(state, true, 1); }

void BM_FrameMemcpy(benchmark::State& state) {
  const std::vector<uint16_t> frame = RandomFrame();
  std::vector<uint16_t> target(kFramePixels);
  for (auto _ : state) {
    std::memcpy(target.data(), frame.data(), kFrameBytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kFrameBytes);
}

BENCHMARK(BM_FrameMemcpy);
BENCHMARK(BM_PresentFrame555);
BENCHMARK(BM_PresentFrame565);
BENCHMARK(BM_PresentFrame565Simd);

}  // namespace
