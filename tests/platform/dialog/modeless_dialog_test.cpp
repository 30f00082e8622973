// Modeless dialogs on the fake driver: shown at once after WM_INITDIALOG,
// changed texts and positions shown without a message loop, closed by
// DestroyWindow; and how a captionless framed dialog with an icon looks.
#include <cstring>

#include "platform/dialog/dialog_painter.hpp"
#include "tests/platform/dialog/dialog_test_template.hpp"

namespace dialog_test {
namespace {

using namespace palette;

enum : int { kStatus = 30, kPicture = 31, kIconId = 77 };

inline constexpr DialogItemTemplate kNoticeItems[] = {
    {kStatus, ControlKind::StaticText, "Working", {20, 4, 80, 8}, SS_CENTER},
    {kPicture, ControlKind::Icon, "#77", {1, 1, 20, 20}, 0},
};
inline constexpr DialogTemplate kNotice{
    "NOTICE",        WS_POPUP | WS_VISIBLE | DS_MODALFRAME | DS_SETFONT,
    {2, 3, 100, 20}, nullptr,
    "Helv",          8,
    kNoticeItems};

// Fake font: 8 x 11 base units, so 200 x 28 client pixels and a 3-pixel frame.
constexpr int kWindowWidth = 206;
constexpr int kWindowHeight = 34;

// A 2 x 2 icon: opaque red, half-transparent blue, and two clear pixels.
constexpr std::uint32_t kIconPixels[] = {0xFFFF0000, 0x800000FF, 0x00000000, 0x00FFFFFF};

class ModelessDialog : public testing::Test {
 protected:
  void SetUp() override {
    ResetLog();
    FakeDialogs().Reset();
  }
  void TearDown() override {
    if (dialog_) DestroyWindow(dialog_);
  }
  HWND Open(DLGPROC procedure = LoggingProcedure) {
    dialog_ = CreateDialogIndirectParamA(nullptr, &kNotice, nullptr, procedure, 42);
    return dialog_;
  }
  HWND dialog_ = nullptr;
};

TEST_F(ModelessDialog, InitialisesThenShowsAtOnceAtTheTemplatePosition) {
  ASSERT_NE(Open(), nullptr);
  ASSERT_EQ(Log().messages.size(), 1u);
  EXPECT_EQ(Log().messages[0].message, WM_INITDIALOG);
  EXPECT_EQ(Log().messages[0].lParam, 42);
  EXPECT_EQ(FakeDialogs().modelessOpen, 1);
  ASSERT_EQ(FakeDialogs().frames.size(), 1u);
  EXPECT_EQ(FakeDialogs().frames[0].x, 4);  // 2 units of 8 / 4 pixels
  EXPECT_EQ(FakeDialogs().frames[0].y, 4);  // 3 units of 11 / 8 pixels, rounded
  EXPECT_EQ(FakeDialogs().frames[0].texts, (std::vector<std::string>{"Working", "#77"}));
}

TEST_F(ModelessDialog, WindowRectangleIncludesTheFrameOfACaptionlessDialog) {
  ASSERT_NE(Open(), nullptr);
  RECT window{}, client{};
  ASSERT_TRUE(GetWindowRect(dialog_, &window));
  ASSERT_TRUE(GetClientRect(dialog_, &client));
  EXPECT_EQ(window.right - window.left, kWindowWidth);
  EXPECT_EQ(window.bottom - window.top, kWindowHeight);
  EXPECT_EQ(client.right, kWindowWidth - 2 * kModalFrameWidth);
  EXPECT_EQ(client.bottom, kWindowHeight - 2 * kModalFrameWidth);
}

TEST_F(ModelessDialog, DesktopClientRectangleIsTheDriversDesktop) {
  FakeDialogs().desktopWidth = 800;
  FakeDialogs().desktopHeight = 600;
  RECT desktop{};
  ASSERT_TRUE(GetClientRect(GetDesktopWindow(), &desktop));
  EXPECT_EQ(desktop.right, 800);
  EXPECT_EQ(desktop.bottom, 600);
  FakeDialogs().desktopWidth = 0;
  EXPECT_FALSE(GetClientRect(GetDesktopWindow(), &desktop));
}

TEST_F(ModelessDialog, PlacedDuringInitOpensWhereItWasPut) {
  ASSERT_NE(Open([](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
              if (message == WM_INITDIALOG)
                SetWindowPos(dialog, nullptr, 300, 200, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
              return 1;
            }),
            nullptr);
  // Nothing is drawn before the window opens, once, where it was put.
  ASSERT_EQ(FakeDialogs().frames.size(), 1u);
  EXPECT_EQ(FakeDialogs().frames[0].x, 300);
  EXPECT_EQ(FakeDialogs().frames[0].y, 200);
}

TEST_F(ModelessDialog, TextAndPositionChangesShowAtOnce) {
  ASSERT_NE(Open(), nullptr);
  EXPECT_TRUE(SetDlgItemTextA(dialog_, kStatus, "Almost done"));
  ASSERT_EQ(FakeDialogs().frames.size(), 2u);
  EXPECT_EQ(FakeDialogs().frames[1].texts[0], "Almost done");
  EXPECT_TRUE(SetWindowPos(dialog_, nullptr, 10, 20, 999, 999, SWP_NOZORDER));
  ASSERT_EQ(FakeDialogs().frames.size(), 3u);
  EXPECT_EQ(FakeDialogs().frames[2].x, 10);
  RECT window{};
  ASSERT_TRUE(GetWindowRect(dialog_, &window));
  EXPECT_EQ(window.right - window.left, kWindowWidth);  // the size is the template's
  EXPECT_TRUE(SetWindowPos(dialog_, nullptr, 50, 60, 0, 0, SWP_NOMOVE));
  ASSERT_TRUE(GetWindowRect(dialog_, &window));
  EXPECT_EQ(window.left, 10);
}

TEST_F(ModelessDialog, ItemTextReadsBackAndTruncatesSafely) {
  ASSERT_NE(Open(), nullptr);
  char text[5] = "xxxx";
  EXPECT_EQ(GetDlgItemTextA(dialog_, kStatus, text, sizeof text), 4u);
  EXPECT_STREQ(text, "Work");
  EXPECT_EQ(GetDlgItemTextA(dialog_, 999, text, sizeof text), 0u);
  EXPECT_STREQ(text, "");
  EXPECT_TRUE(SetDlgItemTextA(dialog_, kStatus, nullptr));
  EXPECT_EQ(GetDlgItemTextA(dialog_, kStatus, text, sizeof text), 0u);
}

TEST_F(ModelessDialog, UnknownItemsAndHandlesChangeNothing) {
  ASSERT_NE(Open(), nullptr);
  EXPECT_FALSE(SetDlgItemTextA(dialog_, 999, "nothing"));
  int other = 0;
  EXPECT_FALSE(SetDlgItemTextA(&other, kStatus, "nothing"));
  EXPECT_FALSE(SetWindowPos(&other, nullptr, 1, 1, 0, 0, 0));
  EXPECT_FALSE(DestroyWindow(&other));
  EXPECT_EQ(FakeDialogs().frames.size(), 1u);
}

TEST_F(ModelessDialog, DestroyedDialogIsGoneForGood) {
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(DestroyWindow(dialog));
  dialog_ = nullptr;
  EXPECT_EQ(FakeDialogs().modelessOpen, 0);
  EXPECT_FALSE(DestroyWindow(dialog));
  EXPECT_FALSE(SetDlgItemTextA(dialog, kStatus, "late"));
  RECT window{};
  EXPECT_FALSE(GetWindowRect(dialog, &window));
  EXPECT_EQ(FakeDialogs().frames.size(), 1u);
}

TEST_F(ModelessDialog, DialogThatCannotShowLeavesNothingBehind) {
  FakeDialogs().openFails = true;
  EXPECT_EQ(Open(), nullptr);
  EXPECT_EQ(FakeDialogs().modelessOpen, 0);
  EXPECT_TRUE(FakeDialogs().frames.empty());
}

TEST(ModelessDialogLook, FramedCaptionlessDialogWithIconAndCentredText) {
  RegisterDialogIcon(kIconId, {2, 2, kIconPixels});
  DialogSession session(kNotice, LoggingProcedure, 0);
  ASSERT_TRUE(session.valid());
  const DialogLayout& layout = session.layout();
  DialogCanvas canvas(layout.windowWidth(), layout.windowHeight());
  PaintDialog(session, canvas);
  // The raised border: light and white above and left, black and grey below and right.
  EXPECT_EQ(canvas.At(0, 0), kLight);
  EXPECT_EQ(canvas.At(1, 1), kHighlight);
  EXPECT_EQ(canvas.At(kWindowWidth - 1, kWindowHeight - 1), kDarkShadow);
  EXPECT_EQ(canvas.At(kWindowWidth - 2, kWindowHeight - 2), kShadow);
  // The icon at the control's corner inside the frame, blended over the face.
  const int iconX = kModalFrameWidth + layout.items[1].x;
  const int iconY = kModalFrameWidth + layout.items[1].y;
  EXPECT_EQ(canvas.At(iconX, iconY), Rgb555(0xFF, 0, 0));
  EXPECT_EQ(canvas.At(iconX + 1, iconY), Rgb555(0x60, 0x60, 0xE0));
  EXPECT_EQ(canvas.At(iconX, iconY + 1), kFace);
  EXPECT_EQ(canvas.At(iconX + 1, iconY + 1), kFace);
  // The text sits in the middle of its rectangle: as much face left as right.
  const PixelRect& text = layout.items[0];
  int first = -1, last = -1;
  for (int x = 0; x < text.width; ++x) {
    for (int y = 0; y < text.height; ++y) {
      if (canvas.At(kModalFrameWidth + text.x + x, kModalFrameWidth + text.y + y) != kFace) {
        if (first < 0) first = x;
        last = x;
      }
    }
  }
  ASSERT_GE(first, 0);
  EXPECT_NEAR(first, text.width - 1 - last, 8);
}

TEST(ModelessDialogLook, IconControlWithoutARegisteredIconShowsTheFace) {
  static constexpr DialogItemTemplate kItems[] = {
      {1, ControlKind::Icon, "#4242", {0, 0, 20, 20}, 0}};
  static constexpr DialogTemplate kBare{"BARE", WS_POPUP, {0, 0, 20, 20}, nullptr,
                                        "Helv", 8,        kItems};
  DialogSession session(kBare, LoggingProcedure, 0);
  ASSERT_TRUE(session.valid());
  EXPECT_EQ(session.layout().frame, 0);
  DialogCanvas canvas(session.layout().windowWidth(), session.layout().windowHeight());
  PaintDialog(session, canvas);
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) ASSERT_EQ(canvas.At(x, y), kFace);
  }
}

}  // namespace
}  // namespace dialog_test
