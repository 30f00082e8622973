// The loading dialog over the fake dialog driver: its resource, centring on
// the desktop, and the demo's icon.
#include "marigold/loading_dialog.hpp"

#include <gtest/gtest.h>

#include <cstring>

namespace marigold::testing {
namespace {

using namespace platform::dialog;

class LoadingDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { FakeDialogs().Reset(); }
  void TearDown() override {
    if (dialog) DestroyWindow(dialog);
  }
  HWND dialog = nullptr;
};

TEST_F(LoadingDialogTest, TemplateIsAFramedPopupWithTextAndIcon) {
  const DialogTemplate& loading = LoadingDialogTemplate();
  EXPECT_EQ(loading.style, WS_POPUP | WS_VISIBLE | DS_MODALFRAME | DS_SETFONT);
  EXPECT_TRUE(loading.caption == nullptr || *loading.caption == '\0');
  EXPECT_STREQ(loading.faceName, "Arial");
  EXPECT_EQ(loading.pointSize, 9);
  EXPECT_EQ(loading.rect.cx, 126);
  EXPECT_EQ(loading.rect.cy, 20);
  ASSERT_EQ(loading.items.size(), 2u);
  const DialogItemTemplate& text = loading.items[0];
  EXPECT_EQ(text.id, kLoadingText);
  EXPECT_EQ(text.kind, ControlKind::StaticText);
  EXPECT_STREQ(text.caption, "Please wait...");
  EXPECT_TRUE(text.style & SS_CENTER);
  EXPECT_EQ((std::vector<int>{text.rect.x, text.rect.y, text.rect.cx, text.rect.cy}),
            (std::vector<int>{25, 6, 94, 8}));
  const DialogItemTemplate& icon = loading.items[1];
  EXPECT_EQ(icon.id, kLoadingIcon);
  EXPECT_EQ(icon.kind, ControlKind::Icon);
  EXPECT_STREQ(icon.caption, "#102");
  EXPECT_EQ((std::vector<int>{icon.rect.x, icon.rect.y, icon.rect.cx, icon.rect.cy}),
            (std::vector<int>{1, 1, 20, 20}));
}

TEST_F(LoadingDialogTest, OpensCentredOnTheDesktopWithItsText) {
  // Fake font at 9 points (8 x 12 base units): 126 x 20 units are 252 x 30
  // pixels, 258 x 36 with the frame.
  dialog = OpenLoadingDialog();
  ASSERT_NE(dialog, nullptr);
  ASSERT_EQ(FakeDialogs().frames.size(), 1u);
  EXPECT_EQ(FakeDialogs().frames[0].x, (1024 - 258) / 2);
  EXPECT_EQ(FakeDialogs().frames[0].y, (768 - 36) / 2);
  EXPECT_EQ(FakeDialogs().frames[0].texts[0], kLoadingWaitText);
}

TEST_F(LoadingDialogTest, CentresOnAnOddOrSmallDesktopByHalfTheDifference) {
  FakeDialogs().desktopWidth = 801;
  FakeDialogs().desktopHeight = 31;
  dialog = OpenLoadingDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(FakeDialogs().frames[0].x, 271);  // (801 - 258) / 2
  EXPECT_EQ(FakeDialogs().frames[0].y, -2);   // (31 - 36) / 2, towards zero
}

TEST_F(LoadingDialogTest, TextChangeShowsAtOnce) {
  dialog = OpenLoadingDialog();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(SetDlgItemTextA(dialog, kLoadingText, kLoadingEngineText));
  ASSERT_EQ(FakeDialogs().frames.size(), 2u);
  EXPECT_EQ(FakeDialogs().frames[1].texts[0], "Initializing 3D engine...");
  EXPECT_EQ(FakeDialogs().frames[1].x, FakeDialogs().frames[0].x);
}

TEST_F(LoadingDialogTest, IconIsAFlowerOnATransparentGround) {
  const DialogIcon& icon = DemoIcon();
  ASSERT_EQ(icon.width, kDemoIconSide);
  ASSERT_EQ(icon.height, kDemoIconSide);
  const auto at = [&](int x, int y) { return icon.pixels[y * icon.width + x]; };
  const auto alpha = [&](int x, int y) { return at(x, y) >> 24; };
  const auto red = [&](int x, int y) { return (at(x, y) >> 16) & 0xFF; };
  const auto green = [&](int x, int y) { return (at(x, y) >> 8) & 0xFF; };
  EXPECT_EQ(alpha(0, 0), 0u);
  EXPECT_EQ(alpha(31, 31), 0u);
  EXPECT_EQ(alpha(16, 16), 255u);
  // Warm colours: more red than green, and a darker heart than petals.
  EXPECT_GT(red(16, 16), green(16, 16));
  EXPECT_LT(red(16, 16) + green(16, 16), red(16, 6) + green(16, 6));
  EXPECT_EQ(alpha(16, 6), 255u);
  // Soft edges: some pixels partly covered.
  int partial = 0;
  for (int i = 0; i < kDemoIconSide * kDemoIconSide; ++i) {
    const std::uint32_t a = icon.pixels[i] >> 24;
    partial += a > 0 && a < 255;
  }
  EXPECT_GT(partial, 10);
}

TEST_F(LoadingDialogTest, OpeningRegistersTheIconTheControlShows) {
  dialog = OpenLoadingDialog();
  const DialogIcon* registered = FindDialogIcon(kDemoIcon);
  ASSERT_NE(registered, nullptr);
  EXPECT_EQ(registered->pixels, DemoIcon().pixels);
}

TEST_F(LoadingDialogTest, StartUpGoesOnWhenTheDialogCannotShow) {
  FakeDialogs().openFails = true;
  EXPECT_EQ(OpenLoadingDialog(), nullptr);
  EXPECT_FALSE(SetDlgItemTextA(nullptr, kLoadingText, kLoadingEngineText));
  EXPECT_FALSE(DestroyWindow(nullptr));
}

}  // namespace
}  // namespace marigold::testing
