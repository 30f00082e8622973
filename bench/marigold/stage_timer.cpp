#include "bench/marigold/stage_timer.hpp"

#include <epoxy/gl.h>
#include <sys/resource.h>

#include "kestrel/render/gl_context.hpp"

namespace marigold_bench {
namespace {

using Clock = std::chrono::steady_clock;
using marigold::KestrelCalls;

struct TimerState {
  const marigold::Demo* demo = nullptr;
  bool glowOpen = false;  // between the glow target and its end of 2D drawing
  StageTotals totals;
};

TimerState& State() {
  static TimerState state;
  return state;
}

// Runs `call`, waits for the renderer and books the time to `stage`.
template <class Call>
auto Timed(Stage stage, Call call) {
  struct Book {
    Stage stage;
    Clock::time_point start = Clock::now();
    double cpu = ProcessCpuMs();
    ~Book() {
      FinishRendering();
      StageTotals& totals = State().totals;
      totals.spent[static_cast<int>(stage)] += Clock::now() - start;
      totals.cpuMs[static_cast<int>(stage)] += ProcessCpuMs() - cpu;
    }
  } book{stage};
  return call();
}

Stage ImageStage(const void* image) {
  const TimerState& s = State();
  if (image == s.demo->smallTarget) return Stage::GlowBlend;
  if (image == s.demo->largeTarget) return Stage::Blur;
  return Stage::Overlays;
}

int SetRenderTarget(void* record) {
  TimerState& s = State();
  if (record == s.demo->smallTarget) s.glowOpen = true;
  return Timed(s.glowOpen ? Stage::GlowScene : Stage::Other,
               [&] { return KestrelCalls().setRenderTarget(record); });
}

int CopyScreenToTarget(void* record) {
  return Timed(Stage::Blur, [&] { return KestrelCalls().copyScreenToTarget(record); });
}

int RenderFrame(void* record, float frame) {
  return Timed(State().glowOpen ? Stage::GlowScene : Stage::Scene,
               [&] { return KestrelCalls().renderFrame(record, frame); });
}

void StartRendering() {
  Timed(State().glowOpen ? Stage::GlowBlend : Stage::Other,
        [] { KestrelCalls().startRendering(); });
}

void EndRendering() {
  TimerState& s = State();
  const Stage stage = s.glowOpen ? Stage::GlowBlend : Stage::Overlays;
  s.glowOpen = false;
  Timed(stage, [] { KestrelCalls().endRendering(); });
}

void ShowRender() {
  Timed(Stage::Present, [] { KestrelCalls().showRender(); });
}

void PutImage(float x, float y, float sx, float sy, const void* image, float alpha, int r0, int r1,
              int src, int dst) {
  Timed(ImageStage(image),
        [&] { KestrelCalls().putImage(x, y, sx, sy, image, alpha, r0, r1, src, dst); });
}

void PutImageEx(float x, float y, float sx, float sy, const void* image, float alpha, int r0,
                int r1, int src, int dst, float r, float g, float b, float su, float sv) {
  Timed(ImageStage(image), [&] {
    KestrelCalls().putImageEx(x, y, sx, sy, image, alpha, r0, r1, src, dst, r, g, b, su, sv);
  });
}

void PutRect(float x, float y, float sx, float sy, float alpha, float r, float g, float b, int src,
             int dst) {
  Timed(Stage::Overlays,
        [&] { KestrelCalls().putRect(x, y, sx, sy, alpha, r, g, b, src, dst); });
}

void ApplyStateBlock() {
  Timed(Stage::Other, [] { KestrelCalls().applyStateBlock(); });
}

void SetState(int state, int value) {
  Timed(Stage::Other, [&] { KestrelCalls().setState(state, value); });
}

marigold::EngineCalls MakeTable() {
  marigold::EngineCalls table = KestrelCalls();
  table.setRenderTarget = SetRenderTarget;
  table.copyScreenToTarget = CopyScreenToTarget;
  table.renderFrame = RenderFrame;
  table.startRendering = StartRendering;
  table.endRendering = EndRendering;
  table.showRender = ShowRender;
  table.putImage = PutImage;
  table.putImageEx = PutImageEx;
  table.putRect = PutRect;
  table.applyStateBlock = ApplyStateBlock;
  table.setState = SetState;
  return table;
}

}  // namespace

const char* StageName(Stage stage) {
  static constexpr const char* kNames[] = {"scene",    "glow_scene", "glow_blend", "blur",
                                           "overlays", "present",    "other"};
  return kNames[static_cast<int>(stage)];
}

double StageTotals::Milliseconds(Stage stage) const {
  return std::chrono::duration<double, std::milli>(spent[static_cast<int>(stage)]).count();
}

double ProcessCpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto ms = [](const timeval& t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

const marigold::EngineCalls& StartStageTimer(const marigold::Demo& demo) {
  static const marigold::EngineCalls table = MakeTable();
  State() = TimerState{};
  State().demo = &demo;
  return table;
}

const StageTotals& StageTimes() { return State().totals; }

void StopStageTimer() { State().demo = nullptr; }

void FinishRendering() {
  kestrel::ContextScope scope;
  if (scope.ok()) glFinish();
}

}  // namespace marigold_bench
