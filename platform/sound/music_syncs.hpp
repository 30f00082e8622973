// Positions and sync procedures of the BASS-style library's musics. The
// mixer reports row starts (as a RowListener, under its lock); positions and
// syncs become visible when the audio clock says their first frame is heard.
// Sync procedures never run here: the caller takes the due ones and runs
// them without any lock held.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <vector>

#include "platform/sound/audio_clock.hpp"
#include "platform/sound/module_mixer.hpp"
#include "platform/sound/sync_effects.hpp"

namespace platform {

// The sync procedure: sync handle, music handle, data, user pointer.
using SYNCPROC = void (*)(uint32_t handle, uint32_t channel, uint32_t data, void* user);

class MusicSyncs final : public RowListener {
 public:
  explicit MusicSyncs(const AudioClock& clock) : clock_(clock) {}

  void AddMusic(uint32_t music, SyncTable table);
  void RemoveMusic(uint32_t music);
  void RemoveAll();
  // A procedure for the music's sync effects, given the effect's value
  // (`passValue`) or the position (order low word, row high word). Returns
  // the sync handle, 0 for an unknown music.
  uint32_t AddSync(uint32_t music, bool passValue, SYNCPROC proc, void* user);
  bool SetScaler(uint32_t music, uint32_t scaler);
  // The position heard: order in the low word, row × scaler in the high
  // word; false for an unknown music.
  bool Position(uint32_t music, uint32_t* position) const;

  struct Due {
    SYNCPROC proc;
    uint32_t sync;
    uint32_t music;
    uint32_t data;
    void* user;
    int64_t frame;  // the first frame of the row
  };
  // Removes and returns the syncs whose row starts before `end`, oldest
  // first.
  std::vector<Due> TakeBefore(int64_t end);
  // Waits until a sync is heard (then returns it and the others due) or
  // Interrupt is called (then returns none).
  std::vector<Due> WaitDue();
  void Interrupt();
  void ClearInterrupt();

  void OnRowStart(uint32_t handle, int64_t frame, int32_t order, int32_t pattern,
                  int32_t row) override;
  void OnPlay(uint32_t handle, int32_t order, int32_t row) override;
  void OnStop(uint32_t handle) override;

 private:
  struct RowMark {
    int64_t frame;
    int32_t order;
    int32_t row;
  };
  struct Procedure {
    uint32_t sync;
    bool passValue;
    SYNCPROC proc;
    void* user;
  };
  struct Music {
    SyncTable table;
    uint32_t scaler = 1;
    std::deque<RowMark> rows;  // the latest heard, then those not yet heard
    std::vector<Procedure> procedures;
  };

  void ForgetUnheard(uint32_t music, Music& state, int64_t heard);
  std::vector<Due> TakeLocked(int64_t end);

  const AudioClock& clock_;
  mutable std::mutex mutex_;  // taken under the mixer's lock, never the reverse
  std::condition_variable changed_;
  mutable std::map<uint32_t, Music> musics_;
  std::deque<Due> pending_;  // by frame
  uint32_t nextSync_ = 1;
  bool interrupted_ = false;
};

}  // namespace platform
