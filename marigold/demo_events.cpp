#include "marigold/demo_events.hpp"

#include <algorithm>
#include <memory>

#include "marigold/engine_calls.hpp"

namespace marigold {
namespace {

constexpr uint32_t kMindMs = 3500;
constexpr uint32_t kMindOverBlackMs = 1000;
constexpr uint32_t kLogoInStart = 15000;
constexpr uint32_t kLogoFullStart = 20000;
constexpr uint32_t kLogoOutStart = 32000;
constexpr uint32_t kLogoEnd = 37000;
constexpr float kLogoFadePerMs = 0.0002f;
constexpr uint32_t kThanxStart = 32000;
constexpr float kThanxFadePerMs = 0.000125f;
constexpr uint32_t kSecondSceneStart = 35000;
constexpr uint32_t kConekGlowLag = 25;
constexpr float kSpiralGlow = 0.3f;
constexpr float kConekGlow = 0.5f;

void PrepareScene(void* record) {
  Engine().uploadTextures(record);
  Engine().evictTextures(record);
  Engine().uploadSurfaces(record);
}

}  // namespace

const EventEntry kEventTable[] = {
    {0, 0, nullptr, nullptr},
    {1, 0, "scenes\\PicSpiral.lws", nullptr},
    {6, 0, "scenes\\PicChains.lws", nullptr},
    {8, 0, "scenes\\PicFloat.lws", nullptr},
    {11, 0, "scenes\\Scenka_4.lws", nullptr},
    {13, 0, "scenes\\Jazzz.lws", nullptr},
    {15, 0, "scenes\\conek.lws", "scenes\\oblong_2k_2nd.lws"},
    {20, 0, nullptr, nullptr},
    {255, 0, nullptr, nullptr},
};
const int kEventCount = static_cast<int>(std::size(kEventTable));

void GlowSceneEvent::drawFrame(uint32_t t) {
  if (fogState >= 0) Engine().setState(KL_STATE_FOG, fogState);
  drawScene(t);
  demo().drawGlow(*this, GlowTime(t, glowLag), glowBase);
}

uint32_t PicSpiralEvent::mindAge(uint32_t t) { return (startTime + t) - demo().mindStart; }

void PicSpiralEvent::drawMind(uint32_t age) {
  if (age < kMindOverBlackMs) demo().fadeToBlackOn = 0;
  float alpha = std::min(static_cast<float>(age) * 0.002f, 1.0f);
  Engine().startRendering();
  Engine().putImageEx(0, 0, 1, 1, mind, alpha, 0, 0, KL_BLEND_SRCALPHA, KL_BLEND_ZERO, 1, 1, 1, 1,
                      1);
}

void PicSpiralEvent::drawFrame(uint32_t t) {
  Engine().setState(KL_STATE_FOG, 0);
  Demo& shared = demo();
  if (const uint32_t age = mindAge(t); age < kMindMs) {
    drawMind(age);
  } else {
    drawScene(t);
    shared.drawGlow(*this, t, kSpiralGlow);
    // A sync heard while the scene was drawn shows in this frame still: the
    // picture replaces every pixel, in the target the blur reads.
    if (const uint32_t lateAge = mindAge(t); lateAge < kMindMs) {
      if (shared.blurring()) Engine().setRenderTarget(shared.largeTarget);
      drawMind(lateAge);
    }
  }
  float logoAlpha = -1;
  if (t > kLogoInStart && t < kLogoFullStart) {
    logoAlpha = static_cast<float>(t - kLogoInStart) * kLogoFadePerMs;
  } else if (t > kLogoFullStart && t < kLogoOutStart) {
    logoAlpha = 1;
  } else if (t > kLogoOutStart && t < kLogoEnd) {
    logoAlpha = static_cast<float>(kLogoEnd - t) * kLogoFadePerMs;
  }
  if (logoAlpha >= 0) {
    Engine().putImageEx(0, 0, 1, 1, logo, logoAlpha, 0, 0, KL_BLEND_SRCALPHA, KL_BLEND_ONE, 1, 1,
                        1, 1, 1);
  }
  Engine().endRendering();
}

ConekEvent::~ConekEvent() {
  if (secondScene[KL_SCENE_CALLER_FLAGS] & kSceneLoaded) Engine().doneScene(secondScene);
}

bool ConekEvent::loadSecond(const char* file) {
  if (!Engine().loadLWS(file, secondScene)) return false;
  secondScene[KL_SCENE_CALLER_FLAGS] |= kSceneLoaded;
  return true;
}

void ConekEvent::drawFrame(uint32_t t) {
  Engine().setState(KL_STATE_FOG, 1);
  drawScene(t);
  if (t > kThanxStart) {
    float alpha = std::min(static_cast<float>(t - kThanxStart) * kThanxFadePerMs, 1.0f);
    Engine().putImage(0, 0, 1, 1, thanx, alpha, 0, 0, KL_BLEND_SRCALPHA, KL_BLEND_INVSRCALPHA);
  }
  if (t > kSecondSceneStart) {
    Engine().setState(KL_STATE_CLEAR, 0);
    Engine().renderFrame(secondScene, static_cast<float>(t - kSecondSceneStart) *
                                          klSceneFramesPerSecond(secondScene) * 0.001f);
    Engine().setState(KL_STATE_CLEAR, 1);
  } else {
    demo().drawGlow(*this, GlowTime(t, kConekGlowLag), kConekGlow);
  }
}

void ConekEvent::prepare() {
  SceneEvent::prepare();
  PrepareScene(secondScene);
}

void AppendDemoEvents(Demo& demo) {
  std::unique_ptr<TimelineEvent> events[] = {
      std::make_unique<MarkerEvent>(),    std::make_unique<PicSpiralEvent>(),
      std::make_unique<PicChainsEvent>(), std::make_unique<PicFloatEvent>(),
      std::make_unique<Scenka4Event>(),   std::make_unique<JazzzEvent>(),
      std::make_unique<ConekEvent>(),     std::make_unique<LoopEvent>(),
      std::make_unique<MarkerEvent>()};
  static_assert(std::size(events) == std::size(kEventTable));
  for (int i = 0; i < kEventCount; ++i) {
    events[i]->position = EventPosition(kEventTable[i].order, kEventTable[i].row);
    demo.append(events[i].release());
  }
}

const char* LoadDemoScenes(Demo& demo) {
  int index = 0;
  for (TimelineEvent* event = demo.head; event && index < kEventCount;
       event = event->next, ++index) {
    const EventEntry& entry = kEventTable[index];
    auto* scene = dynamic_cast<SceneEvent*>(event);
    if (entry.scene && scene && !scene->load(entry.scene)) return entry.scene;
    auto* conek = dynamic_cast<ConekEvent*>(event);
    if (entry.second && conek && !conek->loadSecond(entry.second)) return entry.second;
  }
  return nullptr;
}

}  // namespace marigold
