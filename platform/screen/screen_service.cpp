#include "platform/screen/screen_service.hpp"

#include <cstring>

#include "platform/clock/clock_service.hpp"

namespace platform {
namespace {

ScreenService* current = nullptr;

}  // namespace

ScreenService& Screen() { return current ? *current : SdlScreenService(); }
void SetScreenService(ScreenService* service) { current = service; }

FakeScreenService& FakeScreen() {
  static FakeScreenService fake;
  return fake;
}

void FakeScreenService::Reset() {
  Close();
  format = {32, 0xFF0000, 0xFF00, 0xFF};
  openFails = lockFails = presentFails = false;
  frameMilliseconds = 16;
  presents.clear();
}

bool FakeScreenService::Open(WindowHandle owner, int32_t surfaceWidth, int32_t surfaceHeight) {
  if (openFails || !owner || surfaceWidth <= 0 || surfaceHeight <= 0) return false;
  width = surfaceWidth;
  height = surfaceHeight;
  pitch = width * BytesPerPixel();
  surface.assign(static_cast<size_t>(pitch) * static_cast<size_t>(height), 0);
  window = surface;
  locked_ = false;
  open = true;
  return true;
}

bool FakeScreenService::Lock(ScreenPixels& locked) {
  if (!open || locked_ || lockFails) return false;
  locked_ = true;
  locked = {surface.data(), pitch, width, height};
  return true;
}

bool FakeScreenService::Unlock() {
  if (!locked_) return false;
  locked_ = false;
  return true;
}

bool FakeScreenService::Present(int32_t x, int32_t y, int32_t sourceX, int32_t sourceY,
                                int32_t rectWidth, int32_t rectHeight) {
  if (!open || locked_ || presentFails) return false;
  if (rectWidth < 0 || rectHeight < 0 || sourceX < 0 || sourceY < 0 ||
      sourceX + rectWidth > width || sourceY + rectHeight > height || x < 0 || y < 0 ||
      x + rectWidth > width || y + rectHeight > height)
    return false;
  Sleep(frameMilliseconds);
  presents.push_back({x, y, sourceX, sourceY, rectWidth, rectHeight});
  const int32_t bytes = BytesPerPixel();
  for (int32_t row = 0; row < rectHeight; ++row) {
    std::memcpy(&window[static_cast<size_t>((y + row) * pitch + x * bytes)],
                &surface[static_cast<size_t>((sourceY + row) * pitch + sourceX * bytes)],
                static_cast<size_t>(rectWidth * bytes));
  }
  return true;
}

void FakeScreenService::Close() {
  open = false;
  locked_ = false;
  width = height = pitch = 0;
  surface.clear();
  window.clear();
}

}  // namespace platform
