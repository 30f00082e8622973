// The message machinery on the scripted fake driver: creation, dispatch,
// default handling, the quit message, messages sent from other threads.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/window/fake_window_service.hpp"
#include "platform/window/letterbox.hpp"

namespace {

using namespace platform;

constexpr uint32_t WM_USER_ANSWER = 0x0400;  // a message of the test's own

struct Seen {
  uint32_t message;
  uintptr_t wParam;
  std::thread::id thread;
};
std::vector<Seen> seen;

intptr_t Procedure(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  seen.push_back({message, wParam, std::this_thread::get_id()});
  if (message == WM_DESTROY) Window().PostQuitMessage(3);
  if (message == WM_USER_ANSWER) return 99;
  return Window().DefWindowProc(window, message, wParam, lParam);
}

class MessageLoopTest : public testing::Test {
 protected:
  void SetUp() override {
    FakeWindow().Reset();
    seen.clear();
  }
  void TearDown() override { FakeWindow().Reset(); }

  // Runs the loop as start-up does; returns the quit message's exit code.
  int RunLoop() {
    WindowMessage message{};
    while (Window().GetMessage(message)) Window().DispatchMessage(message);
    EXPECT_EQ(message.message, WM_QUIT);
    return static_cast<int>(message.wParam);
  }
  std::vector<uint32_t> Messages() const {
    std::vector<uint32_t> messages;
    for (const Seen& s : seen) messages.push_back(s.message);
    return messages;
  }
};

TEST_F(MessageLoopTest, CreationDeliversCreateBeforeReturningAndOnlyOneMainWindow) {
  WindowHandle window = Window().CreateMainWindow("Varnel", Procedure);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(Messages(), std::vector<uint32_t>{WM_CREATE});
  EXPECT_STREQ(FakeWindow().lastTitle, "Varnel");
  EXPECT_FALSE(FakeWindow().windowShown);
  Window().ShowWindow(window);
  EXPECT_TRUE(FakeWindow().windowShown);
  EXPECT_EQ(Window().CreateMainWindow("Second", Procedure), nullptr);
}

TEST_F(MessageLoopTest, CloseDestroysTheWindowAndTheQuitMessageEndsTheLoop) {
  WindowHandle window = Window().CreateMainWindow("Varnel", Procedure);
  FakeWindow().script = {{WM_KEYDOWN, 27, 1}, {WM_CLOSE, 0, 0}, {WM_KEYDOWN, 13, 1}};
  EXPECT_EQ(RunLoop(), 3);
  // The key after the close went to a window that no longer exists.
  EXPECT_EQ(Messages(), (std::vector<uint32_t>{WM_CREATE, WM_KEYDOWN, WM_CLOSE, WM_DESTROY}));
  EXPECT_EQ(FakeWindow().windowsClosed, 1);
  EXPECT_FALSE(Window().DestroyWindow(window));
  EXPECT_EQ(Window().SendMessage(window, WM_CLOSE, 0, 0), 0);
}

TEST_F(MessageLoopTest, AltF4ClosesTheWindow) {
  Window().CreateMainWindow("Varnel", Procedure);
  FakeWindow().script = {{WM_SYSKEYDOWN, VK_MENU, 0}, {WM_SYSKEYDOWN, VK_F4, 0}};
  RunLoop();
  EXPECT_EQ(Messages(),
            (std::vector<uint32_t>{WM_CREATE, WM_SYSKEYDOWN, WM_SYSKEYDOWN, WM_CLOSE, WM_DESTROY}));
}

TEST_F(MessageLoopTest, PostedMessagesComeInOrderAndTheNextOneCanBeChecked) {
  WindowHandle window = Window().CreatePopupWindow("Popup", Procedure, 10, 20, 640, 480);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(FakeWindow().lastPlacement.popup);
  EXPECT_EQ(FakeWindow().lastPlacement.x, 10);
  EXPECT_EQ(FakeWindow().lastPlacement.height, 480);
  EXPECT_FALSE(Window().PostMessage(&seen, WM_MOUSEMOVE, 0, 0));  // not our window
  EXPECT_TRUE(Window().PostMessage(window, WM_MOUSEMOVE, 0, 1));
  EXPECT_TRUE(Window().PostMessage(window, WM_MOUSEMOVE, 0, 2));
  EXPECT_TRUE(Window().PostMessage(window, WM_KEYDOWN, VK_ESCAPE, 0));
  WindowMessage message{};
  ASSERT_TRUE(Window().GetMessage(message));
  EXPECT_EQ(message.lParam, 1);
  EXPECT_TRUE(Window().IsNextQueued(WM_MOUSEMOVE));
  ASSERT_TRUE(Window().GetMessage(message));
  EXPECT_EQ(message.lParam, 2);
  EXPECT_FALSE(Window().IsNextQueued(WM_MOUSEMOVE));
  EXPECT_TRUE(Window().IsNextQueued(WM_KEYDOWN));
  ASSERT_TRUE(Window().GetMessage(message));
  EXPECT_FALSE(Window().IsNextQueued(WM_KEYDOWN));
}

TEST_F(MessageLoopTest, EndOfScriptEndsTheLoopWithExitCodeZero) {
  Window().CreateMainWindow("Varnel", Procedure);
  FakeWindow().script = {{WM_MOUSEMOVE, MK_LBUTTON, MakeMouseLParam(639, 479)}};
  EXPECT_EQ(RunLoop(), 0);
  EXPECT_EQ(Messages(), (std::vector<uint32_t>{WM_CREATE, WM_MOUSEMOVE}));
}

TEST_F(MessageLoopTest, SendFromAnotherThreadRunsOnTheWindowThreadAndWaits) {
  WindowHandle window = Window().CreateMainWindow("Varnel", Procedure);
  std::atomic<intptr_t> answer{-1};
  std::atomic<bool> started{false}, sent{false};
  std::thread sender([&] {
    started = true;
    answer = Window().SendMessage(window, WM_USER_ANSWER, 5, 0);
    sent = true;
  });
  while (!started) std::this_thread::yield();
  // Nothing is handled until the window thread pumps.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(sent);
  FakeWindow().script = {{WM_KEYUP, 27, 0}};
  WindowMessage message{};
  ASSERT_TRUE(Window().GetMessage(message));
  sender.join();
  EXPECT_EQ(answer, 99);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].message, WM_USER_ANSWER);
  EXPECT_EQ(seen[1].thread, std::this_thread::get_id());
  EXPECT_EQ(message.message, WM_KEYUP);  // sent messages go before posted ones
}

TEST_F(MessageLoopTest, ASendWaitingWhenTheLoopEndsIsAnsweredWithZero) {
  WindowHandle window = Window().CreateMainWindow("Varnel", Procedure);
  Window().PostQuitMessage(0);
  RunLoop();
  // Nobody pumps any more: a send from another thread must not hang.
  std::thread sender([&] { EXPECT_EQ(Window().SendMessage(window, WM_USER_ANSWER, 0, 0), 0); });
  sender.join();
}

TEST_F(MessageLoopTest, TimersAreKeptPerIdAndGoWithTheWindow) {
  WindowHandle window = Window().CreateMainWindow("Varnel", Procedure);
  EXPECT_EQ(Window().SetTimer(window, 1638, 250), 1638u);
  EXPECT_EQ(Window().SetTimer(nullptr, 1638, 250), 0u);
  EXPECT_EQ(Window().SetTimer(window, 0, 250), 0u);
  EXPECT_TRUE(Window().KillTimer(window, 1638));
  EXPECT_FALSE(Window().KillTimer(window, 1638));
  Window().SetTimer(window, 7, 100);
  Window().DestroyWindow(window);
  EXPECT_FALSE(Window().KillTimer(window, 7));
}

TEST(ConsoleWindow, HasNoWindowAndNoLoop) {
  WindowService& console = ConsoleWindowService();
  EXPECT_EQ(console.CreateMainWindow("Varnel", Procedure), nullptr);
  WindowMessage message{};
  EXPECT_FALSE(console.GetMessage(message));
  EXPECT_EQ(message.message, WM_QUIT);
}

TEST(VkKeyScanA, LettersDigitsAndShiftedCharactersOfTheUsLayout) {
  EXPECT_EQ(VkKeyScanA('x'), 0x0058);
  EXPECT_EQ(VkKeyScanA('X'), 0x0158);
  EXPECT_EQ(VkKeyScanA('s'), 0x0053);
  EXPECT_EQ(VkKeyScanA('S'), 0x0153);
  EXPECT_EQ(VkKeyScanA('0'), 48);
  EXPECT_EQ(VkKeyScanA('9'), 57);
  EXPECT_EQ(VkKeyScanA('!'), 0x0131);
  EXPECT_EQ(VkKeyScanA(')'), 0x0130);
  EXPECT_EQ(VkKeyScanA(' '), VK_SPACE);
  EXPECT_EQ(VkKeyScanA('\r'), VK_RETURN);
  EXPECT_EQ(VkKeyScanA(';'), 0xBA);
  EXPECT_EQ(VkKeyScanA(':'), 0x01BA);
  EXPECT_EQ(VkKeyScanA('?'), 0x01BF);
  EXPECT_EQ(VkKeyScanA('\0'), -1);
  EXPECT_EQ(VkKeyScanA('\x1b'), -1);
  EXPECT_EQ(VkKeyScanA(static_cast<char>(0xE9)), -1);
}

TEST(Letterbox, WholeMultiplesWhenTheyFitAFractionOtherwise) {
  auto same = [](ImageRect a, ImageRect b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
  };
  EXPECT_TRUE(same(LetterboxRect(640, 480), {0, 0, 640, 480}));
  EXPECT_TRUE(same(LetterboxRect(800, 600), {80, 60, 640, 480}));
  EXPECT_TRUE(same(LetterboxRect(1920, 1080), {320, 60, 1280, 960}));
  EXPECT_TRUE(same(LetterboxRect(1280, 1024), {0, 32, 1280, 960}));
  EXPECT_TRUE(same(LetterboxRect(3840, 2160), {640, 120, 2560, 1920}));
  EXPECT_TRUE(same(LetterboxRect(320, 240), {0, 0, 320, 240}));
  EXPECT_TRUE(same(LetterboxRect(1000, 400), {233, 0, 533, 400}));
  EXPECT_TRUE(same(LetterboxRect(400, 1000), {0, 350, 400, 300}));
  EXPECT_TRUE(same(LetterboxRect(0, 0), {0, 0, 1, 1}));
}

TEST(Letterbox, OutputPointsMapToImagePixelsClampedToTheImage) {
  int x = -1, y = -1;
  const ImageRect doubled = LetterboxRect(1920, 1080);
  OutputToImage(doubled, 320, 60, x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  OutputToImage(doubled, 320 + 1279, 60 + 959, x, y);
  EXPECT_EQ(x, 639);
  EXPECT_EQ(y, 479);
  OutputToImage(doubled, 320 + 21, 60 + 41, x, y);
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 20);
  OutputToImage(doubled, 5, 1079, x, y);  // on the black bars
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 479);
  OutputToImage(LetterboxRect(320, 240), 319, 1, x, y);
  EXPECT_EQ(x, 638);
  EXPECT_EQ(y, 2);
}

}  // namespace
