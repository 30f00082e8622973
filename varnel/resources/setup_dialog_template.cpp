#include "varnel/resources/setup_dialog_template.hpp"

namespace varnel {

namespace setup_dialog {

const char* const kTuneCaptions[3] = {
    "Msx0.xm - Lantern Harbour",
    "Msx1.xm - Quiet Orbit",
    "Msx2.xm - Copper Rain Run",
};

namespace {

using platform::dialog::ControlKind;
using platform::dialog::DialogItemTemplate;
using platform::dialog::WS_GROUP;
using platform::dialog::WS_TABSTOP;

constexpr ControlKind kCheck = ControlKind::CheckBox;
constexpr ControlKind kRadio = ControlKind::RadioButton;
constexpr ControlKind kButton = ControlKind::PushButton;
constexpr ControlKind kFrame = ControlKind::GroupBox;
constexpr ControlKind kLabel = ControlKind::StaticText;
constexpr platform::DWORD kTab = WS_TABSTOP;
constexpr platform::DWORD kGroupTab = WS_GROUP | WS_TABSTOP;

// Template order is the tab order.
const DialogItemTemplate kItems[] = {
    {kWaitForVsync, kCheck, "Wait for Vsync", {5, 20, 65, 10}, kTab},
    {kUseMsxPlayer, kCheck, "Use MSX player", {5, 35, 63, 10}, kTab},
    {kOk, kButton, "OK", {5, 125, 55, 20}, kTab},
    {kCancel, kButton, "Cancel", {5, 155, 55, 20}, kTab},
    {kSetupLabel, kLabel, "Setup", {5, 5, 37, 8}, 0},
    {kUseMmx, kCheck, "Use MMX", {5, 50, 63, 10}, kTab},
    {kTune1, kRadio, kTuneCaptions[0], {75, 15, 127, 10}, kGroupTab},
    {kTune2, kRadio, kTuneCaptions[1], {75, 31, 129, 10}, kTab},
    {kTune3, kRadio, kTuneCaptions[2], {75, 45, 130, 10}, kTab},
    {kSetupLabel, kFrame, "Starting Tune:", {70, 5, 138, 60}, 0},
    {kCrossFade, kCheck, "CrossFade", {5, 65, 60, 10}, kGroupTab},
    {kSaveSetup, kButton, "Save Setup", {5, 185, 55, 19}, kTab},
    {kMaxPerformance, kRadio, "MAX Performance", {75, 80, 73, 10}, kTab},
    {kMaxSpeed, kRadio, "MAX Speed", {75, 95, 65, 10}, kTab},
    {kSoundQualityFrame, kFrame, "Sound Quality", {70, 68, 80, 45}, WS_GROUP},
    {kUseBltFast, kCheck, "Use BltFast", {5, 80, 62, 10}, kTab},
    {kScrollSpeedFrame, kFrame, "SoftScroll Speed", {70, 120, 80, 70}, WS_GROUP},
    {kSpeed4, kRadio, "4 (smothest)", {75, 130, 55, 10}, kTab},
    {kSpeed8, kRadio, "8", {75, 145, 40, 10}, kTab},
    {kSpeed16, kRadio, "16", {75, 160, 40, 10}, kTab},
    {kSpeed32, kRadio, "32 (fastest)", {75, 175, 50, 10}, kTab},
    {kPlayerFrame, kFrame, "Player", {155, 68, 53, 45}, WS_GROUP},
    {kFmod, kRadio, "Fmod", {160, 80, 40, 10}, kTab},
    {kBass, kRadio, "Bass", {160, 95, 40, 10}, kTab},
    {kFmodOutFrame, kFrame, "Fmod OUT", {155, 120, 53, 70}, WS_GROUP},
    {kWinMm, kRadio, "WinMM", {160, 130, 40, 10}, kTab},
    {kDSound, kRadio, "DSound", {160, 145, 40, 10}, kTab},
    {kA3d, kRadio, "A3D", {160, 160, 40, 10}, kTab},
    {kFmodOutFrame, kFrame, "Scroll Method", {70, 193, 139, 25}, 0},
    {kSoftScroll, kRadio, "SoftScroll", {80, 205, 53, 10}, WS_GROUP},
    {kPlasmaLike, kRadio, "PlasmaLike", {150, 205, 55, 10}, 0},
    {kUseScroll, kCheck, "Use Scroll", {5, 95, 60, 10}, kTab},
    {kCursorHide, kCheck, "Cursor hide", {5, 110, 60, 10}, kTab},
};

}  // namespace

const platform::dialog::DialogTemplate kTemplate{
    "DIALOG_1",
    platform::dialog::WS_VISIBLE | platform::dialog::WS_CAPTION | platform::dialog::WS_SYSMENU |
        platform::dialog::DS_MODALFRAME | platform::dialog::DS_SETFONT,
    {41, 42, 213, 223},
    "Varnel#3",
    "Helv",
    8,
    kItems,
};

}  // namespace setup_dialog

}  // namespace varnel
