#include "platform/display/display_service.hpp"

namespace platform {
namespace {

DisplayService* current = nullptr;

}  // namespace

DisplayService& Display() { return current ? *current : SdlDisplayService(); }

void SetDisplayService(DisplayService* service) { current = service; }

DisplayMode DisplayService::ModeOf(int32_t bitsPerPixel) const {
  if (bitsPerPixel == 15) return {kScreenWidth, kScreenHeight, 15, 0x7C00, 0x03E0, 0x001F};
  return {kScreenWidth, kScreenHeight, 16, 0xF800, 0x07E0, 0x001F};
}

}  // namespace platform
