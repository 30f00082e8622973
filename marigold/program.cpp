#include "marigold/program.hpp"

#include <memory>
#include <thread>

#include "marigold/engine_calls.hpp"
#include "marigold/loading.hpp"
#include "marigold/loading_dialog.hpp"
#include "marigold/single_instance.hpp"
#include "platform/window/window_service.hpp"

namespace marigold {
namespace {

constexpr int kMainWidth = 640;
constexpr int kMainHeight = 480;
constexpr const char* kWindowError = "Creating window failed!";
constexpr const char* kRendererError = "Initializing 3D engine failed!";

Demo* theDemo = nullptr;

void ExitDemo() {
  if (theDemo) theDemo->exitDemo(nullptr);
}

// Escape, as the accelerator table has it: WM_COMMAND 40001 from an accelerator.
bool TranslateAccelerator(const platform::WindowMessage& message) {
  if (message.message != platform::WM_KEYDOWN || message.wParam != platform::VK_ESCAPE)
    return false;
  platform::Window().DispatchMessage(
      {message.window, kWmCommand, kEscapeCommand | (uintptr_t{kFromAccelerator} << 16), 0});
  return true;
}

}  // namespace

intptr_t DemoWindowProcedure(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                             intptr_t lParam) {
  switch (message) {
    case platform::WM_DESTROY: platform::Window().PostQuitMessage(0); break;
    case platform::WM_CLOSE: ExitDemo(); return 0;
    case platform::WM_MOUSEMOVE:
      if (Engine().getInfo(KL_INFO_RUNNING)) platform::Window().HideCursor();
      break;
    case kWmCommand:
      if ((wParam >> 16) == kFromAccelerator && (wParam & 0xFFFF) == kEscapeCommand) ExitDemo();
      return 0;
    case kWmPowerBroadcast:
      if (wParam == kQuerySuspend) ExitDemo();
      break;
    default: break;
  }
  return platform::Window().DefWindowProc(window, message, wParam, lParam);
}

int RunDemo(const char* lockName) {
  SingleInstance instance;
  platform::WindowService& windows = platform::Window();
  switch (instance.acquire(lockName, [] {
    if (theDemo && theDemo->window) platform::Window().ShowWindow(theDemo->window);
  })) {
    case SingleInstance::Result::First: break;
    case SingleInstance::Result::Another:
    case SingleInstance::Result::Failed: return 0;
  }

  auto demo = std::make_unique<Demo>();
  theDemo = demo.get();
  platform::SetMainWindowOpenGl(true);
  demo->window =
      windows.CreatePopupWindow(kWindowTitle, DemoWindowProcedure, 0, 0, kMainWidth, kMainHeight);
  if (!demo->window) demo->exitDemo(kWindowError);
  const platform::dialog::DialogIcon& icon = DemoIcon();
  windows.SetWindowIcon(demo->window, icon.width, icon.height, icon.pixels);
  platform::dialog::HWND loadingDialog = OpenLoadingDialog();
  Engine().initialize(demo->window, 0);
  InitSound(*demo);
  Engine().alfInit(kDemoArchive);
  platform::dialog::SetDlgItemTextA(loadingDialog, kLoadingText, kLoadingEngineText);
  alignas(8) unsigned char info[KL_RENDERER_INFO_SIZE] = {};
  alignas(8) unsigned char config[KL_RENDERER_CONFIG_SIZE] = {};
  if (!Engine().setupRendererDialog(info, config)) demo->exitDemo(nullptr);
  platform::dialog::DestroyWindow(loadingDialog);
  if (!Engine().setupRenderer(config)) demo->exitDemo(kRendererError);
  LoadDemo(*demo);

  demo->start();
  std::thread renderer(Timeline::renderThread, demo.get());
  platform::WindowMessage message;
  while (windows.GetMessage(message)) {
    if (!TranslateAccelerator(message)) windows.DispatchMessage(message);
  }
  {
    // The window is gone: the engine stops, the render thread ends.
    std::lock_guard<std::mutex> frame(demo->lock);
    demo->stop();
    if (Engine().getInfo(KL_INFO_RUNNING)) Engine().done();
  }
  renderer.join();
  theDemo = nullptr;
  return 0;
}

}  // namespace marigold
