// Huffman codec fuzzer.
//
// Input: 2 bytes of output capacity (little endian), then a packed stream.
//  1. Differential: UnpackHuffman and UnpackHuffmanReference on the stream
//     must give the same result and leave the same output buffer (also with
//     exactly the room the stream needs, and one byte less).
//  2. Round trip: the stream's bytes as plain data, packed by PackHuffman,
//     must unpack to themselves with both decoders.
// Buffers are exactly sized so that ASan reports any access past them.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "varnel/media/huffman_codec.hpp"

using namespace varnel;

namespace {

using Bytes = std::vector<uint8_t>;

void Check(bool condition) {
  if (!condition) std::abort();
}

void Differential(const uint8_t* packed, int32_t size, int32_t capacity) {
  Bytes fast(static_cast<size_t>(capacity), 0x5A);
  Bytes ref(static_cast<size_t>(capacity), 0x5A);
  const int32_t a = UnpackHuffman(packed, size, fast.empty() ? nullptr : fast.data(), capacity);
  const int32_t b =
      UnpackHuffmanReference(packed, size, ref.empty() ? nullptr : ref.data(), capacity);
  Check(a == b);
  Check(fast == ref);
  Check(b >= -1 && b <= capacity);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > (1u << 20)) return 0;
  const int32_t capacity = data[0] | (data[1] << 8);
  const uint8_t* stream = data + 2;
  const auto streamSize = static_cast<int32_t>(size - 2);

  Differential(stream, streamSize, capacity);
  {
    // The exact room the stream needs, and one byte less (the fast decoder
    // finds the need; the differential runs check it against the reference).
    Bytes probe(1u << 16);
    const int32_t need = UnpackHuffman(stream, streamSize, probe.data(), 1 << 16);
    if (need >= 0 && need != capacity) Differential(stream, streamSize, need);
    if (need > 0 && need - 1 != capacity) Differential(stream, streamSize, need - 1);
  }

  // Round trip of the stream's bytes as data.
  Bytes packed(static_cast<size_t>(PackHuffmanBound(streamSize)));
  const int32_t packedSize = PackHuffman(stream, streamSize, packed.data());
  Check(packedSize >= kHuffmanCountTableSize && packedSize <= static_cast<int64_t>(packed.size()));
  packed.resize(static_cast<size_t>(packedSize));
  Bytes out(static_cast<size_t>(streamSize));
  Check(UnpackHuffman(packed.data(), packedSize, out.empty() ? nullptr : out.data(), streamSize) ==
        streamSize);
  Check(out.empty() || std::memcmp(out.data(), stream, out.size()) == 0);
  std::fill(out.begin(), out.end(), 0);
  Check(UnpackHuffmanReference(packed.data(), packedSize, out.empty() ? nullptr : out.data(),
                               streamSize) == streamSize);
  Check(out.empty() || std::memcmp(out.data(), stream, out.size()) == 0);
  return 0;
}
