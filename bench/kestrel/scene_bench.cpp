// Object loading beside Assimp on the same LWO2 files, and envelope
// evaluations per second.
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "kestrel/archive/archive.hpp"
#include "kestrel/scene/lwo.hpp"
#include "kestrel/scene/model.hpp"

namespace {

// Real objects from other tools, and a generated 20,000-quad grid.
const char* const kRealObjects[] = {"UglyVertexColors.lwo", "box_2vc_1unused.lwo", "hierarchy.lwo",
                                    "sphere_with_gradient.lwo"};
constexpr int kGridSide = 142;  // 141 x 141 quads, about 20,000

void U2(std::string& b, uint16_t v) {
  b.push_back(char(v >> 8));
  b.push_back(char(v));
}
void U4(std::string& b, uint32_t v) {
  U2(b, uint16_t(v >> 16));
  U2(b, uint16_t(v));
}
void F4(std::string& b, float f) {
  uint32_t v;
  std::memcpy(&v, &f, 4);
  U4(b, v);
}
std::string Chunk(const char* id, const std::string& body) {
  std::string b(id, 4);
  U4(b, uint32_t(body.size()));
  return b + body + (body.size() & 1 ? std::string(1, '\0') : std::string());
}

// A wavy grid: one layer, one smoothed surface, a UV map.
std::string GridPath() {
  static const std::string path = [] {
    std::string pnts, pols = "FACE", vmap = "TXUV", ptag = "SURF", surf;
    U2(vmap, 2);
    vmap += std::string("uv\0\0", 4);
    for (int y = 0; y < kGridSide; ++y)
      for (int x = 0; x < kGridSide; ++x) {
        const uint32_t i = uint32_t(y * kGridSide + x);
        F4(pnts, float(x));
        F4(pnts, std::sin(x * 0.3f) * std::cos(y * 0.2f));
        F4(pnts, float(y));
        if (i < 0xff00) U2(vmap, uint16_t(i)); else U4(vmap, 0xff000000u | i);
        F4(vmap, float(x) / kGridSide);
        F4(vmap, float(y) / kGridSide);
      }
    auto vx = [](std::string& b, uint32_t i) {
      if (i < 0xff00) U2(b, uint16_t(i)); else U4(b, 0xff000000u | i);
    };
    uint32_t polygon = 0;
    for (int y = 0; y + 1 < kGridSide; ++y)
      for (int x = 0; x + 1 < kGridSide; ++x, ++polygon) {
        const uint32_t i = uint32_t(y * kGridSide + x);
        U2(pols, 4);
        for (uint32_t c : {i, i + kGridSide, i + kGridSide + 1, i + 1}) vx(pols, c);
        vx(ptag, polygon);
        U2(ptag, 0);
      }
    surf = std::string("Grid\0\0", 6) + std::string("\0\0", 2);
    surf += "SMAN";
    U2(surf, 4);
    F4(surf, 1.5f);
    const std::string body = "LWO2" + Chunk("TAGS", std::string("Grid\0\0", 6)) +
                             Chunk("LAYR", std::string(12, '\0') + std::string("\0\0\0\0\0\0", 6)) +
                             Chunk("PNTS", pnts) + Chunk("VMAP", vmap) + Chunk("POLS", pols) +
                             Chunk("PTAG", ptag) + Chunk("SURF", surf);
    const std::string file = (std::filesystem::temp_directory_path() / "kestrel_bench_grid.lwo").string();
    std::ofstream(file, std::ios::binary) << Chunk("FORM", body);
    return file;
  }();
  return path;
}

std::vector<std::string> Objects(benchmark::State& state) {
  std::vector<std::string> files;
  if (state.range(0) == 0) {
    files.push_back(GridPath());
    return files;
  }
  const std::string folder = std::string(SUITE_TESTDATA_DIR) + "/lightwave/LWO2/";
  for (const char* name : kRealObjects)
    if (std::filesystem::exists(folder + name)) files.push_back(folder + name);
  return files;
}

void BM_LoadObject(benchmark::State& state) {
  const auto files = Objects(state);
  if (files.empty()) return state.SkipWithError("test data absent");
  size_t triangles = 0;
  for (auto _ : state) {
    for (const auto& file : files) {
      // Read, parse, triangulate and smooth; image paths are left alone, as
      // Assimp leaves them.
      std::string error;
      const auto bytes = kestrel::ReadDataFile(file);
      const auto object = bytes ? kestrel::ParseObject(*bytes, &error) : nullptr;
      if (!object) return state.SkipWithError(error.c_str());
      const kestrel::Mesh mesh = kestrel::BuildMesh(*object, 0);
      triangles = mesh.TriangleCount();
      benchmark::DoNotOptimize(triangles);
    }
  }
  state.SetItemsProcessed(int64_t(state.iterations() * files.size()));
}
BENCHMARK(BM_LoadObject)->Arg(0)->Arg(1)->ArgName("real")->Unit(benchmark::kMillisecond);

void BM_AssimpLoadObject(benchmark::State& state) {
  const auto files = Objects(state);
  if (files.empty()) return state.SkipWithError("test data absent");
  for (auto _ : state) {
    for (const auto& file : files) {
      Assimp::Importer importer;
      const aiScene* scene = importer.ReadFile(file, aiProcess_Triangulate);
      if (!scene) return state.SkipWithError(importer.GetErrorString());
      benchmark::DoNotOptimize(scene->mNumMeshes);
    }
  }
  state.SetItemsProcessed(int64_t(state.iterations() * files.size()));
}
BENCHMARK(BM_AssimpLoadObject)->Arg(0)->Arg(1)->ArgName("real")->Unit(benchmark::kMillisecond);

// Nine channels of ten TCB keys with repeat behaviours, evaluated at
// frames spread over and beyond the keys.
void BM_EvaluateEnvelopes(benchmark::State& state) {
  kestrel::Motion motion;
  for (int c = 0; c < kestrel::kChannelCount; ++c) {
    auto& e = motion.channels[size_t(c)];
    for (int k = 0; k < 10; ++k) {
      kestrel::Key key;
      key.time = k * 0.5;
      key.value = std::sin(k + c);
      key.shape = kestrel::SpanShape(k % 4);
      key.param = {0.1, -0.2, 0.3, 0.4};
      e.keys.push_back(key);
    }
    e.pre = kestrel::Behavior::Repeat;
    e.post = kestrel::Behavior::OffsetRepeat;
  }
  double t = -3;
  for (auto _ : state) {
    for (const auto& e : motion.channels) benchmark::DoNotOptimize(kestrel::EvaluateEnvelope(e, t));
    t += 0.0137;
    if (t > 12) t = -3;
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kestrel::kChannelCount);
}
BENCHMARK(BM_EvaluateEnvelopes);

}  // namespace
