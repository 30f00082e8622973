// JPEG service: decodes a JPEG file into 8-bit B, G, R rows.
//
// The reader asks for a file's header first, then for the whole picture in a
// buffer it owns. Every call returns a status code instead of ending the
// process; 0 is success. One driver is current for the whole process
// (selected in drivers.cpp).
#pragma once

#include <cstdint>

namespace platform {

enum JpegStatus : int {
  kJpegOk = 0,
  kJpegCannotOpen = 1,   // the file cannot be opened
  kJpegBadData = 2,      // not a JPEG, damaged, or cut short
  kJpegUnsupported = 3,  // a valid JPEG this service cannot decode (12-bit samples, odd channels)
  kJpegBadOutput = 4,    // the output description does not fit the picture
  kJpegNoMemory = 5,
};

// The colour space the caller takes the file to be in.
enum class JpegColor {
  Grey,   // one channel
  YCbCr,  // three channels (files that mark themselves as RGB decode as RGB)
  Other,  // anything else: no conversion to B, G, R exists
};

struct JpegHeader {
  int32_t width;
  int32_t height;
  int32_t channels;
};

// Where the decoded picture goes: `height` rows from the top, each `width`
// pixels of 3 bytes B, G, R followed by `padBytes` bytes left untouched.
struct JpegOutput {
  JpegColor sourceColor;
  int32_t width;
  int32_t height;
  int32_t padBytes;
  uint8_t* bytes;  // (width * 3 + padBytes) * height
};

class JpegService {
 public:
  virtual ~JpegService() = default;

  virtual const char* DriverName() const = 0;

  // Reads the picture parameters of the file at `path`.
  virtual int ReadHeader(const char* path, JpegHeader* header) = 0;

  // Decodes the whole file into `output`, whose size must match the file's.
  virtual int Decode(const char* path, const JpegOutput& output) = 0;
};

// The current driver. Never null: before any selection it is libjpeg's.
JpegService& Jpeg();

// Makes `service` current; the caller keeps it alive. Null restores libjpeg's.
void SetJpegService(JpegService* service);

// The real driver, over libjpeg-turbo (8-bit samples only).
JpegService& LibjpegService();

// Test driver. It reads a trivial format instead of JPEG, "FJPG" followed by
// width and height (16-bit little endian), a channel count byte and then
// width * height * 3 bytes R, G, B; it records the calls it gets.
// `failWith` other than 0 makes every call return that status.
class FakeJpegService final : public JpegService {
 public:
  const char* DriverName() const override { return "fake"; }
  int ReadHeader(const char* path, JpegHeader* header) override;
  int Decode(const char* path, const JpegOutput& output) override;

  int failWith = kJpegOk;
  int headerCalls = 0;
  int decodeCalls = 0;
  JpegOutput lastOutput{};
};

FakeJpegService& FakeJpeg();

}  // namespace platform
