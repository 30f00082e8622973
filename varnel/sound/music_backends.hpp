// The music player's back-ends, filled into the record by InitPlayer.
#pragma once

#include <cstdint>

#include "platform/window/window_service.hpp"
#include "varnel/sound/music_player.hpp"

namespace varnel {

// Operations that do nothing: kind 0, unknown kinds, and the emptied record.
void InstallNoPlayer(MusicPlayer* player);

void InitSilentPlayer(MusicPlayer* player);
void DeInitSilentPlayer();

void InitBassPlayer(MusicPlayer* player, const char* moduleFile, bool highQuality,
                    platform::WindowHandle window);
void DeInitBassPlayer();

void InitFmodPlayer(MusicPlayer* player, const char* moduleFile, bool highQuality, FmodOutput output);
void DeInitFmodPlayer();

// The message for an FSOUND_GetError code.
const char* FmodErrorText(int32_t code);

}  // namespace varnel
