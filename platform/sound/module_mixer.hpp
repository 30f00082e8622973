// Mixes the playing modules into interleaved stereo, 16-bit signed or 8-bit
// unsigned samples. The audio device's callback thread calls Render; the
// other calls come from the program's threads. One mutex guards the modules;
// loading and freeing happen outside it.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

struct openmpt_module;

namespace platform {

enum class SampleFormat { Signed16, Unsigned8 };

// Gains are fixed point with kUnityGain as 1.0.
constexpr int32_t kUnityGain = 1 << 15;

// Told, under the mixer's lock, about the rows of watched modules: each row
// as it starts, stamped with its first output frame (counted by
// MixedFrames; accurate to kRowProbeFrames), and every start and stop.
class RowListener {
 public:
  virtual ~RowListener() = default;
  virtual void OnRowStart(uint32_t handle, int64_t frame, int32_t order, int32_t pattern,
                          int32_t row) = 0;
  virtual void OnPlay(uint32_t handle, int32_t order, int32_t row) = 0;
  virtual void OnStop(uint32_t handle) = 0;
};

class ModuleMixer {
 public:
  static constexpr int kSlots = 8;
  // Watched modules are read in pieces of this many frames, so that a row
  // start is placed within 1.5 ms at 44.1 kHz.
  static constexpr int kRowProbeFrames = 64;

  ModuleMixer() = default;
  ~ModuleMixer();
  ModuleMixer(const ModuleMixer&) = delete;
  ModuleMixer& operator=(const ModuleMixer&) = delete;

  // The output the modules are mixed for; set before audio runs.
  void SetFormat(int32_t rate, SampleFormat format);
  int32_t rate() const { return rate_; }
  SampleFormat format() const { return format_; }
  int BytesPerFrame() const { return format_ == SampleFormat::Signed16 ? 4 : 2; }

  // Takes the module over, stopped, and returns its handle (never 0); 0 when
  // every slot is taken, and then the module is freed.
  uint32_t Add(openmpt_module* module);
  // Frees one module, or all of them. False for an unknown handle.
  bool Remove(uint32_t handle);
  void RemoveAll();

  // Plays from order `order`, row `row`. With `reset` the module first
  // returns to its initial state (tempo, speed, volumes, channels); without,
  // it keeps them and only jumps.
  bool Play(uint32_t handle, int32_t order = 0, int32_t row = 0, bool reset = true);
  // Plays on from where the module stopped.
  bool Resume(uint32_t handle);
  bool Stop(uint32_t handle);
  bool IsPlaying(uint32_t handle) const;

  // Looping modules start over at their end; the others stop there.
  bool SetLooping(uint32_t handle, bool looping);
  // Resampling taps: 1 nearest, 2 linear, 4 cubic, 8 windowed sinc.
  bool SetInterpolation(uint32_t handle, int32_t taps);
  // 0 mono, 100 the module's own panning, up to 200.
  bool SetStereoSeparation(uint32_t handle, int32_t percent);
  bool SetModuleGain(uint32_t handle, int32_t gain);
  // The order the listener hears: the one mixed `latencyFrames` output
  // frames ago (what the audio device still holds is not heard yet). -1
  // for an unknown handle.
  int32_t HeardOrder(uint32_t handle, int64_t latencyFrames) const;
  void SetMasterGain(int32_t gain);
  // libopenmpt's own pre-amplification in millibel (0: as the module says).
  bool SetPreamp(uint32_t handle, int32_t millibel);

  // The listener (null: none) and the modules whose rows it hears.
  void SetRowListener(RowListener* listener);
  bool SetRowWatch(uint32_t handle, bool watch);
  // Frames Render has produced so far.
  int64_t MixedFrames() const { return mixedFrames_.load(std::memory_order_acquire); }

  // Fills `bytes` bytes (whole frames) with the mix; silence when nothing
  // plays.
  void Render(void* out, int bytes);

 private:
  // Where a module was at a mixed frame: one mark per chunk, the newest
  // kMarks kept, enough for the longest device buffer.
  static constexpr int kMarks = 64;
  struct OrderMark {
    int64_t frame;
    int32_t order;
  };
  struct Slot {
    uint32_t handle;
    openmpt_module* module;
    bool playing;
    bool looping;
    int32_t gain;
    OrderMark marks[kMarks];
    int markCount;  // marks kept, newest at (markNext - 1)
    int markNext;
    bool watched;
    int32_t order;  // the row last told to the listener, -1 before the first
    int32_t row;
  };
  static void Mark(Slot& slot, int64_t frame, int32_t order);
  Slot* Find(uint32_t handle);
  const Slot* Find(uint32_t handle) const;
  void MixChunk(int32_t* mix, int frames);
  size_t ReadWatched(Slot& slot, int16_t* samples, int frames);

  mutable std::mutex mutex_;
  Slot slots_[kSlots] = {};
  uint32_t nextHandle_ = 1;
  int32_t masterGain_ = kUnityGain;
  int32_t rate_ = 44100;
  SampleFormat format_ = SampleFormat::Signed16;
  RowListener* listener_ = nullptr;
  std::atomic<int64_t> mixedFrames_ = 0;
};

// Converts a 0..`full` level to a gain; levels outside are clamped.
int32_t GainOfLevel(int32_t level, int32_t full);

}  // namespace platform
