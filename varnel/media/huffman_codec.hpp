// Static byte-oriented Huffman codec of the magazine archive's packed entries.
//
// A packed stream is a 1024-byte table of the 256 byte counts (32-bit little
// endian), then the codes of every byte and of an end symbol, least
// significant bit first, zero-padded to a byte. Packer and unpacker build the
// same tree from the counts; the construction order and its tie-break are
// part of the format.
#pragma once

#include <cstdint>

namespace varnel {

constexpr int kHuffmanSymbols = 257;           // bytes 0..255 and the end symbol
constexpr int kEndOfStreamSymbol = 256;
constexpr int32_t kHuffmanCountTableSize = 1024;

// Unpacks `packedSize` bytes into at most `capacity` bytes of `output`.
// Returns the number of bytes written, or -1 for a damaged stream: a table cut
// short (packedSize < 1024, negative included), a negative capacity, a byte
// that would not fit into the output, or bits that run out before the end
// symbol. An all-zero count table gives 0 bytes; anything after the end
// symbol's code is ignored. Never reads past packed[packedSize - 1] nor writes
// past output[capacity - 1]; changes no output byte but the ones it decodes
// (so `output` may be null when `capacity` is 0). Table-driven
// (huffman_fast.cpp); its result and output equal UnpackHuffmanReference's on
// every input, damaged ones included.
int32_t UnpackHuffman(const uint8_t* packed, int32_t packedSize, uint8_t* output,
                      int32_t capacity);

// The same result by walking the tree one bit at a time: the plain form of the
// algorithm, kept as the reference the fast decoder is checked against.
int32_t UnpackHuffmanReference(const uint8_t* packed, int32_t packedSize, uint8_t* output,
                               int32_t capacity);

// Packs `inputSize` bytes; `output` must hold PackHuffmanBound(inputSize)
// bytes. Returns the number of bytes written (1024 plus the bit stream), or -1
// (nothing written) for a negative size or a result above INT32_MAX (only
// inputs close to 2 GiB).
int32_t PackHuffman(const uint8_t* input, int32_t inputSize, uint8_t* output);

// Room that PackHuffman needs for an input of `inputSize` bytes:
// 1024 + ceil(9 * (inputSize + 1) / 8). The packer's tree is a true Huffman
// tree, whose total code length is at most that of a fixed 9-bit code.
int64_t PackHuffmanBound(int32_t inputSize);

}  // namespace varnel
