#include "kestrel/render/scene_resources.hpp"

#include <algorithm>
#include <cctype>

#include "kestrel/render/log.hpp"
#include "kestrel/render/picture_file.hpp"

namespace kestrel {
namespace {

// Interleaved vertex: position, normal, uv, colour.
constexpr int kFloatsPerVertex = 12;

void ForEachMesh(const LoadedScene& loaded, const auto& visit) {
  for (const ObjectItem& object : loaded.scene->objects) {
    if (object.mesh) visit(*object.mesh);
  }
}

MeshBuffers BuildBuffers(const Mesh& mesh) {
  std::vector<float> vertices(mesh.positions.size() * kFloatsPerVertex);
  for (size_t i = 0; i < mesh.positions.size(); ++i) {
    float* v = &vertices[i * kFloatsPerVertex];
    const Vec3 p = mesh.positions[i];
    const Vec3 n = i < mesh.normals.size() ? mesh.normals[i] : Vec3{0, 1, 0};
    const Vec2 uv = i < mesh.uvs.size() ? mesh.uvs[i] : Vec2{};
    const Vec4 c = i < mesh.colors.size() ? mesh.colors[i] : Vec4{1, 1, 1, 1};
    const float values[kFloatsPerVertex] = {p.x, p.y, p.z, n.x, n.y, n.z, uv.x, uv.y,
                                            c.x, c.y, c.z, c.w};
    std::copy(std::begin(values), std::end(values), v);
  }
  std::vector<uint32_t> indices;
  MeshBuffers buffers;
  for (const SurfaceBatch& batch : mesh.batches) {
    MeshBuffers::Batch part;
    part.surface = batch.surface;
    part.offset = indices.size() * sizeof(uint32_t);
    for (uint32_t index : batch.indices) {
      if (index < mesh.positions.size()) indices.push_back(index);
    }
    part.count = static_cast<GLsizei>(indices.size() - part.offset / sizeof(uint32_t));
    if (part.count > 0) buffers.batches.push_back(part);
  }
  glGenVertexArrays(1, &buffers.vertexArray);
  glBindVertexArray(buffers.vertexArray);
  glGenBuffers(1, &buffers.vertices);
  glBindBuffer(GL_ARRAY_BUFFER, buffers.vertices);
  glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertices.size() * sizeof(float)), vertices.data(),
               GL_STATIC_DRAW);
  glGenBuffers(1, &buffers.indices);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers.indices);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * sizeof(uint32_t)),
               indices.data(), GL_STATIC_DRAW);
  const GLsizei stride = kFloatsPerVertex * sizeof(float);
  const int sizes[] = {3, 3, 2, 4};
  size_t offset = 0;
  for (GLuint attribute = 0; attribute < 4; ++attribute) {
    glEnableVertexAttribArray(attribute);
    glVertexAttribPointer(attribute, sizes[attribute], GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offset * sizeof(float)));
    offset += sizes[attribute];
  }
  glBindVertexArray(0);
  return buffers;
}

}  // namespace

std::string TextureName(const std::string& path) {
  std::string name = path;
  const size_t slash = name.find_last_of("/\\:");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return name;
}

Image& SceneTexture(LoadedScene& loaded, const std::string& name) {
  auto& slot = loaded.textures[TextureName(name)];
  if (!slot) {
    slot = std::make_unique<Image>();
    slot->name = TextureName(name);
    RegisterImage(slot.get(), slot.get());
  }
  return *slot;
}

void LoadSceneTextures(LoadedScene& loaded) {
  ForEachMesh(loaded, [&](const Mesh& mesh) {
    for (const Surface& surface : mesh.surfaces) {
      if (!surface.hasImage) continue;
      const std::string& source =
          surface.image.imagePath.empty() ? surface.image.imageName : surface.image.imagePath;
      Image& image = SceneTexture(loaded, source);
      if (image.width > 0 || surface.image.imagePath.empty()) continue;
      if (std::optional<Picture> picture = LoadPicture(surface.image.imagePath)) {
        SetPicture(image, std::move(*picture));
      }
    }
  });
}

Image* SurfaceImage(LoadedScene& loaded, const Surface& surface) {
  if (!surface.hasImage) return nullptr;
  const std::string& source =
      surface.image.imagePath.empty() ? surface.image.imageName : surface.image.imagePath;
  auto it = loaded.textures.find(TextureName(source));
  return it == loaded.textures.end() ? nullptr : it->second.get();
}

void UploadSceneTextures(LoadedScene& loaded) {
  for (auto& [name, image] : loaded.textures) UploadImage(*image);
}

void EvictSceneTextures(LoadedScene& loaded) {
  for (auto& [name, image] : loaded.textures) EvictImage(*image);
}

void UploadSceneMeshes(LoadedScene& loaded) {
  ForEachMesh(loaded, [&](const Mesh& mesh) {
    if (loaded.buffers.count(&mesh)) return;
    MeshBuffers buffers = BuildBuffers(mesh);
    // Images live as long as the scene: looked up once, not every frame.
    for (MeshBuffers::Batch& batch : buffers.batches) {
      if (batch.surface >= 0 && batch.surface < static_cast<int>(mesh.surfaces.size())) {
        batch.image = SurfaceImage(loaded, mesh.surfaces[batch.surface]);
      }
    }
    loaded.buffers[&mesh] = std::move(buffers);
  });
}

void ReleaseSceneGpu(LoadedScene& loaded) {
  for (auto& [mesh, buffers] : loaded.buffers) {
    glDeleteVertexArrays(1, &buffers.vertexArray);
    glDeleteBuffers(1, &buffers.vertices);
    glDeleteBuffers(1, &buffers.indices);
  }
  loaded.buffers.clear();
  for (auto& [name, image] : loaded.textures) ReleaseImage(*image);
}

}  // namespace kestrel
