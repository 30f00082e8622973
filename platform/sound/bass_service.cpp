#include "platform/sound/bass_service.hpp"

#include <sys/stat.h>

#include <algorithm>
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
  position = 0;
  syncs_.clear();
}

bool FakeBassService::BASS_Init(int32_t device, uint32_t freq, uint32_t flags, WindowHandle) {
  calls.push_back("BASS_Init(" + std::to_string(device) + "," + std::to_string(freq) + "," +
                  std::to_string(flags) + ")");
  const bool refused =
      std::find(initFailsFor.begin(), initFailsFor.end(), device) != initFailsFor.end();
  if (initFails || refused || initialised) return false;
  initialised = true;
  return true;
}

bool FakeBassService::BASS_Start() {
  calls.push_back("BASS_Start()");
  return initialised;
}

bool FakeBassService::BASS_Stop() {
  calls.push_back("BASS_Stop()");
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
  if (!initialised || !file) return 0;
  const bool found = fromMemory ? length > 0 : FileExists(static_cast<const char*>(file));
  return found ? ++lastHandle : 0;
}

bool FakeBassService::BASS_MusicPlayEx(HMUSIC handle, uint32_t from, int32_t flags, bool reset) {
  calls.push_back("BASS_MusicPlayEx(" + std::to_string(handle) + "," + std::to_string(from) +
                  "," + std::to_string(flags) + "," + (reset ? "1" : "0") + ")");
  return initialised && handle != 0;
}

bool FakeBassService::BASS_MusicPlay(HMUSIC handle) {
  calls.push_back("BASS_MusicPlay(" + std::to_string(handle) + ")");
  return initialised && handle != 0;
}

void FakeBassService::BASS_MusicFree(HMUSIC handle) {
  calls.push_back("BASS_MusicFree(" + std::to_string(handle) + ")");
  std::erase_if(syncs_, [handle](const Sync& sync) { return sync.music == handle; });
}

bool FakeBassService::BASS_ChannelStop(uint32_t handle) {
  calls.push_back("BASS_ChannelStop(" + std::to_string(handle) + ")");
  return initialised && handle != 0;
}

bool FakeBassService::BASS_SetVolume(uint32_t volume) {
  calls.push_back("BASS_SetVolume(" + std::to_string(volume) + ")");
  return initialised && volume <= 100;
}

bool FakeBassService::BASS_MusicSetAmplify(HMUSIC handle, uint32_t amplify) {
  calls.push_back("BASS_MusicSetAmplify(" + std::to_string(handle) + "," +
                  std::to_string(amplify) + ")");
  return initialised && handle != 0 && amplify <= 100;
}

bool FakeBassService::BASS_MusicSetPositionScaler(HMUSIC handle, uint32_t scale) {
  calls.push_back("BASS_MusicSetPositionScaler(" + std::to_string(handle) + "," +
                  std::to_string(scale) + ")");
  return initialised && handle != 0;
}

HSYNC FakeBassService::BASS_ChannelSetSync(uint32_t handle, uint32_t type, uint32_t param,
                                           SYNCPROC proc, void* user) {
  calls.push_back("BASS_ChannelSetSync(" + std::to_string(handle) + "," + std::to_string(type) +
                  "," + std::to_string(param) + ")");
  if (!initialised || handle == 0 || type != BASS_SYNC_MUSICFX || !proc) return 0;
  syncs_.push_back({handle, param, proc, user});
  return static_cast<HSYNC>(syncs_.size());
}

uint32_t FakeBassService::BASS_ChannelGetPosition(uint32_t handle) {
  return initialised && handle != 0 ? position : kBassNoPosition;
}

bool FakeBassService::RenderOffline(void*, uint32_t frames) {
  calls.push_back("RenderOffline(" + std::to_string(frames) + ")");
  return false;
}

void FakeBassService::FireSync(HMUSIC music, uint32_t value) {
  const std::vector<Sync> syncs = syncs_;  // a procedure may set more
  for (size_t i = 0; i < syncs.size(); ++i)
    if (syncs[i].music == music)
      syncs[i].proc(static_cast<HSYNC>(i + 1), music, syncs[i].param ? value : position,
                    syncs[i].user);
}

}  // namespace platform
