// Data files from a ZIP archive (libzip) or from the directory.
#include "kestrel/archive/archive.hpp"

#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <unordered_map>

#include "kestrel/render/log.hpp"

namespace kestrel {
namespace {

// Larger entries are refused: the handle's size field is 32-bit signed and
// nothing the engine reads comes near this.
constexpr uint64_t kMaxFileSize = 0x7fffffff;
// Entries are read in pieces of this size: a header may promise more than
// the entry holds.
constexpr size_t kReadPiece = 1 << 20;

struct ArchiveState {
  std::mutex lock;
  zip_t* zip = nullptr;
  std::vector<uint8_t> memoryCopy;                   // backing of an in-memory archive
  std::unordered_map<std::string, zip_uint64_t> byName;  // lower-case normalized name
  std::unordered_multimap<std::string, zip_uint64_t> byBaseName;
  uint64_t sizeLimit = kMaxFileSize;
};

ArchiveState& State() {
  static ArchiveState state;
  return state;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Archive key: normalized, lower case, no leading '/'.
std::string ArchiveKey(std::string_view name) {
  std::string path = NormalizeDataPath(name);
  while (!path.empty() && path.front() == '/') path.erase(path.begin());
  return Lower(path);
}

void CloseLocked(ArchiveState& state) {
  if (state.zip) zip_discard(state.zip);
  state.zip = nullptr;
  state.byName.clear();
  state.byBaseName.clear();
  state.memoryCopy.clear();
}

void IndexLocked(ArchiveState& state) {
  const zip_int64_t count = zip_get_num_entries(state.zip, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const char* name = zip_get_name(state.zip, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
    if (!name || !*name) continue;
    const std::string key = ArchiveKey(name);
    if (key.empty() || key.back() == '/') continue;  // folder entry
    // The first entry of a name wins, as a directory would have it.
    if (state.byName.emplace(key, static_cast<zip_uint64_t>(i)).second)
      state.byBaseName.emplace(DataBaseName(key), static_cast<zip_uint64_t>(i));
  }
}

std::optional<std::vector<uint8_t>> ReadEntryLocked(ArchiveState& state, zip_uint64_t index) {
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_stat_index(state.zip, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)) return {};
  if (stat.size > state.sizeLimit) {
    Log("archive entry \"%s\" is too large", stat.name ? stat.name : "?");
    return {};
  }
  zip_file_t* file = zip_fopen_index(state.zip, index, 0);
  if (!file) {
    Log("archive entry \"%s\" cannot be read: %s", stat.name ? stat.name : "?",
        zip_strerror(state.zip));
    return {};
  }
  std::vector<uint8_t> bytes;
  zip_uint64_t done = 0;
  while (done < stat.size) {
    const size_t piece = static_cast<size_t>(std::min<zip_uint64_t>(kReadPiece, stat.size - done));
    bytes.resize(static_cast<size_t>(done) + piece);
    const zip_int64_t got = zip_fread(file, bytes.data() + done, piece);
    if (got <= 0) break;
    done += static_cast<zip_uint64_t>(got);
  }
  zip_fclose(file);
  if (done != stat.size) {
    Log("archive entry \"%s\" is damaged", stat.name ? stat.name : "?");
    return {};
  }
  return bytes;
}

// An existing file for `path` on disk, matching each component without
// regard to case when the exact name is missing (scenes made on systems
// that ignore case name their files loosely).
std::optional<std::filesystem::path> FindOnDisk(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (path.empty()) return {};
  if (fs::is_regular_file(path, ec)) return fs::path(path);
  fs::path current = path.front() == '/' ? fs::path("/") : fs::path(".");
  std::string_view rest(path);
  while (!rest.empty()) {
    const size_t slash = rest.find('/');
    const std::string part(rest.substr(0, slash));
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (part.empty()) continue;
    fs::path exact = current / part;
    if (fs::exists(exact, ec)) {
      current = exact;
      continue;
    }
    if (!fs::is_directory(current, ec)) return {};
    const std::string wanted = Lower(part);
    bool found = false;
    for (const auto& entry : fs::directory_iterator(current, ec)) {
      if (Lower(entry.path().filename().string()) == wanted) {
        current = entry.path();
        found = true;
        break;
      }
    }
    if (!found) return {};
  }
  if (!fs::is_regular_file(current, ec)) return {};
  return current;
}

std::optional<std::vector<uint8_t>> ReadDisk(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0 || static_cast<uint64_t>(size) > State().sizeLimit) return {};
  in.seekg(0);
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size)) return {};
  return bytes;
}

bool OpenZip(ArchiveState& state, zip_t* zip) {
  state.zip = zip;
  IndexLocked(state);
  return true;
}

}  // namespace

std::string NormalizeDataPath(std::string_view name) {
  const bool absolute = !name.empty() && (name.front() == '/' || name.front() == '\\');
  std::vector<std::string> parts;
  std::string part;
  auto flush = [&] {
    if (part.empty() || part == ".") {
    } else if (part == "..") {
      if (!parts.empty() && parts.back() != "..")
        parts.pop_back();
      else if (!absolute)
        parts.push_back(part);  // a relative path may climb above its start
    } else {
      parts.push_back(part);
    }
    part.clear();
  };
  for (char c : name) {
    if (c == '/' || c == '\\')
      flush();
    else
      part.push_back(c);
  }
  flush();
  std::string out = absolute ? "/" : "";
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) out.push_back('/');
    out += parts[i];
  }
  return out;
}

std::string DataDirectory(std::string_view path) {
  const std::string normal = NormalizeDataPath(path);
  const size_t slash = normal.rfind('/');
  if (slash == std::string::npos) return "";
  if (slash == 0) return "/";
  return normal.substr(0, slash);
}

std::string DataBaseName(std::string_view path) {
  const std::string normal = NormalizeDataPath(path);
  const size_t slash = normal.rfind('/');
  return slash == std::string::npos ? normal : normal.substr(slash + 1);
}

bool AlfInit(const char* archivePath) {
  ArchiveState& state = State();
  std::lock_guard guard(state.lock);
  CloseLocked(state);
  if (!archivePath) return false;
  int error = 0;
  zip_t* zip = zip_open(archivePath, ZIP_RDONLY, &error);
  if (!zip) {
    zip_error_t detail;
    zip_error_init_with_code(&detail, error);
    Log("cannot open data archive \"%s\": %s", archivePath, zip_error_strerror(&detail));
    zip_error_fini(&detail);
    return false;
  }
  return OpenZip(state, zip);
}

bool AlfInitFromMemory(const void* bytes, size_t size) {
  ArchiveState& state = State();
  std::lock_guard guard(state.lock);
  CloseLocked(state);
  state.memoryCopy.assign(static_cast<const uint8_t*>(bytes), static_cast<const uint8_t*>(bytes) + size);
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source =
      zip_source_buffer_create(state.memoryCopy.data(), state.memoryCopy.size(), 0, &error);
  zip_t* zip = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
  if (!zip) {
    if (source) zip_source_free(source);
    zip_error_fini(&error);
    state.memoryCopy.clear();
    return false;
  }
  zip_error_fini(&error);
  return OpenZip(state, zip);
}

void AlfShutdown() {
  ArchiveState& state = State();
  std::lock_guard guard(state.lock);
  CloseLocked(state);
}

bool AlfActive() {
  ArchiveState& state = State();
  std::lock_guard guard(state.lock);
  return state.zip != nullptr;
}

std::vector<std::string> ArchiveFileNames() {
  ArchiveState& state = State();
  std::lock_guard guard(state.lock);
  std::vector<std::string> names;
  if (!state.zip) return names;
  for (const auto& [key, index] : state.byName) {
    const char* name = zip_get_name(state.zip, index, ZIP_FL_ENC_GUESS);
    if (name) names.emplace_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

void SetDataFileSizeLimit(uint64_t bytes) {
  ArchiveState& state = State();
  std::lock_guard guard(state.lock);
  state.sizeLimit = std::min(bytes, kMaxFileSize);
}

std::optional<std::vector<uint8_t>> ReadDataFile(std::string_view name) {
  ArchiveState& state = State();
  {
    std::lock_guard guard(state.lock);
    if (state.zip) {
      const auto found = state.byName.find(ArchiveKey(name));
      if (found == state.byName.end()) return {};
      return ReadEntryLocked(state, found->second);
    }
  }
  const auto path = FindOnDisk(NormalizeDataPath(name));
  if (!path) return {};
  return ReadDisk(*path);
}

bool DataFileExists(std::string_view name) {
  ArchiveState& state = State();
  {
    std::lock_guard guard(state.lock);
    if (state.zip) return state.byName.count(ArchiveKey(name)) != 0;
  }
  return FindOnDisk(NormalizeDataPath(name)).has_value();
}

ArchiveFile* AlfOpen(const char* name, const char* mode) {
  if (!name) return nullptr;
  if (mode && (std::strchr(mode, 'w') || std::strchr(mode, 'a') || std::strchr(mode, '+'))) {
    Log("data file \"%s\" cannot be opened for writing", name);
    return nullptr;
  }
  auto bytes = ReadDataFile(name);
  if (!bytes) return nullptr;
  auto* file = new ArchiveFile;
  file->size = static_cast<int32_t>(bytes->size());
  file->bytes = std::move(*bytes);
  return file;
}

size_t AlfRead(void* buffer, size_t size, size_t count, ArchiveFile* file) {
  if (!file || !buffer || size == 0 || count == 0) return 0;
  const size_t left = file->bytes.size() - static_cast<size_t>(file->position);
  const size_t items = std::min(count, left / size);
  if (items == 0) return 0;
  std::memcpy(buffer, file->bytes.data() + file->position, items * size);
  file->position += static_cast<int32_t>(items * size);
  return items;
}

void AlfClose(ArchiveFile* file) { delete file; }

std::string ResolveDataPath(std::string_view from, std::string_view reference) {
  std::string ref(reference);
  std::replace(ref.begin(), ref.end(), '\\', '/');
  // "Disk:Images/x.jpg", "C:/dir/x.jpg": drop the volume.
  if (const size_t colon = ref.rfind(':'); colon != std::string::npos) ref.erase(0, colon + 1);
  while (!ref.empty() && ref.front() == '/') ref.erase(ref.begin());
  ref = NormalizeDataPath(ref);
  if (ref.empty()) return "";
  const std::string base = DataBaseName(ref);

  std::vector<std::string> folders;
  std::string folder = NormalizeDataPath(from);
  for (int guard = 0; guard < 64; ++guard) {
    folders.push_back(folder);
    if (folder.empty() || folder == "/") break;
    folder = DataDirectory(folder);
  }
  auto join = [](const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    return NormalizeDataPath(dir + "/" + name);
  };
  for (const auto& dir : folders)
    if (DataFileExists(join(dir, ref))) return join(dir, ref);
  for (const auto& dir : folders)
    if (DataFileExists(join(dir, base))) return join(dir, base);

  ArchiveState& state = State();
  std::lock_guard guard(state.lock);
  if (state.zip) {
    const auto range = state.byBaseName.equal_range(Lower(base));
    zip_uint64_t best = 0;
    bool found = false;
    for (auto it = range.first; it != range.second; ++it) {
      if (!found || it->second < best) best = it->second;
      found = true;
    }
    if (found) {
      const char* name = zip_get_name(state.zip, best, ZIP_FL_ENC_GUESS);
      if (name) return NormalizeDataPath(name);
    }
  }
  return "";
}

}  // namespace kestrel
