#include "marigold/wav_file.hpp"

#include <array>
#include <bit>

namespace marigold {
namespace {

constexpr uint16_t kPcmFormat = 1;
constexpr uint16_t kBitsPerSample = 16;
constexpr uint32_t kFormatChunkBytes = 16;
constexpr uint32_t kRiffOverhead = kWavHeaderBytes - 8;  // what RIFF's size counts beyond the data

void Put16(uint8_t* at, uint16_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}
void Put32(uint8_t* at, uint32_t value) {
  Put16(at, static_cast<uint16_t>(value));
  Put16(at + 2, static_cast<uint16_t>(value >> 16));
}

}  // namespace

WavFile::~WavFile() {
  if (file_) std::fclose(file_);
}

bool WavFile::Open(const std::string& path, uint32_t rate, uint16_t channels) {
  if (file_) return false;
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) return false;
  rate_ = rate;
  channels_ = channels;
  frames_ = 0;
  return WriteHeader();
}

bool WavFile::WriteHeader() {
  const uint32_t blockAlign = channels_ * (kBitsPerSample / 8);
  const auto dataBytes = static_cast<uint32_t>(frames_ * blockAlign);
  std::array<uint8_t, kWavHeaderBytes> header{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E',
                                              'f', 'm', 't', ' '};
  Put32(&header[4], kRiffOverhead + dataBytes);
  Put32(&header[16], kFormatChunkBytes);
  Put16(&header[20], kPcmFormat);
  Put16(&header[22], channels_);
  Put32(&header[24], rate_);
  Put32(&header[28], rate_ * blockAlign);
  Put16(&header[32], static_cast<uint16_t>(blockAlign));
  Put16(&header[34], kBitsPerSample);
  header[36] = 'd';
  header[37] = 'a';
  header[38] = 't';
  header[39] = 'a';
  Put32(&header[40], dataBytes);
  return std::fseek(file_, 0, SEEK_SET) == 0 &&
         std::fwrite(header.data(), header.size(), 1, file_) == 1;
}

bool WavFile::Append(const int16_t* samples, uint64_t frames) {
  if (!file_) return false;
  const size_t count = static_cast<size_t>(frames) * channels_;
  if constexpr (std::endian::native == std::endian::little) {
    if (count && std::fwrite(samples, sizeof(int16_t), count, file_) != count) return false;
  } else {
    for (size_t i = 0; i < count; ++i) {
      uint8_t bytes[2];
      Put16(bytes, static_cast<uint16_t>(samples[i]));
      if (std::fwrite(bytes, sizeof bytes, 1, file_) != 1) return false;
    }
  }
  frames_ += frames;
  return true;
}

bool WavFile::Finish() {
  if (!file_) return false;
  bool ok = WriteHeader();
  if (std::fclose(file_) != 0) ok = false;
  file_ = nullptr;
  return ok;
}

}  // namespace marigold
