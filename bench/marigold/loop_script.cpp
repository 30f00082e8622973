#include "bench/marigold/loop_script.hpp"

#include "marigold/timeline.hpp"
#include "platform/sound/bass_service.hpp"

namespace marigold_bench {
namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kStepMs = 5;
constexpr uint32_t kStepFrames = kRate * kStepMs / 1000;
constexpr uint32_t kBytesPerFrame = 4;  // 16-bit stereo
constexpr uint32_t kSyncWithValue = 1;

struct Recording {
  std::vector<ScriptSync>* syncs;
  uint32_t time;
};

void RecordSync(platform::HSYNC, uint32_t, uint32_t data, void* user) {
  auto* recording = static_cast<Recording*>(user);
  recording->syncs->push_back({recording->time, data});
}

}  // namespace

uint32_t LoopScript::PositionAt(uint32_t time) const {
  if (positions.empty()) return 0;
  size_t index = stepMs ? time / stepMs : 0;
  return positions[index < positions.size() ? index : positions.size() - 1];
}

LoopScript MakeLoopScript(const std::vector<unsigned char>& module, uint32_t endOrder,
                          uint32_t longestMs, std::string* error) {
  LoopScript script;
  platform::BassService& bass = platform::SdlBassService();
  if (!bass.BASS_Init(platform::kBassOfflineDevice, kRate, 0, nullptr)) {
    *error = "the offline sound device cannot be opened";
    return script;
  }
  const platform::HMUSIC music = bass.BASS_MusicLoad(
      true, module.data(), 0, static_cast<uint32_t>(module.size()), platform::BASS_MUSIC_RAMP);
  if (!music) {
    *error = "the module does not load";
    bass.BASS_Free();
    return script;
  }
  Recording recording{&script.syncs, 0};
  bass.BASS_ChannelSetSync(music, platform::BASS_SYNC_MUSICFX, kSyncWithValue, RecordSync,
                           &recording);
  bass.BASS_MusicSetPositionScaler(music, marigold::kRowScale);
  bass.BASS_MusicPlay(music);
  script.stepMs = kStepMs;
  std::vector<unsigned char> buffer(kStepFrames * kBytesPerFrame);
  const uint32_t end = marigold::EventPosition(endOrder, 0);
  uint32_t last = 0;
  for (uint32_t time = 0; time < longestMs; time += kStepMs) {
    const uint32_t position = bass.BASS_ChannelGetPosition(music);
    const uint32_t exchanged = marigold::ExchangeHalves(position);
    if (exchanged >= end || exchanged < last) break;  // the end order, or the module looped
    last = exchanged;
    script.positions.push_back(position);
    recording.time = time + kStepMs;
    bass.RenderOffline(buffer.data(), kStepFrames);
  }
  bass.BASS_Free();
  if (script.positions.empty()) *error = "the module plays nothing";
  return script;
}

}  // namespace marigold_bench
