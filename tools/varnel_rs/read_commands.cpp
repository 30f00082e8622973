// The subcommands that read an archive, all through the reader's own code.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tools/common/tool_support.hpp"
#include "tools/varnel_rs/commands.hpp"
#include "varnel/media/picture.hpp"
#include "varnel/media/resource_archive.hpp"

using namespace varnel;

namespace varnel_rs {
namespace {

namespace fs = std::filesystem;

// Opens the archive as the reader does, from inside a scratch directory so
// the temporary files never land in the caller's directory.
void OpenArchive(const std::string& path) {
  const std::string absolute = tools::AbsolutePath(path);
  tools::EnterScratchDirectory();
  SetResourceArchivePath(absolute.c_str());
  OpenResourceArchive();
}

// An entry's bytes, extracted and deleted again as a reader's loader would.
std::string ExtractToMemory(const char* name) {
  int32_t size = 0;
  uint8_t* bytes = LoadBinaryFile(name, &size);
  std::string data(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size));
  std::free(bytes);
  return data;
}

void WriteOut(const std::string& path, const std::string& data) {
  FILE* out = path.empty() ? stdout : std::fopen(path.c_str(), "wb");
  if (!out) tools::Fail("cannot create " + path);
  const bool written = std::fwrite(data.data(), 1, data.size(), out) == data.size();
  const bool closed = path.empty() ? std::fflush(out) == 0 : std::fclose(out) == 0;
  if (!written || !closed) tools::Fail("cannot write " + (path.empty() ? "standard output" : path));
}

// Where an entry goes when unpacked below `dir`; names that would climb out
// of it (absolute, "..") are refused.
fs::path UnpackTarget(const fs::path& dir, const char* name) {
  std::string relative = name;
  for (char& c : relative)
    if (c == '\\') c = '/';
  const fs::path path = fs::path(relative).lexically_normal();
  if (relative.empty() || path.is_absolute() || path.empty() || *path.begin() == "..")
    tools::Fail(std::string("refusing to unpack an entry outside the directory: ") + name);
  return dir / path;
}

}  // namespace

int List(const std::vector<std::string>& args, const char* usage) {
  if (args.size() != 1) tools::UsageError(usage);
  OpenArchive(args[0]);
  for (const ResourceDirectoryEntry* entry = ResourceDirectory(); entry; entry = entry->next)
    std::printf("%s %d %d %d\n", entry->name, entry->storedSize,
                entry->packedFlag ? entry->unpackedSize : entry->storedSize,
                entry->packedFlag ? 1 : 0);
  return 0;
}

int Extract(const std::vector<std::string>& args, const char* usage) {
  std::string output;
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size()) {
      output = tools::AbsolutePath(args[++i]);
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() != 2) tools::UsageError(usage);
  OpenArchive(positional[0]);
  WriteOut(output, ExtractToMemory(positional[1].c_str()));
  return 0;
}

int Unpack(const std::vector<std::string>& args, const char* usage) {
  if (args.size() != 3 || args[1] != "-d") tools::UsageError(usage);
  const fs::path dir = tools::AbsolutePath(args[2]);
  OpenArchive(args[0]);
  for (const ResourceDirectoryEntry* entry = ResourceDirectory(); entry; entry = entry->next) {
    const fs::path target = UnpackTarget(dir, entry->name);
    std::error_code error;
    fs::create_directories(target.parent_path(), error);
    if (error) tools::Fail("cannot create " + target.parent_path().string());
    WriteOut(target.string(), ExtractToMemory(entry->name));
  }
  return 0;
}

int Verify(const std::vector<std::string>& args, const char* usage) {
  if (args.size() != 1) tools::UsageError(usage);
  OpenArchive(args[0]);
  int count = 0;
  long long bytes = 0;
  for (const ResourceDirectoryEntry* entry = ResourceDirectory(); entry; entry = entry->next) {
    for (const ResourceDirectoryEntry* earlier = ResourceDirectory(); earlier != entry;
         earlier = earlier->next) {
      if (ResourceNamesMatch(earlier->name, entry->name)) {
        std::printf("warning: %s is hidden by the earlier entry %s\n", entry->name, earlier->name);
        break;
      }
    }
    const std::string data = ExtractToMemory(entry->name);
    std::printf("ok %s %zu\n", entry->name, data.size());
    ++count;
    bytes += static_cast<long long>(data.size());
  }
  std::printf("%d entries, %lld bytes, all extracted\n", count, bytes);
  return 0;
}

}  // namespace varnel_rs
