// varnel: the disk-magazine reader. Reads its issue from the current
// directory: "varnel.rs", the modules beside it, "varnel.cfg".
#include "platform/drivers.hpp"
#include "varnel/shell/startup.hpp"

int main() {
  platform::SelectDrivers(platform::DriverSet::Real);
  return varnel::VarnelMain();
}
