// LightWave scene files (LWSC versions 1 to 5) read into a Scene.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "kestrel/scene/model.hpp"

namespace kestrel {

// Loads the scene `path` from the data files (archive or directory) with
// its objects and their pictures' paths. On failure writes a line to the
// log stream, stores it in `error` when given, and returns null.
std::unique_ptr<Scene> LoadScene(std::string_view path, std::string* error = nullptr);

// Parses scene text already in memory; objects are looked up relative to
// `path`'s folder. Missing objects load as empty items (logged).
std::unique_ptr<Scene> ParseScene(std::string_view text, std::string_view path,
                                  std::string* error = nullptr);

}  // namespace kestrel
