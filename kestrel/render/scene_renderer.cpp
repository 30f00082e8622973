#include "kestrel/render/scene_renderer.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "kestrel/render/engine_state.hpp"
#include "kestrel/render/matrix.hpp"
#include "kestrel/render/scene_shader.hpp"

namespace kestrel {
namespace {

constexpr float kMinNear = 1e-4f;
constexpr float kNoCone = -2;

struct LightUniforms {
  int count = 0;
  std::string kinds;  // one letter per light (see ShaderVariant)
  float position[kMaxLights * 4] = {};
  float color[kMaxLights * 3] = {};
  float direction[kMaxLights * 3] = {};
  float cone[kMaxLights * 2] = {};
};

Vec3 Column(const Mat4& m, int column) {
  return {m.m[column * 4], m.m[column * 4 + 1], m.m[column * 4 + 2]};
}

Vec3 Normalized(Vec3 v) {
  const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  if (length <= 0) return {0, 0, 1};
  return {v.x / length, v.y / length, v.z / length};
}

LightUniforms GatherLights(const Scene& scene, double frame) {
  LightUniforms u;
  u.kinds = LightKinds(scene);  // at most kMaxLights letters: no allocation
  for (size_t i = 0; i < scene.lights.size() && u.count < kMaxLights; ++i) {
    const Light& light = scene.lights[i];
    const Mat4 world = WorldMatrix(scene, {ItemKind::Light, static_cast<int>(i)}, frame);
    const Vec3 aim = Normalized(Column(world, 2));  // lights shine along their +z
    const Vec3 at = Column(world, 3);
    const int k = u.count++;
    const bool distant = light.type == LightType::Distant;
    const Vec3 p = distant ? aim : at;
    u.position[k * 4 + 0] = p.x;
    u.position[k * 4 + 1] = p.y;
    u.position[k * 4 + 2] = p.z;
    u.position[k * 4 + 3] = distant ? 0.0f : 1.0f;
    u.color[k * 3 + 0] = light.color.x * light.intensity;
    u.color[k * 3 + 1] = light.color.y * light.intensity;
    u.color[k * 3 + 2] = light.color.z * light.intensity;
    u.direction[k * 3 + 0] = aim.x;
    u.direction[k * 3 + 1] = aim.y;
    u.direction[k * 3 + 2] = aim.z;
    if (light.type == LightType::Spot) {
      u.cone[k * 2 + 0] = std::cos(light.coneAngle);
      u.cone[k * 2 + 1] = std::cos(std::fmax(light.coneAngle - light.edgeAngle, 0.0f));
    } else {
      u.cone[k * 2 + 0] = kNoCone;
    }
  }
  return u;
}

// A surface without diffuse and specular light takes nothing from the
// lights: its program leaves them out (the same colours, less work).
bool Lit(const Surface& surface) { return surface.diffuse != 0 || surface.specular != 0; }

bool Translucent(const Surface& surface, const Image* image) {
  return surface.transparency > 0 || surface.additive || (image && image->hasAlpha);
}

// What every program of one frame shares.
struct FrameUniforms {
  Mat4 viewProjection;
  Vec3 eye;
  Vec3 ambient;
  LightUniforms lights;
  bool fog = false;
  const Fog* fogSettings = nullptr;
};

// Switches programs as the batches need them; a program gets the frame's
// uniforms the first time it is used in the frame.
class ProgramSwitch {
 public:
  explicit ProgramSwitch(const FrameUniforms& frame) : frame_(frame) {}

  // The program for the variant, current; null when it cannot be built.
  // An unlit variant leaves the lights out.
  const SceneProgram* Use(ShaderVariant variant, bool lit) {
    variant.lights = lit ? frame_.lights.kinds : std::string();  // short: no allocation
    variant.fog = frame_.fog;
    const SceneProgram& p = SceneShader(variant);
    if (!p.program) return nullptr;
    if (p.program == current_) return &p;
    glUseProgram(p.program);
    current_ = p.program;
    worldSet_ = false;
    if (std::find(prepared_.begin(), prepared_.begin() + preparedCount_, p.program) !=
        prepared_.begin() + preparedCount_) {
      return &p;
    }
    if (preparedCount_ < prepared_.size()) prepared_[preparedCount_++] = p.program;
    glUniformMatrix4fv(p.viewProjection, 1, GL_FALSE, frame_.viewProjection.m.data());
    glUniform3f(p.cameraPosition, frame_.eye.x, frame_.eye.y, frame_.eye.z);
    glUniform4fv(p.lightPosition, kMaxLights, frame_.lights.position);
    glUniform3fv(p.lightColor, kMaxLights, frame_.lights.color);
    glUniform3fv(p.lightDirection, kMaxLights, frame_.lights.direction);
    glUniform2fv(p.lightCone, kMaxLights, frame_.lights.cone);
    glUniform3f(p.ambient, frame_.ambient.x, frame_.ambient.y, frame_.ambient.z);
    const Fog& fog = *frame_.fogSettings;
    glUniform2f(p.fogRange, fog.minDistance, fog.maxDistance);
    glUniform2f(p.fogAmount, fog.minAmount, fog.maxAmount);
    glUniform3f(p.fogColor, fog.color.x, fog.color.y, fog.color.z);
    return &p;
  }

  // Whether the current program still needs this object's matrices.
  bool NeedsWorld(const void* object) {
    if (worldSet_ && worldObject_ == object) return false;
    worldSet_ = true;
    worldObject_ = object;
    return true;
  }

 private:
  // Programs given the frame's uniforms; a frame uses a handful, and one
  // beyond these only gets them again.
  static constexpr size_t kPreparedPrograms = 32;

  const FrameUniforms& frame_;
  GLuint current_ = 0;
  std::array<GLuint, kPreparedPrograms> prepared_{};
  size_t preparedCount_ = 0;
  bool worldSet_ = false;
  const void* worldObject_ = nullptr;
};

void DrawBatches(LoadedScene& loaded, ProgramSwitch& programs, double frame, bool translucent) {
  const Scene& scene = *loaded.scene;
  for (size_t i = 0; i < scene.objects.size(); ++i) {
    const ObjectItem& object = scene.objects[i];
    if (!object.mesh) continue;
    auto found = loaded.buffers.find(object.mesh.get());
    if (found == loaded.buffers.end()) continue;
    const MeshBuffers& buffers = found->second;
    const Mat4 world = WorldMatrix(scene, {ItemKind::Object, static_cast<int>(i)}, frame);
    const std::array<float, 9> normals = NormalMatrix(world);
    glBindVertexArray(buffers.vertexArray);
    for (const MeshBuffers::Batch& batch : buffers.batches) {
      if (batch.surface < 0 || batch.surface >= static_cast<int>(object.mesh->surfaces.size()))
        continue;
      const Surface& surface = object.mesh->surfaces[batch.surface];
      Image* image = batch.image;
      if (image && !UploadImage(*image)) image = nullptr;
      if (Translucent(surface, image) != translucent) continue;
      ShaderVariant variant;
      variant.textured = image != nullptr;
      variant.vertexColors = !object.mesh->colors.empty();
      variant.highlight = HighlightFor(surface.specular, surface.glossiness);
      const SceneProgram* p = programs.Use(variant, Lit(surface));
      if (!p) continue;
      if (programs.NeedsWorld(&object)) {
        glUniformMatrix4fv(p->world, 1, GL_FALSE, world.m.data());
        glUniformMatrix3fv(p->normalMatrix, 1, GL_FALSE, normals.data());
      }
      if (surface.doubleSided) {
        glDisable(GL_CULL_FACE);
      } else {
        glEnable(GL_CULL_FACE);
      }
      if (translucent) glBlendFunc(GL_SRC_ALPHA, surface.additive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
      glUniform3f(p->color, surface.color.x, surface.color.y, surface.color.z);
      glUniform1f(p->diffuse, surface.diffuse);
      glUniform1f(p->specular, surface.specular);
      if (variant.highlight == kAnyExponent) {
        glUniform1f(p->exponent, HighlightExponent(surface.glossiness));
      }
      glUniform1f(p->luminosity, surface.luminosity);
      glUniform1f(p->alpha, 1 - surface.transparency);
      if (image) {
        glUniform1f(p->imageOpacity, surface.image.opacity);
        glBindTexture(GL_TEXTURE_2D, image->texture);
      }
      glDrawElements(GL_TRIANGLES, batch.count, GL_UNSIGNED_INT,
                     reinterpret_cast<const void*>(batch.offset));
    }
  }
}

}  // namespace

std::string LightKinds(const Scene& scene) {
  std::string kinds;
  for (const Light& light : scene.lights) {
    if (kinds.size() == size_t(kMaxLights)) break;
    kinds += light.type == LightType::Distant ? 'd' : light.type == LightType::Spot ? 's' : 'p';
  }
  return kinds;
}

void PrepareScenePrograms(LoadedScene& loaded) {
  const Scene& scene = *loaded.scene;
  const std::string lights = LightKinds(scene);
  ShaderVariant variant;
  const bool fogged = scene.fog.type != FogType::Off;
  for (const ObjectItem& object : scene.objects) {
    if (!object.mesh) continue;
    for (const Surface& surface : object.mesh->surfaces) {
      variant.lights = Lit(surface) ? lights : std::string();
      variant.textured = SurfaceImage(loaded, surface) != nullptr;
      variant.vertexColors = !object.mesh->colors.empty();
      variant.highlight = HighlightFor(surface.specular, surface.glossiness);
      for (bool fog : {false, true}) {
        if (fog && !fogged) continue;
        variant.fog = fog;
        SceneShader(variant);
      }
    }
  }
}

void DrawScene(LoadedScene& loaded, const FrameSettings& settings) {
  const Scene& scene = *loaded.scene;
  if (settings.clear) {
    glClearColor(scene.backdropColor.x, scene.backdropColor.y, scene.backdropColor.z, 1);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
  UploadSceneMeshes(loaded);

  const float nearDistance = std::fmax(settings.nearDistance, kMinNear);
  const float farDistance = std::fmax(settings.farDistance, nearDistance * 2);
  // A scene without a camera is seen from the origin along +z.
  const Camera camera = scene.cameras.empty() ? Camera{} : scene.cameras[0];
  const Mat4 cameraWorld = scene.cameras.empty()
                               ? Mat4{}
                               : WorldMatrix(scene, {ItemKind::Camera, 0}, settings.frame);
  const float aspect = float(TargetWidth()) / float(std::max(TargetHeight(), 1));
  FrameUniforms frame;
  frame.viewProjection =
      Multiply(Perspective(VerticalFieldOfView(camera), aspect, nearDistance, farDistance),
               Multiply(FlipZ(), Inverse(cameraWorld)));
  frame.eye = Column(cameraWorld, 3);
  EngineState& engine = Engine();
  engine.ambient = {scene.ambientColor.x * scene.ambientIntensity,
                    scene.ambientColor.y * scene.ambientIntensity,
                    scene.ambientColor.z * scene.ambientIntensity};
  frame.ambient = engine.ambient;
  frame.lights = GatherLights(scene, settings.frame);
  frame.fog = settings.fog && scene.fog.type != FogType::Off;
  frame.fogSettings = &scene.fog;
  glActiveTexture(GL_TEXTURE0);

  // LightWave lists a polygon's corners clockwise seen from its visible side.
  glFrontFace(GL_CW);
  glCullFace(GL_BACK);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glDepthMask(GL_TRUE);
  glDisable(GL_BLEND);
  ProgramSwitch programs(frame);
  DrawBatches(loaded, programs, settings.frame, false);
  glEnable(GL_BLEND);
  glDepthMask(GL_FALSE);
  DrawBatches(loaded, programs, settings.frame, true);
  glDepthMask(GL_TRUE);
  glDisable(GL_BLEND);
  glBindVertexArray(0);
}

}  // namespace kestrel
