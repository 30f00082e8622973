// The passes that follow the scan: justified rows are stretched to the
// column, then each justified segment learns how many pixels its spaces get.
#pragma once

#include <cstdint>

#include "varnel/text/article.hpp"

namespace varnel {

void JustifyRows(Article* article);
void MeasureBreaks(Article* article);

// Pen arithmetic wraps like the 32-bit registers it was made for, instead of
// overflowing: absurd sizes give absurd positions, never undefined results.
inline int32_t WrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t WrapMul(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

}  // namespace varnel
