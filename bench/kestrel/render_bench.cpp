// The engine's scene drawing against a bare OpenGL program that draws the
// same vertices with the same textures and one shader, offscreen on Mesa.
//
// The scene: a 100 x 100 grid bent into a dome, 20,000 triangles in two
// planar-mapped textured surfaces, lit by a distant, a point and a spot
// light, turning a little every frame.
#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "kestrel/kestrel.h"
#include "kestrel/render/gl_context.hpp"
#include "kestrel/render/readback.hpp"
#include "kestrel/render/shader.hpp"
#include "kestrel/scene/lwo.hpp"

namespace {

namespace fs = std::filesystem;

constexpr int kGrid = 100;  // quads per side: 2 x 100 x 100 triangles
constexpr int kTextureSide = 256;
constexpr int kFramesPerTurn = 240;

using Bytes = std::vector<uint8_t>;

void U2(Bytes& b, uint16_t v) {
  b.push_back(uint8_t(v >> 8));
  b.push_back(uint8_t(v));
}
void U4(Bytes& b, uint32_t v) {
  U2(b, uint16_t(v >> 16));
  U2(b, uint16_t(v));
}
void F4(Bytes& b, float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, 4);
  U4(b, bits);
}
void Id(Bytes& b, const char* id) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(id[i]));
}
void S0(Bytes& b, const std::string& s) {
  for (char c : s) b.push_back(uint8_t(c));
  b.push_back(0);
  if ((s.size() + 1) & 1) b.push_back(0);
}
void Append(Bytes& to, const Bytes& more) {
  for (uint8_t byte : more) to.push_back(byte);
}
Bytes Chunk(const char* id, const Bytes& body, bool sub = false) {
  Bytes b;
  Id(b, id);
  if (sub) U2(b, uint16_t(body.size())); else U4(b, uint32_t(body.size()));
  Append(b, body);
  if (body.size() & 1) b.push_back(0);
  return b;
}

Bytes Surface(const std::string& name, const std::string& picture) {
  Bytes body, t;
  S0(body, name);
  Bytes flag;
  U2(flag, 1 << 2);  // smoothing
  Append(body, Chunk("FLAG", flag, true));
  Bytes diffuse;
  F4(diffuse, 0.9f);
  Append(body, Chunk("VDIF", diffuse, true));
  Bytes specular;
  F4(specular, 0.4f);
  Append(body, Chunk("VSPC", specular, true));
  S0(t, "Planar Image Map");
  Append(body, Chunk("CTEX", t, true));
  t.clear();
  S0(t, picture);
  Append(body, Chunk("TIMG", t, true));
  t.clear();
  U2(t, 4);  // z axis
  Append(body, Chunk("TFLG", t, true));
  t.clear();
  F4(t, 1);
  F4(t, 1);
  F4(t, 1);
  Append(body, Chunk("TSIZ", t, true));
  return Chunk("SURF", body);
}

// The dome as an LWOB object; left and right halves have their own surface.
Bytes DomeObject() {
  Bytes srfs, pnts, pols;
  S0(srfs, "Left");
  S0(srfs, "Right");
  for (int j = 0; j <= kGrid; ++j) {
    for (int i = 0; i <= kGrid; ++i) {
      const float x = float(i) / kGrid * 2 - 1, y = float(j) / kGrid * 2 - 1;
      F4(pnts, x);
      F4(pnts, y);
      F4(pnts, 0.5f * (x * x + y * y));  // bowl opening towards the camera
    }
  }
  auto at = [](int i, int j) { return uint16_t(j * (kGrid + 1) + i); };
  for (int j = 0; j < kGrid; ++j) {
    for (int i = 0; i < kGrid; ++i) {
      const uint16_t surface = i < kGrid / 2 ? 1 : 2;
      const uint16_t a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
      // Clockwise seen from the camera at -z.
      for (auto tri : {std::array<uint16_t, 3>{a, d, c}, std::array<uint16_t, 3>{a, c, b}}) {
        U2(pols, 3);
        for (uint16_t k : tri) U2(pols, k);
        U2(pols, surface);
      }
    }
  }
  Bytes form;
  Id(form, "LWOB");
  Append(form, Chunk("SRFS", srfs));
  Append(form, Chunk("PNTS", pnts));
  Append(form, Chunk("POLS", pols));
  Append(form, Surface("Left", "stripes.png"));
  Append(form, Surface("Right", "checks.png"));
  return Chunk("FORM", form);
}

std::string Motion(const char* keyword, std::initializer_list<std::pair<int, double>> changes,
                   bool turning = false) {
  double values[9] = {0, 0, 0, 0, 0, 0, 1, 1, 1};
  for (auto [channel, value] : changes) values[channel] = value;
  std::string text = std::string(keyword) + "\nNumChannels 9\n";
  for (int channel = 0; channel < 9; ++channel) {
    text += "Channel " + std::to_string(channel) + "\n{ Envelope\n";
    if (turning && channel == 5) {
      text += "  2\n  Key 0 0 0 0 0 0 0 0 0\n  Key 6.2831853 8 3 0 0 0 0 0 0\n"
              "  Behaviors 2 2\n}\n";
    } else {
      text += "  1\n  Key " + std::to_string(values[channel]) +
              " 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n";
    }
  }
  return text;
}

std::string DomeScene() {
  return "LWSC\n3\n\nFirstFrame 0\nLastFrame 240\nFramesPerSecond 30\n\n"
         "LoadObjectLayer 1 dome.lwo\n" + Motion("ObjectMotion", {}, true) +
         "\nAmbientColor 1 1 1\nAmbientIntensity 0.1\n"
         "AddLight\nLightName Sun\n" + Motion("LightMotion", {{3, 0.4}, {4, 0.3}}) +
         "LightColor 1 1 1\nLightIntensity 0.8\nLightType 0\n"
         "AddLight\nLightName Lamp\n" + Motion("LightMotion", {{0, 0.5}, {1, 0.5}, {2, -1}}) +
         "LightColor 1 0.8 0.6\nLightIntensity 0.6\nLightType 1\n"
         "AddLight\nLightName Spot\n" + Motion("LightMotion", {{2, -3}}) +
         "LightColor 0.6 0.8 1\nLightIntensity 0.6\nLightType 2\nLightConeAngle 20\n"
         "LightEdgeAngle 5\n"
         "AddCamera\nCameraName Camera\n" + Motion("CameraMotion", {{2, -2.5}}) +
         "ZoomFactor 2.0\nBackdropColor 0 0 0\n";
}

kestrel::Snapshot Pattern(bool checks) {
  kestrel::Snapshot picture{kTextureSide, kTextureSide, {}};
  picture.rgba.resize(size_t(kTextureSide) * kTextureSide * 4);
  for (int y = 0; y < kTextureSide; ++y) {
    for (int x = 0; x < kTextureSide; ++x) {
      uint8_t* p = &picture.rgba[(size_t(y) * kTextureSide + x) * 4];
      const bool on = checks ? ((x / 32 + y / 32) & 1) : ((x / 16) & 1);
      p[0] = on ? 230 : 40;
      p[1] = checks ? (on ? 200 : 60) : uint8_t(x);
      p[2] = checks ? 80 : uint8_t(y);
      p[3] = 255;
    }
  }
  return picture;
}

// A folder with the scene, its object and its two pictures; entered.
void WriteSceneFolder() {
  static bool written = false;
  if (written) return;
  static const fs::path folder =
      fs::temp_directory_path() / ("kestrel-bench-" + std::to_string(getpid()));
  fs::create_directories(folder);
  fs::current_path(folder);
  std::atexit([] {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  });
  const Bytes object = DomeObject();
  std::ofstream("dome.lwo", std::ios::binary).write(reinterpret_cast<const char*>(object.data()),
                                                    std::streamsize(object.size()));
  std::ofstream("dome.lws") << DomeScene();
  kestrel::WritePng("stripes.png", Pattern(false));
  kestrel::WritePng("checks.png", Pattern(true));
  written = true;
}

bool OpenDisplay(int width, int height) {
  WriteSceneFolder();
  klInitialize(nullptr, 0);
  unsigned char config[KL_RENDERER_CONFIG_SIZE] = {};
  const int32_t size[2] = {width, height};
  std::memcpy(config + KL_CONFIG_WIDTH, &size[0], 4);
  std::memcpy(config + KL_CONFIG_HEIGHT, &size[1], 4);
  return klSetupRenderer(config) == 1;
}

void Finish() {
  kestrel::ContextScope scope;
  if (scope.ok()) glFinish();
}

void BM_RenderSceneFrame(benchmark::State& state) {
  if (!OpenDisplay(int(state.range(0)), int(state.range(1)))) {
    state.SkipWithError("no OpenGL display");
    return;
  }
  unsigned char scene[KL_SCENE_SIZE] = {};
  if (!klLoadLWS("dome.lws", scene)) {
    state.SkipWithError("scene does not load");
    klDone();
    return;
  }
  klUploadTextures(scene);
  klEvictTextures(scene);
  klUploadSurfaces(scene);
  klRenderFrame(scene, 0);  // shaders are compiled at their first draw
  Finish();
  int frame = 0;
  for (auto _ : state) {
    klRenderFrame(scene, float(frame++ % kFramesPerTurn) + 0.5f);
    klShowRender();
    Finish();
  }
  state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  klDoneScene(scene);
  klDone();
}

// ---- the bare program ----------------------------------------------------

constexpr const char* kBareVertex = R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 texCoord;
uniform mat4 world;
uniform mat4 viewProjection;
out vec3 worldPosition;
out vec3 worldNormal;
out vec2 uv;
void main() {
  vec4 p = world * vec4(position, 1.0);
  worldPosition = p.xyz;
  worldNormal = mat3(world) * normal;
  uv = texCoord;
  gl_Position = viewProjection * p;
}
)";

constexpr const char* kBareFragment = R"(#version 330 core
uniform sampler2D picture;
uniform vec3 eye;
uniform vec3 sunDirection, lampPosition, spotPosition, spotDirection;
uniform vec3 sunColor, lampColor, spotColor, ambient;
in vec3 worldPosition;
in vec3 worldNormal;
in vec2 uv;
out vec4 fragment;
vec3 Shade(vec3 n, vec3 l, vec3 colour, vec3 toEye) {
  float nl = max(dot(n, l), 0.0);
  vec3 h = normalize(l + toEye);
  return colour * (0.9 * nl) + colour * (0.4 * pow(max(dot(n, h), 0.0), 64.0));
}
void main() {
  vec3 n = normalize(worldNormal);
  if (!gl_FrontFacing) n = -n;
  vec3 toEye = normalize(eye - worldPosition);
  vec3 base = texture(picture, uv).rgb;
  vec3 lit = ambient + Shade(n, -sunDirection, sunColor, toEye)
           + Shade(n, normalize(lampPosition - worldPosition), lampColor, toEye);
  vec3 toSpot = normalize(spotPosition - worldPosition);
  lit += Shade(n, toSpot, spotColor, toEye) * smoothstep(0.94, 0.97, dot(-toSpot, spotDirection));
  fragment = vec4(base * lit, 1.0);
}
)";

struct BareScene {
  GLuint program = 0, vertexArray = 0, vertices = 0, indices = 0;
  GLuint textures[2] = {};
  std::vector<std::pair<size_t, GLsizei>> batches;  // index offset, count
};

GLuint UploadTexture(const kestrel::Snapshot& picture) {
  GLuint texture;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, picture.width, picture.height, 0, GL_RGBA,
               GL_UNSIGNED_BYTE, picture.rgba.data());
  glGenerateMipmap(GL_TEXTURE_2D);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  return texture;
}

// The same mesh the engine builds from the same object file.
bool BuildBare(BareScene& bare) {
  std::string error;
  std::unique_ptr<kestrel::ObjectFile> object = kestrel::LoadObjectFile("dome.lwo", &error);
  if (!object) return false;
  const kestrel::Mesh mesh = kestrel::BuildMesh(*object, 0);
  std::vector<float> vertices;
  for (size_t i = 0; i < mesh.positions.size(); ++i) {
    const kestrel::Vec3 p = mesh.positions[i], n = mesh.normals[i];
    const kestrel::Vec2 uv = i < mesh.uvs.size() ? mesh.uvs[i] : kestrel::Vec2{};
    vertices.insert(vertices.end(), {p.x, p.y, p.z, n.x, n.y, n.z, uv.x, uv.y});
  }
  std::vector<uint32_t> indices;
  for (const kestrel::SurfaceBatch& batch : mesh.batches) {
    bare.batches.emplace_back(indices.size() * 4, GLsizei(batch.indices.size()));
    indices.insert(indices.end(), batch.indices.begin(), batch.indices.end());
  }
  bare.program = kestrel::BuildProgram(kBareVertex, kBareFragment, "bare");
  if (!bare.program) return false;
  glGenVertexArrays(1, &bare.vertexArray);
  glBindVertexArray(bare.vertexArray);
  glGenBuffers(1, &bare.vertices);
  glBindBuffer(GL_ARRAY_BUFFER, bare.vertices);
  glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertices.size() * 4), vertices.data(), GL_STATIC_DRAW);
  glGenBuffers(1, &bare.indices);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, bare.indices);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * 4), indices.data(),
               GL_STATIC_DRAW);
  for (GLuint a = 0; a < 3; ++a) glEnableVertexAttribArray(a);
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 32, nullptr);
  glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, 32, reinterpret_cast<void*>(12));
  glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, 32, reinterpret_cast<void*>(24));
  bare.textures[0] = UploadTexture(Pattern(false));
  bare.textures[1] = UploadTexture(Pattern(true));
  return true;
}

void BM_BareGlFrame(benchmark::State& state) {
  const int width = int(state.range(0)), height = int(state.range(1));
  if (!OpenDisplay(width, height)) {
    state.SkipWithError("no OpenGL display");
    return;
  }
  {
    kestrel::ContextScope scope;
    BareScene bare;
    if (!scope.ok() || !BuildBare(bare)) {
      state.SkipWithError("bare program cannot be built");
    } else {
      glUseProgram(bare.program);
      auto at = [&](const char* name) { return glGetUniformLocation(bare.program, name); };
      // Camera 2.5 units in front, zoom 2 (vertical field of view 2 atan(1/2)).
      const float f = 2.0f, aspect = float(width) / float(height), n = 0.1f, far = 1000;
      const float viewProjection[16] = {f / aspect, 0, 0, 0, 0, f, 0, 0,
                                        0, 0, (far + n) / (far - n), 1,
                                        0, 0, 2.5f * (far + n) / (far - n) - 2 * far * n / (far - n), 2.5f};
      glUniformMatrix4fv(at("viewProjection"), 1, GL_FALSE, viewProjection);
      glUniform3f(at("eye"), 0, 0, -2.5f);
      glUniform3f(at("sunDirection"), 0.37f, -0.29f, 0.88f);
      glUniform3f(at("lampPosition"), 0.5f, 0.5f, -1);
      glUniform3f(at("spotPosition"), 0, 0, -3);
      glUniform3f(at("spotDirection"), 0, 0, 1);
      glUniform3f(at("sunColor"), 0.8f, 0.8f, 0.8f);
      glUniform3f(at("lampColor"), 0.6f, 0.48f, 0.36f);
      glUniform3f(at("spotColor"), 0.36f, 0.48f, 0.6f);
      glUniform3f(at("ambient"), 0.1f, 0.1f, 0.1f);
      const GLint world = at("world");
      glEnable(GL_DEPTH_TEST);
      glEnable(GL_CULL_FACE);
      glFrontFace(GL_CW);
      glBindFramebuffer(GL_FRAMEBUFFER, 0);
      glViewport(0, 0, width, height);
      glBindVertexArray(bare.vertexArray);
      for (size_t b = 0; b < bare.batches.size(); ++b) {  // compiled at the first draw
        glDrawElements(GL_TRIANGLES, bare.batches[b].second, GL_UNSIGNED_INT,
                       reinterpret_cast<void*>(bare.batches[b].first));
      }
      glFinish();
      int frame = 0;
      for (auto _ : state) {
        const float angle = float(frame++ % kFramesPerTurn) / kFramesPerTurn * 6.2831853f;
        const float c = std::cos(angle), s = std::sin(angle);
        const float bank[16] = {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glUniformMatrix4fv(world, 1, GL_FALSE, bank);
        for (size_t b = 0; b < bare.batches.size(); ++b) {
          glBindTexture(GL_TEXTURE_2D, bare.textures[b % 2]);
          glDrawElements(GL_TRIANGLES, bare.batches[b].second, GL_UNSIGNED_INT,
                         reinterpret_cast<void*>(bare.batches[b].first));
        }
        kestrel::SwapScreen();
        glFinish();
      }
      state.counters["fps"] =
          benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
      glDeleteTextures(2, bare.textures);
      glDeleteBuffers(1, &bare.vertices);
      glDeleteBuffers(1, &bare.indices);
      glDeleteVertexArrays(1, &bare.vertexArray);
      glDeleteProgram(bare.program);
    }
  }
  klDone();
}

BENCHMARK(BM_RenderSceneFrame)->Args({640, 480})->Args({1920, 1080})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BareGlFrame)->Args({640, 480})->Args({1920, 1080})->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
