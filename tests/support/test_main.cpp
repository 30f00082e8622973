// Test entry: every test runs against the platform's fake drivers.
#include <gtest/gtest.h>

#include "platform/drivers.hpp"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  // Death tests fork from the test itself ("fast" style), so the child
  // works in the test's own scratch directory and sees its state.
  GTEST_FLAG_SET(death_test_style, "fast");
  platform::SelectDrivers(platform::DriverSet::Fake);
  return RUN_ALL_TESTS();
}
