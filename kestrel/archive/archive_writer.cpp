// ZIP data archives written through libzip.
#include "kestrel/archive/archive_writer.hpp"

#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>

#include "kestrel/archive/archive.hpp"

namespace kestrel {
namespace {

// The reader refuses larger entries (its handles hold a signed 32-bit size).
constexpr uint64_t kMaxEntrySize = 0x7fffffff;
// Every entry's modification time: 1 January 2000, 00:00, in MS-DOS form.
constexpr uint16_t kDosDate = ((2000 - 1980) << 9) | (1 << 5) | 1;
constexpr uint16_t kDosTime = 0;
// A plain readable file, rw-r--r--, in the Unix attribute field.
constexpr uint32_t kUnixFileAttributes = 0100644u << 16;
constexpr int kDeflateLevel = 9;
// An archive without entries: the end-of-central-directory record alone
// (libzip removes the file instead of writing one).
constexpr uint8_t kEmptyArchive[22] = {'P', 'K', 5, 6};

std::string Lower(const std::string& text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool WriteEmptyArchive(const std::string& path, std::string* error) {
  const std::string temporary = path + ".part";
  FILE* out = std::fopen(temporary.c_str(), "wb");
  bool ok = out && std::fwrite(kEmptyArchive, 1, sizeof kEmptyArchive, out) == sizeof kEmptyArchive;
  if (out && std::fclose(out) != 0) ok = false;
  if (ok && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
  std::remove(temporary.c_str());
  *error = "cannot write " + path;
  return false;
}

// Checks names and sizes, stores the normalized names, sorts by them.
bool PrepareEntries(std::vector<ArchiveEntry>* entries, std::string* error) {
  std::map<std::string, std::string> seen;  // lower-case name: the name
  for (ArchiveEntry& entry : *entries) {
    const std::string name = ArchiveEntryName(entry.name);
    if (name.empty()) {
      *error = "cannot store the name \"" + entry.name + "\" in an archive";
      return false;
    }
    const auto [earlier, added] = seen.emplace(Lower(name), name);
    if (!added) {
      *error = "\"" + earlier->second + "\" and \"" + name + "\" name the same file to the reader";
      return false;
    }
    if (entry.bytes.size() > kMaxEntrySize) {
      *error = "\"" + name + "\" is too large for an archive entry";
      return false;
    }
    entry.name = name;
  }
  std::sort(entries->begin(), entries->end(),
            [](const ArchiveEntry& a, const ArchiveEntry& b) { return a.name < b.name; });
  return true;
}

bool AddEntry(zip_t* zip, const ArchiveEntry& entry, std::string* error) {
  zip_source_t* source = zip_source_buffer(zip, entry.bytes.data(), entry.bytes.size(), 0);
  zip_int64_t index = source ? zip_file_add(zip, entry.name.c_str(), source, ZIP_FL_ENC_UTF_8) : -1;
  if (index < 0) {
    if (source) zip_source_free(source);
    *error = "cannot add \"" + entry.name + "\": " + zip_strerror(zip);
    return false;
  }
  const auto at = static_cast<zip_uint64_t>(index);
  if (zip_set_file_compression(zip, at, ZIP_CM_DEFLATE, kDeflateLevel) != 0 ||
      zip_file_set_dostime(zip, at, kDosTime, kDosDate, 0) != 0 ||
      zip_file_set_external_attributes(zip, at, 0, ZIP_OPSYS_UNIX, kUnixFileAttributes) != 0) {
    *error = "cannot set up \"" + entry.name + "\": " + zip_strerror(zip);
    return false;
  }
  return true;
}

}  // namespace

std::string ArchiveEntryName(const std::string& name) {
  if (name.empty() || name.back() == '/' || name.back() == '\\') return {};
  const std::string path = NormalizeDataPath(name);
  if (path.empty() || path.front() == '/' || path.back() == '/') return {};
  if (path == ".." || path.rfind("../", 0) == 0 || path == ".") return {};
  return path;
}

bool WriteArchive(const std::string& path, std::vector<ArchiveEntry> entries, std::string* error) {
  if (!PrepareEntries(&entries, error)) return false;
  if (entries.empty()) return WriteEmptyArchive(path, error);
  int code = 0;
  zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  if (!zip) {
    zip_error_t failure;
    zip_error_init_with_code(&failure, code);
    *error = "cannot create " + path + ": " + zip_error_strerror(&failure);
    zip_error_fini(&failure);
    return false;
  }
  for (const ArchiveEntry& entry : entries) {
    if (!AddEntry(zip, entry, error)) {
      zip_discard(zip);
      return false;
    }
  }
  // libzip writes a temporary file and renames it over `path` at the end.
  if (zip_close(zip) != 0) {
    *error = "cannot write " + path + ": " + zip_strerror(zip);
    zip_discard(zip);
    return false;
  }
  return true;
}

}  // namespace kestrel
