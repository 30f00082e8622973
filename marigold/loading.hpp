// Loading the demo: sound device, render targets, common resources, the
// music with its sync procedure, the event list, and the loading picture.
// Every failure ends the demo through exitDemo.
#pragma once

#include <cstdint>

#include "marigold/demo.hpp"

namespace marigold {

constexpr const char* kCommonSceneFile = "scenes\\common.lws";
constexpr const char* kMusicFile = "marigold.xm";
constexpr uint32_t kSoundRate = 44100;
constexpr int32_t kFirstSoundDevice = 0;

// Side of the large render target for a display side in pixels.
constexpr uint16_t LargeTargetSide(int displaySide) { return displaySide > 384 ? 512 : 256; }

// Opens sound device 0, else the device heard nowhere.
void InitSound(Demo& demo);
void CreateRenderTargets(Demo& demo);
// The common scene with its textures "small1" and "small2", made ready.
void LoadCommonResources(Demo& demo);
// Reads the module from the archive, hands it to the sound library from
// memory and sets the demo's sync procedure on it.
void LoadMusic(Demo& demo, const char* file);
// The event list with every scene, clip distances and extra pictures.
void BuildEventList(Demo& demo);
// The common scene's "Loading" picture over the screen at `strength`.
void DrawLoadingPicture(Demo& demo, float strength);
// Fades the loading picture out over a second.
void FadeOutLoadingPicture(Demo& demo);
// Everything after the renderer is open, up to the effects' reset.
void LoadDemo(Demo& demo);

}  // namespace marigold
