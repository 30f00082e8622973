#include "varnel/failure/fatal_error.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

using namespace varnel;

namespace {

TEST(AllocZeroed, GivesSizePlusEightZeroBytes) {
  auto* empty = static_cast<unsigned char*>(AllocZeroed(0));
  ASSERT_NE(empty, nullptr);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(empty[i], 0);
  std::free(empty);
  auto* block = static_cast<unsigned char*>(AllocZeroed(1000));
  for (int i = 0; i < 1008; ++i) ASSERT_EQ(block[i], 0) << i;
  std::free(block);
}

TEST(AllocZeroedDeathTest, NegativeSizesAreRefused) {
  EXPECT_EXIT(AllocZeroed(-1), testing::ExitedWithCode(1), "ERROR: Allocator Error !");
  EXPECT_EXIT(AllocZeroedArray<uint32_t>(INT32_MAX / 2), testing::ExitedWithCode(1),
              "ERROR: Allocator Error !");
}

// Shows what FatalError did, in the order it did it, on standard error.
class RecordingWindow final : public platform::WindowService {
 public:
  const char* DriverName() const override { return "recording"; }
  void ShowMessageBox(platform::WindowHandle owner, const char* text, const char* caption) override {
    std::fprintf(stderr, "box[%s|%s|owner=%p|cursor=%d]\n", caption, text, owner, counter_);
  }
  int ShowCursor(bool show) override { return counter_ += show ? 1 : -1; }
  int counter_ = -3;
};

void FirstStep() { std::fputs("step:music\n", stderr); }
void SecondStep() { std::fputs("step:display\n", stderr); }
void FailingStep() { FatalError("second failure"); }

TEST(FatalErrorDeathTest, TraceStepsCursorAndBoxInOrderThenExitOne) {
  EXPECT_EXIT(
      {
        static RecordingWindow window;
        platform::SetWindowService(&window);
        RegisterFatalShutdownStep(FirstStep);
        RegisterFatalShutdownStep(SecondStep);
        RegisterFatalShutdownStep(FirstStep);  // kept once
        dup2(2, 1);  // the trace line goes to standard output
        FatalError("Allocator Error !");
      },
      testing::ExitedWithCode(1),
      "^\n ERROR Allocator Error ! step:music\nstep:display\nbox\\[ERROR\\|Allocator Error !\\|owner=(0|\\(nil\\))\\|cursor=0\\]\n$");
}

TEST(FatalErrorDeathTest, BoxBelongsToTheMainWindowOnceItExists) {
  EXPECT_EXIT(
      {
        static RecordingWindow window;
        platform::SetWindowService(&window);
        SetFatalMessageBoxOwner(reinterpret_cast<platform::WindowHandle>(0x1234));
        FatalError("HDC == NULL !");
      },
      testing::ExitedWithCode(1), "owner=0x1234");
}

TEST(FatalErrorDeathTest, FailureInsideAShutdownStepStillEnds) {
  EXPECT_EXIT(
      {
        RegisterFatalShutdownStep(FailingStep);
        FatalError("first failure");
      },
      testing::ExitedWithCode(1), "");
}

TEST(FatalErrorDeathTest, FormattedMessageIsBounded) {
  const std::string longName(5000, 'x');
  EXPECT_EXIT(FatalErrorFormat("File not in resource !\n[%s]", longName.c_str()), testing::ExitedWithCode(1),
              "ERROR: File not in resource !\n\\[x+\n$");
}

}  // namespace
