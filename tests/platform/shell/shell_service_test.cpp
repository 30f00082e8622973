#include "platform/shell/shell_service.hpp"

#include <gtest/gtest.h>

namespace {

TEST(ShellService, OnlyPlainAddressesAreHandedOn) {
  EXPECT_TRUE(platform::AddressIsSafe("https://example.org/a?b=c&d"));
  EXPECT_TRUE(platform::AddressIsSafe("mailto:editor@example.org"));
  EXPECT_FALSE(platform::AddressIsSafe(""));
  EXPECT_FALSE(platform::AddressIsSafe(nullptr));
  EXPECT_FALSE(platform::AddressIsSafe("https://example.org\nrm -rf"));
  EXPECT_FALSE(platform::AddressIsSafe("a\x1b[2Jb"));
  EXPECT_FALSE(platform::AddressIsSafe("tab\there"));
}

TEST(ShellService, OpenVerbReachesTheCurrentDriver) {
  platform::FakeShellService& fake = platform::FakeShell();
  platform::SetShellService(&fake);
  fake.opened.clear();
  EXPECT_GT(platform::ShellExecuteA(nullptr, "open", "https://example.org", nullptr, nullptr,
                                    platform::SW_SHOWMAXIMIZED),
            32);
  EXPECT_LE(platform::ShellExecuteA(nullptr, "print", "x", nullptr, nullptr, 0), 32);
  EXPECT_LE(platform::ShellExecuteA(nullptr, "open", "bad\rlink", nullptr, nullptr, 0), 32);
  ASSERT_EQ(fake.opened.size(), 1u);
  EXPECT_EQ(fake.opened[0], "https://example.org");
}

TEST(ShellService, DesktopDriverRefusesWhatLooksLikeAnOption) {
  EXPECT_FALSE(platform::DesktopShell().OpenAddress("--version"));
  EXPECT_FALSE(platform::DesktopShell().OpenAddress("x\ny"));
}

}  // namespace
