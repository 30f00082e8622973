// The fast Huffman unpacker: table-driven, with the exact result of
// UnpackHuffmanReference on every input (huffman_codec.cpp).
//
// Decoding table: the next kTableBits bits of the stream (LSB first) index an
// entry that holds one to three complete byte codes (all within the index
// bits), or marks a "special" case: a code longer than the index, or the end
// symbol as the first code. Specials are handled by an exact one-symbol step.
//
// The fast loop runs only while at least 8 unread input bytes and 16 bytes of
// output room are left; it refills a 64-bit buffer with one unaligned 8-byte
// load and then does four lookups (each consumes at most kTableBits of the
// >= 56 held bits). Every bit it takes comes from a byte inside the
// packed data, and every byte it stores lies inside the output capacity, so
// within it the reference's checks cannot fire. The tail (near the end of
// input or output) and the specials go through the exact step, which takes
// bits one at a time from bytes that exist and applies the reference's checks
// in the reference's order.
#include <bit>
#include <cstdint>
#include <cstring>

#include "varnel/media/huffman_codec.hpp"
#include "varnel/media/huffman_tree.hpp"

namespace varnel {

using namespace huffman_detail;

namespace {

constexpr int kTableBits = 12;
constexpr uint32_t kTableSize = 1u << kTableBits;
constexpr uint64_t kTableMask = kTableSize - 1;

// Entry layout (uint32):
//   bits 0-5   bits consumed: the sum of the codes' lengths (<= kTableBits);
//              so that a shift by the whole entry (x86 masks the count to 6
//              bits) consumes them
//   bits 6-7   bytes decoded: 1 to 3; 0 marks a special entry
//   bits 8-31  the bytes, first in bits 8-15 (normal entries)
//   special entries: bits 0-5 zero for "end symbol first"; kTableBits for
//   "code longer than kTableBits", with the inner node reached after
//   kTableBits bits in bits 8-23
constexpr uint32_t kLengthMask = 63;
constexpr int kCountShift = 6;
constexpr uint32_t kCountMask = 3u << kCountShift;
constexpr int kMaxBytesPerEntry = 3;
constexpr int kLookupsPerRefill = 4;  // 4 * kTableBits <= 56 bits held after a refill
static_assert(kLookupsPerRefill * kTableBits <= 56);
// Bytes one group of lookups may touch: 3 per lookup plus the stray bytes of
// the last 4-byte store.
constexpr size_t kGroupWindow = kLookupsPerRefill * kMaxBytesPerEntry + 4;
static_assert(kGroupWindow <= 16);

constexpr uint32_t SingleEntry(int symbol, int length) {
  return static_cast<uint32_t>(length) | (1u << kCountShift) | (static_cast<uint32_t>(symbol) << 8);
}

uint64_t Load64LittleEndian(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
  return v;
}

void Store32LittleEndian(uint8_t* p, uint32_t v) {
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
  std::memcpy(p, &v, sizeof v);
}

// Fills table[0 .. kTableSize) from the tree (root is not a leaf).
void BuildDecodeTable(const HuffmanTree& tree, uint32_t* table) {
  // Single codes, depth-first over the nodes at depth <= kTableBits. A leaf at
  // depth d owns every index whose low d bits are its code; an inner node at
  // depth kTableBits owns exactly its path.
  struct Item {
    int16_t node;
    uint8_t depth;
    uint32_t path;
  };
  Item stack[kTableBits + 2];
  int top = 0;
  stack[top++] = {static_cast<int16_t>(tree.root), 0, 0};
  while (top > 0) {
    const Item item = stack[--top];
    if (tree.IsLeaf(item.node)) {
      const int symbol = tree.symbol[item.node];
      const uint32_t entry = symbol == kEndOfStreamSymbol ? 0u : SingleEntry(symbol, item.depth);
      for (uint32_t i = item.path; i < kTableSize; i += 1u << item.depth) table[i] = entry;
    } else if (item.depth == kTableBits) {
      table[item.path] =
          static_cast<uint32_t>(kTableBits) | (static_cast<uint32_t>(item.node) << 8);
    } else {
      const uint8_t d = item.depth;
      stack[top++] = {tree.child[item.node][1], static_cast<uint8_t>(d + 1), item.path | (1u << d)};
      stack[top++] = {tree.child[item.node][0], static_cast<uint8_t>(d + 1), item.path};
    }
  }
  // Append further byte codes while they fit in the index bits. The bits after
  // the first l index table[i >> l] (its top l bits are zero, so only a code of
  // at most kTableBits - l bits is really known). Descending order: every
  // table[i >> l] with l >= 1 is still a single-code entry when it is read.
  for (uint32_t i = kTableSize; i-- > 0;) {
    uint32_t entry = table[i];
    if ((entry & kCountMask) == 0) continue;
    uint32_t used = entry & kLengthMask;
    for (int count = 1; count < kMaxBytesPerEntry; ++count) {
      const uint32_t next = table[i >> used];
      if ((next & kCountMask) == 0) break;
      const uint32_t length = next & kLengthMask;
      if (used + length > kTableBits) break;
      used += length;
      entry = used | (static_cast<uint32_t>(count + 1) << kCountShift) | (entry & ~0xFFu) |
              ((next & 0xFF00u) << (8 * count));
    }
    table[i] = entry;
  }
}

}  // namespace

int32_t UnpackHuffman(const uint8_t* packed, int32_t packedSize, uint8_t* output,
                      int32_t capacity) {
  if (packedSize < kHuffmanCountTableSize || capacity < 0) return -1;
  int32_t counts[kHuffmanSymbols];
  LoadCountTable(packed, counts);
  HuffmanTree tree;
  BuildHuffmanTreeByHeap(counts, tree);
  if (tree.IsLeaf(tree.root)) return 0;

  uint32_t table[kTableSize];
  BuildDecodeTable(tree, table);

  const uint8_t* in = packed + kHuffmanCountTableSize;
  const uint8_t* const end = packed + packedSize;
  // Bits of the buffer at and above `held` are zero or the true stream bits
  // that follow, so OR-ing in the next bytes at `held` is always consistent.
  uint64_t buffer = 0;
  uint32_t held = 0;
  const size_t cap = static_cast<size_t>(capacity);
  size_t out = 0;

  for (;;) {
    // ---- Fast loop. An entry stores four bytes at output[out]; those past
    // its decoded bytes are stray. Each group keeps a copy of the window it
    // may touch and puts the bytes from `out` on back when it ends, so only
    // decoded bytes are ever changed.
    while (end - in >= 8 && cap - out >= kGroupWindow) {
      buffer |= Load64LittleEndian(in) << held;
      in += (63 - held) >> 3;
      held |= 56;
      uint8_t* const group = output + out;
      uint8_t original[16];
      std::memcpy(original, group, sizeof original);
      const size_t groupStart = out;
      bool special = false;
      for (int k = 0; k < kLookupsPerRefill; ++k) {
        const uint32_t entry = table[buffer & kTableMask];
        if ((entry & kCountMask) == 0) {
          special = true;
          break;
        }
        Store32LittleEndian(output + out, entry >> 8);
        out += (entry >> kCountShift) & 3;
        buffer >>= entry & kLengthMask;
        held -= entry & kLengthMask;
      }
      std::memcpy(output + out, original + (out - groupStart), 4);
      if (special) break;
    }
    // ---- Exact step: one symbol, with the reference's checks.
    while (held <= 48 && in < end) {
      buffer |= uint64_t{*in++} << held;
      held += 8;
    }
    int node = tree.root;
    if (held >= kTableBits) {
      const uint32_t entry = table[buffer & kTableMask];
      if ((entry & (kCountMask | kLengthMask)) == kTableBits) {  // a longer code
        node = static_cast<int>((entry >> 8) & 0xFFFFu);
        buffer >>= kTableBits;
        held -= kTableBits;
      }
    }
    for (;;) {
      if (held == 0) {
        if (in == end) return -1;
        buffer = *in++;
        held = 8;
      }
      node = tree.child[node][buffer & 1];
      buffer >>= 1;
      --held;
      if (!tree.IsLeaf(node)) continue;
      const int symbol = tree.symbol[node];
      if (symbol == kEndOfStreamSymbol) return static_cast<int32_t>(out);
      if (out >= cap) return -1;
      output[out++] = static_cast<uint8_t>(symbol);
      break;
    }
  }
}

}  // namespace varnel
