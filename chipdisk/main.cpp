// The chip-music player: a borderless window with a picture menu of 19
// tracker modules, started in the folder that holds its "data" directory.
#include "chipdisk/player/chip_player.hpp"
#include "platform/drivers.hpp"

int main() {
  platform::SelectDrivers(platform::DriverSet::Real);
  return chipdisk::RunChipPlayer();
}
