#include "varnel/shell/settings.hpp"

#include <cstdio>
#include <cstring>

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
  settings.startingTune = 203;
  settings.soundQuality = 208;
  settings.softScrollSpeed = 16;
  settings.player = 217;
  settings.fmodOut = 219;
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
