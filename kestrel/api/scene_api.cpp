// Scene, texture and surface calls of the C interface.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>

#include "kestrel/api/engine_parts.hpp"
#include "kestrel/kestrel.h"
#include "kestrel/render/engine_state.hpp"
#include "kestrel/render/gl_context.hpp"
#include "kestrel/render/log.hpp"
#include "kestrel/render/picture_file.hpp"
#include "kestrel/render/scene_renderer.hpp"
#include "kestrel/render/scene_shader.hpp"
#include "kestrel/scene/lws.hpp"

using namespace kestrel;

namespace {

constexpr float kDefaultNear = 0.1f;
constexpr float kDefaultFar = 1000.0f;

std::map<const void*, std::unique_ptr<LoadedScene>>& Scenes() {
  static std::map<const void*, std::unique_ptr<LoadedScene>> scenes;
  return scenes;
}

LoadedScene* Find(const void* record, const char* call) {
  auto it = record ? Scenes().find(record) : Scenes().end();
  if (it == Scenes().end()) {
    Log("%s: %p holds no scene", call, record);
    return nullptr;
  }
  return it->second.get();
}

float ReadFloat(const void* record, size_t offset) {
  float value;
  std::memcpy(&value, static_cast<const char*>(record) + offset, sizeof value);
  return value;
}

void WriteFloat(void* record, size_t offset, float value) {
  std::memcpy(static_cast<char*>(record) + offset, &value, sizeof value);
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

void Forget(LoadedScene& loaded, bool withContext) {
  if (withContext) ReleaseSceneGpu(loaded);
  for (auto& [name, image] : loaded.textures) UnregisterImage(image.get());
}

void Release(const void* record) {
  auto it = Scenes().find(record);
  if (it == Scenes().end()) return;
  ContextScope scope;
  Forget(*it->second, scope.ok());
  Scenes().erase(it);
}

}  // namespace

namespace kestrel {

void ReleaseAllScenes(bool withContext) {
  for (auto& [record, loaded] : Scenes()) Forget(*loaded, withContext);
  Scenes().clear();
  if (withContext) ReleaseSceneShader();
}

}  // namespace kestrel

extern "C" {

int klLoadLWS(const char* file, void* record) {
  if (!record) return 0;
  Release(record);
  if (!file) return 0;
  std::unique_ptr<Scene> scene = LoadScene(file);
  if (!scene) return 0;
  auto loaded = std::make_unique<LoadedScene>();
  loaded->scene = std::move(scene);
  LoadSceneTextures(*loaded);
  WriteFloat(record, KL_SCENE_FPS, static_cast<float>(loaded->scene->framesPerSecond));
  WriteFloat(record, KL_SCENE_NEAR, kDefaultNear);
  WriteFloat(record, KL_SCENE_FAR, kDefaultFar);
  Scenes()[record] = std::move(loaded);
  return 1;
}

int klRenderFrame(void* record, float frame) {
  LoadedScene* loaded = Find(record, "klRenderFrame");
  if (!loaded) return 0;
  ContextScope scope;
  if (!scope.ok()) return 0;
  FrameSettings settings;
  settings.frame = frame;
  settings.nearDistance = ReadFloat(record, KL_SCENE_NEAR);
  settings.farDistance = ReadFloat(record, KL_SCENE_FAR);
  if (!(settings.nearDistance > 0) || !(settings.farDistance > settings.nearDistance)) {
    settings.nearDistance = kDefaultNear;
    settings.farDistance = kDefaultFar;
  }
  settings.clear = Engine().clearBeforeFrame;
  settings.fog = Engine().depthFog;
  BindTarget();
  DrawScene(*loaded, settings);
  return 1;
}

KLtexture* klOpenTexture(void* record, const char* name) {
  LoadedScene* loaded = Find(record, "klOpenTexture");
  if (!loaded || !name) return nullptr;
  return reinterpret_cast<KLtexture*>(&SceneTexture(*loaded, name));
}

int klLoadTexture(const char* file, KLtexture* texture) {
  Image* image = FindImage(texture);
  if (!file || !image || image != reinterpret_cast<Image*>(texture)) {
    Log("klLoadTexture: %p is not a texture", static_cast<void*>(texture));
    return 0;
  }
  std::optional<Picture> picture = LoadPicture(file);
  if (!picture) return 0;
  SetPicture(*image, std::move(*picture));
  return 1;
}

void* klOpenSurface(void* record, const char* name) {
  LoadedScene* loaded = Find(record, "klOpenSurface");
  if (!loaded || !name) return nullptr;
  const std::string key = Lower(name);
  auto& slot = loaded->surfaces[key];
  if (slot) return slot->bytes;
  for (const ObjectItem& object : loaded->scene->objects) {
    if (!object.mesh) continue;
    for (const Surface& surface : object.mesh->surfaces) {
      if (Lower(surface.name) != key) continue;
      slot = std::make_unique<SurfaceRecord>();
      const void* image = SurfaceImage(*loaded, surface);
      std::memcpy(slot->bytes + KL_SURFACE_IMAGE, &image, sizeof image);
      return slot->bytes;
    }
  }
  loaded->surfaces.erase(key);
  Log("klOpenSurface: no surface \"%s\"", name);
  return nullptr;
}

int klUploadTextures(void* record) {
  LoadedScene* loaded = Find(record, "klUploadTextures");
  if (!loaded) return 0;
  ContextScope scope;
  if (scope.ok()) UploadSceneTextures(*loaded);
  return 1;
}

int klEvictTextures(void* record) {
  LoadedScene* loaded = Find(record, "klEvictTextures");
  if (!loaded) return 0;
  EvictSceneTextures(*loaded);
  return 1;
}

int klUploadSurfaces(void* record) {
  LoadedScene* loaded = Find(record, "klUploadSurfaces");
  if (!loaded) return 0;
  ContextScope scope;
  if (scope.ok()) {
    UploadSceneMeshes(*loaded);
    PrepareScenePrograms(*loaded);
  }
  return 1;
}

void klDoneScene(void* record) { Release(record); }

}  // extern "C"
