// Test entry: every test runs against the platform's fake drivers.
#include <gtest/gtest.h>

#include "platform/drivers.hpp"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  // Death tests fork; "threadsafe" re-executes the binary so each child
  // starts from a clean process.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  platform::SelectDrivers(platform::DriverSet::Fake);
  return RUN_ALL_TESTS();
}
