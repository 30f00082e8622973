// Mixing cost of the background music: the audio callback's work, rendering
// 44.1 kHz stereo 16-bit from a real module in the callback's block size.
// Goal: at most 2 % of one core.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <time.h>

#include <string>
#include <vector>

#include "platform/sound/module_file.hpp"
#include "platform/sound/module_mixer.hpp"

namespace {

constexpr int kRate = 44100;
constexpr int kBlockFrames = 1024;  // the SDL buffer of the stand-ins

std::string TestModule() {
  const std::string path = std::string(SUITE_TESTDATA_DIR) + "/modules/dontyou.xm";
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? path : std::string();
}

double ThreadCpuSeconds() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Argument: the resampler's taps (4 for the BASS-style high quality, 8 for
// the FMOD-style default).
void BM_MixModule(benchmark::State& state) {
  const std::string path = TestModule();
  if (path.empty()) {
    state.SkipWithError("shared test module not present");
    return;
  }
  const platform::ModuleLoad load = platform::LoadModuleFile(path.c_str());
  if (!load.module) {
    state.SkipWithError("test module refused");
    return;
  }
  platform::ModuleMixer mixer;
  mixer.SetFormat(kRate, platform::SampleFormat::Signed16);
  const uint32_t music = mixer.Add(load.module);
  mixer.SetLooping(music, true);
  mixer.SetInterpolation(music, static_cast<int32_t>(state.range(0)));
  mixer.SetStereoSeparation(music, 15);
  mixer.Play(music);
  std::vector<int16_t> block(kBlockFrames * 2);

  const double cpuStart = ThreadCpuSeconds();
  for (auto _ : state) {
    mixer.Render(block.data(), kBlockFrames * 4);
    benchmark::DoNotOptimize(block.data());
    benchmark::ClobberMemory();
  }
  const double cpuSeconds = ThreadCpuSeconds() - cpuStart;
  const double audioSeconds = static_cast<double>(state.iterations()) * kBlockFrames / kRate;
  state.counters["audio_seconds_per_second"] =
      benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate);
  state.counters["cpu_percent_of_core"] = cpuSeconds > 0 ? 100.0 * cpuSeconds / audioSeconds : 0;
}
BENCHMARK(BM_MixModule)->Arg(4)->Arg(8)->Unit(benchmark::kMicrosecond);

}  // namespace
