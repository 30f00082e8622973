#include "varnel/media/huffman_decode_table.hpp"

namespace varnel {

namespace huffman_detail {

void BuildDecodeTables(const HuffmanTree& tree, DecodeTables& tables) {
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
      const auto single = static_cast<uint16_t>(
          item.depth | static_cast<uint32_t>(tree.symbol[item.node]) << kSingleSymbolShift);
      for (uint32_t i = item.path; i < kTableSize; i += 1u << item.depth) tables.single[i] = single;
    } else if (item.depth == kTableBits) {
      tables.single[item.path] = 0;
      tables.multi[item.path] =
          static_cast<uint32_t>(kTableBits) | static_cast<uint32_t>(item.node) << kBytesShift;
    } else {
      const uint8_t d = item.depth;
      stack[top++] = {tree.child[item.node][1], static_cast<uint8_t>(d + 1), item.path | (1u << d)};
      stack[top++] = {tree.child[item.node][0], static_cast<uint8_t>(d + 1), item.path};
    }
  }
  // Multi entries: the first code, then further byte codes while they fit in
  // the index bits. The bits after the first `used` index single[i >> used]
  // (its top bits are zero, so only a code of at most kTableBits - used bits
  // is really known).
  for (uint32_t i = 0; i < kTableSize; ++i) {
    const uint32_t first = tables.single[i];
    uint32_t used = first & kSingleLengthMask;
    if (used == 0) continue;  // a longer code: set above
    const uint32_t symbol = first >> kSingleSymbolShift;
    if (symbol == kEndOfStreamSymbol) {
      tables.multi[i] = 0;
      continue;
    }
    uint32_t bytes = symbol;
    int count = 1;
    for (; count < kMaxBytesPerEntry; ++count) {
      const uint32_t next = tables.single[i >> used];
      const uint32_t length = next & kSingleLengthMask;
      const uint32_t nextSymbol = next >> kSingleSymbolShift;
      if (length == 0 || nextSymbol == kEndOfStreamSymbol || used + length > kTableBits) break;
      used += length;
      bytes |= nextSymbol << (8 * count);
    }
    tables.multi[i] = used | bytes << kBytesShift | static_cast<uint32_t>(count) << kCountShift;
  }
}

}  // namespace huffman_detail

}  // namespace varnel
