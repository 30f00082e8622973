// The setup dialog's procedure: shows `settings` in the controls, copies the
// controls back on every command, and ends on OK or Cancel.
#include <cstdlib>

#include "platform/dialog/dialog.hpp"
#include "varnel/resources/setup_dialog_template.hpp"
#include "varnel/shell/settings.hpp"

namespace varnel {

namespace {

using namespace platform::dialog;
using namespace setup_dialog;

bool dialogAccepted = false;
bool saveRequested = false;

// The radio buttons of one choice field and the value each one stands for.
struct Choice {
  int id;
  int32_t value;
};

constexpr Choice kTuneChoices[] = {{kTune1, kTune1}, {kTune2, kTune2}, {kTune3, kTune3}};
constexpr Choice kQualityChoices[] = {{kMaxPerformance, kMaxPerformance}, {kMaxSpeed, kMaxSpeed}};
constexpr Choice kPlayerChoices[] = {{kFmod, kFmod}, {kBass, kBass}};
constexpr Choice kSpeedChoices[] = {{kSpeed4, 4}, {kSpeed8, 8}, {kSpeed16, 16}, {kSpeed32, 32}};
constexpr Choice kFmodOutChoices[] = {{kWinMm, kWinMm}, {kDSound, kDSound}, {kA3d, kA3d}};

template <size_t N>
void ShowChoice(HWND dialog, const Choice (&choices)[N], int32_t value) {
  // A value that is none of the field's own buttons checks nothing (a stray
  // id from the file must not tick some other control).
  for (const Choice& choice : choices) {
    if (choice.value == value) CheckDlgButton(dialog, choice.id, BST_CHECKED);
  }
}

template <size_t N>
void ReadChoice(HWND dialog, const Choice (&choices)[N], int32_t* value) {
  for (const Choice& choice : choices) {
    if (IsDlgButtonChecked(dialog, choice.id) == BST_CHECKED) *value = choice.value;
  }
}

void ShowFlag(HWND dialog, int id, int32_t flag) {
  if (flag == 1) CheckDlgButton(dialog, id, BST_CHECKED);
}

int32_t ReadFlag(HWND dialog, int id) {
  return IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0;
}

void ShowSettings(HWND dialog) {
  ShowFlag(dialog, kWaitForVsync, settings.waitForVsync);
  ShowFlag(dialog, kCursorHide, settings.cursorHide);
  ShowFlag(dialog, kUseMmx, settings.useMmx);
  ShowFlag(dialog, kUseBltFast, settings.useBltFast);
  ShowFlag(dialog, kUseMsxPlayer, settings.useMsxPlayer);
  ShowFlag(dialog, kCrossFade, settings.crossFade);
  ShowFlag(dialog, kSoftScroll, settings.softScroll);
  ShowFlag(dialog, kPlasmaLike, settings.plasmaLike);
  ShowFlag(dialog, kUseScroll, settings.useScroll);
  ShowChoice(dialog, kTuneChoices, settings.startingTune);
  ShowChoice(dialog, kQualityChoices, settings.soundQuality);
  ShowChoice(dialog, kPlayerChoices, settings.player);
  ShowChoice(dialog, kSpeedChoices, settings.softScrollSpeed);
  ShowChoice(dialog, kFmodOutChoices, settings.fmodOut);
}

void ReadControls(HWND dialog) {
  ReadChoice(dialog, kQualityChoices, &settings.soundQuality);
  settings.waitForVsync = ReadFlag(dialog, kWaitForVsync);
  settings.cursorHide = ReadFlag(dialog, kCursorHide);
  settings.useMmx = ReadFlag(dialog, kUseMmx);
  settings.useScroll = ReadFlag(dialog, kUseScroll);
  settings.useBltFast = ReadFlag(dialog, kUseBltFast);
  settings.useMsxPlayer = ReadFlag(dialog, kUseMsxPlayer);
  settings.crossFade = ReadFlag(dialog, kCrossFade);
  settings.softScroll = ReadFlag(dialog, kSoftScroll);
  settings.plasmaLike = ReadFlag(dialog, kPlasmaLike);
  ReadChoice(dialog, kTuneChoices, &settings.startingTune);
  ReadChoice(dialog, kPlayerChoices, &settings.player);
  ReadChoice(dialog, kSpeedChoices, &settings.softScrollSpeed);
  ReadChoice(dialog, kFmodOutChoices, &settings.fmodOut);
}

// Without animated scrolling there is no scroll method either.
void ApplyScrollRule() {
  if (settings.useScroll == 0) {
    settings.softScroll = 0;
    settings.plasmaLike = 0;
  }
}

INT_PTR SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      ShowSettings(dialog);
      return 0;
    case WM_COMMAND:
      ReadControls(dialog);
      switch (LOWORD(wParam)) {
        case kOk:
          ApplyScrollRule();
          dialogAccepted = true;
          EndDialog(dialog, kOk);
          break;
        case kCancel:
          ApplyScrollRule();
          dialogAccepted = false;
          EndDialog(dialog, kCancel);
          break;
        case kSaveSetup:
          saveRequested = true;
          break;
        default:
          break;
      }
      return 0;
    case WM_CLOSE:
      // The close box leaves the program at once; nothing is saved.
      std::exit(0);
    default:
      return 0;
  }
}

}  // namespace

SetupDialogResult RunSetupDialog() {
  dialogAccepted = false;
  saveRequested = false;
  DialogBoxIndirectParamA(nullptr, &kTemplate, nullptr, SetupDialogProc, 0);
  return {dialogAccepted, saveRequested};
}

}  // namespace varnel
