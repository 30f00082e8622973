// A 16-bit PCM WAV file written as the samples come; the sizes in its header
// are filled in when it is finished.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace marigold {

class WavFile {
 public:
  WavFile() = default;
  WavFile(const WavFile&) = delete;
  WavFile& operator=(const WavFile&) = delete;
  ~WavFile();

  // Creates the file with a provisional header; false when it cannot.
  bool Open(const std::string& path, uint32_t rate, uint16_t channels);
  // Appends `frames` interleaved frames after the last; false on a write
  // error.
  bool Append(const int16_t* samples, uint64_t frames);
  // Writes the final sizes and closes; false on a write error.
  bool Finish();
  uint64_t frames() const { return frames_; }

 private:
  bool WriteHeader();

  std::FILE* file_ = nullptr;
  uint32_t rate_ = 0;
  uint16_t channels_ = 0;
  uint64_t frames_ = 0;
};

// Bytes before the samples.
constexpr uint32_t kWavHeaderBytes = 44;

}  // namespace marigold
