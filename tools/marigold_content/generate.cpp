// Pictures and writing the whole content folder.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tools/marigold_content/content.hpp"
#include "tools/marigold_content/music.hpp"

namespace demotools {

namespace {

constexpr int kCardWidth = 640;
constexpr int kCardHeight = 480;
constexpr int kTextureSize = 256;
constexpr int kFlybySize = 256;
constexpr int kSkyWidth = 1024;
constexpr int kSkyHeight = 512;
constexpr const char* kMusicName = "marigold.xm";

bool WriteFile(const std::filesystem::path& path, const void* data, size_t size, std::string* error) {
  std::ofstream out(path, std::ios::binary);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  if (!out) {
    *error = "cannot write " + path.string();
    return false;
  }
  return true;
}

}  // namespace

std::map<std::string, Picture> DemoPictures() {
  std::map<std::string, Picture> pictures;
  pictures["images/loading.jpg"] = TitleCard(kCardWidth, kCardHeight, "MARIGOLD", 0.92f, true);
  pictures["images/mind.jpg"] = TitleCard(kCardWidth, kCardHeight, "MIND", 0.55f, true);
  pictures["images/thanx.jpg"] = TitleCard(kCardWidth, kCardHeight, "THANX", 0.8f, true);
  pictures["marigold.jpg"] = TitleCard(kCardWidth, kCardHeight, "MARIGOLD", 0.9f, false, false);
  pictures["images/marigold_logo.jpg"] = pictures["marigold.jpg"];
  pictures["small1.jpg"] = Medallion(kFlybySize, 0.92f);
  pictures["small2.jpg"] = Medallion(kFlybySize, 0.6f);
  pictures["images/plasma_gold.jpg"] = Plasma(kTextureSize, 0.9f);
  pictures["images/plasma_blue.jpg"] = Plasma(kTextureSize, 0.55f);
  pictures["images/metal.jpg"] = Metal(kTextureSize);
  pictures["images/nebula_violet.jpg"] = Nebula(kSkyWidth, kSkyHeight, 0.15f);
  pictures["images/nebula_ember.jpg"] = Nebula(kSkyWidth, kSkyHeight, 0.95f);
  return pictures;
}

bool WriteDemoContent(const std::string& folder, std::vector<std::string>* written, std::string* error) {
  namespace fs = std::filesystem;
  const fs::path root(folder);
  std::error_code ec;
  for (const char* sub : {"", "scenes", "objects", "images"}) {
    fs::create_directories(root / sub, ec);
    if (ec) {
      *error = "cannot create " + (root / sub).string() + ": " + ec.message();
      return false;
    }
  }
  for (const auto& [name, object] : DemoObjects()) {
    const Bytes bytes = WriteLwo2(object);
    if (!WriteFile(root / name, bytes.data(), bytes.size(), error)) return false;
    written->push_back(name);
  }
  for (const auto& [name, scene] : DemoScenes()) {
    const std::string text = WriteLws(scene);
    if (!WriteFile(root / name, text.data(), text.size(), error)) return false;
    written->push_back(name);
  }
  for (const auto& [name, picture] : DemoPictures()) {
    if (!WriteJpeg((root / name).string(), picture, error)) return false;
    written->push_back(name);
  }
  std::vector<uint8_t> module;
  try {
    module = DemoModule();
  } catch (const chiptune::FormatError& failure) {
    *error = std::string("cannot write marigold.xm: ") + failure.what();
    return false;
  }
  if (!WriteFile(root / kMusicName, module.data(), module.size(), error)) return false;
  written->push_back(kMusicName);
  return true;
}

}  // namespace demotools
