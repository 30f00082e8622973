// The music operations through the player record; harmless while the
// record is empty.
#pragma once

#include "varnel/sound/music_player.hpp"

namespace varnel {

inline void MusicPlay(const char* module) {
  if (musicPlayer.PlayModule) musicPlayer.PlayModule(module);
}
inline void MusicStop() {
  if (musicPlayer.StopModule) musicPlayer.StopModule();
}
inline void MusicResume() {
  if (musicPlayer.ResumeModule) musicPlayer.ResumeModule();
}

}  // namespace varnel
