// Where the demo's screen effects fall in the tune: on the downbeats, the
// snare rolls and the scene changes. Every effect happens at least once
// between the first scene and the loop.
#include "tools/marigold_content/music.hpp"

namespace demotools {

const std::vector<SyncCue>& DemoSyncCues() {
  static const std::vector<SyncCue> cues{
      // The spiral: out of black, into black for "Mind", drums in with a
      // flash, the first flyby.
      {1, 0, kSyncFadeFromBlack},
      {1, 56, kSyncFadeToBlack},
      {2, 0, kSyncMind},
      {3, 0, kSyncFlash},
      {3, 32, kSyncGlowBoost},
      {4, 0, kSyncZoomBlur},
      {4, 32, kSyncFlyby},
      {5, 0, kSyncGlowBoost},
      {5, 32, kSyncZoomBlur},
      // The chains: flash, glow on the snares, to black on the roll.
      {6, 0, kSyncFlash},
      {6, 16, kSyncGlowBoost},
      {6, 32, kSyncGlowBoost},
      {6, 48, kSyncGlowBoost},
      {7, 0, kSyncStretchBlur},
      {7, 32, kSyncZoomBlur},
      {7, 56, kSyncFadeToBlack},
      // The float: out of black (the black overlay ends a row later, under
      // the fading one), flybys and stretches.
      {8, 0, kSyncFadeFromBlack},
      {8, 1, kSyncOverlaysOff},
      {8, 32, kSyncFlyby},
      {9, 0, kSyncStretchBlur},
      {9, 32, kSyncGlowBoost},
      {10, 0, kSyncFlyby},
      {10, 48, kSyncZoomBlur},
      // The tunnel: zooms on the snares, to white on the roll.
      {11, 0, kSyncFlash},
      {11, 16, kSyncZoomBlur},
      {11, 48, kSyncZoomBlur},
      {12, 0, kSyncStretchBlur},
      {12, 32, kSyncZoomBlur},
      {12, 56, kSyncFadeToWhite},
      // The disco: a flash out of the white, glow and zooms.
      {13, 0, kSyncFlash},
      {13, 1, kSyncOverlaysOff},
      {13, 16, kSyncGlowBoost},
      {13, 32, kSyncZoomBlur},
      {13, 48, kSyncGlowBoost},
      {14, 0, kSyncStretchBlur},
      {14, 32, kSyncZoomBlur},
      {14, 48, kSyncGlowBoost},
      // The finale, and to black before the loop.
      {15, 0, kSyncFlash},
      {15, 16, kSyncGlowBoost},
      {15, 32, kSyncStretchBlur},
      {16, 0, kSyncZoomBlur},
      {16, 32, kSyncGlowBoost},
      {17, 0, kSyncFlyby},
      {17, 32, kSyncZoomBlur},
      {18, 0, kSyncFlash},
      {18, 32, kSyncStretchBlur},
      {19, 0, kSyncGlowBoost},
      {19, 80, kSyncFadeToBlack},
  };
  return cues;
}

}  // namespace demotools
