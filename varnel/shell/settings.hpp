// The reader's settings: 14 signed 32-bit fields, stored raw in
// "varnel.cfg" (56 bytes, little endian, no header). Flags are 0 or 1;
// choice fields hold the dialog control id of the chosen radio button.
#pragma once

#include <cstdint>

#include "varnel/sound/music_player.hpp"

namespace varnel {

struct Settings {
  int32_t waitForVsync;     // 200
  int32_t useMmx;           // 202: the SIMD path of the 5-6-5 conversion
  int32_t useBltFast;       // 210: frames go through a staging surface
  int32_t useMsxPlayer;     // 201: music on
  int32_t crossFade;        // 206
  int32_t softScroll;       // 211
  int32_t plasmaLike;       // 555
  int32_t useScroll;        // 666
  int32_t cursorHide;       // 969
  int32_t startingTune;     // 203, 204, 205
  int32_t soundQuality;     // 208, 209
  int32_t softScrollSpeed;  // 4, 8, 16, 32 (from 212-215)
  int32_t player;           // 216 Fmod-style, 217 Bass-style
  int32_t fmodOut;          // 218, 219, 220
};
static_assert(sizeof(Settings) == 56, "the settings file is the raw record");

extern Settings settings;

constexpr const char* kSettingsFile = "varnel.cfg";

// Defaults, then the file when it holds a whole record.
void LoadSettings();
// Writes the 56 bytes; a file that cannot be written is skipped silently.
void SaveSettings();
// The defaults: everything 0, then the documented values.
void SetDefaultSettings();

// The sound back-ends' set-up for the current settings: high quality only
// for "Max. Performance", the FMOD output by its button (A3D for any other).
SoundConfig SoundConfigOfSettings();

// Runs the setup dialog "DIALOG_1" modally. Returns when OK or Cancel ended
// it; closing it with the caption's close box exits the process with 0.
struct SetupDialogResult {
  bool accepted;       // OK was pressed
  bool saveRequested;  // "Save Setup" was pressed at least once
};
SetupDialogResult RunSetupDialog();

}  // namespace varnel
