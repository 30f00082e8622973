// The loading dialog shown while the demo starts: the demo's icon and
// "Please wait...", then "Initializing 3D engine..." until the renderer opens.
#pragma once

#include <cstdint>

#include "platform/dialog/dialog.hpp"

namespace marigold {

constexpr int kDemoIcon = 102;
constexpr int kLoadingDialog = 116;
constexpr int kLoadingText = 1027;
constexpr int kLoadingIcon = 1039;
constexpr const char* kLoadingWaitText = "Please wait...";
constexpr const char* kLoadingEngineText = "Initializing 3D engine...";
constexpr int kDemoIconSide = 32;

const platform::dialog::DialogTemplate& LoadingDialogTemplate();

// The demo's icon: a marigold flower, drawn here rather than stored.
const platform::dialog::DialogIcon& DemoIcon();

// Centres the dialog on the desktop when it opens.
platform::dialog::INT_PTR LoadingDialogProcedure(platform::dialog::HWND dialog,
                                                 platform::dialog::UINT message,
                                                 platform::dialog::WPARAM wParam,
                                                 platform::dialog::LPARAM lParam);

// Shows the dialog (modeless); null when it cannot be shown, which start-up
// survives.
platform::dialog::HWND OpenLoadingDialog();

}  // namespace marigold
