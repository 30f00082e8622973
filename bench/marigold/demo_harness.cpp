#include "bench/marigold/demo_harness.hpp"

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "kestrel/kestrel.h"
#include "marigold/engine_calls.hpp"
#include "marigold/loading.hpp"
#include "marigold/program.hpp"

namespace marigold_bench {

std::string SampleDir() {
  if (const char* dir = std::getenv("MARIGOLD_SAMPLE_DIR"); dir && *dir) return dir;
  return MARIGOLD_SAMPLE_DIR;
}

bool OpenEngine(int width, int height, std::string* error) {
  std::error_code failed;
  std::filesystem::current_path(SampleDir(), failed);
  if (failed) {
    *error = "no sample folder " + SampleDir() + " (build marigold-sample)";
    return false;
  }
  if (!klInitialize(nullptr, 0)) {
    *error = "the engine does not start";
    return false;
  }
  alfInit(marigold::kDemoArchive);
  unsigned char config[KL_RENDERER_CONFIG_SIZE] = {};
  const int32_t size[2] = {width, height};
  std::memcpy(config + KL_CONFIG_WIDTH, &size[0], sizeof size[0]);
  std::memcpy(config + KL_CONFIG_HEIGHT, &size[1], sizeof size[1]);
  if (!klSetupRenderer(config)) {
    klDone();
    *error = "no offscreen OpenGL 3.3 display";
    return false;
  }
  return true;
}

std::vector<unsigned char> ReadArchiveFile(const char* name) {
  std::vector<unsigned char> bytes;
  KLarchiveFile* file = alfOpen(name, "rb");
  if (!file) return bytes;
  const int32_t size = klArchiveFileSize(file);
  if (size > 0) {
    bytes.resize(static_cast<size_t>(size));
    if (alfRead(bytes.data(), bytes.size(), 1, file) != 1) bytes.clear();
  }
  alfClose(file);
  return bytes;
}

std::unique_ptr<marigold::Demo> LoadSampleDemo() {
  auto demo = std::make_unique<marigold::Demo>();
  marigold::InitSound(*demo);
  marigold::LoadDemo(*demo);
  return demo;
}

void CloseEngine(std::unique_ptr<marigold::Demo>& demo) {
  marigold::SetEngineCalls(nullptr);
  demo.reset();
  klDone();
}

}  // namespace marigold_bench
