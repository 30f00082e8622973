#include "varnel/shell/fatal_error.hpp"

#include <gtest/gtest.h>

TEST(AllocZeroed, ZeroSizeGivesEightZeroBytes) {
  auto* block = static_cast<unsigned char*>(AllocZeroed(0));
  ASSERT_NE(block, nullptr);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(block[i], 0);
  free(block);
}
