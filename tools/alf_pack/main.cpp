// alf-pack: packs a folder into a data archive ("*.alf") for the engine.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "kestrel/archive/archive_writer.hpp"

namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "usage: alf-pack OUT.alf FOLDER\n"
    "  packs every file under FOLDER, named by its path inside FOLDER\n";

bool ReadBytes(const fs::path& path, std::vector<uint8_t>* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// Every regular file under `folder` but `skip` (the archive itself, when
// it is written inside the folder).
bool CollectEntries(const fs::path& folder, const fs::path& skip,
                    std::vector<kestrel::ArchiveEntry>* entries, std::string* error) {
  std::error_code ec;
  fs::recursive_directory_iterator it(folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec) || ec) continue;
    const fs::path path = it->path();
    std::error_code missing;  // the archive need not exist yet
    if (fs::equivalent(path, skip, missing)) continue;
    kestrel::ArchiveEntry entry;
    entry.name = fs::relative(path, folder, ec).generic_string();
    if (ec || !ReadBytes(path, &entry.bytes)) {
      *error = "cannot read " + path.string();
      return false;
    }
    entries->push_back(std::move(entry));
  }
  if (ec) {
    *error = "cannot list " + folder.string() + ": " + ec.message();
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const fs::path output = argv[1];
  const fs::path folder = argv[2];
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    std::fprintf(stderr, "alf-pack: %s is not a folder\n", folder.c_str());
    return 1;
  }
  std::vector<kestrel::ArchiveEntry> entries;
  std::string error;
  if (!CollectEntries(folder, output, &entries, &error) ||
      !kestrel::WriteArchive(output.string(), std::move(entries), &error)) {
    std::fprintf(stderr, "alf-pack: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
