// varnel-art: paints every picture of an issue from code - the reader's own
// files (covers, frames, scroll bar, dissolve map, bitmap font) and the
// article pictures a manifest lists - so that an issue's folder can be made
// from sources alone. The same arguments always give the same bytes.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/common/tool_support.hpp"
#include "tools/varnel_art/issue_art.hpp"

namespace {

constexpr const char* kUsage =
    "usage: varnel-art -o OUTDIR [--manifest FILE] [--title TEXT] [--issue N] [--list]\n"
    "  -o OUTDIR        folder to fill: OUTDIR/DATA/... and the manifest's paths\n"
    "  --manifest FILE  the article pictures, one 'PATH WIDTHxHEIGHT DESCRIPTION' a line\n"
    "                   (default: the sample issue's list; '' for none)\n"
    "  --title TEXT     the magazine's name on the covers and frames (default SALTGLASS)\n"
    "  --issue N        the issue number, 0 to 999 (default 3)\n"
    "  --list           print each file written, its size and what painted it\n";

struct Options {
  varnel_art::IssueArtOptions art;
  bool list = false;
};

Options ParseOptions(int argc, char** argv) {
  Options parsed;
  varnel_art::IssueArtOptions& options = parsed.art;
  options.manifest = VARNEL_ART_DEFAULT_MANIFEST;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "-o" && hasValue) {
      options.outputDir = argv[++i];
    } else if (arg == "--manifest" && hasValue) {
      options.manifest = argv[++i];
    } else if (arg == "--title" && hasValue) {
      options.issue.title = argv[++i];
      if (options.issue.title.empty() || options.issue.title.size() > 24)
        tools::Fail("the title must be 1 to 24 characters");
      for (const char c : options.issue.title)
        if (c < 32 || c > 126) tools::Fail("the title must be printable ASCII");
    } else if (arg == "--issue" && hasValue) {
      const std::string value = argv[++i];
      char* end = nullptr;
      const long number = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || number < 0 || number > 999)
        tools::Fail("the issue must be 0 to 999: " + value);
      options.issue.number = static_cast<int>(number);
    } else if (arg == "--list") {
      parsed.list = true;
    } else {
      tools::UsageError(kUsage);
    }
  }
  if (options.outputDir.empty()) tools::UsageError(kUsage);
  return parsed;
}

}  // namespace

int main(int argc, char** argv) {
  tools::StartTool("varnel-art");
  Options parsed = ParseOptions(argc, argv);
  varnel_art::IssueArtOptions& options = parsed.art;
  options.outputDir = tools::AbsolutePath(options.outputDir);
  options.manifest = tools::AbsolutePath(options.manifest);
  std::vector<varnel_art::WrittenFile> written;
  std::string error;
  if (!varnel_art::WriteIssueArt(options, &written, &error)) tools::Fail(error);
  if (!parsed.list) return 0;
  for (const varnel_art::WrittenFile& file : written) {
    if (file.width > 0)
      std::printf("%-24s %4dx%-4d %s\n", file.path.c_str(), file.width, file.height,
                  file.what.c_str());
    else
      std::printf("%-24s %9s %s\n", file.path.c_str(), "", file.what.c_str());
  }
  return 0;
}
