#include "platform/drivers.hpp"

#include "platform/cd/cd_service.hpp"
#include "platform/clock/clock_service.hpp"
#include "platform/display/display_service.hpp"
#include "platform/display/fake_display_service.hpp"
#include "platform/dialog/dialog.hpp"
#include "platform/screen/screen_service.hpp"
#include "platform/shell/shell_service.hpp"
#include "platform/sound/bass_service.hpp"
#include "platform/sound/fmod_service.hpp"
#include "platform/jpeg/jpeg_service.hpp"
#include "platform/png/png_service.hpp"
#include "platform/text/text_service.hpp"
#include "platform/window/fake_window_service.hpp"
#include "platform/window/window_service.hpp"

namespace platform {

namespace {

// Everything but the window comes from the desktop's libraries for both the
// programs and the tools.
void SelectDesktopServices() {
  SetDisplayService(&SdlDisplayService());
  SetScreenService(&SdlScreenService());
  SetJpegService(&LibjpegService());
  SetPngService(&LibpngService());
  SetTextService(&FreeTypeTextService());
  dialog::SetDialogService(&dialog::SdlDialogService());
  SetClockService(&RealClock());
  SetShellService(&DesktopShell());
  SetBassService(&SdlBassService());
  SetFmodService(&SdlFmodService());
  SetCdService(&LinuxCdService());
}

}  // namespace

void SelectDrivers(DriverSet set) {
  switch (set) {
    case DriverSet::Real:
      SetWindowService(&SdlWindowService());
      SelectDesktopServices();
      break;
    case DriverSet::Console:
      SetWindowService(&ConsoleWindowService());
      SelectDesktopServices();
      break;
    case DriverSet::Fake:
      SetWindowService(&FakeWindow());
      SetDisplayService(&FakeDisplay());
      SetScreenService(&FakeScreen());
      SetJpegService(&FakeJpeg());
      // Tests read real PNG files everywhere; the fake is for the loader's own.
      SetPngService(&LibpngService());
      SetTextService(&FakeTextService());
      dialog::SetDialogService(&dialog::FakeDialogs());
      SetClockService(&FakeClock());
      SetShellService(&FakeShell());
      SetBassService(&FakeBass());
      SetFmodService(&FakeFmod());
      SetCdService(&FakeCd());
      break;
  }
}

}  // namespace platform
