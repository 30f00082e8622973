#include "platform/sound/bass_service.hpp"

#include <sys/stat.h>

#include <string>

namespace platform {
namespace {

BassService* current = nullptr;

bool FileExists(const char* name) {
  struct stat st;
  return name && stat(name, &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

BassService& Bass() { return current ? *current : SdlBassService(); }
void SetBassService(BassService* service) { current = service; }

FakeBassService& FakeBass() {
  static FakeBassService fake;
  return fake;
}

void FakeBassService::Reset() {
  calls.clear();
  initialised = false;
  lastHandle = 0;
}

bool FakeBassService::BASS_Init(int32_t device, uint32_t freq, uint32_t flags, WindowHandle) {
  calls.push_back("BASS_Init(" + std::to_string(device) + "," + std::to_string(freq) + "," +
                  std::to_string(flags) + ")");
  if (initFails || initialised) return false;
  initialised = true;
  return true;
}

bool FakeBassService::BASS_Start() {
  calls.push_back("BASS_Start()");
  return initialised;
}

bool FakeBassService::BASS_Free() {
  calls.push_back("BASS_Free()");
  const bool was = initialised;
  initialised = false;
  return was;
}

HMUSIC FakeBassService::BASS_MusicLoad(bool fromMemory, const void* file, uint32_t offset,
                                       uint32_t length, uint32_t flags) {
  const std::string name = fromMemory ? "<memory>" : static_cast<const char*>(file);
  calls.push_back("BASS_MusicLoad(" + name + "," + std::to_string(offset) + "," +
                  std::to_string(length) + "," + std::to_string(flags) + ")");
  if (!initialised) return 0;
  return !fromMemory && FileExists(static_cast<const char*>(file)) ? ++lastHandle : 0;
}

bool FakeBassService::BASS_MusicPlayEx(HMUSIC handle, uint32_t position, int32_t flags,
                                       bool reset) {
  calls.push_back("BASS_MusicPlayEx(" + std::to_string(handle) + "," + std::to_string(position) +
                  "," + std::to_string(flags) + "," + (reset ? "1" : "0") + ")");
  return initialised && handle != 0;
}

void FakeBassService::BASS_MusicFree(HMUSIC handle) {
  calls.push_back("BASS_MusicFree(" + std::to_string(handle) + ")");
}

bool FakeBassService::BASS_ChannelStop(uint32_t handle) {
  calls.push_back("BASS_ChannelStop(" + std::to_string(handle) + ")");
  return initialised && handle != 0;
}

bool FakeBassService::BASS_SetVolume(uint32_t volume) {
  calls.push_back("BASS_SetVolume(" + std::to_string(volume) + ")");
  return initialised && volume <= 100;
}

}  // namespace platform
