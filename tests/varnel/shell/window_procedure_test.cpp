// The reader's window procedure on the fake window driver: what it writes
// to InputState, its timer, the end of the loop, the cursor auto-hide.
#include "varnel/shell/window_procedure.hpp"

#include <gtest/gtest.h>

#include "platform/window/fake_window_service.hpp"
#include "varnel/shell/input_state.hpp"

using namespace varnel;

namespace {

using namespace platform;

class WindowProcedureTest : public testing::Test {
 protected:
  void SetUp() override {
    FakeWindow().Reset();
    window_ = Window().CreateMainWindow("Varnel", MainWindowProcedure);
    ASSERT_NE(window_, nullptr);
    inputState.currentKey = inputState.mouseX = inputState.mouseY = inputState.mouseButtons = 0;
    inputState.pressedKey = 0;
    inputState.pressedButton = 0;
    cursorAutoHide = 0;
    cursorIdleTicks = 0;
  }
  void TearDown() override {
    cursorAutoHide = 0;
    FakeWindow().Reset();
  }

  intptr_t Send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
    return MainWindowProcedure(window_, message, wParam, lParam);
  }
  void Tick() { Send(WM_TIMER, kCursorTimerId); }
  void MoveTo(int x, int y) { Send(WM_MOUSEMOVE, 0, MakeMouseLParam(x, y)); }
  // Leaves the mouse at (x, y) with the last tick having seen it move there.
  void SettleAt(int x, int y) {
    MoveTo(x + 1, y);
    Tick();
    MoveTo(x, y);
    Tick();
  }
  bool CursorShown() const { return FakeWindow().cursorCounter >= 0; }

  WindowHandle window_ = nullptr;
};

TEST_F(WindowProcedureTest, CreationStartsTheCursorTimer) {
  EXPECT_EQ(cursorTimerId, kCursorTimerId);
  EXPECT_EQ(FakeWindow().lastTimerId, 1638u);
  EXPECT_EQ(FakeWindow().lastTimerPeriod, 250u);
}

TEST_F(WindowProcedureTest, KeyDownStoresTheCodeAndAnyKeyUpClearsIt) {
  Send(WM_KEYDOWN, 'X', 1);
  EXPECT_EQ(inputState.currentKey, 88);
  EXPECT_EQ(inputState.currentKey, static_cast<int32_t>(VkKeyScanA('x')));
  EXPECT_NE(inputState.currentKey, static_cast<int32_t>(VkKeyScanA('X')));
  Send(WM_KEYDOWN, VK_DOWN, 1);              // a second key while X is still held
  Send(WM_KEYDOWN, VK_DOWN, 1 | (1 << 30));  // its auto-repeat
  EXPECT_EQ(inputState.currentKey, VK_DOWN);
  Send(WM_KEYUP, 'X');  // releasing the other key
  EXPECT_EQ(inputState.currentKey, 0);
  Send(WM_SYSKEYDOWN, 'X');  // keys with Alt are not the reader's
  EXPECT_EQ(inputState.currentKey, 0);
}

TEST_F(WindowProcedureTest, MouseMessagesStorePositionAndButtonFlags) {
  Send(WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, MakeMouseLParam(639, 479));
  EXPECT_EQ(inputState.mouseX, 639);
  EXPECT_EQ(inputState.mouseY, 479);
  EXPECT_EQ(inputState.mouseButtons, 5);
  Send(WM_RBUTTONDOWN, MK_RBUTTON, MakeMouseLParam(12, 34));
  EXPECT_EQ(inputState.mouseX, 12);
  EXPECT_EQ(inputState.mouseY, 34);
  EXPECT_EQ(inputState.mouseButtons, 2);
  Send(WM_LBUTTONUP, 0, MakeMouseLParam(0, 65535));  // the high word is unsigned
  EXPECT_EQ(inputState.mouseX, 0);
  EXPECT_EQ(inputState.mouseY, 65535);
  EXPECT_EQ(inputState.mouseButtons, 0);
  Send(WM_MBUTTONDOWN, MK_MBUTTON, MakeMouseLParam(5, 5));  // middle button: default only
  EXPECT_EQ(inputState.mouseButtons, 0);
}

// The reading loop's view, one SampleInput per pass.
TEST_F(WindowProcedureTest, AKeyPressedAndReleasedBetweenPassesIsSeenByOnePass) {
  SampleInput();
  EXPECT_EQ(passInput.key, 0);
  Send(WM_KEYDOWN, VK_NEXT, 1);
  Send(WM_KEYUP, VK_NEXT, 1 | (3 << 30));
  SampleInput();
  EXPECT_EQ(passInput.key, VK_NEXT);
  SampleInput();
  EXPECT_EQ(passInput.key, 0);
}

TEST_F(WindowProcedureTest, AHeldKeyIsSeenByEveryPassAndNotOnceMoreAfterRelease) {
  Send(WM_KEYDOWN, VK_DOWN, 1);
  for (int pass = 0; pass < 3; ++pass) {
    SampleInput();
    EXPECT_EQ(passInput.key, VK_DOWN) << pass;
    Send(WM_KEYDOWN, VK_DOWN, 1 | (1 << 30));  // auto-repeat
  }
  Send(WM_KEYUP, VK_DOWN, 1 | (3 << 30));
  SampleInput();
  EXPECT_EQ(passInput.key, 0);
}

TEST_F(WindowProcedureTest, OfTwoTapsBetweenPassesTheLaterCounts) {
  Send(WM_KEYDOWN, 'H', 1);
  Send(WM_KEYUP, 'H', 1 | (3 << 30));
  Send(WM_KEYDOWN, 'X', 1);
  Send(WM_KEYUP, 'X', 1 | (3 << 30));
  SampleInput();
  EXPECT_EQ(passInput.key, 'X');
}

TEST_F(WindowProcedureTest, AQuickClickIsSeenOnceWhereItHappened) {
  MoveTo(300, 40);
  SampleInput();
  EXPECT_EQ(passInput.buttons, 0);
  EXPECT_EQ(passInput.mouseX, 300);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MakeMouseLParam(100, 192));
  Send(WM_LBUTTONUP, 0, MakeMouseLParam(100, 192));
  MoveTo(320, 60);  // the pointer moved on before the pass
  SampleInput();
  EXPECT_EQ(passInput.buttons, static_cast<int32_t>(MK_LBUTTON));
  EXPECT_EQ(passInput.mouseX, 100);
  EXPECT_EQ(passInput.mouseY, 192);
  SampleInput();
  EXPECT_EQ(passInput.buttons, 0);
  EXPECT_EQ(passInput.mouseX, 320);
  EXPECT_EQ(passInput.mouseY, 60);
}

TEST_F(WindowProcedureTest, AHeldButtonFollowsThePointerOnEveryPass) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MakeMouseLParam(600, 200));
  SampleInput();
  EXPECT_EQ(passInput.buttons, static_cast<int32_t>(MK_LBUTTON));
  Send(WM_MOUSEMOVE, MK_LBUTTON, MakeMouseLParam(610, 210));
  SampleInput();
  EXPECT_EQ(passInput.buttons, static_cast<int32_t>(MK_LBUTTON));
  EXPECT_EQ(passInput.mouseX, 610);
  Send(WM_LBUTTONUP, 0, MakeMouseLParam(610, 210));
  SampleInput();
  EXPECT_EQ(passInput.buttons, 0);  // the press was seen while held: not again
}

TEST_F(WindowProcedureTest, AQuickRightClickWithShiftKeepsItsFlags) {
  Send(WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, MakeMouseLParam(5, 6));
  Send(WM_RBUTTONUP, MK_SHIFT, MakeMouseLParam(5, 6));
  SampleInput();
  EXPECT_EQ(passInput.buttons, static_cast<int32_t>(MK_RBUTTON | MK_SHIFT));
}

TEST_F(WindowProcedureTest, CloseEndsTheLoopThroughDestroyAndQuit) {
  FakeWindow().script = {{WM_KEYDOWN, VK_ESCAPE, 1}, {WM_CLOSE, 0, 0}};
  WindowMessage message{};
  while (Window().GetMessage(message)) Window().DispatchMessage(message);
  EXPECT_EQ(message.wParam, 0u);
  EXPECT_EQ(FakeWindow().windowsClosed, 1);
  EXPECT_EQ(inputState.currentKey, VK_ESCAPE);
}

TEST_F(WindowProcedureTest, StillCursorHidesOnThe21stTickAndShowsAfterAMove) {
  cursorAutoHide = 1;
  SettleAt(100, 100);
  for (int still = 1; still <= 20; ++still) {
    Tick();
    ASSERT_TRUE(CursorShown()) << "tick " << still;
  }
  Tick();
  EXPECT_FALSE(CursorShown());
  Tick();
  EXPECT_FALSE(CursorShown());
  MoveTo(101, 100);
  EXPECT_FALSE(CursorShown());  // only the timer shows it again
  Tick();
  EXPECT_TRUE(CursorShown());
  EXPECT_EQ(cursorIdleTicks, 0u);
}

TEST_F(WindowProcedureTest, PresetIdleCountHidesAStillCursorAtTheNextTick) {
  cursorAutoHide = 1;
  MoveTo(7, 7);
  Tick();
  cursorIdleTicks = 0xFFFFFF;
  Tick();
  EXPECT_FALSE(CursorShown());
}

TEST_F(WindowProcedureTest, HidingWorksWhateverTheCounterWasRaisedTo) {
  MakeCursorVisible();  // start-up's call: the counter is now 1
  MakeCursorVisible();
  EXPECT_EQ(FakeWindow().cursorCounter, 2);
  cursorAutoHide = 1;
  // A mouse that keeps moving does not keep raising the counter.
  for (int i = 0; i < 50; ++i) {
    MoveTo(i + 1, 0);
    Tick();
  }
  EXPECT_EQ(FakeWindow().cursorCounter, 2);
  cursorIdleTicks = 0xFFFFFF;
  Tick();
  EXPECT_EQ(FakeWindow().cursorCounter, -1);
  MoveTo(0, 0);
  Tick();
  EXPECT_EQ(FakeWindow().cursorCounter, 0);
}

TEST_F(WindowProcedureTest, CursorHideOffNeverHides) {
  cursorAutoHide = 0;
  cursorIdleTicks = 0xFFFFFF;
  for (int i = 0; i < 30; ++i) Tick();
  EXPECT_TRUE(CursorShown());
  EXPECT_EQ(FakeWindow().showCursorCalls, 0);
  EXPECT_EQ(cursorIdleTicks, 0xFFFFFFu);
  cursorAutoHide = 1;
  Send(WM_TIMER, 77);  // another timer's tick does nothing
  EXPECT_TRUE(CursorShown());
}

}  // namespace
