// The size of the programs' picture: every frame, display surface and window
// image is this many pixels, whatever the window's size.
#pragma once

#include <cstdint>

namespace platform {

constexpr int32_t kScreenWidth = 640;
constexpr int32_t kScreenHeight = 480;

}  // namespace platform
