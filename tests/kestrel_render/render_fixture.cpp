#include "tests/kestrel_render/render_fixture.hpp"

#include <dlfcn.h>
#include <link.h>

#include <cstring>
#include <string>

#include "platform/jpeg/jpeg_service.hpp"

namespace kestrel_test {
namespace {

// Mesa's driver is unloaded before the leak check runs, which then cannot
// name (and leave out) the caches it keeps; kept loaded, it can.
void KeepDriverLoaded() {
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void*) {
        const std::string name = info->dlpi_name ? info->dlpi_name : "";
        for (const char* part : {"_dri.so", "EGL", "LLVM", "glapi", "epoxy"}) {
          if (name.find(part) != std::string::npos) {
            dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
          }
        }
        return 0;
      },
      nullptr);
}

}  // namespace

void RenderTest::SetUp() {
  ScratchDirTest::SetUp();
  platform::SetJpegService(&platform::LibjpegService());
  ASSERT_EQ(klInitialize(nullptr, 0), 1);
  unsigned char config[KL_RENDERER_CONFIG_SIZE] = {};
  const int32_t size[2] = {kWidth, kHeight};
  std::memcpy(config + KL_CONFIG_WIDTH, &size[0], 4);
  std::memcpy(config + KL_CONFIG_HEIGHT, &size[1], 4);
  ASSERT_EQ(klSetupRenderer(config), 1);
  KeepDriverLoaded();
}

void RenderTest::TearDown() {
  klDone();
  platform::SetJpegService(&platform::FakeJpeg());
  ScratchDirTest::TearDown();
}

Rgba RenderTest::Pixel(int x, int y, const void* target) {
  const kestrel::Snapshot shot = kestrel::ReadPixels(target);
  if (x < 0 || y < 0 || x >= shot.width || y >= shot.height) return {-1, -1, -1, -1};
  const uint8_t* p = shot.At(x, y);
  return {p[0], p[1], p[2], p[3]};
}

Rgba RenderTest::PixelAt(float x, float y, const void* target) {
  const kestrel::Snapshot shot = kestrel::ReadPixels(target);
  const int px = static_cast<int>((x + 1) / 2 * shot.width);
  const int py = static_cast<int>((1 - y) / 2 * shot.height);
  return Pixel(std::min(px, shot.width - 1), std::min(py, shot.height - 1), target);
}

void RenderTest::Fill(float r, float g, float b) {
  klPutRect(0, 0, 1, 1, 1, r, g, b, KL_BLEND_ONE, KL_BLEND_ZERO);
}

testing::AssertionResult Near(const Rgba& got, const Rgba& want, int tolerance) {
  for (int c = 0; c < 3; ++c) {
    if (std::abs(got[c] - want[c]) > tolerance) {
      return testing::AssertionFailure() << "got (" << got[0] << ", " << got[1] << ", " << got[2]
                                         << "), want (" << want[0] << ", " << want[1] << ", "
                                         << want[2] << ")";
    }
  }
  return testing::AssertionSuccess();
}

}  // namespace kestrel_test
