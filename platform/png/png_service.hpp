// PNG service: decodes a PNG file into 8-bit R, G, B rows.
//
// Every colour type and bit depth comes out as 8-bit R, G, B: palettes and
// grey below 8 bits expanded, 16-bit channels cut to their high byte, alpha
// and tRNS transparency dropped, interlaced files put together. The caller
// asks for the header first, then for the rows into buffers it owns. Every
// call returns a status code instead of ending the process; 0 is success.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

enum PngStatus : int {
  kPngOk = 0,
  kPngCannotOpen = 1,   // the file cannot be opened
  kPngNotPng = 2,       // no PNG signature
  kPngBadData = 3,      // damaged or cut short; the decoder's text is in the message
  kPngUnsupported = 4,  // decodes to something other than 8-bit R, G, B
  kPngBadOutput = 5,    // the output description does not fit the picture
};

// The decoder's own text of the last failure; empty when it gave none.
struct PngMessage {
  char text[160];
};

struct PngHeader {
  uint32_t width;
  uint32_t height;
  bool interlaced;  // the rows arrive only after the whole picture is read
};

// Where the rows go. `rows` holds one row of width * 3 bytes, or `height`
// rows when the file is interlaced; `rowDone` is called for every row from
// the top with the row's bytes, which stay valid only during the call.
struct PngOutput {
  uint32_t width;
  uint32_t height;
  uint8_t* rows;
  void (*rowDone)(void* context, uint32_t y, const uint8_t* row);
  void* context;
};

// Bytes of the row buffer `Decode` needs for a picture with `header`.
size_t PngRowBufferBytes(const PngHeader& header);

class PngService {
 public:
  virtual ~PngService() = default;

  virtual const char* DriverName() const = 0;

  // Reads the picture parameters of the file at `path`.
  virtual int ReadHeader(const char* path, PngHeader* header, PngMessage* message) = 0;

  // Decodes the whole file into `output`, whose size must match the file's.
  virtual int Decode(const char* path, const PngOutput& output, PngMessage* message) = 0;
};

// The current driver. Never null: before any selection it is libpng's.
PngService& Png();

// Makes `service` current; the caller keeps it alive. Null restores libpng's.
void SetPngService(PngService* service);

// The real driver, over libpng.
PngService& LibpngService();

// Test driver. It reads a trivial format instead of PNG: "FPNG", width and
// height (16-bit little endian), an interlace byte, then width * height * 3
// bytes R, G, B; it records the calls it gets. `failWith` other than 0 makes
// every call return that status with `failText` as the message.
class FakePngService final : public PngService {
 public:
  const char* DriverName() const override { return "fake"; }
  int ReadHeader(const char* path, PngHeader* header, PngMessage* message) override;
  int Decode(const char* path, const PngOutput& output, PngMessage* message) override;

  int failWith = kPngOk;
  const char* failText = "";
  int headerCalls = 0;
  int decodeCalls = 0;
};

FakePngService& FakePng();

// How hard the PNG writer compresses: Small is zlib's default with the
// filter chosen per row; Fast (for long series of frames) is the quickest
// zlib level with one cheap filter, files about 40% larger.
enum class PngCompression { Small, Fast };

// Writes 8-bit R, G, B rows (width * 3 bytes each, top first) as a PNG file
// at `path`: kPngCannotOpen when it cannot be created, kPngBadData when
// writing failed (nothing is left behind then).
int WritePngFile(const char* path, int32_t width, int32_t height, const uint8_t* rgb,
                 PngCompression compression = PngCompression::Small);

}  // namespace platform
