// The BASS-style sound library: output device set-up and module music with
// positions and sync procedures, the calls the reader and the demo make. The
// real driver plays through libopenmpt and SDL audio; the fake records the
// calls and plays nothing.
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
using HSYNC = uint32_t;
// The sync procedure: sync handle, music handle, data, user pointer.
using SYNCPROC = void (*)(HSYNC handle, uint32_t channel, uint32_t data, void* user);

// BASS_Init devices. Any other number at or above 0 is the default device.
constexpr int32_t kBassDefaultDevice = -1;
constexpr int32_t kBassNoSoundDevice = -2;  // mixes in real time, heard nowhere
// Mixes only when RenderOffline asks: no device, no clock, same every time.
constexpr int32_t kBassOfflineDevice = -3;
// BASS_Init flags.
constexpr uint32_t BASS_DEVICE_8BITS = 1;  // 8-bit output instead of 16-bit
// BASS_MusicLoad and BASS_MusicPlayEx flags.
constexpr uint32_t BASS_MUSIC_RAMP = 1;    // volume ramping (always done)
constexpr uint32_t kBassMusicSmooth = 2;   // interpolated (cubic) resampling
constexpr uint32_t BASS_MUSIC_LOOP = 4;    // start over at the end
// BASS_ChannelSetSync: the module's sync effect, E8x in XM and MOD, S2x in
// S3M and IT. With param 1 the procedure gets x; with 0 the position.
constexpr uint32_t BASS_SYNC_MUSICFX = 3;
// BASS_ChannelGetPosition of an unknown handle.
constexpr uint32_t kBassNoPosition = 0xFFFFFFFF;
// BASS_MusicSetAmplify: 0..100, 50 plays the module as written.
constexpr uint32_t kBassDefaultAmplify = 50;

class BassService {
 public:
  virtual ~BassService() = default;
  virtual const char* DriverName() const = 0;

  // Opens the output at `freq` Hz, stereo, 16-bit or with
  // BASS_DEVICE_8BITS 8-bit; `device` is one of the kBass...Device numbers.
  // Output starts paused. False when the device cannot be opened or the
  // library is already set up.
  virtual bool BASS_Init(int32_t device, uint32_t freq, uint32_t flags, WindowHandle window) = 0;
  // Starts or pauses all output; positions stand still while paused.
  virtual bool BASS_Start() = 0;
  virtual bool BASS_Stop() = 0;
  // Closes the output and frees every music; harmless when not set up.
  virtual bool BASS_Free() = 0;
  // Loads a module, `length` bytes from `offset`: from the file named
  // `file` (length 0: to the end), or with `fromMemory` from the bytes at
  // `file` (length required; the bytes are copied). Sync effects are
  // markers only: they do not change what is heard. 0 on failure and before
  // BASS_Init.
  virtual HMUSIC BASS_MusicLoad(bool fromMemory, const void* file, uint32_t offset, uint32_t length,
                                uint32_t flags) = 0;
  // Plays from `position` (low word order, high word row × scaler); `flags`
  // -1 keeps the load flags; `reset` first restores the module's initial
  // state (tempo, speed, volumes), else only the position changes.
  virtual bool BASS_MusicPlayEx(HMUSIC handle, uint32_t position, int32_t flags, bool reset) = 0;
  // Plays on from where the music stopped (from the start the first time).
  virtual bool BASS_MusicPlay(HMUSIC handle) = 0;
  virtual void BASS_MusicFree(HMUSIC handle) = 0;
  virtual bool BASS_ChannelStop(uint32_t handle) = 0;
  // Output volume 0..100; false outside the range or before BASS_Init.
  virtual bool BASS_SetVolume(uint32_t volume) = 0;
  // The music's amplification 0..100 (kBassDefaultAmplify as written).
  virtual bool BASS_MusicSetAmplify(HMUSIC handle, uint32_t amplify) = 0;
  // Rows are reported multiplied by `scale` (1..256; 1 when loaded).
  virtual bool BASS_MusicSetPositionScaler(HMUSIC handle, uint32_t scale) = 0;
  // Calls `proc` when the sync effect's row is heard (type
  // BASS_SYNC_MUSICFX only), on a thread of the library's own and without
  // any of its locks held. 0 for another type or an unknown music.
  virtual HSYNC BASS_ChannelSetSync(uint32_t handle, uint32_t type, uint32_t param, SYNCPROC proc,
                                    void* user) = 0;
  // The position being heard: order in the low word, row × scaler in the
  // high word. Inside a sync procedure, at least the sync's row.
  virtual uint32_t BASS_ChannelGetPosition(uint32_t handle) = 0;

  // With kBassOfflineDevice: mixes the next `frames` frames into `out`, then
  // calls, on this thread and in order, the procedures of the syncs whose
  // rows start within them; positions read meanwhile are the sync's row.
  // False in other modes.
  virtual bool RenderOffline(void* out, uint32_t frames) = 0;
};

BassService& Bass();
void SetBassService(BassService* service);  // null: the real driver

BassService& SdlBassService();

// Records every call but BASS_ChannelGetPosition (asked every frame) as
// text, for example "BASS_Init(-1,44100,0)", "BASS_MusicLoad(Msx0.xm,0,0,6)",
// "BASS_MusicLoad(<memory>,0,1234,1)", "BASS_MusicPlayEx(1,0,-1,1)",
// "BASS_ChannelSetSync(1,3,1)". Music loads succeed for files that exist and
// for memory with a length (handles count from 1), once set up. The
// position is whatever a test puts in `position`; FireSync plays a sync.
class FakeBassService final : public BassService {
 public:
  const char* DriverName() const override { return "fake"; }
  bool BASS_Init(int32_t device, uint32_t freq, uint32_t flags, WindowHandle window) override;
  bool BASS_Start() override;
  bool BASS_Stop() override;
  bool BASS_Free() override;
  HMUSIC BASS_MusicLoad(bool fromMemory, const void* file, uint32_t offset, uint32_t length,
                        uint32_t flags) override;
  bool BASS_MusicPlayEx(HMUSIC handle, uint32_t position, int32_t flags, bool reset) override;
  bool BASS_MusicPlay(HMUSIC handle) override;
  void BASS_MusicFree(HMUSIC handle) override;
  bool BASS_ChannelStop(uint32_t handle) override;
  bool BASS_SetVolume(uint32_t volume) override;
  bool BASS_MusicSetAmplify(HMUSIC handle, uint32_t amplify) override;
  bool BASS_MusicSetPositionScaler(HMUSIC handle, uint32_t scale) override;
  HSYNC BASS_ChannelSetSync(uint32_t handle, uint32_t type, uint32_t param, SYNCPROC proc,
                            void* user) override;
  uint32_t BASS_ChannelGetPosition(uint32_t handle) override;
  bool RenderOffline(void* out, uint32_t frames) override;

  // Calls every procedure set on `music` as its sync effect `value` would.
  void FireSync(HMUSIC music, uint32_t value);
  // Forgets the calls and the state; keeps `initFails` and `initFailsFor`.
  void Reset();

  bool initFails = false;           // every BASS_Init fails
  std::vector<int32_t> initFailsFor;  // devices whose BASS_Init fails
  std::vector<std::string> calls;
  bool initialised = false;
  HMUSIC lastHandle = 0;
  uint32_t position = 0;  // returned by BASS_ChannelGetPosition

 private:
  struct Sync {
    HMUSIC music;
    uint32_t param;
    SYNCPROC proc;
    void* user;
  };
  std::vector<Sync> syncs_;
};

FakeBassService& FakeBass();

inline bool BASS_Init(int32_t device, uint32_t freq, uint32_t flags, WindowHandle window) {
  return Bass().BASS_Init(device, freq, flags, window);
}
inline bool BASS_Start() { return Bass().BASS_Start(); }
inline bool BASS_Stop() { return Bass().BASS_Stop(); }
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
inline bool BASS_MusicPlay(HMUSIC handle) { return Bass().BASS_MusicPlay(handle); }
inline bool BASS_MusicSetAmplify(HMUSIC handle, uint32_t amplify) {
  return Bass().BASS_MusicSetAmplify(handle, amplify);
}
inline bool BASS_MusicSetPositionScaler(HMUSIC handle, uint32_t scale) {
  return Bass().BASS_MusicSetPositionScaler(handle, scale);
}
inline HSYNC BASS_ChannelSetSync(uint32_t handle, uint32_t type, uint32_t param, SYNCPROC proc,
                                 void* user) {
  return Bass().BASS_ChannelSetSync(handle, type, param, proc, user);
}
inline uint32_t BASS_ChannelGetPosition(uint32_t handle) {
  return Bass().BASS_ChannelGetPosition(handle);
}

}  // namespace platform
