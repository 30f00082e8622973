// --frame: loads the scene as the demo does and renders one frame offscreen
// into a PNG file.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "kestrel/kestrel.h"
#include "kestrel/render/readback.hpp"
#include "tools/kestrel_view/view.hpp"

namespace kestrel_view {
namespace {

constexpr float kNearDistance = 0.01f;
constexpr float kFarDistance = 1000.0f;

int Fail(const char* message, const std::string& subject) {
  std::fprintf(stderr, "kestrel-view: %s%s\n", message, subject.c_str());
  return 1;
}

int Render(const Options& options) {
  unsigned char config[KL_RENDERER_CONFIG_SIZE] = {};
  const int32_t width = options.width, height = options.height;
  std::memcpy(config + KL_CONFIG_WIDTH, &width, sizeof width);
  std::memcpy(config + KL_CONFIG_HEIGHT, &height, sizeof height);
  if (!klSetupRenderer(config)) return Fail("cannot open an offscreen OpenGL 3.3 display", "");
  unsigned char scene[KL_SCENE_SIZE] = {};
  if (!klLoadLWS(options.scene.c_str(), scene)) return Fail("cannot load scene ", options.scene);
  klSetSceneClip(scene, kNearDistance, kFarDistance);
  klUploadTextures(scene);
  klEvictTextures(scene);
  klUploadSurfaces(scene);
  klSetState(KL_STATE_CLEAR, 1);
  klSetState(KL_STATE_FOG, 1);
  klRenderFrame(scene, static_cast<float>(options.frame));
  const kestrel::Snapshot shot = kestrel::ReadPixels(nullptr);
  klDoneScene(scene);
  if (shot.rgba.empty()) return Fail("nothing to read back", "");
  if (!kestrel::WritePng(options.output, shot)) return Fail("cannot write ", options.output);
  return 0;
}

}  // namespace

int RenderFrame(const Options& options) {
  if (!options.archive.empty() && !alfInit(options.archive.c_str())) {
    return Fail("cannot open archive ", options.archive);
  }
  klInitialize(nullptr, 0);
  const int result = Render(options);
  klDone();
  return result;
}

}  // namespace kestrel_view
