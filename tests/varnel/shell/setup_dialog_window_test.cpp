// The setup dialog in a real window on a private X server, used with the
// mouse and the keyboard; screenshots show what the user sees.
#include <algorithm>
#include <cstring>

#include "platform/dialog/dialog_painter.hpp"
#include "tests/platform/dialog/dialog_desktop.hpp"
#include "varnel/resources/setup_dialog_template.hpp"
#include "varnel/shell/settings.hpp"

using namespace varnel;

namespace {

using namespace platform::dialog;
using namespace setup_dialog;
using dialog_desktop::User;

constexpr const char* kCaption = "Varnel#3";

INT_PTR Quiet(HWND, UINT, WPARAM, LPARAM) { return 0; }

class SetupDialogWindow : public dialog_desktop::DesktopDialogTest {
 protected:
  void SetUp() override {
    DesktopDialogTest::SetUp();
    SetDefaultSettings();
  }
  static PixelRect Rect(int id) {
    DialogSession session(kTemplate, Quiet, 0);
    return session.layout().items[session.IndexOf(id)];
  }
  static std::pair<int, int> Centre(int id) {
    const PixelRect rect = Rect(id);
    return {rect.x + rect.width / 2, rect.y + rect.height / 2};
  }
  void Click(int id) {
    const auto [x, y] = Centre(id);
    dialog_desktop::ClickAt(server_, kCaption, x, y);
  }
  // Screen pixels of a check box's white square, relative to its control.
  static std::vector<std::uint32_t> BoxPixels(const dialog_desktop::Screen& screen,
                                              const dialog_desktop::Geometry& window, int id) {
    const PixelRect rect = Rect(id);
    const int top = window.y + rect.y + (rect.height - kCheckBoxSize) / 2 + 2;
    std::vector<std::uint32_t> pixels;
    for (int y = top; y < top + 9; ++y) {
      for (int x = window.x + rect.x + 2; x < window.x + rect.x + 11; ++x) {
        pixels.push_back(screen.At(x, y));
      }
    }
    return pixels;
  }
};

int Count(const std::vector<std::uint32_t>& pixels, std::uint32_t color) {
  return static_cast<int>(std::count(pixels.begin(), pixels.end(), color));
}

TEST_F(SetupDialogWindow, ClickingUseMmxSaveSetupAndOkStoresTheChoice) {
  const std::string shotBefore = std::string(SUITE_BINARY_DIR) + "/setup_dialog.png";
  const std::string shotAfter = std::string(SUITE_BINARY_DIR) + "/setup_dialog_mmx.png";
  std::optional<dialog_desktop::Geometry> window;
  std::optional<dialog_desktop::Screen> before, after;
  User user(server_, kCaption, [&, this] {
    window = dialog_desktop::WindowGeometry(server_, kCaption);
    before = dialog_desktop::Capture(server_, shotBefore);
    Click(kUseMmx);
    // Until the tick is drawn (or the wait gives up and the checks below fail).
    testing_support::WaitUntil([&] {
      after = dialog_desktop::Capture(server_, shotAfter);
      return !window || !after || Count(BoxPixels(*after, *window, kUseMmx), 0) == 21;
    });
    Click(kSaveSetup);
    Click(kOk);
  });
  const SetupDialogResult result = RunSetupDialog();
  user.Finish();

  EXPECT_TRUE(result.accepted);
  EXPECT_TRUE(result.saveRequested);
  Settings expected = settings;
  SetDefaultSettings();
  std::swap(expected, settings);
  expected.useMmx = 1;
  EXPECT_EQ(std::memcmp(&settings, &expected, sizeof settings), 0);

  ASSERT_TRUE(window.has_value());
  EXPECT_EQ(window->width, 320);  // 213 x 223 units at 6 x 12 pixels per 4 x 8
  EXPECT_EQ(window->height, 335);
  EXPECT_EQ(window->x, (640 - 320) / 2);  // centred on the screen
  EXPECT_EQ(window->y, (480 - 335) / 2);
  if (!before || !after) GTEST_SKIP() << "no screenshots (ImageMagick missing)";
  const std::uint32_t kGrey = dialog_desktop::Grey555(24), kWhite = 0xFFFFFF, kBlack = 0;
  EXPECT_EQ(before->At(window->x + 2, window->y + 2), kGrey);
  EXPECT_EQ(before->At(window->x + window->width - 3, window->y + window->height - 3), kGrey);
  // "Use MMX" is empty at first and ticked after the click; "Wait for Vsync"
  // is ticked all along.
  EXPECT_EQ(Count(BoxPixels(*before, *window, kUseMmx), kWhite), 81);
  EXPECT_EQ(Count(BoxPixels(*after, *window, kUseMmx), kBlack), 21);
  EXPECT_EQ(Count(BoxPixels(*before, *window, kWaitForVsync), kBlack), 21);
}

TEST_F(SetupDialogWindow, EscapeCancels) {
  User user(server_, kCaption, [this] {
    Click(kUseMmx);
    dialog_desktop::Type(server_, kCaption, "Escape");
  });
  const SetupDialogResult result = RunSetupDialog();
  user.Finish();
  EXPECT_FALSE(result.accepted);
  EXPECT_FALSE(result.saveRequested);
  EXPECT_EQ(settings.useMmx, 1);  // Cancel copies the controls like any command
}

TEST_F(SetupDialogWindow, KeyboardAloneChoosesAndConfirms) {
  // Six Tabs reach the checked tune; Down checks the second; Enter is OK.
  User user(server_, kCaption, [this] {
    dialog_desktop::Type(server_, kCaption, "Tab Tab Tab Tab Tab Tab Down Tab space Return");
  });
  const SetupDialogResult result = RunSetupDialog();
  user.Finish();
  EXPECT_TRUE(result.accepted);
  EXPECT_EQ(settings.startingTune, kTune2);
  EXPECT_EQ(settings.crossFade, 0);  // Tab to CrossFade, Space clears it
}

}  // namespace
