// Selects the drivers of every platform service at once, at program start.
#pragma once

namespace platform {

enum class DriverSet {
  Real,     // the desktop: SDL2 and the other libraries
  Console,  // command-line tools: no window, messages on standard error
  Fake,     // tests: recording fakes
};

void SelectDrivers(DriverSet set);

}  // namespace platform
