// Audio CD control. Keeps no state; a missing drive or disc leaves the CD
// silent.
#pragma once

#include <cstdint>

namespace varnel {

// The commands by their numbers in the magazine's links and keys; any other
// number does nothing.
enum class CdCommand : int32_t {
  Stop = 1,
  Eject = 2,  // opens the tray
  Play = 3,   // plays or continues
  Next = 4,   // next track
  PauseToggle = 5,
  Previous = 6,  // previous track
};

void CdAudioCommand(CdCommand command);

}  // namespace varnel
