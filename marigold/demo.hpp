// The demo: the timeline that turns the module's sync values into timed
// screen effects drawn around every frame (blurs, flyby, flash, fades).
#pragma once

#include <cstdint>

#include "marigold/sync_values.hpp"
#include "marigold/timeline.hpp"

namespace marigold {

// fadeFromBlackStart when no fade from black runs.
constexpr uint32_t kNoFade = 0xFFFFFFFF;
constexpr uint16_t kSmallTargetSide = 128;

class Demo : public Timeline {
 public:
  ~Demo() override;
  void onSync(platform::HSYNC handle, uint32_t channel, uint32_t data, void* user) override;
  void resetEffects() override;
  void beforeFrame() override;
  void afterFrame() override;
  // A blurred second pass of the event's scene through the small target.
  void drawGlow(SceneEvent& event, uint32_t t, float base);
  // Whether this frame's scene is drawn into the large target for a blur.
  bool blurring() const { return zoomBlurOn || stretchBlurOn; }

  // Effect times are clock values in milliseconds; flags are 0 or 1. The
  // sync procedure stores them, the render thread reads them.
  std::atomic<uint32_t> fadeToBlackStart{0};
  std::atomic<uint32_t> fadeToWhiteStart{0};
  std::atomic<uint32_t> fadeFromBlackStart{kNoFade};
  std::atomic<uint32_t> zoomBlurStart{0};
  std::atomic<uint32_t> stretchBlurStart{0};
  std::atomic<uint32_t> flybyStart{0};  // 0: none yet
  std::atomic<uint32_t> glowBoostStart{0};
  std::atomic<uint32_t> fadeToBlackOn{0};
  uint32_t stretchBlurOn = 0;
  uint32_t zoomBlurOn = 0;
  std::atomic<uint32_t> fadeToWhiteOn{0};
  std::atomic<uint32_t> flashStart{0};
  std::atomic<uint32_t> mindStart{0};
  alignas(8) unsigned char commonScene[KL_SCENE_SIZE] = {};
  alignas(8) unsigned char largeTarget[KL_RENDER_TARGET_SIZE] = {};
  alignas(8) unsigned char smallTarget[KL_RENDER_TARGET_SIZE] = {};
  const void* small1 = nullptr;
  const void* small2 = nullptr;
  std::atomic<uint32_t> flybyCount{0};
  uint32_t renderTargetsReady = 0;

 private:
  // A blur whose sync was heard after the frame began: the scene went to
  // the screen, so the blur takes the frame's picture from there.
  void catchUpBlur(uint32_t time);
  void drawBlurBase();
  void drawFlyby();
  void drawFlash();
  void drawFades();
};

}  // namespace marigold
