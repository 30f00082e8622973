#include "platform/sound/fmod_service.hpp"

#include "platform/clock/clock_service.hpp"

#include <sys/stat.h>

#include <cstdio>
#include <iterator>

namespace platform {
namespace {

FmodService* current = nullptr;

bool FileExists(const char* name) {
  struct stat st;
  return name && stat(name, &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

FmodService& Fmod() { return current ? *current : SdlFmodService(); }
void SetFmodService(FmodService* service) { current = service; }

FakeFmodService& FakeFmod() {
  static FakeFmodService fake;
  return fake;
}

void FakeFmodService::Reset() {
  calls.clear();
  initialised = false;
  error = FMOD_ERR_NONE;
  for (FMUSIC_MODULE& song : songs_) song.id = 0;
  for (SongState& state : state_) state = {};
  nextId_ = 1;
}

bool FakeFmodService::Live(const FMUSIC_MODULE* song) {
  const bool live = song >= std::begin(songs_) && song < std::end(songs_) && song->id != 0;
  if (!live) error = FMOD_ERR_INVALID_PARAM;
  return live;
}

std::string FakeFmodService::Name(const FMUSIC_MODULE* song) const {
  return song ? std::to_string(song->id) : "null";
}

bool FakeFmodService::FSOUND_SetOutput(int32_t outputType) {
  calls.push_back("FSOUND_SetOutput(" + std::to_string(outputType) + ")");
  if (initialised) error = FMOD_ERR_BUSY;
  return !initialised;
}

bool FakeFmodService::FSOUND_SetDriver(int32_t driver) {
  calls.push_back("FSOUND_SetDriver(" + std::to_string(driver) + ")");
  if (initialised) error = FMOD_ERR_BUSY;
  return !initialised;
}

bool FakeFmodService::FSOUND_SetMixer(int32_t mixer) {
  calls.push_back("FSOUND_SetMixer(" + std::to_string(mixer) + ")");
  if (initialised) error = FMOD_ERR_BUSY;
  return !initialised;
}

bool FakeFmodService::FSOUND_Init(int32_t mixRate, int32_t maxChannels, uint32_t flags) {
  calls.push_back("FSOUND_Init(" + std::to_string(mixRate) + "," + std::to_string(maxChannels) +
                  "," + std::to_string(flags) + ")");
  if (initialised) {
    error = FMOD_ERR_BUSY;
    return false;
  }
  if (initFails) {
    error = FMOD_ERR_INIT;
    return false;
  }
  initialised = true;
  error = FMOD_ERR_NONE;
  return true;
}

int32_t FakeFmodService::FSOUND_GetError() { return error; }

void FakeFmodService::FSOUND_Close() {
  calls.push_back("FSOUND_Close()");
  initialised = false;
  for (FMUSIC_MODULE& song : songs_) song.id = 0;
}

FMUSIC_MODULE* FakeFmodService::FMUSIC_LoadSong(const char* name) {
  calls.push_back(std::string("FMUSIC_LoadSong(") + (name ? name : "null") + ")");
  if (!initialised) {
    error = FMOD_ERR_UNINITIALIZED;
    return nullptr;
  }
  if (!FileExists(name)) {
    error = FMOD_ERR_FILE_NOTFOUND;
    return nullptr;
  }
  for (int i = 0; i < kSongs; ++i) {
    if (songs_[i].id != 0) continue;
    songs_[i].id = nextId_++;
    state_[i] = {false, 0, 0, 256};
    return &songs_[i];
  }
  error = FMOD_ERR_MEMORY;
  return nullptr;
}

bool FakeFmodService::FMUSIC_PlaySong(FMUSIC_MODULE* song) {
  calls.push_back("FMUSIC_PlaySong(" + Name(song) + ")");
  if (!Live(song)) return false;
  SongState& state = state_[song - songs_];
  state.playing = true;
  state.playedAt = Clock().Milliseconds();
  return true;
}

bool FakeFmodService::FMUSIC_StopSong(FMUSIC_MODULE* song) {
  calls.push_back("FMUSIC_StopSong(" + Name(song) + ")");
  if (!Live(song)) return false;
  SongState& state = state_[song - songs_];
  state.stoppedOrder = FMUSIC_GetOrder(song);
  state.playing = false;
  return true;
}

bool FakeFmodService::FMUSIC_FreeSong(FMUSIC_MODULE* song) {
  calls.push_back("FMUSIC_FreeSong(" + Name(song) + ")");
  if (!Live(song)) return false;
  song->id = 0;
  return true;
}

bool FakeFmodService::FMUSIC_SetPanSeperation(FMUSIC_MODULE* song, float separation) {
  char value[32];
  std::snprintf(value, sizeof value, "%.2f", static_cast<double>(separation));
  calls.push_back("FMUSIC_SetPanSeperation(" + Name(song) + "," + value + ")");
  return Live(song);
}

bool FakeFmodService::FMUSIC_SetMasterVolume(FMUSIC_MODULE* song, int32_t volume) {
  calls.push_back("FMUSIC_SetMasterVolume(" + Name(song) + "," + std::to_string(volume) + ")");
  if (!Live(song)) return false;
  if (volume < 0 || volume > 256) {
    error = FMOD_ERR_INVALID_PARAM;
    return false;
  }
  state_[song - songs_].volume = volume;
  return true;
}

int32_t FakeFmodService::FMUSIC_GetMasterVolume(FMUSIC_MODULE* song) {
  return Live(song) ? state_[song - songs_].volume : -1;
}

int32_t FakeFmodService::FMUSIC_GetOrder(FMUSIC_MODULE* song) {
  if (!Live(song)) return -1;
  const SongState& state = state_[song - songs_];
  if (!state.playing) return state.stoppedOrder;
  const uint32_t elapsed = Clock().Milliseconds() - state.playedAt;
  const uint32_t orders = elapsed / (orderMilliseconds ? orderMilliseconds : 1);
  return static_cast<int32_t>(orders % static_cast<uint32_t>(orderCount > 0 ? orderCount : 1));
}

}  // namespace platform
