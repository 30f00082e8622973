// The 3D demo: scenes and effects driven by its module until Escape.
#include "marigold/program.hpp"
#include "marigold/single_instance.hpp"
#include "platform/drivers.hpp"

int main() {
  platform::SelectDrivers(platform::DriverSet::Real);
  return marigold::RunDemo(marigold::kInstanceLockName);
}
