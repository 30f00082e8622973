// How long after a sync's row is heard the first frame showing its effect
// is presented, on the running demo: the real render thread drawing back to
// back offscreen, the sound stand-in playing in real time through SDL's
// disk audio driver (its real-time pace, written nowhere), the real clock.
//
// A sync counts as shown by the first frame whose drawing read it: the
// glow boost just before the glow is blended, "Mind" once more after the
// opening scene and its glow are drawn, everything else (blurs, flyby, flash,
// fades) when the overlays are drawn. Each read point is taken at an engine
// call or frame stage just before the read, so a sync heard in between counts
// for the next frame. Its latency runs from the sync procedure's call (made
// when the sound stand-in's heard position reaches the row) to the return of
// that frame's present. MARIGOLD_SYNC_SECONDS sets how long the demo plays
// (60 s), MARIGOLD_SYNC_LOG=1 lists every sync.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench/marigold/demo_harness.hpp"
#include "marigold/engine_calls.hpp"
#include "marigold/loading.hpp"
#include "platform/drivers.hpp"
#include "platform/sound/bass_service.hpp"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDefaultSeconds = 60;
constexpr double kKibPerMib = 1024.0;

int RunSeconds() {
  const char* text = std::getenv("MARIGOLD_SYNC_SECONDS");
  const int seconds = text ? std::atoi(text) : 0;
  return seconds > 0 ? seconds : kDefaultSeconds;
}

enum class ReadPoint { kOverlays, kGlowBlend, kMindLate };

ReadPoint ReadPointOf(uint32_t value) {
  using namespace marigold;
  if (value == kSyncGlowBoost) return ReadPoint::kGlowBlend;
  if (value == kSyncMind) return ReadPoint::kMindLate;
  return ReadPoint::kOverlays;
}
bool HasEffect(uint32_t value) { return (value >= 1 && value <= 9) || value == 15; }

struct HeardSync {
  uint32_t value;
  Clock::time_point heard;
  bool shown = false;
};

class ProbedDemo : public marigold::Demo {
 public:
  void onSync(platform::HSYNC handle, uint32_t channel, uint32_t data, void* user) override {
    const Clock::time_point heard = Clock::now();
    Demo::onSync(handle, channel, data, user);
    std::lock_guard guard(mutex_);
    syncs_.push_back({data, heard});
    heardCount_.store(syncs_.size(), std::memory_order_release);
  }
  void beforeFrame() override {
    frameStart_ = Clock::now();
    const size_t count = HeardCount();
    // Without a glow the boost and the late "Mind" read nothing this frame;
    // counting from the frame's start keeps the figure on the safe side.
    seenAtGlow_ = count;
    seenAtMind_ = count;
    glowBlended_ = false;
    mindPointTaken_ = false;
    Demo::beforeFrame();
  }
  void afterFrame() override {
    seenAtOverlays_ = HeardCount();
    Demo::afterFrame();
  }

  // Engine calls on the render thread, seen before they run.
  void SettingTarget() { countAtTarget_ = HeardCount(); }
  void PuttingImage(const void* image) {
    if (image != smallTarget) return;
    // The boost is read after the glow's switch back to the screen.
    seenAtGlow_ = countAtTarget_;
    glowBlended_ = true;
  }
  void EndingRendering() {
    // The glow's bracket ends; "Mind" is looked at again after it.
    if (!glowBlended_ || mindPointTaken_) return;
    seenAtMind_ = HeardCount();
    mindPointTaken_ = true;
  }
  // The frame just presented: the syncs it showed get their latency.
  void Presented(Clock::time_point at) {
    // From this frame's start: the marker at the module's start draws and
    // presents nothing for seconds.
    const double frame = Ms(at - frameStart_);
    frameMs_.push_back(frame);
    std::lock_guard guard(mutex_);
    for (size_t i = firstOpen_; i < syncs_.size(); ++i) {
      HeardSync& sync = syncs_[i];
      if (sync.shown || !HasEffect(sync.value)) continue;
      if (i >= SeenAt(ReadPointOf(sync.value))) continue;
      sync.shown = true;
      latencyMs_.push_back(Ms(at - sync.heard));
      beyondFrameMs_.push_back(latencyMs_.back() - frame);
      if (std::getenv("MARIGOLD_SYNC_LOG"))
        std::fprintf(stderr, "sync %u: %.1f ms, its frame %.1f ms\n", sync.value,
                     latencyMs_.back(), frame);
    }
    while (firstOpen_ < syncs_.size() &&
           (syncs_[firstOpen_].shown || !HasEffect(syncs_[firstOpen_].value)))
      ++firstOpen_;
  }

  std::vector<double> latencyMs_;
  std::vector<double> beyondFrameMs_;  // latency less the frame that showed it
  std::vector<double> frameMs_;

 private:
  static double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
  }

  size_t HeardCount() const { return heardCount_.load(std::memory_order_acquire); }
  size_t SeenAt(ReadPoint point) const {
    switch (point) {
      case ReadPoint::kGlowBlend: return seenAtGlow_;
      case ReadPoint::kMindLate: return seenAtMind_;
      case ReadPoint::kOverlays: break;
    }
    return seenAtOverlays_;
  }

  std::mutex mutex_;
  std::vector<HeardSync> syncs_;
  std::atomic<size_t> heardCount_{0};
  // Render thread only: the syncs heard before each read point of the frame.
  size_t seenAtGlow_ = 0;
  size_t seenAtMind_ = 0;
  size_t seenAtOverlays_ = 0;
  size_t countAtTarget_ = 0;
  bool glowBlended_ = false;
  bool mindPointTaken_ = false;
  size_t firstOpen_ = 0;
  Clock::time_point frameStart_;  // render thread only
};

ProbedDemo* probed = nullptr;

void ShowRenderProbed() {
  marigold::KestrelCalls().showRender();
  if (probed) probed->Presented(Clock::now());
}
int SetRenderTargetProbed(void* record) {
  if (probed) probed->SettingTarget();
  return marigold::KestrelCalls().setRenderTarget(record);
}
void PutImageProbed(float x, float y, float sx, float sy, const void* image, float alpha, int r0,
                    int r1, int src, int dst) {
  if (probed) probed->PuttingImage(image);
  marigold::KestrelCalls().putImage(x, y, sx, sy, image, alpha, r0, r1, src, dst);
}
void EndRenderingProbed() {
  if (probed) probed->EndingRendering();
  marigold::KestrelCalls().endRendering();
}

double Percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t index = static_cast<size_t>(fraction * double(values.size() - 1) + 0.5);
  return values[index];
}

void BM_SyncLatency(benchmark::State& state) {
  setenv("SDL_AUDIODRIVER", "disk", 0);
  setenv("SDL_DISKAUDIOFILE", "/dev/null", 0);
  platform::SelectDrivers(platform::DriverSet::Console);
  std::string error;
  if (!marigold_bench::OpenEngine(int(state.range(0)), int(state.range(1)), &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  if (marigold_bench::ReadArchiveFile(marigold::kMusicFile).empty()) {
    klDone();
    state.SkipWithError("the sample has no module");
    return;
  }
  auto owned = std::make_unique<ProbedDemo>();
  ProbedDemo& demo = *owned;
  marigold::InitSound(demo);
  marigold::LoadDemo(demo);
  static marigold::EngineCalls table = marigold::KestrelCalls();
  table.showRender = ShowRenderProbed;
  table.setRenderTarget = SetRenderTargetProbed;
  table.putImage = PutImageProbed;
  table.endRendering = EndRenderingProbed;
  marigold::SetEngineCalls(&table);
  probed = &demo;

  for (auto _ : state) {
    demo.start();
    std::thread renderer(marigold::Timeline::renderThread, &demo);
    std::this_thread::sleep_for(std::chrono::seconds(RunSeconds()));
    {
      std::lock_guard frame(demo.lock);
      demo.stop();
      klDone();  // the render thread ends at its next look
    }
    renderer.join();
  }
  probed = nullptr;
  state.counters["syncs_shown"] = double(demo.latencyMs_.size());
  state.counters["latency_median_ms"] = Percentile(demo.latencyMs_, 0.5);
  state.counters["latency_max_ms"] = Percentile(demo.latencyMs_, 1.0);
  // The part of the latency beyond the frame that showed the sync: the wait
  // for the frame in progress when it was heard.
  state.counters["beyond_frame_median_ms"] = Percentile(demo.beyondFrameMs_, 0.5);
  state.counters["beyond_frame_max_ms"] = Percentile(demo.beyondFrameMs_, 1.0);
  state.counters["frame_median_ms"] = Percentile(demo.frameMs_, 0.5);
  state.counters["frame_max_ms"] = Percentile(demo.frameMs_, 1.0);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_mib"] = double(usage.ru_maxrss) / kKibPerMib;
  owned.reset();
  marigold::SetEngineCalls(nullptr);
  platform::BASS_Free();
}

BENCHMARK(BM_SyncLatency)
    ->Args({640, 480})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
