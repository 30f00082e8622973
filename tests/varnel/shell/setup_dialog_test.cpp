// The setup dialog's procedure on the fake dialog driver: what it shows,
// what it stores, and the template's groups and tab order as the keyboard
// meets them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "platform/dialog/dialog_session.hpp"
#include "tests/support/scratch_dir.hpp"
#include "varnel/resources/setup_dialog_template.hpp"
#include "varnel/shell/settings.hpp"

using namespace varnel;

namespace {

using namespace platform::dialog;
using namespace setup_dialog;

const DialogInput kTab = DialogInput::Press(DialogKey::Tab);
const DialogInput kDown = DialogInput::Press(DialogKey::Down);
const DialogInput kUp = DialogInput::Press(DialogKey::Up);
const DialogInput kEnter = DialogInput::Press(DialogKey::Enter);
const DialogInput kEscape = DialogInput::Press(DialogKey::Escape);

class SetupDialog : public testing_support::ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    SetDefaultSettings();
    FakeDialogs().Reset();
  }
  static SetupDialogResult Run(std::vector<DialogInput> script) {
    FakeDialogs().script = std::move(script);
    return RunSetupDialog();
  }
  static const std::vector<int>& CheckedAtStart() { return FakeDialogs().trail.front().checkedIds; }
  static std::vector<int> FocusTrail() {
    std::vector<int> ids;
    for (const auto& snapshot : FakeDialogs().trail) ids.push_back(snapshot.focusId);
    return ids;
  }
  static Settings Defaults() {
    const Settings saved = settings;
    SetDefaultSettings();
    const Settings defaults = settings;
    settings = saved;
    return defaults;
  }
};

bool SameRecord(const Settings& a, const Settings& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST_F(SetupDialog, FreshStartShowsTheDefaultsAndOkKeepsThem) {
  const SetupDialogResult result = Run({DialogInput::Click(kOk)});
  EXPECT_TRUE(result.accepted);
  EXPECT_FALSE(result.saveRequested);
  EXPECT_EQ(FakeDialogs().caption, "Varnel#3");
  EXPECT_EQ(CheckedAtStart(), (std::vector<int>{kWaitForVsync, kUseMsxPlayer, kTune1, kCrossFade,
                                                kMaxPerformance, kUseBltFast, kSpeed16, kBass,
                                                kDSound, kPlasmaLike, kUseScroll, kCursorHide}));
  EXPECT_EQ(FakeDialogs().trail.front().focusId, 0);  // the procedure returns 0
  EXPECT_TRUE(SameRecord(settings, Defaults()));
}

TEST_F(SetupDialog, SaveSetupThenCancelReportsBothAndKeepsTheChoicesShown) {
  const SetupDialogResult result =
      Run({DialogInput::Click(kUseMmx), DialogInput::Click(kSaveSetup), DialogInput::Click(kTune3),
           DialogInput::Click(kA3d), DialogInput::Click(kCancel)});
  EXPECT_FALSE(result.accepted);
  EXPECT_TRUE(result.saveRequested);
  Settings expected = Defaults();
  expected.useMmx = 1;
  expected.startingTune = kTune3;  // chosen after "Save Setup": still in the record
  expected.fmodOut = kA3d;
  EXPECT_TRUE(SameRecord(settings, expected));
  EXPECT_FALSE(testing_support::FileExists(kSettingsFile));  // the caller writes it
}

TEST_F(SetupDialog, WithoutUseScrollOkAndCancelClearBothScrollMethods) {
  for (int ender : {kOk, kCancel}) {
    SetDefaultSettings();
    const SetupDialogResult result =
        Run({DialogInput::Click(kUseScroll), DialogInput::Click(kSoftScroll),
             DialogInput::Click(ender)});
    EXPECT_EQ(result.accepted, ender == kOk);
    EXPECT_EQ(settings.useScroll, 0) << ender;
    EXPECT_EQ(settings.softScroll, 0) << ender;
    EXPECT_EQ(settings.plasmaLike, 0) << ender;
  }
  // With it, the method shown is stored.
  SetDefaultSettings();
  Run({DialogInput::Click(kSoftScroll), DialogInput::Click(kOk)});
  EXPECT_EQ(settings.softScroll, 1);
  EXPECT_EQ(settings.plasmaLike, 0);
}

TEST_F(SetupDialog, CloseBoxExitsWithZeroAndSavesNothing) {
  FakeDialogs().script = {DialogInput::Click(kUseMmx), DialogInput::Click(kSaveSetup),
                          DialogInput::CloseBox()};
  EXPECT_EXIT(
      {
        RunSetupDialog();
        std::exit(3);  // not reached
      },
      testing::ExitedWithCode(0), "");
  EXPECT_FALSE(testing_support::FileExists(kSettingsFile));
}

TEST_F(SetupDialog, UnrecognisedSpeedChecksNoSpeedButtonAndStays) {
  settings.softScrollSpeed = 12;
  Run({DialogInput::Click(kUseMmx), DialogInput::Click(kOk)});
  for (int id : {kSpeed4, kSpeed8, kSpeed16, kSpeed32}) {
    EXPECT_EQ(std::count(CheckedAtStart().begin(), CheckedAtStart().end(), id), 0) << id;
  }
  EXPECT_EQ(settings.softScrollSpeed, 12);
  EXPECT_EQ(settings.useMmx, 1);
}

TEST_F(SetupDialog, StrayValuesInTheFileTickNoOtherControl) {
  // Choice fields holding ids of check boxes or push buttons, and flags that
  // are neither 0 nor 1.
  settings.waitForVsync = 0;
  settings.useMmx = 0;
  settings.useBltFast = 0;
  settings.crossFade = 2;
  settings.startingTune = kWaitForVsync;
  settings.fmodOut = kUseMmx;
  settings.soundQuality = kUseBltFast;
  settings.player = kOk;
  Run({DialogInput::Click(kOk)});
  EXPECT_EQ(CheckedAtStart(),
            (std::vector<int>{kUseMsxPlayer, kSpeed16, kPlasmaLike, kUseScroll, kCursorHide}));
  EXPECT_EQ(settings.waitForVsync, 0);
  EXPECT_EQ(settings.useMmx, 0);
  EXPECT_EQ(settings.useBltFast, 0);
  EXPECT_EQ(settings.crossFade, 0);  // shown unchecked, so stored as 0
  EXPECT_EQ(settings.startingTune, kWaitForVsync);
  EXPECT_EQ(settings.fmodOut, kUseMmx);
  EXPECT_EQ(settings.soundQuality, kUseBltFast);
  EXPECT_EQ(settings.player, kOk);
}

INT_PTR Quiet(HWND, UINT, WPARAM, LPARAM) { return 0; }

TEST_F(SetupDialog, RadioGroupsAreTheRunsBetweenGroupMarks) {
  DialogSession session(kTemplate, Quiet, 0);
  const auto groupOf = [&session](int id) {
    std::vector<int> ids;
    for (int index : session.RadioGroupOf(session.IndexOf(id)))
      ids.push_back(session.item(index).id);
    return ids;
  };
  const std::vector<std::vector<int>> groups = {{kTune1, kTune2, kTune3},
                                                {kMaxPerformance, kMaxSpeed},
                                                {kSpeed4, kSpeed8, kSpeed16, kSpeed32},
                                                {kFmod, kBass},
                                                {kWinMm, kDSound, kA3d},
                                                {kSoftScroll, kPlasmaLike}};
  for (const auto& group : groups) {
    for (int id : group) EXPECT_EQ(groupOf(id), group) << id;
  }
}

TEST_F(SetupDialog, ChoosingARadioButtonClearsOnlyItsOwnGroup) {
  Run({DialogInput::Click(kTune3), DialogInput::Click(kMaxSpeed), DialogInput::Click(kWinMm),
       DialogInput::Click(kOk)});
  EXPECT_EQ(
      FakeDialogs().trail.back().checkedIds,
      (std::vector<int>{kWaitForVsync, kUseMsxPlayer, kTune3, kCrossFade, kMaxSpeed, kUseBltFast,
                        kSpeed16, kBass, kWinMm, kPlasmaLike, kUseScroll, kCursorHide}));
  EXPECT_EQ(settings.startingTune, kTune3);
  EXPECT_EQ(settings.soundQuality, kMaxSpeed);
  EXPECT_EQ(settings.fmodOut, kWinMm);
  EXPECT_EQ(settings.crossFade, 1);
}

TEST_F(SetupDialog, TabVisitsEachStopOnceWithRadioGroupsAtTheirCheckedButton) {
  std::vector<DialogInput> script(17, kTab);
  script.push_back(kEscape);
  const SetupDialogResult result = Run(script);
  EXPECT_FALSE(result.accepted);
  std::vector<int> trail = FocusTrail();
  trail.pop_back();  // after Esc
  EXPECT_EQ(trail,
            (std::vector<int>{0, kWaitForVsync, kUseMsxPlayer, kOk, kCancel, kUseMmx, kTune1,
                              kCrossFade, kSaveSetup, kMaxPerformance, kUseBltFast, kSpeed16, kBass,
                              kDSound, kPlasmaLike, kUseScroll, kCursorHide, kWaitForVsync}));
}

TEST_F(SetupDialog, ArrowsStayInTheTuneGroupWhichCrossFadeCloses) {
  Run({DialogInput::Click(kTune3), kDown, kDown, kUp, kUp, kEnter});
  EXPECT_EQ(FocusTrail(), (std::vector<int>{0, kTune3, kTune1, kTune2, kTune1, kTune3, kTune3}));
  EXPECT_EQ(settings.startingTune, kTune3);
  EXPECT_EQ(settings.crossFade, 1);
}

TEST_F(SetupDialog, ArrowsInTheSpeedGroupChooseTheStep) {
  std::vector<DialogInput> script(11, kTab);  // to the checked "16"
  script.insert(script.end(), {kDown, kDown, kEnter});
  EXPECT_TRUE(Run(script).accepted);
  EXPECT_EQ(FakeDialogs().trail[11].focusId, kSpeed16);
  EXPECT_EQ(settings.softScrollSpeed, 4);  // 16, 32, then round to 4
}

TEST_F(SetupDialog, ArrowsFromSoundQualityReachCrossFadeAndSaveSetupWithoutPressingThem) {
  // The quality buttons share the run that CrossFade's group mark starts.
  const SetupDialogResult result =
      Run({DialogInput::Click(kMaxPerformance), kUp, kUp, kUp, kEnter});
  EXPECT_EQ(FocusTrail(),
            (std::vector<int>{0, kMaxPerformance, kSaveSetup, kCrossFade, kMaxSpeed, kMaxSpeed}));
  EXPECT_TRUE(result.accepted);  // Enter on a radio button is OK
  EXPECT_FALSE(result.saveRequested);
  EXPECT_EQ(settings.crossFade, 1);
  EXPECT_EQ(settings.soundQuality, kMaxSpeed);
}

}  // namespace
