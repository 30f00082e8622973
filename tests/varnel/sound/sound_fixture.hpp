// A scratch directory with the sound and CD fakes fresh, and the process's
// player emptied afterwards.
#pragma once

#include <string>

#include "platform/cd/cd_service.hpp"
#include "platform/clock/clock_service.hpp"
#include "platform/drivers.hpp"
#include "platform/sound/bass_service.hpp"
#include "platform/sound/fmod_service.hpp"
#include "platform/window/fake_window_service.hpp"
#include "tests/support/scratch_dir.hpp"
#include "varnel/sound/music_player.hpp"

namespace varnel {

class SoundTest : public testing_support::ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    platform::SelectDrivers(platform::DriverSet::Fake);
    platform::FakeBass().Reset();
    platform::FakeBass().initFails = false;
    platform::FakeFmod().Reset();
    platform::FakeFmod().initFails = false;
    platform::FakeCd().Reset();
    platform::FakeClock().slept = 0;
    platform::FakeWindow().messageBoxCount = 0;
  }

  void TearDown() override {
    DeInitPlayer(&musicPlayer);
    platform::SelectDrivers(platform::DriverSet::Fake);
    ScratchDirTest::TearDown();
  }

  // A file the fakes accept as a module.
  static void MakeModule(const std::string& name) { testing_support::WriteFile(name, "module"); }

  static std::vector<std::string>& BassCalls() { return platform::FakeBass().calls; }
  static std::vector<std::string>& FmodCalls() { return platform::FakeFmod().calls; }
  static uint64_t Slept() { return platform::FakeClock().slept; }
};

}  // namespace varnel
