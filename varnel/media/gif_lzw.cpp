// LZW decoding of GIF image data.
//
// The string table is the classic pair of flat arrays, prefix code and suffix
// byte per code, with the classic rules down to how undefined codes are read.
// For speed every entry also remembers where its string already stands (in
// the output, or in a row of single bytes for the literal codes), so nearly
// every string is one block copy instead of a walk down the prefix chain.
// Entries that only damaged streams make, whose chain may still change or
// loop, are walked the classic way.
#include "varnel/media/gif_lzw.hpp"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

#include "varnel/failure/fatal_error.hpp"

namespace varnel {

namespace {

constexpr uint32_t kMaxCodeSize = 12;
constexpr uint32_t kTableSize = 4097;
constexpr uint32_t kMaxLiterals = 512;
// Without a loop in the prefix chain no string is longer than this; a longer
// chain means the stream is damaged.
constexpr uint32_t kStackSize = 4097;
// A chunked copy may write this far past the end of its string.
constexpr uint32_t kCopySlack = 16;

struct StringTable {
  uint16_t prefix[kTableSize];
  uint8_t suffix[kTableSize];
  // Where each code's string stands and how long it is; length 0: walk it.
  const uint8_t* source[kTableSize];
  uint16_t length[kTableSize];
  uint8_t literals[kMaxLiterals + kCopySlack];
  uint8_t stack[kStackSize];
};

uint64_t LoadLittle64(const uint8_t* bytes) {
  uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
  return word;
}

// Copies in 16-byte chunks, writing up to kCopySlack bytes past the string.
// Correct when `source` lies at least `length` bytes before `target`; when it
// lies length - 1 before, only the last byte comes out wrong.
inline void CopyChunked(uint8_t* target, const uint8_t* source, uint32_t length) {
  uint8_t* const end = target + length;
  do {
    uint8_t chunk[16];
    std::memcpy(chunk, source, sizeof chunk);
    std::memcpy(target, chunk, sizeof chunk);
    target += sizeof chunk;
    source += sizeof chunk;
  } while (target < end);
}

struct Walked {
  int first;  // the string's first byte, -1 when the chain loops
  uint32_t written;
};

// The classic step for any code: push its string onto the stack through the
// prefix chain, then pop it to the output, bounded by the image.
Walked WalkString(StringTable& table, uint32_t code, uint32_t firstFree, uint32_t nextFree,
                  uint32_t previous, uint8_t firstByte, uint8_t* out, uint32_t written,
                  uint32_t outCount) {
  uint32_t depth = 0;
  uint32_t c = code;
  if (code >= nextFree) {
    table.stack[depth++] = firstByte;
    c = previous;
  }
  while (c >= firstFree) {
    if (depth == kStackSize - 1) return {-1, written};
    table.stack[depth++] = table.suffix[c];
    c = table.prefix[c];
  }
  table.stack[depth++] = static_cast<uint8_t>(c);
  while (depth > 0 && written < outCount) out[written++] = table.stack[--depth];
  return {static_cast<uint8_t>(c), written};
}

}  // namespace

uint32_t DecodeGifLzw(const uint8_t* data, uint32_t dataBytes, uint32_t minCodeSize, uint8_t* out,
                      uint32_t outCount) {
  auto* table = static_cast<StringTable*>(AllocZeroed(sizeof(StringTable)));
  const uint32_t clearCode = 1u << minCodeSize;
  const uint32_t endCode = clearCode + 1;
  const uint32_t firstFree = clearCode + 2;
  for (uint32_t c = 0; c < clearCode; ++c) {
    table->literals[c] = static_cast<uint8_t>(c);
    table->source[c] = table->literals + c;
    table->length[c] = 1;
    table->suffix[c] = static_cast<uint8_t>(c);  // the chain walk never reads a literal's suffix
  }

  uint32_t codeSize = minCodeSize + 1;
  uint32_t maxCode = 1u << codeSize;
  uint32_t nextFree = firstFree;
  uint32_t previous = 0;
  uint8_t firstByte = 0;
  // True when the last string written is the string of `previous` and stays
  // fixed until the next clear code; the next entry can then point at it.
  bool previousInPlace = false;
  uint32_t previousStart = 0;
  uint32_t written = 0;
  const uint64_t totalBits = static_cast<uint64_t>(dataBytes) * 8;
  uint64_t bitPosition = 0;
  auto readCode = [&](uint32_t* code) {
    if (bitPosition + codeSize > totalBits) return false;
    const uint64_t word = LoadLittle64(data + (bitPosition >> 3));
    *code = static_cast<uint32_t>(word >> (bitPosition & 7)) & (maxCode - 1);
    bitPosition += codeSize;
    return true;
  };

  uint32_t code;
  while (written < outCount && readCode(&code)) {
    // The entry this code defines: the previous string plus one byte.
    const uint32_t entry = nextFree;
    table->source[entry] = out + previousStart;
    table->length[entry] = previousInPlace ? static_cast<uint16_t>(written - previousStart + 1) : 0;
    const uint32_t stringStart = written;
    const uint32_t length = table->length[code];
    uint8_t first;
    bool inPlace;
    if (code <= entry && length != 0 && written + length + kCopySlack <= outCount) {
      // A literal, an entry in place, or the entry this code defines: the
      // previous string plus its own first byte, a copy overlapping by one
      // byte, so that byte is set after the copy.
      const uint8_t* source = table->source[code];
      first = *source;
      table->suffix[entry] = first;
      CopyChunked(out + written, source, length);
      out[written + length - 1] = table->suffix[code];
      written += length;
      inPlace = true;
    } else if (code == endCode) {
      break;
    } else if (code == clearCode) {
      codeSize = minCodeSize + 1;
      maxCode = 1u << codeSize;
      nextFree = firstFree;
      bool more = readCode(&code);
      while (more && code == clearCode) more = readCode(&code);
      if (!more || code == endCode) break;
      if (code >= nextFree) code = 0;
      previousStart = written;
      out[written++] = static_cast<uint8_t>(code);
      previous = code;
      firstByte = static_cast<uint8_t>(code);
      previousInPlace = true;
      continue;
    } else {
      const Walked walked = WalkString(*table, code, firstFree, nextFree, previous, firstByte, out,
                                       written, outCount);
      if (walked.first < 0) break;
      first = static_cast<uint8_t>(walked.first);
      written = walked.written;
      inPlace = code < entry ? table->length[code] != 0
                             : code == entry && previousInPlace && first == firstByte;
    }

    // A full table takes no entry and keeps the previous code and byte.
    if (entry < maxCode) {
      table->prefix[entry] = static_cast<uint16_t>(previous);
      table->suffix[entry] = first;
      nextFree = entry + 1;
      firstByte = first;
      previous = code;
      previousStart = stringStart;
      previousInPlace = inPlace;
      if (nextFree == maxCode && codeSize < kMaxCodeSize) {
        maxCode <<= 1;
        ++codeSize;
      }
    }
  }
  // Chunked copies may have left bytes past the last string.
  std::memset(out + written, 0, std::min(kCopySlack, outCount - written));
  std::free(table);
  return written;
}

}  // namespace varnel
