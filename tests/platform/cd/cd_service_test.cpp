// The CD driver without a drive: every call does nothing.
#include "platform/cd/cd_service.hpp"

#include <sys/stat.h>

#include "tests/support/scratch_dir.hpp"

namespace {

void ExpectNothingHappens(platform::CdService& cd) {
  EXPECT_FALSE(cd.FSOUND_CD_Play(1));
  EXPECT_FALSE(cd.FSOUND_CD_Play(0));
  EXPECT_FALSE(cd.FSOUND_CD_Stop());
  EXPECT_FALSE(cd.FSOUND_CD_SetPaused(true));
  EXPECT_FALSE(cd.FSOUND_CD_SetPaused(false));
  EXPECT_EQ(cd.FSOUND_CD_GetTrack(), 0);
  EXPECT_FALSE(cd.FSOUND_CD_GetPaused());
  EXPECT_FALSE(cd.FSOUND_CD_Eject());
}

using CdServiceTest = testing_support::ScratchDirTest;

TEST_F(CdServiceTest, NoDeviceNode) {
  ExpectNothingHappens(*platform::MakeLinuxCdService("/nonexistent/cdrom"));
}

TEST_F(CdServiceTest, DevicesThatAreNoCdDrive) {
  testing_support::WriteFile("plain-file", "not a drive");
  ExpectNothingHappens(*platform::MakeLinuxCdService("plain-file"));
  ExpectNothingHappens(*platform::MakeLinuxCdService("/dev/null"));
}

TEST_F(CdServiceTest, TheDefaultDriveOnAMachineWithoutOne) {
  struct stat st;
  if (stat("/dev/cdrom", &st) == 0) GTEST_SKIP() << "this machine has /dev/cdrom";
  ExpectNothingHappens(platform::LinuxCdService());
}

}  // namespace
