#include "platform/drivers.hpp"

#include "platform/window/window_service.hpp"

namespace platform {

void SelectDrivers(DriverSet set) {
  switch (set) {
    case DriverSet::Real:
      SetWindowService(&SdlWindowService());
      break;
    case DriverSet::Console:
      SetWindowService(&ConsoleWindowService());
      break;
    case DriverSet::Fake:
      SetWindowService(&FakeWindow());
      break;
  }
}

}  // namespace platform
