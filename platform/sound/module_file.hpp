// Tracker modules (XM, S3M, IT, MOD and the other formats libopenmpt reads)
// loaded from a file or from memory into a libopenmpt module.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct openmpt_module;

namespace platform {

enum class ModuleLoadStatus {
  Ok,
  NotFound,       // the file cannot be opened
  UnknownFormat,  // not a module libopenmpt knows
  Damaged,        // a known format, but cut short or inconsistent
  NoMemory,
};

struct ModuleLoad {
  openmpt_module* module;  // null unless status is Ok; the caller owns it
  ModuleLoadStatus status;
};

// Reads `length` bytes from `offset` of the file (0: up to the end). Names
// are relative to the current directory; '\' separates folders as well as
// '/', and a name that is not found as written is looked up again ignoring
// case, the way the reader's data was named on its first platform.
ModuleLoad LoadModuleFile(const char* name, uint64_t offset = 0, uint64_t length = 0);

ModuleLoad LoadModuleMemory(const void* data, size_t size);

// The bytes LoadModuleFile would load, found the same way.
ModuleLoadStatus ReadModuleFile(const char* name, uint64_t offset, uint64_t length,
                                std::vector<uint8_t>* bytes);

void FreeModule(openmpt_module* module);

// Whether the instrument and sample header tables of an S3M or IT file lie
// inside the file. libopenmpt reads headers past the end as empty ones; such
// a file is damaged. Other formats pass.
bool ModuleTablesInsideFile(const uint8_t* data, size_t size);

}  // namespace platform
