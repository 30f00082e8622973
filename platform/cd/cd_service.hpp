// Audio CD control, the FMOD-style library's CD calls: play by track
// number, stop, eject, and the current track and paused state.
//
// The real driver talks to the drive through the kernel's CD-ROM calls,
// opening it for every call; without a drive or disc every call does
// nothing (no track, not paused). The fake records the calls.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace platform {

class CdService {
 public:
  virtual ~CdService() = default;
  virtual const char* DriverName() const = 0;

  // Plays from the start of audio track `track` to the end of the disc;
  // false for a track the disc does not have.
  virtual bool FSOUND_CD_Play(int track) = 0;
  virtual bool FSOUND_CD_Stop() = 0;
  virtual bool FSOUND_CD_Eject() = 0;
  // The track playing or paused; 0 when the drive is idle.
  virtual int FSOUND_CD_GetTrack() = 0;
  virtual bool FSOUND_CD_GetPaused() = 0;
  virtual bool FSOUND_CD_SetPaused(bool paused) = 0;
};

CdService& Cd();
void SetCdService(CdService* service);  // null: the real driver

// The drive /dev/cdrom.
CdService& LinuxCdService();
// A driver for another device node.
std::unique_ptr<CdService> MakeLinuxCdService(const char* device);

// Records every call as text ("FSOUND_CD_Play(5)", "FSOUND_CD_GetTrack()").
// Play sets `track` (for track 1 to `trackCount`) and clears `paused`; Stop
// clears both; SetPaused sets `paused` while a track is current.
class FakeCdService final : public CdService {
 public:
  const char* DriverName() const override { return "fake"; }
  bool FSOUND_CD_Play(int track) override;
  bool FSOUND_CD_Stop() override;
  bool FSOUND_CD_Eject() override;
  int FSOUND_CD_GetTrack() override;
  bool FSOUND_CD_GetPaused() override;
  bool FSOUND_CD_SetPaused(bool paused) override;

  void Reset();  // no calls, no track, not paused, 12 tracks

  std::vector<std::string> calls;
  int track = 0;
  bool paused = false;
  int trackCount = 12;
};

FakeCdService& FakeCd();

inline bool FSOUND_CD_Play(int track) { return Cd().FSOUND_CD_Play(track); }
inline bool FSOUND_CD_Stop() { return Cd().FSOUND_CD_Stop(); }
inline bool FSOUND_CD_Eject() { return Cd().FSOUND_CD_Eject(); }
inline int FSOUND_CD_GetTrack() { return Cd().FSOUND_CD_GetTrack(); }
inline bool FSOUND_CD_GetPaused() { return Cd().FSOUND_CD_GetPaused(); }
inline bool FSOUND_CD_SetPaused(bool paused) { return Cd().FSOUND_CD_SetPaused(paused); }

}  // namespace platform
