// The reader's display on the fake display driver: mode choice, the 5-6-5
// conversion, surface pitch, staging, vsync, lost surfaces, release and the
// failure of each creation step.
#include "varnel/shell/display.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "platform/display/display_service.hpp"
#include "platform/display/fake_display_service.hpp"
#include "varnel/failure/fatal_error.hpp"
#include "varnel/shell/settings.hpp"

using namespace varnel;

namespace {

using namespace platform;

uint16_t Formula565(uint16_t p) {
  return static_cast<uint16_t>((p & 0x001F) | ((p << 1) & 0xFFE0));
}

std::vector<uint16_t> RandomPixels(size_t count, uint32_t seed, uint16_t mask = 0x7FFF) {
  std::mt19937 random(seed);
  std::vector<uint16_t> pixels(count);
  for (uint16_t& pixel : pixels) pixel = static_cast<uint16_t>(random() & mask);
  return pixels;
}

TEST(Conversion565, PrimaryColoursAndWhite) {
  const uint16_t from[] = {0x7C00, 0x03E0, 0x001F, 0x7FFF, 0x0000};
  const uint16_t expected[] = {0xF800, 0x07C0, 0x003F, 0xFFFF, 0x0000};
  uint16_t scalar[5] = {}, simd[5] = {};
  ConvertRow565(from, scalar, 5);
  ConvertRow565Simd(from, simd, 5);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(scalar[i], expected[i]) << i;
    EXPECT_EQ(simd[i], expected[i]) << i;
  }
}

TEST(Conversion565, SimdMatchesScalarAndTheFormulaOnRowsOfAnyLength) {
  // All 16 bits random: a stray bit 15 must not reach the neighbour.
  const std::vector<uint16_t> source = RandomPixels(1024, 1234, 0xFFFF);
  for (int length : {1, 2, 3, 7, 8, 9, 15, 17, 63, 333, 639, 640, 1001}) {
    for (int offset : {0, 1}) {  // unaligned rows too
      std::vector<uint16_t> scalar(length + 2, 0xABCD), simd(length + 2, 0xABCD);
      ConvertRow565(source.data() + offset, scalar.data() + offset, length);
      ConvertRow565Simd(source.data() + offset, simd.data() + offset, length);
      for (int i = 0; i < length; ++i)
        ASSERT_EQ(scalar[offset + i], Formula565(source[offset + i])) << length << " " << i;
      EXPECT_EQ(simd, scalar) << "length " << length << " offset " << offset;
      EXPECT_EQ(scalar[offset + length], 0xABCD) << "wrote past the row";
    }
  }
}

class DisplayTest : public testing::Test {
 protected:
  void SetUp() override {
    FakeDisplay().Reset();
    saved_ = settings;
    settings = {};
    surfacesBefore_ = LiveDisplaySurfaces();
  }
  void TearDown() override {
    ReleaseDisplay();
    displayInitialised = 0;
    settings = saved_;
    FakeDisplay().Reset();
  }

  static void Create() {
    std::lock_guard lock(displayLock);
    displayInitialised = 1;
    CreateDisplay(kWindow);
  }
  static void ExpectFrameIs(const std::vector<uint16_t>& frame, bool as565) {
    const FakeDisplayService& fake = FakeDisplay();
    for (int y = 0; y < platform::kScreenHeight; ++y)
      for (int x = 0; x < platform::kScreenWidth; ++x) {
        const uint16_t source = frame[y * platform::kScreenWidth + x];
        ASSERT_EQ(fake.PixelAt(x, y), as565 ? Formula565(source) : source) << x << "," << y;
      }
  }

  static inline const WindowHandle kWindow = reinterpret_cast<WindowHandle>(0x1000);
  const std::vector<uint16_t> frame_ = RandomPixels(platform::kScreenWidth * platform::kScreenHeight, 99);
  Settings saved_{};
  int surfacesBefore_ = 0;
};

TEST_F(DisplayTest, FifteenBitsComeFirstAndFramesGoOutUnchanged) {
  Create();
  EXPECT_EQ(FakeDisplay().window, kWindow);
  EXPECT_EQ(FakeDisplay().bitsPerPixel, 15);
  EXPECT_EQ(displayIs565, 0);
  PresentFrame(frame_.data());
  EXPECT_EQ(FakeDisplay().flips, 1);
  ExpectFrameIs(frame_, false);
}

TEST_F(DisplayTest, SixteenBitModeLaidOut555IsDrivenWithoutConversion) {
  FakeDisplay().refuse15Bit = true;
  FakeDisplay().sixteenBitRedMask = 0x7C00;
  Create();
  EXPECT_EQ(FakeDisplay().bitsPerPixel, 16);
  EXPECT_EQ(displayIs565, 0);
  PresentFrame(frame_.data());
  ExpectFrameIs(frame_, false);
}

TEST_F(DisplayTest, A565OnlyScreenGetsEveryPixelConvertedOnBothPaths) {
  FakeDisplay().refuse15Bit = true;
  Create();
  EXPECT_EQ(displayIs565, 1);
  for (int32_t mmx : {0, 1}) {
    settings.useMmx = mmx;
    PresentFrame(frame_.data());
    ExpectFrameIs(frame_, true);
  }
  std::vector<uint16_t> primaries(platform::kScreenWidth * platform::kScreenHeight, 0x7FFF);
  primaries[0] = 0x7C00;
  primaries[1] = 0x03E0;
  primaries[2] = 0x001F;
  PresentFrame(primaries.data());
  EXPECT_EQ(FakeDisplay().PixelAt(0, 0), 0xF800);
  EXPECT_EQ(FakeDisplay().PixelAt(1, 0), 0x07C0);
  EXPECT_EQ(FakeDisplay().PixelAt(2, 0), 0x003F);
  EXPECT_EQ(FakeDisplay().PixelAt(639, 479), 0xFFFF);
}

TEST_F(DisplayTest, AWiderPitchLeavesTheBytesBeyondEachRowUntouched) {
  FakeDisplay().pitch = 1400;
  FakeDisplay().fill = 0xA5;
  for (bool only565 : {false, true}) {
    for (int32_t staged : {0, 1}) {
      SCOPED_TRACE(testing::Message() << "565 " << only565 << " staged " << staged);
      ReleaseDisplay();
      FakeDisplay().refuse15Bit = only565;
      settings.useBltFast = staged;
      settings.useMmx = staged;  // both conversion paths
      Create();
      PresentFrame(frame_.data());
      ASSERT_EQ(FakeDisplay().lastPitch, 1400);
      const std::vector<uint8_t>& shown = FakeDisplay().lastFrame;
      for (int y = 0; y < platform::kScreenHeight; ++y)
        for (int byte = 1280; byte < 1400; ++byte)
          ASSERT_EQ(shown[y * 1400 + byte], 0xA5) << "row " << y << " byte " << byte;
      ExpectFrameIs(frame_, only565);
    }
  }
}

TEST_F(DisplayTest, OnlyBltFastMakesAStagingSurface) {
  Create();
  EXPECT_EQ(FakeDisplay().offscreenSurfacesMade, 0);
  EXPECT_EQ(LiveDisplaySurfaces() - surfacesBefore_, 2);  // primary and back buffer
  PresentFrame(frame_.data());
  ExpectFrameIs(frame_, false);
  ReleaseDisplay();

  settings.useBltFast = 1;
  Create();
  EXPECT_EQ(FakeDisplay().offscreenSurfacesMade, 1);
  EXPECT_EQ(LiveDisplaySurfaces() - surfacesBefore_, 3);
  const std::vector<uint16_t> other = RandomPixels(platform::kScreenWidth * platform::kScreenHeight, 5);
  PresentFrame(other.data());
  ExpectFrameIs(other, false);
}

TEST_F(DisplayTest, WaitForVsyncChoosesTheFlip) {
  Create();
  PresentFrame(frame_.data());
  settings.waitForVsync = 1;
  PresentFrame(frame_.data());
  PresentFrame(frame_.data());
  EXPECT_EQ(FakeDisplay().flips, 3);
  EXPECT_EQ(FakeDisplay().vsyncFlips, 2);
}

TEST_F(DisplayTest, LostSurfacesAreRestoredAndAFailedLockDropsTheFrame) {
  settings.useBltFast = 1;
  Create();
  FakeDisplay().LoseSurfaces();
  PresentFrame(frame_.data());
  EXPECT_EQ(FakeDisplay().flips, 1);
  ExpectFrameIs(frame_, false);

  FakeDisplay().restoreFails = true;
  FakeDisplay().LoseSurfaces();
  PresentFrame(frame_.data());
  EXPECT_EQ(FakeDisplay().flips, 1);
  FakeDisplay().restoreFails = false;
  PresentFrame(frame_.data());
  EXPECT_EQ(FakeDisplay().flips, 2);
}

TEST_F(DisplayTest, ReleaseIsSafeAnyTimeAndLeavesNothing) {
  ReleaseDisplay();  // before start-up set the flag
  displayInitialised = 1;
  ReleaseDisplay();  // before the display exists
  EXPECT_EQ(FakeDisplay().closes, 0);
  settings.useBltFast = 1;
  Create();
  ReleaseDisplay();
  ReleaseDisplay();
  EXPECT_EQ(FakeDisplay().closes, 1);
  EXPECT_EQ(LiveDisplaySurfaces(), surfacesBefore_);
  PresentFrame(frame_.data());  // a present after the release shows nothing
  EXPECT_EQ(FakeDisplay().flips, 0);
}

// Each step's failure is fatal with its message, after displayLock is left.
void CheckLockIsFree() {
  bool free = false;
  std::thread([&] {
    if (displayLock.try_lock()) {
      free = true;
      displayLock.unlock();
    }
  }).join();
  std::fputs(free ? "[lock free]\n" : "[lock held]\n", stderr);
}

using DisplayDeathTest = DisplayTest;

TEST_F(DisplayDeathTest, EachCreationStepFailsWithItsMessage) {
  using Failure = FakeDisplayService::Failure;
  const std::pair<Failure, const char*> steps[] = {
      {Failure::Open, "DirectDrawCreate FAILED !"},
      {Failure::TakeWindow, "SetCooperativeLevel FAILED !"},
      {Failure::AllModes, "SetDisplayMode FAILED \n No 15/16 bit modes !"},
      {Failure::Primary, "CreateSurface FAILED !"},
      {Failure::BackBuffer, "GetAttachedSurface FAILED !"},
      {Failure::Offscreen, "CreateSurface FAILED \\(DDSCAPS_OFFSCREENPLAIN\\) !"},
  };
  settings.useBltFast = 1;
  for (const auto& [failure, message] : steps) {
    FakeDisplay().failure = failure;
    EXPECT_EXIT(
        {
          RegisterFatalShutdownStep(CheckLockIsFree);
          Create();
        },
        testing::ExitedWithCode(1), std::string("\\[lock free\\]\nERROR: ") + message);
  }
}

}  // namespace
