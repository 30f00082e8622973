#include "varnel/shell/settings.hpp"

#include <cstdio>
#include <cstring>

#include "varnel/resources/setup_dialog_template.hpp"

namespace varnel {

Settings settings;

void SetDefaultSettings() {
  std::memset(&settings, 0, sizeof settings);
  settings.waitForVsync = 1;
  settings.useMmx = 0;
  settings.useBltFast = 1;
  settings.useMsxPlayer = 1;
  settings.crossFade = 1;
  settings.softScroll = 0;
  settings.plasmaLike = 1;
  settings.useScroll = 1;
  settings.cursorHide = 1;
  settings.startingTune = setup_dialog::kTune1;
  settings.soundQuality = setup_dialog::kMaxPerformance;
  settings.softScrollSpeed = 16;
  settings.player = setup_dialog::kBass;
  settings.fmodOut = setup_dialog::kDSound;
}

SoundConfig SoundConfigOfSettings() {
  SoundConfig config;
  config.highQuality = settings.soundQuality == setup_dialog::kMaxPerformance;
  if (settings.fmodOut == setup_dialog::kWinMm) {
    config.fmodOutput = FmodOutput::WinMm;
  } else if (settings.fmodOut == setup_dialog::kDSound) {
    config.fmodOutput = FmodOutput::DirectSound;
  } else {
    config.fmodOutput = FmodOutput::A3d;
  }
  return config;
}

void LoadSettings() {
  SetDefaultSettings();
  std::FILE* file = std::fopen(kSettingsFile, "rb");
  if (!file) return;
  // Only a whole record replaces the defaults; its values are taken as they are.
  Settings record;
  if (std::fread(&record, sizeof record, 1, file) == 1) settings = record;
  std::fclose(file);
}

void SaveSettings() {
  std::FILE* file = std::fopen(kSettingsFile, "wb");
  if (!file) return;
  std::fwrite(&settings, sizeof settings, 1, file);
  std::fclose(file);
}

}  // namespace varnel
