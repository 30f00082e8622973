// Internal to the fast Huffman unpacker (huffman_fast.cpp): lookup tables
// indexed by the next kTableBits bits of the stream, least significant first.
#pragma once

#include <cstdint>

#include "varnel/media/huffman_tree.hpp"

namespace varnel {

namespace huffman_detail {

constexpr int kTableBits = 12;
constexpr uint32_t kTableSize = 1u << kTableBits;
constexpr uint64_t kTableMask = kTableSize - 1;
constexpr int kMaxBytesPerEntry = 3;

// Multi entry (uint32):
//   bits 0-5    bits consumed: the sum of the codes' lengths (<= kTableBits),
//               so that a shift by the whole entry (x86 masks the count to 6
//               bits) consumes them
//   bits 6-29   the bytes, first in bits 6-13
//   bits 30-31  bytes decoded: 1 to 3; 0 marks a special entry
//   special entries: all zero for "end symbol first"; kTableBits in bits 0-5
//   for "code longer than kTableBits", with the inner node reached after
//   kTableBits bits in bits 6-29
constexpr uint32_t kLengthMask = 63;
constexpr int kBytesShift = 6;
constexpr int kCountShift = 30;
constexpr uint32_t kOneByte = 1u << kCountShift;  // entries below this are special

// Single entry (uint16): the first code alone. Bits 0-3 its length (0 for a
// code longer than kTableBits), bits 4-12 its symbol (the end symbol too).
constexpr uint32_t kSingleLengthMask = 15;
constexpr int kSingleSymbolShift = 4;
static_assert(kTableBits <= kSingleLengthMask);

struct DecodeTables {
  uint32_t multi[kTableSize];
  uint16_t single[kTableSize];
};

// Fills both tables from a tree whose root is not a leaf.
void BuildDecodeTables(const HuffmanTree& tree, DecodeTables& tables);

}  // namespace huffman_detail

}  // namespace varnel
