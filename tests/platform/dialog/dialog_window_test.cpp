// The SDL dialog driver on a real X server: a press that slides off a button
// does nothing, a click does.
#include "platform/dialog/dialog_session.hpp"
#include "tests/platform/dialog/dialog_desktop.hpp"
#include "tests/platform/dialog/dialog_test_template.hpp"

namespace dialog_test {
namespace {

using dialog_desktop::User;

class DialogWindow : public dialog_desktop::DesktopDialogTest {
 protected:
  void SetUp() override {
    DesktopDialogTest::SetUp();
    ResetLog();
  }
  INT_PTR Run() {
    return DialogBoxIndirectParamA(nullptr, &kTemplate, nullptr, LoggingProcedure, 0);
  }
  // Client pixels of the middle of a control, as the driver lays it out.
  static std::pair<int, int> Centre(int id) {
    DialogSession session(kTemplate, LoggingProcedure, 0);
    const PixelRect rect = session.layout().items[session.IndexOf(id)];
    return {rect.x + rect.width / 2, rect.y + rect.height / 2};
  }
};

TEST_F(DialogWindow, MouseActsOnReleaseOverTheButtonOnly) {
  const auto [cancelX, cancelY] = Centre(IDCANCEL);
  const auto [alphaX, alphaY] = Centre(kAlpha);
  const auto [okX, okY] = Centre(IDOK);
  User user(server_, "Test dialog", [&, this] {
    // Press on Cancel, slide off, let go: nothing.
    server_.Xdotool("search --onlyvisible --name '^Test dialog$' mousemove --window %1 " +
                    std::to_string(cancelX) + " " + std::to_string(cancelY) +
                    " mousedown 1 mousemove_relative -- 0 40 mouseup 1");
    dialog_desktop::ClickAt(server_, "Test dialog", alphaX, alphaY);
    dialog_desktop::ClickAt(server_, "Test dialog", okX, okY);
  });
  EXPECT_EQ(Run(), IDOK * 10);
  user.Finish();
  EXPECT_EQ(Log().commandIds(), (std::vector<int>{kAlpha, IDOK}));
}

}  // namespace
}  // namespace dialog_test
