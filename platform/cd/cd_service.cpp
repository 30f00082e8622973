#include "platform/cd/cd_service.hpp"

namespace platform {
namespace {

CdService* current = nullptr;

}  // namespace

CdService& Cd() { return current ? *current : LinuxCdService(); }
void SetCdService(CdService* service) { current = service; }

FakeCdService& FakeCd() {
  static FakeCdService fake;
  return fake;
}

void FakeCdService::Reset() {
  calls.clear();
  track = 0;
  paused = false;
  trackCount = 12;
}

bool FakeCdService::FSOUND_CD_Play(int number) {
  calls.push_back("FSOUND_CD_Play(" + std::to_string(number) + ")");
  if (number < 1 || number > trackCount) return false;
  track = number;
  paused = false;
  return true;
}

bool FakeCdService::FSOUND_CD_Stop() {
  calls.push_back("FSOUND_CD_Stop()");
  track = 0;
  paused = false;
  return true;
}

bool FakeCdService::FSOUND_CD_Eject() {
  calls.push_back("FSOUND_CD_Eject()");
  track = 0;
  paused = false;
  return true;
}

int FakeCdService::FSOUND_CD_GetTrack() {
  calls.push_back("FSOUND_CD_GetTrack()");
  return track;
}

bool FakeCdService::FSOUND_CD_GetPaused() {
  calls.push_back("FSOUND_CD_GetPaused()");
  return paused;
}

bool FakeCdService::FSOUND_CD_SetPaused(bool pause) {
  calls.push_back(std::string("FSOUND_CD_SetPaused(") + (pause ? "1" : "0") + ")");
  if (track == 0) return false;
  paused = pause;
  return true;
}

}  // namespace platform
