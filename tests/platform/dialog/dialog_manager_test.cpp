// The dialog manager's protocol and keyboard and mouse habits, on the fake
// driver (no window).
#include <utility>

#include "platform/dialog/dialog_session.hpp"
#include "tests/platform/dialog/dialog_test_template.hpp"

namespace dialog_test {
namespace {

using Kind = DialogInput::Kind;

class DialogManager : public testing::Test {
 protected:
  void SetUp() override { ResetLog(); }
  static const FakeDialogService::Snapshot& Last() { return FakeDialogs().trail.back(); }
  // Focus after each input of the script (the first entry is after WM_INITDIALOG).
  static std::vector<int> FocusTrail() {
    std::vector<int> ids;
    for (const auto& snapshot : FakeDialogs().trail) ids.push_back(snapshot.focusId);
    return ids;
  }
  static std::pair<int, int> Centre(int id) {
    DialogSession session(kTemplate, LoggingProcedure, 0);
    const PixelRect rect = session.layout().items[session.IndexOf(id)];
    return {rect.x + rect.width / 2, rect.y + rect.height / 2};
  }
};

const DialogInput kTab = DialogInput::Press(DialogKey::Tab);
const DialogInput kBackTab = DialogInput::Press(DialogKey::Tab, true);
const DialogInput kDown = DialogInput::Press(DialogKey::Down);
const DialogInput kUp = DialogInput::Press(DialogKey::Up);
const DialogInput kSpace = DialogInput::Press(DialogKey::Space);
const DialogInput kEnter = DialogInput::Press(DialogKey::Enter);
const DialogInput kEscape = DialogInput::Press(DialogKey::Escape);

TEST_F(DialogManager, RunsInitThenCommandsAndReturnsTheEndDialogValue) {
  EXPECT_EQ(RunScripted({DialogInput::Click(IDOK)}, 1234), IDOK * 10);
  ASSERT_EQ(Log().messages.size(), 2u);
  EXPECT_EQ(Log().messages[0].message, WM_INITDIALOG);
  EXPECT_EQ(Log().messages[0].lParam, 1234);
  EXPECT_EQ(Log().messages[1].message, WM_COMMAND);
  EXPECT_EQ(Log().messages[1].wParam, MAKEWPARAM(IDOK, BN_CLICKED));
  EXPECT_EQ(FakeDialogs().caption, "Test dialog");
  EXPECT_EQ(FakeDialogs().runs, 1);
}

TEST_F(DialogManager, FailsWhenTheDialogNeverEnds) {
  EXPECT_EQ(RunScripted({kTab, kSpace}), -1);
  EXPECT_TRUE(FakeDialogs().scriptRanOut);
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &kTemplate, nullptr, nullptr, 0), -1);
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, nullptr, nullptr, LoggingProcedure, 0), -1);
}

TEST_F(DialogManager, InitResultDecidesTheFirstFocus) {
  RunScripted({kTab});
  EXPECT_EQ(FocusTrail(), (std::vector<int>{0, kAlpha}));  // 0: the procedure kept it
  RunScripted({kBackTab});
  EXPECT_EQ(FocusTrail(), (std::vector<int>{0, IDCANCEL}));
  Log().initResult = 1;
  RunScripted({});
  EXPECT_EQ(FocusTrail(), std::vector<int>{kAlpha});
}

TEST_F(DialogManager, TabWalksTheTabStopsInTemplateOrderAndWraps) {
  RunScripted({kTab, kTab, kTab, kTab, kTab, kTab, kTab});
  // The second "alpha" has no tab stop; the group box and the note take no focus.
  EXPECT_EQ(FocusTrail(),
            (std::vector<int>{0, kAlpha, kRed, kGreen, kBlue, IDOK, IDCANCEL, kAlpha}));
  RunScripted({kBackTab, kBackTab, kBackTab});
  EXPECT_EQ(FocusTrail(), (std::vector<int>{0, IDCANCEL, IDOK, kBlue}));
}

TEST_F(DialogManager, TheCheckedRadioButtonIsItsGroupsOnlyTabStop) {
  Log().checkAtInit = {kGreen};
  RunScripted({kTab, kTab, kTab});
  EXPECT_EQ(FocusTrail(), (std::vector<int>{0, kAlpha, kGreen, IDOK}));
  EXPECT_EQ(Last().tabStopIds, (std::vector<int>{kAlpha, kGreen, IDOK, IDCANCEL}));
  // Clicking another one moves the stop to it.
  RunScripted({DialogInput::Click(kBlue), kBackTab, kTab});
  EXPECT_EQ(FocusTrail(), (std::vector<int>{0, kBlue, kAlpha, kBlue}));
}

TEST_F(DialogManager, ArrowsMoveWithinTheGroupCheckingRadioButtons) {
  Log().checkAtInit = {kAlpha};
  RunScripted({kTab, kDown, kTab, kDown, kDown, kDown, kUp});
  // Alpha is alone in its group (the dialog's first); the radio group wraps
  // round its three buttons and skips the frame between them.
  EXPECT_EQ(FocusTrail(), (std::vector<int>{0, kAlpha, kAlpha, kRed, kGreen, kBlue, kRed, kBlue}));
  EXPECT_EQ(Last().checkedIds, (std::vector<int>{kAlpha, kBlue}));
  EXPECT_EQ(Log().commandIds(), (std::vector<int>{kGreen, kBlue, kRed, kBlue}));
  for (const Message& m : Log().messages) {
    if (m.message == WM_COMMAND) {
      EXPECT_EQ(HIWORD(m.wParam), BN_CLICKED);
    }
  }
}

TEST_F(DialogManager, AButtonActsWhenReleasedOverIt) {
  const auto [alphaX, alphaY] = Centre(kAlpha);
  const auto [okX, okY] = Centre(IDOK);
  RunScripted({
      DialogInput::Mouse(Kind::MouseDown, alphaX, alphaY),
      DialogInput::Mouse(Kind::MouseMove, okX, okY),
      DialogInput::Mouse(Kind::MouseUp, okX, okY),  // let go elsewhere: nothing
      DialogInput::Mouse(Kind::MouseDown, okX, okY),
      DialogInput::Mouse(Kind::MouseUp, alphaX, alphaY),
      DialogInput::Mouse(Kind::MouseDown, alphaX, alphaY),
      DialogInput::Mouse(Kind::MouseUp, alphaX + 1, alphaY),
  });
  EXPECT_EQ(Log().commandIds(), std::vector<int>{kAlpha});
  EXPECT_EQ(Last().checkedIds, std::vector<int>{kAlpha});
  EXPECT_EQ(Last().focusId, kAlpha);  // the press moved the focus each time
  EXPECT_EQ(FocusTrail()[4], IDOK);
}

TEST_F(DialogManager, FramesAndTextTakeNoClicks) {
  Log().initResult = 1;
  RunScripted({DialogInput::Click(kNote), DialogInput::Mouse(Kind::MouseDown, 2, 2),
               DialogInput::Mouse(Kind::MouseUp, 2, 2)});
  EXPECT_TRUE(Log().commandIds().empty());
  EXPECT_EQ(Last().focusId, kAlpha);
}

TEST_F(DialogManager, SpaceClicksTheFocusedButton) {
  Log().endOnOkCancel = false;
  RunScripted({kSpace, kTab, kSpace, kSpace, kTab, kSpace, kTab, kTab, kSpace});
  // Space without a focus does nothing; then Alpha on, off; Red checked (now
  // its group's only stop, so two Tabs reach Cancel); Cancel.
  EXPECT_EQ(Log().commandIds(), (std::vector<int>{kAlpha, kAlpha, kRed, IDCANCEL}));
  EXPECT_EQ(Last().checkedIds, std::vector<int>{kRed});
}

TEST_F(DialogManager, EnterPressesTheFocusedPushButtonElseOk) {
  Log().endOnOkCancel = false;
  Log().initResult = 1;
  RunScripted({kEnter, kBackTab, kEnter, kBackTab, kEnter, kEscape});
  EXPECT_EQ(Log().commandIds(), (std::vector<int>{IDOK, IDCANCEL, IDOK, IDCANCEL}));
}

TEST_F(DialogManager, CloseBoxAsksTheProcedureThenCancels) {
  EXPECT_EQ(RunScripted({DialogInput::CloseBox()}), IDCANCEL * 10);
  ASSERT_EQ(Log().messages.size(), 3u);
  EXPECT_EQ(Log().messages[1].message, WM_CLOSE);
  EXPECT_EQ(Log().messages[2].wParam, MAKEWPARAM(IDCANCEL, BN_CLICKED));
  Log().closeResult = 1;  // handled: no cancel
  EXPECT_EQ(RunScripted({DialogInput::CloseBox()}), -1);
  EXPECT_TRUE(Log().commandIds().empty());
}

// Button calls by id, on live and on other handles.
INT_PTR ButtonCallsProcedure(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return 0;
  int dummy = 0;
  EXPECT_TRUE(CheckDlgButton(dialog, kAlpha, BST_CHECKED));  // the first of two
  EXPECT_EQ(IsDlgButtonChecked(dialog, kAlpha), BST_CHECKED);
  EXPECT_FALSE(CheckDlgButton(dialog, IDOK, BST_CHECKED));  // not a check control
  EXPECT_FALSE(CheckDlgButton(dialog, kNote, BST_CHECKED));
  EXPECT_FALSE(CheckDlgButton(dialog, 999, BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(dialog, IDOK), BST_UNCHECKED);
  EXPECT_FALSE(CheckDlgButton(&dummy, kAlpha, BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(&dummy, kAlpha), BST_UNCHECKED);
  EXPECT_FALSE(EndDialog(&dummy, 5));
  EXPECT_TRUE(CheckDlgButton(dialog, kRed, BST_CHECKED));
  EXPECT_TRUE(CheckDlgButton(dialog, kRed, BST_UNCHECKED));
  EXPECT_TRUE(EndDialog(dialog, 77));
  return 0;
}

TEST_F(DialogManager, ButtonCallsFindControlsByIdAndRefuseOtherHandles) {
  FakeDialogs().Reset();
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &kTemplate, nullptr, ButtonCallsProcedure, 0), 77);
  EXPECT_EQ(FakeDialogs().trail.front().checkedIds, std::vector<int>{kAlpha});
}

}  // namespace
}  // namespace dialog_test
