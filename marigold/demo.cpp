#include "marigold/demo.hpp"

#include <algorithm>
#include <cmath>

#include "marigold/engine_calls.hpp"

namespace marigold {
namespace {

constexpr uint32_t kStretchBlurMs = 1000;
constexpr uint32_t kZoomBlurMs = 400;
constexpr uint32_t kFlybyMs = 3000;
constexpr uint32_t kFlashWhiteMs = 100;
constexpr uint32_t kFlashEndMs = 500;
constexpr uint32_t kFadeToBlackMs = 2000;
constexpr uint32_t kFadeToWhiteMs = 960;
constexpr uint32_t kFadeFromBlackMs = 2500;
constexpr uint32_t kGlowBoostMs = 300;

struct BlurLayer {
  float spread;
  float alpha;
};
constexpr BlurLayer kZoomLayers[] = {{0.05f, 0.5f},   {0.1f, 0.333f},  {0.15f, 0.25f},
                                     {0.2f, 0.175f},  {0.25f, 0.125f}, {0.3f, 0.1f}};
constexpr BlurLayer kStretchLayers[] = {
    {0.075f, 0.5f}, {0.15f, 0.333f}, {0.25f, 0.25f}, {0.3f, 0.175f}};

float Clamp01(float value) { return std::clamp(value, 0.0f, 1.0f); }

}  // namespace

Demo::~Demo() {
  if (commonScene[KL_SCENE_CALLER_FLAGS] & kSceneLoaded) Engine().doneScene(commonScene);
}

void Demo::onSync(platform::HSYNC, uint32_t, uint32_t data, void*) {
  uint32_t time = now;
  switch (data) {
    case kSyncFadeToBlack:
      fadeToBlackStart = time;
      fadeToBlackOn = 1;
      break;
    case kSyncFlash: flashStart = time; break;
    case kSyncOverlaysOff:
      fadeToBlackOn = 0;
      fadeToWhiteOn = 0;
      break;
    case kSyncFadeFromBlack: fadeFromBlackStart = time; break;
    case kSyncFadeToWhite:
      fadeToWhiteStart = time;
      fadeToWhiteOn = 1;
      break;
    case kSyncZoomBlur: zoomBlurStart = time; break;
    case kSyncMind: mindStart = time; break;
    case kSyncStretchBlur: stretchBlurStart = time; break;
    case kSyncGlowBoost: glowBoostStart = time; break;
    case kSyncFlyby:
      flybyStart = time;
      ++flybyCount;
      break;
    default: break;
  }
}

void Demo::resetEffects() {
  fadeFromBlackStart = kNoFade;
  flashStart = 0;
  fadeToBlackStart = 0;
  fadeToBlackOn = 0;
}

void Demo::beforeFrame() {
  uint32_t time = now;
  if (time - stretchBlurStart < kStretchBlurMs) {
    stretchBlurOn = 1;
    Engine().setRenderTarget(largeTarget);
  } else if (stretchBlurOn) {
    stretchBlurOn = 0;
    Engine().setRenderTarget(nullptr);
  }
  if (time - zoomBlurStart < kZoomBlurMs && !stretchBlurOn) {
    zoomBlurOn = 1;
    Engine().setRenderTarget(largeTarget);
  } else if (zoomBlurOn) {
    zoomBlurOn = 0;
    Engine().setRenderTarget(nullptr);
  }
}

void Demo::drawBlurBase() {
  Engine().setRenderTarget(nullptr);
  Engine().startRendering();
  Engine().putImageEx(0, 0, 1, 1, largeTarget, 1, 0, 0, KL_BLEND_ONE, KL_BLEND_ZERO, 1, 1, 1, 1,
                      1);
}

void Demo::catchUpBlur(uint32_t time) {
  if (blurring()) return;
  const bool stretch = time - stretchBlurStart < kStretchBlurMs;
  const bool zoom = time - zoomBlurStart < kZoomBlurMs;
  if (!stretch && !zoom) return;
  if (!Engine().copyScreenToTarget(largeTarget)) return;
  stretchBlurOn = stretch;
  zoomBlurOn = !stretch;
}

void Demo::afterFrame() {
  uint32_t time = now;
  const EngineCalls& engine = Engine();
  catchUpBlur(time);
  if (time - zoomBlurStart < kZoomBlurMs && zoomBlurOn) {
    drawBlurBase();
    float c = static_cast<float>(kZoomBlurMs - (time - zoomBlurStart)) * 0.005f;
    for (const BlurLayer& layer : kZoomLayers) {
      float s = 1 + layer.spread * c;
      engine.putImageEx(0, 0, s, s, largeTarget, layer.alpha, 0, 0, KL_BLEND_SRCALPHA,
                        KL_BLEND_INVSRCALPHA, 1, 1, 1, 1, 1);
    }
  } else if (time - stretchBlurStart < kStretchBlurMs && stretchBlurOn) {
    drawBlurBase();
    float c = static_cast<float>(kStretchBlurMs - (time - stretchBlurStart)) * 0.001f;
    for (const BlurLayer& layer : kStretchLayers) {
      engine.putImageEx(0, 0, 1 + layer.spread * c, 1, largeTarget, layer.alpha, 0, 0,
                        KL_BLEND_SRCALPHA, KL_BLEND_INVSRCALPHA, 1, 1, 1, 1, 1);
    }
  } else {
    engine.startRendering();
  }
  drawFlyby();
  drawFlash();
  drawFades();
  engine.endRendering();
}

void Demo::drawFlyby() {
  uint32_t start = flybyStart;
  uint32_t f = now - start;
  if (start == 0 || f >= kFlybyMs) return;
  Engine().applyStateBlock();
  float ft = static_cast<float>(f);
  float u = std::cos(ft * 0.0005235988f) * 0.3f;
  float v = u * std::sin(ft * 0.012566371f + 1.5707964f);
  float w = 1 - ft * 0.00033333333f;
  bool odd = flybyCount % 2 == 1;
  const void* picture = odd ? small2 : small1;
  float side = odd ? 1.0f : -1.0f;
  Engine().putImageEx((0.8f - ft * 0.0004f) * side, -0.8f, u - v / 2, u + v / 2, picture, u * 5, 0,
                      0, KL_BLEND_ONE, KL_BLEND_INVSRCCOLOR, w, w, w, 1, 1);
}

void Demo::drawFlash() {
  uint32_t g = now - flashStart;
  if (g < kFlashWhiteMs) {
    Engine().putRect(0, 0, 1, 1, 1, 1, 1, 1, KL_BLEND_ONE, KL_BLEND_ZERO);
  } else if (g < kFlashEndMs) {
    // The cosine falls below 0 after 300 ms: the flash has faded out.
    float alpha = Clamp01(std::cos(static_cast<float>(g - kFlashWhiteMs) * 0.007853982f));
    Engine().putRect(0, 0, 1, 1, alpha, 1, 1, 1, KL_BLEND_SRCALPHA, KL_BLEND_INVSRCALPHA);
  }
}

void Demo::drawFades() {
  uint32_t time = now;
  if (fadeToBlackOn) {
    uint32_t h = time - fadeToBlackStart;
    float alpha = h <= kFadeToBlackMs ? std::sin(static_cast<float>(h) * 0.0007853982f) : 1.0f;
    Engine().putRect(0, 0, 1, 1, alpha, 0, 0, 0, KL_BLEND_SRCALPHA, KL_BLEND_INVSRCALPHA);
  }
  if (fadeToWhiteOn) {
    uint32_t w = time - fadeToWhiteStart;
    float alpha = w <= kFadeToWhiteMs ? std::sin(static_cast<float>(w) * 0.0016362462f) : 1.0f;
    Engine().putRect(0, 0, 1, 1, alpha, 1, 1, 1, KL_BLEND_SRCALPHA, KL_BLEND_INVSRCALPHA);
  }
  uint32_t fromBlack = fadeFromBlackStart;
  if (fromBlack != kNoFade) {
    uint32_t k = time - fromBlack;
    if (k < kFadeFromBlackMs) {
      Engine().putRect(0, 0, 1, 1, 1 - static_cast<float>(k) * 0.0004f, 0, 0, 0,
                       KL_BLEND_SRCALPHA, KL_BLEND_INVSRCALPHA);
    }
  }
}

void Demo::drawGlow(SceneEvent& event, uint32_t t, float base) {
  if (!renderTargetsReady) return;
  Engine().setRenderTarget(smallTarget);
  event.drawScene(t);
  Engine().setRenderTarget(nullptr);
  Engine().startRendering();
  // Read as late as possible: a sync heard while the scene was drawn still
  // brightens this frame.
  uint32_t d = (event.startTime + t) - glowBoostStart;
  float boost =
      d < kGlowBoostMs ? static_cast<float>(kGlowBoostMs - d) * 0.0033333334f * 0.5f : 0.0f;
  Engine().putImage(-0.005f, 0.005f, 1.001f, 1.001f, smallTarget, base + boost, 0, 0,
                    KL_BLEND_SRCALPHA, KL_BLEND_INVSRCALPHA);
  Engine().endRendering();
}

}  // namespace marigold
