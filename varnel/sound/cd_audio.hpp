// Audio CD control: 1 stop, 2 open the tray, 3 play or continue, 4 next
// track, 5 pause toggle, 6 previous track; anything else does nothing.
// Keeps no state; a missing drive or disc leaves the CD silent.
#pragma once

#include <cstdint>

namespace varnel {

void CdAudioCommand(int32_t command);

}  // namespace varnel
