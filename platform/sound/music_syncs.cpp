#include "platform/sound/music_syncs.hpp"

#include <algorithm>

namespace platform {
namespace {

constexpr auto kLongestWait = std::chrono::milliseconds(20);  // the clock may stall or jump
constexpr uint32_t kWord = 0xFFFF;

uint32_t PackPosition(int32_t order, uint32_t row) {
  return (static_cast<uint32_t>(order) & kWord) | (row & kWord) << 16;
}

}  // namespace

void MusicSyncs::AddMusic(uint32_t music, SyncTable table) {
  std::lock_guard lock(mutex_);
  Music& state = musics_[music];
  state = Music{};
  state.table = std::move(table);
}

void MusicSyncs::RemoveMusic(uint32_t music) {
  std::lock_guard lock(mutex_);
  musics_.erase(music);
  std::erase_if(pending_, [music](const Due& due) { return due.music == music; });
}

void MusicSyncs::RemoveAll() {
  std::lock_guard lock(mutex_);
  musics_.clear();
  pending_.clear();
}

uint32_t MusicSyncs::AddSync(uint32_t music, bool passValue, SYNCPROC proc, void* user) {
  std::lock_guard lock(mutex_);
  const auto found = musics_.find(music);
  if (found == musics_.end() || !proc) return 0;
  const uint32_t sync = nextSync_++;
  if (nextSync_ == 0) nextSync_ = 1;
  found->second.procedures.push_back({sync, passValue, proc, user});
  return sync;
}

bool MusicSyncs::SetScaler(uint32_t music, uint32_t scaler) {
  std::lock_guard lock(mutex_);
  const auto found = musics_.find(music);
  if (found == musics_.end() || scaler == 0) return false;
  found->second.scaler = scaler;
  return true;
}

bool MusicSyncs::Position(uint32_t music, uint32_t* position) const {
  std::lock_guard lock(mutex_);
  const auto found = musics_.find(music);
  if (found == musics_.end()) return false;
  Music& state = found->second;
  const int64_t heard = clock_.HeardFrame(AudioClock::Clock::now());
  while (state.rows.size() > 1 && state.rows[1].frame <= heard) state.rows.pop_front();
  const RowMark mark =
      state.rows.empty() || state.rows.front().frame > heard ? RowMark{0, 0, 0} : state.rows.front();
  *position = PackPosition(mark.order, static_cast<uint32_t>(mark.row) * state.scaler);
  return true;
}

std::vector<MusicSyncs::Due> MusicSyncs::TakeLocked(int64_t end) {
  std::vector<Due> due;
  while (!pending_.empty() && pending_.front().frame < end) {
    due.push_back(pending_.front());
    pending_.pop_front();
  }
  return due;
}

std::vector<MusicSyncs::Due> MusicSyncs::TakeBefore(int64_t end) {
  std::lock_guard lock(mutex_);
  return TakeLocked(end);
}

std::vector<MusicSyncs::Due> MusicSyncs::WaitDue() {
  std::unique_lock lock(mutex_);
  while (!interrupted_) {
    const auto now = AudioClock::Clock::now();
    std::vector<Due> due = TakeLocked(clock_.HeardFrame(now) + 1);
    if (!due.empty()) return due;
    const auto wait = pending_.empty()
                          ? AudioClock::Clock::duration(kLongestWait)
                          : std::min<AudioClock::Clock::duration>(
                                clock_.Until(pending_.front().frame, now), kLongestWait);
    changed_.wait_for(lock, wait);
  }
  return {};
}

void MusicSyncs::Interrupt() {
  std::lock_guard lock(mutex_);
  interrupted_ = true;
  changed_.notify_all();
}

void MusicSyncs::ClearInterrupt() {
  std::lock_guard lock(mutex_);
  interrupted_ = false;
}

void MusicSyncs::ForgetUnheard(uint32_t music, Music& state, int64_t heard) {
  while (!state.rows.empty() && state.rows.back().frame > heard) state.rows.pop_back();
  std::erase_if(pending_, [music](const Due& due) { return due.music == music; });
}

void MusicSyncs::OnRowStart(uint32_t handle, int64_t frame, int32_t order, int32_t pattern,
                            int32_t row) {
  std::lock_guard lock(mutex_);
  const auto found = musics_.find(handle);
  if (found == musics_.end()) return;
  Music& state = found->second;
  const int64_t heard = clock_.HeardFrame(AudioClock::Clock::now());
  while (state.rows.size() > 1 && state.rows[1].frame <= heard) state.rows.pop_front();
  state.rows.push_back({frame, order, row});
  const std::vector<uint8_t>& values = state.table.At(pattern, row);
  if (values.empty() || state.procedures.empty()) return;
  const auto at = std::upper_bound(pending_.begin(), pending_.end(), frame,
                                   [](int64_t f, const Due& due) { return f < due.frame; });
  std::vector<Due> added;
  for (uint8_t value : values)
    for (const Procedure& p : state.procedures)
      added.push_back({p.proc, p.sync, handle,
                       p.passValue ? value : PackPosition(order, static_cast<uint32_t>(row)),
                       p.user, frame});
  pending_.insert(at, added.begin(), added.end());
  changed_.notify_all();
}

// The new position is reported at once; what was mixed of the old one but
// not yet heard is forgotten.
void MusicSyncs::OnPlay(uint32_t handle, int32_t order, int32_t row) {
  std::lock_guard lock(mutex_);
  const auto found = musics_.find(handle);
  if (found == musics_.end()) return;
  const int64_t heard = clock_.HeardFrame(AudioClock::Clock::now());
  ForgetUnheard(handle, found->second, heard);
  found->second.rows.assign(1, RowMark{heard, order, row});
}

void MusicSyncs::OnStop(uint32_t handle) {
  std::lock_guard lock(mutex_);
  const auto found = musics_.find(handle);
  if (found == musics_.end()) return;
  ForgetUnheard(handle, found->second, clock_.HeardFrame(AudioClock::Clock::now()));
}

}  // namespace platform
