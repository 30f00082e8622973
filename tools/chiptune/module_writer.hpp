// Writes a song as a tracker module. Output depends only on the song:
// the same song gives the same bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "tools/chiptune/song.hpp"

namespace chiptune {

enum class ModuleFormat { Xm, Mod, S3m, It };

// "xm", "mod", "s3m", "it" (any letter case).
std::optional<ModuleFormat> FormatFromName(std::string_view name);
// By the file name's extension.
std::optional<ModuleFormat> FormatFromPath(std::string_view path);
const char* FormatName(ModuleFormat format);

// Each throws FormatError when the song does not fit the format.
std::vector<uint8_t> WriteXm(const Song& song);   // FastTracker 2 extended module, 16-bit samples
std::vector<uint8_t> WriteMod(const Song& song);  // 4-channel "M.K." module, 8-bit samples
std::vector<uint8_t> WriteS3m(const Song& song);  // Scream Tracker 3 module, 8-bit samples
std::vector<uint8_t> WriteIt(const Song& song);   // Impulse Tracker, sample mode, 16-bit samples
std::vector<uint8_t> WriteModule(const Song& song, ModuleFormat format);

}  // namespace chiptune
