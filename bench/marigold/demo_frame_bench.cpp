// Frames of the real demo, drawn by the timeline's step (the render
// thread's work: current event, scene, glow, blur layers, overlays,
// present) on Mesa's llvmpipe offscreen, over the sample content.
//
// The module's pass (orders 1 to 19, up to the loop event) is mixed offline
// once; each run then samples the same evenly spaced moments of it, with the
// position and the syncs fed through the fake sound library and the fake
// clock, so the scenes, their local times and the sync effects are those of
// the demo at that moment. Order 0 is left out: the demo draws nothing there.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "bench/marigold/demo_harness.hpp"
#include "bench/marigold/loop_script.hpp"
#include "bench/marigold/stage_timer.hpp"
#include "marigold/engine_calls.hpp"
#include "marigold/loading.hpp"
#include "platform/clock/clock_service.hpp"
#include "platform/drivers.hpp"
#include "platform/sound/bass_service.hpp"

namespace {

using marigold_bench::LoopScript;
using marigold_bench::Stage;

constexpr uint32_t kFirstOrder = 1;
constexpr uint32_t kEndOrder = 20;
constexpr uint32_t kLongestPassMs = 10 * 60 * 1000;
constexpr uint32_t kClockBase = 100000;  // the fake clock never reads 0
constexpr int kSamples = 300;            // frames per run, across the pass
// Names of the event list's entries, for the time each scene's frames take.
constexpr const char* kEventNames[] = {"marker", "spiral", "chains", "float", "scenka4",
                                       "jazzz",  "conek",  "loop",   "end"};
constexpr int kEventNameCount = static_cast<int>(std::size(kEventNames));

int EventIndex(const marigold::Demo& demo) {
  int index = 0;
  for (const marigold::TimelineEvent* event = demo.head; event && event != demo.current;
       event = event->next)
    ++index;
  return index;
}

const LoopScript& Script(std::string* error) {
  static std::string failure;
  static const LoopScript script = [] {
    const std::vector<unsigned char> module = marigold_bench::ReadArchiveFile(marigold::kMusicFile);
    if (module.empty()) {
      failure = std::string("the sample has no ") + marigold::kMusicFile;
      return LoopScript{};
    }
    return marigold_bench::MakeLoopScript(module, kEndOrder, kLongestPassMs, &failure);
  }();
  *error = failure;
  return script;
}

// Replays the script into the demo: the syncs heard up to a moment (each
// stored at its own time, as if a frame had just started then), then the
// clock and the position of that moment.
class Replay {
 public:
  Replay(const LoopScript& script, marigold::Demo& demo) : script_(script), demo_(demo) {
    const uint32_t first = marigold::EventPosition(kFirstOrder, 0);
    while (begin_ < script.lengthMs() &&
           marigold::ExchangeHalves(script.PositionAt(begin_)) < first)
      begin_ += script.stepMs;
  }

  // The k-th of `count` moments spread over the pass from order 1.
  void Sample(int k, int count) {
    const uint32_t span = script_.lengthMs() - begin_;
    const uint32_t time = begin_ + static_cast<uint32_t>(uint64_t{span} * k / count);
    if (time < last_) next_ = 0;  // a new pass: the syncs again from the start
    last_ = time;
    while (next_ < script_.syncs.size() && script_.syncs[next_].time <= time) {
      demo_.now = kClockBase + script_.syncs[next_].time;
      platform::FakeBass().FireSync(demo_.music, script_.syncs[next_].value);
      ++next_;
    }
    platform::FakeClock().now = kClockBase + time;
    platform::FakeBass().position = script_.PositionAt(time);
  }

 private:
  const LoopScript& script_;
  marigold::Demo& demo_;
  uint32_t begin_ = 0;
  uint32_t last_ = 0;
  size_t next_ = 0;
};

// The demo loaded at the benchmark's size, ready to replay; null (and the
// benchmark skipped) when it cannot be.
std::unique_ptr<marigold::Demo> Prepare(benchmark::State& state, const LoopScript** script) {
  platform::SelectDrivers(platform::DriverSet::Console);
  std::string error;
  if (!marigold_bench::OpenEngine(int(state.range(0)), int(state.range(1)), &error)) {
    state.SkipWithError(error.c_str());
    return nullptr;
  }
  *script = &Script(&error);
  if ((*script)->positions.empty()) {
    klDone();
    state.SkipWithError(error.c_str());
    return nullptr;
  }
  platform::FakeBass().Reset();
  platform::SetBassService(&platform::FakeBass());
  std::unique_ptr<marigold::Demo> demo = marigold_bench::LoadSampleDemo();
  platform::FakeClock().now = kClockBase;
  platform::SetClockService(&platform::FakeClock());
  demo->start();
  return demo;
}

void Finish(std::unique_ptr<marigold::Demo>& demo) {
  demo->stop();
  marigold_bench::CloseEngine(demo);
  platform::SetClockService(nullptr);
}

void BM_DemoFrame(benchmark::State& state) {
  const LoopScript* script = nullptr;
  std::unique_ptr<marigold::Demo> demo = Prepare(state, &script);
  if (!demo) return;
  Replay replay(*script, *demo);
  double eventMs[kEventNameCount] = {};
  double eventCpuMs[kEventNameCount] = {};
  int eventFrames[kEventNameCount] = {};
  int k = 0;
  const double cpuStart = marigold_bench::ProcessCpuMs();
  for (auto _ : state) {
    replay.Sample(k++ % kSamples, kSamples);
    const auto start = std::chrono::steady_clock::now();
    const double cpu = marigold_bench::ProcessCpuMs();
    demo->step();
    marigold_bench::FinishRendering();
    const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
    const int event = EventIndex(*demo);
    if (event < kEventNameCount) {
      eventMs[event] += spent.count();
      eventCpuMs[event] += marigold_bench::ProcessCpuMs() - cpu;
      ++eventFrames[event];
    }
  }
  state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["pass_s"] = script->lengthMs() / 1000.0;
  state.counters["syncs_per_pass"] = double(script->syncs.size());
  // Processor time per frame over all threads: the work, whatever else runs.
  state.counters["cpu_ms"] =
      benchmark::Counter(marigold_bench::ProcessCpuMs() - cpuStart, benchmark::Counter::kAvgIterations);
  // Milliseconds per frame of each scene drawn in the run, in time and in
  // processor time.
  for (int event = 0; event < kEventNameCount; ++event) {
    if (eventFrames[event] == 0) continue;
    const std::string name = kEventNames[event];
    state.counters[name + "_ms"] = eventMs[event] / eventFrames[event];
    state.counters[name + "_cpu"] = eventCpuMs[event] / eventFrames[event];
  }
  Finish(demo);
}

// The same frames with every engine call waited for and booked to its part
// of the frame: milliseconds per frame for each.
void BM_DemoFrameStages(benchmark::State& state) {
  const LoopScript* script = nullptr;
  std::unique_ptr<marigold::Demo> demo = Prepare(state, &script);
  if (!demo) return;
  marigold::SetEngineCalls(&marigold_bench::StartStageTimer(*demo));
  Replay replay(*script, *demo);
  int k = 0;
  for (auto _ : state) {
    replay.Sample(k++ % kSamples, kSamples);
    demo->step();
  }
  const marigold_bench::StageTotals& totals = marigold_bench::StageTimes();
  for (int stage = 0; stage < marigold_bench::kStageCount; ++stage) {
    const auto which = static_cast<Stage>(stage);
    const std::string name = marigold_bench::StageName(which);
    state.counters[name + "_ms"] =
        benchmark::Counter(totals.Milliseconds(which), benchmark::Counter::kAvgIterations);
    state.counters[name + "_cpu"] = benchmark::Counter(totals.cpuMs[stage],
                                                       benchmark::Counter::kAvgIterations);
  }
  marigold_bench::StopStageTimer();
  Finish(demo);
}

BENCHMARK(BM_DemoFrame)
    ->Args({640, 480})
    ->Args({1920, 1080})
    ->Iterations(kSamples)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_DemoFrameStages)
    ->Args({640, 480})
    ->Args({1920, 1080})
    ->Iterations(kSamples)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
