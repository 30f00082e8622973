#include "marigold/loading_dialog.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace marigold {
namespace {

using namespace platform::dialog;

constexpr int kDialogPointSize = 9;
constexpr const char* kDialogFace = "Arial";
constexpr const char* kIconName = "#102";  // the control shows icon kDemoIcon

constexpr DialogItemTemplate kLoadingItems[] = {
    {kLoadingText, ControlKind::StaticText, kLoadingWaitText, {25, 6, 94, 8}, SS_CENTER},
    {kLoadingIcon, ControlKind::Icon, kIconName, {1, 1, 20, 20}, 0},
};

constexpr DialogTemplate kLoadingTemplate{
    "116",           WS_POPUP | WS_VISIBLE | DS_MODALFRAME | DS_SETFONT,
    {0, 0, 126, 20}, nullptr,
    kDialogFace,     kDialogPointSize,
    kLoadingItems};

// The flower: twelve rounded petals around a dark heart.
constexpr int kPetals = 12;
constexpr float kPetalBase = 10.0f;
constexpr float kPetalLength = 5.0f;
constexpr float kHeartRadius = 5.0f;
constexpr int kSubsamples = 4;  // per axis, for soft edges

struct Colour {
  float r, g, b;
};
constexpr Colour kHeart{0x6E, 0x30, 0x08};
constexpr Colour kPetalInner{0xF0, 0x70, 0x00};
constexpr Colour kPetalOuter{0xFF, 0xC8, 0x20};

Colour Mix(Colour a, Colour b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

float PetalRadius(float angle) {
  return kPetalBase + kPetalLength * std::sqrt(std::fabs(std::cos(angle * kPetals / 2)));
}

bool InFlower(float x, float y) {
  const float dx = x - kDemoIconSide / 2.0f, dy = y - kDemoIconSide / 2.0f;
  return std::hypot(dx, dy) < PetalRadius(std::atan2(dy, dx));
}

std::uint32_t FlowerPixel(int column, int row) {
  int covered = 0;
  for (int sy = 0; sy < kSubsamples; ++sy) {
    for (int sx = 0; sx < kSubsamples; ++sx) {
      covered += InFlower(column + (sx + 0.5f) / kSubsamples, row + (sy + 0.5f) / kSubsamples);
    }
  }
  if (covered == 0) return 0;
  const float dx = column + 0.5f - kDemoIconSide / 2.0f, dy = row + 0.5f - kDemoIconSide / 2.0f;
  const float distance = std::hypot(dx, dy);
  const float reach = std::clamp(distance / PetalRadius(std::atan2(dy, dx)), 0.0f, 1.0f);
  Colour colour = Mix(kPetalInner, kPetalOuter, reach);
  if (distance < kHeartRadius) colour = Mix(kHeart, kPetalInner, distance / kHeartRadius * 0.5f);
  const auto alpha = static_cast<std::uint32_t>(covered * 255 / (kSubsamples * kSubsamples));
  return alpha << 24 | static_cast<std::uint32_t>(colour.r) << 16 |
         static_cast<std::uint32_t>(colour.g) << 8 | static_cast<std::uint32_t>(colour.b);
}

}  // namespace

const DialogTemplate& LoadingDialogTemplate() { return kLoadingTemplate; }

const DialogIcon& DemoIcon() {
  static const auto pixels = [] {
    std::array<std::uint32_t, kDemoIconSide * kDemoIconSide> image{};
    for (int row = 0; row < kDemoIconSide; ++row) {
      for (int column = 0; column < kDemoIconSide; ++column)
        image[row * kDemoIconSide + column] = FlowerPixel(column, row);
    }
    return image;
  }();
  static const DialogIcon icon{kDemoIconSide, kDemoIconSide, pixels.data()};
  return icon;
}

INT_PTR LoadingDialogProcedure(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return 0;
  RECT desktop{}, window{};
  GetClientRect(GetDesktopWindow(), &desktop);
  GetWindowRect(dialog, &window);
  const int x = ((desktop.right - desktop.left) - (window.right - window.left)) / 2;
  const int y = ((desktop.bottom - desktop.top) - (window.bottom - window.top)) / 2;
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
  return 1;
}

HWND OpenLoadingDialog() {
  RegisterDialogIcon(kDemoIcon, DemoIcon());
  return CreateDialogIndirectParamA(nullptr, &LoadingDialogTemplate(), nullptr,
                                    LoadingDialogProcedure, 0);
}

}  // namespace marigold
