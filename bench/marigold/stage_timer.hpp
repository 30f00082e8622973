// An engine table for the demo that times every engine call by the part of
// the frame it belongs to: the scene, the glow pass (the scene again, small, and its
// blend over the screen), the blur layers, the
// overlays (flyby, flash, fades, pictures) and the present. Each call waits
// for the renderer to finish (glFinish), so the time lands where it is
// spent; frames drawn through it are slower than plain ones.
#pragma once

#include <chrono>
#include <cstdint>

#include "marigold/demo.hpp"
#include "marigold/engine_calls.hpp"

namespace marigold_bench {

// The glow pass is split in the scene drawn small and its blend over the screen.
enum class Stage { Scene, GlowScene, GlowBlend, Blur, Overlays, Present, Other, Count };
constexpr int kStageCount = static_cast<int>(Stage::Count);
const char* StageName(Stage stage);

// Time and processor time (every thread of the process, the renderer's
// included) spent in each stage.
struct StageTotals {
  std::chrono::nanoseconds spent[kStageCount] = {};
  double cpuMs[kStageCount] = {};
  double Milliseconds(Stage stage) const;
};

// Processor time of the whole process so far.
double ProcessCpuMs();

// Starts timing the demo's engine calls; the totals are kept until Stop.
const marigold::EngineCalls& StartStageTimer(const marigold::Demo& demo);
const StageTotals& StageTimes();
void StopStageTimer();

// Waits until the renderer has drawn everything asked of it.
void FinishRendering();

}  // namespace marigold_bench
