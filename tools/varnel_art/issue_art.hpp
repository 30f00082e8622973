// Paints every picture of an issue into a folder laid out as the archive
// expects: DATA/ for the reader's own files, the manifest's paths for the
// article pictures.
#pragma once

#include <string>
#include <vector>

#include "tools/varnel_art/panel_art.hpp"

namespace varnel_art {

struct IssueArtOptions {
  std::string outputDir;
  std::string manifest;  // empty: no article pictures
  IssueInfo issue;
};

struct WrittenFile {
  std::string path;  // relative to the output folder
  int width = 0, height = 0;
  std::string what;  // the painter, for the listing
};

bool WriteIssueArt(const IssueArtOptions& options, std::vector<WrittenFile>* written,
                   std::string* error);

}  // namespace varnel_art
