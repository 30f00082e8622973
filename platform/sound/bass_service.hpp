// The BASS-style sound library: output device set-up and module music, the
// calls the reader makes. The real driver plays through libopenmpt and SDL
// audio; the fake records the calls and plays nothing.
//
// One driver is current for the whole process (see drivers.hpp). The free
// functions below call the current driver, under the library's own names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/window/window_service.hpp"

namespace platform {

using HMUSIC = uint32_t;

// BASS_Init flags.
constexpr uint32_t BASS_DEVICE_8BITS = 1;  // 8-bit output instead of 16-bit
// BASS_MusicLoad and BASS_MusicPlayEx flags.
constexpr uint32_t kBassMusicSmooth = 2;  // interpolated (cubic) resampling
constexpr uint32_t BASS_MUSIC_LOOP = 4;   // start over at the end

class BassService {
 public:
  virtual ~BassService() = default;
  virtual const char* DriverName() const = 0;

  // Opens the output: `device` -1 is the default device, `freq` the rate;
  // stereo, 16-bit or with BASS_DEVICE_8BITS 8-bit. Output starts paused.
  // False when no device can be opened or the library is already set up.
  virtual bool BASS_Init(int32_t device, uint32_t freq, uint32_t flags, WindowHandle window) = 0;
  virtual bool BASS_Start() = 0;
  // Closes the output and frees every music; harmless when not set up.
  virtual bool BASS_Free() = 0;
  // Loads a module from the file named `file`, `length` bytes from `offset`
  // (0: to the end). 0 on failure, before BASS_Init, and for `fromMemory`,
  // which this library does not offer.
  virtual HMUSIC BASS_MusicLoad(bool fromMemory, const void* file, uint32_t offset, uint32_t length,
                                uint32_t flags) = 0;
  // Plays from `position` (low word order, high word row); `flags` -1 keeps
  // the load flags; `reset` restores the module's initial state.
  virtual bool BASS_MusicPlayEx(HMUSIC handle, uint32_t position, int32_t flags, bool reset) = 0;
  virtual void BASS_MusicFree(HMUSIC handle) = 0;
  virtual bool BASS_ChannelStop(uint32_t handle) = 0;
  // Output volume 0..100; false outside the range or before BASS_Init.
  virtual bool BASS_SetVolume(uint32_t volume) = 0;
};

BassService& Bass();
void SetBassService(BassService* service);  // null: the real driver

BassService& SdlBassService();

// Records every call as text, for example "BASS_Init(-1,44100,0)",
// "BASS_MusicLoad(Msx0.xm,0,0,6)", "BASS_MusicPlayEx(1,0,-1,1)". Music loads
// succeed for files that exist (handles count from 1), once set up.
class FakeBassService final : public BassService {
 public:
  const char* DriverName() const override { return "fake"; }
  bool BASS_Init(int32_t device, uint32_t freq, uint32_t flags, WindowHandle window) override;
  bool BASS_Start() override;
  bool BASS_Free() override;
  HMUSIC BASS_MusicLoad(bool fromMemory, const void* file, uint32_t offset, uint32_t length,
                        uint32_t flags) override;
  bool BASS_MusicPlayEx(HMUSIC handle, uint32_t position, int32_t flags, bool reset) override;
  void BASS_MusicFree(HMUSIC handle) override;
  bool BASS_ChannelStop(uint32_t handle) override;
  bool BASS_SetVolume(uint32_t volume) override;

  // Forgets the calls and the state; keeps `initFails`.
  void Reset();

  bool initFails = false;
  std::vector<std::string> calls;
  bool initialised = false;
  HMUSIC lastHandle = 0;
};

FakeBassService& FakeBass();

inline bool BASS_Init(int32_t device, uint32_t freq, uint32_t flags, WindowHandle window) {
  return Bass().BASS_Init(device, freq, flags, window);
}
inline bool BASS_Start() { return Bass().BASS_Start(); }
inline bool BASS_Free() { return Bass().BASS_Free(); }
inline HMUSIC BASS_MusicLoad(bool fromMemory, const void* file, uint32_t offset, uint32_t length,
                             uint32_t flags) {
  return Bass().BASS_MusicLoad(fromMemory, file, offset, length, flags);
}
inline bool BASS_MusicPlayEx(HMUSIC handle, uint32_t position, int32_t flags, bool reset) {
  return Bass().BASS_MusicPlayEx(handle, position, flags, reset);
}
inline void BASS_MusicFree(HMUSIC handle) { Bass().BASS_MusicFree(handle); }
inline bool BASS_ChannelStop(uint32_t handle) { return Bass().BASS_ChannelStop(handle); }
inline bool BASS_SetVolume(uint32_t volume) { return Bass().BASS_SetVolume(volume); }

}  // namespace platform
