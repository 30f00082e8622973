#include "platform/sound/module_file.hpp"

#include <dirent.h>
#include <libopenmpt/libopenmpt.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

namespace platform {
namespace {

constexpr uint64_t kLargestModule = 256u << 20;

// The entry of `folder` whose name equals `name` ignoring case, or empty.
std::string FindIgnoringCase(const std::string& folder, const std::string& name) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return {};
  std::string found;
  while (const dirent* entry = readdir(dir)) {
    if (strcasecmp(entry->d_name, name.c_str()) == 0) {
      found = entry->d_name;
      break;
    }
  }
  closedir(dir);
  return found;
}

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// The name as the file system spells it: '\' turned into '/', and every
// folder and file that does not exist as written matched ignoring case.
std::string ResolveName(const char* name) {
  std::string path(name);
  std::replace(path.begin(), path.end(), '\\', '/');
  if (path.empty() || Exists(path)) return path;
  std::string resolved = path[0] == '/' ? "/" : "";
  size_t start = resolved.size();
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string part = path.substr(start, end - start);
    if (!part.empty()) {
      std::string next = resolved + part;
      if (!Exists(next)) {
        const std::string match = FindIgnoringCase(resolved, part);
        if (match.empty()) return path;
        next = resolved + match;
      }
      resolved = next + (end < path.size() ? "/" : "");
    }
    start = end + 1;
  }
  return resolved;
}

ModuleLoadStatus ReadRange(const std::string& path, uint64_t offset, uint64_t length,
                           std::vector<uint8_t>* bytes) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return ModuleLoadStatus::NotFound;
  const uint64_t fileSize = static_cast<uint64_t>(st.st_size);
  if (offset > fileSize) return ModuleLoadStatus::UnknownFormat;
  const uint64_t available = fileSize - offset;
  const uint64_t wanted = length == 0 ? available : std::min(length, available);
  if (wanted > kLargestModule) return ModuleLoadStatus::NoMemory;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return ModuleLoadStatus::NotFound;
  bytes->resize(static_cast<size_t>(wanted));
  const bool read = fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0 &&
                    std::fread(bytes->data(), 1, bytes->size(), file) == bytes->size();
  std::fclose(file);
  return read ? ModuleLoadStatus::Ok : ModuleLoadStatus::Damaged;
}

}  // namespace

ModuleLoadStatus ReadModuleFile(const char* name, uint64_t offset, uint64_t length,
                                std::vector<uint8_t>* bytes) {
  if (!name) return ModuleLoadStatus::NotFound;
  try {
    return ReadRange(ResolveName(name), offset, length, bytes);
  } catch (const std::bad_alloc&) {
    return ModuleLoadStatus::NoMemory;
  }
}

ModuleLoad LoadModuleFile(const char* name, uint64_t offset, uint64_t length) {
  std::vector<uint8_t> bytes;
  const ModuleLoadStatus status = ReadModuleFile(name, offset, length, &bytes);
  if (status != ModuleLoadStatus::Ok) return {nullptr, status};
  return LoadModuleMemory(bytes.data(), bytes.size());
}

ModuleLoad LoadModuleMemory(const void* data, size_t size) {
  if (!data || size == 0) return {nullptr, ModuleLoadStatus::UnknownFormat};
  int error = OPENMPT_ERROR_OK;
  const int probe = openmpt_probe_file_header(OPENMPT_PROBE_FILE_HEADER_FLAGS_DEFAULT, data, size,
                                              size, openmpt_log_func_silent, nullptr,
                                              openmpt_error_func_ignore, nullptr, &error, nullptr);
  if (probe != OPENMPT_PROBE_FILE_HEADER_RESULT_SUCCESS) {
    return {nullptr, probe == OPENMPT_PROBE_FILE_HEADER_RESULT_WANTMOREDATA
                         ? ModuleLoadStatus::Damaged
                         : ModuleLoadStatus::UnknownFormat};
  }
  if (!ModuleTablesInsideFile(static_cast<const uint8_t*>(data), size))
    return {nullptr, ModuleLoadStatus::Damaged};
  openmpt_module* module = openmpt_module_create_from_memory2(data, size, openmpt_log_func_silent,
                                                              nullptr, openmpt_error_func_ignore,
                                                              nullptr, &error, nullptr, nullptr);
  if (!module) {
    return {nullptr, error == OPENMPT_ERROR_OUT_OF_MEMORY ? ModuleLoadStatus::NoMemory
                                                          : ModuleLoadStatus::Damaged};
  }
  return {module, ModuleLoadStatus::Ok};
}

void FreeModule(openmpt_module* module) {
  if (module) openmpt_module_destroy(module);
}

}  // namespace platform
