// Arbitrary bytes into the GIF decoder, once with a palette and once without.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>

#include "fuzz/fuzz_support.hpp"
#include "varnel/media/gif_decoder.hpp"

using namespace varnel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_support::InterceptFatalErrors();
  if (size > INT32_MAX) return 0;
  uint8_t palette[kGifPaletteBytes];
  for (uint8_t* target : {palette, static_cast<uint8_t*>(nullptr)}) {
    IndexedImage image{};
    if (DecodeGif(data, static_cast<int32_t>(size), &image, target)) std::free(image.pixels);
  }
  return 0;
}
