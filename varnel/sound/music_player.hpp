// The one music player of the reader: a record of four operations filled by
// InitPlayer with one of three back-ends (silent, the BASS-style library,
// the FMOD-style library), called by the keys and links of the magazine.
#pragma once

#include <cstdint>

namespace varnel {

enum MusicPlayerKind : uint32_t {
  kNoPlayer = 0,
  kSilentPlayer = 1,
  kBassPlayer = 2,
  kFmodPlayer = 3,
};

struct MusicPlayer {
  uint32_t kind;
  void (*PlayModule)(const char* moduleFile);
  void (*StopModule)();
  void (*ResumeModule)();
  void (*SetVolume)(int32_t level);
};

// The process's player, filled at start-up.
extern MusicPlayer musicPlayer;

// Where the FMOD-style library sends its sound.
enum class FmodOutput { WinMm, DirectSound, A3d };

// How the back-ends are set up, chosen by the shell from the settings.
struct SoundConfig {
  bool highQuality = true;  // 44.1 kHz, 16-bit; else 22.05 kHz
  FmodOutput fmodOutput = FmodOutput::DirectSound;
};

// Sets the back-end up, starts `moduleFile` playing (read by name from the
// current directory) and installs the operations. Fatal failures go through
// FatalError.
void InitPlayer(MusicPlayer* player, const char* moduleFile, const SoundConfig& config,
                uint32_t kind);

// Stops and releases the back-end, then empties the record (kind 0 with
// operations that do nothing). Safe to call again and before InitPlayer.
void DeInitPlayer(MusicPlayer* player);

}  // namespace varnel
