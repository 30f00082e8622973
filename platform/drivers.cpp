#include "platform/drivers.hpp"

#include "platform/clock/clock_service.hpp"
#include "platform/shell/shell_service.hpp"
#include "platform/jpeg/jpeg_service.hpp"
#include "platform/text/text_service.hpp"
#include "platform/window/window_service.hpp"

namespace platform {

void SelectDrivers(DriverSet set) {
  switch (set) {
    case DriverSet::Real:
      SetWindowService(&SdlWindowService());
      SetJpegService(&LibjpegService());
      SetTextService(&FreeTypeTextService());
      SetClockService(&RealClock());
      SetShellService(&DesktopShell());
      break;
    case DriverSet::Console:
      SetWindowService(&ConsoleWindowService());
      SetJpegService(&LibjpegService());
      SetTextService(&FreeTypeTextService());
      SetClockService(&RealClock());
      SetShellService(&DesktopShell());
      break;
    case DriverSet::Fake:
      SetWindowService(&FakeWindow());
      SetJpegService(&FakeJpeg());
      SetTextService(&FakeTextService());
      SetClockService(&FakeClock());
      SetShellService(&FakeShell());
      break;
  }
}

}  // namespace platform
