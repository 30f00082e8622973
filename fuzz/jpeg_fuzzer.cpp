// Arbitrary bytes as a JPEG file, loaded through the reader's JPEG loader and
// the real libjpeg-turbo driver. The only way out of a bad file is
// FatalError, which here throws FatalEscape.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_support.hpp"
#include "platform/jpeg/jpeg_service.hpp"
#include "varnel/media/picture.hpp"

using namespace varnel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_support::InterceptFatalErrors();
  platform::SetJpegService(&platform::LibjpegService());
  static const std::string name = "jpeg-fuzz-" + std::to_string(getpid()) + ".jpg";
  FILE* file = std::fopen(name.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  Picture picture{};
  try {
    LoadJpegPicture(name.c_str(), &picture);
    std::free(picture.pixels);
  } catch (const fuzz_support::FatalEscape&) {
  }
  std::remove(name.c_str());
  return 0;
}
