#include "tools/varnel_art/art_files.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <map>

#include "platform/jpeg/jpeg_reference.hpp"
#include "tools/common/png_writer.hpp"

namespace varnel_art {
namespace {

using Key = uint16_t;  // 5-5-5
int Channel(Key key, int axis) { return (key >> (10 - 5 * axis)) & 31; }

struct ColourBox {
  std::vector<std::pair<Key, uint32_t>> colours;  // key, pixel count
  int Range(int axis) const {
    int lo = 31, hi = 0;
    for (const auto& [key, count] : colours) {
      lo = std::min(lo, Channel(key, axis));
      hi = std::max(hi, Channel(key, axis));
    }
    return hi - lo;
  }
  int LongestAxis() const {
    int best = 0;
    for (int axis = 1; axis < 3; ++axis)
      if (Range(axis) > Range(best)) best = axis;
    return best;
  }
};

// Splits at the weighted median of the longest axis; false if it cannot.
bool Split(ColourBox* box, ColourBox* upper) {
  if (box->colours.size() < 2) return false;
  const int axis = box->LongestAxis();
  std::stable_sort(box->colours.begin(), box->colours.end(), [axis](const auto& a, const auto& b) {
    return Channel(a.first, axis) < Channel(b.first, axis);
  });
  uint64_t total = 0, seen = 0;
  for (const auto& entry : box->colours) total += entry.second;
  size_t cut = 1;
  for (; cut < box->colours.size() - 1; ++cut) {
    seen += box->colours[cut - 1].second;
    if (seen * 2 >= total) break;
  }
  upper->colours.assign(box->colours.begin() + static_cast<std::ptrdiff_t>(cut),
                        box->colours.end());
  box->colours.resize(cut);
  return true;
}

std::array<uint8_t, 3> Average(const ColourBox& box) {
  std::array<uint64_t, 3> sum{};
  uint64_t total = 0;
  for (const auto& [key, count] : box.colours) {
    for (int axis = 0; axis < 3; ++axis)
      sum[axis] += static_cast<uint64_t>(Channel(key, axis)) * count;
    total += count;
  }
  std::array<uint8_t, 3> rgb{};
  int level[3];
  for (int axis = 0; axis < 3; ++axis)
    level[axis] = static_cast<int>((sum[axis] * 2 + total) / (2 * total));
  if (level[0] + level[1] + level[2] == 0) level[0] = level[1] = level[2] = 1;  // never the key
  for (int axis = 0; axis < 3; ++axis)
    rgb[axis] = static_cast<uint8_t>((level[axis] << 3) | (level[axis] >> 2));
  return rgb;
}

}  // namespace

tools::IndexedPicture Quantize(const Canvas& canvas) {
  const std::vector<uint8_t> rgb = ToRgb8(canvas, Dither::None);
  const size_t count = static_cast<size_t>(canvas.width) * canvas.height;
  std::vector<Key> keys(count, 0);
  std::map<Key, uint32_t> histogram;
  for (size_t i = 0; i < count; ++i) {
    if (!canvas.solid[i]) continue;
    keys[i] = static_cast<Key>(((rgb[3 * i] >> 3) << 10) | ((rgb[3 * i + 1] >> 3) << 5) |
                               (rgb[3 * i + 2] >> 3));
    ++histogram[keys[i]];
  }
  std::vector<ColourBox> boxes(1);
  boxes[0].colours.assign(histogram.begin(), histogram.end());
  while (boxes.size() < 255) {
    // The box spanning the most levels goes next; ties to the earliest.
    size_t widest = 0;
    int widestRange = -1;
    for (size_t b = 0; b < boxes.size(); ++b) {
      const int range = boxes[b].colours.size() > 1 ? boxes[b].Range(boxes[b].LongestAxis()) : -1;
      if (range > widestRange) widest = b, widestRange = range;
    }
    ColourBox upper;
    if (widestRange < 0 || !Split(&boxes[widest], &upper)) break;
    boxes.push_back(std::move(upper));
  }
  tools::IndexedPicture picture;
  picture.width = canvas.width;
  picture.height = canvas.height;
  picture.palette = {0, 0, 0};
  std::map<Key, uint8_t> indexOf;
  for (const ColourBox& box : boxes) {
    if (box.colours.empty()) continue;
    const auto colour = Average(box);
    picture.palette.insert(picture.palette.end(), colour.begin(), colour.end());
    for (const auto& entry : box.colours)
      indexOf[entry.first] = static_cast<uint8_t>(picture.palette.size() / 3 - 1);
  }
  if (picture.palette.size() < 6) picture.palette.insert(picture.palette.end(), {255, 255, 255});
  picture.indices.resize(count);
  for (size_t i = 0; i < count; ++i) picture.indices[i] = canvas.solid[i] ? indexOf[keys[i]] : 0;
  return picture;
}

bool WritePngArt(const std::string& path, const Canvas& canvas, Dither dither, std::string* error) {
  const std::vector<uint8_t> rgb = ToRgb8(canvas, dither);
  return tools::WritePngRgb(path, canvas.width, canvas.height, rgb.data(), error);
}

bool WriteGifArt(const std::string& path, const Canvas& canvas, std::string* error) {
  return tools::WriteGif(path, Quantize(canvas), error);
}

bool WriteJpegArt(const std::string& path, const Canvas& canvas, int quality, std::string* error) {
  platform::RgbPicture picture;
  picture.width = canvas.width;
  picture.height = canvas.height;
  picture.rgb = ToRgb8(canvas, Dither::None);
  platform::JpegEncodeOptions options;
  options.quality = quality;
  std::vector<uint8_t> jpeg;
  if (!platform::EncodeJpeg(picture, options, &jpeg)) {
    *error = "cannot encode " + path;
    return false;
  }
  return WriteFileBytes(path, jpeg, error);
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes,
                    std::string* error) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    *error = "cannot create " + path;
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (std::fclose(file) != 0 || !written) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}

bool MakeParentFolders(const std::string& path, std::string* error) {
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (parent.empty()) return true;
  std::error_code code;
  std::filesystem::create_directories(parent, code);
  if (code) {
    *error = "cannot create the folder " + parent.string() + ": " + code.message();
    return false;
  }
  return true;
}

}  // namespace varnel_art
