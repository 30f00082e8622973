// The loading dialog on a real X server: it opens centred, its window shows
// exactly what the dialog manager paints (text and icon), the text change
// shows at once without a message loop, and it goes when destroyed.
#include <string>

#include "marigold/loading_dialog.hpp"
#include "platform/dialog/dialog_painter.hpp"
#include "tests/platform/dialog/dialog_desktop.hpp"

namespace marigold::testing {
namespace {

using namespace platform::dialog;
using dialog_desktop::Screen;

constexpr int kScreenWidth = 640;  // the test server's screen
constexpr int kScreenHeight = 480;
constexpr double kShotPause = 0.5;  // between screenshots while waiting

// How the X server shows a 5-5-5 pixel, channel by channel.
std::uint32_t Shown(std::uint16_t pixel) {
  const auto expand = [](int level) { return static_cast<std::uint32_t>(level * 255 / 31); };
  return expand((pixel >> 10) & 31) << 16 | expand((pixel >> 5) & 31) << 8 | expand(pixel & 31);
}

class LoadingDialogWindow : public dialog_desktop::DesktopDialogTest {
 protected:
  void TearDown() override {
    if (dialog_) DestroyWindow(dialog_);
    DesktopDialogTest::TearDown();
  }

  // Whether the screen shows the dialog as the painter draws it, at its place.
  bool ScreenShowsDialog() {
    const DialogSession* session = DialogSession::FromHandle(dialog_);
    if (!session) return false;
    RECT rect{};
    GetWindowRect(dialog_, &rect);
    DialogCanvas canvas(rect.right - rect.left, rect.bottom - rect.top);
    PaintDialog(*session, canvas);
    const std::optional<Screen> screen = dialog_desktop::Capture(server_, "screen.png");
    if (!screen) return false;
    for (int y = 0; y < canvas.height(); ++y) {
      for (int x = 0; x < canvas.width(); ++x) {
        if (screen->At(rect.left + x, rect.top + y) != Shown(canvas.At(x, y))) return false;
      }
    }
    return true;
  }

  // Dark (text) pixels of the painted text control.
  int TextPixels() {
    const DialogSession* session = DialogSession::FromHandle(dialog_);
    const DialogLayout& layout = session->layout();
    DialogCanvas canvas(layout.windowWidth(), layout.windowHeight());
    PaintDialog(*session, canvas);
    const PixelRect& text = layout.items[session->IndexOf(kLoadingText)];
    int dark = 0;
    for (int y = 0; y < text.height; ++y) {
      for (int x = 0; x < text.width; ++x) {
        dark += canvas.At(layout.frame + text.x + x, layout.frame + text.y + y) <
                Rgb555(0x40, 0x40, 0x40);
      }
    }
    return dark;
  }

  bool WindowGone(const std::string& name) {
    return server_.Xdotool("search --onlyvisible --name " + dialog_desktop::NamePattern(name) +
                           " >/dev/null 2>&1") != 0;
  }

  HWND dialog_ = nullptr;
};

TEST_F(LoadingDialogWindow, OpensCentredShowsItsTextThenTheNextAndGoes) {
  if (testing_support::ImageMagickConvert().empty()) GTEST_SKIP() << "ImageMagick is missing";
  dialog_ = OpenLoadingDialog();
  ASSERT_NE(dialog_, nullptr);
  // The captionless window is named after its text.
  ASSERT_TRUE(dialog_desktop::WaitForWindow(server_, kLoadingWaitText));
  const auto geometry = dialog_desktop::WindowGeometry(server_, kLoadingWaitText);
  ASSERT_TRUE(geometry);
  RECT rect{};
  ASSERT_TRUE(GetWindowRect(dialog_, &rect));
  EXPECT_EQ(geometry->width, rect.right - rect.left);
  EXPECT_EQ(geometry->height, rect.bottom - rect.top);
  EXPECT_EQ(geometry->x, (kScreenWidth - geometry->width) / 2);
  EXPECT_EQ(geometry->y, (kScreenHeight - geometry->height) / 2);
  EXPECT_GT(TextPixels(), 20);
  EXPECT_TRUE(testing_support::WaitUntil([&] { return ScreenShowsDialog(); },
                                         testing_support::kDesktopTimeoutSeconds, kShotPause));

  const int waitPixels = TextPixels();
  ASSERT_TRUE(SetDlgItemTextA(dialog_, kLoadingText, kLoadingEngineText));
  EXPECT_GT(TextPixels(), waitPixels);  // the longer text
  EXPECT_TRUE(dialog_desktop::WaitForWindow(server_, kLoadingEngineText));
  EXPECT_TRUE(testing_support::WaitUntil([&] { return ScreenShowsDialog(); },
                                         testing_support::kDesktopTimeoutSeconds, kShotPause));

  ASSERT_TRUE(DestroyWindow(dialog_));
  dialog_ = nullptr;
  EXPECT_TRUE(testing_support::WaitUntil([&] { return WindowGone(kLoadingEngineText); }));
}

}  // namespace
}  // namespace marigold::testing
