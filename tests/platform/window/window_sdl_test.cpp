// The SDL window driver on a private X server: real key presses and mouse
// clicks from xdotool arrive as the desktop's messages; closing, timers and
// messages sent from another thread.
#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/window/fake_window_service.hpp"
#include "tests/platform/window/screen_test_support.hpp"

namespace {

using namespace platform;

struct Received {
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
  std::thread::id thread;
};
std::vector<Received> received;  // window thread only

intptr_t RecordingProcedure(WindowHandle window, uint32_t message, uintptr_t wParam,
                            intptr_t lParam) {
  received.push_back({message, wParam, lParam, std::this_thread::get_id()});
  if (message == WM_DESTROY) Window().PostQuitMessage(7);
  return Window().DefWindowProc(window, message, wParam, lParam);
}

size_t Count(uint32_t message, uintptr_t wParam = ~uintptr_t{0}) {
  size_t count = 0;
  for (const Received& r : received)
    if (r.message == message && (wParam == ~uintptr_t{0} || r.wParam == wParam)) ++count;
  return count;
}

const Received* Find(uint32_t message, size_t nth = 0) {
  for (const Received& r : received)
    if (r.message == message && nth-- == 0) return &r;
  return nullptr;
}

class SdlWindowTest : public testing::Test {
 protected:
  explicit SdlWindowTest(int width = 640, int height = 480) : screen_(width, height) {}

  void SetUp() override {
    if (!screen_.running()) GTEST_SKIP() << "Xvfb is not available";
    SetWindowService(&SdlWindowService());
    received.clear();
    window_ = Window().CreateMainWindow("Varnel", RecordingProcedure);
    ASSERT_NE(window_, nullptr);
    Window().ShowWindow(window_);
    // Input sent before the window is mapped and focused would be lost.
    ASSERT_TRUE(testing_support::PumpUntilShownAndFocused(window_, screen_.xvfb()));
    received.clear();
  }
  void TearDown() override {
    if (window_) Window().DestroyWindow(window_);
    SetWindowService(&FakeWindow());
  }

  bool Xdotool(const std::string& arguments) { return screen_.xvfb().Xdotool(arguments) == 0; }
  // Runs the loop to its end; the quit message's exit code, or -1 on timeout.
  int PumpToQuit(double seconds = testing_support::kDesktopTimeoutSeconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    Window().SetTimer(window_, 4243, 50);  // keeps GetMessage returning
    WindowMessage message{};
    while (std::chrono::steady_clock::now() < end) {
      if (!Window().GetMessage(message)) return static_cast<int>(message.wParam);
      Window().DispatchMessage(message);
    }
    return -1;
  }

  testing_support::TestScreen screen_;
  WindowHandle window_ = nullptr;
};

TEST_F(SdlWindowTest, KeysArriveAsVirtualKeyCodesDownThenUp) {
  const std::pair<const char*, int> keys[] = {
      {"Return", 13}, {"Escape", 27}, {"Prior", 33}, {"Next", 34}, {"End", 35},  {"Home", 36},
      {"Left", 37},   {"Up", 38},     {"Right", 39}, {"Down", 40}, {"0", 48},    {"9", 57},
      {"a", 65},      {"x", 88},      {"z", 90},     {"F1", 112},  {"F10", 121}, {"space", 32}};
  std::string arguments = "key --delay 30";
  for (const auto& key : keys) arguments += std::string(" ") + key.first;
  ASSERT_TRUE(Xdotool(arguments));
  ASSERT_TRUE(
      testing_support::PumpUntil(window_, [&] { return Count(WM_KEYUP) >= std::size(keys); }));
  std::vector<int> downs, ups;
  for (const Received& r : received) {
    if (r.message == WM_KEYDOWN) downs.push_back(static_cast<int>(r.wParam));
    if (r.message == WM_KEYUP) ups.push_back(static_cast<int>(r.wParam));
  }
  std::vector<int> expected;
  for (const auto& key : keys) expected.push_back(key.second);
  EXPECT_EQ(downs, expected);
  EXPECT_EQ(ups, expected);
  EXPECT_EQ(Find(WM_KEYUP)->lParam & (intptr_t{3} << 30), intptr_t{3} << 30);
}

TEST_F(SdlWindowTest, AHeldKeyRepeatsUntilReleased) {
  // Held until the server's auto-repeat has come three times.
  ASSERT_TRUE(Xdotool("keydown Down"));
  const bool repeated = testing_support::PumpUntil(window_, [] { return Count(WM_KEYDOWN, VK_DOWN) >= 3; });
  ASSERT_TRUE(Xdotool("keyup Down"));
  ASSERT_TRUE(repeated);
  ASSERT_TRUE(testing_support::PumpUntil(window_, [] { return Count(WM_KEYUP) >= 1; }));
  EXPECT_GE(Count(WM_KEYDOWN, VK_DOWN), 3u);
  EXPECT_EQ(Count(WM_KEYUP, VK_DOWN), 1u);
  // Repeats say that the key was already down.
  EXPECT_EQ(Find(WM_KEYDOWN, 0)->lParam & (intptr_t{1} << 30), 0);
  EXPECT_NE(Find(WM_KEYDOWN, 1)->lParam & (intptr_t{1} << 30), 0);
  EXPECT_EQ(received.back().message, WM_KEYUP);
}

TEST_F(SdlWindowTest, MouseMovesAndClicksCarryImageCoordinatesAndButtonFlags) {
  // Each step once the window has seen the one before.
  // The pointer may first cross the window from where it was before.
  const auto findMoveTo = [](int x, int y) -> const Received* {
    for (const Received& r : received)
      if (r.message == WM_MOUSEMOVE && r.lParam == MakeMouseLParam(x, y)) return &r;
    return nullptr;
  };
  ASSERT_TRUE(Xdotool("mousemove 100 200"));
  ASSERT_TRUE(testing_support::PumpUntil(window_, [&] { return findMoveTo(100, 200) != nullptr; }));
  ASSERT_TRUE(Xdotool("click 1"));
  ASSERT_TRUE(testing_support::PumpUntil(window_, [] { return Count(WM_LBUTTONUP) >= 1; }));
  ASSERT_TRUE(Xdotool("mousemove 639 479"));
  ASSERT_TRUE(testing_support::PumpUntil(window_, [&] { return findMoveTo(639, 479) != nullptr; }));
  ASSERT_TRUE(Xdotool("click 3"));
  ASSERT_TRUE(testing_support::PumpUntil(window_, [] { return Count(WM_RBUTTONUP) >= 1; }));
  ASSERT_TRUE(Xdotool("keydown shift click 1 keyup shift"));
  ASSERT_TRUE(testing_support::PumpUntil(window_, [] { return Count(WM_LBUTTONUP) >= 2; }));
  const Received* move = findMoveTo(100, 200);
  ASSERT_NE(move, nullptr);
  EXPECT_EQ(move->lParam, MakeMouseLParam(100, 200));
  EXPECT_EQ(move->wParam, 0u);
  const Received* leftDown = Find(WM_LBUTTONDOWN);
  const Received* leftUp = Find(WM_LBUTTONUP);
  EXPECT_EQ(leftDown->lParam, MakeMouseLParam(100, 200));
  EXPECT_EQ(leftDown->wParam, MK_LBUTTON);
  EXPECT_EQ(leftUp->wParam, 0u);
  const Received* rightDown = Find(WM_RBUTTONDOWN);
  ASSERT_NE(rightDown, nullptr);
  EXPECT_EQ(rightDown->lParam, MakeMouseLParam(639, 479));
  EXPECT_EQ(rightDown->wParam, MK_RBUTTON);
  EXPECT_EQ(Find(WM_RBUTTONUP)->wParam, 0u);
  EXPECT_EQ(Find(WM_LBUTTONDOWN, 1)->wParam, MK_LBUTTON | MK_SHIFT);
  EXPECT_EQ(Count(WM_KEYDOWN, VK_SHIFT), 1u);
}

class SdlWindowOnWideScreenTest : public SdlWindowTest {
 protected:
  SdlWindowOnWideScreenTest() : SdlWindowTest(800, 600) {}
};

TEST_F(SdlWindowOnWideScreenTest, MouseCoordinatesGoThroughTheLetterbox) {
  // The image sits at (80, 60); clicks on the bars clamp to its edge.
  const char* clicks[] = {"mousemove 90 80 click 1", "mousemove 5 5 click 1", "mousemove 799 599 click 1"};
  for (size_t i = 0; i < std::size(clicks); ++i) {
    ASSERT_TRUE(Xdotool(clicks[i]));
    ASSERT_TRUE(testing_support::PumpUntil(window_, [&] { return Count(WM_LBUTTONUP) >= i + 1; }));
  }
  EXPECT_EQ(Find(WM_LBUTTONDOWN, 0)->lParam, MakeMouseLParam(10, 20));
  EXPECT_EQ(Find(WM_LBUTTONDOWN, 1)->lParam, MakeMouseLParam(0, 0));
  EXPECT_EQ(Find(WM_LBUTTONDOWN, 2)->lParam, MakeMouseLParam(639, 479));
}

TEST_F(SdlWindowTest, AltF4ClosesTheWindowAndEndsTheLoop) {
  ASSERT_TRUE(Xdotool("key alt+F4"));
  EXPECT_EQ(PumpToQuit(), 7);
  EXPECT_EQ(Count(WM_CLOSE), 1u);
  EXPECT_EQ(Count(WM_DESTROY), 1u);
  EXPECT_EQ(Count(WM_SYSKEYDOWN, VK_F4), 1u);
  EXPECT_EQ(Count(WM_KEYDOWN), 0u);  // keys with Alt are system keys
  EXPECT_FALSE(Window().DestroyWindow(window_));
  window_ = nullptr;
}

TEST_F(SdlWindowTest, AnInterruptAsksTheWindowToClose) {
  struct sigaction action {};
  sigaction(SIGINT, nullptr, &action);
  if (action.sa_handler == SIG_DFL || action.sa_handler == SIG_IGN)
    GTEST_SKIP() << "SDL did not take SIGINT";
  raise(SIGINT);
  EXPECT_EQ(PumpToQuit(), 7);
  EXPECT_GE(Count(WM_CLOSE), 1u);
  window_ = nullptr;
}

TEST_F(SdlWindowTest, IconReachesTheWindowListsPropertyPixelForPixel) {
  // Opaque red, half-transparent blue, clear, and clear white.
  const std::uint32_t pixels[] = {0xFFFF0000, 0x800000FF, 0x00000000, 0x00FFFFFF};
  Window().SetWindowIcon(window_, 2, 2, pixels);
  // Width, height, then the pixels as 0xAARRGGBB numbers.
  EXPECT_EQ(screen_.xvfb().Run("xprop -id $(xdotool search --name '^Varnel$' | head -1)"
                               " -f _NET_WM_ICON 32c '=$0+' _NET_WM_ICON"
                               " | grep -q '=2, 2, 4294901760, 2147483903, 0, 16777215$'"),
            0);
}

TEST_F(SdlWindowTest, TimerTicksArriveOnTheWindowThreadUntilKilled) {
  ASSERT_EQ(Window().SetTimer(window_, 1638, 100), 1638u);
  ASSERT_TRUE(testing_support::PumpUntil(window_, [] { return Count(WM_TIMER, 1638) >= 3; }));
  for (const Received& r : received) EXPECT_EQ(r.thread, std::this_thread::get_id());
  EXPECT_TRUE(Window().KillTimer(window_, 1638));
  received.clear();
  testing_support::PumpUntil(
      window_, [] { return false; }, 0.4);
  EXPECT_EQ(Count(WM_TIMER, 1638), 0u);
}

TEST_F(SdlWindowTest, CloseSentFromAnotherThreadWaitsUntilTheWindowIsGone) {
  std::atomic<bool> returned{false};
  std::atomic<size_t> destroysSeenBySender{0};
  std::thread magazine([&] {
    Window().SendMessage(window_, WM_CLOSE, 0, 0);
    destroysSeenBySender = Count(WM_DESTROY);  // the window thread is waiting in GetMessage
    returned = true;
  });
  EXPECT_EQ(PumpToQuit(), 7);
  magazine.join();
  EXPECT_TRUE(returned);
  EXPECT_EQ(destroysSeenBySender, 1u);
  ASSERT_NE(Find(WM_CLOSE), nullptr);
  EXPECT_EQ(Find(WM_CLOSE)->thread, std::this_thread::get_id());
  // Sending to the window that is gone answers at once.
  std::thread late([&] { EXPECT_EQ(Window().SendMessage(window_, WM_CLOSE, 0, 0), 0); });
  late.join();
  window_ = nullptr;
}

}  // namespace
