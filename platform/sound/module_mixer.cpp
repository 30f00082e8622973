#include "platform/sound/module_mixer.hpp"

#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cstring>

#include "platform/sound/module_file.hpp"

namespace platform {
namespace {

constexpr int kChunkFrames = 256;

int16_t Clamp16(int32_t value) {
  return static_cast<int16_t>(std::clamp<int32_t>(value, INT16_MIN, INT16_MAX));
}

}  // namespace

int32_t GainOfLevel(int32_t level, int32_t full) {
  const int64_t clamped = std::clamp(level, 0, full);
  return static_cast<int32_t>((clamped * kUnityGain + full / 2) / full);
}

ModuleMixer::~ModuleMixer() { RemoveAll(); }

void ModuleMixer::SetFormat(int32_t rate, SampleFormat format) {
  std::lock_guard lock(mutex_);
  rate_ = rate;
  format_ = format;
}

ModuleMixer::Slot* ModuleMixer::Find(uint32_t handle) {
  if (handle == 0) return nullptr;
  for (Slot& slot : slots_)
    if (slot.handle == handle) return &slot;
  return nullptr;
}

const ModuleMixer::Slot* ModuleMixer::Find(uint32_t handle) const {
  return const_cast<ModuleMixer*>(this)->Find(handle);
}

uint32_t ModuleMixer::Add(openmpt_module* module) {
  if (!module) return 0;
  {
    std::lock_guard lock(mutex_);
    for (Slot& slot : slots_) {
      if (slot.handle != 0) continue;
      openmpt_module_set_repeat_count(module, 0);
      // No dither noise: the same module always mixes to the same samples.
      openmpt_module_ctl_set_integer(module, "dither", 0);
      slot = Slot{};
      slot.handle = nextHandle_;
      slot.module = module;
      slot.gain = kUnityGain;
      slot.order = slot.row = -1;
      if (++nextHandle_ == 0) nextHandle_ = 1;
      return slot.handle;
    }
  }
  FreeModule(module);
  return 0;
}

bool ModuleMixer::Remove(uint32_t handle) {
  openmpt_module* module = nullptr;
  {
    std::lock_guard lock(mutex_);
    Slot* slot = Find(handle);
    if (!slot) return false;
    module = slot->module;
    *slot = Slot{};
  }
  FreeModule(module);
  return true;
}

void ModuleMixer::RemoveAll() {
  openmpt_module* modules[kSlots] = {};
  {
    std::lock_guard lock(mutex_);
    for (int i = 0; i < kSlots; ++i) {
      modules[i] = slots_[i].module;
      slots_[i] = Slot{};
    }
  }
  for (openmpt_module* module : modules) FreeModule(module);
}

bool ModuleMixer::Play(uint32_t handle, int32_t order, int32_t row, bool reset) {
  std::lock_guard lock(mutex_);
  Slot* slot = Find(handle);
  if (!slot) return false;
  if (reset) openmpt_module_set_position_seconds(slot->module, 0.0);
  if (!reset || order != 0 || row != 0)
    openmpt_module_set_position_order_row(slot->module, order, row);
  slot->playing = true;
  slot->order = slot->row = -1;
  // Heard from now on: the start order, until the mix reaches the listener.
  slot->markCount = slot->markNext = 0;
  Mark(*slot, mixedFrames_.load(std::memory_order_relaxed),
       openmpt_module_get_current_order(slot->module));
  if (slot->watched && listener_)
    listener_->OnPlay(handle, openmpt_module_get_current_order(slot->module),
                      openmpt_module_get_current_row(slot->module));
  return true;
}

void ModuleMixer::Mark(Slot& slot, int64_t frame, int32_t order) {
  slot.marks[slot.markNext] = {frame, order};
  slot.markNext = (slot.markNext + 1) % kMarks;
  if (slot.markCount < kMarks) ++slot.markCount;
}

int32_t ModuleMixer::HeardOrder(uint32_t handle, int64_t latencyFrames) const {
  std::lock_guard lock(mutex_);
  const Slot* slot = Find(handle);
  if (!slot) return -1;
  if (slot->markCount == 0) return openmpt_module_get_current_order(slot->module);
  const int64_t heard = mixedFrames_.load(std::memory_order_relaxed) - latencyFrames;
  // The newest mark at or before the heard frame; the oldest one if none.
  int32_t order = -1;
  for (int i = 1; i <= slot->markCount; ++i) {
    const OrderMark& mark = slot->marks[(slot->markNext - i + kMarks) % kMarks];
    order = mark.order;
    if (mark.frame <= heard) break;
  }
  return order;
}

bool ModuleMixer::Resume(uint32_t handle) {
  std::lock_guard lock(mutex_);
  Slot* slot = Find(handle);
  if (!slot) return false;
  slot->playing = true;
  return true;
}

bool ModuleMixer::Stop(uint32_t handle) {
  std::lock_guard lock(mutex_);
  Slot* slot = Find(handle);
  if (!slot) return false;
  slot->playing = false;
  if (slot->watched && listener_) listener_->OnStop(handle);
  return true;
}

bool ModuleMixer::IsPlaying(uint32_t handle) const {
  std::lock_guard lock(mutex_);
  const Slot* slot = Find(handle);
  return slot && slot->playing;
}

bool ModuleMixer::SetLooping(uint32_t handle, bool looping) {
  std::lock_guard lock(mutex_);
  Slot* slot = Find(handle);
  if (!slot) return false;
  slot->looping = looping;
  openmpt_module_set_repeat_count(slot->module, looping ? -1 : 0);
  return true;
}

bool ModuleMixer::SetInterpolation(uint32_t handle, int32_t taps) {
  std::lock_guard lock(mutex_);
  Slot* slot = Find(handle);
  return slot && openmpt_module_set_render_param(
                     slot->module, OPENMPT_MODULE_RENDER_INTERPOLATIONFILTER_LENGTH, taps) != 0;
}

bool ModuleMixer::SetStereoSeparation(uint32_t handle, int32_t percent) {
  std::lock_guard lock(mutex_);
  Slot* slot = Find(handle);
  return slot && openmpt_module_set_render_param(slot->module,
                                                 OPENMPT_MODULE_RENDER_STEREOSEPARATION_PERCENT,
                                                 std::clamp(percent, 0, 200)) != 0;
}

bool ModuleMixer::SetModuleGain(uint32_t handle, int32_t gain) {
  std::lock_guard lock(mutex_);
  Slot* slot = Find(handle);
  if (!slot) return false;
  slot->gain = std::clamp(gain, 0, kUnityGain);
  return true;
}

bool ModuleMixer::SetPreamp(uint32_t handle, int32_t millibel) {
  std::lock_guard lock(mutex_);
  Slot* slot = Find(handle);
  return slot && openmpt_module_set_render_param(
                     slot->module, OPENMPT_MODULE_RENDER_MASTERGAIN_MILLIBEL, millibel) != 0;
}

void ModuleMixer::SetRowListener(RowListener* listener) {
  std::lock_guard lock(mutex_);
  listener_ = listener;
}

bool ModuleMixer::SetRowWatch(uint32_t handle, bool watch) {
  std::lock_guard lock(mutex_);
  Slot* slot = Find(handle);
  if (!slot) return false;
  slot->watched = watch;
  return true;
}

void ModuleMixer::SetMasterGain(int32_t gain) {
  std::lock_guard lock(mutex_);
  masterGain_ = std::clamp(gain, 0, kUnityGain);
}

// Reads a watched module piece by piece, telling the listener of each row
// that starts: libopenmpt moves to a row when it renders the row's first
// frame, so a new row seen after a piece started within that piece.
size_t ModuleMixer::ReadWatched(Slot& slot, int16_t* samples, int frames) {
  const int64_t start = mixedFrames_.load(std::memory_order_relaxed);
  size_t done = 0;
  while (done < static_cast<size_t>(frames)) {
    const size_t piece = std::min<size_t>(kRowProbeFrames, static_cast<size_t>(frames) - done);
    const size_t got =
        openmpt_module_read_interleaved_stereo(slot.module, rate_, piece, samples + done * 2);
    const int32_t order = openmpt_module_get_current_order(slot.module);
    const int32_t row = openmpt_module_get_current_row(slot.module);
    // A module that does not loop ends where it would go back to an earlier
    // order; libopenmpt then reports the start while the last row fades.
    const bool ended = got < piece || (!slot.looping && slot.order >= 0 && order < slot.order);
    if (!ended && (order != slot.order || row != slot.row)) {
      slot.order = order;
      slot.row = row;
      if (listener_)
        listener_->OnRowStart(slot.handle, start + static_cast<int64_t>(done), order,
                              openmpt_module_get_current_pattern(slot.module), row);
    }
    done += got;
    if (got < piece) break;
  }
  return done;
}

// Adds every playing module's next `frames` frames to `mix`.
void ModuleMixer::MixChunk(int32_t* mix, int frames) {
  int16_t samples[kChunkFrames * 2];
  for (Slot& slot : slots_) {
    if (!slot.playing) continue;
    Mark(slot, mixedFrames_.load(std::memory_order_relaxed),
         openmpt_module_get_current_order(slot.module));
    const size_t got = slot.watched ? ReadWatched(slot, samples, frames)
                                    : openmpt_module_read_interleaved_stereo(
                                          slot.module, rate_, static_cast<size_t>(frames), samples);
    if (got < static_cast<size_t>(frames)) slot.playing = false;  // the end of a one-shot module
    const int32_t gain = static_cast<int32_t>(int64_t{slot.gain} * masterGain_ / kUnityGain);
    const int count = static_cast<int>(got) * 2;
    if (gain == kUnityGain) {
      for (int i = 0; i < count; ++i) mix[i] += samples[i];
    } else {
      for (int i = 0; i < count; ++i) mix[i] += (samples[i] * gain) >> 15;
    }
  }
}

void ModuleMixer::Render(void* out, int bytes) {
  std::lock_guard lock(mutex_);
  const int frameBytes = BytesPerFrame();
  uint8_t* at = static_cast<uint8_t*>(out);
  int frames = bytes / frameBytes;
  int32_t mix[kChunkFrames * 2];
  while (frames > 0) {
    const int chunk = std::min(frames, kChunkFrames);
    std::fill_n(mix, chunk * 2, 0);
    MixChunk(mix, chunk);
    if (format_ == SampleFormat::Signed16) {
      int16_t samples[kChunkFrames * 2];
      for (int i = 0; i < chunk * 2; ++i) samples[i] = Clamp16(mix[i]);
      std::memcpy(at, samples, static_cast<size_t>(chunk) * 4);
    } else {
      for (int i = 0; i < chunk * 2; ++i)
        at[i] = static_cast<uint8_t>((Clamp16(mix[i]) >> 8) + 128);
    }
    at += chunk * frameBytes;
    frames -= chunk;
    mixedFrames_.fetch_add(chunk, std::memory_order_release);
  }
  const int rest = bytes % frameBytes;
  if (rest > 0)
    std::memset(at, format_ == SampleFormat::Signed16 ? 0 : 128, static_cast<size_t>(rest));
}

}  // namespace platform
