// libjpeg's own encoder and plain decoder, for tests and benchmarks: the
// reader's JPEG loader is checked and measured against them. Not used by the
// programs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

// Pixels as R, G, B bytes, rows from the top, no padding.
struct RgbPicture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> rgb;
};

enum class JpegCoding { Baseline, Progressive, Arithmetic };

struct JpegEncodeOptions {
  int quality = 90;
  int channels = 3;  // 1 grey, 3 YCbCr, 4 CMYK (from the inverted colours, K = 0)
  JpegCoding coding = JpegCoding::Baseline;
};

// Encodes `picture`; false on any libjpeg error.
bool EncodeJpeg(const RgbPicture& picture, const JpegEncodeOptions& options,
                std::vector<uint8_t>* jpeg);

// Decodes with libjpeg's defaults to R, G, B; false on any error or warning
// of missing data. `picture->rgb` keeps its storage when the size repeats.
bool DecodeJpegToRgb(const uint8_t* data, size_t size, RgbPicture* picture);

// The same, reading the file at `path`.
bool DecodeJpegFileToRgb(const char* path, RgbPicture* picture);

}  // namespace platform
