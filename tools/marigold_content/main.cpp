// marigold-content: writes the sample demo's scenes, objects and pictures.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/marigold_content/content.hpp"

namespace {

constexpr const char* kUsage = "usage: marigold-content -o FOLDER [--list]\n";

}  // namespace

int main(int argc, char** argv) {
  std::string folder;
  bool list = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc) {
      folder = argv[++i];
    } else if (std::strcmp(argv[i], "--list") == 0) {
      list = true;
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  if (folder.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::vector<std::string> written;
  std::string error;
  if (!demotools::WriteDemoContent(folder, &written, &error)) {
    std::fprintf(stderr, "marigold-content: %s\n", error.c_str());
    return 1;
  }
  if (list)
    for (const std::string& name : written) std::printf("%s\n", name.c_str());
  return 0;
}
