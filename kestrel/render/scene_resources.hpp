// A loaded scene with what drawing it needs: its textures by name, its
// surface records, and the vertex buffers of its meshes.
#pragma once

#include <epoxy/gl.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "kestrel/kestrel.h"
#include "kestrel/render/image.hpp"
#include "kestrel/scene/model.hpp"

namespace kestrel {

struct MeshBuffers {
  GLuint vertexArray = 0, vertices = 0, indices = 0;
  struct Batch {
    int surface = 0;
    GLsizei count = 0;
    size_t offset = 0;  // bytes into the index buffer
    Image* image = nullptr;  // the surface's colour image, or null
  };
  std::vector<Batch> batches;
};

// The surface record handed out by klOpenSurface.
struct SurfaceRecord {
  unsigned char bytes[KL_SURFACE_SIZE] = {};
};

struct LoadedScene {
  std::unique_ptr<Scene> scene;
  std::map<std::string, std::unique_ptr<Image>> textures;  // by lower-case name
  std::map<std::string, std::unique_ptr<SurfaceRecord>> surfaces;
  std::map<const Mesh*, MeshBuffers> buffers;
};

// Lower-case base name without folder and extension: the name textures go by.
std::string TextureName(const std::string& path);
// The texture called `name` (any case; a path is reduced to its name),
// created empty when missing.
Image& SceneTexture(LoadedScene& loaded, const std::string& name);
// Loads the pictures the scene's surfaces map (missing ones are logged).
void LoadSceneTextures(LoadedScene& loaded);
// The texture of a surface's colour image, or null.
Image* SurfaceImage(LoadedScene& loaded, const Surface& surface);

// Graphics-memory side (context current).
void UploadSceneTextures(LoadedScene& loaded);
void EvictSceneTextures(LoadedScene& loaded);
void UploadSceneMeshes(LoadedScene& loaded);
void ReleaseSceneGpu(LoadedScene& loaded);

}  // namespace kestrel
