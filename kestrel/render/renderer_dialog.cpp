#include "kestrel/render/renderer_dialog.hpp"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "kestrel/kestrel.h"
#include "kestrel/render/log.hpp"
#include "platform/dialog/dialog.hpp"

namespace kestrel {
namespace {

using namespace platform::dialog;

constexpr int kMaxModes = 8;
constexpr int kFirstModeId = 100;
constexpr int kFullScreenId = 20;
constexpr int kWindowId = 21;
constexpr int kVsyncId = 22;
constexpr int kModesFrameId = 30;
constexpr int kDisplayFrameId = 31;
constexpr short kRowHeight = 12;

struct DialogRun {
  std::vector<DisplayMode> modes;
  DisplayMode chosen;
};
DialogRun* currentRun = nullptr;

INT_PTR RendererDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    CheckDlgButton(dialog, kFirstModeId, BST_CHECKED);
    CheckDlgButton(dialog, kWindowId, BST_CHECKED);
    return 1;
  }
  if (message != WM_COMMAND) return 0;
  const int id = LOWORD(wParam);
  if (id == IDOK) {
    DialogRun& run = *currentRun;
    for (size_t i = 0; i < run.modes.size(); ++i) {
      if (IsDlgButtonChecked(dialog, kFirstModeId + static_cast<int>(i)) == BST_CHECKED) {
        run.chosen = run.modes[i];
      }
    }
    run.chosen.fullscreen = IsDlgButtonChecked(dialog, kFullScreenId) == BST_CHECKED;
    run.chosen.vsync = IsDlgButtonChecked(dialog, kVsyncId) == BST_CHECKED;
    EndDialog(dialog, IDOK);
    return 1;
  }
  if (id == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
    return 1;
  }
  return 0;
}

void WriteInt(void* record, size_t offset, int32_t value) {
  std::memcpy(static_cast<char*>(record) + offset, &value, sizeof value);
}

}  // namespace

std::vector<DisplayMode> OfferedModes(int limit) {
  std::vector<DisplayMode> modes{DisplayMode{}};
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return modes;
  const int count = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < count && static_cast<int>(modes.size()) < limit; ++i) {
    SDL_DisplayMode mode;
    if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
    const bool known = std::any_of(modes.begin(), modes.end(), [&](const DisplayMode& m) {
      return m.width == mode.w && m.height == mode.h;
    });
    if (!known) modes.push_back({mode.w, mode.h, false, false});
  }
  return modes;
}

bool RunRendererDialog(void* info, void* config) {
  DialogRun run;
  run.modes = OfferedModes(kMaxModes);

  std::vector<std::string> captions;
  captions.reserve(run.modes.size());
  for (const DisplayMode& mode : run.modes) {
    captions.push_back(std::to_string(mode.width) + " x " + std::to_string(mode.height));
  }
  const short listHeight = static_cast<short>(kRowHeight * run.modes.size());
  std::vector<DialogItemTemplate> items;
  for (size_t i = 0; i < run.modes.size(); ++i) {
    const DWORD style = WS_TABSTOP | (i == 0 ? WS_GROUP : 0);
    items.push_back({kFirstModeId + static_cast<int>(i), ControlKind::RadioButton,
                     captions[i].c_str(),
                     {12, static_cast<short>(18 + kRowHeight * i), 80, 10}, style});
  }
  items.push_back({kModesFrameId, ControlKind::GroupBox, "Resolution",
                   {6, 6, 96, static_cast<short>(listHeight + 18)}, 0});
  items.push_back({kFullScreenId, ControlKind::RadioButton, "Full screen", {114, 18, 80, 10},
                   WS_GROUP | WS_TABSTOP});
  items.push_back({kWindowId, ControlKind::RadioButton, "Window", {114, 30, 80, 10}, WS_TABSTOP});
  items.push_back({kDisplayFrameId, ControlKind::GroupBox, "Display", {108, 6, 96, 40}, 0});
  items.push_back({kVsyncId, ControlKind::CheckBox, "Vertical sync", {114, 54, 80, 10},
                   WS_GROUP | WS_TABSTOP});
  items.push_back({IDOK, ControlKind::PushButton, "OK", {114, 72, 40, 14}, WS_GROUP | WS_TABSTOP});
  items.push_back({IDCANCEL, ControlKind::PushButton, "Cancel", {160, 72, 40, 14}, WS_TABSTOP});
  const short height = std::max<short>(92, static_cast<short>(listHeight + 30));
  const DialogTemplate dialogTemplate{"KESTREL_RENDERER", WS_VISIBLE | WS_CAPTION | DS_SETFONT,
                                      {0, 0, 210, height}, "Renderer", "MS Sans Serif", 8,
                                      items};

  currentRun = &run;
  const INT_PTR result = DialogBoxIndirectParamA(nullptr, &dialogTemplate, nullptr,
                                                 RendererDialogProc, 0);
  currentRun = nullptr;
  if (result == IDCANCEL) return false;
  if (result != IDOK) {
    Log("renderer dialog cannot be shown; using 640x480 in a window");
    run.chosen = DisplayMode{};
  }
  if (info) {
    std::memset(info, 0, KL_RENDERER_INFO_SIZE);
    SDL_DisplayMode desktop{};
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_GetDesktopDisplayMode(0, &desktop);
    WriteInt(info, KL_INFO_DESKTOP_WIDTH, desktop.w);
    WriteInt(info, KL_INFO_DESKTOP_HEIGHT, desktop.h);
    WriteInt(info, KL_INFO_MODE_COUNT, static_cast<int32_t>(run.modes.size()));
  }
  if (config) {
    std::memset(config, 0, KL_RENDERER_CONFIG_SIZE);
    WriteInt(config, KL_CONFIG_WIDTH, run.chosen.width);
    WriteInt(config, KL_CONFIG_HEIGHT, run.chosen.height);
    WriteInt(config, KL_CONFIG_FULLSCREEN, run.chosen.fullscreen);
    WriteInt(config, KL_CONFIG_VSYNC, run.chosen.vsync);
  }
  return true;
}

}  // namespace kestrel
