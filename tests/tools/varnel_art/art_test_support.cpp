#include "tests/tools/varnel_art/art_test_support.hpp"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/jpeg/jpeg_service.hpp"
#include "platform/text/text_service.hpp"
#include "varnel/media/gif_decoder.hpp"

using namespace varnel;

namespace art_testing {

RealDrivers::RealDrivers() {
  platform::SetJpegService(&platform::LibjpegService());
  platform::SetTextService(&platform::FreeTypeTextService());
}

RealDrivers::~RealDrivers() {
  platform::SetJpegService(&platform::FakeJpeg());
  platform::SetTextService(&platform::FakeTextService());
}

Loaded LoadWith(void (*loader)(const char*, Picture*), const std::string& path) {
  Picture picture{};
  loader(path.c_str(), &picture);
  Loaded loaded;
  loaded.width = picture.width;
  loaded.height = picture.height;
  loaded.pixels.assign(picture.pixels,
                       picture.pixels + static_cast<size_t>(picture.width) * picture.height);
  std::free(picture.pixels);
  return loaded;
}

Loaded LoadAny(const std::string& path) { return LoadWith(LoadPicture, path); }

std::vector<uint8_t> LoadIndexed(const std::string& path, int* width, int* height,
                                 std::vector<uint8_t>* palette) {
  IndexedImage image{};
  palette->assign(kGifPaletteBytes, 0);
  LoadGifIndexed(path.c_str(), &image, palette->data());
  *width = image.width;
  *height = image.height;
  std::vector<uint8_t> indices(image.pixels,
                               image.pixels + static_cast<size_t>(image.width) * image.height);
  std::free(image.pixels);
  return indices;
}

double Luminance(uint16_t pixel) {
  const double r = ((pixel >> 10) & 31) * 255.0 / 31, g = ((pixel >> 5) & 31) * 255.0 / 31,
               b = (pixel & 31) * 255.0 / 31;
  return 0.299 * r + 0.587 * g + 0.114 * b;
}

std::string MakeTempFolder() {
  std::string pattern = std::filesystem::temp_directory_path().string() + "/varnel-art-XXXXXX";
  if (!mkdtemp(pattern.data())) return "";
  return pattern;
}

void RemoveFolder(const std::string& path) {
  std::error_code ignored;
  if (!path.empty()) std::filesystem::remove_all(path, ignored);
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

void PaintIssue(const std::string& folder, const std::string& manifestText) {
  varnel_art::IssueArtOptions options;
  options.outputDir = folder;
  if (!manifestText.empty()) {
    options.manifest = folder + "/pictures.txt";
    WriteText(options.manifest, manifestText);
  }
  std::vector<varnel_art::WrittenFile> written;
  std::string error;
  const RealDrivers drivers;
  ASSERT_TRUE(varnel_art::WriteIssueArt(options, &written, &error)) << error;
}

}  // namespace art_testing
