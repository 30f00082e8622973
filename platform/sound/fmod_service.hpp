// The FMOD-style sound library: output set-up and module songs, the calls
// the reader makes. The real driver plays through libopenmpt and SDL audio;
// the fake records the calls and plays nothing. Errors are kept as a code
// that FSOUND_GetError returns (the codes below).
//
// One driver is current for the whole process (see drivers.hpp). The free
// functions below call the current driver, under the library's own names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

enum FmodError : int32_t {
  FMOD_ERR_NONE = 0,
  FMOD_ERR_BUSY = 1,           // a set-up call after FSOUND_Init
  FMOD_ERR_UNINITIALIZED = 2,  // FSOUND_Init was not called
  FMOD_ERR_INIT = 3,           // the output device cannot be opened
  FMOD_ERR_FILE_NOTFOUND = 9,
  FMOD_ERR_FILE_FORMAT = 10,  // not a module
  FMOD_ERR_FILE_BAD = 11,     // a damaged module
  FMOD_ERR_MEMORY = 12,
  FMOD_ERR_INVALID_PARAM = 15,
};

// FSOUND_SetOutput types. On this platform every type but "no sound"
// plays through the default device.
enum FsoundOutput : int32_t {
  FSOUND_OUTPUT_NOSOUND = 0,
  FSOUND_OUTPUT_WINMM = 1,
  FSOUND_OUTPUT_DSOUND = 2,
  FSOUND_OUTPUT_A3D = 3,
};

// A loaded song; the driver owns it from FMUSIC_LoadSong to FMUSIC_FreeSong.
struct FMUSIC_MODULE {
  uint32_t id;  // 0 once freed
};

class FmodService {
 public:
  virtual ~FmodService() = default;
  virtual const char* DriverName() const = 0;

  // Set-up before FSOUND_Init (afterwards: false, FMOD_ERR_BUSY). The driver
  // number and the mixer type are kept but change nothing here.
  virtual bool FSOUND_SetOutput(int32_t outputType) = 0;
  virtual bool FSOUND_SetDriver(int32_t driver) = 0;
  virtual bool FSOUND_SetMixer(int32_t mixer) = 0;
  // Opens the output at `mixRate` Hz, 16-bit stereo, and starts it. The
  // channel count is not limited by this mixer.
  virtual bool FSOUND_Init(int32_t mixRate, int32_t maxChannels, uint32_t flags) = 0;
  virtual int32_t FSOUND_GetError() = 0;
  // Frees every song and closes the output; harmless when not set up.
  virtual void FSOUND_Close() = 0;

  // Songs loop at their end. Null on failure (FMOD_ERR_UNINITIALIZED,
  // FMOD_ERR_FILE_NOTFOUND, FMOD_ERR_FILE_FORMAT, FMOD_ERR_FILE_BAD,
  // FMOD_ERR_MEMORY). A null or freed song is FMOD_ERR_INVALID_PARAM below.
  virtual FMUSIC_MODULE* FMUSIC_LoadSong(const char* name) = 0;
  // Plays from the beginning.
  virtual bool FMUSIC_PlaySong(FMUSIC_MODULE* song) = 0;
  virtual bool FMUSIC_StopSong(FMUSIC_MODULE* song) = 0;
  virtual bool FMUSIC_FreeSong(FMUSIC_MODULE* song) = 0;
  // 0 mono .. 1 full stereo: libopenmpt's stereo separation in percent of
  // the module's own panning, so 0.15 is 15 percent.
  virtual bool FMUSIC_SetPanSeperation(FMUSIC_MODULE* song, float separation) = 0;
  // 0..256, linear; heard with the next mixed block. A new song has 256.
  virtual bool FMUSIC_SetMasterVolume(FMUSIC_MODULE* song, int32_t volume) = 0;
  // The song's volume; -1 for a null or freed song.
  virtual int32_t FMUSIC_GetMasterVolume(FMUSIC_MODULE* song) = 0;
  // The order the listener hears now (the mixer runs ahead by the audio
  // buffer). It stays where it was while stopped and goes back to 0 when
  // the song loops. -1 for a null or freed song.
  virtual int32_t FMUSIC_GetOrder(FMUSIC_MODULE* song) = 0;
};

FmodService& Fmod();
void SetFmodService(FmodService* service);  // null: the real driver

FmodService& SdlFmodService();

// Records every call as text, for example "FSOUND_Init(44100,64,0)",
// "FMUSIC_LoadSong(Msx0.xm)", "FMUSIC_PlaySong(1)" (songs by id, counting
// from 1; "null" for none). Songs load for files that exist, once set up.
class FakeFmodService final : public FmodService {
 public:
  const char* DriverName() const override { return "fake"; }
  bool FSOUND_SetOutput(int32_t outputType) override;
  bool FSOUND_SetDriver(int32_t driver) override;
  bool FSOUND_SetMixer(int32_t mixer) override;
  bool FSOUND_Init(int32_t mixRate, int32_t maxChannels, uint32_t flags) override;
  int32_t FSOUND_GetError() override;
  void FSOUND_Close() override;
  FMUSIC_MODULE* FMUSIC_LoadSong(const char* name) override;
  bool FMUSIC_PlaySong(FMUSIC_MODULE* song) override;
  bool FMUSIC_StopSong(FMUSIC_MODULE* song) override;
  bool FMUSIC_FreeSong(FMUSIC_MODULE* song) override;
  bool FMUSIC_SetPanSeperation(FMUSIC_MODULE* song, float separation) override;
  bool FMUSIC_SetMasterVolume(FMUSIC_MODULE* song, int32_t volume) override;
  int32_t FMUSIC_GetMasterVolume(FMUSIC_MODULE* song) override;
  int32_t FMUSIC_GetOrder(FMUSIC_MODULE* song) override;

  // Forgets the calls and the state; keeps the settings below.
  void Reset();

  bool initFails = false;  // FSOUND_Init fails with FMOD_ERR_INIT
  // A playing song moves one order per `orderMilliseconds` of the fake
  // clock and starts over after `orderCount` orders. Get calls are not
  // recorded.
  uint32_t orderMilliseconds = 1000;
  int32_t orderCount = 1000;
  std::vector<std::string> calls;
  bool initialised = false;
  int32_t error = FMOD_ERR_NONE;

 private:
  bool Live(const FMUSIC_MODULE* song);
  std::string Name(const FMUSIC_MODULE* song) const;
  struct SongState {
    bool playing;
    uint32_t playedAt;  // fake clock at the start
    int32_t stoppedOrder;
    int32_t volume;
  };
  static constexpr int kSongs = 8;
  FMUSIC_MODULE songs_[kSongs] = {};
  SongState state_[kSongs] = {};
  uint32_t nextId_ = 1;
};

FakeFmodService& FakeFmod();

inline bool FSOUND_SetOutput(int32_t outputType) { return Fmod().FSOUND_SetOutput(outputType); }
inline bool FSOUND_SetDriver(int32_t driver) { return Fmod().FSOUND_SetDriver(driver); }
inline bool FSOUND_SetMixer(int32_t mixer) { return Fmod().FSOUND_SetMixer(mixer); }
inline bool FSOUND_Init(int32_t mixRate, int32_t maxChannels, uint32_t flags = 0) {
  return Fmod().FSOUND_Init(mixRate, maxChannels, flags);
}
inline int32_t FSOUND_GetError() { return Fmod().FSOUND_GetError(); }
inline void FSOUND_Close() { Fmod().FSOUND_Close(); }
inline FMUSIC_MODULE* FMUSIC_LoadSong(const char* name) { return Fmod().FMUSIC_LoadSong(name); }
inline bool FMUSIC_PlaySong(FMUSIC_MODULE* song) { return Fmod().FMUSIC_PlaySong(song); }
inline bool FMUSIC_StopSong(FMUSIC_MODULE* song) { return Fmod().FMUSIC_StopSong(song); }
inline bool FMUSIC_FreeSong(FMUSIC_MODULE* song) { return Fmod().FMUSIC_FreeSong(song); }
inline bool FMUSIC_SetPanSeperation(FMUSIC_MODULE* song, float separation) {
  return Fmod().FMUSIC_SetPanSeperation(song, separation);
}
inline bool FMUSIC_SetMasterVolume(FMUSIC_MODULE* song, int32_t volume) {
  return Fmod().FMUSIC_SetMasterVolume(song, volume);
}
inline int32_t FMUSIC_GetMasterVolume(FMUSIC_MODULE* song) {
  return Fmod().FMUSIC_GetMasterVolume(song);
}
inline int32_t FMUSIC_GetOrder(FMUSIC_MODULE* song) { return Fmod().FMUSIC_GetOrder(song); }

}  // namespace platform
