#include "tools/chiptune/module_writer.hpp"

#include <cctype>
#include <string>

namespace chiptune {

std::optional<ModuleFormat> FormatFromName(std::string_view name) {
  std::string lower;
  for (char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower == "xm") return ModuleFormat::Xm;
  if (lower == "mod") return ModuleFormat::Mod;
  if (lower == "s3m") return ModuleFormat::S3m;
  if (lower == "it") return ModuleFormat::It;
  return std::nullopt;
}

std::optional<ModuleFormat> FormatFromPath(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
    return std::nullopt;
  return FormatFromName(path.substr(dot + 1));
}

const char* FormatName(ModuleFormat format) {
  switch (format) {
    case ModuleFormat::Xm:
      return "xm";
    case ModuleFormat::Mod:
      return "mod";
    case ModuleFormat::S3m:
      return "s3m";
    case ModuleFormat::It:
      return "it";
  }
  return "";
}

std::vector<uint8_t> WriteModule(const Song& song, ModuleFormat format) {
  switch (format) {
    case ModuleFormat::Xm:
      return WriteXm(song);
    case ModuleFormat::Mod:
      return WriteMod(song);
    case ModuleFormat::S3m:
      return WriteS3m(song);
    case ModuleFormat::It:
      return WriteIt(song);
  }
  return {};
}

}  // namespace chiptune
