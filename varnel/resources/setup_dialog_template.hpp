// The setup dialog "DIALOG_1": its controls' ids and the template.
#pragma once

#include "platform/dialog/dialog_template.hpp"

namespace varnel {

namespace setup_dialog {

// Control ids. The settings' choice fields store the id of the chosen radio
// button, so these values are also the values of "varnel.cfg".
enum ControlId : int {
  kOk = 1,
  kCancel = 2,
  kFmodOutFrame = 100,
  kScrollSpeedFrame = 101,
  kSetupLabel = 104,  // also the "Starting Tune:" frame
  kPlayerFrame = 106,
  kSoundQualityFrame = 109,
  kWaitForVsync = 200,
  kUseMsxPlayer = 201,
  kUseMmx = 202,
  kTune1 = 203,
  kTune2 = 204,
  kTune3 = 205,
  kCrossFade = 206,
  kSaveSetup = 207,
  kMaxPerformance = 208,
  kMaxSpeed = 209,
  kUseBltFast = 210,
  kSoftScroll = 211,
  kSpeed4 = 212,
  kSpeed8 = 213,
  kSpeed16 = 214,
  kSpeed32 = 215,
  kFmod = 216,
  kBass = 217,
  kWinMm = 218,
  kDSound = 219,
  kA3d = 220,
  kPlasmaLike = 555,
  kUseScroll = 666,
  kCursorHide = 969,
};

// The captions of the three tune buttons, naming the tunes.
extern const char* const kTuneCaptions[3];

extern const platform::dialog::DialogTemplate kTemplate;

}  // namespace setup_dialog

}  // namespace varnel
