#include "marigold/loading.hpp"

#include <cstdio>
#include <cstring>
#include <vector>

#include "marigold/demo_events.hpp"
#include "marigold/engine_calls.hpp"
#include "platform/clock/clock_service.hpp"
#include "platform/window/window_service.hpp"

namespace marigold {
namespace {

constexpr float kNearClip = 0.01f;
constexpr float kFarClip = 1000.0f;
constexpr uint32_t kLoadingFadeMs = 1000;
constexpr float kLoadingFadePerMs = 0.001f;
constexpr uint32_t kWhiteAmbient = 0xFFFFFFFF;
constexpr uint32_t kDitherOn = 1;
constexpr uint32_t kMusicFlags = platform::BASS_MUSIC_RAMP;
constexpr uint32_t kSyncWithValue = 1;
constexpr const char* kLogoTexture = "marigold_logo";
constexpr const char* kLogoFile = "marigold.jpg";
constexpr const char* kSoundError = "Can't initialize BASS!";
constexpr const char* kMusicMissing = "Can't load music!";
constexpr const char* kMusicRefused = "Can't upload module!";

struct TextureFile {
  const char* name;
  const char* file;
  const void* Demo::*handle;
};
constexpr TextureFile kSmallTextures[] = {{"small1", "small1.jpg", &Demo::small1},
                                          {"small2", "small2.jpg", &Demo::small2}};

void PrepareScene(void* record) {
  Engine().uploadTextures(record);
  Engine().evictTextures(record);
  Engine().uploadSurfaces(record);
}

const void* CommonImage(Demo& demo, const char* surfaceName) {
  void* surface = Engine().openSurface(demo.commonScene, surfaceName);
  return surface ? klSurfaceImage(surface) : nullptr;
}

}  // namespace

void InitSound(Demo& demo) {
  if (platform::BASS_Init(kFirstSoundDevice, kSoundRate, 0, demo.window)) return;
  if (platform::BASS_Init(platform::kBassNoSoundDevice, kSoundRate, 0, demo.window)) return;
  demo.exitDemo(kSoundError);
}

void CreateRenderTargets(Demo& demo) {
  klSetRenderTargetSize(demo.largeTarget, LargeTargetSide(Engine().getInfo(KL_INFO_WIDTH)),
                        LargeTargetSide(Engine().getInfo(KL_INFO_HEIGHT)));
  Engine().createRenderTarget(demo.largeTarget);
  demo.renderTargetsReady = 1;
  klSetRenderTargetSize(demo.smallTarget, kSmallTargetSide, kSmallTargetSide);
  Engine().createRenderTarget(demo.smallTarget);
}

void LoadCommonResources(Demo& demo) {
  if (Engine().loadLWS(kCommonSceneFile, demo.commonScene))
    demo.commonScene[KL_SCENE_CALLER_FLAGS] |= kSceneLoaded;
  for (const TextureFile& texture : kSmallTextures) {
    void* handle = Engine().openTexture(demo.commonScene, texture.name);
    if (handle) Engine().loadTexture(texture.file, handle);
    demo.*texture.handle = handle;
  }
  PrepareScene(demo.commonScene);
}

void LoadMusic(Demo& demo, const char* file) {
  void* handle = Engine().alfOpen(file, "rb");
  if (!handle) demo.exitDemo(kMusicMissing);
  int32_t size = 0;
  std::memcpy(&size, handle, sizeof size);
  std::vector<unsigned char> buffer(size > 0 ? static_cast<size_t>(size) : 0);
  size_t read = buffer.empty() ? 0 : Engine().alfRead(buffer.data(), buffer.size(), 1, handle);
  Engine().alfClose(handle);
  // A short read leaves nothing to play rather than a torn module.
  uint32_t length = read == 1 ? static_cast<uint32_t>(buffer.size()) : 0;
  demo.music = length ? platform::BASS_MusicLoad(true, buffer.data(), 0, length, kMusicFlags) : 0;
  if (!demo.music) demo.exitDemo(kMusicRefused);
  platform::BASS_ChannelSetSync(demo.music, platform::BASS_SYNC_MUSICFX, kSyncWithValue,
                                Timeline::syncProcedure, &demo);
  platform::BASS_MusicSetPositionScaler(demo.music, kRowScale);
  if (FILE* log = Engine().logStream()) std::fprintf(log, "K2_LOADING: %s\n", file);
}

void BuildEventList(Demo& demo) {
  AppendDemoEvents(demo);
  LoadDemoScenes(demo);  // a scene that fails to load draws nothing (logged by the engine)
  for (TimelineEvent* event = demo.head; event; event = event->next) {
    if (auto* scene = dynamic_cast<SceneEvent*>(event)) {
      if (scene->scene[KL_SCENE_CALLER_FLAGS] & kSceneLoaded)
        klSetSceneClip(scene->scene, kNearClip, kFarClip);
    }
    if (auto* spiral = dynamic_cast<PicSpiralEvent*>(event)) {
      void* logo = Engine().openTexture(spiral->scene, kLogoTexture);
      if (logo) Engine().loadTexture(kLogoFile, logo);
      spiral->logo = logo;
      spiral->loading = CommonImage(demo, "Loading");
      spiral->mind = CommonImage(demo, "Mind");
    }
    if (auto* conek = dynamic_cast<ConekEvent*>(event)) {
      klSetSceneClip(conek->secondScene, kNearClip, kFarClip);
      conek->thanx = CommonImage(demo, "Thanx");
    }
  }
}

void DrawLoadingPicture(Demo& demo, float strength) {
  const void* image = CommonImage(demo, "Loading");
  Engine().startRendering();
  Engine().setRenderState(KL_RS_AMBIENT, kWhiteAmbient);
  Engine().setRenderState(KL_RS_DITHERENABLE, kDitherOn);
  Engine().putImage(0, 0, 1, 1, image, strength, 0, 0, KL_BLEND_SRCALPHA, KL_BLEND_ZERO);
  Engine().endRendering();
  Engine().showRender();
  platform::Window().HideCursor();
}

void FadeOutLoadingPicture(Demo& demo) {
  uint32_t start = platform::GetTickCount();
  for (uint32_t elapsed = 0; elapsed < kLoadingFadeMs;
       elapsed = platform::GetTickCount() - start) {
    DrawLoadingPicture(demo, 1 - static_cast<float>(elapsed) * kLoadingFadePerMs);
  }
}

void LoadDemo(Demo& demo) {
  Engine().setState(KL_STATE_CLEAR, 1);
  CreateRenderTargets(demo);
  LoadCommonResources(demo);
  DrawLoadingPicture(demo, 1);
  LoadMusic(demo, kMusicFile);
  BuildEventList(demo);
  demo.prepareAll();
  FadeOutLoadingPicture(demo);
  demo.resetEffects();
}

}  // namespace marigold
