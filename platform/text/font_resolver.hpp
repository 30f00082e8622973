// Face names to font files, through fontconfig. The magazine's face names
// (Arial, Times New Roman, Courier New, Verdana ...) reach their
// metric-compatible free faces by fontconfig's own aliases; an unknown name
// falls back to fontconfig's default sans face.
#pragma once

#include <optional>
#include <string>

namespace platform {

struct ResolvedFace {
  std::string file;
  int index;
  std::string family;
  bool needsEmbolden;  // bold asked for, the file is lighter
  bool needsSlant;     // italic asked for, the file is upright
};

// `face` empty: the OEM character set gets a bold-capable monospace face
// (the text-mode look), the others the default sans face.
std::optional<ResolvedFace> ResolveFace(const std::string& face, int weight, bool italic,
                                        bool oemCharSet);

}  // namespace platform
