// The list of article pictures to paint: one line per picture,
//   PATH WIDTHxHEIGHT DESCRIPTION
// Blank lines and lines starting with '#' are skipped. The extension (.gif,
// .png or .jpg) decides the format.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varnel_art {

enum class PictureFormat { Gif, Png, Jpeg };

struct ManifestEntry {
  std::string path;  // as the articles name it, for example "PICS/floppy.png"
  int width = 0, height = 0;
  std::string description;
  PictureFormat format = PictureFormat::Png;
  int line = 0;
};

// `source` names the text in error messages ("pictures.txt:4: ...").
bool ParseManifest(std::string_view text, const std::string& source,
                   std::vector<ManifestEntry>* entries, std::string* error);
bool ReadManifest(const std::string& path, std::vector<ManifestEntry>* entries, std::string* error);

// Hover pictures: named like "icon_h.gif" or with "hover" in the name, or
// described as a highlighted or hover variant.
bool IsHoverEntry(const ManifestEntry& entry);
// The picture a hover variant belongs to: the one its description names
// ("variant of icon.gif"), else the one named without "_h"; null if none.
const ManifestEntry* FindHoverBase(const ManifestEntry& hover,
                                   const std::vector<ManifestEntry>& entries);

}  // namespace varnel_art
